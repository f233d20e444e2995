// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The long random-play run: `vantorel_soak [games] [seed]` plays games on the real windows,
// `vantorel_soak --kills N [seed]` kills N lives of the program, with its games kept, at random
// moments. Each prints what it did and every difference from the model, and exits non-zero if
// there was any. `--life SEED [GAME]` is one such life.

#include "tests/support/killtest.h"
#include "tests/support/soakplayer.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

int killLives(const char *program, long kills, std::uint32_t seed)
{
    // On the disk the player's data would be on, not a memory file system.
    QTemporaryDir folder(QDir::currentPath() + "/kills-XXXXXX");
    soak::KillTest test(program, folder.path(), seed);
    std::mt19937 random(seed);
    long failures = 0;
    long lives = 0;
    for (; test.kills < kills; ++lives) {
        const int actions = std::uniform_int_distribution(0, 150)(random);
        const int delayMs = std::uniform_int_distribution(0, 3)(random);
        // Every other life on a disk that fails now and then, every fifth one terminated.
        if (const QString failure = test.live(actions, delayMs, lives % 2 == 1, lives % 5 == 4);
            !failure.isEmpty()) {
            std::printf("FAILURE life %ld: %s\n", lives, qPrintable(failure));
            ++failures;
        }
    }
    std::printf("seed %u: %ld lives killed at random moments (%ld of them resumed a game, every "
                "other one on a disk failing now and then, every fifth one terminated), the record "
                "checked after each: %ld "
                "integrity checks, %ld results compared, %ld kills found the record a change or "
                "more behind the screen; %ld failures found\n",
                seed, test.kills, test.resumed, test.integrityChecks, test.resultsCompared,
                test.behind, failures);
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (!message.startsWith(QLatin1String("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
        if (type == QtFatalMsg)
            std::abort();
    });
    const QStringList arguments = QCoreApplication::arguments();
    soak::Totals totals;
    if (arguments.value(1) == "--life") {
        const std::optional<soak::Recorded> kept =
                arguments.size() > 3 ? std::optional(soak::decode(arguments.at(3))) : std::nullopt;
        soak::Player player(arguments.value(2).toUInt());
        return soak::live(player, kept, totals);
    }
    if (arguments.value(1) == "--kills")
        return killLives(argv[0], arguments.value(2).toLong(),
                         std::uint32_t(arguments.value(3, "20240501").toUInt()));

    const long games = argc > 1 ? std::atol(argv[1]) : 1000;
    const auto seed = std::uint32_t(argc > 2 ? std::atol(argv[2]) : 20240501);
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
                "%ld rounds ended early, %ld earlier results changed (%ld refused past the "
                "score's limit); %lld failures found\n",
                seed, totals.games, totals.finished, totals.actions, totals.boxes, totals.questions,
                totals.undos, totals.redos, totals.roundsEnded, totals.changes,
                totals.changesRefused, qlonglong(totals.failures.size()));
    return totals.failures.isEmpty() ? 0 : 1;
}
