// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The record of games on a real disk (a folder beside this program, in the build tree): how
// long a recorded result takes from the click's hand-over to its commit in the writer, with the
// deferred sync (synchronous=NORMAL) and with a sync at each commit (FULL); how long opening the
// record and looking for a game to resume take, with no file and with ten years of nightly games;
// how long reading all those games takes; and the file's size. Figures only.
//
//   bench_storage <games> [records]
// games: how many the record of ten years holds. With a folder, that record is left in it for
// the start-up figures, as finished.sqlite, with open.sqlite beside it: the same and one more
// game, cut off in its second round and still in progress.

#include "tests/support/gamegenerator.h"
#include "storage/gamestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using storage::GameStore;

struct Figures
{
    double median = 0, p99 = 0, max = 0;
};

Figures figuresOf(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[std::size_t(q * double(ms.size() - 1) + 0.5)]; };
    return { at(0.5), at(0.99), ms.back() };
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Waits until the store says what was handed over as `sequence` is on disk.
void waitUntilWritten(GameStore &store, std::uint64_t sequence)
{
    QEventLoop loop;
    const QMetaObject::Connection written =
            QObject::connect(&store, &GameStore::written, &loop, [&](std::uint64_t done) {
                if (done >= sequence)
                    loop.quit();
            });
    loop.exec();
    QObject::disconnect(written);
}

// Plays whole games into the store and times each result from the click's hand-over until its
// commit is reported back. At the pace of the show, the background sync has run before the next
// result: with syncEachStep it is run in between (untimed); otherwise after each game, as after
// an evening's play.
std::vector<double> play(GameStore &store, QRandomGenerator &random, int games, bool syncEachStep)
{
    std::vector<double> ms;
    for (int g = 0; g < games; ++g) {
        const generated::GeneratedGame game = generated::generateGame(random);
        for (std::size_t n = 0; n < game.steps.size(); ++n) {
            QElapsedTimer timer;
            timer.start();
            const std::uint64_t sequence = store.keep(
                    std::vector(game.steps.begin(), game.steps.begin() + long(n) + 1), int(n) + 1);
            waitUntilWritten(store, sequence);
            ms.push_back(msSince(timer));
            if (syncEachStep)
                store.waitForWritten();
        }
        store.endGame(storage::Ending::Finished);
        store.waitForWritten();
    }
    return ms;
}

// The median time of opening the store and looking for a game to resume.
double openTime(const QString &path, bool removeFirst, int runs)
{
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        if (removeFirst)
            QDir(QFileInfo(path).path()).removeRecursively();
        QElapsedTimer timer;
        timer.start();
        GameStore store(path);
        QEventLoop loop;
        QObject::connect(&store, &GameStore::offered, &loop, &QEventLoop::quit);
        QObject::connect(&store, &GameStore::nothingOffered, &loop, &QEventLoop::quit);
        store.offerGame();
        loop.exec();
        ms.push_back(msSince(timer));
    }
    return figuresOf(ms).median;
}

// A copy of the record with a new game cut off after its first `steps` results, left in
// progress as when the program is killed.
void cutShort(const QString &record, const QString &copy, QRandomGenerator &random, int steps)
{
    QFile::remove(copy);
    QFile::copy(record, copy);
    GameStore store(copy);
    const generated::GeneratedGame game = generated::generateGame(random);
    store.keep(std::vector(game.steps.begin(), game.steps.begin() + steps), steps);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int recordGames = argc > 1 ? std::atoi(argv[1]) : 0;
    if (recordGames < 1) {
        std::fprintf(stderr, "usage: %s <games> [records]\n", argv[0]);
        return 2;
    }
    const QString records = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir work(QCoreApplication::applicationDirPath() + QLatin1String("/storage-bench"));
    work.removeRecursively();
    QRandomGenerator random(2026);
    std::printf("Record of games (SQLite %s), in %s\n", sqlite3_libversion(),
                qPrintable(work.path()));

    std::printf("  %-44s %6s %8s %8s %8s\n", "commit of a result, ms", "steps", "median", "p99",
                "max");
    const struct
    {
        const char *name;
        bool syncEachCommit;
    } modes[] = {
        { "synchronous=NORMAL, synced in the background", false },
        { "synchronous=FULL, synced at each commit", true },
    };
    for (const auto &mode : modes) {
        GameStore store(work.filePath(QLatin1String(mode.name).left(18) + QLatin1String("/games")),
                        nullptr, { mode.syncEachCommit });
        const std::vector<double> ms = play(store, random, 30, true);
        const Figures figures = figuresOf(ms);
        std::printf("  %-44s %6zu %8.3f %8.3f %8.3f\n", mode.name, ms.size(), figures.median,
                    figures.p99, figures.max);
    }

    const QString record = records.isEmpty()
            ? work.filePath(QStringLiteral("record/games"))
            : QDir(records).filePath(QStringLiteral("finished.sqlite"));
    std::printf("  open and look for a game to resume, no file: %.2f ms (median of 20)\n",
                openTime(record, true, 20));
    QElapsedTimer building;
    building.start();
    std::size_t steps = 0;
    {
        GameStore store(record);
        steps = play(store, random, recordGames, false).size();
    }
    std::printf("  %d games of nightly play (%zu steps) recorded in %.1f s\n", recordGames, steps,
                msSince(building) / 1000);
    std::printf("  open and look for a game to resume, %d games: %.2f ms (median of 20)\n",
                recordGames, openTime(record, false, 20));
    std::vector<double> reads;
    std::size_t readGames = 0;
    for (int run = 0; run < 5; ++run) {
        storage::Record store(record);
        QElapsedTimer timer;
        timer.start();
        readGames = store.games().games.size();
        reads.push_back(msSince(timer));
    }
    std::printf("  every game read whole (%zu games): %.1f ms (median of 5)\n", readGames,
                figuresOf(reads).median);
    const qint64 size = QFileInfo(record).size();
    std::printf("  file size: %.2f MB, %lld bytes a game\n", double(size) / 1e6,
                size / recordGames);
    if (!records.isEmpty())
        cutShort(record, QDir(records).filePath(QStringLiteral("open.sqlite")), random, 40);
    work.removeRecursively();
    return 0;
}
