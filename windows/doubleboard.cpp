// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "windows/doubleboard.h"

#include "layouts/tables.h"
#include "runtime/formruntime.h"
#include "windows/dailydouble.h"
#include "windows/question.h"
#include "windows/singleboard.h"
#include "windows/texts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace texts;

namespace {

// The second board is spent: the wager window becomes the final wager. Runs again on every
// activation until the final wager is scored, bringing the window forward each time.
void beginFinalRound()
{
    DailyDouble &wager = DailyDouble::instance();
    wager.makeFinalWager();
    wager.show();
    Question::instance().unload();
}

} // namespace

DoubleBoard::DoubleBoard() : Board(layouts::doubleBoard)
{
    onClick("Command1", &DoubleBoard::Command1_Click);
    onClick("Command2", &DoubleBoard::Command2_Click);
}

DoubleBoard &DoubleBoard::instance()
{
    return runtime::FormRuntime::defaultInstance<DoubleBoard>();
}

double DoubleBoard::squareValue(int index) const
{
    return scoring::secondBoardFactor * SingleBoard::instance().SingleSquareValue(index);
}

void DoubleBoard::ReLabel()
{
    for (int i = 0; i < scoring::squareCount; ++i)
        Command1(i)->setText(moneyText(squareValue(i)));
}

void DoubleBoard::Form_Activate()
{
    ScoreLabel()->setText(scoreText(SingleBoard::instance().Score));
    if (everySquareUsed())
        beginFinalRound();
}

void DoubleBoard::Command1_Click(int Index)
{
    if (Command1(Index)->text().isEmpty())
        return;
    showClue(Index, squareValue(Index));
}

void DoubleBoard::Command2_Click()
{
    DailyDouble::instance().show();
}
