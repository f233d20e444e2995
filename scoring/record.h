// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The figures of kept games: each game's score and its clue score, the wager-free figure by
// which players measure progress, and a summary over many games. Plain C++, no toolkit.
//
// The clue score counts every clue answered at its value on its board: right adds it, wrong
// subtracts it, No Ring In counts nothing. Wagers are left out: a Daily Double answered right
// adds the value of its square, one answered wrong counts nothing, and the final wager counts
// nothing either way.
//
// The program does not tie a Daily Double to its square: the player clears that square
// afterwards with No Ring In. So a Daily Double takes as its square the first square of the
// same round cleared with No Ring In after it that no earlier Daily Double has taken; that
// clue is then the Daily Double's square, not a No Ring In. A Daily Double answered right
// that never gets a square (the round ended before it was cleared) counts nothing, and the
// game's clue score is incomplete.
//
// Accuracy, the share of clues answered right, is right / (right + wrong): a No Ring In is
// not an answer. A Daily Double whose square is known counts in its square's row by its
// result, since it was a clue of that row answered; one without a square counts in no row.

#include "scoring/step.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace scoring {

inline constexpr int rowCount = 5;
// The games of "the last 10": the summary's recent figures and the chart's rolling average.
inline constexpr int recentGames = 10;

// Answers given and how many of them were right.
struct Tally
{
    int right = 0;
    int answered = 0;

    // right / answered; nothing before the first answer.
    std::optional<double> share() const;

    Tally &operator+=(const Tally &other);
    friend bool operator==(const Tally &, const Tally &) = default;
};

enum class FinalResult { None, Right, Wrong };

struct GameFigures
{
    std::int64_t score = 0;
    std::int64_t clueScore = 0;
    // Daily Doubles answered right that never got a square: their values are missing from
    // the clue score.
    int dailyDoublesWithoutSquare = 0;

    // Plain clues only, not Daily Doubles' squares.
    int cluesRight = 0;
    int cluesWrong = 0;
    int cluesNoRingIn = 0;

    Tally dailyDoubles; // right of played
    FinalResult finalWager = FinalResult::None;
    std::int64_t finalWagerAmount = 0;
    // By row, top ($ 200, or $ 400 on the second board) to bottom, both boards together.
    std::array<Tally, rowCount> rows{};

    bool clueScoreComplete() const { return dailyDoublesWithoutSquare == 0; }
    // Why the clue score is incomplete, for a tooltip; empty when it is complete.
    std::string incompleteReason() const;
    // Every clue of the game whose row is known: the accuracy of the game.
    Tally accuracy() const;

    friend bool operator==(const GameFigures &, const GameFigures &) = default;
};

// The figures of one game from the steps in effect, in the order they were played.
GameFigures gameFigures(std::span<const Step> steps);

// The Daily Doubles of steps in effect paired with their squares by the rule above: for each
// step, the index of its partner (a Daily Double's square, or the Daily Double that took a
// square), or -1.
std::vector<int> pairDailyDoubles(std::span<const Step> steps);

struct ClueScoreFigures
{
    double average = 0;
    std::int64_t best = 0;

    friend bool operator==(const ClueScoreFigures &, const ClueScoreFigures &) = default;
};

struct Summary
{
    int games = 0;
    int incompleteGames = 0; // games whose clue score is incomplete
    // Over every game and over the last recentGames (all of them when fewer); nothing before
    // the first game. Incomplete clue scores count as they stand.
    std::optional<ClueScoreFigures> allGames;
    std::optional<ClueScoreFigures> recent;
    std::array<Tally, rowCount> rows{};
    Tally accuracy; // every row together
    Tally dailyDoubles;

    friend bool operator==(const Summary &, const Summary &) = default;
};

// A summary of games given oldest first.
Summary summarize(std::span<const GameFigures> games);
// The same of `count` games, oldest first, the figures of game i read through figuresOf(i):
// for games kept with more than their figures.
using FiguresOf = std::function<const GameFigures &(std::size_t)>;
Summary summarize(std::size_t count, const FiguresOf &figuresOf);

// What a summary adds up over its games, one game at a time, oldest first: a list that grows
// by a game, or changes its newest, adds up the others once.
struct Totals
{
    std::size_t games = 0;
    int incompleteGames = 0;
    double clueScores = 0; // summed in order, as the average of them all has it
    std::int64_t bestClueScore = 0;
    std::array<Tally, rowCount> rows{};
    Tally accuracy;
    Tally dailyDoubles;

    Totals &operator+=(const GameFigures &game);
};
// The summary of the games `totals` were added up from, game i read through figuresOf(i) for
// the recent ones alone.
Summary summarize(const Totals &totals, const FiguresOf &figuresOf);

// For each value, the average of it and the values before it, up to `window` values in all:
// the first values average over as many as there are.
std::vector<double> rollingAverage(std::span<const std::int64_t> values, int window = recentGames);

} // namespace scoring
