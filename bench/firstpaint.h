// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QCoreApplication>
#include <QWidget>

namespace bench {

// A window that ends the program once it has been painted, as the floors do.
class FirstPaintQuits final : public QWidget
{
protected:
    void paintEvent(QPaintEvent *event) override
    {
        QWidget::paintEvent(event);
        // The event loop returns once this pass is over, the painted window flushed to the
        // screen; what the paint queued is not start-up (the program opens its record there).
        QCoreApplication::exit(0);
    }
};

} // namespace bench
