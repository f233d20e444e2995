// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/history.h"

#include "runtime/formruntime.h"
#include "scoring/scoring.h"
#include "scoring/step.h"
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

#include <algorithm>
#include <optional>
#include <utility>

namespace playalong {
namespace {

using scoring::Outcome;
using scoring::StepKind;
using Squares = Board::Squares;

// The game as it stands between two results: what undo puts back.
struct GameState
{
    std::int32_t score = 0;
    Squares firstBoard;
    std::optional<Squares> secondBoard; // while that board is loaded
    bool secondRound = false; // the second board is in play
    bool finalRound = false; // the wager window has become the final wager
    bool wagerShown = false;
    QString wager; // the digits of a Daily Double in the wager window
};

// Set while a step is undone or redone: the windows it shows and hides are not a new game.
bool applyingStep = false;
// Set while a resumed game's history is laid out: its steps change nothing on screen.
bool layingOut = false;

QString describe(const scoring::Step &step)
{
    if (step.kind == StepKind::RoundEnded)
        return QStringLiteral("End This Round");
    const QString amount = texts::moneyText(double(step.amount));
    if (step.kind != StepKind::Clue)
        return QStringLiteral("Daily Double %1, %2")
                .arg(step.outcome == Outcome::Correct ? "Correct" : "Incorrect", amount);
    switch (step.outcome) {
    case Outcome::Correct:
        return QStringLiteral("Correct on %1").arg(amount);
    case Outcome::NoRingIn:
        return QStringLiteral("No Ring In on %1").arg(amount);
    case Outcome::Incorrect:
        break;
    }
    return QStringLiteral("Incorrect on %1").arg(amount);
}

scoring::Round roundInPlay()
{
    return Board::inPlay() == &SingleBoard::instance() ? scoring::Round::First
                                                       : scoring::Round::Second;
}

GameState capture()
{
    SingleBoard &first = SingleBoard::instance();
    DoubleBoard &second = DoubleBoard::instance();
    DailyDouble &wager = DailyDouble::instance();
    GameState state;
    state.score = first.Score;
    state.firstBoard = first.openSquares();
    if (second.isLoaded())
        state.secondBoard = second.openSquares();
    state.secondRound = roundInPlay() == scoring::Round::Second;
    state.finalRound = wager.isFinalWager();
    state.wagerShown = wager.isShown();
    if (state.wagerShown && !state.finalRound)
        state.wager = wager.Wager()->text();
    return state;
}

// The game after the step, as far as the step itself goes; the windows carry it on from
// there (a board with no square open hands over its round when it is next active).
GameState applied(GameState state, const scoring::Step &step)
{
    state.score = scoring::addToScore(state.score, double(scoring::scoreChange(step)));
    if (step.kind == StepKind::Clue) {
        state.firstBoard.reset(step.square);
        if (state.secondBoard)
            state.secondBoard->reset(step.square);
    } else if (step.kind == StepKind::RoundEnded) {
        if (step.round == scoring::Round::First)
            state.firstBoard.reset();
        else if (state.secondBoard)
            state.secondBoard->reset();
    }
    return state;
}

// The game as the windows carry it on after a step: a board with no square open hands its
// round over.
GameState carriedOn(GameState state)
{
    if (!state.secondRound && state.firstBoard.none()) {
        state.secondRound = true;
        state.secondBoard = Squares().set();
    }
    state.finalRound = state.secondBoard && state.secondRound && state.secondBoard->none();
    return state;
}

// A clue window left open stays, unless the square it names is no longer open at its value
// on the board in play: answering it then would score a played square, or the other board's.
void dismissStaleClue()
{
    Question &clue = Question::instance();
    Board *board = Board::inPlay();
    if (!clue.isShown() || !board)
        return;
    const auto square = clue.square();
    if (!square || board->Command1(*square)->text() != clue.Label1()->text())
        clue.hide();
}

void restore(const GameState &state)
{
    SingleBoard &first = SingleBoard::instance();
    DoubleBoard &second = DoubleBoard::instance();
    first.Score = state.score;
    first.setOpenSquares(state.firstBoard);
    // On into the second round (a game resumed there): the first board hands over as it does
    // when it finds every square used, and the second board's squares follow.
    if (state.secondRound && first.isShown())
        runtime::FormRuntime::instance().reactivateBoard();
    if (state.secondBoard)
        second.setOpenSquares(*state.secondBoard);

    // Back across the round change, the way the change went: the first board shows, then the
    // second goes. A first board with no square open hands over again at once.
    if (!state.secondRound && !first.isShown()) {
        first.show();
        if (first.isShown())
            second.hide();
    }
    // Back across the start of the final round: the wager window is the Daily Double it was,
    // digits and all, if it was open, and goes if it was not.
    DailyDouble &wager = DailyDouble::instance();
    if (!state.finalRound && wager.isFinalWager()) {
        if (state.wagerShown)
            wager.makeDailyDouble(state.wager);
        else
            wager.unload();
    }
    dismissStaleClue();
    runtime::FormRuntime::instance().reactivateBoard();
}

class UndoStep final : public QUndoCommand
{
public:
    // done: the windows have played the step already, as they do for every answer.
    UndoStep(const scoring::Step &step, GameState before, bool done)
        : QUndoCommand(describe(step)), m_step(step), m_before(std::move(before)), m_done(done)
    { }

    void undo() override
    {
        if (!layingOut)
            apply(m_before);
    }

    void redo() override
    {
        if (!std::exchange(m_done, false))
            apply(applied(m_before, m_step));
    }

private:
    static void apply(const GameState &state)
    {
        applyingStep = true;
        restore(state);
        applyingStep = false;
    }

    scoring::Step m_step;
    GameState m_before;
    bool m_done;
};

} // namespace

struct History::Pending
{
    scoring::Step step;
    GameState before;
};

History::History(QObject *parent) : QObject(parent)
{
    runtime::FormRuntime &runtime = runtime::FormRuntime::instance();
    connect(&runtime, &runtime::FormRuntime::loaded, this, &History::loaded);
    connect(&runtime, &runtime::FormRuntime::clickStarting, this, &History::clickStarting);
    connect(&runtime, &runtime::FormRuntime::clickFinished, this, &History::clickFinished);
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] {
        if (!m_quiet)
            Q_EMIT moved();
    });
}

// The stack empties itself as it goes: no move of the player's.
History::~History()
{
    m_quiet = true;
}

void History::push(const Pending &pending, bool done)
{
    const int number = m_stack.index();
    m_quiet = true;
    m_stack.push(new UndoStep(pending.step, pending.before, done));
    m_quiet = false;
    Q_EMIT recorded(number, pending.step);
}

void History::endRound()
{
    push(Pending{ scoring::Step{ StepKind::RoundEnded, roundInPlay() }, capture() }, false);
}

void History::endGame()
{
    Q_EMIT ended();
}

// The game at its start and after each of the steps, as the windows carry it on.
std::vector<GameState> statesOf(const std::vector<scoring::Step> &steps)
{
    GameState state;
    state.firstBoard.set();
    std::vector<GameState> states{ state };
    for (const scoring::Step &step : steps)
        states.push_back(carriedOn(applied(states.back(), step)));
    return states;
}

History::Position History::positionAfter(const std::vector<scoring::Step> &steps, int inEffect)
{
    const std::vector<GameState> states = statesOf(steps);
    const GameState &state = states[std::clamp(inEffect, 0, int(steps.size()))];
    if (state.finalRound)
        return { scoring::Round::Final, 0 };
    if (state.secondRound && state.secondBoard)
        return { scoring::Round::Second, int(state.secondBoard->count()) };
    return { scoring::Round::First, int(state.firstBoard.count()) };
}

void History::resume(const std::vector<scoring::Step> &steps, int inEffect)
{
    const std::vector<GameState> states = statesOf(steps);
    m_quiet = true;
    m_stack.clear();
    for (std::size_t i = 0; i < steps.size(); ++i)
        m_stack.push(new UndoStep(steps[i], states[i], true));
    inEffect = std::clamp(inEffect, 0, int(steps.size()));
    layingOut = true;
    m_stack.setIndex(inEffect);
    layingOut = false;
    m_quiet = false;
    applyingStep = true;
    restore(states[inEffect]);
    applyingStep = false;
}

// The first board is loaded once a game, at its start.
void History::loaded(runtime::Form &form)
{
    if (!dynamic_cast<SingleBoard *>(&form) || applyingStep)
        return;
    m_quiet = true;
    m_stack.clear();
    m_quiet = false;
    Q_EMIT started();
}

void History::clickStarting(runtime::Form &form, std::string_view /*control*/, int index)
{
    m_pending.reset();
    if (auto *clue = dynamic_cast<Question *>(&form)) {
        const auto square = clue->square();
        if (!square)
            return;
        const Outcome outcome = index == Question::Correct ? Outcome::Correct
                : index == Question::Incorrect             ? Outcome::Incorrect
                                                           : Outcome::NoRingIn;
        const scoring::Step step{ StepKind::Clue, roundInPlay(), outcome, *square,
                                  std::int64_t(Board::inPlay()->squareValue(*square)) };
        m_pending = std::make_unique<Pending>(Pending{ step, capture() });
    } else if (auto *wager = dynamic_cast<DailyDouble *>(&form)) {
        const auto amount = scoring::wagerValue(wager->Wager()->text().toStdString());
        if (index == DailyDouble::Cancel || !amount)
            return;
        const bool final = wager->isFinalWager();
        const scoring::Step step{ final ? StepKind::FinalWager : StepKind::DailyDouble,
                                  final ? scoring::Round::Final : roundInPlay(),
                                  index == DailyDouble::Correct ? Outcome::Correct
                                                                : Outcome::Incorrect,
                                  -1, std::int64_t(*amount) };
        m_pending = std::make_unique<Pending>(Pending{ step, capture() });
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
        const int number = m_stack.index();
        m_quiet = true;
        m_stack.clear();
        m_quiet = false;
        Q_EMIT finished(number, pending->step);
        return;
    }
    push(*pending, true);
}

} // namespace playalong
