// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The record of games as the player reads it: every game with its score and its wager-free
// clue score, a summary, the progress in charts, and the means to forget games or export them.

#include <QString>

class QWidget;

namespace storage {
class GameStore;
}

namespace record {

// Opens a Your Games window over the record this copy keeps its games in (the boards' menu);
// it closes itself when the store goes.
QWidget *showYourGames(storage::GameStore &store);

// The program started for Your Games alone: shows it over the record at recordPath and runs
// until it is closed.
int runYourGames(const QString &recordPath);

} // namespace record
