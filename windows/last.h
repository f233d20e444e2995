// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "runtime/form.h"

// The Final Score window. Once it shows, it is the only window left; closing it ends the game.
class Last final : public runtime::Form
{
    Q_OBJECT

public:
    Last();
    static Last &instance();

    QLabel *Label1() { return label("Label1"); }
    QLabel *Label2() { return label("Label2"); }
    QGroupBox *Frame1() { return frame("Frame1"); }

private:
    void Form_Activate() override;
};
