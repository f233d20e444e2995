// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// One step of a game, as the undo history records it and the record of games keeps it.

#include <cstdint>
#include <limits>

namespace scoring {

enum class Round { First = 1, Second = 2, Final = 3 };

enum class Outcome { Correct, NoRingIn, Incorrect };

enum class StepKind {
    Clue, // a square answered in the clue window
    DailyDouble, // a wager scored on either board
    FinalWager,
    RoundEnded, // the player ended a round early: its open squares became used
    Change, // an earlier result changed: see scoring/game.h
};

struct Step
{
    StepKind kind = StepKind::Clue;
    Round round = Round::First;
    Outcome outcome = Outcome::NoRingIn; // a wager is Correct or Incorrect
    int square = -1; // a clue's square, 0 to 29; for a change, the step it changes
    std::int64_t amount = 0; // a clue's value on its board, or the wager

    friend bool operator==(const Step &, const Step &) = default;
};

// A sum of amounts held at the limits of 64 bits: amounts read from a damaged record may be
// anything.
constexpr std::int64_t addHeld(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b < 0 ? std::numeric_limits<std::int64_t>::min()
                 : std::numeric_limits<std::int64_t>::max();
}

// What a result does to the score: a clue or a wager answered right adds its amount, wrong
// subtracts it; anything else changes nothing by itself.
constexpr std::int64_t scoreChange(const Step &step)
{
    if (step.kind == StepKind::RoundEnded || step.kind == StepKind::Change)
        return 0;
    switch (step.outcome) {
    case Outcome::Correct:
        return step.amount;
    case Outcome::Incorrect:
        // The lowest amount has no opposite: held at the highest.
        return step.amount == std::numeric_limits<std::int64_t>::min()
                ? std::numeric_limits<std::int64_t>::max()
                : -step.amount;
    case Outcome::NoRingIn:
        break;
    }
    return 0;
}

} // namespace scoring
