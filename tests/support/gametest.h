// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// Shared by the widget tests: a clean runtime for every test, real clicks on the windows'
// controls, and the answering of the modal message box.

#include "playalong/playalong.h"
#include "record/yourgames.h"
#include "runtime/formruntime.h"
#include "windows/dailydouble.h"
#include "windows/doubleboard.h"
#include "windows/last.h"
#include "windows/question.h"
#include "tests/support/gamescript.h"
#include "windows/singleboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace gametest {

// The tests play the program as main starts it, with every addition made; games are kept only
// where a test asks for it, each time in a record of its own.
inline std::unique_ptr<playalong::PlayAlong> additions;

inline playalong::PlayAlong &playAlong()
{
    return *additions;
}

// Makes the additions afresh, keeping games at recordPath (none without one).
inline playalong::PlayAlong &keepGamesIn(const QString &recordPath = {})
{
    additions.reset();
    additions = std::make_unique<playalong::PlayAlong>(recordPath, &record::showYourGames);
    return *additions;
}

} // namespace gametest

// Before the application goes: the additions close their record.
static void makeAdditions()
{
    gametest::keepGamesIn();
    qAddPostRoutine([] { gametest::additions.reset(); });
}
Q_COREAPP_STARTUP_FUNCTION(makeAdditions)

namespace gametest {

using Answer = Question::Answer;
using enum Question::Answer;
inline constexpr DailyDouble::Button WagerCorrect = DailyDouble::Correct;
inline constexpr DailyDouble::Button WagerCancel = DailyDouble::Cancel;
inline constexpr DailyDouble::Button WagerIncorrect = DailyDouble::Incorrect;

// Unloads every window and drops every window object, so the next test starts from a fresh
// program; then proves that no widget was left behind.
inline void resetRuntime()
{
    runtime::FormRuntime::instance().reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

inline void click(QAbstractButton *button)
{
    QVERIFY(button);
    QVERIFY2(button->isVisible(), qPrintable(button->objectName() + " is not visible"));
    QTest::mouseClick(button, Qt::LeftButton);
}

// A window by its class name.
inline runtime::Form &formNamed(const QString &name)
{
    if (name == u"SingleBoard")
        return SingleBoard::instance();
    if (name == u"DoubleBoard")
        return DoubleBoard::instance();
    if (name == u"Question")
        return Question::instance();
    if (name == u"DailyDouble")
        return DailyDouble::instance();
    return Last::instance();
}

// A click as the window system delivers it, so that a modal window can block it (and a right
// click opens a context menu). A window never shown has nothing to click.
inline void clickThroughWindowSystem(QWidget *widget, Qt::MouseButton button = Qt::LeftButton)
{
    QWidget *top = widget->window();
    if (QWindow *handle = top->windowHandle())
        QTest::mouseClick(handle, button, {}, widget->mapTo(top, widget->rect().center()));
}

// Clicks a menu's entry, by the beginning of its text, the pointer brought to it first. A
// disabled entry leaves the menu open: Escape closes it.
inline void chooseFromMenu(QMenu *menu, QStringView entryText)
{
    QVERIFY(menu);
    const int entry = gamescript::menuEntry(menu, entryText);
    gamescript::pointAtEntry(menu, entry);
    QTest::mouseClick(menu, Qt::LeftButton, {},
                      menu->actionGeometry(menu->actions().at(entry)).center());
    if (QApplication::activePopupWidget() == menu)
        QTest::keyClick(menu, Qt::Key_Escape);
}

inline void startGame()
{
    SingleBoard::instance().show();
}

inline void playSquare(int square, Answer answer)
{
    click(SingleBoard::instance().Command1(square));
    click(Question::instance().Command1(answer));
}

inline void playDoubleSquare(int square, Answer answer)
{
    click(DoubleBoard::instance().Command1(square));
    click(Question::instance().Command1(answer));
}

// Plays every open square of the first board with No Ring In, ending the first round.
inline void finishFirstBoard()
{
    for (int square = 0; square < 30; ++square) {
        if (SingleBoard::instance().isShown()
            && !SingleBoard::instance().Command1(square)->text().isEmpty())
            playSquare(square, NoRingIn);
    }
}

inline void finishDoubleBoard()
{
    for (int square = 0; square < 30; ++square) {
        if (!DoubleBoard::instance().Command1(square)->text().isEmpty())
            playDoubleSquare(square, NoRingIn);
    }
}

inline void typeWager(const QString &digits)
{
    QLineEdit *wager = DailyDouble::instance().Wager();
    QVERIFY(wager);
    QTest::keyClicks(wager, digits);
}

// Answers the next application-modal message box with Enter, the way a person dismisses it,
// or by clicking the given button, and records what it said.
class ModalAnswerer final : public QObject
{
public:
    explicit ModalAnswerer(QMessageBox::StandardButton click = QMessageBox::NoButton)
        : m_click(click)
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::answer);
        m_timer.start();
    }

    int answered = 0;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QAbstractButton *>::size_type buttonCount = 0;
    Qt::WindowModality modality = Qt::NonModal;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool buttonIcons = false; // any button with an icon
    bool selectableText = false; // or laid out as a text document

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        ++answered;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttonCount = box->buttons().size();
        modality = box->windowModality();
        buttons = box->standardButtons();
        defaultButton = box->standardButton(box->defaultButton());
        selectableText = box->textInteractionFlags() != Qt::NoTextInteraction
                || box->findChild<QTextDocument *>();
        for (const QAbstractButton *button : box->buttons())
            buttonIcons |= !button->icon().isNull();
        if (QAbstractButton *button = box->button(m_click))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            QTest::keyClick(box, Qt::Key_Enter);
    }

    QMessageBox::StandardButton m_click;
    QTimer m_timer;
};

} // namespace gametest

namespace gametest::detail {

// The offscreen platform announces every window operation it lacks (raise, size hints);
// those notices say nothing about the program. Everything else is passed on.
inline QtMessageHandler previousHandler = nullptr;

inline void quietPlatformNotices(QtMsgType type, const QMessageLogContext &context,
                                 const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace gametest::detail

namespace gametest {

// Call from initTestCase(), after the test library has installed its own message handler.
inline void quietPlatformNotices()
{
    detail::previousHandler = qInstallMessageHandler(detail::quietPlatformNotices);
}

} // namespace gametest
