// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "runtime/form.h"
#include "scoring/step.h"

// The wager window: a Daily Double on either board, and the final wager.
class DailyDouble final : public runtime::Form
{
    Q_OBJECT

public:
    DailyDouble();
    static DailyDouble &instance();

    // The buttons, by their index in Command1.
    enum Button { Correct = 0, Cancel = 1, Incorrect = 2 };

    // The window is the final wager once the final round has begun; the flag travels in its
    // Tag. Asked without loading.
    bool isFinalWager();
    // Makes the window the final wager: retitled, flagged and without Cancel. The digits of a
    // Daily Double left pending are no final wager: the box starts empty.
    void makeFinalWager();
    // Makes it the Daily Double again, as designed, holding the given digits.
    void makeDailyDouble(const QString &digits);

    QLineEdit *Wager() { return textBox("Wager"); }
    QPushButton *Command1(int index) { return commandButton("Command1", index); }
    QLabel *Label1() { return label("Label1"); }

    QString accessibleName(QStringView control, int index, const QString &caption) const override;

Q_SIGNALS:
    // A wager was scored, a Daily Double's or the final one: the result as the score took it.
    void scored(const scoring::Step &result);

private:
    void Form_Activate() override;
    bool refusesClose() override;
    void Wager_KeyPress(int &KeyAscii);
    void Command1_Click(int Index);
};
