// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/formruntime.h"

#include "layouts/layout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace runtime {
namespace {

FormRuntime *theRuntime = nullptr;

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
// and placed.
void FormRuntime::showing(Form &form, bool opening) const
{
    form.window()->winId();
    Placement::updateOwners(loadedForms(), boardInPlay());
    if (opening)
        Placement::opening(form, boardInPlay());
}

void FormRuntime::shown(Form &form)
{
    m_input.windowsChanged();
    std::erase(m_visibleByActivation, &form);
    m_visibleByActivation.push_back(&form); // a board shown is the board in play from now on
    Placement::updateOwners(loadedForms(), boardInPlay());
    activate(form);
}

void FormRuntime::hidden(Form &form)
{
    m_input.windowsChanged();
    std::erase(m_visibleByActivation, &form);
    Placement::updateOwners(loadedForms(), boardInPlay());
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
    return !form.layout().closeEndsApplication || !m_closeGuardOwner || m_closeGuard(form);
}

void FormRuntime::setCloseGuard(const QObject *owner, std::function<bool(Form &)> guard)
{
    m_closeGuardOwner = owner;
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

// Two things pass here: input that began before the windows changed, which is refused, and the
// user's presses, which make their window the active one. Window-system activation alone is not
// taken: it arrives late and out of order (our own requests echo back after the model has moved
// on), and switching applications must run nothing.
bool FormRuntime::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
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

void pressButton(QAbstractButton *button)
{
    FormRuntime &runtime = FormRuntime::instance();
    Form *form = button ? runtime.formOfWindow(button->window()) : nullptr;
    const auto pressable = [&] {
        return form && form->isShown() && button->isVisible() && button->isEnabled();
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
