// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The modal boxes: the one way the program asks or tells the player something outside its
// windows. A box speaks for the active window and stands above it; input aimed at the windows
// beneath while it is open is not taken for input meant after it, and the window it spoke for
// is active again once it closes.

#include <QString>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

namespace runtime {

// A prompt, an OK button, no icon, a title; modal to the application. It speaks for the active
// window, or for the given one.
void messageBox(const QString &prompt, const QString &title, QWidget *over = nullptr);

enum class Answer { No, Yes };

// A question with Yes and No, no icon, a title. Enter gives the default answer, Escape No.
// Returns whether the answer was Yes.
bool questionBox(const QString &prompt, const QString &title, Answer byDefault = Answer::No,
                 QWidget *over = nullptr);

} // namespace runtime
