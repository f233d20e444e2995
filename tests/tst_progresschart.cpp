// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "record/progresschart.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTest>

using record::ProgressChart;
using Mode = ProgressChart::Mode;

namespace {

// Scores up and down, below zero too, each seventh clue score incomplete.
std::vector<record::ChartPoint> games(int count)
{
    std::vector<record::ChartPoint> games;
    for (int i = 0; i < count; ++i)
        games.push_back({ QDateTime(QDate(2026, 1, 5).addDays(i), QTime(19, 30)),
                          i * 1400 % 9000 - 1000, i * 2300 % 12000 - 3000, i % 7 != 3 });
    return games;
}

int pixels(const QImage &image, QPalette::ColorRole role, const QPalette &palette)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto *bits = reinterpret_cast<const QRgb *>(rgb.constBits());
    return int(std::count(bits, bits + rgb.width() * rgb.height(), palette.color(role).rgb()));
}

} // namespace

class tst_ProgressChart final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void paintsInThePalette_data();
    void paintsInThePalette();
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
        QVERIFY(chart.minimumSizeHint().width() > 20 * chart.fontMetrics().height());

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
        QCOMPARE(pixels(image, QPalette::Highlight, palette) > 0, lines);
        QCOMPARE(pixels(image, QPalette::Link, palette) > 0, lines && mode == Mode::Scores);
        if (count == 1) {
            // Below the legend, the clue score's one marker, not a line.
            const int marker = pixels(image.copy(image.rect().adjusted(0, 6 * margin, 0, 0)),
                                      QPalette::Highlight, palette);
            QVERIFY(marker > 0 && marker < margin * margin);
        }
    }
}

QTEST_MAIN(tst_ProgressChart)
#include "tst_progresschart.moc"
