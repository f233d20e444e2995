// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "scoring/record.h"

#include <QDateTime>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

namespace record {

// One kept game as the chart shows it.
struct ChartPoint
{
    std::int64_t startedMs = 0; // milliseconds since 1970 UTC, none at 0
    int startedOffset = 0; // seconds from UTC of the local time then
    std::int64_t clueScore = 0;
    std::int64_t finalScore = 0;
    bool complete = true; // whether the clue score is, see scoring::GameFigures
};

using RowAccuracy = std::array<scoring::Tally, scoring::rowCount>;

// A chart of the player's progress, painted by hand in the palette's colours and sized from
// the font: either the clue score and the final score of each game, oldest to newest, with
// the clue score's rolling average over the last scoring::recentGames games; or the share of
// clues answered right in each row. A long record is drawn as its range in each pixel column,
// so painting takes as long for ten years of games as for one screenful. Its accessible
// description says in words what the picture shows.
class ProgressChart final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressChart)

public:
    enum class Mode { Scores, RowAccuracy };

    explicit ProgressChart(Mode mode, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    // The games, oldest first. Shown in Scores mode.
    void setGames(std::vector<ChartPoint> games);
    // The newest game as it now stands, after the others or in place of the newest: the game
    // under way, followed one result at a time.
    void setNewestGame(const ChartPoint &game, bool added);
    // Shown in RowAccuracy mode.
    void setRowAccuracy(const RowAccuracy &rows);

    // The colours of the two series, the clue score and the final score: the palette's
    // Highlight and Link, lightened or darkened as far as it takes to stand out against its Base.
    std::array<QColor, 2> seriesColors() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void describe();

    Mode m_mode;
    std::vector<ChartPoint> m_games;
    std::vector<double> m_rollingAverage; // of the clue scores
    RowAccuracy m_rows{};
};

} // namespace record
