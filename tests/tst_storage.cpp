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
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    Steps made;
    for (int n = from; n < to; ++n)
        made.push_back(step(n));
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
        QString first;
        const auto keep = [](void *to, int, char **values, char **) {
            return *static_cast<QString *>(to) = QString::fromUtf8(values[0]), 0;
        };
        sqlite3_exec(db, statement, keep, &first, nullptr);
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

// What the round trip plays besides steps (by number) and undo or redo (-steps in effect).
enum Play { Restart = 1000, Decline, Finish, EndByPlayer };
enum Left { Open, Running, Finished, Declined };
enum class Fault {
    None,
    DiskFull,
    Newer,
    WriterAtOpen,
    LockedAtOpen,
    LockedMidGame,
    RandomBytes, // the damages
    RandomBytesAndLog,
    Garbled,
    Truncated,
    UnderAGame,
};

} // namespace

class TestStorage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<Numbers>("play");
        QTest::addColumn<Numbers>("stored");
        QTest::addColumn<int>("inEffect");
        QTest::addColumn<Ending>("ending");
        QTest::newRow("wagers at the limits of 64 bits")
                << Numbers{ 98, 99 } << Numbers{ 98, 99 } << 2 << Ending::InProgress;
        QTest::newRow("every kind, round and outcome; undone steps stay redoable")
                << Numbers{ 0, 1, 2, 3, -1 } << Numbers{ 0, 1, 2, 3 } << 1 << Ending::InProgress;
        QTest::newRow("a result after an undo drops the redoable ones")
                << Numbers{ 0, 1, 2, 3, -2, -1, 9 } << Numbers{ 0, 9 } << 2 << Ending::InProgress;
        QTest::newRow("a resumed game goes on where it was")
                << Numbers{ 0, 1, 2, -1, Restart, -2, 8 } << Numbers{ 0, 1, 8 } << 3
                << Ending::InProgress;
        QTest::newRow("the Final Score shown, then the next game")
                << Numbers{ 0, 1, 2, Finish, 5 } << Numbers{ 0, 1, 2 } << 3 << Ending::Finished;
        QTest::newRow("ended by the player")
                << Numbers{ 0, 1, EndByPlayer } << Numbers{ 0, 1 } << 2 << Ending::EndedByPlayer;
        QTest::newRow("declined at the next start")
                << Numbers{ 0, 1, -1, Decline } << Numbers{ 0, 1 } << 1 << Ending::NotFinished;
    }

    // A game as the next start finds it.
    void roundTrip()
    {
        QFETCH(Numbers, play);
        QFETCH(Numbers, stored);
        QFETCH(int, inEffect);
        QFETCH(Ending, ending);
        const QString path = m_dir.filePath(QTest::currentDataTag() + QLatin1String("/games"));
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
        auto store = std::make_unique<GameStore>(path);
        int count = 0;
        for (const int action : play) {
            if (action == Restart || action == Decline) {
                store.reset(); // before the next copy starts
                store = std::make_unique<GameStore>(path);
                const std::int64_t id = store->takeResumableGame()->id;
                action == Restart ? store->resume(id) : store->setNotFinished(id);
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
        QCOMPARE(games.size(), play.contains(Finish) ? 2u : 1u);
        Steps expected(stored.size());
        std::transform(stored.begin(), stored.end(), expected.begin(), step);
        QCOMPARE(game.steps, expected);
        QCOMPARE(game.stepsInEffect, inEffect);
        QCOMPARE(game.score, inEffect * point);
        QCOMPARE(game.ending, ending);
        QCOMPARE(resumable == game, ending == Ending::InProgress);
        // In local time, with the offset from UTC of then.
        QCOMPARE(game.started.offsetFromUtc(), before.offsetFromUtc());
        QVERIFY(before <= game.started && game.started <= QDateTime::currentDateTime());
        QCOMPARE(game.ended.isValid() && game.started <= game.ended, ending != Ending::InProgress);
        // Private to the player.
        const QList<unsigned> modes = { mode(QFileInfo(path).path()), mode(path),
                                        mode(path + "-wal") };
        QCOMPARE(modes, (QList<unsigned>{ 0700, 0600, 0600 }));
    }

    // How each game was left, oldest first, and which of them the next start is offered.
    void resumableGame_data()
    {
        QTest::addColumn<Numbers>("games");
        QTest::addColumn<int>("offered");
        QTest::newRow("the newest open game") << Numbers{ Open, Open, Finished } << 1;
        QTest::newRow("not one another running copy holds") << Numbers{ Open, Running } << 0;
        QTest::newRow("none if another copy holds the only one") << Numbers{ Running } << -1;
        QTest::newRow("never a finished or declined one")
                << Numbers{ Finished, Declined, Running } << -1;
    }

    void resumableGame()
    {
        QFETCH(Numbers, games);
        const QString path = m_dir.filePath(QTest::currentDataTag());
        std::vector<std::unique_ptr<GameStore>> running;
        QList<std::int64_t> ids;
        for (const int left : games) {
            auto store = std::make_unique<GameStore>(path);
            record(*store, 2);
            ids << *store->currentGameId();
            if (left == Finished)
                store->endGame(Ending::Finished, 1);
            if (left == Running)
                running.push_back(std::move(store));
            store.reset();
            if (left == Declined) {
                GameStore declining(path);
                declining.setNotFinished(declining.takeResumableGame()->id);
            }
        }
        GameStore store(path);
        const std::optional<GameRecord> offered = store.takeResumableGame();
        QTEST(offered ? int(ids.indexOf(offered->id)) : -1, "offered");
        // Now held by this copy, and, like the games running copies hold, never forgotten.
        QVERIFY(!offered || GameStore(path).takeResumableGame() != offered);
        store.forgetAll();
        const std::vector<GameRecord> kept = store.games();
        QCOMPARE(kept.size(), running.size() + offered.has_value());
        for (const GameRecord &game : kept)
            QCOMPARE(game.steps, steps(0, 2));
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

    // A copy killed while recording leaves a sound file with every step it said was done, and
    // its game is offered at the next start.
    void killedMidGame()
    {
        const QString path = m_dir.filePath(QStringLiteral("killed"));
        int pipe[2];
        QCOMPARE(::pipe(pipe), 0);
        const pid_t child = fork();
        if (child == 0) {
            GameStore store(path);
            for (int n = 0;; ++n) {
                store.recordStep(n, step(n), n + 1, n);
                if (::write(pipe[1], &n, sizeof n) != sizeof n)
                    _exit(1);
            }
        }
        int done = -1;
        while (done < 300 && ::read(pipe[0], &done, sizeof done) == sizeof done) { }
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(pipe[0]);
        ::close(pipe[1]);
        QCOMPARE(Sql{ path }("PRAGMA integrity_check"), QStringLiteral("ok"));
        GameStore store(path);
        const std::optional<GameRecord> game = store.takeResumableGame();
        QVERIFY(game && game->steps.size() > 300u);
        QCOMPARE(Steps(game->steps.begin(), game->steps.begin() + 301), steps(0, 301));
    }

    void faults_data()
    {
        QTest::addColumn<QString>("at"); // the file, if not in the row's folder
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a file stands where the folder should be")
                << "file/games" << Fault::None << "folder cannot be made";
        QTest::newRow("the folder is on a read-only file system")
                << "/proc/vantorel/games" << Fault::None << "folder cannot be made";
        QTest::newRow("the file is on a read-only file system")
                << "/proc/games" << Fault::None << "cannot be written";
        QTest::newRow("the disk fills up mid-game")
                << QString() << Fault::DiskFull << "disk is full";
        QTest::newRow("a newer version wrote the file") << QString() << Fault::Newer << "newer";
        QTest::newRow("another program is writing at the start")
                << QString() << Fault::WriterAtOpen << "another program";
        QTest::newRow("another program locks the whole file")
                << QString() << Fault::LockedAtOpen << "another program";
        QTest::newRow("another program locks it mid-game")
                << QString() << Fault::LockedMidGame << "another program";
        QTest::newRow("random bytes") << QString() << Fault::RandomBytes << "damaged";
        QTest::newRow("random bytes, with a log beside")
                << QString() << Fault::RandomBytesAndLog << "damaged";
        QTest::newRow("garbled pages") << QString() << Fault::Garbled << "damaged";
        QTest::newRow("cut short") << QString() << Fault::Truncated << "damaged";
        QTest::newRow("garbled under a game in progress")
                << QString() << Fault::UnderAGame << "damaged";
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
        if (fault == Fault::UnderAGame)
            record(store.emplace(path), 3);
        QByteArray bytes = contents(path);
        if (fault == Fault::Truncated)
            bytes.truncate(bytes.size() / 2);
        if (fault == Fault::Garbled || fault == Fault::UnderAGame)
            bytes.replace(4096, bytes.size() - 4096, QByteArray(bytes.size() - 4096, '\xa5'));
        if (fault == Fault::RandomBytes || fault == Fault::RandomBytesAndLog)
            std::generate(bytes.begin(), bytes.end(),
                          [] { return char(QRandomGenerator::global()->generate()); });
        const bool damage = fault >= Fault::RandomBytes;
        if (damage)
            write(path, bytes);
        if (fault == Fault::RandomBytesAndLog)
            write(path + QLatin1String("-wal"), bytes.left(5000));
        const auto fill = reinterpret_cast<void (*)()>(noRoomToGrow);
        const auto unfill = qScopeGuard([=] { sqlite3_cancel_auto_extension(fill); });
        if (fault == Fault::DiskFull)
            sqlite3_auto_extension(fill);
        if (fault == Fault::Newer)
            Sql{ path }("PRAGMA user_version = 2");
        std::optional<Sql> other;
        const auto lock = [&](const char *mode) {
            other.emplace(path)(mode);
            (*other)("BEGIN EXCLUSIVE; DELETE FROM steps");
        };
        if (fault == Fault::WriterAtOpen || fault == Fault::LockedAtOpen)
            lock(fault == Fault::LockedAtOpen ? "PRAGMA locking_mode = EXCLUSIVE" : "");
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
        QVERIFY(!damage || store->games().size() == (fault == Fault::UnderAGame ? 1u : 0u));
        store->recordStep(0, step(0), 1, 0);
        if (fault == Fault::LockedMidGame)
            lock("");
        record(*store, 500);
        QCOMPARE(store->isRecording(), damage);
        QVERIFY(store->problem().contains(path) && store->problem().contains(reason));
        QCOMPARE(problems.count() + toldAtOpen, 1);
        // A lock is waited for, a while.
        const bool locked = fault >= Fault::WriterAtOpen && fault <= Fault::LockedMidGame;
        QVERIFY(elapsed.elapsed() < 5000 && (!locked || elapsed.elapsed() >= 900));
        store.reset();
        QVERIFY(fault != Fault::Newer || contents(path) == before);
        if (damage) {
            const QStringList aside = folder.entryList({ QStringLiteral("games.damaged-*") });
            const QString named = QStringLiteral("'games.damaged-'yyyyMMdd-hhmmss");
            QVERIFY(QDateTime::fromString(aside.value(0), named).isValid());
            QCOMPARE(contents(folder.filePath(aside[0])), bytes);
            for (const QString &log : aside.mid(1))
                QVERIFY(log == aside[0] + QLatin1String("-wal")
                        || log == aside[0] + QLatin1String("-shm"));
            if (fault == Fault::RandomBytesAndLog)
                QCOMPARE(contents(folder.filePath(aside[0] + QLatin1String("-wal"))),
                         bytes.left(5000));
        }
        if (!at.isEmpty() || fault == Fault::Newer)
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
