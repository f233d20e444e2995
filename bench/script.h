// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// One whole game as a person plays it: a Daily Double on each board, all 60 clues, the final
// wager. Each step is one input (a click or a keystroke) handed to `act`, which performs it
// and may time it.

#include "dailydouble.h"
#include "doubleboard.h"
#include "question.h"
#include "singleboard.h"

#include <QLineEdit>
#include <QPushButton>

namespace bench {

enum class Step { Click, Key };

// act(Step, QWidget *target, char key) performs one input.
template<class Act>
void playWholeGame(Act &&act)
{
    const auto wager = [&](const char *digits, int button) {
        for (const char *c = digits; *c; ++c)
            act(Step::Key, DailyDouble::instance().Wager(), *c);
        act(Step::Click, DailyDouble::instance().Command1(button), 0);
    };
    const auto clue = [&](QPushButton *square, int square_index) {
        act(Step::Click, square, 0);
        // Correct, No Ring In and Incorrect in turn.
        act(Step::Click, Question::instance().Command1(square_index % 3), 0);
    };

    act(Step::Click, SingleBoard::instance().Command2(), 0);
    wager("500", 0);
    for (int square = 0; square < 30; ++square)
        clue(SingleBoard::instance().Command1(square), square);

    act(Step::Click, DoubleBoard::instance().Command2(), 0);
    wager("1000", 2);
    for (int square = 0; square < 30; ++square)
        clue(DoubleBoard::instance().Command1(square), square);

    // The final wager window is up now.
    wager("2000", 0);
}

} // namespace bench
