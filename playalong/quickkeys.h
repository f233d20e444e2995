// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

namespace playalong {

class PlayAlong;

// Keys for the results: C, N and I press "Correct", "No Ring In" and "Incorrect" in the clue
// window, Escape presses "Cancel" in the wager window. Each key acts as a click on its button,
// which names the key in its tooltip.
void installQuickKeys(PlayAlong &playAlong);

} // namespace playalong
