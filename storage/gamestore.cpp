// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/gamestore.h"

#include "storage/schema.h"
#include "storage/sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>
#include <QTimeZone>

#include <unordered_map>

namespace storage {

namespace {

// Long enough for another copy's commit or sync, short enough not to hold up play for long
// when another program keeps the file locked.
constexpr int busyTimeoutMs = 1000;
// The most of a game a power cut may lose.
constexpr int syncDelayMs = 1000;
// Past this many frames in the write-ahead log, the background sync copies it into the file (a
// checkpoint). The next commit starts the log afresh, which waits for the disk once.
constexpr int checkpointFrames = 1000;

// Columns of a game, in this order, for gameFrom().
#define GAME_COLUMNS "id,started,started_offset,ended,ended_offset,ending,score,steps_in_effect"

bool isDamage(int code)
{
    return (code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB;
}

QString reasonFor(int code)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("the disk is full");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("another program is using the file");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return QStringLiteral("the file cannot be written");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("the file is damaged");
    default:
        break;
    }
    return QStringLiteral("the disk reported an error (%1)").arg(sqlite3_errstr(code));
}

QDateTime dateTime(std::int64_t msecs, std::int64_t offsetSeconds)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, QTimeZone(int(offsetSeconds)));
}

// Makes every commit so far durable: syncs the write-ahead log, whose commits SQLite finds
// again after a power cut, and past a size copies it into the file (which syncs both).
int syncToDisk(sqlite3 *db, bool checkpoint)
{
    sqlite3_file *log = nullptr;
    int result = sqlite3_file_control(db, "main", SQLITE_FCNTL_JOURNAL_POINTER,
                                      static_cast<void *>(&log));
    if (result == SQLITE_OK && log && log->pMethods)
        result = log->pMethods->xSync(log, SQLITE_SYNC_NORMAL);
    if (result == SQLITE_OK && checkpoint)
        result = sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    return result;
}

scoring::Step stepFrom(const sqlite::Rows &row, int first)
{
    return { scoring::StepKind(row.integer(first)), scoring::Round(row.integer(first + 1)),
             scoring::Outcome(row.integer(first + 2)), int(row.integer(first + 3)),
             row.integer(first + 4) };
}

GameRecord gameFrom(const sqlite::Rows &row)
{
    GameRecord game;
    game.id = row.integer(0);
    game.started = dateTime(row.integer(1), row.integer(2));
    game.ending = Ending(row.integer(5));
    if (game.ending != Ending::InProgress)
        game.ended = dateTime(row.integer(3), row.integer(4));
    game.score = row.integer(6);
    game.stepsInEffect = int(row.integer(7));
    return game;
}

void insertStep(sqlite::Connection &db, std::int64_t game, int number, const scoring::Step &step)
{
    db.statement("INSERT INTO steps (game, number, kind, round, outcome, square, amount) "
                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)")
            .run(game, number, step.kind, step.round, step.outcome, step.square, step.amount);
}

} // namespace

// The background sync: a connection of its own, in a thread of its own, so that the player's
// click never waits for the disk.
class GameStore::Syncer final : public QObject
{
public:
    explicit Syncer(QString path) : m_path(std::move(path)) { }

    // The failure's code, or SQLITE_OK.
    int sync(bool checkpoint)
    {
        try {
            if (!m_db) {
                m_db = std::make_unique<sqlite::Connection>(m_path);
                sqlite3_busy_timeout(m_db->handle(), busyTimeoutMs);
                m_db->exec("PRAGMA synchronous = NORMAL");
            }
            // A read opens the connection's log, once.
            m_db->integer("PRAGMA user_version");
            sqlite::check(m_db->handle(), syncToDisk(m_db->handle(), checkpoint));
        } catch (const sqlite::Error &error) {
            return error.code;
        }
        return SQLITE_OK;
    }

private:
    QString m_path;
    std::unique_ptr<sqlite::Connection> m_db;
};

QString GameStore::defaultPath()
{
#ifdef Q_OS_WIN
    // The local folder, not the roaming one (AppDataLocation there): a roaming profile would
    // copy the file and its logs at logon and logoff, whatever state they are in.
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
            + QLatin1String("/games.sqlite");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QLatin1String("/vantorel/games.sqlite");
#endif
}

GameStore::GameStore(const QString &path, QObject *parent, Durability durability)
    : QObject(parent),
      m_path(QFileInfo(path).absoluteFilePath()),
      m_durability(durability),
      m_copy(QString::number(QRandomGenerator::system()->generate64(), 36)),
      m_copyLock(lockPath(m_copy))
{
    m_copyLock.setStaleLockTime(0);
    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(syncDelayMs);
    connect(&m_syncTimer, &QTimer::timeout, this, &GameStore::startSync);
    open();
}

GameStore::~GameStore()
{
    close();
}

void GameStore::open()
{
    const QFileInfo file(m_path);
    const QString folder = file.absolutePath();
    if (!file.dir().exists()
        && !(QDir().mkpath(QFileInfo(folder).absolutePath())
             && QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        && !file.dir().exists()) {
        stop(QStringLiteral("its folder cannot be made"));
        return;
    }
    // Tells other copies that this one runs, until it closes or dies.
    if (!m_copyLock.isLocked() && !m_copyLock.tryLock(0)) {
        stop(QStringLiteral("its folder cannot be written"));
        return;
    }
    sweepStaleLocks();
    // SQLite gives its log files the mode of the file.
    (void)QFile(m_path).open(QIODevice::WriteOnly | QIODevice::NewOnly,
                             QFile::ReadOwner | QFile::WriteOwner);
    try {
        m_db = std::make_unique<sqlite::Connection>(m_path);
        sqlite3 *db = m_db->handle();
        sqlite3_busy_timeout(db, busyTimeoutMs);
        // Read before anything is written: a newer program's file is left as it is.
        const auto version = m_db->integer("PRAGMA user_version");
        if (version > schema::version) {
            stop(QStringLiteral("it was written by a newer version of the program"));
            return;
        }
        bool logged = false;
        {
            sqlite::Rows mode = m_db->statement("PRAGMA journal_mode = WAL").query();
            logged = mode.next() && mode.text(0) == QLatin1String("wal");
        }
        if (!logged) {
            stop(QStringLiteral("the disk it is on cannot keep it safe"));
            return;
        }
        if (m_durability == Durability::EachCommit) {
            m_db->exec("PRAGMA synchronous = FULL");
        } else {
            m_db->exec("PRAGMA synchronous = NORMAL");
            // Replaces SQLite's own checkpoints, which would make a click wait for the disk.
            sqlite3_wal_hook(
                    db,
                    [](void *store, sqlite3 *, const char *, int frames) {
                        static_cast<GameStore *>(store)->m_walFrames = frames;
                        return SQLITE_OK;
                    },
                    this);
        }
        if (version < schema::version)
            schema::upgrade(*m_db);
    } catch (const sqlite::Error &error) {
        failed(error.code);
    }
}

void GameStore::close()
{
    m_syncTimer.stop();
    if (m_syncThread) {
        m_syncThread->quit();
        m_syncThread->wait();
        delete m_syncer;
        m_syncer = nullptr;
        m_syncThread.reset();
    }
    // The last connection to close copies the log into the file; this one may not be the last.
    if (m_db)
        syncToDisk(m_db->handle(), false);
    m_db.reset();
    m_taken.reset();
}

template<typename Body>
bool GameStore::write(Body &&body)
{
    if (!m_recording || !m_db)
        return false;
    try {
        sqlite::Transaction transaction(*m_db);
        body();
        transaction.commit();
    } catch (const sqlite::Error &error) {
        failed(error.code);
        return false;
    }
    if (m_durability == Durability::Deferred && !m_syncTimer.isActive())
        m_syncTimer.start();
    emit changed();
    return true;
}

template<typename Body>
bool GameStore::read(Body &&body)
{
    if (!m_db)
        return false;
    try {
        body();
    } catch (const sqlite::Error &error) {
        failed(error.code);
        return false;
    }
    return true;
}

void GameStore::failed(int code)
{
    if (isDamage(code) && !m_setAside && setAside())
        return;
    stop(reasonFor(code));
}

// Moves the damaged file (with its log files) out of the way, never deleting it, and starts
// a new one holding this copy's game.
bool GameStore::setAside()
{
    m_setAside = true;
    // Closing the last connection would copy the log into the file and delete it.
    if (m_db)
        sqlite3_db_config(m_db->handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString aside = m_path + QLatin1String(".damaged-") + stamp;
    for (int n = 2; QFile::exists(aside); ++n)
        aside = m_path + QLatin1String(".damaged-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_path, aside))
        return false;
    for (const QLatin1String suffix : { QLatin1String("-wal"), QLatin1String("-shm") }) {
        if (QFile::exists(m_path + suffix))
            QFile::rename(m_path + suffix, aside + suffix);
    }
    report(QStringLiteral("The record of your games in %1 was damaged. It was kept as %2, and a "
                          "new record was started.")
                   .arg(QDir::toNativeSeparators(m_path), QFileInfo(aside).fileName()));
    open();
    if (m_game) {
        m_game->id = 0;
        storeGame();
    }
    return true;
}

// Closes the file, so that nothing waits for it again.
void GameStore::stop(const QString &reason)
{
    if (!m_recording)
        return;
    m_recording = false;
    close();
    report(QStringLiteral("Your games are not being recorded in %1: %2.")
                   .arg(QDir::toNativeSeparators(m_path), reason));
}

void GameStore::report(const QString &problem)
{
    m_problem = problem;
    emit problemFound(problem);
}

QString GameStore::lockPath(const QString &copy) const
{
    return m_path + QLatin1String(".copy-") + copy + QLatin1String(".lock");
}

// A copy that was killed left its lock behind: taking such a lock and letting it go removes it.
void GameStore::sweepStaleLocks() const
{
    const QDir folder = QFileInfo(m_path).dir();
    const QString pattern = QFileInfo(lockPath(QStringLiteral("*"))).fileName();
    for (const QString &name : folder.entryList({ pattern }, QDir::Files | QDir::Hidden)) {
        QLockFile stale(folder.filePath(name));
        stale.setStaleLockTime(0); // stale only when its copy is gone, however young
        if (stale.tryLock(0))
            stale.unlock();
    }
}

bool GameStore::isHeld(std::int64_t id, const QString &holder) const
{
    if (holder == m_copy)
        return (m_game && m_game->id == id) || m_taken == id;
    // A copy that closed took its lock with it; one that was killed left it, stale.
    if (holder.isEmpty() || !QFile::exists(lockPath(holder)))
        return false;
    QLockFile lock(lockPath(holder));
    lock.setStaleLockTime(0);
    return !lock.tryLock(0);
}

GameRecord GameStore::loadGame(std::int64_t id)
{
    GameRecord game;
    {
        sqlite::Rows row =
                m_db->statement("SELECT " GAME_COLUMNS " FROM games WHERE id = ?1").query(id);
        if (row.next())
            game = gameFrom(row);
    }
    sqlite::Rows steps = m_db->statement("SELECT kind, round, outcome, square, amount FROM steps "
                                         "WHERE game = ?1 ORDER BY number")
                                 .query(id);
    while (steps.next())
        game.steps.push_back(stepFrom(steps, 0));
    return game;
}

std::optional<GameRecord> GameStore::takeResumableGame()
{
    std::vector<std::pair<std::int64_t, QString>> open;
    read([&] {
        sqlite::Rows rows = m_db->statement("SELECT id, holder FROM games WHERE ending = 0 "
                                            "ORDER BY started DESC, id DESC")
                                    .query();
        while (rows.next())
            open.emplace_back(rows.integer(0), rows.text(1));
    });
    for (const auto &candidate : open) {
        // Named, not bound: the lambdas below capture them, which C++20 allows only for variables.
        const std::int64_t id = candidate.first;
        const QString &holder = candidate.second;
        if (isHeld(id, holder))
            continue;
        // Another copy starting now may be taking it too: the first one does.
        bool taken = false;
        if (!write([&] {
                m_db->statement("UPDATE games SET holder = ?2 WHERE id = ?1 AND ending = 0 "
                                "AND ifnull(holder, '') = ?3")
                        .run(id, m_copy, holder);
                taken = sqlite3_changes(m_db->handle()) == 1;
            }))
            return std::nullopt;
        std::optional<GameRecord> game;
        if (taken && read([&] { game = loadGame(id); }))
            m_taken = id;
        if (taken)
            return game;
    }
    return std::nullopt;
}

void GameStore::setNotFinished(std::int64_t id)
{
    if (m_taken != id)
        return;
    write([&] {
        m_db->statement("UPDATE games SET ending = ?2 WHERE id = ?1 AND ending = ?3")
                .run(id, Ending::NotFinished, Ending::InProgress);
    });
    m_taken.reset();
}

void GameStore::resume(std::int64_t id)
{
    if (m_taken != id || m_game)
        return;
    read([&] { m_game = loadGame(id); });
    m_taken.reset();
}

void GameStore::storeGame()
{
    if (!m_game)
        return;
    std::int64_t id = 0;
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime ended = m_game->ending == Ending::InProgress ? now : m_game->ended;
    if (write([&] {
            m_db->statement("INSERT INTO games (started, started_offset, ended, ended_offset, "
                            "ending, score, steps_in_effect, holder) "
                            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")
                    .run(m_game->started.toMSecsSinceEpoch(), m_game->started.offsetFromUtc(),
                         ended.toMSecsSinceEpoch(), ended.offsetFromUtc(), m_game->ending,
                         m_game->score, m_game->stepsInEffect, m_copy);
            id = sqlite3_last_insert_rowid(m_db->handle());
            for (std::size_t i = 0; i < m_game->steps.size(); ++i)
                insertStep(*m_db, id, int(i), m_game->steps[i]);
        }))
        m_game->id = id;
}

// Brings the stored game up to m_game, steps aside.
void GameStore::updateGame()
{
    if (!m_game)
        return;
    const QDateTime ended =
            m_game->ending == Ending::InProgress ? QDateTime::currentDateTime() : m_game->ended;
    m_db->statement("UPDATE games SET ended = ?2, ended_offset = ?3, ending = ?4, score = ?5, "
                    "steps_in_effect = ?6 WHERE id = ?1")
            .run(m_game->id, ended.toMSecsSinceEpoch(), ended.offsetFromUtc(), m_game->ending,
                 m_game->score, m_game->stepsInEffect);
}

void GameStore::recordStep(int number, const scoring::Step &step, int stepsInEffect,
                           std::int64_t score)
{
    if (!m_recording || number < 0 || std::size_t(number) > (m_game ? m_game->steps.size() : 0))
        return;
    if (!m_game) {
        m_game.emplace();
        m_game->started = QDateTime::currentDateTime();
    }
    m_game->steps.resize(number);
    m_game->steps.push_back(step);
    m_game->stepsInEffect = stepsInEffect;
    m_game->score = score;
    if (!m_game->id) {
        storeGame();
        return;
    }
    write([&] {
        m_db->statement("DELETE FROM steps WHERE game = ?1 AND number >= ?2")
                .run(m_game->id, number);
        insertStep(*m_db, m_game->id, number, step);
        updateGame();
    });
}

void GameStore::setStepsInEffect(int stepsInEffect, std::int64_t score)
{
    if (!m_recording || !m_game || !m_game->id)
        return;
    m_game->stepsInEffect = stepsInEffect;
    m_game->score = score;
    write([&] { updateGame(); });
}

void GameStore::endGame(Ending how, std::int64_t score)
{
    if (!m_game || how == Ending::InProgress)
        return;
    m_game->ending = how;
    m_game->ended = QDateTime::currentDateTime();
    m_game->score = score;
    if (m_game->id)
        write([&] { updateGame(); });
    m_game.reset();
}

std::optional<std::int64_t> GameStore::currentGameId() const
{
    if (!m_game || !m_game->id)
        return std::nullopt;
    return m_game->id;
}

std::optional<GameRecord> GameStore::currentGame() const
{
    if (!m_game || !m_game->id)
        return std::nullopt;
    return m_game;
}

std::vector<GameRecord> GameStore::games()
{
    std::vector<GameRecord> games;
    read([&] {
        games.clear();
        // One snapshot for both queries, whatever other copies write meanwhile.
        sqlite::Transaction transaction(*m_db, sqlite::Transaction::Read);
        std::unordered_map<std::int64_t, GameRecord *> byId;
        {
            sqlite::Rows rows = m_db->statement("SELECT " GAME_COLUMNS " FROM games "
                                                "ORDER BY started DESC, id DESC")
                                        .query();
            while (rows.next())
                games.push_back(gameFrom(rows));
        }
        byId.reserve(games.size());
        for (GameRecord &game : games)
            byId.emplace(game.id, &game);
        sqlite::Rows steps = m_db->statement("SELECT game, kind, round, outcome, square, amount "
                                             "FROM steps ORDER BY game, number")
                                     .query();
        GameRecord *game = nullptr;
        while (steps.next()) {
            const std::int64_t id = steps.integer(0);
            if (!game || game->id != id) {
                const auto found = byId.find(id);
                game = found == byId.end() ? nullptr : found->second;
            }
            if (game)
                game->steps.push_back(stepFrom(steps, 1));
        }
    });
    return games;
}

void GameStore::forget(std::int64_t id)
{
    forget(false, id);
}

void GameStore::forgetAll()
{
    forget(true, 0);
}

// Only a game in progress can be held by a running copy (this one too): it stays.
void GameStore::forget(bool all, std::int64_t id)
{
    write([&] {
        std::vector<std::int64_t> forgotten;
        {
            sqlite::Rows rows = m_db->statement("SELECT id, ending, holder FROM games "
                                                "WHERE ?1 OR id = ?2")
                                        .query(all, id);
            while (rows.next()) {
                if (Ending(rows.integer(1)) != Ending::InProgress
                    || !isHeld(rows.integer(0), rows.text(2)))
                    forgotten.push_back(rows.integer(0));
            }
        }
        for (const std::int64_t game : forgotten) {
            m_db->statement("DELETE FROM steps WHERE game = ?1").run(game);
            m_db->statement("DELETE FROM games WHERE id = ?1").run(game);
        }
    });
}

bool GameStore::checkpointDue()
{
    const bool due = m_walFrames >= checkpointFrames;
    if (due)
        m_walFrames = 0;
    return due;
}

void GameStore::sync()
{
    m_syncTimer.stop();
    if (m_db)
        syncToDisk(m_db->handle(), checkpointDue());
}

void GameStore::startSync()
{
    if (!m_syncThread) {
        m_syncThread = std::make_unique<QThread>();
        m_syncer = new Syncer(m_path);
        m_syncer->moveToThread(m_syncThread.get());
        m_syncThread->start();
    }
    QMetaObject::invokeMethod(m_syncer, [this, syncer = m_syncer, checkpoint = checkpointDue()] {
        if (const int code = syncer->sync(checkpoint); code != SQLITE_OK)
            QMetaObject::invokeMethod(this, [this, code] { failed(code); });
    });
}

} // namespace storage
