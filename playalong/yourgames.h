// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The record of games as the player reads it: every game with its score and its wager-free
// clue score, a summary, the progress in charts, and the means to forget games or export them.

#include <QString>

namespace playalong {

// Opens the Your Games window over the record the journal keeps (the boards' menu).
void showYourGames();

// The program started for Your Games alone: shows it over the record at recordPath and runs
// until it is closed.
int runYourGames(const QString &recordPath);

} // namespace playalong
