// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/gamestore.h"

#include "scoring/game.h"
#include "storage/queries.h"
#include "storage/recordfile.h"
#include "storage/schema.h"
#include "storage/sqlite.h"
#include "storage/writer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

#include <cstdio>

namespace storage {

QString GameStore::defaultPath()
{
    return file::defaultPath();
}

GameStore::GameStore(const QString &path, QObject *parent, Options options)
    : QObject(parent),
      m_path(QFileInfo(path).absoluteFilePath()),
      m_copy(Holders::newCopyName()),
      m_finishMs(options.finishMs)
{
    m_writer = new Writer({ m_path, m_copy, options.syncEachCommit, options.patienceMs });
    m_writer->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    connect(m_writer, &Writer::offered, this, [this](const GameRecord &game) {
        m_offered = game;
        Q_EMIT offered(game);
    });
    connect(m_writer, &Writer::nothingOffered, this, &GameStore::nothingOffered);
    connect(m_writer, &Writer::written, this, [this](std::uint64_t sequence) {
        m_written = sequence;
        Q_EMIT written(sequence);
    });
    connect(m_writer, &Writer::changed, this, &GameStore::changed);
    connect(m_writer, &Writer::problemFound, this, [this](const QString &problem) {
        m_problem = problem;
        Q_EMIT problemFound(problem);
    });
    connect(m_writer, &Writer::problemCleared, this, [this](const QString &message) {
        m_problem.clear();
        Q_EMIT problemCleared(message);
    });
    connect(m_writer, &Writer::stopped, this, [this] { m_recording = false; });
    m_thread.setObjectName(QStringLiteral("record writer"));
    m_thread.start();
}

GameStore::~GameStore()
{
    int lost = 0;
    QMetaObject::invokeMethod(
            m_writer, [this, &lost] { lost = m_writer->finish(m_finishMs); },
            Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    // The program is closing: there is no window left to tell it in.
    if (lost > 0)
        std::fprintf(stderr, "vantorel: %d changes to %s could not be written: %s\n", lost,
                     qPrintable(QDir::toNativeSeparators(m_path)), qPrintable(m_problem));
}

template<typename Call>
void GameStore::hand(Call &&call)
{
    QMetaObject::invokeMethod(
            m_writer, [writer = m_writer, call = std::forward<Call>(call)] { call(*writer); });
}

std::uint64_t GameStore::keep(const std::vector<scoring::Step> &steps, int inEffect)
{
    const QDateTime now = QDateTime::currentDateTime();
    if (!m_game) {
        m_game.emplace();
        m_game->started = now;
    }
    m_game->steps = steps;
    m_game->stepsInEffect = inEffect;
    m_game->ended = now; // its last change, while in progress
    m_game->score = scoring::Game(steps, inEffect).score();
    const std::uint64_t sequence = ++m_handed;
    hand([game = *m_game, sequence](Writer &writer) { writer.keep(game, sequence); });
    return sequence;
}

std::uint64_t GameStore::endGame(Ending how)
{
    if (!m_game || how == Ending::InProgress)
        return 0;
    m_game.reset();
    const std::uint64_t sequence = ++m_handed;
    hand([how, at = QDateTime::currentDateTime(), sequence](Writer &writer) {
        writer.end(how, at, sequence);
    });
    return sequence;
}

void GameStore::offerGame()
{
    hand([](Writer &writer) { writer.offerGame(); });
}

void GameStore::resume(std::int64_t id)
{
    if (!m_offered || m_offered->id != id || m_game)
        return;
    m_game = std::exchange(m_offered, std::nullopt);
    hand([id](Writer &writer) { writer.resume(id); });
}

void GameStore::decline(std::int64_t id)
{
    m_offered.reset();
    hand([id](Writer &writer) { writer.decline(id); });
}

void GameStore::release(std::int64_t id)
{
    m_offered.reset();
    hand([id](Writer &writer) { writer.release(id); });
}

void GameStore::amend(const GameRecord &game)
{
    hand([game](Writer &writer) { writer.amend(game); });
}

void GameStore::forget(std::int64_t id)
{
    if (id > 0)
        hand([id](Writer &writer) { writer.forget(id); });
}

void GameStore::forgetAll()
{
    hand([](Writer &writer) { writer.forget(0); });
}

void GameStore::checkForDamage()
{
    hand([](Writer &writer) { writer.check(); });
}

bool GameStore::waitForWritten(int ms)
{
    const QDeadlineTimer deadline(ms);
    for (;;) {
        bool settled = false;
        QMetaObject::invokeMethod(
                m_writer, [this, &settled] { settled = m_writer->syncNow(); },
                Qt::BlockingQueuedConnection);
        // What the writer said meanwhile, before the caller looks.
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        if (settled || !m_recording || deadline.hasExpired())
            return settled;
        QThread::msleep(20);
    }
}

Record::Record(const QString &path, QString ownCopy)
    : m_path(QFileInfo(path).absoluteFilePath()), m_ownCopy(std::move(ownCopy)), m_holders(m_path)
{ }

Record::~Record() = default;

// The file is opened for each read: one read as it stands, while no copy was writing it, would
// not see what copies write later. Null, with no problem, while there is no game to read.
std::unique_ptr<sqlite::Connection> Record::open(QString *problem) const
{
    if (file::isLink(m_path)) {
        *problem = QStringLiteral("it is a symbolic link, which the program does not follow");
        return nullptr;
    }
    if (!QFileInfo::exists(m_path))
        return nullptr;
    try {
        auto db = std::make_unique<sqlite::Connection>(m_path, sqlite::Connection::ReadOnly);
        db->setBusyTimeout(1000);
        const auto version = db->integer("PRAGMA user_version");
        if (version > schema::version)
            *problem = QStringLiteral("it was written by a newer version of the program");
        else if (queries::holdsSomethingElse(*db))
            *problem = QStringLiteral("it holds something other than a record of games");
        // A file just made, before its first game, has nothing to read yet. One of an older
        // layout is read from a copy in memory brought to this one: the file is left as it is
        // until a copy of the program writes it.
        else if (version == schema::version)
            return db;
        else if (version >= 1) {
            auto copy = sqlite::Connection::copyInMemory(*db);
            schema::upgrade(*copy);
            return copy;
        }
    } catch (const sqlite::Error &error) {
        *problem = sqlite::reasonFor(error.code);
    }
    return nullptr;
}

QDateTime GameRow::started() const
{
    return QDateTime::fromMSecsSinceEpoch(startedMs, QTimeZone(startedOffset));
}

// Reads from the file, opened afresh, giving the problem if it cannot be read.
template<typename Read>
QString Record::read(Read &&read) const
{
    QString problem;
    try {
        if (const std::unique_ptr<sqlite::Connection> db = open(&problem))
            read(*db);
    } catch (const sqlite::Error &error) {
        problem = sqlite::reasonFor(error.code);
    }
    return problem.isEmpty() ? problem
                             : QStringLiteral("Your games cannot be read from %1: %2.")
                                       .arg(QDir::toNativeSeparators(m_path), problem);
}

PlayedBy Record::playedBy(Ending ending, const QString &holder) const
{
    if (ending != Ending::InProgress || holder.isEmpty())
        return PlayedBy::Nobody;
    if (holder == m_ownCopy)
        return PlayedBy::ThisCopy;
    return m_holders.isLive(holder) ? PlayedBy::AnotherCopy : PlayedBy::Nobody;
}

Record::Games Record::games() const
{
    Games read;
    read.problem = this->read([&](sqlite::Connection &db) {
        std::vector<QString> holders;
        read.games = queries::games(db, &holders);
        for (std::size_t i = 0; i < read.games.size(); ++i)
            read.games[i].playedBy = playedBy(read.games[i].ending, holders[i]);
    });
    if (!read.problem.isEmpty())
        read.games.clear();
    return read;
}

Record::Rows Record::rows(std::optional<std::int64_t> startedFrom) const
{
    Rows read;
    read.problem = this->read([&](sqlite::Connection &db) {
        // One pass over the games' pages: SQLite's own cache (2 MB) would only hold a long
        // record's pages beside the rows read from them.
        db.exec("PRAGMA cache_size = -128");
        std::vector<QString> holders;
        read.rows = queries::rows(db, holders, startedFrom.value_or(queries::allGames));
        for (std::size_t i = 0; i < read.rows.size(); ++i)
            read.rows[i].playedBy = playedBy(read.rows[i].ending, holders[i]);
    });
    if (!read.problem.isEmpty())
        read.rows.clear();
    return read;
}

std::optional<GameRecord> Record::game(std::int64_t id, QString *problem) const
{
    std::optional<GameRecord> found;
    const QString why = read([&](sqlite::Connection &db) { found = queries::game(db, id); });
    if (problem)
        *problem = why;
    return why.isEmpty() ? found : std::nullopt;
}

QString Record::forEachGame(const std::function<bool(const GameRecord &)> &each) const
{
    return read([&](sqlite::Connection &db) { queries::forEachGame(db, each); });
}

} // namespace storage
