// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"
#include "tests/support/soak.h"

// A short run of the random player; `make soak` runs the long one.
class tst_Soak final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gametest::quietPlatformNotices(); }
    void cleanup() { gametest::resetRuntime(); }

    void randomPlayKeepsTheScoreAndTheWindows_data();
    void randomPlayKeepsTheScoreAndTheWindows();
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
          "%ld redos, %ld rounds ended early, %ld Daily Doubles pending as the final round began, "
          "%ld undone back into them, %ld activations through the board",
          totals.games, totals.finished, totals.actions, totals.boxes, totals.undos, totals.redos,
          totals.roundsEnded, totals.pendingDigitsDropped, totals.wagerBackFromFinal,
          totals.throughBoard);
    QVERIFY2(totals.failures.isEmpty(), qPrintable(totals.failures.join('\n')));
}

QTEST_MAIN(tst_Soak)
#include "tst_soak.moc"
