#include "singleboard.h"

#include "board.h"
#include "dailydouble.h"
#include "doubleboard.h"
#include "formruntime.h"
#include "windows.h"

#include <QLabel>

using namespace texts;

SingleBoard::SingleBoard() : Form(layouts::singleBoard)
{
    onClick("Command1", &SingleBoard::Command1_Click);
    onClick("Command2", &SingleBoard::Command2_Click);
}

SingleBoard &SingleBoard::instance()
{
    return runtime::FormRuntime::defaultInstance<SingleBoard>();
}

QString SingleBoard::accessibleName(QStringView control, int index, const QString &caption) const
{
    return board::accessibleName(control, index, caption);
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
    if (!board::everySquareUsed(*this))
        return;
    DoubleBoard::instance().ReLabel();
    DoubleBoard::instance().show();
    hide();
}

void SingleBoard::Command1_Click(int Index)
{
    if (Command1(Index)->text().isEmpty())
        return;
    board::showClue(Index, SingleSquareValue(Index));
}

void SingleBoard::Command2_Click()
{
    DailyDouble::instance().show();
}
