// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/placement.h"

#include "layouts/layout.h"
#include "runtime/form.h"
#include "runtime/loader.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace runtime {
namespace {

// A frame moved as little as it takes to lie wholly inside the available area; one too large
// for it keeps its top-left corner, and so its title bar, inside.
QRect keptInside(QRect frame, const QRect &available)
{
    frame.moveLeft(std::min(frame.left(), available.left() + available.width() - frame.width()));
    frame.moveTop(std::min(frame.top(), available.top() + available.height() - frame.height()));
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    return frame;
}

// The window's frame; until the window system has framed it, that of another window of ours in
// view stands in for it.
QMargins frameMargins(const QWindow &window)
{
    QMargins margins = window.frameMargins();
    const QWindowList others = QGuiApplication::topLevelWindows();
    for (auto it = others.crbegin(); margins.isNull() && it != others.crend(); ++it)
        if ((*it)->isVisible())
            margins = (*it)->frameMargins();
    return margins;
}

void keepOnScreen(QWidget &window)
{
    const QRect frame = window.geometry().marginsAdded(frameMargins(*window.windowHandle()));
    const QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = window.screen();
    const QRect kept = keptInside(frame, screen->availableGeometry());
    if (kept != frame)
        window.setGeometry(window.geometry().translated(kept.topLeft() - frame.topLeft()));
}

// Keeps a window on the screen at each exposure until one shows it framed. The first exposure
// need not: a window manager that starts after the window opened frames it later, and until
// then its frame's size is a guess.
class KeptOnScreenUntilFramed final : public QObject
{
public:
    static void watch(QWidget &window)
    {
        // A window shown again before it was ever framed is watched once.
        delete window.findChild<QObject *>(name, Qt::FindDirectChildrenOnly);
        new KeptOnScreenUntilFramed(window);
    }

    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        QWindow *handle = m_window.windowHandle();
        if (event->type() != QEvent::Expose || !handle->isExposed())
            return false;
        keepOnScreen(m_window);
        if (!handle->frameMargins().isNull()) {
            handle->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    static constexpr QLatin1String name{ "keptOnScreenUntilFramed" };

    explicit KeptOnScreenUntilFramed(QWidget &window) : QObject(&window), m_window(window)
    {
        setObjectName(name);
        window.windowHandle()->installEventFilter(this);
    }

    QWidget &m_window;
};

} // namespace

void showCentred(QWidget &window, const QWidget *near)
{
    const QScreen *screen = near ? near->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    QRect client({}, window.sizeHint().boundedTo(available.size() * 0.9));
    client.moveCenter(available.center());
    window.setGeometry(client);
    window.winId(); // its native window, to watch for its frame
    KeptOnScreenUntilFramed::watch(window);
    window.show();
}

// A board shown beside the board in play takes its place, and an owned window keeps its designed
// offset from the board's client area; any other window opens at its stored place. (A window
// without a stored place has the window system's.)
void Placement::opening(Form &form, Form *board)
{
    const layouts::WindowLayout &layout = form.layout();
    if (layout.startUpPosition != layouts::StartUpPosition::Manual)
        return;
    QWidget *window = form.window();
    QPoint client = window->geometry().topLeft();
    if (board && board != &form) {
        const QPoint boardClient = board->window()->geometry().topLeft();
        if (layout.role == layouts::WindowRole::Board)
            client = boardClient;
        else if (layout.role == layouts::WindowRole::OwnedByBoard)
            client = boardClient
                    + QPoint(toPixels(layout.clientLeft) - toPixels(board->layout().clientLeft),
                             toPixels(layout.clientTop) - toPixels(board->layout().clientTop));
    }
    window->setGeometry(QRect(client, window->size()));
    keepOnScreen(*window);
    KeptOnScreenUntilFramed::watch(*window);
}

// The window system reads a window's owner as the window is mapped, so one in view is mapped
// again for a new owner.
void Placement::updateOwners(std::span<Form *const> forms, Form *board)
{
    QWindow *owner = board ? board->window()->windowHandle() : nullptr;
    for (Form *form : forms) {
        QWidget *window = form->isLoaded() ? form->window() : nullptr;
        if (!window || !window->windowHandle()
            || form->layout().role != layouts::WindowRole::OwnedByBoard
            || window->windowHandle()->transientParent() == owner)
            continue;
        window->windowHandle()->setTransientParent(owner);
        if (window->isVisible()) {
            window->hide();
            window->show();
            window->setAttribute(Qt::WA_KeyboardFocusChange);
        }
    }
}

} // namespace runtime
