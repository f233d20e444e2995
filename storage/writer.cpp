// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/writer.h"

#include "storage/holders.h"
#include "storage/queries.h"
#include "storage/recordfile.h"
#include "storage/schema.h"
#include "storage/sqlite.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>

#include <algorithm>

namespace storage {
namespace {

// Each try waits this long for a lock held elsewhere: the retries do the rest.
constexpr int busyTimeoutMs = 250;
// Commits are made durable, and copied into the file, this long after the first of them.
constexpr int syncDelayMs = 1000;
// Retries of what could not be written start soon and slow down to this.
constexpr int firstRetryMs = 100;
constexpr int slowestRetryMs = 2000;

// A problem with the file itself rather than SQLite's: whether it may clear by itself.
struct Refusal
{
    QString reason;
    bool mayClear = true;
};

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString games(int count)
{
    return count == 1 ? QStringLiteral("1 game") : QStringLiteral("%1 games").arg(count);
}

// Makes every commit so far durable: syncs the write-ahead log, whose commits SQLite finds
// again after a power cut, then copies it into the file (which syncs both), so that the
// results live in the file itself within a moment, not in the log alone.
void syncToDisk(sqlite::Connection &db)
{
    sqlite3_file *log = nullptr;
    sqlite::check(db.handle(),
                  sqlite3_file_control(db.handle(), "main", SQLITE_FCNTL_JOURNAL_POINTER,
                                       static_cast<void *>(&log)));
    if (log && log->pMethods)
        sqlite::check(db.handle(), log->pMethods->xSync(log, SQLITE_SYNC_NORMAL));
    const int copied = sqlite3_wal_checkpoint_v2(db.handle(), "main", SQLITE_CHECKPOINT_PASSIVE,
                                                 nullptr, nullptr);
    // Another copy copying the log meanwhile does this one's work.
    if ((copied & 0xff) != SQLITE_BUSY)
        sqlite::check(db.handle(), copied);
}

std::size_t commonSteps(const std::vector<scoring::Step> &a, const std::vector<scoring::Step> &b)
{
    return std::size_t(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

} // namespace

struct Writer::Op
{
    enum Kind { Keep, End, Offer, Resume, Decline, Release, Forget, Amend, Check };
    Kind kind;
    GameRecord game = {}; // Keep
    Ending ending = Ending::InProgress; // End
    // NOLINTNEXTLINE(readability-redundant-member-init): g++ warns of members left out otherwise
    QDateTime at = {}; // End
    std::int64_t id = 0; // Resume, Decline, Release, Forget (0: all)
    std::uint64_t sequence = 0; // Keep, End
};

Writer::Writer(Settings settings)
    : m_settings(std::move(settings)), m_holders(std::make_unique<Holders>(m_settings.path))
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] { process(); });
    m_sync.setSingleShot(true);
    m_sync.setInterval(syncDelayMs);
    connect(&m_sync, &QTimer::timeout, this, [this] { process(); });
    m_refresh.setInterval(Holders::refreshEveryMs);
    connect(&m_refresh, &QTimer::timeout, this, [this] { m_holders->refresh(); });
}

Writer::~Writer() = default;

void Writer::keep(const GameRecord &game, std::uint64_t sequence)
{
    enqueue({ Op::Keep, game, {}, {}, 0, sequence });
}

void Writer::end(Ending how, const QDateTime &at, std::uint64_t sequence)
{
    enqueue({ Op::End, {}, how, at, 0, sequence });
}

void Writer::offerGame()
{
    enqueue({ Op::Offer });
}

void Writer::resume(std::int64_t id)
{
    enqueue({ Op::Resume, {}, {}, {}, id });
}

void Writer::decline(std::int64_t id)
{
    enqueue({ Op::Decline, {}, {}, {}, id });
}

void Writer::release(std::int64_t id)
{
    enqueue({ Op::Release, {}, {}, {}, id });
}

void Writer::forget(std::int64_t id)
{
    enqueue({ Op::Forget, {}, {}, {}, id });
}

void Writer::amend(const GameRecord &game)
{
    enqueue({ Op::Amend, game });
}

void Writer::check()
{
    enqueue({ Op::Check });
}

// A game kept again before it could be written is written as it now stands.
void Writer::enqueue(Op op)
{
    if (m_stopped)
        return;
    if (op.kind == Op::Keep && !m_queue.empty() && m_queue.back().kind == Op::Keep)
        m_queue.back() = std::move(op);
    else
        m_queue.push_back(std::move(op));
    process();
}

void Writer::process(bool syncAtOnce)
{
    m_retry.stop();
    while (!m_stopped) {
        if (!m_queue.empty()) {
            const Outcome outcome = attempt([this] {
                ensureOpen();
                apply(m_queue.front());
            });
            if (outcome == Outcome::Again)
                continue;
            if (outcome != Outcome::Done)
                return;
            const Op done = std::move(m_queue.front());
            m_queue.pop_front();
            wrote();
            if (done.sequence)
                Q_EMIT written(done.sequence);
            continue;
        }
        if (!m_syncDue || (m_sync.isActive() && !syncAtOnce))
            break;
        const Outcome outcome = attempt([this] {
            ensureOpen();
            syncToDisk(*m_db);
        });
        if (outcome == Outcome::Again)
            continue;
        if (outcome != Outcome::Done)
            return;
        m_syncDue = false;
    }
    if (m_stopped)
        return;
    // Everything is on disk: a problem the player was told of is over.
    m_retryMs = 0;
    if (m_failingSince.isValid() && std::exchange(m_told, false))
        Q_EMIT problemCleared(QStringLiteral("Your games are being recorded in %1 again: every "
                                             "result of yours is kept.")
                                      .arg(nativePath(m_settings.path)));
    m_failingSince.invalidate();
}

template<typename Work>
Writer::Outcome Writer::attempt(Work &&work)
{
    try {
        work();
        return Outcome::Done;
    } catch (const sqlite::Error &error) {
        if (sqlite::isDamage(error.code))
            return damaged();
        if (sqlite::mayClear(error.code))
            return failed(error.code, sqlite::reasonFor(error.code));
        stop(QStringLiteral("Your games are not being recorded in %1: %2.")
                     .arg(nativePath(m_settings.path), sqlite::reasonFor(error.code)));
    } catch (const Refusal &refusal) {
        if (refusal.mayClear)
            return failed(SQLITE_CANTOPEN, refusal.reason);
        stop(QStringLiteral("Your games are not being recorded in %1: %2.")
                     .arg(nativePath(m_settings.path), refusal.reason));
    }
    return Outcome::Stop;
}

// What failed may clear by itself: it is tried again, and told once it has lasted.
Writer::Outcome Writer::failed(int code, const QString &reason)
{
    // A lock held elsewhere is waited out on the file as it is; anything else starts afresh.
    if ((code & 0xff) != SQLITE_BUSY && (code & 0xff) != SQLITE_LOCKED)
        closeFile();
    if (!m_failingSince.isValid())
        m_failingSince.start();
    m_failure = reason;
    if (!m_told && m_failingSince.elapsed() >= m_settings.patienceMs) {
        m_told = true;
        Q_EMIT problemFound(QStringLiteral("Your games cannot be recorded in %1 at the moment: "
                                           "%2. Play on: your results are kept until they can "
                                           "be written, as long as the program runs.")
                                    .arg(nativePath(m_settings.path), reason));
    }
    retryLater();
    return Outcome::Retry;
}

void Writer::retryLater()
{
    m_retryMs = std::clamp(m_retryMs * 2, firstRetryMs, slowestRetryMs);
    m_retry.start(m_retryMs);
}

void Writer::stop(const QString &problem)
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_queue.clear();
    m_retry.stop();
    m_sync.stop();
    closeFile();
    Q_EMIT problemFound(problem);
    Q_EMIT stopped();
}

// The file is damaged: set aside, with what can still be read carried into a new one, unless
// another running copy has it open, whose results would follow it under its new name.
Writer::Outcome Writer::damaged()
{
    const QString path = nativePath(m_settings.path);
    if (m_setAside) {
        stop(QStringLiteral("Your games are not being recorded in %1: the new record is "
                            "damaged too.")
                     .arg(path));
        return Outcome::Stop;
    }
    if (const QString why = m_holders->enterGate(); !why.isEmpty())
        return failed(SQLITE_CANTOPEN, why);
    const auto leave = qScopeGuard([this] { m_holders->leaveGate(); });
    if (m_holders->othersLive(m_settings.copy)) {
        stop(QStringLiteral("The record of your games in %1 is damaged, and another copy of the "
                            "program has it open: your games are not being recorded. Once every "
                            "copy is closed, the next start keeps the damaged file and starts a "
                            "new record.")
                     .arg(path));
        return Outcome::Stop;
    }
    // Should this fail, closing copies the log into the damaged file: it is kept all the same.
    if (m_db)
        m_db->setCheckpointOnClose(false);
    closeFile();
    // Another copy set it aside already: the new file in its place is opened afresh.
    if (!m_fileIdentity || file::identify(m_settings.path) != m_fileIdentity)
        return Outcome::Again;
    const file::SetAside aside = file::setAside(m_settings.path, *m_fileIdentity);
    if (!aside.error.isEmpty()) {
        stop(QStringLiteral("Your games are not being recorded in %1: the file is damaged, and %2.")
                     .arg(path, aside.error));
        return Outcome::Stop;
    }
    m_setAside = true;
    // The damaged file's games, read from a copy so that the file stays exactly as it is.
    const QString copy = m_settings.path + QLatin1String(".salvage");
    queries::Salvage salvaged;
    bool copied = true;
    for (qsizetype i = 0; i < 2; ++i) {
        const QString from = file::withLogs(aside.name)[i];
        copied = copied && (!QFileInfo::exists(from) || QFile::copy(from, file::withLogs(copy)[i]));
    }
    if (copied) {
        try {
            sqlite::Connection db(copy, sqlite::Connection::ReadWrite);
            salvaged = queries::salvage(db, m_gameId.value_or(0));
        } catch (const sqlite::Error &) {
            salvaged.unreadable = -1;
        }
    }
    for (const QString &each : file::withLogs(copy))
        QFile::remove(each);
    const Outcome opened = attempt([&] {
        openUnderGate();
        sqlite::Transaction transaction(*m_db);
        for (const GameRecord &game : salvaged.games)
            queries::insertGame(*m_db, game, {});
        transaction.commit();
    });
    const int read = int(salvaged.games.size());
    const QString carried =
            !copied || salvaged.unreadable < 0 || (read == 0 && salvaged.unreadable == 0)
            ? QStringLiteral("but no game could be read from it")
            : read == 0
            ? QStringLiteral("but none of its %1 could be read").arg(games(salvaged.unreadable))
            : salvaged.unreadable == 0
            ? QStringLiteral("with all %1 it held").arg(games(read))
            : QStringLiteral("with the %1 that could still be read; %2 could not")
                      .arg(games(read), games(salvaged.unreadable));
    Q_EMIT problemFound(QStringLiteral("The record of your games in %1 was damaged. It was kept "
                                       "as %2, and a new record was started, %3.")
                                .arg(path, QFileInfo(aside.name).fileName(), carried));
    if (opened != Outcome::Done)
        return opened;
    wrote();
    return Outcome::Again;
}

void Writer::ensureOpen()
{
    if (m_db)
        return;
    if (file::isLink(m_settings.path))
        throw Refusal{ QStringLiteral("it is a symbolic link, which the program does not follow"),
                       false };
    if (const QString why = file::makeFolder(m_settings.path); !why.isEmpty())
        throw Refusal{ why };
    if (const QString why = m_holders->take(m_settings.copy); !why.isEmpty())
        throw Refusal{ why };
    m_refresh.start();
    if (const QString why = m_holders->enterGate(); !why.isEmpty())
        throw Refusal{ why };
    const auto leave = qScopeGuard([this] { m_holders->leaveGate(); });
    openUnderGate();
}

// Opens the file, making it if need be; the gate keeps any copy from setting it aside meanwhile.
void Writer::openUnderGate()
{
    m_holders->sweep();
    if (const QString why = file::makePrivate(m_settings.path); !why.isEmpty())
        throw Refusal{ why, !file::isLink(m_settings.path) };
    auto db = std::make_unique<sqlite::Connection>(m_settings.path, sqlite::Connection::ReadWrite);
    // Until the file is known to be sound, closing leaves it and its log as they are.
    db->setCheckpointOnClose(false);
    // The file judged, should it turn out to be damaged; a new one in its place (set aside by
    // another copy, or deleted) is given this copy's game afresh.
    const std::optional<file::Identity> before =
            std::exchange(m_fileIdentity, file::identify(m_settings.path));
    if (before && before != m_fileIdentity && m_gameId) {
        m_gameId.reset();
        m_queue.push_front({ Op::Keep, m_stored });
    }
    db->setBusyTimeout(busyTimeoutMs);
    // Read before anything is written: a newer program's file, or another's, is left as it is.
    const auto version = db->integer("PRAGMA user_version");
    if (version > schema::version)
        throw Refusal{ QStringLiteral("it was written by a newer version of the program"), false };
    if (queries::holdsSomethingElse(*db))
        throw Refusal{ QStringLiteral("it holds something other than a record of games"), false };
    bool logged = false;
    {
        sqlite::Rows mode = db->statement("PRAGMA journal_mode = WAL").query();
        logged = mode.next() && mode.text(0) == QLatin1String("wal");
    }
    if (!logged)
        throw Refusal{ QStringLiteral("the disk it is on cannot keep it safe"), false };
    db->exec(m_settings.syncEachCommit ? "PRAGMA synchronous = FULL"
                                       : "PRAGMA synchronous = NORMAL");
    // Forgotten games are overwritten, whatever SQLite was built with.
    db->exec("PRAGMA secure_delete = ON");
    if (version < schema::version)
        schema::upgrade(*db);
    db->setCheckpointOnClose(true);
    m_db = std::move(db);
}

void Writer::closeFile()
{
    m_db.reset();
}

bool Writer::isHeld(std::int64_t id, const QString &holder) const
{
    if (holder == m_settings.copy)
        return m_gameId == id || (m_taken && m_taken->id == id);
    return m_holders->isLive(holder);
}

void Writer::wrote()
{
    m_syncDue = true;
    if (!m_sync.isActive())
        m_sync.start();
    Q_EMIT changed();
}

void Writer::apply(const Op &op)
{
    switch (op.kind) {
    case Op::Keep:
        applyKeep(op.game);
        break;
    case Op::End:
        applyEnd(op);
        break;
    case Op::Offer:
        applyOffer();
        break;
    case Op::Resume:
        if (m_taken && m_taken->id == op.id && !m_gameId) {
            m_gameId = op.id;
            m_stored = *m_taken;
        }
        m_taken.reset();
        break;
    case Op::Decline:
    case Op::Release: {
        if (!m_taken || m_taken->id != op.id)
            break;
        sqlite::Transaction transaction(*m_db);
        if (op.kind == Op::Decline)
            queries::leaveUnfinished(*m_db, op.id);
        else
            queries::takeGame(*m_db, op.id, m_settings.copy, {});
        transaction.commit();
        m_taken.reset();
        break;
    }
    case Op::Forget:
        applyForget(op.id);
        break;
    case Op::Amend: {
        sqlite::Transaction transaction(*m_db);
        bool free = false;
        {
            sqlite::Rows found = m_db->statement("SELECT ending, ifnull(holder, '') FROM games "
                                                 "WHERE id = ?1")
                                         .query(op.game.id);
            free = found.next()
                    && (Ending(found.integer(0)) != Ending::InProgress
                        || !isHeld(op.game.id, found.text(1)));
        }
        if (free)
            queries::amendGame(*m_db, op.game);
        transaction.commit();
        break;
    }
    case Op::Check: {
        sqlite::Rows found = m_db->statement("PRAGMA quick_check").query();
        if (!found.next() || found.text(0) != QLatin1String("ok"))
            throw sqlite::Error{ SQLITE_CORRUPT };
        break;
    }
    }
}

void Writer::applyKeep(const GameRecord &game)
{
    GameRecord stored = game;
    sqlite::Transaction transaction(*m_db);
    if (m_gameId) {
        stored.id = *m_gameId;
        queries::updateGame(*m_db, stored, int(commonSteps(m_stored.steps, stored.steps)));
    } else {
        stored.id = 0;
        stored.id = queries::insertGame(*m_db, stored, m_settings.copy);
    }
    transaction.commit();
    m_gameId = stored.id;
    m_stored = std::move(stored);
}

// A game with no result in effect is not kept.
void Writer::applyEnd(const Op &op)
{
    if (m_gameId) {
        sqlite::Transaction transaction(*m_db);
        if (m_stored.stepsInEffect == 0)
            queries::deleteGame(*m_db, *m_gameId);
        else
            queries::setEnding(*m_db, *m_gameId, op.ending, op.at);
        transaction.commit();
    }
    m_gameId.reset();
    m_stored = {};
}

void Writer::applyOffer()
{
    for (const queries::OpenGame &open : queries::openGames(*m_db)) {
        if (isHeld(open.id, open.holder))
            continue;
        sqlite::Transaction transaction(*m_db);
        // Nothing in effect: nothing to offer or keep.
        if (open.stepsInEffect == 0) {
            queries::deleteGame(*m_db, open.id);
            transaction.commit();
            continue;
        }
        // Another copy starting now may be taking it too: the first one does.
        const bool taken = queries::takeGame(*m_db, open.id, open.holder, m_settings.copy);
        std::optional<GameRecord> game = taken ? queries::game(*m_db, open.id) : std::nullopt;
        transaction.commit();
        if (game) {
            m_taken = game;
            Q_EMIT offered(*game);
            return;
        }
    }
    Q_EMIT nothingOffered();
}

// Only a game in progress can be held by a running copy (this one too): it stays.
void Writer::applyForget(std::int64_t id)
{
    {
        sqlite::Transaction transaction(*m_db);
        std::vector<std::int64_t> forgotten;
        {
            sqlite::Rows rows = m_db->statement("SELECT id, ending, ifnull(holder, '') FROM games "
                                                "WHERE ?1 = 0 OR id = ?1")
                                        .query(id);
            while (rows.next()) {
                if (Ending(rows.integer(1)) != Ending::InProgress
                    || !isHeld(rows.integer(0), rows.text(2)))
                    forgotten.push_back(rows.integer(0));
            }
        }
        for (const std::int64_t game : forgotten)
            queries::deleteGame(*m_db, game);
        transaction.commit();
    }
    // The space forgotten games took goes back to the disk once it is a good part of the file.
    // Another copy writing meanwhile leaves it for the next time.
    if (m_db->integer("PRAGMA freelist_count") * 4 > m_db->integer("PRAGMA page_count")) {
        try {
            m_db->exec("VACUUM");
        } catch (const sqlite::Error &error) {
            if (!sqlite::mayClear(error.code))
                throw;
        }
    }
}

bool Writer::syncNow()
{
    process(true);
    return !m_stopped && m_queue.empty() && !m_syncDue;
}

int Writer::finish(int ms)
{
    const QDeadlineTimer deadline(ms);
    for (process(true); !m_stopped && (!m_queue.empty() || m_syncDue) && !deadline.hasExpired();
         process(true))
        QThread::msleep(std::min<qint64>(firstRetryMs, deadline.remainingTime()));
    m_sync.stop();
    m_retry.stop();
    m_refresh.stop();
    const int lost = int(m_queue.size());
    m_queue.clear();
    closeFile();
    m_holders->release();
    return lost;
}

} // namespace storage
