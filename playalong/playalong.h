// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// What the player has beyond the designed game: undo and redo of results, ending a round
// early, a question before a game in progress is closed, and keys for the results. Each
// stands in its own unit and meets the windows only through the form runtime.

namespace playalong {

// Hooks every addition into the form runtime. Called once, at start-up.
void install();

} // namespace playalong
