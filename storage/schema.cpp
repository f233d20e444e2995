// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/schema.h"

#include "scoring/step.h"
#include "storage/gamerecord.h"
#include "storage/queries.h"
#include "storage/sqlite.h"

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

void upgrade(sqlite::Connection &db)
{
    sqlite::Transaction transaction(db);
    // Another copy of the program may have done it meanwhile.
    const auto found = db.integer("PRAGMA user_version");
    if (found >= version)
        return;
    if (found < 1) {
        // Times are milliseconds since 1970 UTC, with the local offset from UTC in force then.
        // A game's `ended` is its last change, so a game left open shows when it was last played.
        // `holder` names the running copy of the program that records a game in progress.
        db.exec(R"(
            CREATE TABLE games (
                id INTEGER PRIMARY KEY AUTOINCREMENT,
                started INTEGER NOT NULL,
                started_offset INTEGER NOT NULL,
                ended INTEGER NOT NULL,
                ended_offset INTEGER NOT NULL,
                ending INTEGER NOT NULL CHECK (ending BETWEEN 0 AND 3),
                score INTEGER NOT NULL,
                steps_in_effect INTEGER NOT NULL CHECK (steps_in_effect >= 0),
                holder TEXT
            );
            CREATE INDEX open_games ON games (started) WHERE ending = 0;
            CREATE TABLE steps (
                game INTEGER NOT NULL,
                number INTEGER NOT NULL CHECK (number >= 0),
                kind INTEGER NOT NULL CHECK (kind BETWEEN 0 AND 3),
                round INTEGER NOT NULL CHECK (round BETWEEN 1 AND 3),
                outcome INTEGER NOT NULL CHECK (outcome BETWEEN 0 AND 2),
                square INTEGER NOT NULL,
                amount INTEGER NOT NULL,
                PRIMARY KEY (game, number)
            ) WITHOUT ROWID;
        )");
    }
    if (found < 2) {
        // Changes of earlier results: a step of kind 4 names the step it changes in `square`.
        db.exec(R"(
            CREATE TABLE steps_2 (
                game INTEGER NOT NULL,
                number INTEGER NOT NULL CHECK (number >= 0),
                kind INTEGER NOT NULL CHECK (kind BETWEEN 0 AND 4),
                round INTEGER NOT NULL CHECK (round BETWEEN 1 AND 3),
                outcome INTEGER NOT NULL CHECK (outcome BETWEEN 0 AND 2),
                square INTEGER NOT NULL,
                amount INTEGER NOT NULL,
                PRIMARY KEY (game, number)
            ) WITHOUT ROWID;
            INSERT INTO steps_2 SELECT game, number, kind, round, outcome, square, amount FROM steps;
            DROP TABLE steps;
            ALTER TABLE steps_2 RENAME TO steps;
        )");
    }
    if (found < 3) {
        // Each game's figures, for listing many games without their steps: written from the
        // steps (scoring::Game) in the transaction that writes them.
        db.exec(R"(
            ALTER TABLE games ADD COLUMN clue_score INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN unsquared INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN clues_right INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN clues_wrong INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN clues_no_ring_in INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN dd_right INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN dd_played INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN final_result INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN final_wager INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r1_right INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r1_answered INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r2_right INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r2_answered INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r3_right INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r3_answered INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r4_right INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r4_answered INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r5_right INTEGER NOT NULL DEFAULT 0;
            ALTER TABLE games ADD COLUMN r5_answered INTEGER NOT NULL DEFAULT 0;
            CREATE INDEX games_by_start ON games (started, id);
        )");
        queries::refigureAll(db);
    }
    static_assert(version == 3, "set the new version below");
    db.exec("PRAGMA user_version = 3");
    transaction.commit();
}

} // namespace storage::schema
