// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "scoring/game.h"

#include <algorithm>
#include <limits>

namespace scoring {
namespace {

bool isResult(const Step &step)
{
    return step.kind == StepKind::Clue || step.kind == StepKind::DailyDouble
            || step.kind == StepKind::FinalWager;
}

} // namespace

Game::Game(std::vector<Step> history, int inEffect)
    : m_history(std::move(history)), m_inEffect(std::clamp(inEffect, 0, int(m_history.size())))
{ }

void Game::record(const Step &step)
{
    m_history.resize(std::size_t(m_inEffect));
    m_history.push_back(step);
    ++m_inEffect;
}

void Game::setInEffect(int inEffect)
{
    m_inEffect = std::clamp(inEffect, 0, int(m_history.size()));
}

std::vector<Game::Played> Game::played() const
{
    std::vector<Played> played;
    // Where each step of the history stands in `played`, if it does.
    std::vector<int> at(std::size_t(m_inEffect), -1);
    for (int i = 0; i < m_inEffect; ++i) {
        const Step &step = m_history[std::size_t(i)];
        if (step.kind != StepKind::Change) {
            at[std::size_t(i)] = int(played.size());
            played.push_back({ step, i });
            continue;
        }
        // A change names a result before it; one from a damaged record may name anything.
        const int target = step.square >= 0 && step.square < i ? at[std::size_t(step.square)] : -1;
        if (target < 0 || !isResult(played[std::size_t(target)].step))
            continue;
        Step &changed = played[std::size_t(target)].step;
        changed.outcome = step.outcome;
        if (changed.kind != StepKind::Clue)
            changed.amount = step.amount;
    }
    return played;
}

std::vector<Step> Game::steps() const
{
    std::vector<Step> steps;
    for (const Played &each : played())
        steps.push_back(each.step);
    return steps;
}

std::int64_t Game::score() const
{
    std::int64_t score = 0;
    for (const Played &each : played())
        score = addHeld(score, scoreChange(each.step));
    return score;
}

GameFigures Game::figures() const
{
    return gameFigures(steps());
}

// As the boards play it: a clue uses its square on its board, a round ended early uses every
// square, and a board with every square used hands its round over.
Game::Standing Game::standing() const
{
    Standing standing;
    for (const Played &each : played()) {
        const Step &step = each.step;
        Squares &board = step.round == Round::First ? standing.first : standing.second;
        if (step.kind == StepKind::Clue && step.square >= 0 && step.square < squareCount)
            board.set(std::size_t(step.square));
        else if (step.kind == StepKind::RoundEnded)
            board.set();
        else if (step.kind == StepKind::FinalWager)
            standing.finished = true;
        if (standing.round == Round::First && standing.first.all())
            standing.round = Round::Second;
        if ((standing.round == Round::Second && standing.second.all()) || standing.finished)
            standing.round = Round::Final;
    }
    return standing;
}

Round Game::round() const
{
    return standing().round;
}

bool Game::finished() const
{
    return standing().finished;
}

Squares Game::used(Round board) const
{
    const Standing standing = this->standing();
    return board == Round::First ? standing.first : standing.second;
}

std::optional<Step> Game::change(int index, Outcome outcome, std::int64_t wager) const
{
    for (const Played &each : played()) {
        if (each.index != index || !isResult(each.step))
            continue;
        const bool clue = each.step.kind == StepKind::Clue;
        // A wager is won or lost, never let go.
        if (!clue && outcome == Outcome::NoRingIn)
            return std::nullopt;
        return Step{ StepKind::Change, each.step.round, outcome, index,
                     clue ? each.step.amount : wager };
    }
    return std::nullopt;
}

std::optional<Game::Played> Game::resultOn(Round board, int square) const
{
    std::optional<Played> found;
    for (const Played &each : played()) {
        if (each.step.kind == StepKind::Clue && each.step.round == board
            && each.step.square == square)
            found = each;
    }
    return found;
}

bool Game::scoreFits() const
{
    std::int64_t score = 0;
    for (const Played &each : played()) {
        score = addHeld(score, scoreChange(each.step));
        if (score < std::numeric_limits<std::int32_t>::min()
            || score > std::numeric_limits<std::int32_t>::max())
            return false;
    }
    return true;
}

std::optional<Game> Game::changed(int index, Outcome outcome, std::int64_t wager) const
{
    Game changed = *this;
    if (const std::optional<Step> step = change(index, outcome, wager))
        changed.record(*step);
    if (changed.steps() == steps())
        return *this;
    if (!changed.scoreFits())
        return std::nullopt;
    return changed;
}

} // namespace scoring
