// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The second floor: the first board as any Qt program would show it (plainboard.h), with the
// program's window icon images, ending once painted. The program's pixels per twip and font
// factor come from the command line (bench_vantorel --size prints them).

#include "bench/firstpaint.h"
#include "tests/support/plainboard.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QWidget>

#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vantorel Scorekeeper"));
    QGuiApplication::setDesktopFileName(QStringLiteral("vantorel"));
    QIcon icon;
    const QDir images(QStringLiteral(":/icons/vantorel"));
    for (const QString &file : images.entryList(QDir::Files))
        icon.addFile(images.filePath(file));
    QApplication::setWindowIcon(icon);

    bench::FirstPaintQuits board;
    plainboard::buildPlainBoard(board, argc >= 2 ? std::atof(argv[1]) : 1.0 / 15,
                                argc >= 3 ? std::atof(argv[2]) : 1);
    board.show();
    board.setAttribute(Qt::WA_KeyboardFocusChange); // the focus mark, as the program draws it
    return QApplication::exec();
}
