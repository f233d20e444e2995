// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/history.h"

#include "runtime/formruntime.h"
#include "scoring/scoring.h"
#include "scoring/step.h"
#include "windows/board.h"
#include "windows/dailydouble.h"
#include "windows/doubleboard.h"
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
using scoring::Round;
using scoring::StepKind;
using Squares = Board::Squares;

// The windows as a game stands: what undo and redo put back.
struct GameState
{
    std::int32_t score = 0;
    Squares firstBoard; // open squares
    std::optional<Squares> secondBoard; // once its round has begun
    bool secondRound = false; // the second board is in play
    bool finalRound = false; // the wager window has become the final wager
    bool wagerShown = false;
    QString wager; // the digits of a Daily Double in the wager window
};

QString outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Correct:
        return QStringLiteral("Correct");
    case Outcome::NoRingIn:
        return QStringLiteral("No Ring In");
    case Outcome::Incorrect:
        break;
    }
    return QStringLiteral("Incorrect");
}

// What the undo entries call a step.
QString describe(const scoring::Game &game, const scoring::Step &step)
{
    const QString amount = texts::amountText(step.amount);
    switch (step.kind) {
    case StepKind::RoundEnded:
        return QStringLiteral("End This Round");
    case StepKind::DailyDouble:
    case StepKind::FinalWager:
        return QStringLiteral("Daily Double %1, %2").arg(outcomeName(step.outcome), amount);
    case StepKind::Change: {
        const scoring::Step &changed = game.history().at(std::size_t(step.square));
        if (changed.kind == StepKind::Clue)
            return QStringLiteral("Change of %1 to %2")
                    .arg(texts::amountText(changed.amount), outcomeName(step.outcome));
        return QStringLiteral("Change of %1 to %2, %3")
                .arg(changed.kind == StepKind::FinalWager ? "Final Wager" : "Daily Double",
                     outcomeName(step.outcome), amount);
    }
    case StepKind::Clue:
        break;
    }
    return QStringLiteral("%1 on %2").arg(outcomeName(step.outcome), amount);
}

GameState stateOf(const scoring::Game &game)
{
    GameState state;
    state.score = std::int32_t(game.score());
    state.firstBoard = ~game.used(Round::First);
    const Round round = game.round();
    if (round != Round::First)
        state.secondBoard = ~game.used(Round::Second);
    state.secondRound = round != Round::First;
    state.finalRound = round == Round::Final;
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

} // namespace

// One step of the game: undo takes the game back to before it, redo to after it.
class History::Move final : public QUndoCommand
{
public:
    // done: the windows have played the step already, as they do for every answer.
    Move(History &history, int index, const QString &text, Wager before, bool done)
        : QUndoCommand(text),
          m_history(history),
          m_index(index),
          m_before(std::move(before)),
          m_done(done)
    { }

    void undo() override { m_history.moveTo(m_index, &m_before); }

    void redo() override
    {
        if (!std::exchange(m_done, false))
            m_history.moveTo(m_index + 1, nullptr);
    }

private:
    History &m_history;
    int m_index;
    Wager m_before;
    bool m_done;
};

History::History(QObject *parent) : QObject(parent)
{
    connect(&runtime::FormRuntime::instance(), &runtime::FormRuntime::loaded, this,
            &History::loaded);
}

History::~History() = default;

void History::push(const scoring::Step &step, bool done)
{
    DailyDouble &wager = DailyDouble::instance();
    Wager before;
    before.shown = wager.isShown() && !wager.isFinalWager();
    if (before.shown)
        before.digits = wager.Wager()->text();
    m_game.record(step);
    m_stack.push(new Move(*this, m_game.inEffect() - 1, describe(m_game, step), before, done));
    // A step not done yet was done by the push, the windows put back and the change told.
    if (done)
        Q_EMIT changed();
}

void History::moveTo(int inEffect, const Wager *before)
{
    m_game.setInEffect(inEffect);
    if (m_layingOut)
        return;
    show(before);
    Q_EMIT changed();
}

void History::show(const Wager *before)
{
    GameState state = stateOf(m_game);
    if (before) {
        state.wagerShown = before->shown;
        state.wager = before->digits;
    }
    m_showing = true;
    restore(state);
    m_showing = false;
}

void History::endRound()
{
    push({ StepKind::RoundEnded, m_game.round() == Round::First ? Round::First : Round::Second },
         false);
}

void History::endGame()
{
    Q_EMIT ended();
}

bool History::change(int index, scoring::Outcome outcome, std::int64_t wager)
{
    const std::optional<scoring::Game> changed = m_game.changed(index, outcome, wager);
    if (!changed)
        return false;
    // The result as it stands already: nothing to undo.
    if (changed->history() != m_game.history())
        push(changed->history().back(), false);
    return true;
}

void History::resume(const scoring::Game &game)
{
    m_game = game;
    m_layingOut = true;
    m_stack.clear();
    const int inEffect = game.inEffect();
    for (int i = 0; i < int(game.history().size()); ++i) {
        m_game.setInEffect(i + 1);
        m_stack.push(
                new Move(*this, i, describe(m_game, game.history()[std::size_t(i)]), {}, true));
    }
    m_stack.setIndex(inEffect);
    m_layingOut = false;
    m_game.setInEffect(inEffect);
    show(nullptr);
}

// The first board is loaded once a game, at its start; the windows announce the results.
void History::loaded(runtime::Form &form)
{
    if (auto *clue = dynamic_cast<Question *>(&form))
        connect(clue, &Question::answered, this, &History::recordResult, Qt::UniqueConnection);
    else if (auto *wager = dynamic_cast<DailyDouble *>(&form))
        connect(wager, &DailyDouble::scored, this, &History::recordResult, Qt::UniqueConnection);
    if (!dynamic_cast<SingleBoard *>(&form) || m_showing)
        return;
    m_stack.clear();
    m_game = {};
    Q_EMIT started();
}

// The final wager is scored: the game is over, and nothing of it is undone.
void History::recordResult(const scoring::Step &result)
{
    if (result.kind != StepKind::FinalWager) {
        push(result, true);
        return;
    }
    m_game.record(result);
    m_stack.clear();
    Q_EMIT changed();
    Q_EMIT finished();
}

} // namespace playalong
