// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "storage/gamerecord.h"

#include <QAbstractTableModel>

#include <vector>

namespace record {

// The games of the record, one to a row, from their figures alone: what each column shows and
// sorts by. Every game is held as a row of its figures, oldest first; sorting orders a list of
// them, and the game under way moves to its place alone as it changes.
class GamesModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GamesModel)

public:
    enum Column { When, Ended, Score, ClueScore, Right, Wrong, NoRingIn, DailyDoubles, Final };
    static constexpr int columns = Final + 1;
    // The value a column sorts by first, for the tests.
    static constexpr int sortRole = Qt::UserRole;

    explicit GamesModel(QObject *parent = nullptr);

    // The games, in any order.
    void setGames(std::vector<storage::GameRow> games);
    // The games, oldest first.
    const std::vector<storage::GameRow> &games() const { return m_games; }
    // The game this copy plays, as it now stands, in its row or a new one at its place. Whether
    // it is the newest game, and whether its row is new.
    struct Placed
    {
        bool newest = false;
        bool added = false;
    };
    Placed setCurrent(const storage::GameRow &game);
    // Headings of two words or more on two lines, for a narrow screen.
    void setNarrowHeaders(bool narrow);

    // Whether a row is the game this copy plays.
    bool hasCurrent() const;
    // The game this copy played has ended: its row stays, no longer its, until read again.
    void letGoOfCurrent();
    // The games begun at `startedMs` or later, read again: each in its row, when they are the
    // games the rows hold (a game not yet numbered known by its start). False, and nothing
    // changed, when they are not.
    bool updateNewest(std::int64_t startedMs, const std::vector<storage::GameRow> &games);
    // The games at either end of each column's order: the widest texts of a table of them.
    static std::vector<storage::GameRow> extremes(const std::vector<storage::GameRow> &rows);
    // The game in a row of the table, if any.
    const storage::GameRow *gameAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // What a column shows of a game.
    static QString text(const storage::GameRow &game, Column column);

private:
    bool before(int a, int b) const;
    void sortOrder();
    void placeInOrder(int game);

    std::vector<storage::GameRow> m_games; // oldest first
    int m_current = -1; // the game this copy plays, if any
    std::vector<int> m_order; // the games in the rows' order
    Column m_sortColumn = When;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
    bool m_narrowHeaders = false;
};

} // namespace record
