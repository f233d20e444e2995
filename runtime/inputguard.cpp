// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/inputguard.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QStyleHints>

namespace runtime {

void InputGuard::windowsChanged()
{
    m_changedAt = m_lastClickAt;
    ++m_changes;
}

// A click whose press comes within the double-click interval of a click made before the windows
// changed belongs to that earlier click, and a key press that repeats a key held down since
// before the change belongs to that hold.
bool InputGuard::refuses(const QEvent &event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const quint64 time = static_cast<const QInputEvent &>(event).timestamp();
        if (time == 0)
            return false;
        m_lastClickAt = time;
        const auto interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        return event.type() != QEvent::MouseButtonRelease && m_changedAt != 0 && time >= m_changedAt
                && time - m_changedAt < interval;
    }
    case QEvent::KeyPress: {
        // A held key repeats as releases and presses stamped alike, and the window system does
        // not always mark the first of them as a repeat.
        const auto &key = static_cast<const QKeyEvent &>(event);
        const bool sameKey = key.key() == m_held.key;
        const bool repeats = key.isAutoRepeat()
                || (sameKey && key.timestamp() != 0 && key.timestamp() == m_held.releasedAt);
        if (!repeats) {
            m_held = { key.key(), 0, m_changes };
            return false;
        }
        if (!sameKey) // went down before this program saw it
            m_held = { key.key(), 0, ~quint64(0) };
        return m_held.since != m_changes;
    }
    case QEvent::KeyRelease: {
        const auto &key = static_cast<const QKeyEvent &>(event);
        if (key.key() == m_held.key)
            m_held.releasedAt = key.timestamp();
        return false;
    }
    default:
        return false;
    }
}

} // namespace runtime
