// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

namespace playalong {

class History;

// Closing a board in a game under way (a result recorded) asks first whether to end the game.
// Nothing is asked before the first result, nor while the desktop session is ending: that game
// is offered back at the next start.
void installCloseQuestion(History &history);

} // namespace playalong
