// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"
#include "tests/support/killtest.h"
#include "tests/support/soakplayer.h"

#include <QTemporaryDir>

// A short run of the random player; `make soak` runs the long one.
class tst_Soak final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gametest::quietPlatformNotices(); }
    void cleanup() { gametest::resetRuntime(); }

    void randomPlayKeepsTheScoreAndTheWindows_data();
    void randomPlayKeepsTheScoreAndTheWindows();
    void killedAtAnyMomentLosesNothing_data();
    void killedAtAnyMomentLosesNothing();
    void recordIsCheckedAgainstTheScreen_data();
    void recordIsCheckedAgainstTheScreen();
};

void tst_Soak::randomPlayKeepsTheScoreAndTheWindows_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("games");
    for (quint32 seed : { 1u, 2u, 3u, 4u })
        QTest::addRow("seed %u", seed) << seed << 8;
}

void tst_Soak::randomPlayKeepsTheScoreAndTheWindows()
{
    QFETCH(quint32, seed);
    QFETCH(int, games);
    soak::Totals totals;
    soak::Player player(seed);
    for (int game = 0; game < games; ++game)
        player.playGame(600, totals);
    qInfo("%ld games, %ld reached the Final Score, %ld actions, %ld message boxes, %ld undos, "
          "%ld redos, %ld rounds ended early, %ld results changed (%ld refused)",
          totals.games, totals.finished, totals.actions, totals.boxes, totals.undos, totals.redos,
          totals.roundsEnded, totals.changes, totals.changesRefused);
    QVERIFY2(totals.failures.isEmpty(), qPrintable(totals.failures.join('\n')));
}

// Each life of the program is killed once it has shown as many states as its row says, and a
// few milliseconds later; each life after the first is offered the game the last one left.
void tst_Soak::killedAtAnyMomentLosesNothing_data()
{
    QTest::addColumn<QList<int>>("actions");
    QTest::addColumn<QList<int>>("delaysMs");
    QTest::addColumn<bool>("faults"); // the disk failing now and then
    QTest::addColumn<bool>("terminate"); // as the desktop session ends, rather than killed
    QTest::newRow("as it starts, before and after the record opens")
            << QList<int>{ 0, 0, 0 } << QList<int>{ 20, 150, 60 } << false << false;
    QTest::newRow("right after a result")
            << QList<int>{ 4, 9, 30 } << QList<int>{ 0, 0, 0 } << false << false;
    QTest::newRow("while an action is handled")
            << QList<int>{ 25, 60, 12 } << QList<int>{ 1, 2, 1 } << false << false;
    QTest::newRow("deep into a game, and just after it is put back")
            << QList<int>{ 150, 1, 150, 0, 150 } << QList<int>{ 2, 0, 3, 5, 1 } << false << false;
    QTest::newRow("terminated as a session ends, all kept")
            << QList<int>{ 30, 2, 60 } << QList<int>{ 0, 0, 1 } << false << true;
    QTest::newRow("on a disk that fails now and then")
            << QList<int>{ 40, 80, 20, 120 } << QList<int>{ 0, 1, 2, 0 } << true << false;
}

void tst_Soak::killedAtAnyMomentLosesNothing()
{
    QFETCH(QList<int>, actions);
    QFETCH(QList<int>, delaysMs);
    QFETCH(bool, faults);
    QFETCH(bool, terminate);
    // On the disk the player's data would be on, not a memory file system.
    QTemporaryDir folder(QDir::currentPath() + "/kills-XXXXXX");
    soak::KillTest test(VANTOREL_SOAK, folder.path(), qHash(QTest::currentDataTag()));
    for (qsizetype life = 0; life < actions.size(); ++life) {
        const QString failure = test.live(actions[life], delaysMs[life], faults, terminate);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
}

// The kill test's own judgement, on a record made here and a life's output written out: what it
// must let pass, and a loss it must find.
void tst_Soak::recordIsCheckedAgainstTheScreen_data()
{
    using scoring::Step;
    const Step first{ scoring::StepKind::Clue, scoring::Round::First, scoring::Outcome::Correct, 1,
                      200 };
    const Step second{ scoring::StepKind::Clue, scoring::Round::First, scoring::Outcome::Incorrect,
                       7, 400 };
    const Step third{ scoring::StepKind::Clue, scoring::Round::First, scoring::Outcome::NoRingIn,
                      13, 600 };
    const soak::Recorded one{ { first }, 1 };
    const soak::Recorded undone{ { first }, 0 };
    const soak::Recorded two{ { first, second }, 2 };
    const soak::Recorded three{ { first, second, third }, 3 };
    QTest::addColumn<QList<soak::Recorded>>("kept"); // handed to the record, and written
    QTest::addColumn<QList<soak::Recorded>>("shown"); // each state handed over as it showed
    QTest::addColumn<int>("said"); // the last change the record said was on disk
    QTest::addColumn<bool>("lost");
    QTest::newRow("its one result undone, killed while redoing it: nothing listed, nothing lost")
            << QList{ one, undone } << QList{ one, undone, one } << 2 << false;
    QTest::newRow("one move behind the screen") << QList{ one } << QList{ one, two } << 1 << false;
    QTest::newRow("results it said were on disk, missing")
            << QList{ one } << QList{ one, two, three } << 3 << true;
    QTest::newRow("every result it said was on disk, missing")
            << QList<soak::Recorded>{} << QList{ one, two, three } << 3 << true;
}

void tst_Soak::recordIsCheckedAgainstTheScreen()
{
    QFETCH(QList<soak::Recorded>, kept);
    QFETCH(QList<soak::Recorded>, shown);
    QFETCH(int, said);
    QFETCH(bool, lost);
    QTemporaryDir folder;
    {
        storage::GameStore store(folder.filePath("games.sqlite"));
        for (const soak::Recorded &game : kept)
            store.keep(game.steps, game.inEffect);
        QVERIFY(store.waitForWritten());
    }
    QByteArray output = "LOOKED\nSTATE 0 0\nKEPT " + QByteArray::number(said) + '\n';
    for (qsizetype state = 0; state < shown.size(); ++state)
        output += QStringLiteral("STATE %1 %2\n")
                          .arg(state + 1)
                          .arg(soak::encode(shown[state]))
                          .toUtf8();
    soak::KillTest test(VANTOREL_SOAK, folder.path(), 1);
    const QString failure = test.check(output);
    QCOMPARE(failure.startsWith("results lost or changed"), lost);
    if (!lost)
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

QTEST_MAIN(tst_Soak)
#include "tst_soak.moc"
