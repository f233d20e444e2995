// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// What the player has beyond the designed game: undo and redo of results, ending a round
// early, a question before a game in progress is closed, and keys for the results. Each
// stands in its own unit. They follow the player through the form runtime's hooks (windows
// loaded, clicks dispatched, closes asked for) and act on the windows through the windows'
// public vocabulary: the named answer and wager buttons, a board's open squares, the board in
// play, the final wager.

#include <QString>

namespace playalong {

// Hooks every addition into the form runtime. Called once, at start-up. Games are kept in
// the record at recordPath (none without one).
void install(const QString &recordPath = {});

class Journal;
// The journal that keeps the games, if they are kept.
Journal *journal();

} // namespace playalong
