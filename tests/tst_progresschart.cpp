// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "record/progresschart.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using record::ProgressChart;
using Mode = ProgressChart::Mode;

namespace {

// Scores up and down, below zero too, each seventh clue score incomplete.
std::vector<record::ChartPoint> games(int count)
{
    std::vector<record::ChartPoint> games;
    for (int i = 0; i < count; ++i)
        games.push_back(
                { QDateTime(QDate(2026, 1, 5).addDays(i), QTime(19, 30)).toMSecsSinceEpoch(), 0,
                  i * 1400 % 9000 - 1000, i * 2300 % 12000 - 3000, i % 7 != 3 });
    return games;
}

int pixels(const QImage &image, const QColor &color)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto *bits = reinterpret_cast<const QRgb *>(rgb.constBits());
    return int(std::count(bits, bits + rgb.width() * rgb.height(), color.rgb()));
}

int pixels(const QImage &image, QPalette::ColorRole role, const QPalette &palette)
{
    return pixels(image, palette.color(role));
}

// The contrast ratio of the web's accessibility guidelines, by which graphics need 3:1.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &color) {
        const auto linear = [](double c) {
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF())
                + 0.0722 * linear(color.blueF());
    };
    const auto [dark, light] = std::minmax({ luminance(a), luminance(b) });
    return (light + 0.05) / (dark + 0.05);
}

} // namespace

class tst_ProgressChart final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void paintsInThePalette_data();
    void paintsInThePalette();
    void followsTheNewestGameAlone();
    void seriesStandOutOnEveryPalette_data();
    void seriesStandOutOnEveryPalette();
};

void tst_ProgressChart::paintsInThePalette_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<int>("count"); // games, or rows answered
    QTest::addColumn<QString>("description"); // a part of it
    QTest::newRow("no games") << Mode::Scores << 0 << "No games yet.";
    QTest::newRow("one game is a point") << Mode::Scores << 1 << "1 game, 05/01/2026.";
    QTest::newRow("twelve games") << Mode::Scores << 12 << "average of the last 10 games: $ 3600.";
    QTest::newRow("ten years of games") << Mode::Scores << 3650 << "3650 games, 05/01/2026 to ";
    QTest::newRow("no clues answered") << Mode::RowAccuracy << 0 << "No clues answered yet.";
    QTest::newRow("rows answered") << Mode::RowAccuracy << 4 << "$ 1000 and $ 2000: none answered.";
}

// In a light and a dark palette.
void tst_ProgressChart::paintsInThePalette()
{
    QFETCH(Mode, mode);
    QFETCH(int, count);
    QFETCH(QString, description);
    QPalette dark = QApplication::style()->standardPalette();
    for (const auto &[role, rgb] : { std::pair(QPalette::Base, 0x1e1e1e),
                                     { QPalette::Text, 0xe6e6e6 },
                                     { QPalette::Highlight, 0x3daee9 },
                                     { QPalette::Link, 0xf67400 } })
        dark.setColor(role, QColor(QRgb(rgb)));
    for (const QPalette &palette : { QApplication::style()->standardPalette(), dark }) {
        ProgressChart chart(mode);
        chart.setPalette(palette);
        chart.setGames(games(count));
        record::RowAccuracy rows{};
        for (int row = 0; mode == Mode::RowAccuracy && row < count; ++row)
            rows[row] = { 5 - row, 6 };
        chart.setRowAccuracy(rows);
        QVERIFY(chart.accessibleDescription().contains(description));
        QVERIFY(chart.minimumSizeHint().width() > 12 * chart.fontMetrics().height());

        chart.resize(chart.sizeHint());
        QImage image(chart.size(), QImage::Format_RGB32);
        chart.render(&image);
        // Nothing runs into the margin, half a line high, along the edges.
        const int margin = chart.fontMetrics().height() / 2;
        QImage edges = image;
        QPainter(&edges).fillRect(image.rect().adjusted(margin, margin, -margin, -margin),
                                  palette.base());
        QCOMPARE(pixels(edges, QPalette::Base, palette), image.width() * image.height());
        // Words, say "No games yet", or the average's line; a long record's own lines fade.
        QVERIFY(pixels(image, QPalette::Text, palette) > 0);
        const bool lines = count > 0 && count < 100;
        const auto [clueScore, finalScore] = chart.seriesColors();
        QCOMPARE(pixels(image, clueScore) > 0, lines);
        QCOMPARE(pixels(image, finalScore) > 0, lines && mode == Mode::Scores);
        if (count == 1) {
            // Below the legend, the clue score's one marker, not a line.
            const int marker =
                    pixels(image.copy(image.rect().adjusted(0, 6 * margin, 0, 0)), clueScore);
            QVERIFY(marker > 0 && marker < margin * margin);
        }
    }
}

// The game under way, added and then changed result by result, draws and reads as the whole
// record given again.
void tst_ProgressChart::followsTheNewestGameAlone()
{
    for (const int count : { 1, 12, 3650 }) {
        std::vector<record::ChartPoint> all = games(count);
        ProgressChart followed(Mode::Scores);
        followed.setGames({ all.begin(), all.end() - 1 });
        record::ChartPoint newest = all.back();
        newest.clueScore = 200;
        followed.setNewestGame(newest, true);
        newest = all.back();
        followed.setNewestGame(newest, false);
        ProgressChart whole(Mode::Scores);
        whole.setGames(all);
        QCOMPARE(followed.accessibleDescription(), whole.accessibleDescription());
        for (ProgressChart *chart : { &followed, &whole })
            chart->resize(chart->sizeHint());
        QImage drawn(followed.size(), QImage::Format_RGB32);
        QImage expected(whole.size(), QImage::Format_RGB32);
        followed.render(&drawn);
        whole.render(&expected);
        QCOMPARE(drawn, expected);
    }
}

void tst_ProgressChart::seriesStandOutOnEveryPalette_data()
{
    QTest::addColumn<QRgb>("base");
    QTest::addColumn<QRgb>("highlight");
    QTest::addColumn<QRgb>("link");
    QTest::newRow("light") << 0xffffffU << 0x308cc6U << 0x0000ffU;
    QTest::newRow("a Breeze-like dark") << 0x232629U << 0x3daee9U << 0x1d99f3U;
    QTest::newRow("darker: a dark Highlight on grey") << 0x3d3d3dU << 0x12608aU << 0x0986d3U;
    QTest::newRow("high contrast, black") << 0x000000U << 0x1aebffU << 0xffff00U;
    QTest::newRow("high contrast, white") << 0xffffffU << 0x37006eU << 0x00009fU;
    QTest::newRow("a pale Highlight on white") << 0xffffffU << 0xcde8ffU << 0xffd8a8U;
}

// The clue score and the final score stand out from the chart's background, and from each
// other, whatever the palette's Highlight and Link.
void tst_ProgressChart::seriesStandOutOnEveryPalette()
{
    QFETCH(QRgb, base);
    QFETCH(QRgb, highlight);
    QFETCH(QRgb, link);
    QPalette palette = QApplication::style()->standardPalette();
    palette.setColor(QPalette::Base, QColor(base));
    palette.setColor(QPalette::Highlight, QColor(highlight));
    palette.setColor(QPalette::Link, QColor(link));
    ProgressChart chart(Mode::Scores);
    chart.setPalette(palette);
    chart.setGames(games(12));
    const auto [clueScore, finalScore] = chart.seriesColors();
    QVERIFY2(contrast(clueScore, palette.base().color()) >= 3, qPrintable(clueScore.name()));
    QVERIFY2(contrast(finalScore, palette.base().color()) >= 3, qPrintable(finalScore.name()));
    // ... and from each other by hue, not as two shades of one blue.
    const int hues = std::abs(clueScore.hslHue() - finalScore.hslHue());
    QVERIFY2(std::min(hues, 360 - hues) >= 45, qPrintable(clueScore.name() + finalScore.name()));
    // Drawn in them, legend and lines alike.
    chart.resize(chart.sizeHint());
    QImage image(chart.size(), QImage::Format_RGB32);
    chart.render(&image);
    QVERIFY(pixels(image, clueScore) > 0);
    QVERIFY(pixels(image, finalScore) > 0);
}

QTEST_MAIN(tst_ProgressChart)
#include "tst_progresschart.moc"
