// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "windows/dailydouble.h"

#include "layouts/tables.h"
#include "runtime/formruntime.h"
#include "runtime/loader.h"
#include "runtime/modal.h"
#include "scoring/scoring.h"
#include "windows/doubleboard.h"
#include "windows/last.h"
#include "windows/singleboard.h"
#include "windows/texts.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int backspace = 8;
constexpr int finalRoundFlag = 1; // the Tag, read as a number

// The final wager is scored: the Final Score window takes over.
void finalHandOff()
{
    Last::instance().show();
    DoubleBoard::instance().unload();
}

} // namespace

DailyDouble::DailyDouble() : Form(layouts::dailyDouble)
{
    onKeyPress("Wager", &DailyDouble::Wager_KeyPress);
    onClick("Command1", &DailyDouble::Command1_Click);
}

DailyDouble &DailyDouble::instance()
{
    return runtime::FormRuntime::defaultInstance<DailyDouble>();
}

// The box's visible caption is the label "Wager: $" beside it.
QString DailyDouble::accessibleName(QStringView control, int /*index*/,
                                    const QString & /*caption*/) const
{
    return control == u"Wager" ? QStringLiteral("Wager in dollars") : QString();
}

void DailyDouble::Form_Activate()
{
    Wager()->setFocus();
}

bool DailyDouble::isFinalWager()
{
    return isLoaded() && tag().toInt() == finalRoundFlag;
}

void DailyDouble::makeFinalWager()
{
    if (!isFinalWager())
        Wager()->clear();
    setCaption(QStringLiteral("Final Vantorel"));
    setTag(QString::number(finalRoundFlag));
    Command1(Cancel)->setVisible(false);
}

void DailyDouble::makeDailyDouble(const QString &digits)
{
    setCaption(runtime::toQString(layout().caption));
    setTag(runtime::toQString(layout().tag));
    Command1(Cancel)->setVisible(true);
    Wager()->setText(digits);
}

// The game waits on the final wager: closed, it would only come back at once, empty.
bool DailyDouble::refusesClose()
{
    return isFinalWager();
}

void DailyDouble::Wager_KeyPress(int &KeyAscii)
{
    if (KeyAscii != backspace && (KeyAscii < '0' || KeyAscii > '9'))
        KeyAscii = 0;
}

void DailyDouble::Command1_Click(int Index)
{
    SingleBoard &singleBoard = SingleBoard::instance();
    if (Index != Cancel) {
        const auto wager = scoring::wagerValue(Wager()->text().toStdString());
        if (!wager) {
            runtime::messageBox(QStringLiteral("Please Enter A Wager or Cancel."),
                                texts::messageTitle());
            Wager()->setText(QString());
            return;
        }
        const double W = Index == Correct ? *wager : -*wager;
        if (!scoring::scoreCanTake(singleBoard.Score, W)) {
            // Ten digits can still carry the score past what it can hold: refuse, keep the
            // text for correcting.
            runtime::messageBox(
                    QStringLiteral("That Wager Is Too Large. Please Enter A Smaller Wager."),
                    texts::messageTitle());
            return;
        }
        singleBoard.Score = scoring::addToScore(singleBoard.Score, W);
        const bool final = isFinalWager();
        Q_EMIT scored({ final ? scoring::StepKind::FinalWager : scoring::StepKind::DailyDouble,
                        final                           ? scoring::Round::Final
                                : singleBoard.visible() ? scoring::Round::First
                                                        : scoring::Round::Second,
                        Index == Correct ? scoring::Outcome::Correct : scoring::Outcome::Incorrect,
                        -1, std::int64_t(*wager) });
    }
    if (isFinalWager())
        finalHandOff();
    // The Final Score window may already have unloaded this window; it stays unloaded.
    if (isLoaded()) {
        hide();
        Wager()->setText(QString());
    }
}
