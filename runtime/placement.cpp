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

// Keeps a window wholly on its screen once its frame is known: at its first exposure.
class KeptOnScreenWhenFramed final : public QObject
{
public:
    explicit KeptOnScreenWhenFramed(QWidget &window) : QObject(&window), m_window(window)
    {
        window.windowHandle()->installEventFilter(this);
    }

    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && m_window.windowHandle()->isExposed()) {
            const QRect frame =
                    m_window.geometry().marginsAdded(m_window.windowHandle()->frameMargins());
            const QRect kept = keptInside(frame, m_window.screen()->availableGeometry());
            if (kept != frame)
                m_window.setGeometry(
                        m_window.geometry().translated(kept.topLeft() - frame.topLeft()));
            deleteLater();
        }
        return false;
    }

private:
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
    new KeptOnScreenWhenFramed(window);
    window.show();
}

// A board shown beside the board in play takes its place, and an owned window keeps its designed
// offset from the board's client area; any other window opens at its stored place. (A window
// without a stored place has the window system's.)
void Placement::opening(Form &form, Form *board, std::span<Form *const> shown)
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
    keepOnScreen(form, shown);
    forget(form);
    m_awaitingFrame.push_back(&form);
}

void Placement::exposed(const QObject *window, std::span<Form *const> shown)
{
    const auto framed =
            std::find_if(m_awaitingFrame.begin(), m_awaitingFrame.end(),
                         [window](Form *form) { return form->window()->windowHandle() == window; });
    if (framed == m_awaitingFrame.end())
        return;
    Form *form = *framed;
    m_awaitingFrame.erase(framed);
    keepOnScreen(*form, shown);
}

void Placement::forget(const Form &form)
{
    std::erase(m_awaitingFrame, &form);
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

// The frame is known once the window system has framed the window; until then the frame of
// another window in view stands in for it.
void Placement::keepOnScreen(Form &form, std::span<Form *const> shown)
{
    QWidget *window = form.window();
    QMargins margins = window->windowHandle()->frameMargins();
    for (auto it = shown.rbegin(); margins.isNull() && it != shown.rend(); ++it)
        margins = (*it)->window()->windowHandle()->frameMargins();
    const QRect frame = window->geometry().marginsAdded(margins);
    const QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = window->screen();
    const QRect kept = keptInside(frame, screen->availableGeometry());
    if (kept != frame)
        window->setGeometry(window->geometry().translated(kept.topLeft() - frame.topLeft()));
}

} // namespace runtime
