// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// Kept games as CSV (RFC 4180: CRLF line ends, fields quoted when they must be), one row per
// result, for a spreadsheet or a script. Plain C++, no toolkit.

#include "scoring/step.h"

#include <span>
#include <string>
#include <string_view>

namespace scoring {

// The header row, naming the columns.
std::string csvHeader();

// The rows of one game from its steps as they now stand (scoring/game.h), in the order played,
// each row beginning with `started`, when the game started. A clue's row has its square (row
// and column from 1) and its value on its board. A Daily Double's has the square it took (see
// scoring/record.h), or empty fields when it took none; that square's No Ring In and a round
// ended early have no row. The final wager has no square. Only wagers fill the wager column.
std::string csvRows(std::string_view started, std::span<const Step> steps);

} // namespace scoring
