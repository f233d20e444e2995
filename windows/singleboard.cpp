// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "windows/singleboard.h"

#include "layouts/tables.h"
#include "runtime/formruntime.h"
#include "windows/dailydouble.h"
#include "windows/doubleboard.h"
#include "windows/texts.h"

#include <QLabel>
#include <QPushButton>

using namespace texts;

SingleBoard::SingleBoard() : Board(layouts::singleBoard)
{
    onClick("Command1", &SingleBoard::Command1_Click);
    onClick("Command2", &SingleBoard::Command2_Click);
}

SingleBoard &SingleBoard::instance()
{
    return runtime::FormRuntime::defaultInstance<SingleBoard>();
}

double SingleBoard::SingleSquareValue(int Index) const
{
    return scoring::singleSquareValue(Index);
}

void SingleBoard::Form_Load()
{
    for (int i = 0; i < scoring::squareCount; ++i)
        Command1(i)->setText(moneyText(SingleSquareValue(i)));
}

void SingleBoard::Form_Activate()
{
    ScoreLabel()->setText(scoreText(Score));
    if (!everySquareUsed())
        return;
    DoubleBoard::instance().ReLabel();
    DoubleBoard::instance().show();
    hide();
}

void SingleBoard::Command1_Click(int Index)
{
    if (Command1(Index)->text().isEmpty())
        return;
    showClue(Index, SingleSquareValue(Index));
}

void SingleBoard::Command2_Click()
{
    DailyDouble::instance().show();
}
