// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"

using namespace gametest;

namespace {

void reachFinalRound()
{
    startGame();
    finishFirstBoard();
    finishDoubleBoard();
}

void verifyFinalWagerWindow()
{
    DailyDouble &wager = DailyDouble::instance();
    QVERIFY(wager.visible());
    QCOMPARE(wager.caption(), "Final Vantorel");
    QCOMPARE(wager.tag(), "1");
    QVERIFY(wager.Command1(WagerCancel)->isHidden());
    QVERIFY(wager.Command1(WagerCorrect)->isVisible());
    QVERIFY(wager.Command1(WagerIncorrect)->isVisible());
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &wager);
    QTRY_COMPARE(QApplication::focusWidget(), wager.Wager());
}

} // namespace

class tst_DoubleBoard final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void cleanup() { resetRuntime(); }

    void secondBoardPlaysAtDoubleValue();
    void usedSquareIsInert();
    void lastSquareBeginsTheFinalRound();
    void dailyDoubleInTheFinalRoundOnlyBringsTheWagerForward();
    void activatingTheBoardAgainRepeatsTheSetUp();
    void closingTheFinalWagerKeepsIt();
    void pendingDailyDoubleIsNoFinalWager();
};

void tst_DoubleBoard::secondBoardPlaysAtDoubleValue()
{
    startGame();
    playSquare(0, Correct);
    finishFirstBoard();
    DoubleBoard &board = DoubleBoard::instance();
    QCOMPARE(board.caption(), "Double Vantorel");
    QCOMPARE(board.ScoreLabel()->text(), "200");

    click(board.Command1(20));
    QCOMPARE(Question::instance().caption(), "$ 1600 Question");
    QCOMPARE(Question::instance().Label1()->text(), "$ 1600");
    click(Question::instance().Command1(Correct));
    QCOMPARE(SingleBoard::instance().Score, 1800);
    QCOMPARE(board.ScoreLabel()->text(), "1800");
    QCOMPARE(board.Command1(20)->text(), "");
    // The hidden first board is not touched by the score.
    QCOMPARE(SingleBoard::instance().ScoreLabel()->text(), "200");
}

void tst_DoubleBoard::usedSquareIsInert()
{
    startGame();
    finishFirstBoard();
    playDoubleSquare(3, Incorrect);
    click(DoubleBoard::instance().Command1(3));
    QVERIFY(!Question::instance().visible());
    QCOMPARE(SingleBoard::instance().Score, -400);
}

void tst_DoubleBoard::lastSquareBeginsTheFinalRound()
{
    reachFinalRound();
    verifyFinalWagerWindow();
    QVERIFY(DoubleBoard::instance().visible());
    QVERIFY(!Question::instance().isLoaded());
    QVERIFY(SingleBoard::instance().isLoaded());
    QVERIFY(!SingleBoard::instance().visible());
}

void tst_DoubleBoard::dailyDoubleInTheFinalRoundOnlyBringsTheWagerForward()
{
    reachFinalRound();
    typeWager("25");
    click(DoubleBoard::instance().Command2());
    verifyFinalWagerWindow();
    QCOMPARE(DailyDouble::instance().Wager()->text(), "25");
}

void tst_DoubleBoard::activatingTheBoardAgainRepeatsTheSetUp()
{
    reachFinalRound();
    typeWager("30");
    QTest::mouseClick(DoubleBoard::instance().Frame1(), Qt::LeftButton);
    verifyFinalWagerWindow();
    QCOMPARE(DailyDouble::instance().Wager()->text(), "30");
}

void tst_DoubleBoard::closingTheFinalWagerKeepsIt()
{
    reachFinalRound();
    typeWager("30");
    QVERIFY(!DailyDouble::instance().window()->close());
    verifyFinalWagerWindow();
    QCOMPARE(DailyDouble::instance().Wager()->text(), "30");
}

void tst_DoubleBoard::pendingDailyDoubleIsNoFinalWager()
{
    startGame();
    finishFirstBoard();
    for (int square = 0; square < 29; ++square)
        playDoubleSquare(square, NoRingIn);
    click(DoubleBoard::instance().Command2());
    typeWager("1000");
    playDoubleSquare(29, NoRingIn);
    verifyFinalWagerWindow();
    QCOMPARE(DailyDouble::instance().Wager()->text(), "");
}

QTEST_MAIN(tst_DoubleBoard)
#include "tst_doubleboard.moc"
