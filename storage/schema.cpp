// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/schema.h"

#include "scoring/step.h"
#include "storage/gamerecord.h"
#include "storage/queries.h"
#include "storage/sqlite.h"

#include <string>

namespace storage::schema {

// The file keeps these numbers: they may never change.
static_assert(int(Ending::InProgress) == 0 && int(Ending::Finished) == 1
              && int(Ending::EndedByPlayer) == 2 && int(Ending::NotFinished) == 3);
static_assert(int(scoring::StepKind::Clue) == 0 && int(scoring::StepKind::DailyDouble) == 1
              && int(scoring::StepKind::FinalWager) == 2 && int(scoring::StepKind::RoundEnded) == 3
              && int(scoring::StepKind::Change) == 4);
static_assert(int(scoring::Round::First) == 1 && int(scoring::Round::Final) == 3);
static_assert(int(scoring::Outcome::Correct) == 0 && int(scoring::Outcome::NoRingIn) == 1
              && int(scoring::Outcome::Incorrect) == 2);

namespace {

// Times are milliseconds since 1970 UTC, with the local offset from UTC in force then. A game's
// `ended` is its last change, so a game left open shows when it was last played. `holder` names
// the running copy of the program that records a game in progress.
constexpr const char *gamesColumns = R"(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    started INTEGER NOT NULL,
    started_offset INTEGER NOT NULL,
    ended INTEGER NOT NULL,
    ended_offset INTEGER NOT NULL,
    ending INTEGER NOT NULL CHECK (ending BETWEEN 0 AND 3),
    score INTEGER NOT NULL,
    steps_in_effect INTEGER NOT NULL CHECK (steps_in_effect >= 0),
    holder TEXT)";

// A step of kind 4 (a change of an earlier result) names the step it changes in `square`.
std::string stepsTable(const char *name)
{
    return std::string("CREATE TABLE ") + name + R"( (
        game INTEGER NOT NULL,
        number INTEGER NOT NULL CHECK (number >= 0),
        kind INTEGER NOT NULL CHECK (kind BETWEEN 0 AND 4),
        round INTEGER NOT NULL CHECK (round BETWEEN 1 AND 3),
        outcome INTEGER NOT NULL CHECK (outcome BETWEEN 0 AND 2),
        square INTEGER NOT NULL,
        amount INTEGER NOT NULL,
        PRIMARY KEY (game, number)
    ) WITHOUT ROWID;
)";
}

std::string figureColumn(const char *name)
{
    return std::string(name) + " INTEGER NOT NULL DEFAULT 0";
}

constexpr const char *openGamesIndex =
        "CREATE INDEX open_games ON games (started) WHERE ending = 0;";
// Since version 3.
constexpr const char *startIndex = "CREATE INDEX games_by_start ON games (started, id);";

// A new file is made as this version lays it out, in one go: replaying every older version's
// steps on it would parse the whole layout again at each added column.
void create(sqlite::Connection &db)
{
    std::string sql = std::string("CREATE TABLE games (") + gamesColumns;
    for (const char *column : figureColumns)
        sql += ",\n    " + figureColumn(column);
    sql += ");\n" + stepsTable("steps") + openGamesIndex + startIndex;
    db.exec(sql.c_str());
}

} // namespace

void upgrade(sqlite::Connection &db)
{
    sqlite::Transaction transaction(db);
    // Another copy of the program may have done it meanwhile.
    const auto found = db.integer("PRAGMA user_version");
    if (found >= version)
        return;
    if (found == 0)
        create(db);
    if (found == 1) {
        // Changes of earlier results: kind 4 joins the steps' kinds.
        const std::string sql = stepsTable("steps_2") + R"(
            INSERT INTO steps_2 SELECT game, number, kind, round, outcome, square, amount FROM steps;
            DROP TABLE steps;
            ALTER TABLE steps_2 RENAME TO steps;
        )";
        db.exec(sql.c_str());
    }
    if (found == 1 || found == 2) {
        // Each game's figures, for listing many games without their steps: written from the
        // steps (scoring::Game) in the transaction that writes them.
        for (const char *column : figureColumns)
            db.exec(("ALTER TABLE games ADD COLUMN " + figureColumn(column)).c_str());
        db.exec(startIndex);
        queries::refigureAll(db);
    }
    static_assert(version == 3, "set the new version below");
    db.exec("PRAGMA user_version = 3");
    transaction.commit();
}

} // namespace storage::schema
