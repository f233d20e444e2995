// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The long random-play run: `vantorel_soak [games] [seed]`. Prints what it played and every
// difference from the model; exits non-zero if there was any.

#include "tests/support/soak.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long games = argc > 1 ? std::atol(argv[1]) : 1000;
    const auto seed = std::uint32_t(argc > 2 ? std::atol(argv[2]) : 20240501);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (!message.startsWith(QLatin1String("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
        if (type == QtFatalMsg)
            std::abort();
    });
    soak::Totals totals;
    soak::Player player(seed);
    for (long game = 0; game < games; ++game) {
        player.playGame(3000, totals);
        if ((game + 1) % 100 == 0)
            std::printf("%ld games...\n", game + 1);
        std::fflush(stdout);
    }
    for (const QString &failure : totals.failures)
        std::printf("FAILURE %s\n", qPrintable(failure));
    std::printf("seed %u: %ld games played (%ld to the Final Score), %ld actions performed, "
                "%ld message boxes answered (%ld of them questions), %ld undos, %ld redos, "
                "%ld rounds ended early; %ld Daily Doubles pending as the final round began, "
                "%ld final wagers undone into their Daily Double, %ld activations through the "
                "board; %lld failures found\n",
                seed, totals.games, totals.finished, totals.actions, totals.boxes, totals.questions,
                totals.undos, totals.redos, totals.roundsEnded, totals.pendingDigitsDropped,
                totals.wagerBackFromFinal, totals.throughBoard, qlonglong(totals.failures.size()));
    return totals.failures.isEmpty() ? 0 : 1;
}
