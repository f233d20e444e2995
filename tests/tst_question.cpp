// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"

#include <limits>

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
    void resultShowsOnTheBoardWhicheverWindowIsActive_data();
    void resultShowsOnTheBoardWhicheverWindowIsActive();
    void lettersAnswerInEitherCase_data();
    void lettersAnswerInEitherCase();
    void answerBeyondTheScoreRangeIsRefused();
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

// The other of the two windows the board owns was active before the one that records the result.
void tst_Question::resultShowsOnTheBoardWhicheverWindowIsActive_data()
{
    QTest::addColumn<int>("square");
    QTest::addColumn<bool>("byWager");
    QTest::addColumn<QString>("scoreAfter");
    QTest::newRow("clue answered over a wager") << 14 << false << "600";
    QTest::newRow("wager scored over a clue") << 14 << true << "50";
    QTest::newRow("last square answered over a wager: the round moves on") << 29 << false << "1000";
}

void tst_Question::resultShowsOnTheBoardWhicheverWindowIsActive()
{
    QFETCH(int, square);
    QFETCH(bool, byWager);
    QFETCH(QString, scoreAfter);
    startGame();
    for (int other = 0; square == 29 && other < 29; ++other)
        playSquare(other, NoRingIn);
    SingleBoard &board = SingleBoard::instance();
    DailyDouble &wager = DailyDouble::instance();
    click(board.Command1(square));
    click(board.Command2());
    typeWager("50");
    if (byWager) {
        QTest::mouseClick(Question::instance().Label1(), Qt::LeftButton); // activates it
        click(wager.Command1(WagerCorrect));
    } else {
        click(Question::instance().Command1(Correct));
    }
    QCOMPARE(board.Score, scoreAfter.toInt());
    Board &inPlay = square == 29 ? static_cast<Board &>(DoubleBoard::instance()) : board;
    QVERIFY(inPlay.visible());
    QCOMPARE(inPlay.ScoreLabel()->text(), scoreAfter);
    runtime::Form &stillOpen = byWager ? static_cast<runtime::Form &>(Question::instance()) : wager;
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &stillOpen);
}

void tst_Question::lettersAnswerInEitherCase_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("score");
    QTest::newRow("c is correct") << Qt::Key_C << Qt::KeyboardModifiers() << 600;
    QTest::newRow("shift+C is correct")
            << Qt::Key_C << Qt::KeyboardModifiers(Qt::ShiftModifier) << 600;
    QTest::newRow("shift+N is no ring in")
            << Qt::Key_N << Qt::KeyboardModifiers(Qt::ShiftModifier) << 0;
    QTest::newRow("shift+I is incorrect")
            << Qt::Key_I << Qt::KeyboardModifiers(Qt::ShiftModifier) << -600;
}

void tst_Question::lettersAnswerInEitherCase()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, score);
    startGame();
    click(SingleBoard::instance().Command1(14));
    QTRY_COMPARE(QApplication::activeWindow(), Question::instance().window());
    QTest::keyClick(Question::instance().window(), key, modifiers);
    QVERIFY(!Question::instance().visible());
    QCOMPARE(SingleBoard::instance().Score, score);
}

// Only wagers carry the score this far; the clue stays open for another answer.
void tst_Question::answerBeyondTheScoreRangeIsRefused()
{
    startGame();
    SingleBoard::instance().Score = std::numeric_limits<std::int32_t>::max() - 100;
    click(SingleBoard::instance().Command1(0));
    ModalAnswerer answerer;
    click(Question::instance().Command1(Correct));
    QCOMPARE(answerer.answered, 1);
    QCOMPARE(answerer.title, "Vantorel");
    QCOMPARE(answerer.text,
             "That Answer Would Carry Your Score Past Its Limit. Please Choose Another Answer.");
    QCOMPARE(SingleBoard::instance().Score, std::numeric_limits<std::int32_t>::max() - 100);
    QVERIFY(Question::instance().visible());
    QCOMPARE(SingleBoard::instance().Command1(0)->text(), "$ 200");
    click(Question::instance().Command1(NoRingIn));
    QCOMPARE(SingleBoard::instance().Command1(0)->text(), "");
}

QTEST_MAIN(tst_Question)
#include "tst_question.moc"
