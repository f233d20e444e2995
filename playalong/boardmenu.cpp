// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/boardmenu.h"

#include "layouts/identity.h"
#include "playalong/history.h"
#include "playalong/journal.h"
#include "playalong/playalong.h"
#include "runtime/form.h"
#include "runtime/formruntime.h"
#include "runtime/loader.h"
#include "runtime/modal.h"
#include "windows/board.h"
#include "windows/question.h"
#include "windows/singleboard.h"
#include "windows/texts.h"

#include <QActionGroup>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include <optional>
#include <utility>

namespace playalong {
namespace {

// The undo and redo actions of one window, their keys working while it is active.
void addUndoKeys(QWidget *window, QUndoStack &stack)
{
    QAction *undo = stack.createUndoAction(window);
    undo->setShortcuts(QKeySequence::Undo);
    QAction *redo = stack.createRedoAction(window);
    // Linux desktops bind Redo to Ctrl+Shift+Z alone; players bring Ctrl+Y from elsewhere.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (const QKeySequence ctrlY(Qt::CTRL | Qt::Key_Y); !redoKeys.contains(ctrlY))
        redoKeys.append(ctrlY);
    redo->setShortcuts(redoKeys);
    window->addActions({ undo, redo });
}

void askToEndRound(Board &board, History &history)
{
    const auto open = int(board.openSquares().count());
    if (open == 0)
        return;
    const QString squares = open == 1 ? QStringLiteral("The 1 square still open")
                                      : QStringLiteral("The %1 squares still open").arg(open);
    const QString prompt =
            QStringLiteral("End this round? %1 will be marked as played, and your score stays %2.")
                    .arg(squares, texts::amountText(SingleBoard::instance().Score));
    if (runtime::questionBox(prompt, texts::messageTitle()))
        history.endRound();
}

void showAbout()
{
    const QString title = runtime::toQString(layouts::identity.title);
    runtime::messageBox(QStringLiteral("%1\nVersion %2\n\nA scorekeeper for playing along at "
                                       "home with a televised board-and-clue quiz show.")
                                .arg(title, runtime::toQString(layouts::identity.version)),
                        QStringLiteral("About %1").arg(title));
}

void refuseChange()
{
    runtime::messageBox(QStringLiteral("That Change Would Carry Your Score Past Its Limit. "
                                       "Please Choose Another Result."),
                        texts::messageTitle());
}

// Made the first time it is asked for and kept with the board: an action chosen from it may
// open a modal box while the menu is still finishing. It begins with the result of the square
// it was asked for on, when that square was answered; each entry holds the step to change.
QMenu *boardMenu(Board &board, PlayAlong &playAlong)
{
    History &history = playAlong.history();
    QWidget *window = board.window();
    if (auto *menu = window->findChild<QMenu *>(QString(), Qt::FindDirectChildrenOnly))
        return menu;
    auto *menu = new QMenu(window);
    runtime::givePixelsBackWhenHidden(*menu);
    auto *results = new QActionGroup(menu);
    for (const auto &[text, outcome] :
         { std::pair(QStringLiteral("&Correct"), scoring::Outcome::Correct),
           std::pair(QStringLiteral("&No Ring In"), scoring::Outcome::NoRingIn),
           std::pair(QStringLiteral("&Incorrect"), scoring::Outcome::Incorrect) }) {
        QAction *entry = menu->addAction(text);
        entry->setCheckable(true);
        results->addAction(entry);
        QObject::connect(entry, &QAction::triggered, menu, [&history, entry, result = outcome] {
            if (!history.change(entry->data().toInt(), result, 0))
                refuseChange();
        });
    }
    menu->addSeparator();
    menu->addActions(window->actions()); // undo and redo
    menu->addSeparator();
    QAction *endRound = menu->addAction(QStringLiteral("End This Round..."), menu,
                                        [&board, &history] { askToEndRound(board, history); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("This Game's Results..."), menu,
                    [&playAlong] { playAlong.showResults(); });
    QAction *yourGames = menu->addAction(QStringLiteral("Your Games..."), menu,
                                         [&playAlong] { playAlong.showYourGames(); });
    menu->addAction(QStringLiteral("About %1").arg(runtime::toQString(layouts::identity.title)),
                    menu, &showAbout);
    QObject::connect(menu, &QMenu::aboutToShow, endRound,
                     [&board, &playAlong, endRound, yourGames] {
                         endRound->setEnabled(board.openSquares().any());
                         yourGames->setEnabled(playAlong.canShowYourGames());
                     });
    return menu;
}

// The square of the board a widget is, if any.
std::optional<int> squareOf(Board &board, const QWidget *widget)
{
    for (int i = 0; widget && i < scoring::squareCount; ++i) {
        if (board.Command1(i) == widget)
            return i;
    }
    return std::nullopt;
}

// Asked for on a square answered on this board, the menu begins with its result.
void showResultOn(QMenu *menu, Board &board, const History &history, std::optional<int> square)
{
    const scoring::Round round =
            &board == &SingleBoard::instance() ? scoring::Round::First : scoring::Round::Second;
    const auto result = square && board.Command1(*square)->text().isEmpty()
            ? history.game().resultOn(round, *square)
            : std::nullopt;
    const QList<QAction *> entries = menu->actions().first(4);
    for (QAction *entry : entries) {
        entry->setVisible(result.has_value());
        entry->setData(result ? result->index : -1);
    }
    if (result)
        entries.at(int(result->step.outcome))->setChecked(true);
}

void popUp(Board &board, PlayAlong &playAlong, const QPoint &at, const QWidget *on)
{
    // The click that asked for it may have handed the board's round over already.
    if (!board.isShown())
        return;
    // The menu is input to the board: it becomes the active window first, as on any click.
    if (runtime::FormRuntime::instance().activeForm() != &board)
        board.show();
    QMenu *menu = boardMenu(board, playAlong);
    showResultOn(menu, board, playAlong.history(), squareOf(board, on));
    menu->popup(at);
}

// Opened from the keyboard, the menu stands at the control that has the focus.
QPoint focusPoint(const QWidget *focus)
{
    return focus->mapToGlobal(focus->rect().center());
}

void addBoardMenu(Board &board, PlayAlong &playAlong)
{
    QWidget *window = board.window();
    addUndoKeys(window, playAlong.history().stack());
    window->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(window, &QWidget::customContextMenuRequested, &playAlong,
                     [&board, &playAlong, window](const QPoint &position) {
                         popUp(board, playAlong, window->mapToGlobal(position),
                               window->childAt(position));
                     });
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), window);
    QObject::connect(menuKey, &QShortcut::activated, &playAlong, [&board, &playAlong, window] {
        const QWidget *focus = window->focusWidget() ? window->focusWidget() : window;
        popUp(board, playAlong, focusPoint(focus), focus);
    });
}

} // namespace

void installBoardMenu(PlayAlong &playAlong)
{
    QObject::connect(&runtime::FormRuntime::instance(), &runtime::FormRuntime::loaded, &playAlong,
                     [&playAlong](runtime::Form &form) {
                         if (auto *board = dynamic_cast<Board *>(&form))
                             addBoardMenu(*board, playAlong);
                         else if (dynamic_cast<Question *>(&form))
                             addUndoKeys(form.window(), playAlong.history().stack());
                     });
}

} // namespace playalong
