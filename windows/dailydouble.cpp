// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "windows/dailydouble.h"

#include "layouts/tables.h"
#include "runtime/formruntime.h"
#include "runtime/modal.h"
#include "scoring/scoring.h"
#include "windows/doubleboard.h"
#include "windows/last.h"
#include "windows/singleboard.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

enum Button { Correct = 0, Cancel = 1, Incorrect = 2 };

constexpr int backspace = 8;

const QString messageTitle = QStringLiteral("Vantorel");

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

// The game waits on the final wager: closed, it would only come back at once, empty.
bool DailyDouble::refusesClose()
{
    return tag().toInt() == 1;
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
            runtime::messageBox(QStringLiteral("Please Enter A Wager or Cancel."), messageTitle);
            Wager()->setText(QString());
            return;
        }
        const double W = Index == Correct ? *wager : -*wager;
        if (!scoring::scoreCanTake(singleBoard.Score, W)) {
            // Ten digits can still carry the score past what it can hold: refuse, keep the
            // text for correcting.
            runtime::messageBox(
                    QStringLiteral("That Wager Is Too Large. Please Enter A Smaller Wager."),
                    messageTitle);
            return;
        }
        singleBoard.Score = scoring::addToScore(singleBoard.Score, W);
    }
    if (tag().toInt() == 1)
        finalHandOff();
    // The Final Score window may already have unloaded this window; it stays unloaded.
    if (isLoaded()) {
        hide();
        Wager()->setText(QString());
    }
}
