// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

namespace playalong {

class History;

// Each board's context menu (right click anywhere on it, the Menu key, Shift+F10): undo, redo,
// "End This Round..." and "About". The undo and redo keys work on both boards and in the clue
// window.
void installBoardMenu(History &history);

} // namespace playalong
