// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"

#include <QSignalSpy>

using namespace gametest;

class tst_CloseQuestion final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void cleanup() { resetRuntime(); }

    void closingABoardMidGameAsksFirst_data();
    void closingABoardMidGameAsksFirst();
};

void tst_CloseQuestion::closingABoardMidGameAsksFirst_data()
{
    QTest::addColumn<bool>("result");
    QTest::addColumn<QMessageBox::StandardButton>("answer"); // NoButton: Enter
    QTest::newRow("no result yet: no question") << false << QMessageBox::NoButton;
    QTest::newRow("no: play goes on") << true << QMessageBox::No;
    QTest::newRow("enter: play goes on") << true << QMessageBox::NoButton;
    QTest::newRow("yes: the program ends") << true << QMessageBox::Yes;
}

void tst_CloseQuestion::closingABoardMidGameAsksFirst()
{
    QFETCH(bool, result);
    QFETCH(QMessageBox::StandardButton, answer);
    startGame();
    if (result)
        playSquare(14, Correct);
    click(SingleBoard::instance().Command1(0)); // a clue open as well
    QSignalSpy ended(&runtime::FormRuntime::instance(), &runtime::FormRuntime::ended);

    ModalAnswerer answerer(answer);
    SingleBoard::instance().window()->close();
    QTest::qWait(0);
    QCOMPARE(answerer.answered, int(result));
    const bool goesOn = result && answer != QMessageBox::Yes;
    QCOMPARE(ended.count(), int(!goesOn));
    if (!result)
        return;
    QCOMPARE(answerer.text, "End this game here, with your score of $ 600?");
    QCOMPARE(answerer.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(answerer.defaultButton, QMessageBox::No);
    if (goesOn) {
        QVERIFY(SingleBoard::instance().window()->isVisible());
        QVERIFY(Question::instance().visible());
        QCOMPARE(Question::instance().caption(), "$ 200 Question");
        QCOMPARE(SingleBoard::instance().ScoreLabel()->text(), "600");
    }
}

QTEST_MAIN(tst_CloseQuestion)
#include "tst_closequestion.moc"
