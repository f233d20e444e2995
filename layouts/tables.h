// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "layouts/layout.h"

#include <array>

namespace layouts {

extern const WindowLayout singleBoard;
extern const WindowLayout doubleBoard;
extern const WindowLayout question;
extern const WindowLayout dailyDouble;
extern const WindowLayout last;

inline constexpr std::array<const WindowLayout *, 5> allWindows = { &singleBoard, &doubleBoard,
                                                                    &question, &dailyDouble,
                                                                    &last };

} // namespace layouts
