// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "windows/board.h"

#include <cstdint>

// The first board: 30 squares worth $ 200 to $ 1000, the running score and the Daily Double
// button. It owns the game's score for the whole game.
class SingleBoard final : public Board
{
    Q_OBJECT

public:
    SingleBoard();
    static SingleBoard &instance();

    std::int32_t Score = 0;
    double SingleSquareValue(int Index) const;
    double squareValue(int index) const override { return SingleSquareValue(index); }

private:
    void Form_Load() override;
    void Form_Activate() override;
    void Command1_Click(int Index);
    void Command2_Click();
};
