// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The end of the desktop session (SIGTERM, or SIGHUP for a program started from a terminal)
// ends the program as a quit does, through the event loop: whatever is kept on disk is written
// first. The game under way is not ended by it: the next start offers it back.

#include <functional>

namespace runtime {

// From then on, termination runs `onTermination` in the event loop (quitting it by default).
void handleTermination(std::function<void()> onTermination = {});

} // namespace runtime
