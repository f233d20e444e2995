// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "record/gamesmodel.h"

#include "windows/texts.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <numeric>
#include <tuple>
#include <utility>

namespace record {
namespace {

using storage::Ending;
using storage::GameRow;
using storage::PlayedBy;

QString dateTime(const QDateTime &when)
{
    const QLocale locale;
    return locale.toString(when.date(), QLocale::ShortFormat) + u' '
            + locale.toString(when.time(), QStringLiteral("HH:mm"));
}

QString endingText(const GameRow &game)
{
    switch (game.ending) {
    case Ending::Finished:
        return QStringLiteral("finished");
    case Ending::EndedByPlayer:
        return QStringLiteral("ended early");
    case Ending::NotFinished:
        break;
    case Ending::InProgress:
        if (game.playedBy == PlayedBy::ThisCopy)
            return QStringLiteral("in progress");
        if (game.playedBy == PlayedBy::AnotherCopy)
            return QStringLiteral("being played");
        break;
    }
    return QStringLiteral("not finished");
}

// How a game ended, in the order of its words.
int endingRank(const GameRow &game)
{
    switch (game.ending) {
    case Ending::Finished:
        return 2;
    case Ending::EndedByPlayer:
        return 1;
    case Ending::NotFinished:
        break;
    case Ending::InProgress:
        if (game.playedBy == PlayedBy::ThisCopy)
            return 3;
        if (game.playedBy == PlayedBy::AnotherCopy)
            return 0;
        break;
    }
    return 4;
}

// What a column sorts a game by, ties left to the order of play.
using Key = std::tuple<std::int64_t, std::int64_t>;

Key key(const GameRow &game, GamesModel::Column column)
{
    const scoring::GameFigures &figures = game.figures;
    switch (column) {
    case GamesModel::When:
        return { game.startedMs, 0 };
    case GamesModel::Ended:
        return { endingRank(game), 0 };
    case GamesModel::Score:
        return { figures.score, 0 };
    case GamesModel::ClueScore:
        return { figures.clueScore, 0 };
    case GamesModel::Right:
        return { figures.cluesRight, 0 };
    case GamesModel::Wrong:
        return { figures.cluesWrong, 0 };
    case GamesModel::NoRingIn:
        return { figures.cluesNoRingIn, 0 };
    case GamesModel::DailyDoubles:
        return { figures.dailyDoubles.right, figures.dailyDoubles.answered };
    case GamesModel::Final: {
        static constexpr std::array<std::int64_t, 3> rank = { 0, 2, 1 }; // none, right, wrong
        return { rank.at(std::size_t(figures.finalWager)), figures.finalWagerAmount };
    }
    }
    return { 0, 0 };
}

} // namespace

GamesModel::GamesModel(QObject *parent) : QAbstractTableModel(parent) { }

void GamesModel::setGames(std::vector<GameRow> games)
{
    beginResetModel();
    m_games = std::move(games);
    const auto played = [](const GameRow &a, const GameRow &b) {
        return std::tie(a.startedMs, a.id) < std::tie(b.startedMs, b.id);
    };
    if (!std::is_sorted(m_games.begin(), m_games.end(), played)) // as the record reads them
        std::sort(m_games.begin(), m_games.end(), played);
    const auto current = std::find_if(m_games.begin(), m_games.end(), [](const GameRow &game) {
        return game.playedBy == PlayedBy::ThisCopy;
    });
    m_current = current == m_games.end() ? -1 : int(current - m_games.begin());
    m_order.resize(m_games.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    sortOrder();
    endResetModel();
}

// The rows in the order chosen, as before() has them: each game's key taken once, not at
// every comparison.
void GamesModel::sortOrder()
{
    std::vector<Key> keys;
    keys.reserve(m_games.size());
    for (const GameRow &game : m_games)
        keys.push_back(key(game, m_sortColumn));
    const bool upwards = m_sortOrder == Qt::AscendingOrder;
    std::sort(m_order.begin(), m_order.end(), [&keys, upwards](int a, int b) {
        const auto left = std::tie(keys[std::size_t(a)], a);
        const auto right = std::tie(keys[std::size_t(b)], b);
        return upwards ? left < right : right < left;
    });
}

// In the order chosen, later games first among equals when it runs downwards.
bool GamesModel::before(int a, int b) const
{
    const GameRow &first = m_games[std::size_t(a)];
    const GameRow &second = m_games[std::size_t(b)];
    const auto left = std::tuple(key(first, m_sortColumn), a);
    const auto right = std::tuple(key(second, m_sortColumn), b);
    return m_sortOrder == Qt::AscendingOrder ? left < right : right < left;
}

void GamesModel::sort(int column, Qt::SortOrder order)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    std::vector<int> games;
    for (const QModelIndex &index : persistent)
        games.push_back(m_order[std::size_t(index.row())]);
    m_sortColumn = Column(std::clamp(column, 0, columns - 1));
    m_sortOrder = order;
    sortOrder();
    // The rows chosen stay chosen, wherever their games now stand.
    std::vector<int> rowOf(m_order.size());
    for (std::size_t row = 0; row < m_order.size(); ++row)
        rowOf[std::size_t(m_order[row])] = int(row);
    QModelIndexList moved;
    for (qsizetype i = 0; i < persistent.size(); ++i)
        moved << index(rowOf[std::size_t(games[std::size_t(i)])], persistent[i].column());
    changePersistentIndexList(persistent, moved);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

GamesModel::Placed GamesModel::setCurrent(const GameRow &game)
{
    if (m_current < 0) {
        // The newest game: it began with its first result, just now.
        m_games.push_back(game);
        m_current = int(m_games.size()) - 1;
        const auto at = std::lower_bound(m_order.begin(), m_order.end(), m_current,
                                         [this](int a, int b) { return before(a, b); });
        const int row = int(at - m_order.begin());
        beginInsertRows({}, row, row);
        m_order.insert(at, m_current);
        endInsertRows();
        return { true, true };
    }
    m_games[std::size_t(m_current)] = game;
    placeInOrder(m_current);
    return { std::size_t(m_current) + 1 == m_games.size(), false };
}

// A game changed: its row stays where the order still has it, or moves alone to its place.
void GamesModel::placeInOrder(int game)
{
    const int row = int(std::find(m_order.begin(), m_order.end(), game) - m_order.begin());
    const auto goesBefore = [this](int a, int b) { return before(a, b); };
    // Its place among the others.
    m_order.erase(m_order.begin() + row);
    const int destination = int(std::lower_bound(m_order.begin(), m_order.end(), game, goesBefore)
                                - m_order.begin());
    m_order.insert(m_order.begin() + row, game);
    // The row it goes before, counted with it still in the list; none for a row in its place.
    if (beginMoveRows({}, row, row, {}, destination >= row ? destination + 1 : destination)) {
        m_order.erase(m_order.begin() + row);
        m_order.insert(m_order.begin() + destination, game);
        endMoveRows();
    }
    Q_EMIT dataChanged(index(destination, 0), index(destination, columns - 1));
}

void GamesModel::setNarrowHeaders(bool narrow)
{
    m_narrowHeaders = narrow;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columns - 1);
}

bool GamesModel::hasCurrent() const
{
    return m_current >= 0;
}

void GamesModel::letGoOfCurrent()
{
    if (m_current < 0)
        return;
    m_games[std::size_t(m_current)].playedBy = PlayedBy::Nobody;
    placeInOrder(std::exchange(m_current, -1));
}

bool GamesModel::updateNewest(std::int64_t startedMs, const std::vector<GameRow> &games)
{
    std::size_t first = m_games.size();
    while (first > 0 && m_games[first - 1].startedMs >= startedMs)
        --first;
    if (m_games.size() - first != games.size())
        return false;
    for (std::size_t i = 0; i < games.size(); ++i) {
        const GameRow &shown = m_games[first + i];
        if (shown.id != games[i].id && (shown.id != 0 || shown.startedMs != games[i].startedMs))
            return false;
    }
    for (std::size_t i = 0; i < games.size(); ++i) {
        const int game = int(first + i);
        m_games[std::size_t(game)] = games[i];
        if (games[i].playedBy == PlayedBy::ThisCopy)
            m_current = game;
        else if (m_current == game)
            m_current = -1;
        placeInOrder(game);
    }
    return true;
}

std::vector<GameRow> GamesModel::extremes(const std::vector<GameRow> &rows)
{
    std::vector<GameRow> games;
    if (rows.empty())
        return games;
    // In one pass, each key taken once: the first of the least and the last of the most, as
    // std::minmax_element has them.
    std::array<std::size_t, columns> least{};
    std::array<std::size_t, columns> most{};
    std::array<Key, columns> low;
    for (int column = 0; column < columns; ++column)
        low.at(std::size_t(column)) = key(rows.front(), Column(column));
    std::array<Key, columns> high = low;
    for (std::size_t game = 1; game < rows.size(); ++game) {
        for (std::size_t column = 0; column < columns; ++column) {
            const Key value = key(rows[game], Column(column));
            if (value < low.at(column)) {
                low.at(column) = value;
                least.at(column) = game;
            }
            if (!(value < high.at(column))) {
                high.at(column) = value;
                most.at(column) = game;
            }
        }
    }
    for (std::size_t column = 0; column < columns; ++column) {
        games.push_back(rows[least.at(column)]);
        games.push_back(rows[most.at(column)]);
    }
    return games;
}

const GameRow *GamesModel::gameAt(int row) const
{
    if (row < 0 || row >= int(m_order.size()))
        return nullptr;
    return &m_games[std::size_t(m_order[std::size_t(row)])];
}

int GamesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int GamesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns;
}

QVariant GamesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static constexpr std::array<const char *, columns> names = {
        "Played", "How it ended", "Score",         "Clue score", "Right",
        "Wrong",  "No ring in",   "Daily Doubles", "Final",
    };
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    QString name = QString::fromLatin1(names.at(static_cast<std::size_t>(section)));
    // Two lines where the words are wider than what the column holds.
    const qsizetype space = name.indexOf(u' ', name.size() / 2 - 1);
    if (m_narrowHeaders && space > 0)
        name[space] = u'\n';
    return name;
}

QString GamesModel::text(const GameRow &game, Column column)
{
    const scoring::GameFigures &figures = game.figures;
    switch (column) {
    case When:
        return dateTime(game.started());
    case Ended:
        return endingText(game);
    case Score:
        return texts::amountText(figures.score);
    case ClueScore:
        return texts::amountText(figures.clueScore) + (figures.clueScoreComplete() ? "" : " *");
    case Right:
        return QString::number(figures.cluesRight);
    case Wrong:
        return QString::number(figures.cluesWrong);
    case NoRingIn:
        return QString::number(figures.cluesNoRingIn);
    case DailyDoubles:
        return QStringLiteral("%1 of %2")
                .arg(figures.dailyDoubles.right)
                .arg(figures.dailyDoubles.answered);
    case Final:
        if (figures.finalWager == scoring::FinalResult::None)
            return {};
        return QStringLiteral("%1, %2").arg(
                figures.finalWager == scoring::FinalResult::Right ? "right" : "wrong",
                texts::amountText(figures.finalWagerAmount));
    }
    return {};
}

QVariant GamesModel::data(const QModelIndex &index, int role) const
{
    const GameRow *game = gameAt(index.row());
    if (!game)
        return {};
    const auto column = Column(index.column());
    if (role == Qt::TextAlignmentRole)
        return column == When || column == Ended ? QVariant()
                                                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && column == ClueScore && !game->figures.clueScoreComplete())
        return QString::fromStdString(game->figures.incompleteReason());
    if (role == sortRole) {
        if (column == When)
            return QVariant::fromValue(game->startedMs);
        return QVariant::fromValue(std::get<0>(key(*game, column)));
    }
    if (role == Qt::DisplayRole)
        return text(*game, column);
    return {};
}

} // namespace record
