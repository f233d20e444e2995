// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "layouts/layout.h"

#include <array>

namespace layouts {

// The 30 squares of a board stand in six columns and five rows, index 0 at the top left.
inline constexpr int boardColumns = 6;
inline constexpr int boardSquares = 30;

constexpr ControlLayout boardSquare(int index, int tabIndex)
{
    return { "Command1",
             index,
             ControlKind::CommandButton,
             "Command1",
             480 + 1560 * (index % boardColumns),
             1320 + 1080 * (index / boardColumns),
             1215,
             735,
             tabIndex };
}

extern const WindowLayout singleBoard;
extern const WindowLayout doubleBoard;
extern const WindowLayout question;
extern const WindowLayout dailyDouble;
extern const WindowLayout last;

inline constexpr std::array<const WindowLayout *, 5> allWindows = { &singleBoard, &doubleBoard,
                                                                    &question, &dailyDouble,
                                                                    &last };

} // namespace layouts
