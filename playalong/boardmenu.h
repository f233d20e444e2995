// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

namespace playalong {

class PlayAlong;

// Each board's context menu (right click anywhere on it, the Menu key, Shift+F10): undo, redo,
// "End This Round...", "Your Games..." and "About". The undo and redo keys work on both boards and
// in the clue window.
void installBoardMenu(PlayAlong &playAlong);

} // namespace playalong
