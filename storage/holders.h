// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The running copies of the program that share a record, each known by a lock file beside it
// ("games.sqlite.copy-<name>.lock"): a copy's lock tells the others it runs, and so which games
// in progress it holds. A copy that was killed leaves its lock behind, and one on another
// machine (a home shared over the network, a backup put back) cannot be asked whether it runs:
// a lock counts only while its process runs on this machine, and only while it is refreshed,
// which its copy does every minute.

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace storage {

class Holders
{
public:
    // A lock not refreshed for this long is stale, whoever wrote it.
    static constexpr int staleAfterMs = 5 * 60 * 1000;
    static constexpr int refreshEveryMs = 60 * 1000;

    explicit Holders(QString recordPath);
    ~Holders();
    Holders(const Holders &) = delete;
    Holders &operator=(const Holders &) = delete;

    // A name for a new copy, unlike any other's.
    static QString newCopyName();

    // Whether that copy runs: asked of its lock without touching it.
    bool isLive(const QString &copy) const;
    // Whether a copy other than `except` runs.
    bool othersLive(const QString &except) const;

    // What a copy that records games does, all of it writing beside the record.
    // Takes the lock that tells the others this copy runs; empty, or why not.
    QString take(const QString &copy);
    // Tells the others this copy still runs.
    void refresh() const;
    // Removes the locks copies that no longer run left behind.
    void sweep() const;
    void release();

    // Held while a copy opens the record and while one sets it aside, so that no copy opens a
    // file that is being moved away. Empty, or why not.
    QString enterGate();
    void leaveGate();

private:
    QString lockPath(const QString &copy) const;
    // The copies whose locks lie beside the record, running or not.
    QStringList copies() const;

    QString m_recordPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLockFile> m_gate;
};

} // namespace storage
