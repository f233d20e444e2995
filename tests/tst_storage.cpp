// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "scoring/game.h"
#include "storage/gamestore.h"
#include "storage/schema.h"
#include "tests/support/faultvfs.h"
#include "tests/support/gamegenerator.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <limits>

using namespace storage;
using Steps = std::vector<scoring::Step>;
using Numbers = QList<int>;
using faultvfs::Fault;

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
    Steps made(std::size_t(to - from));
    std::generate(made.begin(), made.end(), [n = from]() mutable { return step(n++); });
    return made;
}

// Results from..to of the made-up game, one at a time, as the player records them.
void play(GameStore &store, int from, int to)
{
    for (int n = from; n < to; ++n)
        store.keep(steps(0, n + 1), n + 1);
}

GameStore::Options patience(int ms)
{
    return { false, ms, 3000 };
}

std::vector<GameRecord> gamesIn(const QString &path)
{
    return Record(path).games().games;
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

unsigned mode(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path), &status) == 0 ? status.st_mode & 07777 : 0;
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

// The lock a copy on another machine left, refreshed `minutesAgo`.
void lockedElsewhere(const QString &lock, int minutesAgo)
{
    write(lock, "4242\nvantorel\nanother-" + QSysInfo::machineHostName().toUtf8() + '\n');
    const time_t when = time(nullptr) - minutesAgo * 60;
    const utimbuf times{ when, when };
    QCOMPARE(::utime(QFile::encodeName(lock), &times), 0);
}

// The game offered at a start, if any.
std::optional<GameRecord> offered(GameStore &store)
{
    QSignalSpy offers(&store, &GameStore::offered);
    QSignalSpy none(&store, &GameStore::nothingOffered);
    store.offerGame();
    if (!QTest::qWaitFor([&] { return offers.count() + none.count() > 0; }))
        return std::nullopt;
    return offers.isEmpty() ? std::nullopt
                            : std::optional(offers.first().first().value<GameRecord>());
}

// What the round trip plays besides results (by number) and undo or redo (InEffect + steps in
// effect): Next starts, with the game offered resumed, declined or left open; another copy that
// starts a game and runs on; the ends of a game; a copy on another machine that last refreshed
// its lock a minute or ten minutes ago.
enum Play { Resume = 1000, Decline, Leave, Another, Finish, EndByPlayer, Fresh, Stale, InEffect };
// Faults of the file that never clear: from Random on, damage.
enum Stop { Newer, Foreign, Link, SharedDamage, Random, RandomLog, Garbled, Cut, BadPage, Under };

} // namespace

class TestStorage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { faultvfs::install(); }
    void cleanup() { faultvfs::install().syncDelayMs = 0; }

    void roundTrip_data()
    {
        QTest::addColumn<Numbers>("play");
        QTest::addColumn<Numbers>("stored"); // in the first game kept, none if empty
        QTest::addColumn<int>("inEffect");
        QTest::addColumn<Ending>("ending");
        QTest::addColumn<int>("offered"); // at the next start, counting games from the oldest
        constexpr Ending Open = Ending::InProgress;
        QTest::newRow("wagers at the limits of 64 bits")
                << Numbers{ 98, 99 } << Numbers{ 98, 99 } << 2 << Open << 0;
        QTest::newRow("every kind, round and outcome; undone steps stay redoable")
                << Numbers{ 0, 1, 2, 3, InEffect + 1 } << Numbers{ 0, 1, 2, 3 } << 1 << Open << 0;
        QTest::newRow("a result after an undo drops the redoable ones")
                << Numbers{ 0, 1, 2, 3, InEffect + 1, 9 } << Numbers{ 0, 9 } << 2 << Open << 0;
        QTest::newRow("a resumed game goes on where it was")
                << Numbers{ 0, 1, 2, InEffect + 2, Resume, InEffect + 1, 8 } << Numbers{ 0, 8 } << 2
                << Open << 0;
        QTest::newRow("the Final Score shown, then the next game")
                << Numbers{ 0, 1, 2, Finish, 5 } << Numbers{ 0, 1, 2 } << 3 << Ending::Finished
                << 1;
        QTest::newRow("ended by the player") << Numbers{ 0, 1, EndByPlayer } << Numbers{ 0, 1 } << 2
                                             << Ending::EndedByPlayer << -1;
        QTest::newRow("declined at the next start, never offered again")
                << Numbers{ 0, 1, InEffect + 1, Decline } << Numbers{ 0, 1 } << 1
                << Ending::NotFinished << -1;
        QTest::newRow("the newest open game is offered")
                << Numbers{ 0, Leave, 1 } << Numbers{ 0 } << 1 << Open << 1;
        QTest::newRow("not one another running copy holds")
                << Numbers{ 0, Another } << Numbers{ 0 } << 1 << Open << 0;
        QTest::newRow("nor one a copy on another machine refreshed a minute ago")
                << Numbers{ 0, Fresh } << Numbers{ 0 } << 1 << Open << -1;
        QTest::newRow("but one whose lock went stale ten minutes ago")
                << Numbers{ 0, Stale } << Numbers{ 0 } << 1 << Open << 0;
        QTest::newRow("a game undone back to nothing is neither kept nor offered")
                << Numbers{ 0, 1, InEffect, Leave } << Numbers{} << 0 << Open << -1;
        QTest::newRow("nor kept once ended")
                << Numbers{ 0, InEffect, EndByPlayer } << Numbers{} << 0 << Open << -1;
    }

    // Games as the next start finds them, made with the permissions of no umask at all: every
    // file and folder the store makes is its owner's alone.
    void roundTrip()
    {
        QFETCH(Numbers, play);
        QFETCH(Numbers, stored);
        QFETCH(int, inEffect);
        QFETCH(Ending, ending);
        const mode_t umask = ::umask(0);
        const auto restore = qScopeGuard([umask] { ::umask(umask); });
        const QString path = m_dir.filePath(QTest::currentDataTag() + QLatin1String("/in/games"));
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
        auto store = std::make_unique<GameStore>(path);
        std::vector<std::unique_ptr<GameStore>> others; // running still
        Steps history;
        int count = 0;
        for (const int action : play) {
            if (action >= InEffect) {
                count = action - InEffect;
                store->keep(history, count);
            } else if (action < Resume) {
                history.resize(std::size_t(count++));
                history.push_back(step(action));
                store->keep(history, count);
            } else if (action == Another) {
                QVERIFY(store->waitForWritten()); // the newer game
                others.push_back(std::make_unique<GameStore>(path));
                others.back()->keep({ step(0) }, 1);
                QVERIFY(others.back()->waitForWritten());
            } else if (action == Finish || action == EndByPlayer) {
                store->endGame(action == Finish ? Ending::Finished : Ending::EndedByPlayer);
                history.clear();
                count = 0;
            } else {
                const QString copy = store->copy();
                store.reset(); // before the next copy starts
                if (action == Fresh || action == Stale)
                    lockedElsewhere(path + ".copy-" + copy + ".lock", action == Fresh ? 1 : 10);
                store = std::make_unique<GameStore>(path);
                const std::optional<GameRecord> game =
                        action == Leave || action == Fresh || action == Stale ? std::nullopt
                                                                              : offered(*store);
                history = action == Resume ? game->steps : Steps{};
                count = action == Resume ? game->stepsInEffect : 0;
                if (action == Resume)
                    store->resume(game->id);
                else if (action == Decline)
                    store->decline(game->id);
            }
        }
        QVERIFY(store->waitForWritten());
        store.reset(); // the next start
        store = std::make_unique<GameStore>(path);
        const std::optional<GameRecord> resumable = offered(*store);
        QCOMPARE(mode(path + ".copy-" + store->copy() + ".lock"), 0600u);
        const std::vector<GameRecord> games = gamesIn(path);
        QCOMPARE(games.empty(), stored.isEmpty());
        if (games.empty()) {
            QVERIFY(!resumable);
            return;
        }
        const GameRecord &game = games.back();
        Steps expected(std::size_t(stored.size()));
        std::transform(stored.begin(), stored.end(), expected.begin(), step);
        QCOMPARE(game.steps, expected);
        QCOMPARE(game.stepsInEffect, inEffect);
        std::int64_t score = 0;
        for (int n = 0; n < inEffect; ++n)
            score += scoring::scoreChange(expected[std::size_t(n)]);
        QCOMPARE(game.score, score);
        QCOMPARE(game.ending, ending);
        const auto offered = std::find_if(games.rbegin(), games.rend(), [&](const auto &game) {
            return resumable && game.id == resumable->id;
        });
        QTEST(resumable ? int(offered - games.rbegin()) : -1, "offered");
        // In local time, with the offset from UTC of then.
        QCOMPARE(game.started.offsetFromUtc(), before.offsetFromUtc());
        QVERIFY(before <= game.started && game.started <= QDateTime::currentDateTime());
        QCOMPARE(game.ended.isValid() && game.started <= game.ended, ending != Ending::InProgress);
        const QList<unsigned> modes = { mode(QFileInfo(path).path() + "/.."),
                                        mode(QFileInfo(path).path()), mode(path),
                                        mode(path + "-wal"), mode(path + "-shm") };
        QCOMPARE(modes, (QList<unsigned>{ 0700, 0700, 0600, 0600, 0600 }));
        // Each game's figures, a copy of what its steps make, for listing.
        const Record::Rows rows = Record(path).rows();
        QCOMPARE(rows.rows.size(), games.size());
        for (const GameRow &row : rows.rows) {
            const auto whole =
                    std::find_if(games.begin(), games.end(),
                                 [&](const GameRecord &game) { return game.id == row.id; });
            QCOMPARE(row.figures, scoring::Game(whole->steps, whole->stepsInEffect).figures());
            QCOMPARE(row.started(), whole->started);
        }
        // Games running copies hold stay, this one's too.
        store->forgetAll();
        QVERIFY(store->waitForWritten());
        QCOMPARE(gamesIn(path).size(),
                 others.size() + resumable.has_value() + play.contains(Fresh));
    }

    // The figures kept beside each game are its steps' own, over a record as a player's grows:
    // games whole and cut short, undone, ended early, with results changed after the game; and
    // the summary of Your Games from them is the summary from the steps.
    void figuresKeptAreTheStepsOwn()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("games.sqlite");
        QRandomGenerator random(25);
        {
            GameStore store(path);
            for (int g = 0; g < 300; ++g) {
                scoring::Game game(generated::generateGame(random).steps, 0);
                game.setInEffect(g % 7 == 3 ? int(random.bounded(40)) + 1
                                            : int(game.history().size()));
                for (int change = 0; g % 5 == 1 && change < 3; ++change) {
                    const int index = int(random.bounded(quint32(game.inEffect())));
                    const auto outcome = scoring::Outcome(random.bounded(3));
                    game = game.changed(index, outcome, random.bounded(2000)).value_or(game);
                }
                store.keep(game.history(), game.inEffect());
                store.endGame(g % 7 == 3 ? Ending::EndedByPlayer : Ending::Finished);
            }
            QVERIFY(store.waitForWritten());
        }
        const storage::Record record(path);
        const std::vector<storage::GameRow> rows = record.rows().rows;
        std::vector<storage::GameRecord> games = record.games().games;
        QCOMPARE(rows.size(), std::size_t(300));
        QCOMPARE(games.size(), rows.size());
        std::reverse(games.begin(), games.end()); // oldest first
        std::vector<scoring::GameFigures> fromSteps;
        for (const storage::GameRecord &game : games) {
            fromSteps.push_back(scoring::Game(game.steps, game.stepsInEffect).figures());
            const auto row = std::find_if(rows.begin(), rows.end(),
                                          [&](const auto &r) { return r.id == game.id; });
            QVERIFY(row != rows.end());
            QCOMPARE(row->figures, fromSteps.back());
            QCOMPARE(row->figures.score, game.score);
        }
        // In the order Your Games lists them: by when they started.
        std::vector<storage::GameRow> byStart = rows;
        std::sort(byStart.begin(), byStart.end(), [](const auto &a, const auto &b) {
            return std::tie(a.startedMs, a.id) < std::tie(b.startedMs, b.id);
        });
        const scoring::Summary summary = scoring::summarize(
                byStart.size(), [&](std::size_t i) -> const auto & { return byStart[i].figures; });
        QCOMPARE(summary, scoring::summarize(fromSteps));
    }

    void problemsThatClear_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("otherProgram"); // holds the file's write lock instead
        QTest::addColumn<int>("syncDelayMs");
        QTest::addColumn<bool>("lasting"); // longer than the store's patience
        QTest::addColumn<QString>("reason");
        QTest::newRow("another program holds the file a moment")
                << Fault::None << true << 0 << false << "";
        QTest::newRow("another program holds the file long")
                << Fault::None << true << 0 << true << "another program";
        QTest::newRow("a lock refused a moment") << Fault::Busy << false << 0 << false << "";
        QTest::newRow("the disk full a moment") << Fault::Full << false << 0 << false << "";
        QTest::newRow("the disk full long") << Fault::Full << false << 0 << true << "disk is full";
        QTest::newRow("writes failing long")
                << Fault::WriteError << false << 0 << true << "disk reported an error";
        QTest::newRow("syncs failing long")
                << Fault::SyncError << false << 0 << true << "disk reported an error";
        QTest::newRow("a slow disk") << Fault::None << false << 300 << false << "";
    }

    // While the program runs, no result is lost to a file that cannot be written for a while:
    // they wait, in order. A wait the player can ignore is not told; one that lasts is told
    // once, and its end too.
    void problemsThatClear()
    {
        QFETCH(Fault, fault);
        QFETCH(bool, otherProgram);
        QFETCH(int, syncDelayMs);
        QFETCH(bool, lasting);
        QFETCH(QString, reason);
        const QString path = m_dir.filePath(QTest::currentDataTag() + QLatin1String("/games"));
        GameStore store(path, nullptr, patience(lasting ? 100 : 60000));
        QSignalSpy problems(&store, &GameStore::problemFound);
        QSignalSpy cleared(&store, &GameStore::problemCleared);
        play(store, 0, 3);
        QVERIFY(store.waitForWritten());
        const long syncs = faultvfs::install().syncs;
        faultvfs::install().syncDelayMs = syncDelayMs;
        std::optional<Sql> other;
        if (otherProgram)
            other.emplace(path)("BEGIN EXCLUSIVE");
        {
            const faultvfs::Scoped failing(fault);
            play(store, 3, 8);
            if (lasting)
                QTRY_COMPARE(problems.count(), 1);
            else
                QVERIFY(store.waitForWritten(200) == (fault == Fault::None && !otherProgram));
            other.reset();
        }
        QVERIFY(store.waitForWritten());
        QVERIFY(faultvfs::install().syncs > syncs);
        QCOMPARE(problems.count(), int(lasting));
        QCOMPARE(cleared.count(), int(lasting));
        if (lasting)
            QVERIFY2(problems[0][0].toString().contains(reason),
                     qPrintable(problems[0][0].toString()));
        QCOMPARE(gamesIn(path).front().steps, steps(0, 8));
        QVERIFY(store.isRecording());
    }

    void stops_data()
    {
        QTest::addColumn<Stop>("fault");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("carried"); // games read from a damaged file into the new one
        QTest::newRow("written by a newer version") << Newer << "newer version" << 0;
        QTest::newRow("another program's file") << Foreign << "something other" << 0;
        QTest::newRow("a dangling symbolic link") << Link << "symbolic link" << 0;
        QTest::newRow("damaged, another copy using it") << SharedDamage << "another copy" << 0;
        QTest::newRow("random bytes") << Random << "no game could be read" << 0;
        QTest::newRow("random bytes and a log") << RandomLog << "no game could be read" << 0;
        QTest::newRow("garbled pages") << Garbled << "no game could be read" << 0;
        QTest::newRow("cut short") << Cut << "none of its 3 games could be read" << 0;
        QTest::newRow("one bad page")
                << BadPage << "the 2 games that could still be read; 1 game could not" << 2;
        QTest::newRow("garbled mid-game") << Under << "none of its 3 games could be read" << 0;
    }

    // The player is told at once, and nothing stored is lost: recording stops with the file
    // left as it is, or a damaged file is kept aside under a new name with what can still be
    // read of it carried into a new one, where this copy's game goes on.
    void stops()
    {
        QFETCH(Stop, fault);
        QFETCH(QString, reason);
        QFETCH(int, carried);
        const QDir folder(m_dir.filePath(QTest::currentDataTag()));
        const QString path = folder.filePath(QStringLiteral("games"));
        QVERIFY(folder.mkpath("."));
        for (int game = 0; fault != Link && game < 3; ++game) {
            GameStore filling(path);
            play(filling, 0, 300);
            if (game < 2) // the last is left open
                filling.endGame(Ending::Finished);
        }
        std::optional<GameStore> first; // a copy playing when the damage comes
        if (fault == Under || fault == SharedDamage) {
            play(first.emplace(path), 0, 3);
            QVERIFY(first->waitForWritten());
        }
        QByteArray bytes = contents(path);
        if (fault == Cut)
            bytes.truncate(bytes.size() / 2);
        if (fault == BadPage) // the last of the steps: some of the last game's
            bytes.replace((Sql{ path }("SELECT max(pageno) FROM dbstat WHERE name = 'steps' "
                                       "AND pagetype = 'leaf'")
                                   .toInt()
                           - 1) * 4096,
                          4096, QByteArray(4096, '\xa5'));
        if (fault == Garbled || fault == Under || fault == SharedDamage)
            bytes.replace(4096, bytes.size() - 4096, QByteArray(bytes.size() - 4096, '\xa5'));
        if (fault == Random || fault == RandomLog)
            std::generate(bytes.begin(), bytes.end(),
                          [] { return char(QRandomGenerator::global()->generate()); });
        if (fault >= Random || fault == SharedDamage)
            write(path, bytes);
        if (fault == RandomLog)
            write(path + QLatin1String("-wal"), bytes.left(5000));
        if (fault == Newer)
            Sql{ path }("PRAGMA user_version = 4");
        if (fault == Foreign)
            Sql{ path }("PRAGMA user_version = 0");
        if (fault == Link)
            QVERIFY(QFile::link(folder.filePath("elsewhere"), path));
        const QByteArray before = contents(path);
        std::optional<GameStore> store;
        GameStore &copy = fault == Under ? *first : store.emplace(path, nullptr, patience(0));
        QSignalSpy problems(&copy, &GameStore::problemFound);
        // Damage where no write goes is found once the games are read (by Your Games).
        if (fault == Under || fault == BadPage)
            copy.checkForDamage();
        play(copy, fault == Under ? 3 : 0, 5);
        QTRY_COMPARE(problems.count(), 1);
        QVERIFY2(problems[0][0].toString().contains(reason), qPrintable(problems[0][0].toString()));
        QVERIFY(problems[0][0].toString().contains(path));
        const bool damage = fault >= Random;
        QCOMPARE(copy.waitForWritten(), damage);
        QCOMPARE(copy.isRecording(), damage);
        store.reset();
        first.reset();
        const QStringList aside = folder.entryList({ QStringLiteral("games.damaged-*") });
        QCOMPARE(aside.isEmpty(), !damage);
        QCOMPARE(folder.entryList({ "*.lock" }), QStringList());
        if (!damage) {
            QVERIFY(fault == SharedDamage || contents(path) == before);
            QVERIFY(!QFile::exists(folder.filePath("elsewhere")));
            return;
        }
        // The damaged file is kept as it was, under its date and time, with its log.
        const QString named = QStringLiteral("'games.damaged-'yyyyMMdd-hhmmss");
        QVERIFY(QDateTime::fromString(aside.value(0), named).isValid());
        QCOMPARE(contents(folder.filePath(aside[0])), bytes);
        if (fault == RandomLog)
            QCOMPARE(contents(folder.filePath(aside[0] + "-wal")), bytes.left(5000));
        const std::vector<GameRecord> games = gamesIn(path);
        QCOMPARE(int(games.size()), carried + 1);
        QCOMPARE(games.front().steps, steps(0, 5));
        for (std::size_t i = 1; i < games.size(); ++i)
            QCOMPARE(games[i].steps, steps(0, 300));
    }

    // Reading never makes, locks, upgrades or sets aside anything: not where there is no
    // record yet, not a record that is damaged.
    void readsWithoutWriting()
    {
        const QDir folder(m_dir.filePath(QStringLiteral("read")));
        const QString path = folder.filePath(QStringLiteral("games"));
        QCOMPARE(Record(path).games().problem, QString());
        QVERIFY(!folder.exists());
        {
            GameStore store(path);
            play(store, 0, 30);
            store.endGame(Ending::Finished);
        }
        QByteArray bytes = contents(path);
        QCOMPARE(Record(path).games().games.front().steps, steps(0, 30));
        QCOMPARE(contents(path), bytes);
        bytes.replace(4096, bytes.size() - 4096, QByteArray(bytes.size() - 4096, '\xa5'));
        write(path, bytes);
        QVERIFY(Record(path).games().problem.contains("damaged"));
        QCOMPARE(contents(path), bytes);
        QCOMPARE(folder.entryList({ "*.lock", "*.damaged-*" }), QStringList());
    }

    // A record others could read is made the player's alone, and so are its logs; the folder it
    // is in, the player's own choice, is left as it is.
    void existingFileMadePrivate()
    {
        const QDir folder(m_dir.filePath(QStringLiteral("shared")));
        const QString path = folder.filePath(QStringLiteral("games"));
        QVERIFY(folder.mkpath(".")
                && QFile::setPermissions(folder.path(),
                                         QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                 | QFile::ReadOther | QFile::ExeOther));
        write(path, {});
        QVERIFY(QFile::setPermissions(path,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        GameStore store(path);
        play(store, 0, 3);
        QVERIFY(store.waitForWritten());
        const QList<unsigned> modes = { mode(folder.path()), mode(path), mode(path + "-wal") };
        QCOMPARE(modes, (QList<unsigned>{ 0705, 0600, 0600 }));
    }

    // A record of an older version is read as it is, its figures worked out from its steps
    // (read in memory, the file left alone), and brought to this one by the first copy that
    // writes it, every game kept, laid out as a new record is; then it takes changes of results.
    void upgradesAnOlderRecord_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("1: no changes of results, no figures") << 1;
        QTest::newRow("2: no figures") << 2;
    }
    void upgradesAnOlderRecord()
    {
        QFETCH(int, version);
        const QString path = m_dir.filePath(QTest::currentDataTag() + QLatin1String("/games"));
        const QString fresh = m_dir.filePath(QTest::currentDataTag() + QLatin1String("/new"));
        for (const QString &record : { path, fresh }) {
            GameStore store(record);
            play(store, 0, 5);
            store.endGame(Ending::Finished);
        }
        { // back to the older layout
            Sql older(path);
            older("DROP INDEX games_by_start");
            for (const char *column : storage::schema::figureColumns)
                older((QByteArray("ALTER TABLE games DROP COLUMN ") + column).constData());
            if (version == 1) // no step of kind 4
                older("PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = replace(sql, "
                      "'kind BETWEEN 0 AND 4', 'kind BETWEEN 0 AND 3') WHERE name = 'steps'");
            older(QByteArray("PRAGMA user_version = " + QByteArray::number(version)).constData());
        }
        QCOMPARE(gamesIn(path).front().steps, steps(0, 5));
        QCOMPARE(Record(path).rows().rows.front().figures.score, 200 - 600); // right, wrong
        GameStore store(path);
        Steps changed = steps(0, 2);
        changed.push_back({ scoring::StepKind::Change, scoring::Round::First,
                            scoring::Outcome::Incorrect, 0, 200 });
        store.keep(changed, 3);
        QVERIFY(store.waitForWritten());
        QCOMPARE(Sql{ path }("PRAGMA user_version"), "3");
        QCOMPARE(Sql{ path }("SELECT sum(r1_answered) FROM games"), "3");
        const std::vector<GameRecord> games = gamesIn(path);
        QCOMPARE(games.size(), 2u);
        QCOMPARE(games.front().steps, changed);
        QCOMPARE(games.front().score, -200); // 200 right changed to wrong, and a no ring in
        QCOMPARE(games.back().steps, steps(0, 5));
        // Every column and index of a new record, in its place; the checks differ only in text.
        const char *layout = R"(SELECT group_concat(part, ' | ') FROM (
            SELECT m.name || '.' || c.name || ' ' || c.type || ' ' || c."notnull" || ' '
                   || ifnull(c.dflt_value, '-') || ' ' || c.pk AS part
            FROM sqlite_master m, pragma_table_info(m.name) c WHERE m.type = 'table'
            UNION ALL SELECT name || ': ' || sql FROM sqlite_master WHERE type = 'index'
            ORDER BY part))";
        QCOMPARE(Sql{ path }(layout), Sql{ fresh }(layout));
    }

    // Forgotten games give their space back to the disk.
    void forgettingShrinksTheFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("forget/games"));
        GameStore store(path);
        for (int game = 0; game < 20; ++game) {
            play(store, 0, 200);
            store.endGame(Ending::Finished);
        }
        QVERIFY(store.waitForWritten());
        const qint64 full = QFileInfo(path).size();
        store.forgetAll();
        QVERIFY(store.waitForWritten());
        QVERIFY2(QFileInfo(path).size() < full / 4, qPrintable(QString::number(full)));
    }
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
