// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "runtime/form.h"

// The clue window: scores one square as Correct, No Ring In or Incorrect. Which square it
// scores travels in its Tag.
class Question final : public runtime::Form
{
    Q_OBJECT

public:
    Question();
    static Question &instance();

    QPushButton *Command1(int index) { return commandButton("Command1", index); }
    QLabel *Label1() { return label("Label1"); }

private:
    void Command1_Click(int Index);
};
