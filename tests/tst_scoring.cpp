// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "scoring/export.h"
#include "scoring/game.h"
#include "scoring/record.h"
#include "scoring/scoring.h"
#include "tests/support/steps.h"

#include <QTest>

#include <cstdint>
#include <limits>

using namespace scoring;
using testsupport::steps;

namespace {

// The figures in one line, to read against a worked example: the score and the clue score |
// plain clues right/wrong/no ring in, Daily Doubles right/played | each row's right/answered,
// then the final wager and any Daily Double answered right without its square.
QString describe(const GameFigures &game)
{
    QString text = QString::asprintf("%lld clue %lld | %d/%d/%d dd %d/%d | rows",
                                     qlonglong(game.score), qlonglong(game.clueScore),
                                     game.cluesRight, game.cluesWrong, game.cluesNoRingIn,
                                     game.dailyDoubles.right, game.dailyDoubles.answered);
    for (const Tally &row : game.rows)
        text += QStringLiteral(" %1/%2").arg(row.right).arg(row.answered);
    if (game.finalWager != FinalResult::None)
        text += game.finalWager == FinalResult::Right ? " | final right" : " | final wrong";
    if (game.dailyDoublesWithoutSquare > 0)
        text += QStringLiteral(" | %1 unsquared").arg(game.dailyDoublesWithoutSquare);
    return text;
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
    void summary();
    void game_data();
    void game();
    void changes();
    void csvRows_data();
    void csvRows();
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
    // Money outside the designed windows reads as a board shows the score.
    QCOMPARE(QString::fromStdString(amountText(score)), "$ " + text);
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
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("figures");
    const auto row = [](const char *name, const char *steps, const char *figures) {
        QTest::newRow(name) << QString(steps) << QString(figures);
    };
    row("empty game", "", "0 clue 0 | 0/0/0 dd 0/0 | rows 0/0 0/0 0/0 0/0 0/0");
    row("plain clues, negative total", "1+0 1-14 1.29",
        "-400 clue -400 | 1/1/1 dd 0/0 | rows 1/1 0/0 0/1 0/0 0/0");
    row("right daily double adds its square, not the wager", "1+3 D1+1500 1.20",
        "1700 clue 1000 | 1/0/0 dd 1/1 | rows 1/1 0/0 0/0 1/1 0/0");
    row("wrong daily double counts nothing and takes its square", "D2-3000 2.8",
        "-3000 clue 0 | 0/0/0 dd 0/1 | rows 0/0 0/1 0/0 0/0 0/0");
    row("no ring in before the daily double stays one", "1.10 D1+500 1.11",
        "500 clue 400 | 0/0/1 dd 1/1 | rows 0/0 1/1 0/0 0/0 0/0");
    row("two daily doubles take their squares first played first", "D2+2000 D2-1000 2.25 2.12 2.1",
        "1000 clue 2000 | 0/0/1 dd 1/2 | rows 0/0 0/0 0/1 0/0 1/1");
    row("right daily double never cleared: round ended, next round's no ring in",
        "D1+1000 1+6 E1 2.0",
        "1400 clue 400 | 1/0/1 dd 1/1 | rows 0/0 1/1 0/0 0/0 0/0 | 1 unsquared");
    row("wrong daily double never cleared leaves the clue score complete", "D1-800 E1",
        "-800 clue 0 | 0/0/0 dd 0/1 | rows 0/0 0/0 0/0 0/0 0/0");
    row("final wager left out, negative totals", "1-0 F-3000",
        "-3200 clue -200 | 0/1/0 dd 0/0 | rows 0/1 0/0 0/0 0/0 0/0 | final wrong");
    row("final wager right", "2+0 F+5000",
        "5400 clue 400 | 1/0/0 dd 0/0 | rows 1/1 0/0 0/0 0/0 0/0 | final right");
    row("square out of range counts in no row", "1+42",
        "600 clue 600 | 1/0/0 dd 0/0 | rows 0/0 0/0 0/0 0/0 0/0");
}

void tst_Scoring::gameFigures()
{
    QFETCH(QString, steps);
    QFETCH(QString, figures);
    const GameFigures game = scoring::gameFigures(testsupport::steps(steps));
    QCOMPARE(describe(game), figures);
    QCOMPARE(game.incompleteReason().empty(), game.clueScoreComplete());
}

// Twelve games, oldest first: one long ago best, then a right Daily Double never cleared,
// then a wrong one cleared, then nine more.
void tst_Scoring::summary()
{
    QCOMPARE(summarize({}).allGames, std::nullopt);
    std::vector<GameFigures> games(12);
    games[0].clueScore = 9000;
    games[1] = scoring::gameFigures(steps("1+0 D1+5"));
    games[2] = scoring::gameFigures(steps("2-1 D2-5 2.29"));
    for (int i = 3; i < 12; ++i)
        games[i].clueScore = i * 100;
    const Summary summary = summarize(games);
    QCOMPARE(summary.incompleteGames, 1);
    QCOMPARE(summary.allGames, (ClueScoreFigures{ (9000 + 200 - 400 + 6300) / 12.0, 9000 }));
    QCOMPARE(summary.recent, (ClueScoreFigures{ (-400 + 6300) / 10.0, 1100 }));
    QCOMPARE(summary.rows[0], (Tally{ 1, 2 }));
    QCOMPARE(summary.rows[4], (Tally{ 0, 1 }));
    QCOMPARE(summary.accuracy, (Tally{ 1, 3 }));
    QCOMPARE(summary.accuracy.share(), 1 / 3.0);
    QCOMPARE(summary.dailyDoubles, (Tally{ 1, 2 }));

    // Added up a game at a time, and the newest changed as a game under way changes: the same
    // summary, to the last bit of its averages. One game below zero is its own best.
    const auto figuresOf = [&games](std::size_t i) -> const GameFigures & { return games[i]; };
    scoring::Totals allButNewest;
    for (std::size_t i = 0; i + 1 < games.size(); ++i)
        allButNewest += games[i];
    for (const std::int64_t newest : { 1100, -3000, 9700 }) {
        games.back().clueScore = newest;
        scoring::Totals totals = allButNewest;
        totals += games.back();
        QCOMPARE(summarize(totals, figuresOf), summarize(games));
    }
    scoring::Totals one;
    one += games[2];
    QCOMPARE(summarize(one, figuresOf).allGames, (ClueScoreFigures{ -400, -400 }));
}

// Worked games: where each stands, as the boards show it, after the steps in effect (all for -1).
// The standing reads: score, round, used squares on the first and second boards, clue score.
void tst_Scoring::game_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("inEffect");
    QTest::addColumn<QString>("standing");
    // 200, a Daily Double of 1000 won with square 3 (200) its square, the round ended early,
    // 2000 lost on the second board, the final wager of 500 won: 200 + 1000 - 2000 + 500.
    // The clue score counts 200, the Daily Double's square 200 and -2000, not the wagers.
    QTest::newRow("every kind of step")
            << "1+0 D1+1000 1.3 E1 2-29 F+500" << -1 << "-300 final, finished 30/1 clue -1600";
    // The first two of 200 + 400 - 600.
    QTest::newRow("undone steps count nothing") << "1+0 1+6 1-12" << 2 << "600 first 2/0 clue 600";
    // 600 right changed to wrong, then 200: -600 + 200; the square stays used.
    QTest::newRow("a changed clue moves the score by the difference")
            << "1+14 1+0 C-0" << -1 << "-400 first 2/0 clue -400";
    QTest::newRow("the change undone") << "1+14 1+0 C-0" << 2 << "800 first 2/0 clue 800";
    // The Daily Double took square 3 (200); changed to right, square 3 is a clue of its own and
    // the Daily Double takes the next no ring in, square 9 (400): 1000 + 200, clue 200 + 400.
    QTest::newRow("a changed no ring in moves the Daily Double to the next")
            << "D1+1000 1.3 1.9 C+1" << -1 << "1200 first 2/0 clue 600";
    // 1000 won becomes 300 lost: -300; a Daily Double lost counts nothing in the clue score.
    QTest::newRow("a wager changed, its amount with it")
            << "D1+1000 1.3 C-0x300" << -1 << "-300 first 1/0 clue 0";
    QTest::newRow("the last change in effect holds") << "1+0 C-0 C.0" << -1 << "0 first 1/0 clue 0";
    QTest::newRow("a board spent hands its round over")
            << "E1 2+0" << -1 << "400 second 30/1 clue 400";
    QTest::newRow("the second board spent: the final round")
            << "E1 E2" << -1 << "0 final 30/30 clue 0";
}

void tst_Scoring::game()
{
    QFETCH(QString, steps);
    QFETCH(int, inEffect);
    const std::vector<Step> history = ::steps(steps);
    const Game game(history, inEffect < 0 ? int(history.size()) : inEffect);
    static const char *const rounds[] = { "", "first", "second", "final" };
    const QString standing =
            QStringLiteral("%1 %2%3 %4/%5 clue %6")
                    .arg(game.score())
                    .arg(rounds[int(game.round())], game.finished() ? ", finished" : "")
                    .arg(game.used(Round::First).count())
                    .arg(game.used(Round::Second).count())
                    .arg(game.figures().clueScore);
    QTEST(standing, "standing");
    QCOMPARE(game.figures().score, game.score());
}

void tst_Scoring::changes()
{
    Game game(steps("1+14 D1+1000 E1"), 3);
    // A clue takes any answer and keeps its value; a wager is won or lost, at any amount.
    QCOMPARE(game.change(0, Outcome::NoRingIn, 5),
             (Step{ StepKind::Change, Round::First, Outcome::NoRingIn, 0, 600 }));
    QCOMPARE(game.change(1, Outcome::Incorrect, 5),
             (Step{ StepKind::Change, Round::First, Outcome::Incorrect, 1, 5 }));
    QCOMPARE(game.change(1, Outcome::NoRingIn, 5), std::nullopt);
    QCOMPARE(game.change(2, Outcome::Correct, 0), std::nullopt); // no result
    QCOMPARE(game.resultOn(Round::First, 14)->index, 0);
    QCOMPARE(game.resultOn(Round::First, 15), std::nullopt); // used, but ended with the round
    QCOMPARE(game.changed(0, Outcome::Correct, 0), game); // as it stands: no change
    QCOMPARE(game.changed(1, Outcome::Correct, 2147483647), std::nullopt);
    // Past the score's limit at any step, even when the end is back within it.
    game.record(*game.change(1, Outcome::Correct, 2147483647));
    QVERIFY(!game.scoreFits());
    game.record(steps("F-2000000000")[0]);
    QVERIFY(!game.scoreFits() && game.score() < 2147483647);
    game.setInEffect(3);
    QVERIFY(game.scoreFits());
}

// Rows written short: "|" between fields, ";" after each row.
void tst_Scoring::csvRows_data()
{
    QTest::addColumn<QString>("started");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("inEffect");
    QTest::addColumn<QString>("rows");
    const auto row = [](const char *name, const char *started, const char *steps, int inEffect,
                        const char *rows) {
        QTest::newRow(name) << QString(started) << QString(steps) << inEffect << QString(rows);
    };
    row("daily double carries its square, whose no ring in has no row", "t", "1.3 D1-1500 1.20", 3,
        "t|first|1|4|200|no ring in|no|;t|first|4|3|800|incorrect|yes|1500;");
    row("undone steps have no rows; daily double without a square", "t", "D1+1000 1+6 1.20", 2,
        "t|first||||correct|yes|1000;t|first|2|1|400|correct|no|;");
    row("second board; round ended early has no row; final wager", "t", "2-14 E2 F+0", 3,
        "t|second|3|3|1200|incorrect|no|;t|final||||correct|no|0;");
    row("quotes doubled, comma and line break quoted", "a \"b\", c\nd", "2.5", 1,
        "\"a \"\"b\"\", c\nd\"|second|1|6|400|no ring in|no|;");
}

void tst_Scoring::csvRows()
{
    QFETCH(QString, started);
    QFETCH(QString, steps);
    QFETCH(int, inEffect);
    QFETCH(QString, rows);
    const std::string csv =
            scoring::csvRows(started.toStdString(), Game(::steps(steps), inEffect).steps());
    QCOMPARE(QString::fromStdString(csv), rows.replace('|', ',').replace(';', "\r\n"));
}

void tst_Scoring::rollingAverage_data()
{
    QTest::addColumn<QList<qint64>>("values");
    QTest::addColumn<QList<double>>("averages");
    QTest::newRow("no games") << QList<qint64>{} << QList<double>{};
    QTest::newRow("fewer than ten: over what there is")
            << QList<qint64>{ -400, 200 } << QList<double>{ -400, -100 };
    QTest::newRow("the last ten") << QList<qint64>{ 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1100 }
                                  << QList<double>{ 1000,       500,        1000 / 3.0, 250,
                                                    200,        1000 / 6.0, 1000 / 7.0, 125,
                                                    1000 / 9.0, 100,        0,          110 };
}

void tst_Scoring::rollingAverage()
{
    QFETCH(QList<qint64>, values);
    QFETCH(QList<double>, averages);
    const std::vector<double> result =
            scoring::rollingAverage(std::vector<std::int64_t>(values.begin(), values.end()));
    QCOMPARE(QList<double>(result.begin(), result.end()), averages);
}

QTEST_APPLESS_MAIN(tst_Scoring)
#include "tst_scoring.moc"
