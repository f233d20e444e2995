// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/resultslist.h"
#include "tests/support/gametest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTableView>

using namespace gametest;

namespace {

playalong::ResultsList *openResults()
{
    clickThroughWindowSystem(SingleBoard::instance().Label1(), Qt::RightButton);
    chooseFromMenu(qobject_cast<QMenu *>(QApplication::activePopupWidget()),
                   u"This Game's Results");
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *list = qobject_cast<playalong::ResultsList *>(top); list && list->isVisible())
            return list;
    }
    return nullptr;
}

// The list's rows as text: round, row, column, value, result, Daily Double, wager.
QStringList rows(const QTableView *table)
{
    QStringList rows;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->model()->columnCount(); ++column)
            cells << table->model()->index(row, column).data().toString();
        rows << cells.join('|');
    }
    return rows;
}

// Edits a cell from the keyboard, as F2 does, and gives it the answer or the digits.
void change(QTableView *table, int row, int column, const QString &to)
{
    QCoreApplication::sendPostedEvents(); // the list's showing of the last change
    table->setCurrentIndex(table->model()->index(row, column));
    QTest::keyClick(table, Qt::Key_F2);
    QWidget *editor = nullptr;
    for (QWidget *child : table->viewport()->findChildren<QWidget *>())
        editor = child->isVisible() ? child : editor;
    if (auto *answers = qobject_cast<QComboBox *>(editor)) {
        answers->setCurrentIndex(answers->findText(to));
        Q_EMIT answers->activated(answers->currentIndex());
    } else {
        auto *digits = qobject_cast<QLineEdit *>(editor);
        QVERIFY(digits);
        digits->selectAll();
        QTest::keyClicks(digits, to);
        QTest::keyClick(digits, Qt::Key_Return);
    }
}

} // namespace

class tst_ResultsList final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void cleanup()
    {
        keepGamesIn();
        resetRuntime();
    }

    void listsAndChangesEveryResult();
};

// Through both boards, each change one step of the game: the score and the list follow it,
// and so do undo and the end of the game.
void tst_ResultsList::listsAndChangesEveryResult()
{
    startGame();
    click(SingleBoard::instance().Command2());
    typeWager("1500");
    click(DailyDouble::instance().Command1(WagerCorrect));
    playSquare(3, NoRingIn); // the Daily Double's square
    playSquare(14, Correct);
    playalong::ResultsList *list = openResults();
    QVERIFY(list);
    QTableView *table = list->table();
    QTRY_COMPARE(rows(table),
                 (QStringList{ "First||||Correct|yes|$ 1500", "First|1|4|$ 200|No Ring In||",
                               "First|3|3|$ 600|Correct||" }));
    QCOMPARE(table->horizontalScrollBar()->maximum(), 0); // every column in view
    change(table, 2, 4, "Incorrect"); // 1500 - 600
    QCOMPARE(SingleBoard::instance().Score, 900);
    change(table, 0, 6, "700"); // 700 - 600, once the edit closes
    QTRY_COMPARE(SingleBoard::instance().Score, 100);
    change(table, 0, 4, "Incorrect"); // -700 - 600
    QTRY_COMPARE(rows(table).first(), "First||||Incorrect|yes|$ 700");
    QCOMPARE(SingleBoard::instance().ScoreLabel()->text(), "-1300");
    QVERIFY(!SingleBoard::instance().window()->actions().at(0)->text().isEmpty());
    QTest::keySequence(SingleBoard::instance().window(), QKeySequence::Undo);
    QTRY_COMPARE(rows(table).first(), "First||||Correct|yes|$ 700");
    { // a wager past what the score can hold is refused, the list as it was
        ModalAnswerer refused;
        change(table, 0, 6, "9999999999");
        QTRY_COMPARE(refused.answered, 1);
        QCOMPARE(SingleBoard::instance().Score, 100);
    }
    // The game over, its results are changed from Your Games only.
    const QPointer<QWidget> open = list;
    ModalAnswerer yes(QMessageBox::Yes);
    for (Board *board : { static_cast<Board *>(&SingleBoard::instance()),
                          static_cast<Board *>(&DoubleBoard::instance()) }) {
        clickThroughWindowSystem(board->Label1(), Qt::RightButton);
        chooseFromMenu(qobject_cast<QMenu *>(QApplication::activePopupWidget()), u"End This Round");
    }
    typeWager("0");
    click(DailyDouble::instance().Command1(WagerCorrect));
    QVERIFY(Last::instance().isShown());
    QTRY_VERIFY(!open);
}

QTEST_MAIN(tst_ResultsList)
#include "tst_resultslist.moc"
