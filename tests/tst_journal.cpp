// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/journal.h"
#include "storage/gamestore.h"
#include "tests/support/gametest.h"

#include <QTemporaryDir>

#include <optional>

using namespace gametest;

// Its games are kept, each test's in a record of its own; a game cut short comes back in
// tst_soak.
class tst_Journal final : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_folder;

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void init()
    {
        m_folder.emplace();
        keepGamesIn(m_folder->filePath("games.sqlite"));
    }
    void cleanup()
    {
        resetRuntime();
        keepGamesIn();
        m_folder.reset();
    }

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
    storage::GameStore *store = nullptr;
    QTRY_VERIFY(store = playAlong().journal()->store());
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
    QVERIFY(store->waitForWritten());
    const storage::GameRecord game = storage::Record(store->path()).games().games.front();
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
    QTRY_VERIFY(playAlong().journal()->store());
    ModalAnswerer answerer;
    Q_EMIT playAlong().journal()->store()->problemFound("The disk is full.");
    QTRY_COMPARE(answerer.answered, 1);
    QCOMPARE(answerer.title, "Vantorel");
    QCOMPARE(answerer.text, "The disk is full.");
    playSquare(0, Correct); // play goes on
    QCOMPARE(SingleBoard::instance().Score, 200);
}

QTEST_MAIN(tst_Journal)
#include "tst_journal.moc"
