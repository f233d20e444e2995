// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/gametest.h"

#include <QClipboard>
#include <QSignalSpy>

using namespace gametest;

namespace {

enum class Stage {
    FirstRound,
    ClueOpen,
    WagerOpen,
    ClueAndWagerOpen,
    SecondRoundClueOpen,
    FinalWager,
    FinalScore,
};

// Every stage starts from a score of 600.
void reach(Stage stage)
{
    startGame();
    playSquare(14, Correct);
    switch (stage) {
    case Stage::FirstRound:
        break;
    case Stage::ClueOpen:
        click(SingleBoard::instance().Command1(0));
        break;
    case Stage::WagerOpen:
        click(SingleBoard::instance().Command2());
        typeWager("50");
        break;
    case Stage::ClueAndWagerOpen:
        click(SingleBoard::instance().Command1(0));
        click(SingleBoard::instance().Command2());
        break;
    case Stage::SecondRoundClueOpen:
        finishFirstBoard();
        click(DoubleBoard::instance().Command1(0));
        break;
    case Stage::FinalWager:
    case Stage::FinalScore:
        finishFirstBoard();
        finishDoubleBoard();
        if (stage == Stage::FinalScore) {
            typeWager("0");
            click(DailyDouble::instance().Command1(WagerCorrect));
        }
        break;
    }
}

// Input as the window system stamps it, at times of the test's choosing.
void clickAt(QWidget *widget, quint64 time)
{
    const QPointF centre = QRectF(widget->rect()).center();
    for (const QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
        QMouseEvent event(type, centre, widget->mapToGlobal(centre), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        event.setTimestamp(time);
        QApplication::sendEvent(widget, &event);
    }
}

void keyAt(QEvent::Type type, quint64 time, bool markedAsRepeat = false)
{
    QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), markedAsRepeat);
    event.setTimestamp(time);
    QVERIFY(QApplication::focusWidget());
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

QStringList visibleWindows()
{
    QStringList names;
    for (runtime::Form *form : runtime::FormRuntime::instance().loadedForms()) {
        if (form->visible())
            names << form->window()->objectName();
    }
    names.sort();
    return names;
}

} // namespace

class tst_Game final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quietPlatformNotices(); }
    void cleanup() { resetRuntime(); }

    void closeBoxAtEveryStage_data();
    void closeBoxAtEveryStage();
    void hiddenWindowTakesNoClick();
    void veryLongWagerIsHeldToTenDigits_data();
    void veryLongWagerIsHeldToTenDigits();
    void messageBoxBlocksTheOtherWindows();
    void gameGoesOnAfterClosingTheClueWindow();
    void quickSecondClickNeverActsInTheWindowItOpened_data();
    void quickSecondClickNeverActsInTheWindowItOpened();
    void heldKeyNeverActsInTheWindowItOpened();
};

void tst_Game::closeBoxAtEveryStage_data()
{
    QTest::addColumn<Stage>("stage");
    QTest::addColumn<QString>("closed");
    QTest::addColumn<QStringList>("visibleAfter"); // empty: the program has ended

    const QStringList ended;
    QTest::newRow("first board ends the program") << Stage::FirstRound << "SingleBoard" << ended;
    QTest::newRow("first board under a clue ends the program")
            << Stage::ClueOpen << "SingleBoard" << ended;
    QTest::newRow("first board under a wager ends the program")
            << Stage::WagerOpen << "SingleBoard" << ended;
    QTest::newRow("clue window: the board plays on")
            << Stage::ClueOpen << "Question" << QStringList{ "SingleBoard" };
    QTest::newRow("wager window: the board plays on")
            << Stage::WagerOpen << "DailyDouble" << QStringList{ "SingleBoard" };
    QTest::newRow("clue window under a wager")
            << Stage::ClueAndWagerOpen << "Question" << QStringList{ "DailyDouble", "SingleBoard" };
    QTest::newRow("wager window over a clue")
            << Stage::ClueAndWagerOpen << "DailyDouble" << QStringList{ "Question", "SingleBoard" };
    QTest::newRow("second board ends the program")
            << Stage::SecondRoundClueOpen << "DoubleBoard" << ended;
    QTest::newRow("clue window of the second board")
            << Stage::SecondRoundClueOpen << "Question" << QStringList{ "DoubleBoard" };
    QTest::newRow("final wager stays")
            << Stage::FinalWager << "DailyDouble" << QStringList{ "DailyDouble", "DoubleBoard" };
    QTest::newRow("second board during the final wager ends the program")
            << Stage::FinalWager << "DoubleBoard" << ended;
    QTest::newRow("final score ends the program") << Stage::FinalScore << "Last" << ended;
}

void tst_Game::closeBoxAtEveryStage()
{
    QFETCH(Stage, stage);
    QFETCH(QString, closed);
    QFETCH(QStringList, visibleAfter);
    reach(stage);
    QVERIFY(formNamed(closed).visible());
    QSignalSpy ended(&runtime::FormRuntime::instance(), &runtime::FormRuntime::ended);
    ModalAnswerer endTheGame(QMessageBox::Yes); // closing a board mid-game asks first

    formNamed(closed).window()->close();
    QTest::qWait(0); // lets the runtime settle, as the event loop would

    if (visibleAfter.isEmpty()) {
        QCOMPARE(ended.count(), 1);
        QVERIFY(runtime::FormRuntime::instance().loadedForms().empty());
        return;
    }
    QCOMPARE(ended.count(), 0);
    QCOMPARE(visibleWindows(), visibleAfter);
    QCOMPARE(SingleBoard::instance().Score, 600);
    runtime::Form *active = runtime::FormRuntime::instance().activeForm();
    QVERIFY(active && active->visible());
    if (auto *score = active->window()->findChild<QLabel *>("ScoreLabel"))
        QCOMPARE(score->text(), "600");
}

void tst_Game::hiddenWindowTakesNoClick()
{
    reach(Stage::ClueOpen);
    QPushButton *correct = Question::instance().Command1(Correct);
    QTest::mouseClick(correct, Qt::LeftButton);
    QCOMPARE(SingleBoard::instance().Score, 800);
    // A second click that reaches the button after the window has gone counts for nothing.
    QTest::mouseClick(correct, Qt::LeftButton);
    QCOMPARE(SingleBoard::instance().Score, 800);
}

void tst_Game::veryLongWagerIsHeldToTenDigits_data()
{
    QTest::addColumn<bool>("pasted");
    QTest::newRow("typed") << false;
    QTest::newRow("pasted") << true;
}

void tst_Game::veryLongWagerIsHeldToTenDigits()
{
    QFETCH(bool, pasted);
    reach(Stage::WagerOpen);
    QLineEdit *wager = DailyDouble::instance().Wager();
    wager->clear();
    const QString digits(5000, u'9');
    if (pasted) {
        QApplication::clipboard()->setText(digits);
        QTest::keyClick(wager, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(wager, digits);
    }
    QCOMPARE(wager->text(), QString(10, u'9'));

    ModalAnswerer answerer;
    click(DailyDouble::instance().Command1(WagerIncorrect));
    QCOMPARE(answerer.answered, 1);
    QCOMPARE(SingleBoard::instance().Score, 600);
}

void tst_Game::messageBoxBlocksTheOtherWindows()
{
    reach(Stage::ClueAndWagerOpen);
    int clicksTried = 0;
    // While the prompt is up, try the board and the clue window, then answer it.
    QTimer::singleShot(0, this, [&clicksTried] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        clickThroughWindowSystem(SingleBoard::instance().Command1(5));
        clickThroughWindowSystem(Question::instance().Command1(Correct));
        clickThroughWindowSystem(SingleBoard::instance().Command2());
        clicksTried = 3;
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Enter);
    });
    click(DailyDouble::instance().Command1(WagerCorrect));
    QCOMPARE(clicksTried, 3);
    QCOMPARE(SingleBoard::instance().Score, 600);
    QCOMPARE(Question::instance().tag(), "0");
    QVERIFY(Question::instance().visible());
    QCOMPARE(SingleBoard::instance().Command1(0)->text(), "$ 200");

    // The same clicks without the prompt do reach the board.
    clickThroughWindowSystem(SingleBoard::instance().Command1(5));
    QCOMPARE(Question::instance().tag(), "5");
}

void tst_Game::gameGoesOnAfterClosingTheClueWindow()
{
    reach(Stage::ClueOpen);
    QVERIFY(Question::instance().window()->close());
    QVERIFY(!Question::instance().isLoaded());
    // The next square loads a fresh clue window.
    playSquare(29, Incorrect);
    QCOMPARE(SingleBoard::instance().Score, -400);
    QCOMPARE(SingleBoard::instance().ScoreLabel()->text(), "-400");
    QCOMPARE(SingleBoard::instance().Command1(0)->text(), "$ 200");
}

void tst_Game::quickSecondClickNeverActsInTheWindowItOpened_data()
{
    QTest::addColumn<int>("gap"); // ms from the square's click to the answer's; 0: untimed
    QTest::addColumn<bool>("answered");
    QTest::newRow("double click: no answer") << 100 << false;
    QTest::newRow("a moment later: answered") << 450 << true;
    QTest::newRow("software's input carries no time: answered") << 0 << true;
}

void tst_Game::quickSecondClickNeverActsInTheWindowItOpened()
{
    QFETCH(int, gap);
    QFETCH(bool, answered);
    startGame();
    const quint64 start = gap ? QTest::lastMouseTimestamp += 20000 : 0; // after any earlier click
    clickAt(SingleBoard::instance().Command1(14), start);
    clickAt(Question::instance().Command1(Correct), gap ? start + gap : 0);
    QCOMPARE(Question::instance().visible(), !answered);
    QCOMPARE(SingleBoard::instance().Score, answered ? 600 : 0);
}

// The window system repeats a held key as releases and presses stamped alike, and may leave the
// first pair unmarked.
void tst_Game::heldKeyNeverActsInTheWindowItOpened()
{
    startGame();
    QTRY_COMPARE(QApplication::focusWidget(), SingleBoard::instance().Command1(0));
    keyAt(QEvent::KeyPress, 1000);
    keyAt(QEvent::KeyRelease, 1660); // the square is pressed
    QTRY_COMPARE(QApplication::focusWidget(), Question::instance().Command1(Correct));
    keyAt(QEvent::KeyPress, 1660);
    keyAt(QEvent::KeyRelease, 1700, true);
    keyAt(QEvent::KeyPress, 1700, true);
    keyAt(QEvent::KeyRelease, 1760);
    QVERIFY(Question::instance().visible());
    QCOMPARE(SingleBoard::instance().Score, 0);
    keyAt(QEvent::KeyPress, 2500); // pressed afresh, it answers
    keyAt(QEvent::KeyRelease, 2560);
    QCOMPARE(SingleBoard::instance().Score, 200);
}

QTEST_MAIN(tst_Game)
#include "tst_game.moc"
