// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/journal.h"
#include "storage/gamestore.h"
#include "tests/support/gametest.h"

#include <QDir>
#include <QFileInfo>

using namespace gametest;

// Runs with its games kept (tests/CMakeLists.txt); a game cut short comes back in tst_soak.
class tst_Journal final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        quietPlatformNotices();
        QDir(QFileInfo(qEnvironmentVariable("VANTOREL_TEST_RECORD")).path()).removeRecursively();
    }
    void cleanup() { resetRuntime(); }

    void gameEndsInTheRecord_data();
    void gameEndsInTheRecord();
    void problemWithTheRecordIsTold();
};

void tst_Journal::gameEndsInTheRecord_data()
{
    QTest::addColumn<bool>("finalWager");
    QTest::addColumn<storage::Ending>("ending");
    QTest::addColumn<int>("steps");
    QTest::newRow("the Final Score shows: finished, the final wager its last step")
            << true << storage::Ending::Finished << 61;
    QTest::newRow("the player ends it from a board's close box")
            << false << storage::Ending::EndedByPlayer << 30;
}

void tst_Journal::gameEndsInTheRecord()
{
    QFETCH(bool, finalWager);
    QFETCH(storage::Ending, ending);
    QFETCH(int, steps);
    startGame();
    QTRY_VERIFY(playalong::journal()->store());
    playSquare(14, Correct);
    finishFirstBoard();
    if (finalWager) {
        finishDoubleBoard();
        typeWager("600");
        click(DailyDouble::instance().Command1(WagerIncorrect));
    } else {
        ModalAnswerer yes(QMessageBox::Yes);
        DoubleBoard::instance().window()->close();
        QCOMPARE(yes.answered, 1);
    }
    const storage::GameRecord game = playalong::journal()->store()->games().front();
    QCOMPARE(game.ending, ending);
    QCOMPARE(game.score, finalWager ? 0 : 600);
    QCOMPARE(int(game.steps.size()), steps);
    QCOMPARE(game.stepsInEffect, steps);
    QCOMPARE(game.steps.back().kind,
             finalWager ? scoring::StepKind::FinalWager : scoring::StepKind::Clue);
}

void tst_Journal::problemWithTheRecordIsTold()
{
    startGame();
    QTRY_VERIFY(playalong::journal()->store());
    ModalAnswerer answerer;
    Q_EMIT playalong::journal()->store()->problemFound("The disk is full.");
    QTRY_COMPARE(answerer.answered, 1);
    QCOMPARE(answerer.title, "Vantorel");
    QCOMPARE(answerer.text, "The disk is full.");
    playSquare(0, Correct); // play goes on
    QCOMPARE(SingleBoard::instance().Score, 200);
}

QTEST_MAIN(tst_Journal)
#include "tst_journal.moc"
