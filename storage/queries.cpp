// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/queries.h"

#include "scoring/game.h"
#include "storage/sqlite.h"

#include <QTimeZone>

#include <algorithm>
#include <set>
#include <unordered_map>

namespace storage::queries {
namespace {

// Columns of a game, in this order, for gameFrom().
#define GAME_COLUMNS "id,started,started_offset,ended,ended_offset,ending,score,steps_in_effect"
// A game's figures, in this order, for figuresFrom() and writeFigures().
// clang-format off
#define FIGURE_COLUMNS \
    "score,clue_score,unsquared,clues_right,clues_wrong,clues_no_ring_in,dd_right,dd_played," \
    "final_result,final_wager,r1_right,r1_answered,r2_right,r2_answered,r3_right,r3_answered," \
    "r4_right,r4_answered,r5_right,r5_answered"
// clang-format on

QDateTime dateTime(std::int64_t msecs, std::int64_t offsetSeconds)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, QTimeZone(int(offsetSeconds)));
}

scoring::Step stepFrom(const sqlite::Rows &row, int first)
{
    return { scoring::StepKind(row.integer(first)), scoring::Round(row.integer(first + 1)),
             scoring::Outcome(row.integer(first + 2)), int(row.integer(first + 3)),
             row.integer(first + 4) };
}

GameRecord gameFrom(const sqlite::Rows &row)
{
    GameRecord game;
    game.id = row.integer(0);
    game.started = dateTime(row.integer(1), row.integer(2));
    game.ending = Ending(row.integer(5));
    if (game.ending != Ending::InProgress)
        game.ended = dateTime(row.integer(3), row.integer(4));
    game.score = row.integer(6);
    game.stepsInEffect = int(row.integer(7));
    return game;
}

scoring::GameFigures figuresFrom(const sqlite::Rows &row, int first)
{
    const auto at = [&](int column) { return row.integer(first + column); };
    scoring::GameFigures figures;
    figures.score = at(0);
    figures.clueScore = at(1);
    figures.dailyDoublesWithoutSquare = int(at(2));
    figures.cluesRight = int(at(3));
    figures.cluesWrong = int(at(4));
    figures.cluesNoRingIn = int(at(5));
    figures.dailyDoubles = { int(at(6)), int(at(7)) };
    figures.finalWager = scoring::FinalResult(at(8));
    figures.finalWagerAmount = at(9);
    for (int row = 0; row < scoring::rowCount; ++row)
        figures.rows[std::size_t(row)] = { int(at(10 + 2 * row)), int(at(11 + 2 * row)) };
    return figures;
}

// The figures, the score among them, come from the steps: the columns are a copy of them for
// listing, written with the steps.
void writeFigures(sqlite::Connection &db, std::int64_t id, const std::vector<scoring::Step> &steps,
                  int inEffect)
{
    const scoring::GameFigures f = scoring::Game(steps, inEffect).figures();
    const auto &r = f.rows;
    db.statement("UPDATE games SET (" FIGURE_COLUMNS ") = (?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                 "?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21) WHERE id = ?1")
            .run(id, f.score, f.clueScore, f.dailyDoublesWithoutSquare, f.cluesRight, f.cluesWrong,
                 f.cluesNoRingIn, f.dailyDoubles.right, f.dailyDoubles.answered, int(f.finalWager),
                 f.finalWagerAmount, r[0].right, r[0].answered, r[1].right, r[1].answered,
                 r[2].right, r[2].answered, r[3].right, r[3].answered, r[4].right, r[4].answered);
}

// A game in progress was last changed at `ended`.
QDateTime lastChange(const GameRecord &game)
{
    return game.ended.isValid() ? game.ended : game.started;
}

void insertSteps(sqlite::Connection &db, const GameRecord &game, int first)
{
    auto &insert = db.statement("INSERT INTO steps (game, number, kind, round, outcome, square, "
                                "amount) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (auto n = std::size_t(first); n < game.steps.size(); ++n) {
        const scoring::Step &step = game.steps[n];
        insert.run(game.id, n, step.kind, step.round, step.outcome, step.square, step.amount);
    }
}

// A step read from a damaged file holds only values the file could have been given.
bool plausible(const scoring::Step &step)
{
    return int(step.kind) >= 0 && int(step.kind) <= int(scoring::StepKind::Change)
            && int(step.round) >= 1 && int(step.round) <= int(scoring::Round::Final)
            && int(step.outcome) >= 0 && int(step.outcome) <= int(scoring::Outcome::Incorrect);
}

// Collects what a query yields until the file fails under it; whether it read to the end.
template<typename Read>
bool readWhatCanBeRead(Read &&read)
{
    try {
        read();
    } catch (const sqlite::Error &) {
        return false;
    }
    return true;
}

} // namespace

bool holdsSomethingElse(sqlite::Connection &db)
{
    return db.integer("PRAGMA user_version") == 0
            && db.integer("SELECT count(*) FROM sqlite_master") > 0;
}

std::vector<GameRecord> games(sqlite::Connection &db, std::vector<QString> *holders)
{
    // One snapshot for both queries, whatever other copies write meanwhile.
    sqlite::Transaction transaction(db, sqlite::Transaction::Read);
    std::vector<GameRecord> games;
    {
        sqlite::Rows rows = db.statement("SELECT " GAME_COLUMNS ", holder FROM games "
                                         "WHERE steps_in_effect > 0 "
                                         "ORDER BY started DESC, id DESC")
                                    .query();
        while (rows.next()) {
            games.push_back(gameFrom(rows));
            if (holders)
                holders->push_back(rows.text(8));
        }
    }
    std::unordered_map<std::int64_t, GameRecord *> byId;
    byId.reserve(games.size());
    for (GameRecord &game : games)
        byId.emplace(game.id, &game);
    sqlite::Rows steps = db.statement("SELECT game, kind, round, outcome, square, amount "
                                      "FROM steps ORDER BY game, number")
                                 .query();
    GameRecord *game = nullptr;
    while (steps.next()) {
        const std::int64_t id = steps.integer(0);
        if (!game || game->id != id) {
            const auto found = byId.find(id);
            game = found == byId.end() ? nullptr : found->second;
        }
        if (game)
            game->steps.push_back(stepFrom(steps, 1));
    }
    return games;
}

std::optional<GameRecord> game(sqlite::Connection &db, std::int64_t id)
{
    std::optional<GameRecord> game;
    {
        sqlite::Rows row =
                db.statement("SELECT " GAME_COLUMNS " FROM games WHERE id = ?1").query(id);
        if (row.next())
            game = gameFrom(row);
    }
    if (!game)
        return std::nullopt;
    sqlite::Rows steps = db.statement("SELECT kind, round, outcome, square, amount FROM steps "
                                      "WHERE game = ?1 ORDER BY number")
                                 .query(id);
    while (steps.next())
        game->steps.push_back(stepFrom(steps, 0));
    return game;
}

std::vector<OpenGame> openGames(sqlite::Connection &db)
{
    std::vector<OpenGame> open;
    sqlite::Rows rows = db.statement("SELECT id, ifnull(holder, ''), steps_in_effect FROM games "
                                     "WHERE ending = 0 ORDER BY started DESC, id DESC")
                                .query();
    while (rows.next())
        open.push_back({ rows.integer(0), rows.text(1), int(rows.integer(2)) });
    return open;
}

bool takeGame(sqlite::Connection &db, std::int64_t id, const QString &from, const QString &holder)
{
    db.statement("UPDATE games SET holder = nullif(?3, '') WHERE id = ?1 AND ending = 0 "
                 "AND ifnull(holder, '') = ?2")
            .run(id, from, holder);
    return sqlite3_changes(db.handle()) == 1;
}

std::int64_t insertGame(sqlite::Connection &db, const GameRecord &game, const QString &holder)
{
    const QDateTime ended = lastChange(game);
    auto &insert = db.statement("INSERT INTO games (id, started, started_offset, ended, "
                                "ended_offset, ending, score, steps_in_effect, holder) "
                                "VALUES (nullif(?1, 0), ?2, ?3, ?4, ?5, ?6, 0, ?7, "
                                "nullif(?8, ''))");
    insert.run(game.id, game.started.toMSecsSinceEpoch(), game.started.offsetFromUtc(),
               ended.toMSecsSinceEpoch(), ended.offsetFromUtc(), game.ending, game.stepsInEffect,
               holder);
    GameRecord stored = game;
    stored.id = sqlite3_last_insert_rowid(db.handle());
    insertSteps(db, stored, 0);
    writeFigures(db, stored.id, stored.steps, stored.stepsInEffect);
    return stored.id;
}

void updateGame(sqlite::Connection &db, const GameRecord &game, int firstChanged)
{
    db.statement("DELETE FROM steps WHERE game = ?1 AND number >= ?2").run(game.id, firstChanged);
    insertSteps(db, game, firstChanged);
    const QDateTime ended = lastChange(game);
    db.statement("UPDATE games SET ended = ?2, ended_offset = ?3, steps_in_effect = ?4 "
                 "WHERE id = ?1")
            .run(game.id, ended.toMSecsSinceEpoch(), ended.offsetFromUtc(), game.stepsInEffect);
    writeFigures(db, game.id, game.steps, game.stepsInEffect);
}

void amendGame(sqlite::Connection &db, const GameRecord &game)
{
    db.statement("DELETE FROM steps WHERE game = ?1 AND number >= ?2").run(game.id, 0);
    insertSteps(db, game, 0);
    db.statement("UPDATE games SET steps_in_effect = ?2 WHERE id = ?1")
            .run(game.id, game.stepsInEffect);
    writeFigures(db, game.id, game.steps, game.stepsInEffect);
}

std::vector<GameRow> rows(sqlite::Connection &db, std::vector<QString> &holders,
                          std::int64_t startedFrom)
{
    std::vector<GameRow> rows;
    if (startedFrom == allGames) {
        // Room for every game at once (a few more at most), and for one begun while they are
        // shown: grown by doubling, a long record would take twice its size and more, and its
        // list would copy them all at the next game's first result.
        const auto games = std::size_t(db.integer("SELECT count(*) FROM games"));
        rows.reserve(games + 1);
        holders.reserve(games);
    }
    sqlite::Rows found = db.statement("SELECT id, started, started_offset, ending, "
                                      "ifnull(holder, ''), " FIGURE_COLUMNS " FROM games "
                                      "WHERE steps_in_effect > 0 AND started >= ?1 "
                                      "ORDER BY started, id")
                                 .query(startedFrom);
    while (found.next()) {
        rows.push_back({ found.integer(0), found.integer(1), int(found.integer(2)),
                         Ending(found.integer(3)), PlayedBy::Nobody, figuresFrom(found, 5) });
        holders.push_back(found.text(4));
    }
    return rows;
}

void forEachGame(sqlite::Connection &db, const std::function<bool(const GameRecord &)> &each)
{
    sqlite::Transaction transaction(db, sqlite::Transaction::Read);
    sqlite::Rows found = db.statement("SELECT " GAME_COLUMNS " FROM games "
                                      "WHERE steps_in_effect > 0 ORDER BY started, id")
                                 .query();
    auto &steps = db.statement("SELECT kind, round, outcome, square, amount FROM steps "
                               "WHERE game = ?1 ORDER BY number");
    GameRecord game;
    while (found.next()) {
        game = gameFrom(found);
        sqlite::Rows played = steps.query(game.id);
        while (played.next())
            game.steps.push_back(stepFrom(played, 0));
        if (!each(game))
            return;
    }
}

void refigureAll(sqlite::Connection &db)
{
    std::vector<std::pair<std::int64_t, int>> games;
    {
        sqlite::Rows found = db.statement("SELECT id, steps_in_effect FROM games").query();
        while (found.next())
            games.emplace_back(found.integer(0), int(found.integer(1)));
    }
    for (const auto &[id, inEffect] : games) {
        if (const std::optional<GameRecord> whole = game(db, id))
            writeFigures(db, id, whole->steps, inEffect);
    }
}

void setEnding(sqlite::Connection &db, std::int64_t id, Ending ending, const QDateTime &at)
{
    db.statement("UPDATE games SET ending = ?2, ended = ?3, ended_offset = ?4 WHERE id = ?1")
            .run(id, ending, at.toMSecsSinceEpoch(), at.offsetFromUtc());
}

void leaveUnfinished(sqlite::Connection &db, std::int64_t id)
{
    db.statement("UPDATE games SET ending = ?2, holder = NULL WHERE id = ?1 AND ending = ?3")
            .run(id, Ending::NotFinished, Ending::InProgress);
}

void deleteGame(sqlite::Connection &db, std::int64_t id)
{
    db.statement("DELETE FROM steps WHERE game = ?1").run(id);
    db.statement("DELETE FROM games WHERE id = ?1").run(id);
}

// Damage hides what lies beyond it in one order of reading, not in the other: the games are
// found from both ends of their table and from their steps, and each is then read alone.
Salvage salvage(sqlite::Connection &db, std::int64_t except)
{
    // A file cut short is read as far as it goes.
    readWhatCanBeRead([&] { db.exec("PRAGMA writable_schema = ON"); });
    std::set<std::int64_t> ids;
    for (const char *sql : { "SELECT id FROM games ORDER BY id",
                             "SELECT id FROM games ORDER BY "
                             "id DESC",
                             "SELECT DISTINCT game FROM steps" }) {
        readWhatCanBeRead([&] {
            sqlite::Rows rows = db.statement(sql).query();
            while (rows.next())
                ids.insert(rows.integer(0));
        });
    }
    ids.erase(except);
    Salvage salvaged;
    for (const std::int64_t id : ids) {
        std::optional<GameRecord> found;
        bool whole = false;
        readWhatCanBeRead([&] {
            found = game(db, id);
            if (!found)
                return;
            sqlite::Rows numbers =
                    db.statement("SELECT count(*), ifnull(max(number), -1) FROM steps "
                                 "WHERE game = ?1")
                            .query(id);
            whole = numbers.next() && numbers.integer(0) == numbers.integer(1) + 1
                    && std::int64_t(found->steps.size()) == numbers.integer(0);
        });
        whole = whole && int(found->ending) >= 0 && found->ending <= Ending::NotFinished
                && found->stepsInEffect >= 0
                && std::size_t(found->stepsInEffect) <= found->steps.size()
                && std::all_of(found->steps.begin(), found->steps.end(), plausible);
        if (!whole) {
            ++salvaged.unreadable;
            continue;
        }
        if (found->stepsInEffect > 0)
            salvaged.games.push_back(std::move(*found));
    }
    return salvaged;
}

} // namespace storage::queries
