// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "runtime/form.h"
#include "scoring/scoring.h"

#include <bitset>

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

    using Squares = std::bitset<scoring::squareCount>;
    // The squares still open: a square is open while its caption is not empty, and a used one
    // keeps no other record.
    Squares openSquares();
    // Opens the given squares at their value on this board and marks the others used.
    void setOpenSquares(const Squares &open);
    // What a square is worth on this board.
    virtual double squareValue(int index) const = 0;

    // The board the clues are played on now, if any.
    static Board *inPlay();

protected:
    using Form::Form;

    // A round is over once every square is used.
    bool everySquareUsed() { return openSquares().none(); }

    // Opens (or re-targets) the clue window on a square worth the given value. The window is
    // shown first and filled in after.
    static void showClue(int index, double value);
};
