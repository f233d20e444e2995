// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"

#include <QSignalSpy>

using namespace gametest;

class tst_Last final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void cleanup() { resetRuntime(); }

    void wholeGameEndsOnTheFinalScore_data();
    void wholeGameEndsOnTheFinalScore();
    void emptyFinalWagerDoesNotEndTheGame();
    void closingTheFinalScoreEndsTheProgram();
};

void tst_Last::wholeGameEndsOnTheFinalScore_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("wager");
    QTest::addColumn<QString>("finalScore");
    // Before the final wager the score is 600: 200 + 1000 - 400 and a Daily Double of 500 lost
    // on the first board, 2000 - 1200 and another 500 lost on the second.
    QTest::newRow("correct") << int(WagerCorrect) << "400"
                             << "$ 1000";
    QTest::newRow("incorrect") << int(WagerIncorrect) << "400"
                               << "$ 200";
    QTest::newRow("all in, correct doubles the score") << int(WagerCorrect) << "600"
                                                       << "$ 1200";
    QTest::newRow("all in, incorrect leaves nothing") << int(WagerIncorrect) << "600"
                                                      << "$ 0";
    QTest::newRow("more than the score, incorrect goes negative") << int(WagerIncorrect) << "1400"
                                                                  << "$-800";
    QTest::newRow("nothing wagered") << int(WagerCorrect) << "0"
                                     << "$ 600";
}

void tst_Last::wholeGameEndsOnTheFinalScore()
{
    QFETCH(int, button);
    QFETCH(QString, wager);
    QFETCH(QString, finalScore);
    startGame();
    playSquare(0, Correct);
    playSquare(29, Correct);
    playSquare(6, Incorrect);
    click(SingleBoard::instance().Command2());
    typeWager("500");
    click(DailyDouble::instance().Command1(WagerIncorrect));
    finishFirstBoard();
    playDoubleSquare(24, Correct);
    playDoubleSquare(12, Incorrect);
    click(DoubleBoard::instance().Command2());
    typeWager("500");
    click(DailyDouble::instance().Command1(WagerIncorrect));
    finishDoubleBoard();
    QCOMPARE(SingleBoard::instance().Score, 600);

    QSignalSpy ended(&runtime::FormRuntime::instance(), &runtime::FormRuntime::ended);
    typeWager(wager);
    click(DailyDouble::instance().Command1(button));

    Last &last = Last::instance();
    QVERIFY(last.visible());
    QCOMPARE(last.caption(), "Final Score");
    QCOMPARE(last.Label1()->text(), "Final Score:");
    QCOMPARE(last.Label2()->text(), finalScore);
    const std::vector<runtime::Form *> loaded = runtime::FormRuntime::instance().loadedForms();
    QCOMPARE(loaded, std::vector<runtime::Form *>{ &last });
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &last);
    QTest::qWait(0);
    QCOMPARE(ended.count(), 0);
    QCOMPARE(QApplication::topLevelWidgets().count(), 1);
}

void tst_Last::emptyFinalWagerDoesNotEndTheGame()
{
    startGame();
    finishFirstBoard();
    finishDoubleBoard();
    ModalAnswerer answerer;
    click(DailyDouble::instance().Command1(WagerCorrect));
    QCOMPARE(answerer.answered, 1);
    QCOMPARE(answerer.text, "Please Enter A Wager or Cancel.");
    QVERIFY(!Last::instance().isLoaded());
    QVERIFY(DailyDouble::instance().visible());
    QCOMPARE(DailyDouble::instance().caption(), "Final Vantorel");
}

void tst_Last::closingTheFinalScoreEndsTheProgram()
{
    startGame();
    finishFirstBoard();
    finishDoubleBoard();
    typeWager("0");
    click(DailyDouble::instance().Command1(WagerIncorrect));
    QSignalSpy ended(&runtime::FormRuntime::instance(), &runtime::FormRuntime::ended);
    QVERIFY(Last::instance().window()->close());
    QCOMPARE(ended.count(), 1);
    QVERIFY(runtime::FormRuntime::instance().loadedForms().empty());
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(tst_Last)
#include "tst_last.moc"
