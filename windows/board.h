#pragma once

// What the two boards do alike.

#include "question.h"
#include "scoring.h"
#include "texts.h"

#include <QLabel>
#include <QPushButton>

namespace board {

// A round is over once every square's caption is empty: a used square keeps no other record.
template<class Board>
bool everySquareUsed(Board &board)
{
    for (int i = 0; i < scoring::squareCount; ++i) {
        if (!board.Command1(i)->text().isEmpty())
            return false;
    }
    return true;
}

// Opens (or re-targets) the clue window on a square worth the given value. The window is
// shown first and filled in after.
inline void showClue(int index, double value)
{
    Question &question = Question::instance();
    question.show();
    question.Label1()->setText(texts::moneyText(value));
    question.setCaption(texts::clueTitle(value));
    question.setTag(texts::indexText(index));
}

} // namespace board
