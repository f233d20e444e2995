// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "windows/board.h"

#include "runtime/formruntime.h"
#include "scoring/scoring.h"
#include "windows/question.h"
#include "windows/texts.h"

#include <QLabel>
#include <QPushButton>

QString Board::accessibleName(QStringView control, int index, const QString &caption) const
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

Board::Squares Board::openSquares()
{
    Squares open;
    for (int i = 0; i < scoring::squareCount; ++i)
        open[i] = !Command1(i)->text().isEmpty();
    return open;
}

void Board::setOpenSquares(const Squares &open)
{
    for (int i = 0; i < scoring::squareCount; ++i)
        Command1(i)->setText(open[i] ? texts::moneyText(squareValue(i)) : QString());
}

Board *Board::inPlay()
{
    return dynamic_cast<Board *>(runtime::FormRuntime::instance().boardInPlay());
}

void Board::showClue(int index, double value)
{
    Question &question = Question::instance();
    question.show();
    question.Label1()->setText(texts::moneyText(value));
    question.setCaption(texts::clueTitle(value));
    question.setTag(texts::indexText(index));
}
