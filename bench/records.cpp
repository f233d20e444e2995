// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// Makes records of nightly games for the Your Games figures, once: a record already there with
// as many games is kept as it is. Each is a real record, as the program keeps it: its file and
// layout made by a GameStore, then the games written whole through storage's own queries in one
// transaction, each with its figure columns, which a GameStore writing result by result would
// take hours to do for a hundred years of games.
//
//   bench_records <folder> <games>...
// Each record is <folder>/games-<games>/vantorel/games.sqlite, where the program finds it with
// XDG_DATA_HOME=<folder>/games-<games>.

#include "tests/support/gamegenerator.h"
#include "storage/gamestore.h"
#include "storage/queries.h"
#include "storage/sqlite.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>

#include <cstdio>
#include <cstdlib>

namespace {

using storage::Ending;
using storage::GameRecord;

// How many games the record at `path` holds; -1 for none or no record.
std::int64_t gamesIn(const QString &path)
{
    if (!QFileInfo::exists(path))
        return -1;
    try {
        storage::sqlite::Connection db(path, storage::sqlite::Connection::ReadOnly);
        return db.integer("SELECT count(*) FROM games WHERE steps_in_effect > 0");
    } catch (const storage::sqlite::Error &) {
        return -1;
    }
}

// A game a night at half past seven, the last on the last night of 2025; now and then one
// ended early or left unfinished, as players do.
GameRecord nightlyGame(QRandomGenerator &random, int night, int nights)
{
    const generated::GeneratedGame generated = generated::generateGame(random);
    GameRecord game;
    game.started = QDateTime(QDate(2025, 12, 31).addDays(night - nights + 1), QTime(19, 30),
                             QTimeZone::systemTimeZone());
    game.ended = game.started.addSecs(qint64(40) * 60);
    game.ending = night % 97 == 0 ? Ending::NotFinished
            : night % 23 == 0     ? Ending::EndedByPlayer
                                  : Ending::Finished;
    game.score = generated.score;
    game.steps = generated.steps;
    game.stepsInEffect = int(generated.steps.size());
    return game;
}

// The record made beside its place and moved there once whole, so that one cut short by a
// kill is made again at the next run.
bool make(const QString &path, int games, QRandomGenerator &random)
{
    const QString part = path + QLatin1String(".part");
    for (const QString &file : { part, part + QLatin1String("-wal"), part + QLatin1String("-shm") })
        QFile::remove(file);
    {
        // The newest game, played today through the store: it makes the file as the program
        // does.
        storage::GameStore store(part);
        const GameRecord newest = nightlyGame(random, games - 1, games);
        store.keep(newest.steps, newest.stepsInEffect);
        store.endGame(Ending::Finished);
        if (!store.waitForWritten() || !store.isRecording())
            return false;
    }
    try {
        storage::sqlite::Connection db(part, storage::sqlite::Connection::ReadWrite);
        storage::sqlite::Transaction transaction(db);
        for (int night = 0; night < games - 1; ++night)
            storage::queries::insertGame(db, nightlyGame(random, night, games), QString());
        transaction.commit();
    } catch (const storage::sqlite::Error &error) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(part),
                     qPrintable(storage::sqlite::reasonFor(error.code)));
        return false;
    }
    QFile::remove(path);
    return QFile::rename(part, path);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <games>...\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int games = std::atoi(argv[i]);
        if (games < 1) {
            std::fprintf(stderr, "%s: not a number of games\n", argv[i]);
            return 2;
        }
        const QString dataHome = folder.absoluteFilePath(QStringLiteral("games-%1").arg(games));
        const QString path = dataHome + QLatin1String("/vantorel/games.sqlite");
        if (gamesIn(path) == games) {
            std::printf("  %6d games: %s (kept from an earlier run)\n", games, qPrintable(path));
            continue;
        }
        QDir().mkpath(QFileInfo(path).path());
        QElapsedTimer timer;
        timer.start();
        QRandomGenerator random(std::uint32_t(2026 + games));
        if (!make(path, games, random)) {
            std::fprintf(stderr, "%s could not be made\n", qPrintable(path));
            return 1;
        }
        std::printf("  %6d games: %s (made in %.1f s, %.1f MB)\n", games, qPrintable(path),
                    double(timer.elapsed()) / 1000, double(QFileInfo(path).size()) / 1e6);
    }
    return 0;
}
