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

// A screen reader's names for a board's controls: a square by its value and place, or as
// played once its caption is gone; the score with what it counts.
inline QString accessibleName(QStringView control, int index, const QString &caption)
{
    if (control == u"Command1") {
        const QString place = QStringLiteral(", row %1, column %2")
                                      .arg(index / scoring::squaresPerRow + 1)
                                      .arg(index % scoring::squaresPerRow + 1);
        return (caption.isEmpty() ? QStringLiteral("Played") : caption) + place;
    }
    if (control == u"ScoreLabel")
        return QStringLiteral("Current score: $ ") + caption;
    return {};
}

} // namespace board
