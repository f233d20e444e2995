// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The record of every game on disk: when it started and ended, how it ended, its score and
// every step of its history, in one SQLite file beside the locks of the copies that use it.
//
// GameStore is one running copy's way of keeping its games. Each change is handed to a writer
// in a thread of its own, which commits the changes in order, each at once, and makes them
// durable within a second: no click waits for the disk, and a kill loses at most the change
// handed over in the last moment. What cannot be written now waits, in order, as long as the
// program runs (see storage/writer.h). Several copies may share the file, each keeping its
// own game.
//
// Record reads the file for Your Games and the export. It never creates, locks, upgrades,
// sets aside or writes anything.

#include "storage/gamerecord.h"
#include "storage/holders.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace storage {

class Writer;

namespace sqlite {
class Connection;
}

struct GameStoreOptions
{
    // Each commit waits for the disk: only to measure what the background sync spares.
    bool syncEachCommit = false;
    // How long a problem with the file may last before the player is told.
    int patienceMs = 30000;
    // How long closing waits for what could not be written yet.
    int finishMs = 3000;
};

class GameStore final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GameStore)

public:
    using Options = GameStoreOptions;

    // games.sqlite in the program's data folder: ~/.local/share/vantorel/, on Windows
    // %LOCALAPPDATA%\<application name>\.
    static QString defaultPath();

    // The file is opened, and made if need be, by the writer: nothing here waits for it.
    explicit GameStore(const QString &path, QObject *parent = nullptr, Options options = {});
    // Writes what was handed over (waiting a few seconds for a file that is busy or full),
    // makes it durable and closes the file. A game in progress stays in progress, for the
    // next start to offer.
    ~GameStore() override;

    QString path() const { return m_path; }
    // This copy's name, under which it holds its game in the record.
    QString copy() const { return m_copy; }
    // False once recording has stopped for good: the game goes on unrecorded.
    bool isRecording() const { return m_recording; }
    // The problem the player was last told of, naming the file, while it lasts.
    QString problem() const { return m_problem; }

    // This copy's game as it now stands: its whole history, of which the first `inEffect`
    // steps are in effect (the rest undone, redoable). The first one of a game starts it.
    // Returns the number written() gives once it is on disk.
    std::uint64_t keep(const std::vector<scoring::Step> &steps, int inEffect);
    // Ends this copy's game: finished, ended by the player, or left for the next start to
    // offer. A game with no result in effect is not kept.
    std::uint64_t endGame(Ending how);
    // The number of the last change handed over, as keep() and endGame() return them.
    std::uint64_t lastHanded() const { return m_handed; }
    // This copy's game as handed over, whether it is on disk yet or not.
    const std::optional<GameRecord> &currentGame() const { return m_game; }

    // Looks for the newest game in progress that no running copy holds, takes it and offers it
    // (offered(), or nothingOffered()). It stays this copy's until the player answers.
    void offerGame();
    // The player goes on with the game offered: what is kept next is that game.
    void resume(std::int64_t id);
    // The player declined it: it stays in the record as not finished.
    void decline(std::int64_t id);
    // A game begun meanwhile: the one offered is left for another start.
    void release(std::int64_t id);

    // Gives a kept game the history of `game` (an earlier result changed), unless a running copy
    // (this one too) holds it.
    void amend(const GameRecord &game);

    // Drops a game from the record, unless a running copy (this one too) holds it.
    void forget(std::int64_t id);
    // Drops every game but those running copies hold.
    void forgetAll();

    // Reads the whole file, as after the player's games could not be read from it: a damaged
    // file is set aside as when a write meets the damage.
    void checkForDamage();

    // Waits until everything handed over so far is written and durable, or `ms` have passed;
    // whether it all was.
    bool waitForWritten(int ms = 30000);

Q_SIGNALS:
    void offered(const storage::GameRecord &game);
    void nothingOffered();
    // What keep() or endGame() returned this number for is on disk, and all before it.
    void written(std::uint64_t sequence);
    // The record changed.
    void changed();
    // A problem for the player, naming the file; and its end.
    void problemFound(const QString &problem);
    void problemCleared(const QString &message);

private:
    template<typename Call>
    void hand(Call &&call);

    QString m_path;
    QString m_copy;
    int m_finishMs;
    QThread m_thread;
    Writer *m_writer = nullptr; // lives in m_thread
    bool m_recording = true;
    QString m_problem;
    std::optional<GameRecord> m_game;
    std::optional<GameRecord> m_offered;
    std::uint64_t m_handed = 0;
    std::uint64_t m_written = 0;
};

// The record as it is read. Problems come back in the player's words, naming the file.
class Record
{
public:
    // ownCopy: the copy of the program reading, whose own game is not another copy's.
    explicit Record(const QString &path, QString ownCopy = {});
    ~Record();
    Record(const Record &) = delete;
    Record &operator=(const Record &) = delete;

    QString path() const { return m_path; }

    // Every game with a result in effect, newest first, or why they cannot be read. No file is
    // a record without games.
    struct Games
    {
        std::vector<GameRecord> games;
        QString problem;
    };
    Games games() const;

    // Every game with a result in effect as a list shows it, without its steps, oldest first;
    // or those begun at `startedFrom` (milliseconds since 1970 UTC) or later.
    struct Rows
    {
        std::vector<GameRow> rows;
        QString problem;
    };
    Rows rows(std::optional<std::int64_t> startedFrom = {}) const;

    // One game, whole, as the rows name it; none when it is gone, with the problem if the record
    // cannot be read.
    std::optional<GameRecord> game(std::int64_t id, QString *problem = nullptr) const;

    // Every game with a result in effect, whole, oldest first, one at a time, as long as `each`
    // returns true: the record's size takes no memory. Empty, or the problem.
    QString forEachGame(const std::function<bool(const GameRecord &)> &each) const;

private:
    template<typename Read>
    QString read(Read &&read) const;
    PlayedBy playedBy(Ending ending, const QString &holder) const;
    std::unique_ptr<sqlite::Connection> open(QString *problem) const;

    QString m_path;
    QString m_ownCopy;
    Holders m_holders;
};

} // namespace storage
