// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The record of every game on disk: when it started and ended, how it ended, its score and
// every step of its history, in one SQLite file.
//
// Each result is committed before recordStep() returns, so a result on screen survives the
// program being killed at any later moment. The commit is a write, not a wait for the disk: a
// worker thread makes it durable within a second (against a power cut), off the player's click.
//
// Storage never stops play. When the file cannot be made, written or read, the calls go on
// doing nothing, problem() says why in plain words, and nothing stored is destroyed. A damaged
// file is set aside under a new name, never deleted, and a new one takes its place.
//
// Several running copies of the program may share the file, each recording its own game.

#include "scoring/step.h"

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QThread;

namespace storage {

namespace sqlite {
class Connection;
}

enum class Ending {
    InProgress,
    Finished, // the Final Score was shown
    EndedByPlayer, // the player answered Yes to ending it
    NotFinished, // left open, and declined at the next start
};

struct GameRecord
{
    std::int64_t id = 0;
    QDateTime started; // at its first result, in the local time of then (with its offset)
    QDateTime ended; // null while in progress; for a game not finished, its last change
    Ending ending = Ending::InProgress;
    std::int64_t score = 0; // at its end, or now
    // Its whole history. Those past stepsInEffect were undone (and can be redone while open).
    std::vector<scoring::Step> steps;
    int stepsInEffect = 0;

    friend bool operator==(const GameRecord &, const GameRecord &) = default;
};

class GameStore final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GameStore)

public:
    // How a commit reaches the disk.
    enum class Durability {
        Deferred, // the commit is a write, made durable within a second in the background
        EachCommit, // each commit waits for the disk (to measure what Deferred spares)
    };

    // games.sqlite in the program's data folder: ~/.local/share/vantorel/, on Windows
    // %LOCALAPPDATA%\<application name>\.
    static QString defaultPath();

    // Opens the file, making its folder (0700) and the file (0600) if need be. A problem found
    // here is in problem() (problemFound has no receiver yet).
    explicit GameStore(const QString &path, QObject *parent = nullptr,
                       Durability durability = Durability::Deferred);
    // Makes everything recorded durable and closes the file. A game in progress stays in
    // progress, for the next start to offer.
    ~GameStore() override;

    QString path() const { return m_path; }
    // False once recording has stopped, or never started: the game goes on unrecorded.
    bool isRecording() const { return m_recording; }
    // For the player: what went wrong with the file, naming it; empty if nothing did.
    QString problem() const { return m_problem; }

    // The newest game still in progress that no other running copy holds, now held by this
    // copy until it is resumed and ends, it is declined, or this store closes.
    std::optional<GameRecord> takeResumableGame();
    // The player declined the game taken: it stays in the record as not finished.
    void setNotFinished(std::int64_t id);
    // The player goes on with the game taken: the following calls record into it.
    void resume(std::int64_t id);

    // Records step `number` (its place in the history, from 0) of this copy's game, dropping
    // any stored steps from that place on (a new result after an undo drops the redoable ones).
    // stepsInEffect and score are the game's after it. The first step of a game creates it: a
    // game without results leaves no trace.
    void recordStep(int number, const scoring::Step &step, int stepsInEffect, std::int64_t score);
    // After an undo or a redo.
    void setStepsInEffect(int stepsInEffect, std::int64_t score);
    // Ends this copy's game as finished, ended by the player, or left unfinished for a new one.
    // The next step recorded begins a new game.
    void endGame(Ending how, std::int64_t score);
    std::optional<std::int64_t> currentGameId() const;
    // This copy's game as recorded so far, read without the disk; nothing before its first step.
    std::optional<GameRecord> currentGame() const;

    // Every game, newest first, with its steps.
    std::vector<GameRecord> games();
    // Drops a game from the record, unless a running copy (this one too) holds it.
    void forget(std::int64_t id);
    // Drops every game but those running copies hold.
    void forgetAll();

    // Makes every result recorded so far durable now, as the background sync would, and waits.
    void sync();

signals:
    // A new problem() for the player: the file set aside, or recording stopped.
    void problemFound(const QString &problem);
    // After any change to the record.
    void changed();

private:
    class Syncer;

    void open();
    void close();
    template<typename Body>
    bool write(Body &&body);
    template<typename Body>
    bool read(Body &&body);
    void failed(int code);
    bool setAside();
    void stop(const QString &reason);
    void report(const QString &problem);
    void storeGame();
    void updateGame();
    GameRecord loadGame(std::int64_t id);
    QString lockPath(const QString &copy) const;
    bool isHeld(std::int64_t id, const QString &holder) const;
    void sweepStaleLocks() const;
    void forget(bool all, std::int64_t id);
    bool checkpointDue();
    void startSync();

    QString m_path;
    Durability m_durability;
    std::unique_ptr<sqlite::Connection> m_db;
    bool m_recording = true;
    bool m_setAside = false; // once per store: a new file that is damaged too stops recording
    QString m_problem;
    // This copy's game as recorded: what a new file is given when the old one is set aside.
    std::optional<GameRecord> m_game;
    // Names this copy as the holder of a game: its own, and one taken but not yet resumed or
    // declined. Its lock file tells other copies it runs.
    QString m_copy;
    QLockFile m_copyLock;
    std::optional<std::int64_t> m_taken;
    QTimer m_syncTimer;
    int m_walFrames = 0;
    std::unique_ptr<QThread> m_syncThread;
    Syncer *m_syncer = nullptr; // lives in m_syncThread
};

} // namespace storage
