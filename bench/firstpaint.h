// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

namespace bench {

// A window that ends the program once it has been painted, as the floors do.
class FirstPaintQuits final : public QWidget
{
protected:
    void paintEvent(QPaintEvent *event) override
    {
        QWidget::paintEvent(event);
        // Queued, so that the painted window is flushed to the screen first.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

} // namespace bench
