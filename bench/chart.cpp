// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// How long the Your Games progress chart takes to repaint ten years of nightly games, at
// device pixel ratios 1 and 2. Prints figures; passes or fails nothing.

#include "record/progresschart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    constexpr int gameCount = 3650;
    std::vector<record::ChartPoint> games;
    for (int i = 0; i < gameCount; ++i)
        games.push_back(
                { QDateTime(QDate(2016, 1, 5).addDays(i), QTime(19, 30)).toMSecsSinceEpoch(), 0,
                  i * 1400 % 9000 - 1000, i * 2300 % 12000 - 3000, i % 7 != 3 });
    record::ProgressChart chart(record::ProgressChart::Mode::Scores);
    chart.setGames(std::move(games));
    chart.resize(chart.sizeHint());
    std::printf("Your Games chart, a full repaint of %d games (%dx%d):\n", gameCount, chart.width(),
                chart.height());
    for (const int scale : { 1, 2 }) {
        QImage image(chart.size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        std::vector<qint64> times(21);
        for (qint64 &time : times) {
            QElapsedTimer timer;
            timer.start();
            chart.render(&image);
            time = timer.nsecsElapsed();
        }
        std::sort(times.begin(), times.end());
        std::printf("  scale %d: median %.2f ms, slowest %.2f ms\n", scale,
                    double(times[times.size() / 2]) / 1e6, double(times.back()) / 1e6);
    }
    return 0;
}
