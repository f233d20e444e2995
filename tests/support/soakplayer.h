// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// A seeded random player for the real windows. It clicks through the window system's input
// path (so the modal box really blocks the other windows), types and pastes into the wager box,
// answers with keys, undoes and redoes from the boards' menu and keys, ends rounds early,
// changes earlier results and closes windows; after every action it checks the windows against
// the game the history holds (soakchecks.h), and that every message box and question came
// exactly when the rules call for one.

#include "playalong/history.h"
#include "playalong/journal.h"
#include "scoring/scoring.h"
#include "storage/gamestore.h"
#include "tests/support/faultvfs.h"
#include "tests/support/gametest.h"
#include "tests/support/soakchecks.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace soak {

using gametest::chooseFromMenu;
using gametest::clickThroughWindowSystem;

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
    long changes = 0; // earlier results changed from a square's menu
    long changesRefused = 0;
    QStringList failures;
};

class Player final : public QObject
{
public:
    explicit Player(std::uint32_t seed) : m_random(seed)
    {
        m_modalPoll.setInterval(1);
        connect(&m_modalPoll, &QTimer::timeout, this, &Player::answerModal);
    }

    // Plays one game from a fresh program for at most maxActions actions, or until it ends.
    // Returns false (and records why) at the first fault found.
    bool playGame(int maxActions, Totals &totals)
    {
        m_totals = &totals;
        m_failure.clear();
        ++totals.games;
        SingleBoard::instance().show();
        m_modalPoll.start();
        for (int i = 0; i < maxActions && !ended() && m_failure.isEmpty(); ++i) {
            step();
            ++totals.actions;
            if (m_failure.isEmpty())
                fail(checkWindows(history()));
        }
        m_modalPoll.stop();
        totals.finished += history().game().finished();
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

    // Set while the player waits for the question that offers a game back.
    bool resuming = false;
    // Whether the last question was answered Yes.
    bool answeredYes() const { return m_answeredYes; }
    int questions() const { return m_questions; }
    QString failure() const { return m_failure; }
    QStringList actionLog() const { return m_actionLog; }
    bool ended() const { return runtime::FormRuntime::instance().loadedForms().empty(); }

    void startModalPoll(Totals &totals)
    {
        m_totals = &totals;
        m_modalPoll.start();
    }

    // One action at random, and a check of what it left.
    void playOne()
    {
        step();
        fail(checkWindows(history()));
    }

    // The disk fails as the store's tests make it fail, for up to a second and a half: never
    // long enough to be told, so that no box comes of it.
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

private:
    static playalong::History &history() { return gametest::playAlong().history(); }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    void log(const QString &action) { m_actionLog << action; }
    void fail(const QString &why)
    {
        if (m_failure.isEmpty())
            m_failure = why;
    }
    bool shown(int w) { return form(w).isShown(); }
    bool active(int w) { return runtime::FormRuntime::instance().activeForm() == &form(w); }

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

    // The board's context menu by a right click on a widget of it, which makes the board active
    // first: none if that activation handed the round over.
    QMenu *openMenu(int w, QWidget *on = nullptr)
    {
        clickThroughWindowSystem(on ? on : board(w).Label1(), Qt::RightButton);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (menu && !shown(w))
            fail("a context menu on a board that has gone");
        return shown(w) ? menu : nullptr;
    }

    void undoOrRedo(bool undo)
    {
        const int w = boardShown();
        const bool can = undo ? history().stack().canUndo() : history().stack().canRedo();
        // A key whose action is disabled goes to the window as an unused keystroke.
        const int keyWindow = active(Clue) ? Clue : w;
        const bool byKey = can && chance(50) && (active(keyWindow));
        log(QStringLiteral("%1 by %2").arg(undo ? "undo" : "redo", byKey ? "key" : "menu"));
        const int before = history().game().inEffect();
        if (byKey) {
            realKey(keyWindow, undo ? QKeySequence::Undo : QKeySequence::Redo);
        } else if (QMenu *menu = openMenu(w)) {
            chooseFromMenu(menu, undo ? u"Undo" : u"Redo");
        } else {
            return;
        }
        (undo ? m_totals->undos : m_totals->redos) += 1;
        if (can && history().game().inEffect() != before + (undo ? -1 : 1))
            fail("the game did not move with the undo history");
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

    // Runs an action that must show a message box exactly when expected.
    void boxed(bool expected, const QString &what, const std::function<void()> &action)
    {
        const int boxesBefore = m_boxes;
        m_expectBox = expected;
        action();
        m_expectBox = false;
        if (expected != (m_boxes > boxesBefore))
            fail(QStringLiteral("message box %1 for %2 at score %3")
                         .arg(expected ? "missing" : "unexpected", what)
                         .arg(SingleBoard::instance().Score));
    }

    void endRound()
    {
        const int w = boardShown();
        QMenu *menu = openMenu(w);
        const bool enabled = menu && board(w).openSquares().any();
        log(QStringLiteral("end this round (%1)").arg(enabled ? "open squares" : "disabled"));
        if (menu && answeredYes(enabled, [&] { chooseFromMenu(menu, u"End This Round"); }))
            ++m_totals->roundsEnded;
    }

    // Another answer for a square answered on the board, from the menu asked for on it.
    void changeResult()
    {
        const int w = boardShown();
        const int square = pick(scoring::squareCount);
        const scoring::Round round = w == Single ? scoring::Round::First : scoring::Round::Second;
        const auto result = history().game().resultOn(round, square);
        log(QStringLiteral("change square %1 on %2").arg(square).arg(windowName(w)));
        QMenu *menu = openMenu(w, board(w).Command1(square));
        if (!menu)
            return;
        QAction *first = menu->actions().at(gamescript::menuEntry(menu, u"&Correct"));
        if (first->isVisible() != (result && board(w).Command1(square)->text().isEmpty()))
            fail("the menu offers the wrong result for the square");
        if (!first->isVisible()) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        const auto to = scoring::Outcome(pick(3));
        const bool refused = !history().game().changed(result->index, to, 0);
        boxed(refused, "a change", [&] {
            chooseFromMenu(menu, std::array{ u"&Correct", u"&No Ring In", u"&Incorrect" }[int(to)]);
        });
        (refused ? m_totals->changesRefused : m_totals->changes) += 1;
    }

    void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
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

    // Whether scoring `change` would carry the score past what it can hold.
    static bool pastTheLimit(double change)
    {
        return !scoring::scoreCanTake(SingleBoard::instance().Score, change);
    }

    void step()
    {
        const int w = boardShown();
        std::vector<int> choices;
        auto offer = [&](int action, int weight) { choices.insert(choices.end(), weight, action); };
        enum { Square, DailyDoubleButton, Answer, WagerButton, Type, Paste, Close, Press };
        enum { Undo = Press + 1, Redo, EndRound, Change };
        if (w >= 0) {
            offer(Square, 30);
            offer(DailyDoubleButton, 3);
            offer(Undo, 4);
            offer(Redo, 3);
            offer(EndRound, 1);
            offer(Change, 3);
        }
        if (shown(Clue))
            offer(Answer, 25);
        if (shown(Wager)) {
            offer(WagerButton, 12);
            offer(Type, 12);
            offer(Paste, 3);
        }
        offer(Close, shown(Final) ? 20 : 1);
        offer(Press, 3);

        switch (const int action = choices[std::size_t(pick(int(choices.size())))]) {
        case Square: {
            int index = pick(scoring::squareCount);
            if (chance(80)) { // mostly an open one, so games get to the end
                std::vector<int> open;
                for (int i = 0; i < scoring::squareCount; ++i)
                    if (!board(w).Command1(i)->text().isEmpty())
                        open.push_back(i);
                if (!open.empty())
                    index = open[std::size_t(pick(int(open.size())))];
            }
            log(QStringLiteral("square %1 on %2").arg(index).arg(windowName(w)));
            const bool opens = !board(w).Command1(index)->text().isEmpty();
            clickThroughWindowSystem(board(w).Command1(index));
            if (opens && (!shown(Clue) || Question::instance().square() != index))
                fail("the clue window did not open on the square");
            break;
        }
        case DailyDoubleButton:
            log(QStringLiteral("Daily Double on %1").arg(windowName(w)));
            clickThroughWindowSystem(board(w).Command2());
            if (!shown(Wager))
                fail("the wager window did not open");
            break;
        case Answer: {
            const int button = pick(3);
            const bool byKey = active(Clue) && chance(40); // the same as a click
            const int square = Question::instance().square().value_or(0);
            const double value = boardShown() < 0 ? 0 : board(boardShown()).squareValue(square);
            const bool refused = pastTheLimit((1 - button) * value);
            boxed(refused, "an answer", [&] {
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
            });
            if (shown(Clue) != refused)
                fail("the clue window stayed or went against its answer");
            break;
        }
        case WagerButton: {
            DailyDouble &wager = DailyDouble::instance();
            int button = pick(3);
            if (!wager.Command1(button)->isVisible())
                button = gametest::WagerCorrect;
            const QString text = wager.Wager()->text();
            log(QStringLiteral("wager button %1 with '%2'").arg(button).arg(text));
            const bool escape = button == gametest::WagerCancel && active(Wager) && chance(40);
            const double amount = text.toDouble() * (button == gametest::WagerCorrect ? 1 : -1);
            const bool refused =
                    button != gametest::WagerCancel && (text.isEmpty() || pastTheLimit(amount));
            boxed(refused, "wager '" + text + "'", [&] {
                if (escape)
                    realKey(Wager, QKeySequence(Qt::Key_Escape));
                else
                    clickThroughWindowSystem(wager.Command1(button));
            });
            if (refused && !text.isEmpty() && wager.Wager()->text() != text)
                fail("a refused wager lost its text");
            break;
        }
        case Type: {
            QLineEdit *box = DailyDouble::instance().Wager();
            clickThroughWindowSystem(box);
            QTest::keyClick(box, Qt::Key_End);
            // Tab is no text: it takes the focus round the window and back into the box,
            // selecting what it holds.
            const QString text = randomText().remove(u'\t');
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
            if (chance(20))
                QTest::keyClick(box, Qt::Key_Backspace);
            break;
        }
        case Paste: {
            QLineEdit *box = DailyDouble::instance().Wager();
            clickThroughWindowSystem(box);
            QTest::keyClick(box, Qt::Key_End);
            const QString text = randomText();
            log(QStringLiteral("paste '%1'").arg(text));
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            break;
        }
        case Close: {
            std::vector<int> inView;
            for (int each = 0; each < windowCount; ++each)
                if (shown(each))
                    inView.push_back(each);
            const int closed = inView[std::size_t(pick(int(inView.size())))];
            if ((closed == Single || closed == Double) && chance(90))
                break; // rarely the end of the game, so most games reach the Final Score
            log(QStringLiteral("close %1").arg(windowName(closed)));
            const bool asks = (closed == Single || closed == Double) && history().gameUnderWay();
            const bool final = closed == Wager && DailyDouble::instance().isFinalWager();
            const bool ends = answeredYes(asks, [closed] { form(closed).window()->close(); });
            if (final && !shown(Wager))
                fail("the final wager closed");
            if ((closed == Single || closed == Double || closed == Final) && (ends || !asks)
                && !ended())
                fail("closing it did not end the program");
            break;
        }
        case Undo:
        case Redo:
            undoOrRedo(action == Undo);
            break;
        case EndRound:
            endRound();
            break;
        case Change:
            changeResult();
            break;
        case Press: {
            std::vector<int> inView;
            for (int each = 0; each < windowCount; ++each)
                if (shown(each))
                    inView.push_back(each);
            const int pressed = inView[std::size_t(pick(int(inView.size())))];
            log(QStringLiteral("press on %1").arg(windowName(pressed)));
            QWidget *window = form(pressed).window();
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(2, 2));
            if (shown(pressed) && !active(pressed) && !(pressed == Single || pressed == Double))
                fail(QStringLiteral("a press on the %1 did not make it active")
                             .arg(windowName(pressed)));
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
            std::vector<int> inView;
            for (int each = 0; each < windowCount; ++each)
                if (shown(each))
                    inView.push_back(each);
            if (inView.empty())
                break;
            const int w = inView[std::size_t(pick(int(inView.size())))];
            QList<QPushButton *> buttons = form(w).window()->findChildren<QPushButton *>();
            // The box is a child of the window it speaks for; its own button is not behind it.
            buttons.removeIf([box](QPushButton *b) { return b->window() == box; });
            if (!buttons.isEmpty())
                clickThroughWindowSystem(buttons.at(pick(int(buttons.size()))));
            QCoreApplication::processEvents();
        }
        if (SingleBoard::instance().Score != scoreBefore)
            fail("a click behind the message box changed the score");
        // The question that offers a game back has Yes for its default, the others No.
        const bool yesByDefault = box->defaultButton() == box->button(QMessageBox::Yes);
        if (question && yesByDefault != resuming)
            fail("the default answer is wrong: " + box->text());
        m_answeredYes = question && chance(resuming ? 90 : 40);
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

public:
    // For the question that offers a game back, asked at start-up.
    void expectQuestion(bool expected) { m_expectQuestion = expected; }

private:
    std::mt19937 m_random;
    Totals *m_totals = nullptr;
    QString m_failure;
    QStringList m_actionLog;
    QTimer m_modalPoll;
    bool m_inModal = false;
    bool m_expectBox = false;
    bool m_expectQuestion = false;
    bool m_answeredYes = false;
    int m_boxes = 0;
    int m_questions = 0;
};

} // namespace soak
