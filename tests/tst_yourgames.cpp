// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/history.h"
#include "playalong/journal.h"
#include "playalong/resultslist.h"
#include "record/gamesmodel.h"
#include "storage/gamestore.h"
#include "tests/support/gametest.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>

using namespace gametest;
using scoring::Outcome;
using scoring::Round;
using scoring::StepKind;

namespace {

// Games kept before the program starts: a clue right, and a Daily Double right on $ 9600.
void keepGames(const QString &record)
{
    storage::GameStore store(record);
    for (const std::int64_t amount : { 1000, 9600, 200 }) {
        const scoring::Step step = amount == 9600
                ? scoring::Step{ StepKind::DailyDouble, Round::First, Outcome::Correct, -1, amount }
                : scoring::Step{ StepKind::Clue, Round::First, Outcome::Correct, 29, amount };
        store.keep({ step }, 1);
        store.endGame(storage::Ending::Finished);
    }
}

QWidget *openYourGames()
{
    startGame();
    if (!QTest::qWaitFor([] { return playAlong().journal()->store() != nullptr; }))
        return nullptr;
    clickThroughWindowSystem(SingleBoard::instance().Label1(), Qt::RightButton);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    chooseFromMenu(menu, u"Your Games...");
    QWidget *window = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        window = top->objectName() == "YourGames" && top->isVisible() ? top : window;
    // It shows at once and reads the record in the background.
    if (!window || !QTest::qWaitFor([window] { return window->property("loaded").toBool(); }))
        return nullptr;
    return window;
}

QPushButton *button(QWidget *window, const QString &text)
{
    for (QPushButton *button : window->findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

QPushButton *forgetThisGame(QWidget *window)
{
    return button(window, "&Forget This Game...");
}

// The column's values from top to bottom, as the table sorts them.
QVariantList column(QTableView *table, int column)
{
    QVariantList values;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        values << table->model()->index(row, column).data(Qt::UserRole);
    return values;
}

} // namespace

// Its games are kept, each test's in a record of its own.
class tst_YourGames final : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_folder;

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void init()
    {
        m_folder.emplace();
        const QString record = m_folder->filePath("games.sqlite");
        keepGames(record);
        keepGamesIn(record);
    }
    void cleanup()
    {
        keepGamesIn(); // its Your Games window closes with its record
        resetRuntime();
        m_folder.reset();
    }

    void sortsEveryColumnByValue_data();
    void sortsEveryColumnByValue();
    void followsTheGameUnderWay();
    void updatesTheNewestGamesInTheirRows_data();
    void updatesTheNewestGamesInTheirRows();
    void leavesTheGameAnotherCopyPlays();
    void changesAResultOfAGameKept();
    void forgetsAGameAfterAsking_data();
    void forgetsAGameAfterAsking();
    void keyboardMovesAsInAnyDialog_data();
    void keyboardMovesAsInAnyDialog();
    void exportsToTheNameTyped_data();
    void exportsToTheNameTyped();
    void fitsTheScreen();
};

void tst_YourGames::sortsEveryColumnByValue_data()
{
    QTest::addColumn<int>("column");
    QTest::newRow("played: newest first, as it opens") << 0;
    QTest::newRow("score: $ 9600 above $ 1000, not below it") << 2;
    QTest::newRow("clue score") << 3;
}

void tst_YourGames::sortsEveryColumnByValue()
{
    QFETCH(int, column);
    QWidget *window = openYourGames();
    QVERIFY(window);
    auto *table = window->findChild<QTableView *>();
    QVERIFY(table->model()->rowCount() >= 3);
    if (column != 0)
        QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          { table->horizontalHeader()->sectionViewportPosition(column) + 4, 4 });
    const QVariantList values = ::column(table, column);
    const bool descending = table->horizontalHeader()->sortIndicatorOrder() == Qt::DescendingOrder;
    for (qsizetype i = 1; i < values.size(); ++i)
        QVERIFY2(QVariant::compare(values[i - 1], values[i])
                         != (descending ? QPartialOrdering::Less : QPartialOrdering::Greater),
                 qPrintable(values[i - 1].toString() + " then " + values[i].toString()));
}

void tst_YourGames::followsTheGameUnderWay()
{
    QWidget *window = openYourGames();
    QVERIFY(window);
    auto *table = window->findChild<QTableView *>();
    playSquare(14, Correct);
    QTRY_COMPARE(table->model()->index(0, 1).data().toString(), "in progress");
    QCOMPARE(table->model()->index(0, 2).data().toString(), "$ 600");
    table->setCurrentIndex(table->model()->index(0, 0));
    QVERIFY(!forgetThisGame(window)->isEnabled());

    // Its end comes from its row in the record, read again alone: numbered there, and its last
    // result in it though the row had not followed that result yet.
    playSquare(13, Incorrect);
    playAlong().history().endGame();
    QTRY_COMPARE(table->model()->index(0, 1).data().toString(), "ended early");
    QCOMPARE(table->model()->rowCount(), 4);
    QCOMPARE(table->model()->index(0, 2).data().toString(), "$ 0");
    QVERIFY(forgetThisGame(window)->isEnabled());
    click(button(window, "&Results..."));
    const QWidgetList tops = QApplication::topLevelWidgets();
    QVERIFY(std::any_of(tops.cbegin(), tops.cend(), [](QWidget *top) {
        return qobject_cast<playalong::ResultsList *>(top) && top->isVisible();
    }));
}

void tst_YourGames::updatesTheNewestGamesInTheirRows_data()
{
    using storage::Ending;
    using storage::GameRow;
    using storage::PlayedBy;
    QTest::addColumn<std::vector<GameRow>>("read");
    QTest::addColumn<bool>("inPlace");
    const GameRow mine{ 3, 300, 0, Ending::EndedByPlayer, PlayedBy::Nobody, {} };
    QTest::newRow("the game played here, numbered by the record") << std::vector{ mine } << true;
    QTest::newRow("a game begun since: read all again")
            << std::vector{ mine, GameRow{ 4, 400, 0, Ending::Finished, PlayedBy::Nobody, {} } }
            << false;
    QTest::newRow("the game gone (no result left in effect): read all again")
            << std::vector<GameRow>{} << false;
    QTest::newRow("another game, begun later: read all again")
            << std::vector{ GameRow{ 7, 350, 0, Ending::Finished, PlayedBy::Nobody, {} } } << false;
}

void tst_YourGames::updatesTheNewestGamesInTheirRows()
{
    QFETCH(std::vector<storage::GameRow>, read);
    QFETCH(bool, inPlace);
    using storage::Ending;
    using storage::PlayedBy;
    record::GamesModel model;
    model.setGames({ { 1, 100, 0, Ending::Finished, PlayedBy::Nobody, {} },
                     { 2, 200, 0, Ending::Finished, PlayedBy::Nobody, {} } });
    // Begun here: not yet numbered.
    model.setCurrent({ 0, 300, 0, Ending::InProgress, PlayedBy::ThisCopy, {} });
    model.letGoOfCurrent();
    QCOMPARE(model.updateNewest(300, read), inPlace);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.games().back().id, inPlace ? 3 : 0);
    QCOMPARE(record::GamesModel::text(*model.gameAt(0), record::GamesModel::Ended),
             inPlace ? "ended early" : "not finished");
    QVERIFY(!model.hasCurrent());
}

void tst_YourGames::leavesTheGameAnotherCopyPlays()
{
    storage::GameStore other(m_folder->filePath("games.sqlite"));
    other.keep({ { StepKind::Clue, Round::First, Outcome::Incorrect, 3, 200 } }, 1);
    QVERIFY(other.waitForWritten());
    QWidget *window = openYourGames();
    QVERIFY(window);
    auto *table = window->findChild<QTableView *>();
    QCOMPARE(table->model()->index(0, 1).data().toString(), "being played");
    table->setCurrentIndex(table->model()->index(0, 0));
    QVERIFY(!forgetThisGame(window)->isEnabled());
    QVERIFY(forgetThisGame(window)->toolTip().contains("another copy"));
}

// The game of $ 1000 (square 29 right) after the game: wrong, it is a game of $-1000 in the
// record and in the list.
void tst_YourGames::changesAResultOfAGameKept()
{
    QWidget *window = openYourGames();
    QVERIFY(window);
    auto *table = window->findChild<QTableView *>();
    table->sortByColumn(2, Qt::DescendingOrder); // by score: $ 9600, $ 1000, $ 200
    table->setCurrentIndex(table->model()->index(1, 0));
    click(button(window, "&Results..."));
    playalong::ResultsList *list = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        list = qobject_cast<playalong::ResultsList *>(top)
                ? qobject_cast<playalong::ResultsList *>(top)
                : list;
    QVERIFY(list);
    QTRY_COMPARE(list->table()->model()->rowCount(), 1);
    QTRY_COMPARE(list->table()->horizontalScrollBar()->maximum(), 0); // every column in view
    QVERIFY(list->table()->model()->setData(list->table()->model()->index(0, 4),
                                            int(Outcome::Incorrect), Qt::EditRole));
    storage::GameStore *store = playAlong().journal()->store();
    QVERIFY(store->waitForWritten());
    const std::vector<storage::GameRecord> games = storage::Record(store->path()).games().games;
    QVERIFY(std::any_of(games.begin(), games.end(), [](const auto &game) {
        return game.score == -1000 && game.ending == storage::Ending::Finished;
    }));
    QTRY_COMPARE(column(table, 2).last(), QVariant(qint64(-1000)));
}

void tst_YourGames::forgetsAGameAfterAsking_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("no keeps it") << QMessageBox::No;
    QTest::newRow("yes forgets it") << QMessageBox::Yes;
}

void tst_YourGames::forgetsAGameAfterAsking()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QWidget *window = openYourGames();
    QVERIFY(window);
    auto *table = window->findChild<QTableView *>();
    const int games = table->model()->rowCount();
    table->setCurrentIndex(table->model()->index(games - 1, 0));
    ModalAnswerer answerer(answer);
    click(forgetThisGame(window));
    QCOMPARE(answerer.answered, 1);
    QVERIFY(answerer.text.startsWith("Forget the game played "));
    QCOMPARE(answerer.defaultButton, QMessageBox::No);
    const int left = games - int(answer == QMessageBox::Yes);
    storage::GameStore *store = playAlong().journal()->store();
    QVERIFY(store->waitForWritten());
    QTRY_COMPARE(table->model()->rowCount(), left);
    QCOMPARE(int(storage::Record(store->path()).games().games.size()), left);
    // The question was Your Games': it is the active window again, not the board.
    QTRY_COMPARE(QApplication::activeWindow(), window);
}

void tst_YourGames::keyboardMovesAsInAnyDialog_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("leavesTheTable");
    QTest::newRow("Tab leaves the table for the buttons")
            << int(Qt::Key_Tab) << Qt::KeyboardModifiers() << true;
    QTest::newRow("Shift+Tab too")
            << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
    QTest::newRow("Ctrl+Tab too") << int(Qt::Key_Tab) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                  << true;
    QTest::newRow("an arrow moves inside it")
            << int(Qt::Key_Down) << Qt::KeyboardModifiers() << false;
}

void tst_YourGames::keyboardMovesAsInAnyDialog()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, leavesTheTable);
    QWidget *window = openYourGames();
    QVERIFY(window);
    auto *table = window->findChild<QTableView *>();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    table->setFocus();
    table->setCurrentIndex(table->model()->index(0, 0));
    QTRY_VERIFY(table->hasFocus());
    QTest::keyClick(table, Qt::Key(key), modifiers);
    QCOMPARE(!table->hasFocus(), leavesTheTable);
    if (leavesTheTable)
        QVERIFY(qobject_cast<QAbstractButton *>(QApplication::focusWidget()));
    else
        QCOMPARE(table->currentIndex(), table->model()->index(1, 0));
}

void tst_YourGames::exportsToTheNameTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("a name without a suffix gets .csv") << "games"
                                                       << "games.csv";
    QTest::newRow("a name with its own keeps it") << "games.txt"
                                                  << "games.txt";
}

void tst_YourGames::exportsToTheNameTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QWidget *window = openYourGames();
    QVERIFY(window);
    QTimer typist;
    typist.setInterval(10);
    connect(&typist, &QTimer::timeout, this, [&] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            // Typed into its name box, which selectFile() leaves alone while it has the focus.
            dialog->setDirectory(m_folder->path());
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(typed);
            static_cast<QDialog *>(dialog)->accept(); // as OK does
        }
    });
    typist.start();
    QPushButton *exportAll = button(window, "&Export...");
    click(exportAll);
    typist.stop();
    QTRY_VERIFY(exportAll->isEnabled()); // written away from the windows
    QFile file(m_folder->filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readLine().startsWith("started,round,row,column"));
    QCOMPARE(QFileInfo::exists(m_folder->filePath(typed)), typed == written);
}

// On every screen, small ones scaled by 1.5 too, the list keeps eight rows and every column in
// sight, within the screen; the charts give way when they must, at the player's choice.
void tst_YourGames::fitsTheScreen()
{
    QWidget *window = openYourGames();
    QVERIFY(window);
    auto *table = window->findChild<QTableView *>();
    auto *charts = window->findChild<QCheckBox *>();
    QVERIFY(charts);
    const QRect screen = window->screen()->availableGeometry();
    const bool smallScreen = !charts->isChecked();
    for (int turn = 0; turn < 3; ++turn) {
        QTRY_VERIFY2(screen.contains(window->frameGeometry()),
                     qPrintable(QStringLiteral("%1x%2 at %3,%4 on %5x%6")
                                        .arg(window->width())
                                        .arg(window->height())
                                        .arg(window->x())
                                        .arg(window->y())
                                        .arg(screen.width())
                                        .arg(screen.height())));
        // Only a screen too small for both has the charts take the list's place.
        QCOMPARE(table->isVisible(), !smallScreen || !charts->isChecked());
        if (table->isVisible()) {
            QVERIFY(table->viewport()->height()
                    >= 8 * table->verticalHeader()->defaultSectionSize());
            QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
        }
        charts->click();
    }
}

QTEST_MAIN(tst_YourGames)
#include "tst_yourgames.moc"
