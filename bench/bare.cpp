// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The floor: a bare Qt Widgets program that shows one empty window and exits once it has
// been painted. Width and height come from the command line so that the window matches the
// first board.

#include "bench/firstpaint.h"

#include <QApplication>
#include <QWidget>

#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    bench::FirstPaintQuits window;
    if (argc >= 3)
        window.setFixedSize(std::atoi(argv[1]), std::atoi(argv[2]));
    window.show();
    return QApplication::exec();
}
