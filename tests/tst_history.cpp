// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"

#include <QContextMenuEvent>
#include <QBackingStore>
#include <QMenu>

#include <array>
#include <limits>

using namespace gametest;

namespace {

enum class Setup { FirstRound, SecondRound, LastFirstSquare, LastSecondSquare, DailyDoubleOpen };
enum class Play { Correct14, NoRingIn0, Incorrect29, WagerCorrect, WagerIncorrect, Last, EndRound };
enum class Menu { RightClick, ShiftF10, MenuKey };

Board &board()
{
    if (SingleBoard::instance().visible())
        return SingleBoard::instance();
    return DoubleBoard::instance();
}

// What the player sees: the score, each shown window's title, a board's squares and score.
QStringList picture()
{
    QStringList facts{ QString::number(SingleBoard::instance().Score) };
    for (runtime::Form *form : runtime::FormRuntime::instance().loadedForms()) {
        if (!form->visible())
            continue;
        facts << form->caption();
        if (auto *shown = dynamic_cast<Board *>(form)) {
            for (int i = 0; i < 30; ++i)
                facts.last() += '|' + shown->Command1(i)->text();
            facts << shown->ScoreLabel()->text();
        }
        if (form == &DailyDouble::instance())
            facts << QString::number(DailyDouble::instance().Command1(WagerCancel)->isVisible())
                  << DailyDouble::instance().Wager()->text();
    }
    return facts;
}

void play(int square, Answer answer)
{
    click(board().Command1(square));
    click(Question::instance().Command1(answer));
}

// Keys go to the active window. Offscreen leaves none once a menu has closed, and takes its
// time otherwise, where a desktop gives the activation to the window under the menu at once.
void activateBoard()
{
    board().window()->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), board().window());
}

// The board's menu, asked for on a widget of the board (by the keys, on the one with the focus).
QMenu *openMenu(Menu how = Menu::RightClick, QWidget *on = nullptr)
{
    if (on && how != Menu::RightClick)
        on->setFocus();
    QWidget *focus = board().window()->focusWidget();
    if (how == Menu::RightClick) {
        clickThroughWindowSystem(on ? on : board().Label1(), Qt::RightButton);
    } else if (how == Menu::ShiftF10) {
        activateBoard();
        QTest::keyClick(board().window(), Qt::Key_F10, Qt::ShiftModifier);
    } else { // the Menu key, as the window system delivers it
        QContextMenuEvent key(QContextMenuEvent::Keyboard, {}, focus->mapToGlobal(QPoint()));
        QCoreApplication::sendEvent(focus, &key);
    }
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

void press(QKeySequence::StandardKey key)
{
    activateBoard();
    QTest::keySequence(board().window(), key);
}

} // namespace

class tst_History final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void cleanup() { resetRuntime(); }

    void undoPutsBackAndRedoReplays_data();
    void undoPutsBackAndRedoReplays();
    void changesAnEarlierResult_data();
    void changesAnEarlierResult();
};

void tst_History::undoPutsBackAndRedoReplays_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("score");
    QTest::addColumn<Play>("step");
    QTest::addColumn<Menu>("menu");
    QTest::addColumn<QString>("undo");
    const int top = std::numeric_limits<std::int32_t>::max();
    const int bottom = std::numeric_limits<std::int32_t>::min();
    QTest::newRow("correct") << Setup::FirstRound << 1000 << Play::Correct14 << Menu::RightClick
                             << "Undo Correct on $ 600";
    QTest::newRow("no ring in, menu by shift+F10") << Setup::FirstRound << 1000 << Play::NoRingIn0
                                                   << Menu::ShiftF10 << "Undo No Ring In on $ 200";
    QTest::newRow("incorrect on the second board, menu by the menu key")
            << Setup::SecondRound << 1000 << Play::Incorrect29 << Menu::MenuKey
            << "Undo Incorrect on $ 2000";
    QTest::newRow("daily double correct")
            << Setup::FirstRound << 1000 << Play::WagerCorrect << Menu::RightClick
            << "Undo Daily Double Correct, $ 1500";
    QTest::newRow("daily double incorrect on the second board")
            << Setup::SecondRound << 1000 << Play::WagerIncorrect << Menu::RightClick
            << "Undo Daily Double Incorrect, $ 1500";
    QTest::newRow("last square: the second board takes over")
            << Setup::LastFirstSquare << 1000 << Play::Last << Menu::RightClick
            << "Undo Correct on $ 1000";
    QTest::newRow("first round ended early") << Setup::FirstRound << 1000 << Play::EndRound
                                             << Menu::RightClick << "Undo End This Round";
    QTest::newRow("last square: the final round begins")
            << Setup::LastSecondSquare << 1000 << Play::Last << Menu::RightClick
            << "Undo Correct on $ 2000";
    QTest::newRow("the final round begins over a daily double")
            << Setup::DailyDoubleOpen << 1000 << Play::Last << Menu::RightClick
            << "Undo Correct on $ 2000";
    QTest::newRow("second round ended early") << Setup::SecondRound << 1000 << Play::EndRound
                                              << Menu::RightClick << "Undo End This Round";
    QTest::newRow("score reaching the top") << Setup::FirstRound << top - 600 << Play::Correct14
                                            << Menu::RightClick << "Undo Correct on $ 600";
    QTest::newRow("score reaching the bottom")
            << Setup::SecondRound << bottom + 2000 << Play::Incorrect29 << Menu::RightClick
            << "Undo Incorrect on $ 2000";
    QTest::newRow("second round ended early over a daily double")
            << Setup::DailyDoubleOpen << 1000 << Play::EndRound << Menu::RightClick
            << "Undo End This Round";
}

void tst_History::undoPutsBackAndRedoReplays()
{
    QFETCH(Setup, setup);
    QFETCH(int, score);
    QFETCH(Play, step);
    QFETCH(Menu, menu);
    QFETCH(QString, undo);
    startGame();
    // The score, won or lost on a Daily Double.
    click(board().Command2());
    typeWager(QString::number(std::abs(qint64(score))));
    click(DailyDouble::instance().Command1(score < 0 ? WagerIncorrect : WagerCorrect));
    for (int square = 0; setup != Setup::FirstRound && square < 30; ++square) {
        if (setup != Setup::LastFirstSquare || square < 29)
            play(square, NoRingIn);
    }
    for (int square = 0; square < 29 && setup >= Setup::LastSecondSquare; ++square)
        play(square, NoRingIn);
    if (setup == Setup::DailyDoubleOpen) {
        click(board().Command2());
        typeWager("50");
    }
    QCOMPARE(SingleBoard::instance().Score, score);
    const QStringList before = picture();

    ModalAnswerer yes(QMessageBox::Yes);
    if (step == Play::Correct14 || step == Play::Last)
        play(step == Play::Last ? 29 : 14, Correct);
    else if (step == Play::NoRingIn0 || step == Play::Incorrect29)
        play(step == Play::NoRingIn0 ? 0 : 29, step == Play::NoRingIn0 ? NoRingIn : Incorrect);
    else if (step == Play::EndRound)
        chooseFromMenu(openMenu(), u"End This Round");
    if (step == Play::WagerCorrect || step == Play::WagerIncorrect) {
        click(board().Command2());
        typeWager("1500");
        click(DailyDouble::instance().Command1(step == Play::WagerCorrect ? WagerCorrect
                                                                          : WagerIncorrect));
    }
    QCOMPARE(yes.answered, int(step == Play::EndRound));
    const QStringList after = picture();
    QVERIFY(after != before);
    // The final wager starts empty, whatever a Daily Double left pending held; what the player
    // types there is no Daily Double's once the step is undone.
    if (DailyDouble::instance().isShown() && DailyDouble::instance().isFinalWager()) {
        QCOMPARE(DailyDouble::instance().Wager()->text(), "");
        typeWager("5");
    }

    QMenu *entries = openMenu(menu);
    QVERIFY(entries);
    const QAction *redo = entries->actions().at(gamescript::menuEntry(entries, u"Redo"));
    QCOMPARE(entries->actions().at(gamescript::menuEntry(entries, u"Undo"))->text(), undo);
    QCOMPARE(redo->text(), "Redo");
    QVERIFY(!redo->isEnabled());
    chooseFromMenu(entries, u"Undo");
    QCOMPARE(picture(), before);
    press(QKeySequence::Redo);
    QCOMPARE(picture(), after);
    press(QKeySequence::Undo);
    QCOMPARE(picture(), before);
}

void tst_History::changesAnEarlierResult_data()
{
    QTest::addColumn<bool>("secondRound");
    QTest::addColumn<Menu>("menu");
    QTest::addColumn<int>("wager"); // won before the results, for a score near its limit
    QTest::addColumn<int>("square"); // asked for on
    QTest::addColumn<Answer>("to");
    QTest::addColumn<int>("score"); // after the change; unchanged when refused
    QTest::addColumn<QString>("undo");
    const int limit = std::numeric_limits<std::int32_t>::max();
    // 600 right and 200 right: 800; square 14 changed to wrong, -600 + 200.
    QTest::newRow("right to wrong, by a right click")
            << false << Menu::RightClick << 0 << 14 << Incorrect << -400
            << "Undo Change of $ 600 to Incorrect";
    QTest::newRow("to no ring in on the second board, by the menu key")
            << true << Menu::MenuKey << 0 << 14 << NoRingIn << 400
            << "Undo Change of $ 1200 to No Ring In";
    QTest::newRow("by Shift+F10") << false << Menu::ShiftF10 << 0 << 0 << NoRingIn << 600
                                  << "Undo Change of $ 200 to No Ring In";
    // 600 wrong and 200 right under a score of limit - 400 + 600: right would carry it past.
    QTest::newRow("past the score's limit: refused")
            << false << Menu::RightClick << limit - 400 << 14 << Correct << limit - 400 - 600 + 200
            << "Undo Correct on $ 200";
    QTest::newRow("an open square offers no result")
            << false << Menu::RightClick << 0 << 20 << Correct << 800 << "Undo Correct on $ 200";
}

// A used square's result heads the board's menu; another one chosen there changes it, as one
// step of the undo history, the square staying used.
void tst_History::changesAnEarlierResult()
{
    QFETCH(bool, secondRound);
    QFETCH(Menu, menu);
    QFETCH(int, wager);
    QFETCH(int, square);
    QFETCH(Answer, to);
    QFETCH(int, score);
    QFETCH(QString, undo);
    startGame();
    if (wager > 0) {
        click(board().Command2());
        typeWager(QString::number(wager));
        click(DailyDouble::instance().Command1(WagerCorrect));
    }
    if (secondRound) {
        ModalAnswerer yes(QMessageBox::Yes);
        chooseFromMenu(openMenu(), u"End This Round");
    }
    play(14, wager > 0 ? Incorrect : Correct);
    play(0, Correct);
    const QStringList before = picture();
    ModalAnswerer refused;
    QMenu *entries = openMenu(menu, board().Command1(square));
    QVERIFY(entries);
    QAction *result = entries->actions().at(gamescript::menuEntry(entries, u"&Correct"));
    const bool used = board().Command1(square)->text().isEmpty();
    QCOMPARE(result->isVisible(), used);
    if (!used) {
        QTest::keyClick(entries, Qt::Key_Escape);
        QCOMPARE(picture(), before);
        QVERIFY(entries->backingStore()->size().isEmpty()); // closed, it keeps no pixels
        return;
    }
    QVERIFY(entries->actions().at(wager > 0 ? 2 : 0)->isChecked()); // as it stands
    chooseFromMenu(entries, std::array{ u"&Correct", u"&No Ring In", u"&Incorrect" }[to]);
    QCOMPARE(refused.answered, int(wager > 0)); // the only row near the limit
    if (refused.answered)
        QCOMPARE(refused.text,
                 "That Change Would Carry Your Score Past Its Limit. Please Choose "
                 "Another Result.");
    QCOMPARE(SingleBoard::instance().Score, score);
    QCOMPARE(board().ScoreLabel()->text(), QString::number(score));
    QVERIFY(board().Command1(square)->text().isEmpty());
    QCOMPARE(board().window()->actions().at(0)->text(), undo);
    if (refused.answered)
        return;
    const QStringList after = picture();
    press(QKeySequence::Undo);
    QCOMPARE(picture(), before);
    press(QKeySequence::Redo);
    QCOMPARE(picture(), after);
}

QTEST_MAIN(tst_History)
#include "tst_history.moc"
