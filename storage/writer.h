// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// One copy's writes to the record, in a thread of its own, so that no click waits for the
// disk: the file opened and made, its lock, each result committed in order, the sync and the
// copy of the log into the file, the waits for a file another program holds.
//
// Nothing handed over is dropped while the program runs. What cannot be written now (the file
// busy, the disk full, a write or a sync failing) waits in order and is tried again on the next
// change and on a timer; a problem that lasts is told once, and once more when the games are
// kept again. Only what can never clear stops recording: a file of a newer version or of
// another program, a symbolic link, a damaged file another running copy has open.

#include "storage/gamerecord.h"
#include "storage/recordfile.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

namespace storage {

class Holders;

namespace sqlite {
class Connection;
}

class Writer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Writer)

public:
    struct Settings
    {
        QString path;
        QString copy; // this copy's name, which holds its game in the record
        bool syncEachCommit = false; // every commit waits for the disk (to measure it)
        int patienceMs = 30000; // how long a problem may last before the player is told
    };

    explicit Writer(Settings settings);
    ~Writer() override;

    // Each is queued behind what came before it.
    // This copy's game as it now stands; the first one of a game creates it.
    void keep(const GameRecord &game, std::uint64_t sequence);
    // Ends this copy's game; the next one kept is a new game.
    void end(Ending how, const QDateTime &at, std::uint64_t sequence);
    // Looks for a game in progress that no running copy holds; takes and offers it.
    void offerGame();
    // What the player made of the game offered.
    void resume(std::int64_t id);
    void decline(std::int64_t id);
    void release(std::int64_t id);
    // Forgets a game (or all, for 0) but those running copies hold.
    void forget(std::int64_t id);
    // Gives a kept game another history (a result changed), unless a running copy holds it.
    void amend(const GameRecord &game);
    // Reads the whole file: damage found is handled as if a write had met it.
    void check();

    // Writes what is queued and makes it durable now; whether nothing is left to write.
    bool syncNow();
    // Writes what is queued, waiting up to `ms` for a file that is busy or full, makes it
    // durable and closes the file. Returns how many changes could not be written.
    int finish(int ms);

Q_SIGNALS:
    void written(std::uint64_t sequence);
    void offered(const storage::GameRecord &game);
    void nothingOffered();
    // The record changed.
    void changed();
    void problemFound(const QString &problem);
    void problemCleared(const QString &message);
    // Recording has stopped for good.
    void stopped();

private:
    struct Op;
    enum class Outcome {
        Done,
        Again, // the file changed under it: try it again at once
        Retry, // later
        Stop,
    };

    void enqueue(Op op);
    // Writes what is queued, then syncs once the sync is due (at once if asked).
    void process(bool syncAtOnce = false);
    template<typename Work>
    Outcome attempt(Work &&work);
    Outcome failed(int code, const QString &reason);
    Outcome damaged();
    void apply(const Op &op);
    void applyKeep(const GameRecord &game);
    void applyEnd(const Op &op);
    void applyOffer();
    void applyForget(std::int64_t id);

    void ensureOpen();
    void openUnderGate();
    void closeFile();
    bool isHeld(std::int64_t id, const QString &holder) const;
    void wrote();
    void sync();
    void retryLater();
    void stop(const QString &problem);

    Settings m_settings;
    std::unique_ptr<Holders> m_holders;
    std::unique_ptr<sqlite::Connection> m_db;
    std::optional<file::Identity> m_fileIdentity; // of the file open, to know it again
    std::deque<Op> m_queue;
    bool m_stopped = false;
    bool m_setAside = false; // once: a new file damaged too stops recording

    // This copy's game as stored, and as last handed over.
    std::optional<std::int64_t> m_gameId;
    GameRecord m_stored;
    std::optional<GameRecord> m_current;
    // The game offered, until the player answers.
    std::optional<GameRecord> m_taken;

    QElapsedTimer m_failingSince;
    QString m_failure;
    bool m_told = false;
    int m_retryMs = 0;
    QTimer m_retry{ this };
    QTimer m_sync{ this };
    QTimer m_refresh{ this };
    bool m_syncDue = false;
};

} // namespace storage
