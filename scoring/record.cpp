// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "scoring/record.h"

#include "scoring/scoring.h"

#include <algorithm>
#include <deque>

namespace scoring {

std::optional<double> Tally::share() const
{
    if (answered == 0)
        return std::nullopt;
    return double(right) / answered;
}

Tally &Tally::operator+=(const Tally &other)
{
    right += other.right;
    answered += other.answered;
    return *this;
}

std::string GameFigures::incompleteReason() const
{
    if (clueScoreComplete())
        return {};
    const std::string which = dailyDoublesWithoutSquare == 1
            ? "A Daily Double answered right was"
            : std::to_string(dailyDoublesWithoutSquare) + " Daily Doubles answered right were";
    return which + " never cleared with No Ring In on the board, so the clue score lacks "
            + (dailyDoublesWithoutSquare == 1 ? "its square's value." : "their squares' values.");
}

Tally GameFigures::accuracy() const
{
    Tally all;
    for (const Tally &row : rows)
        all += row;
    return all;
}

namespace {

void countInRow(GameFigures &figures, int square, bool right)
{
    // Steps come from disk: a square out of range names no row.
    if (square < 0 || square >= squareCount)
        return;
    Tally &row = figures.rows[square / squaresPerRow];
    row.right += right;
    ++row.answered;
}

} // namespace

std::vector<int> pairDailyDoubles(std::span<const Step> steps)
{
    std::vector<int> partner(steps.size(), -1);
    // Daily Doubles still waiting for their square, first played first, by round.
    std::array<std::deque<int>, 2> waiting;
    for (int i = 0; i < int(steps.size()); ++i) {
        const Step &step = steps[i];
        auto &roundWaiting = waiting[step.round == Round::Second];
        if (step.kind == StepKind::DailyDouble) {
            roundWaiting.push_back(i);
        } else if (step.kind == StepKind::Clue && step.outcome == Outcome::NoRingIn
                   && !roundWaiting.empty()) {
            partner[i] = roundWaiting.front();
            partner[roundWaiting.front()] = i;
            roundWaiting.pop_front();
        }
    }
    return partner;
}

GameFigures gameFigures(std::span<const Step> steps)
{
    GameFigures figures;
    const std::vector<int> partner = pairDailyDoubles(steps);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step &step = steps[i];
        figures.score = addHeld(figures.score, scoreChange(step));
        switch (step.kind) {
        case StepKind::Clue:
            if (partner[i] >= 0) // a Daily Double's square, counted with it
                break;
            figures.clueScore = addHeld(figures.clueScore, scoreChange(step));
            switch (step.outcome) {
            case Outcome::Correct:
                ++figures.cluesRight;
                countInRow(figures, step.square, true);
                break;
            case Outcome::Incorrect:
                ++figures.cluesWrong;
                countInRow(figures, step.square, false);
                break;
            case Outcome::NoRingIn:
                ++figures.cluesNoRingIn;
                break;
            }
            break;
        case StepKind::DailyDouble: {
            const bool right = step.outcome == Outcome::Correct;
            figures.dailyDoubles += Tally{ right, 1 };
            if (partner[i] < 0) {
                figures.dailyDoublesWithoutSquare += right;
                break;
            }
            const Step &square = steps[partner[i]];
            if (right)
                figures.clueScore = addHeld(figures.clueScore, square.amount);
            countInRow(figures, square.square, right);
            break;
        }
        case StepKind::FinalWager:
            figures.finalWager =
                    step.outcome == Outcome::Correct ? FinalResult::Right : FinalResult::Wrong;
            figures.finalWagerAmount = step.amount;
            break;
        case StepKind::RoundEnded:
        case StepKind::Change: // already applied to the steps given
            break;
        }
    }
    return figures;
}

namespace {

// Over games [first, last) of figuresOf.
ClueScoreFigures clueScoreFigures(const FiguresOf &figuresOf, std::size_t first, std::size_t last)
{
    ClueScoreFigures figures{ 0, figuresOf(first).clueScore };
    for (std::size_t i = first; i < last; ++i) {
        const std::int64_t clueScore = figuresOf(i).clueScore;
        figures.average += double(clueScore);
        figures.best = std::max(figures.best, clueScore);
    }
    figures.average /= double(last - first);
    return figures;
}

} // namespace

Summary summarize(std::span<const GameFigures> games)
{
    return summarize(games.size(),
                     [games](std::size_t i) -> const GameFigures & { return games[i]; });
}

Summary summarize(std::size_t count, const FiguresOf &figuresOf)
{
    Totals totals;
    for (std::size_t i = 0; i < count; ++i)
        totals += figuresOf(i);
    return summarize(totals, figuresOf);
}

Totals &Totals::operator+=(const GameFigures &game)
{
    bestClueScore = games == 0 ? game.clueScore : std::max(bestClueScore, game.clueScore);
    ++games;
    clueScores += double(game.clueScore);
    incompleteGames += !game.clueScoreComplete();
    for (int row = 0; row < rowCount; ++row)
        rows[row] += game.rows[row];
    accuracy += game.accuracy();
    dailyDoubles += game.dailyDoubles;
    return *this;
}

Summary summarize(const Totals &totals, const FiguresOf &figuresOf)
{
    Summary summary;
    summary.games = int(totals.games);
    if (totals.games == 0)
        return summary;
    const double average = totals.clueScores / double(totals.games);
    summary.allGames = ClueScoreFigures{ average, totals.bestClueScore };
    summary.recent = clueScoreFigures(
            figuresOf, totals.games - std::min<std::size_t>(totals.games, recentGames),
            totals.games);
    summary.incompleteGames = totals.incompleteGames;
    summary.rows = totals.rows;
    summary.accuracy = totals.accuracy;
    summary.dailyDoubles = totals.dailyDoubles;
    return summary;
}

std::vector<double> rollingAverage(std::span<const std::int64_t> values, int window)
{
    const std::size_t span = std::size_t(std::max(window, 1));
    std::vector<double> averages;
    averages.reserve(values.size());
    // Whole dollars, exact within 64 bits, where a running double would drift.
    long double sum = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        sum += (long double)(values[i]);
        if (i >= span)
            sum -= (long double)(values[i - span]);
        averages.push_back(double(sum / (long double)(std::min(i + 1, span))));
    }
    return averages;
}

} // namespace scoring
