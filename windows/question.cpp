// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "windows/question.h"

#include "layouts/tables.h"
#include "runtime/formruntime.h"
#include "runtime/modal.h"
#include "scoring/scoring.h"
#include "windows/doubleboard.h"
#include "windows/singleboard.h"
#include "windows/texts.h"

#include <QPushButton>

Question::Question() : Form(layouts::question)
{
    onClick("Command1", &Question::Command1_Click);
}

Question &Question::instance()
{
    return runtime::FormRuntime::defaultInstance<Question>();
}

std::optional<int> Question::square()
{
    return scoring::indexFromText(tag().toStdString());
}

void Question::Command1_Click(int Index)
{
    SingleBoard &singleBoard = SingleBoard::instance();
    DoubleBoard &doubleBoard = DoubleBoard::instance();
    // The boards always name a square before the window can be answered.
    if (const auto square = this->square()) {
        const double v = singleBoard.SingleSquareValue(*square);
        const int direction = Index == Correct ? 1 : Index == Incorrect ? -1 : 0;
        // The square's worth on the board in play.
        double value = 0;
        if (singleBoard.visible())
            value += v;
        if (doubleBoard.visible())
            value += scoring::secondBoardFactor * v;
        const double change = direction * value;
        if (!scoring::scoreCanTake(singleBoard.Score, change)) {
            // Only wagers carry the score that far; the clue stays open for another answer.
            runtime::messageBox(QStringLiteral("That Answer Would Carry Your Score Past Its "
                                               "Limit. Please Choose Another Answer."),
                                texts::messageTitle());
            return;
        }
        singleBoard.Score = scoring::addToScore(singleBoard.Score, change);
        Q_EMIT answered({ scoring::StepKind::Clue,
                          singleBoard.visible() ? scoring::Round::First : scoring::Round::Second,
                          Index == Correct             ? scoring::Outcome::Correct
                                  : Index == Incorrect ? scoring::Outcome::Incorrect
                                                       : scoring::Outcome::NoRingIn,
                          *square, std::int64_t(value) });
        // Both boards, before the hide: the first board may relabel the second as it
        // becomes active again.
        singleBoard.Command1(*square)->setText(QString());
        doubleBoard.Command1(*square)->setText(QString());
    }
    hide();
}
