// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/history.h"

#include "layouts/tables.h"
#include "runtime/formruntime.h"
#include "runtime/loader.h"
#include "scoring/scoring.h"
#include "windows/board.h"
#include "windows/dailydouble.h"
#include "windows/doubleboard.h"
#include "windows/last.h"
#include "windows/question.h"
#include "windows/singleboard.h"
#include "windows/texts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUndoCommand>

#include <array>
#include <optional>
#include <utility>

namespace playalong {
namespace {

enum class Result { Correct, NoRingIn, Incorrect, WagerCorrect, WagerIncorrect, RoundEnded };

// The buttons' array indices in the clue and wager windows.
constexpr std::array clueResults = { Result::Correct, Result::NoRingIn, Result::Incorrect };
constexpr int wagerCorrect = 0;
constexpr int wagerCancel = 1;

// What happened in one step.
struct Event
{
    Result result;
    int square = -1; // the clue's square
    double amount = 0; // the square's value on the board in play, or the wager
};

using Captions = std::array<QString, scoring::squareCount>;

// The game as it stands between two results: what undo puts back.
struct GameState
{
    std::int32_t score = 0;
    Captions firstBoard;
    std::optional<Captions> secondBoard; // while that board is loaded
    bool secondRound = false; // the second board is in play
    bool finalRound = false; // the wager window has become the final wager
    bool wagerShown = false;
    QString wager; // the digits of a Daily Double in the wager window
};

// Set while a step is undone or redone: the windows it shows and hides are not a new game.
bool applyingStep = false;

QString describe(const Event &event)
{
    const QString amount = texts::moneyText(event.amount);
    switch (event.result) {
    case Result::Correct:
        return QStringLiteral("Correct on %1").arg(amount);
    case Result::NoRingIn:
        return QStringLiteral("No Ring In on %1").arg(amount);
    case Result::Incorrect:
        return QStringLiteral("Incorrect on %1").arg(amount);
    case Result::WagerCorrect:
        return QStringLiteral("Daily Double Correct, %1").arg(amount);
    case Result::WagerIncorrect:
        return QStringLiteral("Daily Double Incorrect, %1").arg(amount);
    case Result::RoundEnded:
        break;
    }
    return QStringLiteral("End This Round");
}

Board &boardInPlay()
{
    SingleBoard &first = SingleBoard::instance();
    if (first.isLoaded() && first.visible())
        return first;
    return DoubleBoard::instance();
}

bool isFinalWager(DailyDouble &wager)
{
    return wager.isLoaded() && wager.tag().toInt() == 1;
}

Captions captions(Board &board)
{
    Captions texts;
    for (int i = 0; i < scoring::squareCount; ++i)
        texts[i] = board.Command1(i)->text();
    return texts;
}

void setCaptions(Board &board, const Captions &texts)
{
    for (int i = 0; i < scoring::squareCount; ++i)
        board.Command1(i)->setText(texts[i]);
}

GameState capture()
{
    SingleBoard &first = SingleBoard::instance();
    DoubleBoard &second = DoubleBoard::instance();
    DailyDouble &wager = DailyDouble::instance();
    GameState state{ first.Score, captions(first) };
    if (second.isLoaded())
        state.secondBoard = captions(second);
    state.secondRound = &boardInPlay() == &second;
    state.finalRound = isFinalWager(wager);
    state.wagerShown = wager.isLoaded() && wager.visible();
    if (state.wagerShown && !state.finalRound)
        state.wager = wager.Wager()->text();
    return state;
}

// The game after the step, as far as the step itself goes; the windows carry it on from
// there (a board with no square open hands over its round when it is next active).
GameState applied(GameState state, const Event &event)
{
    const auto blank = [&state](int square) {
        state.firstBoard[square].clear();
        if (state.secondBoard)
            (*state.secondBoard)[square].clear();
    };
    switch (event.result) {
    case Result::Correct:
    case Result::WagerCorrect:
        state.score = scoring::addToScore(state.score, event.amount);
        break;
    case Result::Incorrect:
    case Result::WagerIncorrect:
        state.score = scoring::addToScore(state.score, -event.amount);
        break;
    case Result::NoRingIn:
        break;
    case Result::RoundEnded:
        for (int i = 0; i < scoring::squareCount; ++i) {
            if (!state.secondRound)
                state.firstBoard[i].clear();
            else if (state.secondBoard)
                (*state.secondBoard)[i].clear();
        }
        break;
    }
    if (event.square >= 0)
        blank(event.square);
    return state;
}

// A clue window left open stays, unless the square it names is no longer open at its value
// on the board in play: answering it then would score a played square, or the other board's.
void dismissStaleClue()
{
    Question &clue = Question::instance();
    if (!clue.isLoaded() || !clue.visible())
        return;
    const auto square = scoring::indexFromText(clue.tag().toStdString());
    if (!square || boardInPlay().Command1(*square)->text() != clue.Label1()->text())
        clue.hide();
}

void restore(const GameState &state)
{
    SingleBoard &first = SingleBoard::instance();
    DoubleBoard &second = DoubleBoard::instance();
    first.Score = state.score;
    setCaptions(first, state.firstBoard);
    if (state.secondBoard)
        setCaptions(second, *state.secondBoard);

    // Back across the round change, the way the change went: the first board shows, then the
    // second goes. A first board with no square open hands over again at once.
    if (!state.secondRound && !first.visible()) {
        first.show();
        if (first.visible())
            second.hide();
    }
    // Back across the start of the final round: the wager window is the Daily Double it was,
    // digits and all, if it was open, and goes if it was not.
    DailyDouble &wager = DailyDouble::instance();
    if (!state.finalRound && isFinalWager(wager)) {
        if (state.wagerShown) {
            const layouts::WindowLayout &design = wager.layout();
            wager.setCaption(runtime::toQString(design.caption));
            wager.setTag(runtime::toQString(design.tag));
            wager.Command1(wagerCancel)->setVisible(true);
            wager.Wager()->setText(state.wager);
        } else {
            wager.unload();
        }
    }
    dismissStaleClue();
    runtime::FormRuntime::instance().reactivateBoard();
}

class Step final : public QUndoCommand
{
public:
    // done: the windows have played the step already, as they do for every answer.
    Step(const Event &event, GameState before, bool done)
        : QUndoCommand(describe(event)), m_event(event), m_before(std::move(before)), m_done(done)
    { }

    void undo() override { apply(m_before); }

    void redo() override
    {
        if (!std::exchange(m_done, false))
            apply(applied(m_before, m_event));
    }

private:
    static void apply(const GameState &state)
    {
        applyingStep = true;
        restore(state);
        applyingStep = false;
    }

    Event m_event;
    GameState m_before;
    bool m_done;
};

} // namespace

struct History::Pending
{
    Event event;
    GameState before;
};

History::History(QObject *parent) : QObject(parent)
{
    runtime::FormRuntime &runtime = runtime::FormRuntime::instance();
    connect(&runtime, &runtime::FormRuntime::loaded, this, &History::loaded);
    connect(&runtime, &runtime::FormRuntime::clickStarting, this, &History::clickStarting);
    connect(&runtime, &runtime::FormRuntime::clickFinished, this, &History::clickFinished);
}

History::~History() = default;

void History::endRound()
{
    m_stack.push(new Step(Event{ Result::RoundEnded }, capture(), false));
}

// The first board is loaded once a game, at its start.
void History::loaded(runtime::Form &form)
{
    if (dynamic_cast<SingleBoard *>(&form) && !applyingStep)
        m_stack.clear();
}

void History::clickStarting(runtime::Form &form, std::string_view /*control*/, int index)
{
    m_pending.reset();
    if (auto *clue = dynamic_cast<Question *>(&form)) {
        const auto square = scoring::indexFromText(clue->tag().toStdString());
        if (!square || index < 0 || index >= int(clueResults.size()))
            return;
        const int factor =
                &boardInPlay() == &SingleBoard::instance() ? 1 : scoring::secondBoardFactor;
        const Event event{ clueResults[index], *square,
                           factor * scoring::singleSquareValue(*square) };
        m_pending = std::make_unique<Pending>(Pending{ event, capture() });
    } else if (auto *wager = dynamic_cast<DailyDouble *>(&form)) {
        const auto amount = scoring::wagerValue(wager->Wager()->text().toStdString());
        if (index == wagerCancel || !amount)
            return;
        const Event event{ index == wagerCorrect ? Result::WagerCorrect : Result::WagerIncorrect,
                           -1, *amount };
        m_pending = std::make_unique<Pending>(Pending{ event, capture() });
    }
}

void History::clickFinished(runtime::Form &form, std::string_view /*control*/, int /*index*/)
{
    const std::unique_ptr<Pending> pending = std::move(m_pending);
    // A result the window refused (with a message) leaves it open for another try.
    if (!pending || form.isShown())
        return;
    // The final wager is scored: the game is over, and nothing of it is undone.
    if (Last::instance().isLoaded()) {
        m_stack.clear();
        return;
    }
    m_stack.push(new Step(pending->event, pending->before, true));
}

} // namespace playalong
