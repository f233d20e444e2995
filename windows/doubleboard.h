// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "windows/board.h"

// The second board: the same 30 squares at double value. It shows and changes the first
// board's score, and begins the final round once every square is used.
class DoubleBoard final : public Board
{
    Q_OBJECT

public:
    DoubleBoard();
    static DoubleBoard &instance();

    void ReLabel();
    double squareValue(int index) const override;

private:
    void Form_Activate() override;
    void Command1_Click(int Index);
    void Command2_Click();
};
