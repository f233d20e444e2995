// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The floor: a bare Qt Widgets program that shows one empty window and exits once it has
// been painted. Width and height come from the command line so that the window matches the
// first board.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace {

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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaintQuits window;
    if (argc >= 3)
        window.setFixedSize(std::atoi(argv[1]), std::atoi(argv[2]));
    window.show();
    return QApplication::exec();
}
