// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The layout of the record of games in its file, and the way from each older layout to it.

namespace storage {

namespace sqlite {
class Connection;
}

namespace schema {

// Kept in the file as PRAGMA user_version; 0 is a new, empty file.
inline constexpr int version = 3;

// Brings a file of an older version to this one in one transaction, step by step. Never called
// on a newer file.
void upgrade(sqlite::Connection &db);

} // namespace schema
} // namespace storage
