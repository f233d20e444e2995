// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// A game as its steps make it: the one account of a game that every part of the program reads.
// The score, each board's used squares, the round in play, the Daily Doubles' squares, the clue
// score and every figure follow from the steps; none is kept beside them. Plain C++, no toolkit.
//
// The history holds every step recorded: results, rounds ended early, and changes of earlier
// results. The first inEffect() of them are in effect; the rest were undone, and can be redone
// until a new step is recorded (undo and redo move that position). A change names an earlier
// result and gives it another outcome (and a wager another amount) in the place it was played:
// the game's steps are those in effect, each result as its last change in effect leaves it,
// the changes themselves left out.

#include "scoring/record.h"
#include "scoring/scoring.h"
#include "scoring/step.h"

#include <bitset>
#include <cstdint>
#include <vector>

namespace scoring {

using Squares = std::bitset<squareCount>;

class Game
{
public:
    Game() = default;
    // A game as it was kept: its history and how many of its steps are in effect.
    Game(std::vector<Step> history, int inEffect);

    const std::vector<Step> &history() const { return m_history; }
    int inEffect() const { return m_inEffect; }
    bool empty() const { return m_history.empty(); }

    // A step after those in effect; the undone ones are dropped.
    void record(const Step &step);
    // Undo and redo: the first `inEffect` steps of the history in effect.
    void setInEffect(int inEffect);

    // A step played, as it now stands, and where it was recorded in the history.
    struct Played
    {
        Step step;
        int index = 0;
    };
    // The steps in effect as they now stand, in the order played, changes left out.
    std::vector<Played> played() const;
    std::vector<Step> steps() const;

    std::int64_t score() const;
    GameFigures figures() const;

    // Where the game stands: the round in play (the final round once the second board is
    // spent), whether the final wager has been scored, and each board's used squares.
    Round round() const;
    bool finished() const;
    Squares used(Round board) const;

    // The result recorded at `index`, as it now stands, given another outcome, and for a wager
    // another amount: the step that changes it. Nothing for a step that is no result in effect.
    std::optional<Step> change(int index, Outcome outcome, std::int64_t wager) const;
    // The latest result on a square of a board, if the square was answered there.
    std::optional<Played> resultOn(Round board, int square) const;
    // Whether the score stays within what it can hold (32 bits) after every step in effect.
    bool scoreFits() const;
    // The game with the result recorded at `index` changed (see change()), the same game if
    // that changes nothing; none when the score could not hold it then.
    std::optional<Game> changed(int index, Outcome outcome, std::int64_t wager) const;

    friend bool operator==(const Game &, const Game &) = default;

private:
    struct Standing
    {
        Round round = Round::First;
        bool finished = false;
        Squares first, second; // used squares
    };
    Standing standing() const;

    std::vector<Step> m_history;
    int m_inEffect = 0;
};

} // namespace scoring
