// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "scoring/record.h"
#include "scoring/scoring.h"

#include <QTest>

#include <cstdint>
#include <limits>

using namespace scoring;

namespace {

using Steps = QList<Step>;

Step clue(Round round, int square, Outcome outcome)
{
    const int factor = round == Round::Second ? secondBoardFactor : 1;
    return { StepKind::Clue, round, outcome, square,
             std::int64_t(factor * singleSquareValue(square % squareCount)) };
}

Step wager(StepKind kind, Round round, Outcome outcome, std::int64_t amount)
{
    return { kind, round, outcome, -1, amount };
}

Step roundEnded(Round round)
{
    return { StepKind::RoundEnded, round, Outcome::NoRingIn, -1, 0 };
}

// Everything but the two scores, in one line that reads back against a worked example.
QString describe(const GameFigures &game)
{
    QString rows;
    for (const Tally &row : game.rows)
        rows += QStringLiteral(" %1/%2").arg(row.right).arg(row.answered);
    const char *final[] = { "none", "right", "wrong" };
    return QStringLiteral("clues %1/%2/%3 | dd %4/%5 | final %6 | rows%7 | unsquared %8")
            .arg(game.cluesRight)
            .arg(game.cluesWrong)
            .arg(game.cluesNoRingIn)
            .arg(game.dailyDoubles.right)
            .arg(game.dailyDoubles.answered)
            .arg(final[int(game.finalWager)])
            .arg(rows)
            .arg(game.dailyDoublesWithoutSquare);
}

GameFigures withClueScore(std::int64_t clueScore)
{
    GameFigures game;
    game.clueScore = clueScore;
    return game;
}

} // namespace

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
    void gameFigures_data();
    void gameFigures();
    void summaryClueScores_data();
    void summaryClueScores();
    void summaryTallies();
    void rollingAverage_data();
    void rollingAverage();
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

void tst_Scoring::gameFigures_data()
{
    constexpr auto First = Round::First, Second = Round::Second;
    constexpr auto Right = Outcome::Correct, Wrong = Outcome::Incorrect, None = Outcome::NoRingIn;
    constexpr auto Double = StepKind::DailyDouble, Final = StepKind::FinalWager;
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<qint64>("score");
    QTest::addColumn<qint64>("clueScore");
    QTest::addColumn<QString>("figures");
    QTest::newRow("empty game") << Steps{} << 0ll << 0ll
                                << "clues 0/0/0 | dd 0/0 | final none | rows 0/0 0/0 0/0 0/0 0/0 "
                                   "| unsquared 0";
    QTest::newRow("plain clues, negative total")
            << Steps{ clue(First, 0, Right), clue(First, 14, Wrong), clue(First, 29, None) }
            << -400ll << -400ll
            << "clues 1/1/1 | dd 0/0 | final none | rows 1/1 0/0 0/1 0/0 0/0 | unsquared 0";
    QTest::newRow("right daily double adds its square, not the wager")
            << Steps{ clue(First, 3, Right), wager(Double, First, Right, 1500),
                      clue(First, 20, None) }
            << 1700ll << 1000ll
            << "clues 1/0/0 | dd 1/1 | final none | rows 1/1 0/0 0/0 1/1 0/0 | unsquared 0";
    QTest::newRow("wrong daily double counts nothing and takes its square")
            << Steps{ wager(Double, Second, Wrong, 3000), clue(Second, 8, None) } << -3000ll << 0ll
            << "clues 0/0/0 | dd 0/1 | final none | rows 0/0 0/1 0/0 0/0 0/0 | unsquared 0";
    QTest::newRow("no ring in before the daily double stays one")
            << Steps{ clue(First, 10, None), wager(Double, First, Right, 500),
                      clue(First, 11, None) }
            << 500ll << 400ll
            << "clues 0/0/1 | dd 1/1 | final none | rows 0/0 1/1 0/0 0/0 0/0 | unsquared 0";
    QTest::newRow("two daily doubles take their squares first played first")
            << Steps{ wager(Double, Second, Right, 2000), wager(Double, Second, Wrong, 1000),
                      clue(Second, 25, None), clue(Second, 12, None), clue(Second, 1, None) }
            << 1000ll << 2000ll
            << "clues 0/0/1 | dd 1/2 | final none | rows 0/0 0/0 0/1 0/0 1/1 | unsquared 0";
    QTest::newRow("right daily double never cleared: round ended, next round's no ring in")
            << Steps{ wager(Double, First, Right, 1000), clue(First, 6, Right), roundEnded(First),
                      clue(Second, 0, None) }
            << 1400ll << 400ll
            << "clues 1/0/1 | dd 1/1 | final none | rows 0/0 1/1 0/0 0/0 0/0 | unsquared 1";
    QTest::newRow("wrong daily double never cleared leaves the clue score complete")
            << Steps{ wager(Double, First, Wrong, 800), roundEnded(First) } << -800ll << 0ll
            << "clues 0/0/0 | dd 0/1 | final none | rows 0/0 0/0 0/0 0/0 0/0 | unsquared 0";
    QTest::newRow("final wager right is left out")
            << Steps{ clue(Second, 0, Right), wager(Final, Round::Final, Right, 5000) } << 5400ll
            << 400ll
            << "clues 1/0/0 | dd 0/0 | final right | rows 1/1 0/0 0/0 0/0 0/0 | unsquared 0";
    QTest::newRow("final wager wrong, negative totals")
            << Steps{ clue(First, 0, Wrong), wager(Final, Round::Final, Wrong, 3000) } << -3200ll
            << -200ll
            << "clues 0/1/0 | dd 0/0 | final wrong | rows 0/1 0/0 0/0 0/0 0/0 | unsquared 0";
    QTest::newRow("square out of range counts in no row")
            << Steps{ clue(First, 42, Right) } << 600ll << 600ll
            << "clues 1/0/0 | dd 0/0 | final none | rows 0/0 0/0 0/0 0/0 0/0 | unsquared 0";
}

void tst_Scoring::gameFigures()
{
    QFETCH(Steps, steps);
    QFETCH(qint64, score);
    QFETCH(qint64, clueScore);
    QFETCH(QString, figures);
    const GameFigures game = scoring::gameFigures(steps);
    QCOMPARE(game.score, score);
    QCOMPARE(game.clueScore, clueScore);
    QCOMPARE(describe(game), figures);
    QCOMPARE(game.incompleteReason().empty(), game.clueScoreComplete());
}

void tst_Scoring::summaryClueScores_data()
{
    QTest::addColumn<QList<qint64>>("clueScores"); // oldest first
    QTest::addColumn<double>("average");
    QTest::addColumn<qint64>("best");
    QTest::addColumn<double>("recentAverage");
    QTest::addColumn<qint64>("recentBest");
    QTest::newRow("one game") << QList<qint64>{ -400 } << -400.0 << -400ll << -400.0 << -400ll;
    QTest::newRow("the best is old, the last ten are recent")
            << QList<qint64>{ 9000, 0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000 }
            << 14500 / 12.0 << 9000ll << 550.0 << 1000ll;
}

void tst_Scoring::summaryClueScores()
{
    QFETCH(QList<qint64>, clueScores);
    QFETCH(double, average);
    QFETCH(qint64, best);
    QFETCH(double, recentAverage);
    QFETCH(qint64, recentBest);
    std::vector<GameFigures> games;
    for (const qint64 clueScore : clueScores)
        games.push_back(withClueScore(clueScore));
    const Summary summary = summarize(games);
    QCOMPARE(summary.games, int(clueScores.size()));
    QCOMPARE(summary.allGames, (ClueScoreFigures{ average, best }));
    QCOMPARE(summary.recent, (ClueScoreFigures{ recentAverage, recentBest }));
}

void tst_Scoring::summaryTallies()
{
    QCOMPARE(summarize({}).allGames, std::nullopt);
    const GameFigures games[] = {
        scoring::gameFigures(
                Steps{ clue(Round::First, 0, Outcome::Correct),
                       wager(StepKind::DailyDouble, Round::First, Outcome::Correct, 5) }),
        scoring::gameFigures(
                Steps{ clue(Round::Second, 1, Outcome::Incorrect),
                       wager(StepKind::DailyDouble, Round::Second, Outcome::Incorrect, 5),
                       clue(Round::Second, 29, Outcome::NoRingIn) }),
    };
    const Summary summary = summarize(games);
    QCOMPARE(summary.incompleteGames, 1);
    QCOMPARE(summary.rows[0], (Tally{ 1, 2 }));
    QCOMPARE(summary.rows[4], (Tally{ 0, 1 }));
    QCOMPARE(summary.accuracy, (Tally{ 1, 3 }));
    QCOMPARE(summary.dailyDoubles, (Tally{ 1, 2 }));
    QCOMPARE(summary.accuracy.share(), 1 / 3.0);
    QCOMPARE(Tally{}.share(), std::nullopt);
}

void tst_Scoring::rollingAverage_data()
{
    QTest::addColumn<QList<qint64>>("values");
    QTest::addColumn<int>("window");
    QTest::addColumn<QList<double>>("averages");
    QTest::newRow("no games") << QList<qint64>{} << 10 << QList<double>{};
    QTest::newRow("fewer than the window: over what there is")
            << QList<qint64>{ -400, 200 } << 10 << QList<double>{ -400, -100 };
    QTest::newRow("the window moves on") << QList<qint64>{ 100, 200, 300, 600 } << 3
                                         << QList<double>{ 100, 150, 200, 1100 / 3.0 };
    QTest::newRow("last ten by default")
            << QList<qint64>{ 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } << recentGames
            << QList<double>{ 1000,       500, 1000 / 3.0, 250, 200, 1000 / 6.0,
                              1000 / 7.0, 125, 1000 / 9.0, 100, 0 };
}

void tst_Scoring::rollingAverage()
{
    QFETCH(QList<qint64>, values);
    QFETCH(int, window);
    QFETCH(QList<double>, averages);
    const std::vector<std::int64_t> input(values.begin(), values.end());
    const std::vector<double> result = scoring::rollingAverage(input, window);
    QCOMPARE(QList<double>(result.begin(), result.end()), averages);
}

QTEST_APPLESS_MAIN(tst_Scoring)
#include "tst_scoring.moc"
