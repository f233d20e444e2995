// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "scoring/scoring.h"
#include "scoring/step.h"

#include <QRegularExpression>
#include <QString>

#include <cstdint>
#include <vector>

namespace testsupport {

// Steps written short: "1+14" the first board's square 14 answered right, "2-8" the second
// board's square 8 wrong, "1.29" no ring in; "D1+1500" a Daily Double's wager won on the first
// board; "F-3000" the final wager lost; "E1" the first round ended early; "C-0" the result
// recorded first changed to wrong, "C+2x900" the third to right with a wager of 900.
inline std::vector<scoring::Step> steps(const QString &text)
{
    using namespace scoring;
    static const QRegularExpression form(
            QStringLiteral("([DFEC]?)([12]?)([-+.]?)(\\d*)(?:x(\\d+))?"));
    std::vector<Step> steps;
    for (const QString &word : text.split(' ', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch part = form.match(word);
        const auto kind = StepKind(QStringLiteral(" DFEC").indexOf(part.captured(1)));
        const int number = part.captured(4).toInt();
        const Outcome outcome = Outcome(QStringLiteral("+.-").indexOf(part.captured(3)));
        if (kind == StepKind::Change) {
            const Step &changed = steps.at(std::size_t(number));
            steps.push_back({ kind, changed.round, outcome, number,
                              part.captured(5).isEmpty() ? changed.amount
                                                         : part.captured(5).toLongLong() });
            continue;
        }
        const bool second = part.captured(2) == "2";
        const int factor = second ? secondBoardFactor : 1;
        steps.push_back({ kind, kind == StepKind::FinalWager ? Round::Final : Round(1 + second),
                          outcome, kind == StepKind::Clue ? number : -1,
                          kind == StepKind::Clue
                                  ? std::int64_t(factor * singleSquareValue(number % squareCount))
                                  : number });
    }
    return steps;
}

} // namespace testsupport
