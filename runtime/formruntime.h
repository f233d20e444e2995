// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "runtime/form.h"
#include "runtime/inputguard.h"
#include "runtime/placement.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <string_view>
#include <typeindex>
#include <vector>

QT_BEGIN_NAMESPACE
class QAbstractButton;
class QMessageBox;
QT_END_NAMESPACE

namespace runtime {

// Default instances, the activation model and the end of the application. See form.h.
class FormRuntime final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormRuntime)

public:
    static FormRuntime &instance();

    template<class T>
    static T &defaultInstance()
    {
        FormRuntime &runtime = instance();
        if (Form *existing = runtime.find(typeid(T)))
            return static_cast<T &>(*existing);
        auto created = std::make_unique<T>();
        T &form = *created;
        runtime.adopt(typeid(T), std::move(created));
        return form;
    }

    // Shows the start-up window and runs the event loop until no window is loaded; then
    // releases every window object.
    int run(Form &startUp);

    // Unloads every window and releases every window object, as at the end of a run; the
    // next reference creates fresh default instances.
    void reset();

    Form *activeForm() const { return m_active; }
    // The board the clues are played on: of the windows of the board role in view, the one
    // active last.
    Form *boardInPlay() const;
    std::vector<Form *> loadedForms() const;
    // The form whose loaded window this is, if any.
    Form *formOfWindow(const QObject *object) const;

    // Unloads every window; the application then ends.
    void end();

    // Where additions to the game (undo, menus, keys) meet the runtime.

    // Consulted before a user's close of a window whose close ends the application; the close
    // goes ahead only if it returns true. It is consulted while its owner lives.
    void setCloseGuard(const QObject *owner, std::function<bool(Form &)> guard);
    // Runs the Form_Activate of the board in play, as when activation passes through it, after
    // something outside the windows' handlers changed the game; the active window stays active
    // if it is still shown.
    void reactivateBoard();

Q_SIGNALS:
    // The last loaded window was unloaded.
    void ended();
    // A window has been loaded: its controls are new, and Form_Load has run.
    void loaded(runtime::Form &form);
    // Around every Click handler the runtime runs; index is the array index, or noIndex.
    void clickStarting(runtime::Form &form, std::string_view control, int index);
    void clickFinished(runtime::Form &form, std::string_view control, int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class Form;
    friend int execModal(QMessageBox &box, QWidget *over);
    friend void pressButton(QAbstractButton *button);

    FormRuntime();
    ~FormRuntime() override;

    Form *find(std::type_index type) const;
    void adopt(std::type_index type, std::unique_ptr<Form> form);

    void showing(Form &form, bool opening) const;
    void shown(Form &form);
    void hidden(Form &form);
    void unloaded(Form &form);
    void userClosed(Form &form);
    bool mayClose(Form &form);
    void activate(Form &form);
    void activateThroughBoard(Form *next);
    void modalOpening();
    void modalClosed(Form *owner);
    void endIfNothingVisible();

    struct Entry
    {
        std::type_index type;
        std::unique_ptr<Form> form;
    };
    std::vector<Entry> m_forms;
    std::vector<Form *> m_visibleByActivation; // most recently active last
    Form *m_active = nullptr;
    InputGuard m_input;
    QTimer m_visibilityCheck;
    QPointer<const QObject> m_closeGuardOwner;
    std::function<bool(Form &)> m_closeGuard;
};

// Presses a button as a user's click reaches it: nothing happens if its window is not shown,
// the button is hidden or disabled, or a modal window blocks it; otherwise its window becomes
// the active one (Form_Activate as for a click), then the button is clicked, its handler
// running through the same dispatch as a mouse click.
void pressButton(QAbstractButton *button);

} // namespace runtime
