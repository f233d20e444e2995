// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/gamestore.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <sys/stat.h>

#include <algorithm>
#include <limits>

using namespace storage;
using Steps = std::vector<scoring::Step>;
using Numbers = QList<int>;

namespace {

// The n-th step of a made-up game: every kind, round and outcome in turn; wagers at the limits
// of 64 bits at 98 and 99.
scoring::Step step(int n)
{
    constexpr auto most = std::numeric_limits<std::int64_t>::max();
    return { scoring::StepKind(n % 4), scoring::Round(n % 3 + 1), scoring::Outcome(n % 3), n % 30,
             n == 98           ? most
                     : n == 99 ? -most - 1
                               : (n + 1) * 200 };
}

Steps steps(int from, int to)
{
    Steps made(to - from);
    std::generate(made.begin(), made.end(), [n = from]() mutable { return step(n++); });
    return made;
}

// A score beyond 32 bits, for each step in effect.
constexpr std::int64_t point = -10'000'000'000;

void record(GameStore &store, int count)
{
    for (int n = 0; n < count; ++n)
        store.recordStep(n, step(n), n + 1, (n + 1) * point);
}

// Another program's connection to the file. A statement returns its first value.
struct Sql
{
    explicit Sql(const QString &path) { sqlite3_open(QFile::encodeName(path), &db); }
    ~Sql() { sqlite3_close(db); }
    QString operator()(const char *statement)
    {
        char **table = nullptr;
        int rows = 0, columns = 0;
        sqlite3_get_table(db, statement, &table, &rows, &columns, nullptr);
        const QString first = rows > 0 ? QString::fromUtf8(table[columns]) : QString();
        sqlite3_free_table(table);
        return first;
    }
    sqlite3 *db = nullptr;
};

// SQLite's own limit on the file's size, at the size it has: the disk is full.
int noRoomToGrow(sqlite3 *db, char **, const sqlite3_api_routines *)
{
    return sqlite3_exec(db, "PRAGMA max_page_count = 1", nullptr, nullptr, nullptr);
}

unsigned mode(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path), &status) == 0 ? status.st_mode & 07777 : 0;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// What the round trip plays besides steps (by number) and undo or redo (-steps in effect):
// Next starts, with the game taken resumed, declined or left open; another copy that starts a
// game and runs on; the ends of a game.
enum Play { Resume = 1000, Decline, Leave, Another, Finish, EndByPlayer };
// Faults of the file: from Random on, damage; Seized is a lock taken mid-game.
enum Fault { None, Full, Newer, Writing, Locked, Seized, Random, RandomLog, Garbled, Cut, Under };

} // namespace

class TestStorage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<Numbers>("play");
        QTest::addColumn<Numbers>("stored"); // in the first game
        QTest::addColumn<int>("inEffect");
        QTest::addColumn<Ending>("ending");
        QTest::addColumn<int>("offered"); // at the next start, counting games from the oldest
        constexpr Ending Open = Ending::InProgress;
        QTest::newRow("wagers at the limits of 64 bits")
                << Numbers{ 98, 99 } << Numbers{ 98, 99 } << 2 << Open << 0;
        QTest::newRow("every kind, round and outcome; undone steps stay redoable")
                << Numbers{ 0, 1, 2, 3, -1 } << Numbers{ 0, 1, 2, 3 } << 1 << Open << 0;
        QTest::newRow("a result after an undo drops the redoable ones")
                << Numbers{ 0, 1, 2, 3, -2, -1, 9 } << Numbers{ 0, 9 } << 2 << Open << 0;
        QTest::newRow("a resumed game goes on where it was")
                << Numbers{ 0, 1, 2, -1, Resume, -2, 8 } << Numbers{ 0, 1, 8 } << 3 << Open << 0;
        QTest::newRow("the Final Score shown, then the next game")
                << Numbers{ 0, 1, 2, Finish, 5 } << Numbers{ 0, 1, 2 } << 3 << Ending::Finished
                << 1;
        QTest::newRow("ended by the player") << Numbers{ 0, 1, EndByPlayer } << Numbers{ 0, 1 } << 2
                                             << Ending::EndedByPlayer << -1;
        QTest::newRow("declined at the next start, never offered again")
                << Numbers{ 0, 1, -1, Decline } << Numbers{ 0, 1 } << 1 << Ending::NotFinished
                << -1;
        QTest::newRow("the newest open game is offered")
                << Numbers{ 0, Leave, 1 } << Numbers{ 0 } << 1 << Open << 1;
        QTest::newRow("not one another running copy holds")
                << Numbers{ 0, Another } << Numbers{ 0 } << 1 << Open << 0;
    }

    // Games as the next start finds them.
    void roundTrip()
    {
        QFETCH(Numbers, play);
        QFETCH(Numbers, stored);
        QFETCH(int, inEffect);
        QFETCH(Ending, ending);
        const QString path = m_dir.filePath(QTest::currentDataTag() + QLatin1String("/games"));
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
        auto store = std::make_unique<GameStore>(path);
        std::vector<std::unique_ptr<GameStore>> others; // running still
        int count = 0;
        for (const int action : play) {
            if (action == Resume || action == Decline || action == Leave) {
                store.reset(); // before the next copy starts
                store = std::make_unique<GameStore>(path);
                if (action == Leave)
                    count = 0;
                else if (const std::int64_t id = store->takeResumableGame()->id; action == Resume)
                    store->resume(id);
                else
                    store->setNotFinished(id);
            } else if (action == Another) {
                record(*others.emplace_back(std::make_unique<GameStore>(path)), 1);
            } else if (action == Finish || action == EndByPlayer) {
                store->endGame(action == Finish ? Ending::Finished : Ending::EndedByPlayer,
                               count * point);
                count = 0;
            } else if (action < 0) {
                count = -action;
                store->setStepsInEffect(count, count * point);
            } else {
                store->recordStep(count, step(action), count + 1, (count + 1) * point);
                ++count;
            }
        }
        store.reset(); // the next start
        store = std::make_unique<GameStore>(path);
        const std::optional<GameRecord> resumable = store->takeResumableGame();
        const std::vector<GameRecord> games = store->games();
        const GameRecord &game = games.back();
        Steps expected(stored.size());
        std::transform(stored.begin(), stored.end(), expected.begin(), step);
        QCOMPARE(game.steps, expected);
        QCOMPARE(game.stepsInEffect, inEffect);
        QCOMPARE(game.score, inEffect * point);
        QCOMPARE(game.ending, ending);
        const auto offered = std::find(games.rbegin(), games.rend(), resumable) - games.rbegin();
        QTEST(resumable ? int(offered) : -1, "offered");
        // In local time, with the offset from UTC of then.
        QCOMPARE(game.started.offsetFromUtc(), before.offsetFromUtc());
        QVERIFY(before <= game.started && game.started <= QDateTime::currentDateTime());
        QCOMPARE(game.ended.isValid() && game.started <= game.ended, ending != Ending::InProgress);
        // Private to the player.
        const QList<unsigned> modes = { mode(QFileInfo(path).path()), mode(path),
                                        mode(path + "-wal") };
        QCOMPARE(modes, (QList<unsigned>{ 0700, 0600, 0600 }));
        // Games running copies hold stay, this one's too.
        store->forgetAll();
        QCOMPARE(store->games().size(), others.size() + resumable.has_value());
    }

    // Within a second of the last result, off the player's click: past a size, the log is
    // copied into the file.
    void syncedInTheBackground()
    {
        const QString path = m_dir.filePath(QStringLiteral("synced"));
        GameStore store(path);
        const qint64 empty = QFileInfo(path).size();
        record(store, 400);
        QTRY_VERIFY(QFileInfo(path).size() > empty);
    }

    void faults_data()
    {
        QTest::addColumn<QString>("at"); // the file, if not in the row's folder
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a file where the folder goes")
                << "file/g" << None << "folder cannot be made";
        QTest::newRow("folder on a read-only disk")
                << "/proc/v/g" << None << "folder cannot be made";
        QTest::newRow("file on a read-only disk") << "/proc/g" << None << "cannot be written";
        QTest::newRow("disk full mid-game") << QString() << Full << "disk is full";
        QTest::newRow("written by a newer version") << QString() << Newer << "newer";
        QTest::newRow("another program writing") << QString() << Writing << "another program";
        QTest::newRow("another program's lock") << QString() << Locked << "another program";
        QTest::newRow("locked mid-game") << QString() << Seized << "another program";
        QTest::newRow("random bytes") << QString() << Random << "damaged";
        QTest::newRow("random bytes and a log") << QString() << RandomLog << "damaged";
        QTest::newRow("garbled pages") << QString() << Garbled << "damaged";
        QTest::newRow("cut short") << QString() << Cut << "damaged";
        QTest::newRow("garbled mid-game") << QString() << Under << "damaged";
    }

    // Play goes on, the player is told once, and nothing stored is lost: recording stops, or a
    // damaged file is set aside (never deleted) and recording goes on in a new one.
    void faults()
    {
        QFETCH(QString, at);
        QFETCH(Fault, fault);
        QFETCH(QString, reason);
        const QDir folder(m_dir.filePath(QTest::currentDataTag()));
        const QString path = at.isEmpty() ? folder.filePath(QStringLiteral("games"))
                                          : QDir(m_dir.path()).filePath(at);
        write(m_dir.filePath(QStringLiteral("file")), "x");
        for (int game = 0; at.isEmpty() && game < 3; ++game) {
            GameStore filling(path);
            record(filling, 300);
            if (game < 2) // the last is left open
                filling.endGame(Ending::Finished, 0);
        }
        std::optional<GameStore> store;
        if (fault == Under)
            record(store.emplace(path), 3);
        QByteArray bytes = contents(path);
        if (fault == Cut)
            bytes.truncate(bytes.size() / 2);
        if (fault == Garbled || fault == Under)
            bytes.replace(4096, bytes.size() - 4096, QByteArray(bytes.size() - 4096, '\xa5'));
        if (fault == Random || fault == RandomLog)
            std::generate(bytes.begin(), bytes.end(),
                          [] { return char(QRandomGenerator::global()->generate()); });
        const bool damage = fault >= Random;
        if (damage)
            write(path, bytes);
        if (fault == RandomLog)
            write(path + QLatin1String("-wal"), bytes.left(5000));
        const auto fill = reinterpret_cast<void (*)()>(noRoomToGrow);
        const auto unfill = qScopeGuard([=] { sqlite3_cancel_auto_extension(fill); });
        if (fault == Full)
            sqlite3_auto_extension(fill);
        if (fault == Newer)
            Sql{ path }("PRAGMA user_version = 2");
        std::optional<Sql> other;
        const auto lock = [&](const char *mode) {
            other.emplace(path)(mode);
            (*other)("BEGIN EXCLUSIVE; DELETE FROM steps");
        };
        if (fault == Writing || fault == Locked)
            lock(fault == Locked ? "PRAGMA locking_mode = EXCLUSIVE" : "");
        const QByteArray before = contents(path);
        QElapsedTimer elapsed;
        elapsed.start();
        if (!store)
            store.emplace(path);
        const bool toldAtOpen = !store->problem().isEmpty();
        QSignalSpy problems(&*store, &GameStore::problemFound);
        store->takeResumableGame();
        store->games();
        // This copy's game goes on in the new file.
        QVERIFY(!damage || store->games().size() == (fault == Under ? 1u : 0u));
        store->recordStep(0, step(0), 1, 0);
        if (fault == Seized)
            lock("");
        record(*store, 500);
        QCOMPARE(store->isRecording(), damage);
        QVERIFY(store->problem().contains(path) && store->problem().contains(reason));
        QCOMPARE(problems.count() + toldAtOpen, 1);
        // A lock is waited for, a while.
        const bool locked = fault >= Writing && fault <= Seized;
        QVERIFY(elapsed.elapsed() < 5000 && (!locked || elapsed.elapsed() >= 900));
        store.reset();
        QVERIFY(fault != Newer || contents(path) == before);
        if (damage) {
            const QStringList aside = folder.entryList({ QStringLiteral("games.damaged-*") });
            const QString named = QStringLiteral("'games.damaged-'yyyyMMdd-hhmmss");
            QVERIFY(QDateTime::fromString(aside.value(0), named).isValid());
            QCOMPARE(contents(folder.filePath(aside[0])), bytes);
            for (const QString &log : aside.mid(1))
                QVERIFY(log == aside[0] + QLatin1String("-wal")
                        || log == aside[0] + QLatin1String("-shm"));
            if (fault == RandomLog)
                QCOMPARE(contents(folder.filePath(aside[0] + QLatin1String("-wal"))),
                         bytes.left(5000));
        }
        if (!at.isEmpty() || fault == Newer)
            return;
        sqlite3_cancel_auto_extension(fill);
        other.reset();
        GameStore after(path);
        QCOMPARE(after.games().back().steps, damage ? steps(0, 500) : steps(0, 300));
        // A game cut short is offered as far as it got.
        const std::optional<GameRecord> resumable = after.takeResumableGame();
        QVERIFY(resumable && resumable->steps == steps(0, int(resumable->steps.size())));
    }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
