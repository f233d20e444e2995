// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "gametest.h"

using namespace gametest;

class tst_Question final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void cleanup() { resetRuntime(); }

    void answersScoreTheSquare_data();
    void answersScoreTheSquare();
    void answerBlanksTheSquareOnBothBoards();
    void windowKeepsItsTextsWhenHidden();
    void activationReturnsToTheWindowActiveBefore();
    void clickOnTheBoardActivatesItFirst();
};

void tst_Question::answersScoreTheSquare_data()
{
    QTest::addColumn<bool>("secondBoard");
    QTest::addColumn<int>("square");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("change");
    QTest::newRow("correct on first board, row 2") << false << 14 << int(Correct) << 600;
    QTest::newRow("incorrect on first board, row 0") << false << 0 << int(Incorrect) << -200;
    QTest::newRow("no ring in on first board") << false << 29 << int(NoRingIn) << 0;
    QTest::newRow("correct on second board, row 2") << true << 14 << int(Correct) << 1200;
    QTest::newRow("incorrect on second board, row 4") << true << 29 << int(Incorrect) << -2000;
    QTest::newRow("no ring in on second board") << true << 6 << int(NoRingIn) << 0;
}

void tst_Question::answersScoreTheSquare()
{
    QFETCH(bool, secondBoard);
    QFETCH(int, square);
    QFETCH(int, answer);
    QFETCH(int, change);
    startGame();
    if (secondBoard)
        finishFirstBoard();
    runtime::Form &board = secondBoard ? static_cast<runtime::Form &>(DoubleBoard::instance())
                                       : SingleBoard::instance();
    QVERIFY(board.visible());
    QLabel *scoreLabel = board.window()->findChild<QLabel *>("ScoreLabel");
    QPushButton *squareButton =
            board.window()->findChild<QPushButton *>(QStringLiteral("Command1_%1").arg(square));
    SingleBoard::instance().Score = 1000;

    click(squareButton);
    click(Question::instance().Command1(answer));
    QCOMPARE(SingleBoard::instance().Score, 1000 + change);
    QCOMPARE(scoreLabel->text(), QString::number(1000 + change));
    QCOMPARE(squareButton->text(), "");
    QVERIFY(!Question::instance().visible());
    QVERIFY(Question::instance().isLoaded());

    // A used square stays used.
    click(squareButton);
    QVERIFY(!Question::instance().visible());
}

void tst_Question::answerBlanksTheSquareOnBothBoards()
{
    startGame();
    playSquare(9, NoRingIn);
    QVERIFY(DoubleBoard::instance().isLoaded());
    QVERIFY(!DoubleBoard::instance().visible());
    QCOMPARE(DoubleBoard::instance().Command1(9)->text(), "");
    QCOMPARE(SingleBoard::instance().Command1(9)->text(), "");
}

void tst_Question::windowKeepsItsTextsWhenHidden()
{
    startGame();
    playSquare(12, Correct);
    QCOMPARE(Question::instance().caption(), "$ 600 Question");
    QCOMPARE(Question::instance().Label1()->text(), "$ 600");
    QCOMPARE(Question::instance().tag(), "12");
}

void tst_Question::activationReturnsToTheWindowActiveBefore()
{
    startGame();
    click(SingleBoard::instance().Command1(0));
    click(SingleBoard::instance().Command2()); // the board is active again, then the wager
    click(DailyDouble::instance().Command1(WagerCancel));
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &SingleBoard::instance());

    // The clue window is still up; answering it returns to the board.
    click(Question::instance().Command1(Correct));
    QCOMPARE(SingleBoard::instance().ScoreLabel()->text(), "200");
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &SingleBoard::instance());
}

void tst_Question::clickOnTheBoardActivatesItFirst()
{
    startGame();
    click(SingleBoard::instance().Command1(0));
    SingleBoard::instance().Score = 777; // changed behind the board's back
    QCOMPARE(SingleBoard::instance().ScoreLabel()->text(), "0");
    QTest::mouseClick(SingleBoard::instance().Frame1(), Qt::LeftButton);
    QCOMPARE(SingleBoard::instance().ScoreLabel()->text(), "777");
}

QTEST_MAIN(tst_Question)
#include "tst_question.moc"
