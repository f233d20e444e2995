// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "runtime/form.h"

// What the two boards have alike: 30 squares, the Daily Double button and the score line.
class Board : public runtime::Form
{
    Q_OBJECT

public:
    QPushButton *Command1(int index) { return commandButton("Command1", index); }
    QPushButton *Command2() { return commandButton("Command2"); }
    QLabel *ScoreLabel() { return label("ScoreLabel"); }
    QLabel *Label1() { return label("Label1"); }
    QLabel *Label2() { return label("Label2"); }
    QGroupBox *Frame1() { return frame("Frame1"); }

    // A square reads as its value and place, or as played once its caption is gone; the
    // score says what it counts.
    QString accessibleName(QStringView control, int index, const QString &caption) const override;

protected:
    using Form::Form;

    // A round is over once every square's caption is empty: a used square keeps no other
    // record.
    bool everySquareUsed();

    // Opens (or re-targets) the clue window on a square worth the given value. The window is
    // shown first and filled in after.
    static void showClue(int index, double value);
};
