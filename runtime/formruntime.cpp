// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/formruntime.h"

#include "layouts/identity.h"
#include "layouts/layout.h"
#include "runtime/loader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QStyleHints>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace runtime {
namespace {

FormRuntime *theRuntime = nullptr;

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

} // namespace

FormRuntime &FormRuntime::instance()
{
    if (!theRuntime) {
        theRuntime = new FormRuntime;
        // Window objects hold widgets, so they must go while the application still exists.
        qAddPostRoutine([] {
            delete theRuntime;
            theRuntime = nullptr;
        });
    }
    return *theRuntime;
}

FormRuntime::FormRuntime()
{
    m_visibilityCheck.setSingleShot(true);
    m_visibilityCheck.setInterval(0);
    connect(&m_visibilityCheck, &QTimer::timeout, this, &FormRuntime::endIfNothingVisible);
    qApp->installEventFilter(this);
}

FormRuntime::~FormRuntime()
{
    reset();
}

Form *FormRuntime::find(std::type_index type) const
{
    const auto it = std::find_if(m_forms.begin(), m_forms.end(),
                                 [type](const Entry &entry) { return entry.type == type; });
    return it == m_forms.end() ? nullptr : it->form.get();
}

void FormRuntime::adopt(std::type_index type, std::unique_ptr<Form> form)
{
    m_forms.push_back({ type, std::move(form) });
}

std::vector<Form *> FormRuntime::loadedForms() const
{
    std::vector<Form *> loaded;
    for (const Entry &entry : m_forms) {
        if (entry.form->isLoaded())
            loaded.push_back(entry.form.get());
    }
    return loaded;
}

Form *FormRuntime::formOfWindow(const QObject *object) const
{
    for (const Entry &entry : m_forms) {
        if (object && entry.form->loadedWindow() == object)
            return entry.form.get();
    }
    return nullptr;
}

int FormRuntime::run(Form &startUp)
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const QMetaObject::Connection quit =
            connect(this, &FormRuntime::ended, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    startUp.show();
    const int exitCode = loadedForms().empty() ? 0 : QApplication::exec();
    disconnect(quit);
    reset();
    return exitCode;
}

void FormRuntime::reset()
{
    m_visibleByActivation.clear();
    m_awaitingFrame.clear();
    m_active = nullptr;
    const QSignalBlocker quiet(this);
    for (const Entry &entry : m_forms)
        entry.form->unload();
    for (const Entry &entry : m_forms)
        entry.form->Form_Terminate();
    m_forms.clear();
    m_visibilityCheck.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void FormRuntime::end()
{
    m_visibleByActivation.clear();
    m_active = nullptr;
    for (Form *form : loadedForms())
        form->unload();
}

void FormRuntime::activate(Form &form)
{
    std::erase(m_visibleByActivation, &form);
    m_visibleByActivation.push_back(&form);
    const bool wasActive = m_active == &form;
    m_active = &form;
    QWidget *window = form.window();
    window->raise();
    window->activateWindow();
    if (!wasActive)
        form.Form_Activate();
}

// Before the window system shows the window: its native window exists, so that it can be owned
// and placed; an opening window gets its place.
void FormRuntime::showing(Form &form, bool opening)
{
    form.window()->winId();
    updateOwners();
    if (opening && form.layout().startUpPosition == layouts::StartUpPosition::Manual) {
        place(form);
        std::erase(m_awaitingFrame, &form);
        m_awaitingFrame.push_back(&form);
    }
}

void FormRuntime::shown(Form &form)
{
    m_input.windowsChanged();
    std::erase(m_visibleByActivation, &form);
    m_visibleByActivation.push_back(&form); // a board shown is the board in play from now on
    updateOwners();
    activate(form);
}

void FormRuntime::hidden(Form &form)
{
    m_input.windowsChanged();
    std::erase(m_visibleByActivation, &form);
    updateOwners();
    if (m_active == &form) {
        m_active = nullptr;
        if (!m_visibleByActivation.empty()) {
            Form *next = m_visibleByActivation.back();
            if (next->layout().role == layouts::WindowRole::OwnedByBoard)
                activateThroughBoard(next);
            else
                activate(*next);
        }
    }
    m_visibilityCheck.start();
}

// The windows a board owns stand above it: activation that reaches one of them passes through
// the board first, so that whatever the window that hid recorded shows on the board, and the
// round moves on, whichever of them is active.
void FormRuntime::activateThroughBoard(Form *next)
{
    m_active = nullptr;
    if (Form *board = boardInPlay())
        activate(*board);
    if (next && next->isShown())
        activate(*next);
}

void FormRuntime::unloaded(Form &form)
{
    std::erase(m_awaitingFrame, &form);
    hidden(form);
    if (loadedForms().empty())
        Q_EMIT ended();
}

void FormRuntime::modalOpening()
{
    m_input.windowsChanged();
}

// The message box held the activation while it was open; it passes back as from a window that
// hides.
void FormRuntime::modalClosed(Form *owner)
{
    m_input.windowsChanged();
    if (owner && owner == m_active && owner->isShown()) {
        m_active = nullptr;
        activate(*owner);
    }
}

Form *FormRuntime::boardInPlay() const
{
    const auto board = std::find_if(
            m_visibleByActivation.rbegin(), m_visibleByActivation.rend(),
            [](const Form *form) { return form->layout().role == layouts::WindowRole::Board; });
    return board == m_visibleByActivation.rend() ? nullptr : *board;
}

// The owned windows stay above the board in play and go with it. The window system reads a
// window's owner as the window is mapped, so one in view is mapped again for a new owner.
void FormRuntime::updateOwners()
{
    const Form *board = boardInPlay();
    QWindow *owner = board ? board->loadedWindow()->windowHandle() : nullptr;
    for (const Entry &entry : m_forms) {
        QWidget *window = entry.form->loadedWindow();
        if (!window || !window->windowHandle()
            || entry.form->layout().role != layouts::WindowRole::OwnedByBoard
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

// A window opens at its stored place, except that a board shown beside the board in play takes
// its place, and an owned window keeps its designed offset from the board's client area. Either
// way it lies wholly on the screen. (A window without a stored place has the window system's.)
void FormRuntime::place(Form &form)
{
    const layouts::WindowLayout &layout = form.layout();
    QWidget *window = form.window();
    QPoint client = window->geometry().topLeft();
    if (const Form *board = boardInPlay(); board && board != &form) {
        const QPoint boardClient = board->loadedWindow()->geometry().topLeft();
        if (layout.role == layouts::WindowRole::Board)
            client = boardClient;
        else if (layout.role == layouts::WindowRole::OwnedByBoard)
            client = boardClient
                    + QPoint(toPixels(layout.clientLeft) - toPixels(board->layout().clientLeft),
                             toPixels(layout.clientTop) - toPixels(board->layout().clientTop));
    }
    window->setGeometry(QRect(client, window->size()));
    keepOnScreen(form);
}

// The frame is known once the window system has framed the window; until then the frame of
// another of the windows stands in for it.
void FormRuntime::keepOnScreen(Form &form)
{
    QWidget *window = form.window();
    QMargins margins = window->windowHandle()->frameMargins();
    for (auto it = m_visibleByActivation.rbegin();
         margins.isNull() && it != m_visibleByActivation.rend(); ++it)
        margins = (*it)->loadedWindow()->windowHandle()->frameMargins();
    const QRect frame = window->geometry().marginsAdded(margins);
    const QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = window->screen();
    const QRect kept = keptInside(frame, screen->availableGeometry());
    if (kept != frame)
        window->setGeometry(window->geometry().translated(kept.topLeft() - frame.topLeft()));
}

void FormRuntime::userClosed(Form &form)
{
    if (form.refusesClose() || !mayClose(form))
        return;
    form.unload();
    if (form.layout().closeEndsApplication)
        end();
}

bool FormRuntime::mayClose(Form &form)
{
    return !form.layout().closeEndsApplication || !m_closeGuard || m_closeGuard(form);
}

void FormRuntime::setCloseGuard(std::function<bool(Form &)> guard)
{
    m_closeGuard = std::move(guard);
}

void FormRuntime::reactivateBoard()
{
    activateThroughBoard(m_active);
}

// Windows may be hidden and shown again within one handler; only once everything has
// settled does an application without a visible window end, rather than run on unseen.
void FormRuntime::endIfNothingVisible()
{
    if (m_visibleByActivation.empty())
        end();
}

void FormRuntime::InputGuard::windowsChanged()
{
    m_changedAt = m_lastClickAt;
    ++m_changes;
}

// A click whose press comes within the double-click interval of a click made before the windows
// changed belongs to that earlier click (the second click of a double click), and a key press
// that repeats a key held down since before the change belongs to that hold: neither reaches
// the window that appeared, or came uncovered, under it. Input that software synthesises
// carries no time and is taken as it comes.
bool FormRuntime::InputGuard::refuses(const QEvent &event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const quint64 time = static_cast<const QInputEvent &>(event).timestamp();
        if (time == 0)
            return false;
        m_lastClickAt = time;
        const auto interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        return event.type() != QEvent::MouseButtonRelease && m_changedAt != 0 && time >= m_changedAt
                && time - m_changedAt < interval;
    }
    case QEvent::KeyPress: {
        // A held key repeats as releases and presses stamped alike, and the window system does
        // not always mark the first of them as a repeat.
        const auto &key = static_cast<const QKeyEvent &>(event);
        const bool sameKey = key.key() == m_held.key;
        const bool repeats = key.isAutoRepeat()
                || (sameKey && key.timestamp() != 0 && key.timestamp() == m_held.releasedAt);
        if (!repeats) {
            m_held = { key.key(), 0, m_changes };
            return false;
        }
        if (!sameKey) // went down before this program saw it
            m_held = { key.key(), 0, ~quint64(0) };
        return m_held.since != m_changes;
    }
    case QEvent::KeyRelease: {
        const auto &key = static_cast<const QKeyEvent &>(event);
        if (key.key() == m_held.key)
            m_held.releasedAt = key.timestamp();
        return false;
    }
    default:
        return false;
    }
}

// Three things pass here: a window's first exposure, once the window system has framed it (its
// frame must lie on the screen); input that began before the windows changed, which is
// refused; and the user's presses, which make their window the active one. Window-system
// activation alone is not taken: it arrives late and out of order (our own requests echo back
// after the model has moved on), and switching applications must run nothing.
bool FormRuntime::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Expose) {
        const auto framed =
                std::find_if(m_awaitingFrame.begin(), m_awaitingFrame.end(), [watched](Form *form) {
                    return form->loadedWindow()->windowHandle() == watched;
                });
        if (framed != m_awaitingFrame.end()) {
            Form *form = *framed;
            m_awaitingFrame.erase(framed);
            keepOnScreen(*form);
        }
        return false;
    }
    // Window-system input reaches the window before its widgets; input that software sends may
    // go to a widget directly.
    if (!event->isInputEvent() || !(watched->isWindowType() || watched->isWidgetType()))
        return false;
    if (m_input.refuses(*event))
        return true;
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick
        && type != QEvent::KeyPress)
        return false;
    Form *form = formOfWindow(widget->window());
    if (!form)
        return false;
    // Input still queued for a window that has gone (the second click of a quick double
    // click on an answer) must not reach it.
    if (!form->isShown())
        return true;
    if (form != m_active)
        activate(*form);
    return false;
}

void applyIdentity(const layouts::Identity &identity)
{
    QCoreApplication::setApplicationName(toQString(identity.title));
    QCoreApplication::setApplicationVersion(toQString(identity.version));
    QGuiApplication::setDesktopFileName(toQString(identity.desktopFileName));
    QIcon icon;
    const QDir images(toQString(identity.iconResource));
    for (const QString &file : images.entryList(QDir::Files))
        icon.addFile(images.filePath(file));
    QApplication::setWindowIcon(icon);
}

// Both boxes speak for the active window and stand above it. Input aimed at the windows beneath
// while a box was open is not taken for input meant after it, and the window it spoke for is
// active again once it closes.
int execModal(QMessageBox &box)
{
    FormRuntime &runtime = FormRuntime::instance();
    Form *active = runtime.activeForm();
    if (active && active->isLoaded())
        box.setParent(active->window(), box.windowFlags());
    box.setWindowModality(Qt::ApplicationModal);
    runtime.modalOpening();
    const int answer = box.exec();
    runtime.modalClosed(active);
    return answer;
}

void messageBox(const QString &prompt, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok);
    execModal(box);
}

bool questionBox(const QString &prompt, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return execModal(box) == QMessageBox::Yes;
}

void pressButton(QAbstractButton *button)
{
    FormRuntime &runtime = FormRuntime::instance();
    Form *form = button ? runtime.formOfWindow(button->window()) : nullptr;
    const auto pressable = [&] {
        return form && form->isLoaded() && form->visible() && button->isVisible()
                && button->isEnabled();
    };
    if (!pressable())
        return;
    if (const QWidget *modal = QApplication::activeModalWidget(); modal && modal != form->window())
        return;
    if (runtime.activeForm() != form)
        runtime.activate(*form);
    // Activation may have hidden the window (a board handing over its round).
    if (pressable())
        button->click();
}

} // namespace runtime
