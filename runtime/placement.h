// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// Where the windows open and whom they belong to. A window opens at its stored place, wholly on
// the screen; a board shown beside the board in play takes that board's place, and the windows
// the board in play owns (their layout's role) open at their designed offset from it, stay
// above it and go with it. Ownership is the window system's transient-for relation, never
// widget parentage, so that every window's lifetime stays the runtime's.

#include <QtGlobal>

#include <span>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

namespace runtime {

class Form;

class Placement
{
public:
    // A window about to open, its native window made: it is placed now, and kept on the screen
    // at each exposure until one shows it framed by the window system.
    static void opening(Form &form, Form *board);

    // The owned windows among these stay above the board and go with it.
    static void updateOwners(std::span<Form *const> forms, Form *board);
};

// Shows a window of the additions', which has no layout and no place of its own: in the middle
// of the screen `near` is on (the primary screen without it), as large as it likes up to most of
// that screen, kept wholly on it as a window that opens is.
void showCentred(QWidget &window, const QWidget *near);

} // namespace runtime
