// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "runtime/form.h"

// The wager window: a Daily Double on either board, and the final wager. A Tag of "1" marks
// the final round.
class DailyDouble final : public runtime::Form
{
    Q_OBJECT

public:
    DailyDouble();
    static DailyDouble &instance();

    QLineEdit *Wager() { return textBox("Wager"); }
    QPushButton *Command1(int index) { return commandButton("Command1", index); }
    QLabel *Label1() { return label("Label1"); }

    QString accessibleName(QStringView control, int index, const QString &caption) const override;

private:
    void Form_Activate() override;
    bool refusesClose() override;
    void Wager_KeyPress(int &KeyAscii);
    void Command1_Click(int Index);
};
