// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// Whole games as a person plays them along at home, as the history records them, for
// benchmarks that need a record of many games. Every square of the first board is answered
// with one Daily Double among them; the second board has two, and now and then the show runs
// out of time and the round is ended early; then the final wager. A Daily Double's square is
// cleared afterwards with No Ring In, as the player does. 60 to 66 steps a game.

#include "scoring/step.h"

#include <QRandomGenerator>

#include <algorithm>
#include <numeric>
#include <vector>

namespace generated {

struct GeneratedGame
{
    std::vector<scoring::Step> steps;
    std::int64_t score = 0;
};

inline GeneratedGame generateGame(QRandomGenerator &random)
{
    using namespace scoring;
    GeneratedGame game;
    const auto add = [&](const Step &step) {
        game.steps.push_back(step);
        game.score += scoreChange(step);
    };
    // A player who knows about two answers in three, and rings in on most of them.
    const auto answer = [&] {
        const int roll = int(random.bounded(100));
        return roll < 60 ? Outcome::Correct : roll < 85 ? Outcome::NoRingIn : Outcome::Incorrect;
    };
    const auto wager = [&](std::int64_t floor) {
        return std::int64_t(random.bounded(qint64(std::max<std::int64_t>(game.score, floor) + 1)));
    };
    for (const Round round : { Round::First, Round::Second }) {
        const std::int64_t factor = round == Round::First ? 1 : 2;
        std::vector<int> squares(30);
        std::iota(squares.begin(), squares.end(), 0);
        std::shuffle(squares.begin(), squares.end(), random);
        const int dailyDoubles = round == Round::First ? 1 : 2;
        const int played =
                round == Round::Second && random.bounded(4) == 0 ? 20 + int(random.bounded(8)) : 30;
        for (int i = 0; i < played; ++i) {
            const int square = squares[i];
            const std::int64_t value = (square / 6 + 1) * 200 * factor;
            if (i % 10 == 3 && i / 10 < dailyDoubles) {
                const Outcome outcome = random.bounded(3) ? Outcome::Correct : Outcome::Incorrect;
                add({ StepKind::DailyDouble, round, outcome, -1, wager(1000 * factor) });
                add({ StepKind::Clue, round, Outcome::NoRingIn, square, value });
                continue;
            }
            add({ StepKind::Clue, round, answer(), square, value });
        }
        if (played < 30)
            add({ StepKind::RoundEnded, round, Outcome::NoRingIn, -1, 0 });
    }
    const Outcome last = random.bounded(2) ? Outcome::Correct : Outcome::Incorrect;
    add({ StepKind::FinalWager, Round::Final, last, -1, wager(0) });
    return game;
}

} // namespace generated
