// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QStyleOption>

using namespace gametest;

namespace {

QAccessibleInterface *accessible(QWidget *widget)
{
    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(widget);
    if (!interface)
        qWarning("no accessible interface for %s", qPrintable(widget->objectName()));
    return interface;
}

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *interface = accessible(widget);
    return interface ? interface->text(QAccessible::Name) : QStringLiteral("<none>");
}

// Keys go where a person's keys go: to the widget that has the focus.
void press(Qt::Key key)
{
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key);
}

void typeDigits(const QString &digits)
{
    for (const QChar digit : digits) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, digit.toLatin1());
    }
}

// The control holds the focus and shows its mark: the style draws it only while the window
// shows keyboard focus.
void focusMarkedOn(QWidget *control)
{
    QTRY_COMPARE(QApplication::focusWidget(), control);
    QStyleOption option;
    option.initFrom(control);
    QVERIFY(option.state.testFlag(QStyle::State_KeyboardFocusChange));
}

void tabTo(QWidget *target)
{
    for (int step = 0; step < 40 && QApplication::focusWidget() != target; ++step)
        press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), target);
}

} // namespace

class tst_Accessibility final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { resetRuntime(); }

    void namesThroughAFirstRound();
    void secondBoardSquaresReadDoubled();
    void fixedNames_data();
    void fixedNames();
    void squarePressedThroughTheScreenReader();
    void clueAndDailyDoubleFromTheKeyboard();
    void screenReaderPressActsAsAClick();
    void focusIsMarkedAndTheClueOpensOnCorrect();
};

void tst_Accessibility::initTestCase()
{
    quietPlatformNotices();
    QAccessible::setActive(true);
}

// Every square, in board order, with the three answers in turn: what a listener hears of the
// square before and after, and of the score after each answer. The captions stay as drawn.
void tst_Accessibility::namesThroughAFirstRound()
{
    startGame();
    SingleBoard &board = SingleBoard::instance();
    QCOMPARE(accessibleName(board.ScoreLabel()), "Current score: $ 0");
    int score = 0;
    for (int square = 0; square < 30; ++square) {
        const int row = square / 6 + 1;
        const int column = square % 6 + 1;
        const int value = 200 * row;
        const QString place = QStringLiteral(", row %1, column %2").arg(row).arg(column);
        QPushButton *button = board.Command1(square);
        QCOMPARE(accessibleName(button), QStringLiteral("$ %1").arg(value) + place);
        QCOMPARE(button->text(), QStringLiteral("$ %1").arg(value));

        const auto answer = Answer(square % 3);
        playSquare(square, answer);
        score += answer == Correct ? value : answer == Incorrect ? -value : 0;
        if (square == 29)
            break; // the first board has given way to the second
        QCOMPARE(accessibleName(button), "Played" + place);
        QCOMPARE(button->text(), "");
        QCOMPARE(accessibleName(board.ScoreLabel()),
                 QStringLiteral("Current score: $ %1").arg(score));
        QCOMPARE(board.ScoreLabel()->text(), QString::number(score));
    }
    QTRY_VERIFY(DoubleBoard::instance().visible());
    QCOMPARE(accessibleName(DoubleBoard::instance().ScoreLabel()),
             QStringLiteral("Current score: $ %1").arg(score));
}

void tst_Accessibility::secondBoardSquaresReadDoubled()
{
    startGame();
    finishFirstBoard();
    DoubleBoard &board = DoubleBoard::instance();
    QTRY_VERIFY(board.visible());
    QCOMPARE(accessibleName(board.Command1(14)), "$ 1200, row 3, column 3");
    playDoubleSquare(14, Correct);
    QCOMPARE(accessibleName(board.Command1(14)), "Played, row 3, column 3");
    QCOMPARE(accessibleName(board.ScoreLabel()), "Current score: $ 1200");
    QCOMPARE(accessibleName(board.Command1(29)), "$ 2000, row 5, column 6");
}

void tst_Accessibility::fixedNames_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    QTest::newRow("wager box: what goes in it, not its empty text")
            << "DailyDouble"
            << "Wager"
            << "Wager in dollars" << int(QAccessible::EditableText);
    QTest::newRow("captioned button reads its caption") << "Question"
                                                        << "Command1_2"
                                                        << "Incorrect" << int(QAccessible::Button);
    QTest::newRow("daily double button") << "SingleBoard"
                                         << "Command2"
                                         << "Daily Double" << int(QAccessible::Button);
    QTest::newRow("label reads its caption") << "DailyDouble"
                                             << "Label1"
                                             << "Wager: $" << int(QAccessible::StaticText);
    QTest::newRow("final score caption") << "Last"
                                         << "Label1"
                                         << "Final Score:" << int(QAccessible::StaticText);
}

void tst_Accessibility::fixedNames()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    runtime::Form &form = window == "DailyDouble"
            ? static_cast<runtime::Form &>(DailyDouble::instance())
            : window == "Question"    ? Question::instance()
            : window == "SingleBoard" ? static_cast<runtime::Form &>(SingleBoard::instance())
                                      : Last::instance();
    QWidget *widget = form.window()->findChild<QWidget *>(control);
    QVERIFY(widget);
    QAccessibleInterface *interface = accessible(widget);
    QVERIFY(interface);
    QCOMPARE(interface->text(QAccessible::Name), name);
    QCOMPARE(int(interface->role()), role);
}

// A screen reader presses a button through its action, not with the mouse.
void tst_Accessibility::squarePressedThroughTheScreenReader()
{
    startGame();
    QAccessibleInterface *square = accessible(SingleBoard::instance().Command1(7));
    QVERIFY(square && square->actionInterface());
    QVERIFY(square->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
    square->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(Question::instance().isShown());
    QCOMPARE(Question::instance().Label1()->text(), "$ 400");
    QCOMPARE(Question::instance().tag(), "7");
}

void tst_Accessibility::clueAndDailyDoubleFromTheKeyboard()
{
    startGame();
    SingleBoard &board = SingleBoard::instance();
    QTRY_COMPARE(QApplication::activeWindow(), board.window());
    QCOMPARE(QApplication::focusWidget(), board.Command1(0));

    // A clue: Tab to the square, Space opens the clue window with Correct in focus.
    tabTo(board.Command1(14));
    press(Qt::Key_Space);
    Question &question = Question::instance();
    QTRY_COMPARE(QApplication::activeWindow(), question.window());
    QCOMPARE(QApplication::focusWidget(), question.Command1(Correct));
    press(Qt::Key_Space);
    QVERIFY(!question.visible());
    QCOMPARE(board.Score, 600);
    QTRY_COMPARE(QApplication::activeWindow(), board.window());
    QCOMPARE(QApplication::focusWidget(), board.Command1(14));

    // A Daily Double: the wager box takes the digits, Tab reaches Incorrect.
    tabTo(board.Command2());
    press(Qt::Key_Space);
    DailyDouble &wager = DailyDouble::instance();
    QTRY_COMPARE(QApplication::activeWindow(), wager.window());
    QCOMPARE(QApplication::focusWidget(), wager.Wager());
    typeDigits("450");
    QCOMPARE(wager.Wager()->text(), "450");
    tabTo(wager.Command1(WagerIncorrect));
    press(Qt::Key_Space);
    QVERIFY(!wager.visible());
    QCOMPARE(board.Score, 150);
    QTRY_COMPARE(QApplication::activeWindow(), board.window());
    QCOMPARE(QApplication::focusWidget(), board.Command2());

    // The next clue from where the focus was left.
    tabTo(board.Command1(3));
    press(Qt::Key_Space);
    QTRY_COMPARE(QApplication::activeWindow(), question.window());
    QCOMPARE(QApplication::focusWidget(), question.Command1(Correct));
    tabTo(question.Command1(NoRingIn));
    press(Qt::Key_Space);
    QCOMPARE(board.Score, 150);
    QCOMPARE(board.Command1(3)->text(), "");
    QTRY_COMPARE(QApplication::focusWidget(), board.Command1(3));
}

void tst_Accessibility::screenReaderPressActsAsAClick()
{
    const auto pressAction = QAccessibleActionInterface::pressAction();
    startGame();
    SingleBoard &board = SingleBoard::instance();
    click(board.Command1(0));
    board.Score = 50; // shown once the board is activated again
    // Pressed at once, after the board's activation, as by a click.
    accessible(board.Command1(5))->actionInterface()->doAction(pressAction);
    QCOMPARE(board.ScoreLabel()->text(), "50");
    QCOMPARE(Question::instance().tag(), "5");
    // The spent first board is out of view: its Daily Double cannot be pressed.
    finishFirstBoard();
    QTRY_VERIFY(DoubleBoard::instance().visible());
    accessible(board.Command2())->actionInterface()->doAction(pressAction);
    QVERIFY(!DailyDouble::instance().isLoaded());
}

void tst_Accessibility::focusIsMarkedAndTheClueOpensOnCorrect()
{
    startGame();
    SingleBoard &board = SingleBoard::instance();
    Question &question = Question::instance();
    focusMarkedOn(board.Command1(0));
    click(board.Command1(14)); // by mouse
    focusMarkedOn(question.Command1(Correct));
    // "Space, Tab, Tab, Space" is Incorrect every time: the next clue opens on Correct again.
    tabTo(question.Command1(Incorrect));
    press(Qt::Key_Space);
    focusMarkedOn(board.Command1(14));
    tabTo(board.Command1(15));
    press(Qt::Key_Space);
    focusMarkedOn(question.Command1(Correct));
    press(Qt::Key_Space);
    finishFirstBoard();
    focusMarkedOn(DoubleBoard::instance().Command2());
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
