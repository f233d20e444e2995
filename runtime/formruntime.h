// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "form.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <typeindex>
#include <vector>

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

    FormRuntime();
    ~FormRuntime() override;

    Form *find(std::type_index type) const;
    void adopt(std::type_index type, std::unique_ptr<Form> form);

    void shown(Form &form);
    void hidden(Form &form);
    void unloaded(Form &form);
    void userClosed(Form &form);
    void activate(Form &form);
    void endIfNothingVisible();

    struct Entry
    {
        std::type_index type;
        std::unique_ptr<Form> form;
    };
    std::vector<Entry> m_forms;
    std::vector<Form *> m_visibleByActivation; // most recently active last
    Form *m_active = nullptr;
    QTimer m_visibilityCheck;
};

// The application's name, version, desktop entry and window icon.
void applyIdentity(const layouts::Identity &identity);

// The one modal message: a prompt, an OK button, no icon, a title; modal to the application.
void messageBox(const QString &prompt, const QString &title);

} // namespace runtime
