// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// Every statement on the record's games, for the rest of the storage unit. Each throws
// sqlite::Error when the file fails; none returns less than it was asked for.

#include "storage/gamerecord.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace storage::sqlite {
class Connection;
}

namespace storage::queries {

// Whether the file holds anything but a record of games: tables of another program's, in a
// file that does not say it is a record.
bool holdsSomethingElse(sqlite::Connection &db);

// Every game with a result in effect, newest first, with its steps. `holder` gives each game's
// holder, if asked.
std::vector<GameRecord> games(sqlite::Connection &db, std::vector<QString> *holders = nullptr);
std::optional<GameRecord> game(sqlite::Connection &db, std::int64_t id);

struct OpenGame
{
    std::int64_t id = 0;
    QString holder;
    int stepsInEffect = 0;
};
// The games in progress, newest first.
std::vector<OpenGame> openGames(sqlite::Connection &db);
// Gives the game to `holder` if `from` still holds it; whether it did.
bool takeGame(sqlite::Connection &db, std::int64_t id, const QString &from, const QString &holder);

// Writes a new game whole, with its holder; returns its id. A game read from elsewhere keeps
// its id.
std::int64_t insertGame(sqlite::Connection &db, const GameRecord &game, const QString &holder);
// Brings a stored game to `game`: its steps from `firstChanged` on, and its row.
void updateGame(sqlite::Connection &db, const GameRecord &game, int firstChanged);
// Gives a stored game the history `game` holds, as a change of an earlier result does.
void amendGame(sqlite::Connection &db, const GameRecord &game);
void setEnding(sqlite::Connection &db, std::int64_t id, Ending ending, const QDateTime &at);
// A game declined: not finished, its last change kept as its end.
void leaveUnfinished(sqlite::Connection &db, std::int64_t id);
void deleteGame(sqlite::Connection &db, std::int64_t id);

// Every game with a result in effect as a list shows it, without its steps, oldest first; or
// those begun at `startedFrom` (milliseconds since 1970 UTC) or later. `holders` gives each
// game's holder.
constexpr std::int64_t allGames = std::numeric_limits<std::int64_t>::min();
std::vector<GameRow> rows(sqlite::Connection &db, std::vector<QString> &holders,
                          std::int64_t startedFrom = allGames);
// Every game with a result in effect, whole, oldest first, one at a time: read as it goes, so
// that the record's size takes no memory. Stops when `each` returns false.
void forEachGame(sqlite::Connection &db, const std::function<bool(const GameRecord &)> &each);
// Writes every game's figures afresh from its steps.
void refigureAll(sqlite::Connection &db);

// The games of a damaged file that can still be read whole, each checked, and how many could
// not; but the game `except`, which is written afresh.
struct Salvage
{
    std::vector<GameRecord> games;
    int unreadable = 0;
};
Salvage salvage(sqlite::Connection &db, std::int64_t except);

} // namespace storage::queries
