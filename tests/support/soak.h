// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// A seeded random player for the real windows and an independent model of what the game must
// show after each of its actions. The player clicks through the window system's input path
// (so the modal box really blocks the other windows), types and pastes into the wager box,
// answers with keys, undoes and redoes from the boards' menu and keys, ends rounds early and
// closes windows; after every action the model's score, windows, squares and undo entries are
// compared with the program's.

#include "layouts/layout.h"
#include "playalong/journal.h"
#include "playalong/playalong.h"
#include "scoring/scoring.h"
#include "scoring/step.h"
#include "storage/gamestore.h"
#include "tests/support/faultvfs.h"
#include "runtime/termination.h"
#include "tests/support/gametest.h"
#include "windows/texts.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QProcess>
#include <QTextStream>
#include <QThread>
#include <QWindow>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <vector>

namespace soak {

using gametest::chooseFromMenu;
using gametest::clickThroughWindowSystem;

enum Win { Single, Double, Clue, Wager, Final, windowCount };

inline const char *windowName(int w)
{
    static const char *const names[] = { "first board", "second board", "clue window",
                                         "wager window", "Final Score" };
    return names[w];
}

inline runtime::Form &form(int w)
{
    switch (w) {
    case Single:
        return SingleBoard::instance();
    case Double:
        return DoubleBoard::instance();
    case Clue:
        return Question::instance();
    case Wager:
        return DailyDouble::instance();
    default:
        return Last::instance();
    }
}

// What the rules say the program holds, built only from the actions performed.
struct Model
{
    std::int64_t score = 0;
    std::array<bool, 30> singleUsed{};
    std::array<bool, 30> doubleUsed{};
    std::array<bool, windowCount> loaded{};
    std::vector<int> visible; // by activation, active last
    int active = -1;
    bool finalRound = false; // the wager window was made the final wager and not unloaded since
    QString wagerText; // what the wager box holds
    // How often the paths that once went wrong were taken.
    long pendingDigitsDropped = 0; // a Daily Double pending as the final round began
    long wagerBackFromFinal = 0; // the final wager undone into the Daily Double it was
    long throughBoard = 0; // activation passed through the board to the other owned window
    int clueSquare = -1;
    int clueFactor = 1;
    std::int64_t finalShown = 0; // the score the Final Score window took
    bool ended = false;

    // The game as a recorded result found it and left it, for undo and redo.
    struct Snapshot
    {
        std::int64_t score;
        std::array<bool, 30> singleUsed, doubleUsed;
        bool secondRound, finalRound, wagerShown;
        QString wagerText;
    };
    struct Step
    {
        Snapshot before, after;
        QString text;
        scoring::Step result;
    };
    std::vector<Step> done, undone;

    static std::int64_t rowValue(int square) { return (square / 6 + 1) * 200; }

    bool isVisible(int w) const { return std::count(visible.begin(), visible.end(), w) > 0; }
    static bool allUsed(const std::array<bool, 30> &used)
    {
        return std::all_of(used.begin(), used.end(), [](bool u) { return u; });
    }

    void activate(int w)
    {
        std::erase(visible, w);
        visible.push_back(w);
        if (active == w)
            return;
        active = w;
        onActivate(w);
    }
    void show(int w)
    {
        loaded[w] = true;
        activate(w);
    }
    void hide(int w)
    {
        std::erase(visible, w);
        if (active == w) {
            active = -1;
            if (!visible.empty()) {
                const int next = visible.back();
                if (next == Clue || next == Wager) {
                    ++throughBoard;
                    activateThroughBoard(next);
                } else {
                    activate(next);
                }
            }
        }
    }
    // Activation reaching a window the board owns passes through the board in play first.
    void activateThroughBoard(int next)
    {
        active = -1;
        activate(inPlay());
        if (next >= 0 && isVisible(next))
            activate(next);
    }
    void unload(int w)
    {
        if (!loaded[w])
            return;
        loaded[w] = false;
        if (w == Wager) {
            finalRound = false;
            wagerText.clear();
        }
        if (w == Clue)
            clueSquare = -1;
        hide(w);
        if (std::none_of(loaded.begin(), loaded.end(), [](bool l) { return l; }))
            ended = true;
    }
    void end()
    {
        visible.clear();
        active = -1;
        for (int w = 0; w < windowCount; ++w)
            unload(w);
        ended = true;
    }
    void onActivate(int w)
    {
        switch (w) {
        case Single:
            if (allUsed(singleUsed)) {
                doubleUsed = {};
                show(Double);
                hide(Single);
            }
            break;
        case Double:
            if (allUsed(doubleUsed)) {
                if (!finalRound && !wagerText.isEmpty()) { // no final wager
                    ++pendingDigitsDropped;
                    wagerText.clear();
                }
                finalRound = true;
                show(Wager);
                unload(Clue);
            }
            break;
        case Final:
            done.clear();
            undone.clear();
            finalShown = score;
            unload(Wager);
            unload(Single);
            break;
        default:
            break;
        }
    }
    // Everything settled: a program showing nothing ends.
    void settle()
    {
        if (!ended && visible.empty())
            end();
    }

    Snapshot snapshot() const
    {
        return { score,      singleUsed,       doubleUsed, !isVisible(Single),
                 finalRound, isVisible(Wager), wagerText };
    }
    // How the undo entries name a result.
    static QString textOf(const scoring::Step &step)
    {
        using scoring::Outcome;
        const QString amount = texts::moneyText(double(step.amount));
        if (step.kind == scoring::StepKind::RoundEnded)
            return QStringLiteral("End This Round");
        if (step.kind != scoring::StepKind::Clue)
            return QStringLiteral("Daily Double %1, %2")
                    .arg(step.outcome == Outcome::Correct ? "Correct" : "Incorrect", amount);
        static const char *const names[] = { "Correct", "No Ring In", "Incorrect" };
        return QStringLiteral("%1 on %2").arg(names[int(step.outcome)], amount);
    }
    scoring::Round round() const
    {
        return finalRound            ? scoring::Round::Final
                : inPlay() == Single ? scoring::Round::First
                                     : scoring::Round::Second;
    }
    void record(const Snapshot &before, const scoring::Step &result)
    {
        undone.clear();
        done.push_back({ before, snapshot(), textOf(result), result });
    }
    // The game as the record puts it back: its steps played as they were, the last ones undone,
    // and no window open but the board in play and the final wager.
    void replay(const std::vector<scoring::Step> &steps, int inEffect)
    {
        for (const scoring::Step &step : steps) {
            const Snapshot before = snapshot();
            score += scoring::scoreChange(step);
            if (step.kind == scoring::StepKind::Clue)
                singleUsed[step.square] = doubleUsed[step.square] = true;
            else if (step.kind == scoring::StepKind::RoundEnded)
                usedInPlay().fill(true);
            record(before, step);
            activateThroughBoard(active);
        }
        while (int(done.size()) > inEffect)
            undoOrRedo(true);
        for (int w = 0; w < windowCount; ++w)
            loaded[w] = w == Single || isVisible(w);
    }
    // The steps of the game as the history holds them, the undone ones last, and how many
    // are in effect.
    std::pair<std::vector<scoring::Step>, int> steps() const
    {
        std::vector<scoring::Step> all;
        for (const Step &step : done)
            all.push_back(step.result);
        for (auto step = undone.rbegin(); step != undone.rend(); ++step)
            all.push_back(step->result);
        return { all, int(done.size()) };
    }
    int inPlay() const { return isVisible(Single) ? Single : Double; }
    std::array<bool, 30> &usedInPlay() { return inPlay() == Single ? singleUsed : doubleUsed; }
    // Puts a recorded state back: the first board returns if the game went past it, the final
    // wager is undone (the Daily Double it was comes back with its digits), a clue window naming
    // a square no longer open at its value goes, and the board in play takes the change as when
    // activation passes through it.
    void restore(const Snapshot &s)
    {
        score = s.score;
        singleUsed = s.singleUsed;
        doubleUsed = s.doubleUsed;
        if (!s.secondRound && !isVisible(Single)) {
            show(Single);
            if (isVisible(Single))
                hide(Double);
        }
        if (!s.finalRound && finalRound && loaded[Wager]) {
            if (s.wagerShown) {
                ++wagerBackFromFinal;
                finalRound = false;
                wagerText = s.wagerText;
            } else {
                unload(Wager);
            }
        }
        if (isVisible(Clue)
            && (usedInPlay()[clueSquare] || clueFactor != (inPlay() == Single ? 1 : 2)))
            hide(Clue);
        activateThroughBoard(active);
    }

    // The user's actions.
    void press(int w)
    {
        if (isVisible(w) && active != w)
            activate(w);
    }
    void square(int board, int index)
    {
        if ((board == Single ? singleUsed : doubleUsed)[index])
            return;
        show(Clue);
        clueSquare = index;
        clueFactor = board == Single ? 1 : 2;
    }
    // Returns whether the program must refuse the answer with a message box: the score cannot
    // go past its limits.
    bool answer(int button)
    {
        if (clueSquare >= 0) {
            const Snapshot before = snapshot();
            const int direction = button == gametest::Correct ? 1
                    : button == gametest::Incorrect           ? -1
                                                              : 0;
            const std::int64_t value = clueFactor * rowValue(clueSquare);
            const std::int64_t next = score + direction * value;
            if (next < INT32_MIN || next > INT32_MAX)
                return true;
            score = next;
            singleUsed[clueSquare] = doubleUsed[clueSquare] = true;
            const scoring::Outcome outcome = button == gametest::Correct ? scoring::Outcome::Correct
                    : button == gametest::Incorrect ? scoring::Outcome::Incorrect
                                                    : scoring::Outcome::NoRingIn;
            record(before,
                   { scoring::StepKind::Clue,
                     clueFactor == 1 ? scoring::Round::First : scoring::Round::Second, outcome,
                     clueSquare, value });
        }
        hide(Clue);
        return false;
    }
    void undoOrRedo(bool undo)
    {
        auto &from = undo ? done : undone, &to = undo ? undone : done;
        if (from.empty())
            return;
        to.push_back(from.back());
        from.pop_back();
        restore(undo ? to.back().before : to.back().after);
    }
    void endRound()
    {
        const Snapshot before = snapshot();
        const scoring::Round ended = round();
        usedInPlay().fill(true);
        record(before, { scoring::StepKind::RoundEnded, ended });
        restore(done.back().after);
    }
    bool gameUnderWay() const { return !done.empty() || !undone.empty(); }
    // Returns whether the program must refuse the wager with a message box.
    bool wager(int button, const QString &text)
    {
        if (button != gametest::WagerCancel) {
            if (text.isEmpty())
                return true;
            const std::int64_t amount = text.toLongLong();
            const std::int64_t next = score + (button == gametest::WagerCorrect ? amount : -amount);
            if (next < INT32_MIN || next > INT32_MAX)
                return true;
            const Snapshot before = snapshot();
            const scoring::Round now = round();
            score = next;
            record(before,
                   { now == scoring::Round::Final ? scoring::StepKind::FinalWager
                                                  : scoring::StepKind::DailyDouble,
                     now,
                     button == gametest::WagerCorrect ? scoring::Outcome::Correct
                                                      : scoring::Outcome::Incorrect,
                     -1, amount });
        }
        if (finalRound) {
            show(Final);
            unload(Double);
        }
        if (loaded[Wager]) {
            hide(Wager);
            wagerText.clear();
        }
        return false;
    }
    // Text typed at the end of the wager box: ten digits at most, backspace erases.
    void type(const QString &keys)
    {
        for (const QChar c : keys) {
            if (c == u'\b')
                wagerText.chop(1);
            else if (c >= u'0' && c <= u'9' && wagerText.size() < 10)
                wagerText += c;
        }
    }
    // Pasted text is taken only if it is all digits, as far as ten digits go.
    void paste(const QString &text)
    {
        if (std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            wagerText += text.left(10 - wagerText.size());
    }
    void close(int w)
    {
        if (w == Wager && finalRound)
            return; // the game waits on the final wager
        unload(w);
        if (w == Single || w == Double || w == Final)
            end();
    }
};

struct Totals
{
    long games = 0;
    long finished = 0; // reached the Final Score window
    long actions = 0;
    long boxes = 0; // message boxes answered
    long questions = 0; // of which Yes/No questions
    long undos = 0;
    long redos = 0;
    long roundsEnded = 0;
    long pendingDigitsDropped = 0;
    long wagerBackFromFinal = 0;
    long throughBoard = 0;
    QStringList failures;
};

// A game's steps as the record keeps them, and how many are in effect.
struct Recorded
{
    std::vector<scoring::Step> steps;
    int inEffect = 0;
    friend bool operator==(const Recorded &, const Recorded &) = default;
};

// "inEffect kind.round.outcome.square.amount ...", one line of text.
inline QString encode(const Recorded &game)
{
    QStringList words{ QString::number(game.inEffect) };
    for (const scoring::Step &step : game.steps)
        words << QStringLiteral("%1.%2.%3.%4.%5")
                         .arg(int(step.kind))
                         .arg(int(step.round))
                         .arg(int(step.outcome))
                         .arg(step.square)
                         .arg(step.amount);
    return words.join(u' ');
}

inline Recorded decode(const QString &line)
{
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    Recorded game{ {}, words.value(0).toInt() };
    for (const QString &word : words.mid(1)) {
        const QStringList f = word.split(u'.');
        game.steps.push_back({ scoring::StepKind(f.value(0).toInt()),
                               scoring::Round(f.value(1).toInt()),
                               scoring::Outcome(f.value(2).toInt()), f.value(3).toInt(),
                               f.value(4).toLongLong() });
    }
    return game;
}

class Player final : public QObject
{
public:
    explicit Player(std::uint32_t seed) : m_random(seed)
    {
        m_modalPoll.setInterval(1);
        connect(&m_modalPoll, &QTimer::timeout, this, &Player::answerModal);
    }

    // Plays one game from a fresh program for at most maxActions actions, or until it ends.
    // Returns false (and records why) at the first difference from the model.
    bool playGame(int maxActions, Totals &totals)
    {
        m_model = Model{};
        m_totals = &totals;
        m_failure.clear();
        ++totals.games;
        SingleBoard::instance().show();
        m_model.show(Single);
        m_modalPoll.start();
        for (int i = 0; i < maxActions && !m_model.ended && m_failure.isEmpty(); ++i) {
            step();
            ++totals.actions;
            if (m_failure.isEmpty())
                check();
        }
        m_modalPoll.stop();
        totals.pendingDigitsDropped += m_model.pendingDigitsDropped;
        totals.wagerBackFromFinal += m_model.wagerBackFromFinal;
        totals.throughBoard += m_model.throughBoard;
        if (m_model.isVisible(Final) || m_model.loaded[Final] || m_model.finalShown)
            ++totals.finished;
        runtime::FormRuntime::instance().reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!m_failure.isEmpty()) {
            totals.failures << QStringLiteral("game %1 action %2: %3")
                                       .arg(totals.games)
                                       .arg(m_actionLog.size())
                                       .arg(m_failure)
                            + "\n  last actions: "
                            + m_actionLog.mid(m_actionLog.size() - 12).join(" | ");
        }
        m_actionLog.clear();
        return m_failure.isEmpty();
    }

    // One life of the program as a kill test runs it: it starts as the program does, with its
    // games kept, answering the question that offers back the game the record holds
    // (`recorded`, if any), then plays on until the game ends or it is killed. After each
    // action it writes the game's steps as its model has them.
    int live(const std::optional<Recorded> &recorded, Totals &totals)
    {
        QTextStream out(stdout);
        gametest::keepGamesIn(qEnvironmentVariable("VANTOREL_SOAK_RECORD"));
        m_model = Model{};
        m_totals = &totals;
        SingleBoard::instance().show();
        m_model.show(Single);
        m_resuming = recorded.has_value();
        m_expectQuestion = m_resuming;
        m_modalPoll.start();
        // The record opens, and offers its game, once the first board has been painted.
        QDeadlineTimer deadline(10000);
        storage::GameStore *store = nullptr;
        bool looked = false;
        const auto look = [&] {
            looked = true;
            out << "LOOKED" << Qt::endl; // the record open, and the locks of lives gone swept
        };
        while (!looked && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            if (!store && (store = gametest::playAlong().journal()->store())) {
                connect(store, &storage::GameStore::offered, this, look);
                connect(store, &storage::GameStore::nothingOffered, this, look);
                // What is on disk, by the number of the change the life handed over last.
                connect(store, &storage::GameStore::written, this,
                        [&out](std::uint64_t sequence) { out << "KEPT " << sequence << Qt::endl; });
            }
        }
        // The question's answer comes after it.
        QCoreApplication::processEvents();
        if (m_questions != int(m_resuming))
            fail("the game kept was not offered back, or one was offered that was not kept");
        m_expectQuestion = m_resuming = false;
        if (recorded && m_answeredYes)
            m_model.replay(recorded->steps, recorded->inEffect);
        const bool faults = qEnvironmentVariableIsSet("VANTOREL_SOAK_FAULTS");
        // Terminated, it ends as the program does: what it handed to the record is written.
        bool terminated = false;
        runtime::handleTermination([&terminated] { terminated = true; });
        const auto showState = [&] {
            const auto [steps, inEffect] = m_model.steps();
            out << "STATE " << (store ? store->lastHanded() : 0) << ' '
                << encode({ steps, inEffect }) << Qt::endl;
        };
        for (check(); m_failure.isEmpty() && !m_model.ended && !terminated; check()) {
            showState();
            if (m_model.isVisible(Final))
                break;
            if (faults && chance(4))
                failDiskAWhile();
            step();
        }
        if (!m_failure.isEmpty()) {
            out << "FAIL " << m_failure << " after " << m_actionLog.join(" | ") << Qt::endl;
            return 1;
        }
        if (terminated)
            showState();
        out << (terminated ? "TERMINATED" : "OVER") << Qt::endl;
        return 0;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    // The disk fails as the store's tests make it fail, for up to a second and a half: never
    // long enough to be told, so that the player's model needs no box for it.
    void failDiskAWhile()
    {
        faultvfs::Knobs &disk = faultvfs::install();
        const int kind = pick(5);
        if (kind == 4)
            disk.syncDelayMs = 500;
        else
            disk.fault = std::array{ faultvfs::Fault::Busy, faultvfs::Fault::Full,
                                     faultvfs::Fault::WriteError,
                                     faultvfs::Fault::SyncError }[std::size_t(kind)];
        QTimer::singleShot(100 + pick(1400), this, [&disk] {
            disk.fault = faultvfs::Fault::None;
            disk.syncDelayMs = 0;
        });
    }
    bool chance(int percent) { return pick(100) < percent; }

    void log(const QString &action) { m_actionLog << action; }
    void fail(const QString &why)
    {
        if (m_failure.isEmpty())
            m_failure = why;
    }

    // A key goes down in the active window (offscreen leaves none after a menu has closed,
    // where a desktop gives activation back to the window under it) and comes up wherever the
    // focus is by then.
    void realKey(int w, const QKeySequence &keys)
    {
        QWidget *window = form(w).window();
        if (QApplication::activeWindow() != window) {
            window->activateWindow();
            QCoreApplication::processEvents();
        }
        const QKeyCombination key = keys[0];
        QTest::keyPress(window, key.key(), key.keyboardModifiers());
        QCoreApplication::processEvents();
        if (QWidget *now = QApplication::activeWindow())
            QTest::keyRelease(now, key.key(), key.keyboardModifiers());
    }

    // The board's context menu by a right click, which makes the board active first: none if
    // that activation handed the round over.
    QMenu *openMenu(int board)
    {
        m_model.press(board);
        clickThroughWindowSystem(form(board).window()->findChild<QLabel *>("Label1"),
                                 Qt::RightButton);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu && m_model.isVisible(board))
            fail("no context menu on the board");
        if (menu && !m_model.isVisible(board))
            fail("a context menu on a board that has gone");
        return m_model.isVisible(board) ? menu : nullptr;
    }

    void undoOrRedo(bool undo)
    {
        const int keyWindow = m_model.active;
        // A key whose action is disabled goes to the window as an unused keystroke.
        const bool byKey = (keyWindow == Single || keyWindow == Double || keyWindow == Clue)
                && !(undo ? m_model.done : m_model.undone).empty() && chance(50);
        log(QStringLiteral("%1 by %2").arg(undo ? "undo" : "redo", byKey ? "key" : "menu"));
        if (byKey) {
            realKey(keyWindow, undo ? QKeySequence::Undo : QKeySequence::Redo);
        } else if (QMenu *menu = openMenu(m_model.inPlay())) {
            chooseFromMenu(menu, undo ? u"Undo" : u"Redo");
        } else {
            return;
        }
        (undo ? m_totals->undos : m_totals->redos) += 1;
        m_model.undoOrRedo(undo);
    }

    // Runs an action that must ask a Yes/No question exactly when expected; returns whether the
    // question was asked and answered Yes.
    bool answeredYes(bool expected, const std::function<void()> &action)
    {
        const int questionsBefore = m_questions;
        m_expectQuestion = expected;
        action();
        m_expectQuestion = false;
        if (expected != (m_questions > questionsBefore))
            fail(QStringLiteral("question %1").arg(expected ? "missing" : "unexpected"));
        return expected && m_answeredYes;
    }

    void endRound()
    {
        QMenu *menu = openMenu(m_model.inPlay());
        const bool enabled = menu && !Model::allUsed(m_model.usedInPlay());
        log(QStringLiteral("end this round (%1)").arg(enabled ? "open squares" : "disabled"));
        if (menu && answeredYes(enabled, [&] { chooseFromMenu(menu, u"End This Round"); })) {
            ++m_totals->roundsEnded;
            m_model.endRound();
        }
    }

    void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        m_model.settle();
    }

    QPushButton *boardSquare(int board, int index)
    {
        return board == Single ? SingleBoard::instance().Command1(index)
                               : DoubleBoard::instance().Command1(index);
    }

    // A random string for the wager box: mostly digits, sometimes long, sometimes junk.
    QString randomText()
    {
        static const QString junk =
                QStringLiteral("-+ .,eE\t\nabcxyz$%\u00e9\u0663\u00bd0123456789");
        QString text;
        const int length = chance(10) ? 1 + pick(60) : 1 + pick(11);
        const bool digitsOnly = chance(75);
        for (int i = 0; i < length; ++i)
            text += digitsOnly ? QChar(u'0' + pick(10)) : junk.at(pick(int(junk.size())));
        return text;
    }

    void step()
    {
        const int board = m_model.isVisible(Single) ? Single : Double;
        std::vector<int> choices;
        auto offer = [&](int action, int weight) { choices.insert(choices.end(), weight, action); };
        enum { Square, DailyDoubleButton, Answer, WagerButton, Type, Paste, Close, Press };
        enum { Undo = Press + 1, Redo, EndRound };
        if (m_model.isVisible(board)) {
            offer(Square, 30);
            offer(DailyDoubleButton, 3);
            offer(Undo, 4);
            offer(Redo, 3);
            offer(EndRound, 1);
        }
        if (m_model.isVisible(Clue))
            offer(Answer, 25);
        if (m_model.isVisible(Wager)) {
            offer(WagerButton, 12);
            offer(Type, 12);
            offer(Paste, 3);
        }
        offer(Close, m_model.isVisible(Final) ? 20 : 1);
        offer(Press, 3);

        const int action = choices[pick(int(choices.size()))];
        switch (action) {
        case Square: {
            int index = pick(30);
            const auto &used = board == Single ? m_model.singleUsed : m_model.doubleUsed;
            if (chance(80)) { // mostly an open one, so games get to the end
                std::vector<int> open;
                for (int i = 0; i < 30; ++i)
                    if (!used[i])
                        open.push_back(i);
                if (!open.empty())
                    index = open[pick(int(open.size()))];
            }
            log(QStringLiteral("square %1 on %2").arg(index).arg(windowName(board)));
            m_model.press(board);
            clickThroughWindowSystem(boardSquare(board, index));
            m_model.square(board, index);
            break;
        }
        case DailyDoubleButton:
            log(QStringLiteral("Daily Double on %1").arg(windowName(board)));
            m_model.press(board);
            clickThroughWindowSystem(board == Single ? SingleBoard::instance().Command2()
                                                     : DoubleBoard::instance().Command2());
            m_model.show(Wager);
            break;
        case Answer: {
            const int button = pick(3);
            const bool byKey = m_model.active == Clue && chance(40); // the same as a click
            if (!byKey)
                m_model.press(Clue);
            m_expectBox = m_model.answer(button);
            const int boxesBefore = m_boxes;
            if (byKey) {
                static const Qt::Key keys[] = { Qt::Key_C, Qt::Key_N, Qt::Key_I };
                // Either case, as with Caps Lock or Shift.
                const QKeySequence key(QKeyCombination(
                        chance(30) ? Qt::ShiftModifier : Qt::NoModifier, keys[button]));
                log(QStringLiteral("clue key %1").arg(key.toString()));
                realKey(Clue, key);
            } else {
                log(QStringLiteral("clue button %1").arg(button));
                clickThroughWindowSystem(Question::instance().Command1(button));
            }
            if (m_expectBox != (m_boxes > boxesBefore))
                fail(QStringLiteral("message box %1 for an answer at score %2")
                             .arg(m_expectBox ? "missing" : "unexpected")
                             .arg(m_model.score));
            m_expectBox = false;
            // Clicked again as the window hides: a second click lands on nothing.
            if (chance(10) && Question::instance().isLoaded()
                && Question::instance().window()->isVisible() != m_model.isVisible(Clue))
                fail("clue window shown after its answer");
            break;
        }
        case WagerButton: {
            DailyDouble &wager = DailyDouble::instance();
            int button = pick(3);
            if (!wager.Command1(button)->isVisible())
                button = gametest::WagerCorrect;
            const QString text = wager.Wager()->text();
            log(QStringLiteral("wager button %1 with '%2'").arg(button).arg(text));
            const bool escape =
                    button == gametest::WagerCancel && m_model.active == Wager && chance(40);
            if (!escape)
                m_model.press(Wager);
            m_expectBox = m_model.wager(button, text);
            const int boxesBefore = m_boxes;
            if (escape)
                realKey(Wager, QKeySequence(Qt::Key_Escape));
            else
                clickThroughWindowSystem(wager.Command1(button));
            if (m_expectBox != (m_boxes > boxesBefore))
                fail(QStringLiteral("message box %1 for wager '%2'")
                             .arg(m_expectBox ? "missing" : "unexpected", text));
            if (m_expectBox && text.isEmpty() == false && wager.Wager()->text() != text)
                fail("a refused wager lost its text");
            m_expectBox = false;
            break;
        }
        case Type: {
            QLineEdit *box = DailyDouble::instance().Wager();
            m_model.press(Wager);
            clickThroughWindowSystem(box);
            QTest::keyClick(box, Qt::Key_End);
            // Tab is no text: it takes the focus round the window and back into the box,
            // selecting what it holds.
            QString text = randomText().remove(u'\t');
            log(QStringLiteral("type '%1'").arg(text));
            for (const QChar c : text) {
                if (c == u'\n') {
                    QTest::keyClick(box, Qt::Key_Return);
                } else if (c.unicode() < 128) {
                    QTest::keyClick(box, char(c.unicode()));
                } else { // a character no key of the test keyboard names
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                    QCoreApplication::sendEvent(box, &press);
                }
            }
            if (chance(20)) {
                QTest::keyClick(box, Qt::Key_Backspace);
                text += u'\b';
            }
            m_model.type(text);
            break;
        }
        case Paste: {
            QLineEdit *box = DailyDouble::instance().Wager();
            m_model.press(Wager);
            clickThroughWindowSystem(box);
            QTest::keyClick(box, Qt::Key_End);
            const QString text = randomText();
            log(QStringLiteral("paste '%1'").arg(text));
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            m_model.paste(text);
            break;
        }
        case Close: {
            if (m_model.visible.empty())
                break;
            const int w = m_model.visible[pick(int(m_model.visible.size()))];
            if ((w == Single || w == Double) && chance(90))
                break; // rarely the end of the game, so most games reach the Final Score
            log(QStringLiteral("close %1").arg(windowName(w)));
            const bool asks = (w == Single || w == Double) && m_model.gameUnderWay();
            if (answeredYes(asks, [w] { form(w).window()->close(); }) || !asks)
                m_model.close(w);
            break;
        }
        case Undo:
        case Redo:
            undoOrRedo(action == Undo);
            break;
        case EndRound:
            endRound();
            break;
        case Press: {
            if (m_model.visible.empty())
                break;
            const int w = m_model.visible[pick(int(m_model.visible.size()))];
            log(QStringLiteral("press on %1").arg(windowName(w)));
            QWidget *window = form(w).window();
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(2, 2));
            m_model.press(w);
            break;
        }
        }
        settle();
    }

    // Inside the modal box's own event loop: clicks elsewhere must change nothing; then the
    // box is answered.
    void answerModal()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || m_inModal)
            return;
        m_inModal = true;
        ++m_boxes;
        ++m_totals->boxes;
        const bool question = box->button(QMessageBox::Yes) != nullptr;
        if (question) {
            ++m_questions;
            ++m_totals->questions;
            if (!m_expectQuestion)
                fail("question nobody asked for: " + box->text());
        } else if (!m_expectBox) {
            fail("message box nobody asked for: " + box->text());
        }
        const std::int32_t scoreBefore = SingleBoard::instance().Score;
        for (int i = pick(4); i > 0; --i) {
            const int w = m_model.visible[pick(int(m_model.visible.size()))];
            QList<QPushButton *> buttons = form(w).window()->findChildren<QPushButton *>();
            // The box is a child of the window it speaks for; its own button is not behind it.
            buttons.removeIf([box](QPushButton *b) { return b->window() == box; });
            if (!buttons.isEmpty()) {
                clickThroughWindowSystem(buttons.at(pick(int(buttons.size()))));
            }
            QCoreApplication::processEvents();
        }
        if (SingleBoard::instance().Score != scoreBefore)
            fail("a click behind the message box changed the score");
        // The question that offers a game back has Yes for its default, the others No.
        const bool yesByDefault = box->defaultButton() == box->button(QMessageBox::Yes);
        if (question && yesByDefault != m_resuming)
            fail("the default answer is wrong: " + box->text());
        m_answeredYes = question && chance(m_resuming ? 90 : 40);
        if ((!question || m_answeredYes == yesByDefault) && chance(50)) {
            QTest::keyClick(box, Qt::Key_Enter);
        } else {
            log(m_answeredYes ? "Yes clicked" : "OK or No clicked");
            clickThroughWindowSystem(
                    !question ? box->buttons().constFirst()
                              : box->button(m_answeredYes ? QMessageBox::Yes : QMessageBox::No));
        }
        m_inModal = false;
    }

    void check()
    {
        runtime::FormRuntime &runtime = runtime::FormRuntime::instance();
        const bool programEnded = runtime.loadedForms().empty();
        if (programEnded != m_model.ended)
            return fail(programEnded ? "the program ended" : "the program did not end");
        if (m_model.ended)
            return;
        bool anyVisible = false;
        for (int w = 0; w < windowCount; ++w) {
            runtime::Form &f = form(w);
            const bool shown = f.isShown();
            anyVisible = anyVisible || shown;
            if (f.isLoaded() != m_model.loaded[w] && (w != Double || m_model.loaded[w]))
                return fail(QStringLiteral("%1 loaded is %2").arg(windowName(w)).arg(f.isLoaded()));
            if (shown != m_model.isVisible(w))
                return fail(QStringLiteral("%1 visible is %2").arg(windowName(w)).arg(shown));
            if (f.isLoaded() && f.window()->isVisible() != shown)
                return fail(QStringLiteral("%1 widget visibility differs").arg(windowName(w)));
        }
        if (!anyVisible)
            return fail("running with no visible window");
        if (m_model.active < 0 || runtime.activeForm() != &form(m_model.active))
            return fail(QStringLiteral("active window is %1, expected %2")
                                .arg(runtime.activeForm()
                                             ? runtime.activeForm()->layout().name.data()
                                             : "none")
                                .arg(m_model.active < 0 ? "none" : windowName(m_model.active)));
        if (SingleBoard::instance().Score != m_model.score)
            return fail(QStringLiteral("score %1, expected %2")
                                .arg(SingleBoard::instance().Score)
                                .arg(m_model.score));
        if (m_model.isVisible(Final)) {
            if (Last::instance().Label2()->text() != texts::moneyText(double(m_model.finalShown)))
                return fail("Final Score shows " + Last::instance().Label2()->text());
            return;
        }
        const int board = m_model.isVisible(Single) ? Single : Double;
        const QList<QAction *> undoRedo = form(board).window()->actions();
        if (undoRedo.size() < 2)
            return fail("the board has no undo entries");
        const QString undoText = m_model.done.empty() ? "Undo" : "Undo " + m_model.done.back().text;
        const QString redoText =
                m_model.undone.empty() ? "Redo" : "Redo " + m_model.undone.back().text;
        if (undoRedo[0]->text() != undoText || undoRedo[1]->text() != redoText
            || undoRedo[0]->isEnabled() == m_model.done.empty()
            || undoRedo[1]->isEnabled() == m_model.undone.empty())
            return fail(QStringLiteral("undo entries read '%1' and '%2', expected '%3' and '%4'")
                                .arg(undoRedo[0]->text(), undoRedo[1]->text(), undoText, redoText));
        { // whichever window is active
            const QLabel *label = board == Single ? SingleBoard::instance().ScoreLabel()
                                                  : DoubleBoard::instance().ScoreLabel();
            if (label->text() != texts::scoreText(std::int32_t(m_model.score)))
                return fail("the board in play shows " + label->text());
        }
        if (m_model.isVisible(board)) {
            const auto &used = board == Single ? m_model.singleUsed : m_model.doubleUsed;
            for (int i = 0; i < 30; ++i) {
                const QString expected = used[i]
                        ? QString()
                        : texts::moneyText(double((board == Single ? 1 : 2) * Model::rowValue(i)));
                if (boardSquare(board, i)->text() != expected)
                    return fail(QStringLiteral("square %1 reads '%2'")
                                        .arg(i)
                                        .arg(boardSquare(board, i)->text()));
            }
        }
        if (m_model.isVisible(Clue)) {
            Question &clue = Question::instance();
            const double value = double(m_model.clueFactor * Model::rowValue(m_model.clueSquare));
            if (clue.tag() != texts::indexText(m_model.clueSquare)
                || clue.caption() != texts::clueTitle(value)
                || clue.Label1()->text() != texts::moneyText(value))
                return fail("clue window names the wrong square: " + clue.caption());
        }
        if (m_model.loaded[Wager]) {
            DailyDouble &wager = DailyDouble::instance();
            if (wager.Wager()->text() != m_model.wagerText)
                return fail(QStringLiteral("wager box holds '%1', expected '%2'")
                                    .arg(wager.Wager()->text(), m_model.wagerText));
            if (m_model.isVisible(Wager)
                && ((wager.caption() == "Final Vantorel") != m_model.finalRound
                    || wager.Command1(gametest::WagerCancel)->isVisible() == m_model.finalRound
                    || (wager.tag() == "1") != m_model.finalRound))
                return fail("wager window in the wrong round: " + wager.caption());
        }
    }

    std::mt19937 m_random;
    Model m_model;
    Totals *m_totals = nullptr;
    QString m_failure;
    QStringList m_actionLog;
    QTimer m_modalPoll;
    bool m_inModal = false;
    bool m_expectBox = false;
    bool m_expectQuestion = false;
    bool m_answeredYes = false;
    bool m_resuming = false; // the next question offers a game back
    int m_boxes = 0;
    int m_questions = 0;
};

// Lives of the program, each killed (SIGKILL) at a chosen moment and started again, with a
// check of the record after each: no damage, and no result lost or changed. A result on screen
// is one the life wrote out after its action; the action under way when it was killed may or
// may not be kept, but nothing else may differ.
class KillTest
{
public:
    KillTest(QString program, const QString &folder, std::uint32_t seed)
        : m_program(std::move(program)), m_record(folder + "/games.sqlite"), m_seed(seed)
    { }

    // Starts a life, kills it once it has written `actions` states and `delayMs` more have
    // passed (or lets it end), and checks the record. With `faults`, the life's disk fails now
    // and then for a moment. Terminated instead of killed, it must have kept every result.
    // Returns what went wrong, if anything.
    QString live(int actions, int delayMs, bool faults = false, bool terminate = false)
    {
        QProcess life;
        QStringList arguments{ "--life", QString::number(m_seed++) };
        if (m_kept) {
            arguments << encode(*m_kept);
            ++resumed;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("VANTOREL_SOAK_RECORD", m_record);
        if (faults)
            environment.insert("VANTOREL_SOAK_FAULTS", "1");
        life.setProcessEnvironment(environment);
        life.start(m_program, arguments);
        QByteArray output;
        while (output.count("STATE ") < actions && life.waitForReadyRead(20000))
            output += life.readAllStandardOutput();
        // A life that ended on its own went as the program ends, game over or not.
        if (life.state() == QProcess::NotRunning && life.exitStatus() == QProcess::CrashExit)
            return QStringLiteral("the life crashed as it ended");
        QThread::msleep(delayMs);
        if (terminate)
            life.terminate();
        else
            life.kill();
        life.waitForFinished(20000);
        output += life.readAllStandardOutput();
        ++kills;
        if (output.contains("FAIL "))
            return QString::fromUtf8(output.mid(output.indexOf("FAIL ")));
        m_unswept = output.contains("LOOKED") ? 1 : m_unswept + 1;
        // What the life had on screen, state by state, each with the number of the last change
        // it handed to the record; and the last change the record said was on disk.
        std::vector<std::pair<std::uint64_t, Recorded>> shown{ { 0, m_kept.value_or(Recorded{}) } };
        std::uint64_t kept = 0;
        for (const QByteArray &line : output.split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (line.startsWith("STATE "))
                shown.emplace_back(words.value(1).toULongLong(),
                                   decode(QString::fromUtf8(line.mid(7 + words.value(1).size()))));
            else if (line.startsWith("KEPT "))
                kept = std::max<std::uint64_t>(kept, words.value(1).toULongLong());
        }
        // The record may hold any state since the last one it said was on disk, but no older:
        // how far behind the screen it may be is the writer's queue at the moment of the kill.
        auto first = std::find_if(shown.begin(), shown.end(),
                                  [kept](const auto &state) { return state.first >= kept; });
        if (first != shown.begin())
            --first;
        if (output.contains("TERMINATED"))
            first = shown.end() - 1;
        std::vector<Recorded> possible;
        for (auto state = first; state != shown.end(); ++state)
            possible.push_back(state->second);
        return checkRecord(possible);
    }

    long kills = 0;
    long resumed = 0; // lives that were offered their game back and took it
    long integrityChecks = 0;
    long resultsCompared = 0;
    long behind = 0; // kills that found the record a change or more behind the screen

private:
    // A stored game follows from what was on screen if it is that, or that and one more move:
    // a result, an undo, a redo.
    static bool follows(const Recorded &shown, const Recorded &stored)
    {
        if (stored == shown)
            return true;
        if (stored.steps == shown.steps && std::abs(stored.inEffect - shown.inEffect) == 1)
            return true;
        return stored.inEffect == shown.inEffect + 1 && int(stored.steps.size()) == stored.inEffect
                && std::equal(shown.steps.begin(), shown.steps.begin() + shown.inEffect,
                              stored.steps.begin());
    }

    // `possible`: the states the record may hold, the last one the last on screen.
    QString checkRecord(const std::vector<Recorded> &possible)
    {
        const Recorded &shown = possible.back();
        sqlite3 *db = nullptr;
        QString integrity;
        if (sqlite3_open(m_record.toUtf8().constData(), &db) == SQLITE_OK) {
            sqlite3_stmt *check = nullptr;
            sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
            if (sqlite3_step(check) == SQLITE_ROW)
                integrity = QString::fromUtf8(
                        reinterpret_cast<const char *>(sqlite3_column_text(check, 0)));
            sqlite3_finalize(check);
        }
        sqlite3_close(db);
        const bool fresh = !QFile::exists(m_record);
        if (!fresh && integrity != "ok")
            return "the record is damaged: " + integrity;
        integrityChecks += fresh ? 0 : 1;
        const QDir folder = QFileInfo(m_record).dir();
        if (!folder.entryList({ "*.damaged-*" }).isEmpty())
            return "the record was set aside as damaged";
        // The life just killed left its lock; the last one to open the record swept the older
        // ones.
        if (const qsizetype locks = folder.entryList({ "*.copy-*.lock" }, QDir::Files).size();
            locks > m_unswept)
            return QStringLiteral("%1 locks of killed lives left behind").arg(locks);
        const storage::Record::Games read = storage::Record(m_record).games();
        if (!read.problem.isEmpty())
            return read.problem;
        const std::vector<storage::GameRecord> &games = read.games;
        const auto open = std::find_if(games.begin(), games.end(), [](const auto &game) {
            return game.ending == storage::Ending::InProgress;
        });
        const auto &game = open != games.end() ? *open
                : games.empty()                ? storage::GameRecord{}
                                               : games.front();
        const Recorded stored{ game.steps, game.stepsInEffect };
        resultsCompared += long(shown.steps.size());
        const bool follow =
                std::any_of(possible.begin(), possible.end(),
                            [&](const Recorded &state) { return follows(state, stored); });
        if (!follow && (shown.inEffect > 0 || open != games.end()))
            return QStringLiteral("results lost or changed: on screen %1, kept %2")
                    .arg(encode(shown), encode(stored));
        behind += !follows(shown, stored) && shown.inEffect > 0;
        m_kept = open != games.end() ? std::optional(stored) : std::nullopt;
        return {};
    }

    QString m_program;
    QString m_record;
    std::uint32_t m_seed;
    std::optional<Recorded> m_kept; // the game in progress in the record
    int m_unswept = 0; // lives since the last one that opened the record, it included
};

} // namespace soak
