// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "scoring/scoring.h"

#include <QTest>

#include <cstdint>
#include <limits>

using namespace scoring;

class tst_Scoring final : public QObject
{
    Q_OBJECT

private slots:
    void squareValue_data();
    void squareValue();
    void moneyText_data();
    void moneyText();
    void scoreText_data();
    void scoreText();
    void indexTextRoundTrip();
    void indexFromText_data();
    void indexFromText();
    void clueTitle();
    void wagerValue_data();
    void wagerValue();
    void addToScore_data();
    void addToScore();
};

void tst_Scoring::squareValue_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::newRow("first square of top row") << 0 << 200.0;
    QTest::newRow("last square of top row") << 5 << 200.0;
    QTest::newRow("first square of second row") << 6 << 400.0;
    QTest::newRow("middle of the board") << 14 << 600.0;
    QTest::newRow("last square of fourth row") << 23 << 800.0;
    QTest::newRow("first square of bottom row") << 24 << 1000.0;
    QTest::newRow("last square of the board") << 29 << 1000.0;
}

void tst_Scoring::squareValue()
{
    QFETCH(int, index);
    QFETCH(double, value);
    QCOMPARE(singleSquareValue(index), value);
    QCOMPARE(secondBoardFactor * singleSquareValue(index), 2 * value);
}

void tst_Scoring::moneyText_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("square value") << 200.0 << "$ 200";
    QTest::newRow("four digits") << 1000.0 << "$ 1000";
    QTest::newRow("zero keeps the sign space") << 0.0 << "$ 0";
    QTest::newRow("negative has no space") << -400.0 << "$-400";
    QTest::newRow("negative square value") << -200.0 << "$-200";
    QTest::newRow("no digit grouping") << 54000.0 << "$ 54000";
    QTest::newRow("highest score")
            << double(std::numeric_limits<std::int32_t>::max()) << "$ 2147483647";
    QTest::newRow("lowest score") << double(std::numeric_limits<std::int32_t>::min())
                                  << "$-2147483648";
}

void tst_Scoring::moneyText()
{
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(scoring::moneyText(amount)), text);
}

void tst_Scoring::scoreText_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("positive has no leading space") << 600 << "600";
    QTest::newRow("negative carries its minus") << -400 << "-400";
    QTest::newRow("highest score") << std::numeric_limits<std::int32_t>::max() << "2147483647";
    QTest::newRow("lowest score") << std::numeric_limits<std::int32_t>::min() << "-2147483648";
}

void tst_Scoring::scoreText()
{
    QFETCH(int, score);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(scoring::scoreText(score)), text);
}

// Every square's index survives its trip through the clue window's Tag.
void tst_Scoring::indexTextRoundTrip()
{
    QCOMPARE(indexText(14), "14");
    for (int index = 0; index < squareCount; ++index)
        QCOMPARE(scoring::indexFromText(indexText(index)), std::optional<std::int16_t>(index));
}

void tst_Scoring::indexFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("leading space") << " 3";
    QTest::newRow("past the last square") << "30";
    QTest::newRow("negative") << "-1";
    QTest::newRow("beyond 16 bits") << "70000";
    QTest::newRow("trailing text") << "3x";
}

void tst_Scoring::indexFromText()
{
    QFETCH(QString, text);
    QCOMPARE(scoring::indexFromText(text.toStdString()), std::nullopt);
}

void tst_Scoring::clueTitle()
{
    QCOMPARE(scoring::clueTitle(600), "$ 600 Question");
    QCOMPARE(scoring::clueTitle(2000), "$ 2000 Question");
}

void tst_Scoring::wagerValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "500" << 500.0 << true;
    QTest::newRow("leading zeros in wager") << "007" << 7.0 << true;
    QTest::newRow("zero") << "0" << 0.0 << true;
    QTest::newRow("ten digits") << "9999999999" << 9999999999.0 << true;
    QTest::newRow("empty") << "" << 0.0 << false;
    QTest::newRow("sign") << "-5" << 0.0 << false;
    QTest::newRow("separator") << "1.5" << 0.0 << false;
    QTest::newRow("letters") << "12a" << 0.0 << false;
}

void tst_Scoring::wagerValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, valid);
    const auto wager = scoring::wagerValue(text.toStdString());
    QCOMPARE(wager.has_value(), valid);
    if (valid)
        QCOMPARE(*wager, value);
}

void tst_Scoring::addToScore_data()
{
    constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    QTest::addColumn<int>("score");
    QTest::addColumn<double>("amount");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("result");
    QTest::newRow("correct clue") << 0 << 600.0 << true << 600;
    QTest::newRow("incorrect clue goes negative") << 200 << -1000.0 << true << -800;
    QTest::newRow("wager larger than the score") << 500 << -2000.0 << true << -1500;
    QTest::newRow("up to the highest score") << highest - 10 << 10.0 << true << highest;
    QTest::newRow("down to the lowest score") << lowest + 10 << -10.0 << true << lowest;
    QTest::newRow("one past the highest is held") << highest << 1.0 << false << highest;
    QTest::newRow("one past the lowest is held") << lowest << -1.0 << false << lowest;
    QTest::newRow("huge wager is held") << 0 << 9999999999.0 << false << highest;
}

void tst_Scoring::addToScore()
{
    QFETCH(int, score);
    QFETCH(double, amount);
    QFETCH(bool, fits);
    QFETCH(int, result);
    QCOMPARE(scoreCanTake(score, amount), fits);
    QCOMPARE(scoring::addToScore(score, amount), result);
}

QTEST_APPLESS_MAIN(tst_Scoring)
#include "tst_scoring.moc"
