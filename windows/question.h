// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "runtime/form.h"
#include "scoring/step.h"

#include <optional>

// The clue window: scores one square as Correct, No Ring In or Incorrect. Which square it
// scores travels in its Tag.
class Question final : public runtime::Form
{
    Q_OBJECT

public:
    Question();
    static Question &instance();

    // The answers, by their index in Command1.
    enum Answer { Correct = 0, NoRingIn = 1, Incorrect = 2 };
    // The square the window scores, named by its Tag.
    std::optional<int> square();

    QPushButton *Command1(int index) { return commandButton("Command1", index); }
    QLabel *Label1() { return label("Label1"); }

Q_SIGNALS:
    // A clue was answered: the result as the score took it.
    void answered(const scoring::Step &result);

private:
    void Command1_Click(int Index);
};
