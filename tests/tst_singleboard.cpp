// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"

using namespace gametest;

class tst_SingleBoard final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void cleanup() { resetRuntime(); }

    void startsWithEverySquareAndScoreZero();
    void squareOpensTheClueWindow_data();
    void squareOpensTheClueWindow();
    void usedSquareIsInert();
    void squareRetargetsAnOpenClueWindow();
    void dailyDoubleOpensTheWagerWindowAnyTime();
    void oneOpenSquareKeepsTheRoundGoing();
    void lastSquareHandsOverToTheSecondBoard_data();
    void lastSquareHandsOverToTheSecondBoard();
    void scoreIsNotALoad();
};

void tst_SingleBoard::startsWithEverySquareAndScoreZero()
{
    startGame();
    SingleBoard &board = SingleBoard::instance();
    for (int i = 0; i < 30; ++i)
        QCOMPARE(board.Command1(i)->text(), QStringLiteral("$ %1").arg(200 * (i / 6 + 1)));
    QCOMPARE(board.ScoreLabel()->text(), "0");
    QCOMPARE(board.Score, 0);
    QVERIFY(board.window()->isVisible());
    QVERIFY(!Question::instance().isLoaded());
}

void tst_SingleBoard::squareOpensTheClueWindow_data()
{
    QTest::addColumn<int>("square");
    QTest::addColumn<QString>("money");
    QTest::newRow("top row") << 3 << "$ 200";
    QTest::newRow("middle row") << 14 << "$ 600";
    QTest::newRow("bottom row") << 29 << "$ 1000";
}

void tst_SingleBoard::squareOpensTheClueWindow()
{
    QFETCH(int, square);
    QFETCH(QString, money);
    startGame();
    click(SingleBoard::instance().Command1(square));
    Question &question = Question::instance();
    QVERIFY(question.visible());
    QCOMPARE(question.Label1()->text(), money);
    QCOMPARE(question.caption(), money + " Question");
    QCOMPARE(question.tag(), QString::number(square));
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &question);
}

void tst_SingleBoard::usedSquareIsInert()
{
    startGame();
    playSquare(7, Correct);
    QVERIFY(!Question::instance().visible());
    click(SingleBoard::instance().Command1(7));
    QVERIFY(!Question::instance().visible());
    QCOMPARE(SingleBoard::instance().Score, 400);
    QCOMPARE(SingleBoard::instance().ScoreLabel()->text(), "400");
}

void tst_SingleBoard::squareRetargetsAnOpenClueWindow()
{
    startGame();
    SingleBoard &board = SingleBoard::instance();
    click(board.Command1(2));
    Question::instance().Command1(Incorrect)->setFocus();
    click(board.Command1(20));
    QCOMPARE(Question::instance().caption(), "$ 800 Question");
    QCOMPARE(Question::instance().tag(), "20");
    // A clue shown for another square starts on Correct, as every clue does.
    QTRY_COMPARE(QApplication::focusWidget(), Question::instance().Command1(Correct));

    click(Question::instance().Command1(Incorrect));
    QCOMPARE(board.Score, -800);
    QCOMPARE(board.ScoreLabel()->text(), "-800");
    QCOMPARE(board.Command1(20)->text(), "");
    QCOMPARE(board.Command1(2)->text(), "$ 200");
}

void tst_SingleBoard::dailyDoubleOpensTheWagerWindowAnyTime()
{
    startGame();
    click(SingleBoard::instance().Command1(0));
    click(SingleBoard::instance().Command2());
    DailyDouble &wager = DailyDouble::instance();
    QVERIFY(wager.visible());
    QVERIFY(Question::instance().visible());
    QCOMPARE(wager.caption(), "Daily Double");
    QCOMPARE(SingleBoard::instance().Command1(0)->text(), "$ 200");
    QTRY_COMPARE(QApplication::focusWidget(), wager.Wager());
}

void tst_SingleBoard::oneOpenSquareKeepsTheRoundGoing()
{
    startGame();
    for (int square = 0; square < 29; ++square)
        playSquare(square, square % 2 ? Correct : NoRingIn);
    QVERIFY(SingleBoard::instance().visible());
    QVERIFY(!DoubleBoard::instance().visible());
    QCOMPARE(SingleBoard::instance().Command1(29)->text(), "$ 1000");
}

void tst_SingleBoard::lastSquareHandsOverToTheSecondBoard_data()
{
    QTest::addColumn<int>("lastAnswer");
    QTest::addColumn<int>("scoreAfter");
    // The other 29 squares: the odd ones answered correctly are worth 8000 in all.
    QTest::newRow("correct") << int(Correct) << 9000;
    QTest::newRow("no ring in") << int(NoRingIn) << 8000;
    QTest::newRow("incorrect") << int(Incorrect) << 7000;
}

void tst_SingleBoard::lastSquareHandsOverToTheSecondBoard()
{
    QFETCH(int, lastAnswer);
    QFETCH(int, scoreAfter);
    startGame();
    for (int square = 0; square < 29; ++square)
        playSquare(square, square % 2 ? Correct : NoRingIn);
    playSquare(29, Answer(lastAnswer));

    SingleBoard &single = SingleBoard::instance();
    DoubleBoard &second = DoubleBoard::instance();
    QVERIFY(!single.visible());
    QVERIFY(single.isLoaded());
    QVERIFY(second.visible());
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &second);
    QCOMPARE(single.Score, scoreAfter);
    QCOMPARE(second.ScoreLabel()->text(), QString::number(scoreAfter));
    // Every square was blanked on the second board during the first round; all are back.
    for (int i = 0; i < 30; ++i)
        QCOMPARE(second.Command1(i)->text(), QStringLiteral("$ %1").arg(400 * (i / 6 + 1)));
    QTRY_COMPARE(QApplication::focusWidget(), second.Command2());
}

void tst_SingleBoard::scoreIsNotALoad()
{
    SingleBoard::instance().Score = 5;
    QCOMPARE(SingleBoard::instance().SingleSquareValue(29), 1000.0);
    QVERIFY(!SingleBoard::instance().isLoaded());
}

QTEST_MAIN(tst_SingleBoard)
#include "tst_singleboard.moc"
