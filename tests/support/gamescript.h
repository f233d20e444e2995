// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// One whole game as a person plays it: a Daily Double on each board, every square of the first
// board and all but the last of the second, the final wager; and on the way the additions: an
// answer undone and redone from the board's menu, the menu opened and closed, and the second
// round ended early from the menu (answering its question Yes). Each input is handed to `act`
// with what it is, and sent straight to its widget, untimed, as a window system would deliver it.

#include "windows/dailydouble.h"
#include "windows/doubleboard.h"
#include "windows/question.h"
#include "windows/singleboard.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace gamescript {

// What an input is, for the figures.
enum class Action {
    Designed, // any other input of the designed game
    FirstResult, // the game's first result, the first written to the record
    RoundChange, // the answer on the first board's last square: the second board takes over
    FinalHandOff, // the final wager scored: the Final Score window takes over
    MenuOpen, // a right click on a board
    MenuClose, // Escape in the menu
    Undo, // chosen from the menu
    Redo,
    EndRoundAsk, // "End This Round..." chosen: the question opens
    EndRoundYes, // the question answered Yes: the round ends
};
inline constexpr int actionCount = int(Action::EndRoundYes) + 1;

// Runs what an input set off: handlers, posted events, timers due now, repaints, deferred
// deletions; as the event loop does before it takes the next input.
inline void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A left click at a point of the widget (its centre by default).
inline void click(QWidget *target, QPointF at = {})
{
    if (at.isNull())
        at = QRectF(target->rect()).center();
    const QPointF global = target->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

// The pointer on its way across a widget, from one point to another (the widget's coordinates),
// as the window system reports a moving pointer: a motion at every pixel.
inline void travel(QWidget *target, QPoint from, QPoint to)
{
    const QPoint way = to - from;
    const int steps = std::max(std::abs(way.x()), std::abs(way.y()));
    for (int step = 1; step <= steps; ++step) {
        const QPointF at = QPointF(from) + QPointF(way) * step / steps;
        QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
    }
}

// The pointer comes to a menu's entry from the menu's corner, where it opened, as a person's
// does before clicking it: from Qt 6.8 on, a menu takes a click made without the pointer having
// moved since it opened for a slip, and closes.
inline void pointAtEntry(QMenu *menu, int entry)
{
    travel(menu, {}, menu->actionGeometry(menu->actions().at(entry)).center());
}

// The menu's entry whose text begins so ("Undo", "End This Round"); -1 for none.
inline int menuEntry(const QMenu *menu, QStringView begins)
{
    const QList<QAction *> entries = menu->actions();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i]->text().startsWith(begins))
            return int(i);
    }
    return -1;
}

// What a right click asks of the widget under it.
inline void rightClick(QWidget *target)
{
    const QPoint at = target->rect().center();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QCoreApplication::sendEvent(target, &menu);
}

inline void key(QWidget *target, Qt::Key key, const QString &text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

// Answers each question box Yes (a message, OK) once it has been painted, first calling
// beforeAnswer. The box runs its own event loop, inside the input that opened it.
class QuestionAnswerer final : public QObject
{
public:
    explicit QuestionAnswerer(std::function<void()> beforeAnswer = {})
        : m_beforeAnswer(std::move(beforeAnswer))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (!box || box == m_answered)
            return false;
        m_answered = box;
        // Queued, so that the painted box is flushed first.
        QTimer::singleShot(0, this, [this] {
            if (!m_answered)
                return;
            if (m_beforeAnswer)
                m_beforeAnswer();
            QAbstractButton *yes = m_answered->button(QMessageBox::Yes);
            click(yes ? yes : m_answered->defaultButton());
        });
        return false;
    }

private:
    std::function<void()> m_beforeAnswer;
    QPointer<QMessageBox> m_answered;
};

// act(Action, input) performs the input (a callable) and may time it.
template<class Act>
void playWholeGame(Act &&act)
{
    const auto clickOn = [&](Action action, QWidget *target, QPointF at = {}) {
        act(action, [=] { click(target, at); });
    };
    const auto wager = [&](const char *digits, int button, Action scored) {
        QLineEdit *box = DailyDouble::instance().Wager();
        for (const char *c = digits; *c; ++c) {
            const QString text(QChar::fromLatin1(*c));
            act(Action::Designed, [=] { key(box, Qt::Key(Qt::Key_0 + (*c - '0')), text); });
        }
        clickOn(scored, DailyDouble::instance().Command1(button));
    };
    // Correct, No Ring In and Incorrect in turn.
    const auto clue = [&](Board &board, int square, Action answer) {
        clickOn(Action::Designed, board.Command1(square));
        clickOn(answer, Question::instance().Command1(square % 3));
    };
    // The entry by the beginning of its text; Escape for none.
    const auto fromMenu = [&](Board &board, Action action, QStringView entryText) {
        QWidget *label = board.Label1();
        act(Action::MenuOpen, [=] { rightClick(label); });
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (entryText.isEmpty()) {
            act(action, [=] { key(menu, Qt::Key_Escape); });
            return;
        }
        const int entry = menuEntry(menu, entryText);
        pointAtEntry(menu, entry); // the way there is no input of the game: untimed
        settle();
        clickOn(action, menu, menu->actionGeometry(menu->actions().at(entry)).center());
    };

    SingleBoard &first = SingleBoard::instance();
    clickOn(Action::Designed, first.Command2());
    wager("500", 0, Action::FirstResult);
    for (int square = 0; square < 30; ++square) {
        clue(first, square, square == 29 ? Action::RoundChange : Action::Designed);
        if (square == 5) {
            fromMenu(first, Action::Undo, u"Undo");
            fromMenu(first, Action::Redo, u"Redo");
            fromMenu(first, Action::MenuClose, {});
        }
    }

    DoubleBoard &second = DoubleBoard::instance();
    clickOn(Action::Designed, second.Command2());
    wager("1000", 2, Action::Designed);
    for (int square = 0; square < 29; ++square)
        clue(second, square, Action::Designed);
    // The question's Yes is answered inside this input.
    fromMenu(second, Action::EndRoundAsk, u"End This Round");

    // The final wager window is up now.
    wager("2000", 0, Action::FinalHandOff);
}

} // namespace gamescript
