// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>

// The layout of the record of games in its file, and the way from each older layout to it.

namespace storage {

namespace sqlite {
class Connection;
}

namespace schema {

// Kept in the file as PRAGMA user_version; 0 is a new, empty file.
inline constexpr int version = 3;

// Each game's figures, kept beside its steps for listing many games (since version 3).
inline constexpr std::array figureColumns = {
    "clue_score",  "unsquared",   "clues_right",  "clues_wrong", "clues_no_ring_in",
    "dd_right",    "dd_played",   "final_result", "final_wager", "r1_right",
    "r1_answered", "r2_right",    "r2_answered",  "r3_right",    "r3_answered",
    "r4_right",    "r4_answered", "r5_right",     "r5_answered",
};

// Lays out a new, empty file as this version does, or brings a file of an older version to this
// one step by step; in one transaction. Never called on a newer file.
void upgrade(sqlite::Connection &db);

} // namespace schema
} // namespace storage
