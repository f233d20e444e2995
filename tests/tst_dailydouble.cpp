// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"

#include <QClipboard>
#include <QTestEventList>

using namespace gametest;

namespace {

const QString emptyWagerPrompt = QStringLiteral("Please Enter A Wager or Cancel.");

void openWager()
{
    startGame();
    click(SingleBoard::instance().Command2());
    QTRY_COMPARE(QApplication::focusWidget(), DailyDouble::instance().Wager());
}

} // namespace

class tst_DailyDouble final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void cleanup() { resetRuntime(); }

    void onlyDigitsAndBackspaceType_data();
    void onlyDigitsAndBackspaceType();
    void wagerIsScored_data();
    void wagerIsScored();
    void emptyWagerPrompts_data();
    void emptyWagerPrompts();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void wagerBeyondTheScoreRangeIsRefused_data();
    void wagerBeyondTheScoreRangeIsRefused();
    void pastedTextMustBeDigits_data();
    void pastedTextMustBeDigits();
    void wagerHoldsTenDigits();
};

void tst_DailyDouble::onlyDigitsAndBackspaceType_data()
{
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("text");

    QTestEventList letters;
    letters.addKeyClicks("1a2B");
    QTest::newRow("letters are swallowed") << letters << "12";

    QTestEventList signs;
    signs.addKeyClicks("-5.0,1 ");
    QTest::newRow("sign, separators and space are swallowed") << signs << "501";

    QTestEventList enter;
    enter.addKeyClicks("42");
    enter.addKeyClick(Qt::Key_Return);
    enter.addKeyClick(Qt::Key_Enter);
    QTest::newRow("enter does nothing") << enter << "42";

    QTestEventList backspace;
    backspace.addKeyClicks("123");
    backspace.addKeyClick(Qt::Key_Backspace);
    backspace.addKeyClicks("9");
    QTest::newRow("backspace erases") << backspace << "129";

    QTestEventList editing;
    editing.addKeyClicks("123");
    editing.addKeyClick(Qt::Key_Left);
    editing.addKeyClick(Qt::Key_Left);
    editing.addKeyClick(Qt::Key_Delete);
    editing.addKeyClick(Qt::Key_Home);
    editing.addKeyClicks("7");
    QTest::newRow("arrows and delete edit as usual") << editing << "713";
}

void tst_DailyDouble::onlyDigitsAndBackspaceType()
{
    QFETCH(QTestEventList, keys);
    QFETCH(QString, text);
    openWager();
    keys.simulate(DailyDouble::instance().Wager());
    QCOMPARE(DailyDouble::instance().Wager()->text(), text);
    QVERIFY(DailyDouble::instance().visible());
}

void tst_DailyDouble::wagerIsScored_data()
{
    QTest::addColumn<bool>("secondBoard");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("wager");
    QTest::addColumn<int>("scoreAfter");
    QTest::newRow("correct on the first board") << false << int(WagerCorrect) << "500" << 1500;
    QTest::newRow("incorrect on the first board") << false << int(WagerIncorrect) << "500" << 500;
    QTest::newRow("leading zeros in wager") << false << int(WagerCorrect) << "007" << 1007;
    QTest::newRow("zero wager changes nothing") << false << int(WagerCorrect) << "0" << 1000;
    QTest::newRow("wager larger than the score") << false << int(WagerIncorrect) << "3000" << -2000;
    QTest::newRow("second board adds the wager, not double")
            << true << int(WagerCorrect) << "500" << 1500;
    QTest::newRow("second board subtracts the wager")
            << true << int(WagerIncorrect) << "500" << 500;
}

void tst_DailyDouble::wagerIsScored()
{
    QFETCH(bool, secondBoard);
    QFETCH(int, button);
    QFETCH(QString, wager);
    QFETCH(int, scoreAfter);
    startGame();
    if (secondBoard)
        finishFirstBoard();
    SingleBoard::instance().Score = 1000;
    runtime::Form &board = secondBoard ? static_cast<runtime::Form &>(DoubleBoard::instance())
                                       : SingleBoard::instance();
    click(board.window()->findChild<QPushButton *>("Command2"));
    DailyDouble &window = DailyDouble::instance();
    QCOMPARE(window.caption(), "Daily Double");
    QVERIFY(!window.Command1(WagerCancel)->isHidden());

    typeWager(wager);
    click(window.Command1(button));
    QCOMPARE(SingleBoard::instance().Score, scoreAfter);
    QCOMPARE(board.window()->findChild<QLabel *>("ScoreLabel")->text(),
             QString::number(scoreAfter));
    QVERIFY(!window.visible());
    QCOMPARE(window.Wager()->text(), "");
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &board);
}

void tst_DailyDouble::emptyWagerPrompts_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("correct") << int(WagerCorrect);
    QTest::newRow("incorrect") << int(WagerIncorrect);
}

void tst_DailyDouble::emptyWagerPrompts()
{
    QFETCH(int, button);
    openWager();
    SingleBoard::instance().Score = 300;
    ModalAnswerer answerer;
    click(DailyDouble::instance().Command1(button));
    QCOMPARE(answerer.answered, 1);
    QCOMPARE(answerer.title, "Vantorel");
    QCOMPARE(answerer.text, emptyWagerPrompt);
    QCOMPARE(answerer.icon, QMessageBox::NoIcon);
    QCOMPARE(answerer.buttonCount, 1);
    QCOMPARE(SingleBoard::instance().Score, 300);
    QVERIFY(DailyDouble::instance().visible());
    QTRY_COMPARE(QApplication::focusWidget(), DailyDouble::instance().Wager());

    // Another try works.
    typeWager("100");
    click(DailyDouble::instance().Command1(button));
    QCOMPARE(answerer.answered, 1);
    QCOMPARE(SingleBoard::instance().Score, button == WagerCorrect ? 400 : 200);
}

void tst_DailyDouble::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("wager");
    QTest::newRow("empty") << "";
    QTest::newRow("filled") << "900";
}

void tst_DailyDouble::cancelChangesNothing()
{
    QFETCH(QString, wager);
    openWager();
    typeWager(wager);
    click(DailyDouble::instance().Command1(WagerCancel));
    QCOMPARE(SingleBoard::instance().Score, 0);
    QVERIFY(!DailyDouble::instance().visible());
    QCOMPARE(DailyDouble::instance().Wager()->text(), "");

    click(SingleBoard::instance().Command2());
    QCOMPARE(DailyDouble::instance().Wager()->text(), "");
}

void tst_DailyDouble::wagerBeyondTheScoreRangeIsRefused_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("wager");
    QTest::addColumn<QString>("corrected");
    QTest::addColumn<int>("scoreAfter");
    constexpr int highest = std::numeric_limits<std::int32_t>::max();
    constexpr int lowest = std::numeric_limits<std::int32_t>::min();
    QTest::newRow("one past the highest score") << highest - 10 << int(WagerCorrect) << "11"
                                                << "10" << highest;
    QTest::newRow("one past the lowest score") << lowest + 10 << int(WagerIncorrect) << "11"
                                               << "10" << lowest;
    QTest::newRow("ten nines from zero") << 0 << int(WagerCorrect) << "9999999999"
                                         << "2147483647" << highest;
}

void tst_DailyDouble::wagerBeyondTheScoreRangeIsRefused()
{
    QFETCH(int, score);
    QFETCH(int, button);
    QFETCH(QString, wager);
    QFETCH(QString, corrected);
    QFETCH(int, scoreAfter);
    openWager();
    SingleBoard::instance().Score = score;
    typeWager(wager);
    ModalAnswerer answerer;
    click(DailyDouble::instance().Command1(button));
    QCOMPARE(answerer.answered, 1);
    QCOMPARE(answerer.title, "Vantorel");
    QCOMPARE(answerer.text, "That Wager Is Too Large. Please Enter A Smaller Wager.");
    QCOMPARE(SingleBoard::instance().Score, score);
    QVERIFY(DailyDouble::instance().visible());
    QCOMPARE(DailyDouble::instance().Wager()->text(), wager);
    QTRY_COMPARE(QApplication::focusWidget(), DailyDouble::instance().Wager());

    // Corrected to reach the edge exactly, the wager is taken.
    DailyDouble::instance().Wager()->selectAll();
    typeWager(corrected);
    click(DailyDouble::instance().Command1(button));
    QCOMPARE(answerer.answered, 1);
    QVERIFY(!DailyDouble::instance().visible());
    QCOMPARE(SingleBoard::instance().Score, scoreAfter);
}

void tst_DailyDouble::pastedTextMustBeDigits_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("text");
    QTest::newRow("digits are taken") << "250"
                                      << "1250";
    QTest::newRow("letters are refused whole") << "2a5"
                                               << "1";
    QTest::newRow("a negative amount is refused") << "-250"
                                                  << "1";
    QTest::newRow("a decimal amount is refused") << "2.5"
                                                 << "1";
    QTest::newRow("whitespace is refused") << " 25\n"
                                           << "1";
    QTest::newRow("a backspace code is refused") << QStringLiteral("2\b5") << "1";
    QTest::newRow("letters past the length limit are refused whole") << "123456789x"
                                                                     << "1";
}

void tst_DailyDouble::pastedTextMustBeDigits()
{
    QFETCH(QString, pasted);
    QFETCH(QString, text);
    openWager();
    typeWager("1");
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(DailyDouble::instance().Wager(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(DailyDouble::instance().Wager()->text(), text);
}

void tst_DailyDouble::wagerHoldsTenDigits()
{
    openWager();
    typeWager("123456789012");
    QCOMPARE(DailyDouble::instance().Wager()->text(), "1234567890");
}

QTEST_MAIN(tst_DailyDouble)
#include "tst_dailydouble.moc"
