// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// Input that began before the windows last changed never acts on what changed: the second click
// of a double click never lands in the window the first one opened (or uncovered), and the
// repeats of a held key never press a button in the window its first press brought up. Input
// is judged by the window system's clock; input that software synthesises carries no time and
// is taken as it comes.

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QEvent;
QT_END_NAMESPACE

namespace runtime {

class InputGuard
{
public:
    // A window was shown, hidden or a modal box opened or closed.
    void windowsChanged();
    // Whether the event belongs to input begun before the last change.
    bool refuses(const QEvent &event);

private:
    quint64 m_lastClickAt = 0; // the last mouse press or release
    quint64 m_changedAt = 0; // the last click before the windows changed
    quint64 m_changes = 0;
    struct HeldKey
    {
        int key = 0;
        quint64 releasedAt = 0; // its last release, which a repeat's press carries too
        quint64 since = 0; // changes counted when the key went down
    } m_held;
};

} // namespace runtime
