// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "form.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <typeindex>
#include <vector>

QT_BEGIN_NAMESPACE
class QAbstractButton;
QT_END_NAMESPACE

namespace layouts {
struct Identity;
}

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
    std::vector<Form *> loadedForms() const;
    // The form whose loaded window this is, if any.
    Form *formOfWindow(const QObject *object) const;

    // Unloads every window; the application then ends.
    void end();

Q_SIGNALS:
    // The last loaded window was unloaded.
    void ended();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class Form;
    friend void messageBox(const QString &prompt, const QString &title);
    friend void pressButton(QAbstractButton *button);

    // Input that began before the windows last changed, judged by the window system's clock.
    class InputGuard
    {
    public:
        void windowsChanged();
        bool refuses(const QEvent &event);

    private:
        quint64 m_lastClickAt = 0; // the last mouse press or release
        quint64 m_changedAt = 0; // the last click before the windows changed
        quint64 m_changes = 0;
        struct HeldKey
        {
            int key = 0;
            quint64 releasedAt = 0; // its last release, which a repeat's press carries too
            quint64 since = 0; // changes counted when the key went down
        } m_held;
    };

    FormRuntime();
    ~FormRuntime() override;

    Form *find(std::type_index type) const;
    void adopt(std::type_index type, std::unique_ptr<Form> form);

    void showing(Form &form, bool opening);
    void shown(Form &form);
    void hidden(Form &form);
    void unloaded(Form &form);
    void userClosed(Form &form);
    void activate(Form &form);
    void modalOpening();
    void modalClosed(Form *owner);
    void endIfNothingVisible();

    Form *boardInPlay() const;
    void updateOwners();
    void place(Form &form);
    void keepOnScreen(Form &form);

    struct Entry
    {
        std::type_index type;
        std::unique_ptr<Form> form;
    };
    std::vector<Entry> m_forms;
    std::vector<Form *> m_visibleByActivation; // most recently active last
    Form *m_active = nullptr;
    std::vector<Form *> m_awaitingFrame; // opened, not yet framed by the window system
    InputGuard m_input;
    QTimer m_visibilityCheck;
};

// The application's name, version, desktop entry and window icon.
void applyIdentity(const layouts::Identity &identity);

// The one modal message: a prompt, an OK button, no icon, a title; modal to the application.
// The window it speaks for is activated again once it closes.
void messageBox(const QString &prompt, const QString &title);

// Presses a button as a user's click reaches it: nothing happens if the button's window is not
// shown (hidden or unloaded), the button is hidden or disabled, or a modal window blocks its
// window; otherwise its window becomes the active one (Form_Activate as for a click) and the
// button is clicked, through the same handlers as a mouse click.
void pressButton(QAbstractButton *button);

} // namespace runtime
