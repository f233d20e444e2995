// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// A disk that misbehaves, for the tests: SQLite's own file layer wrapped, so that its syncs
// are counted and can be made slow, and its locks, writes and syncs can fail as a player's
// disk fails them. Installed as SQLite's default, it serves every connection of the process.

#include <atomic>
#include <chrono>

namespace faultvfs {

enum class Fault {
    None,
    Busy, // another program holds the file's write lock
    Full, // the disk is full: every write fails
    WriteError, // every write fails with an I/O error
    SyncError, // every sync fails
};

struct Knobs
{
    std::atomic<Fault> fault{ Fault::None };
    std::atomic<int> syncDelayMs{ 0 }; // a slow disk
    std::atomic<long> syncs{ 0 };
    std::atomic<long> faultsMet{ 0 }; // calls the fault failed
};

// Makes the wrapper SQLite's default, once; returns its knobs.
Knobs &install();

// The fault in force while it lives.
class Scoped
{
public:
    explicit Scoped(Fault fault);
    ~Scoped();
    Scoped(const Scoped &) = delete;
    Scoped &operator=(const Scoped &) = delete;
};

} // namespace faultvfs
