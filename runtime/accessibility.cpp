// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/accessibility.h"

#include "layouts/tables.h"
#include "runtime/form.h"
#include "runtime/formruntime.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

// A button or label caption changes through plain setText calls all over the windows, and
// neither widget signals it. Rather than track every change, the window's buttons and labels
// get an accessible interface of our own that asks the window's rule for the name each time a
// screen reader reads it: the name can never lag behind the caption, and nothing is computed
// unless someone listens. Qt announces each caption change (NameChanged) by itself.

namespace runtime {
namespace {

bool isFormWindow(const QWidget *window)
{
    const QString name = window->objectName();
    return std::any_of(layouts::allWindows.begin(), layouts::allWindows.end(),
                       [&name](const layouts::WindowLayout *layout) {
                           return name
                                   == QLatin1StringView(layout->name.data(),
                                                        qsizetype(layout->name.size()));
                       });
}

// "Command1_14" is element 14 of the array Command1; "ScoreLabel" is no array element.
QString ruledName(const QWidget *control, const QString &caption)
{
    const Form *form = FormRuntime::instance().formOfWindow(control->window());
    if (!form)
        return {};
    const QString objectName = control->objectName();
    const qsizetype separator = objectName.lastIndexOf(u'_');
    bool isElement = false;
    const int index =
            separator < 0 ? layouts::noIndex : objectName.sliced(separator + 1).toInt(&isElement);
    return isElement
            ? form->accessibleName(QStringView(objectName).first(separator), index, caption)
            : form->accessibleName(objectName, layouts::noIndex, caption);
}

// Qt's own reading of a caption: the mnemonic marker goes, a doubled one stands for itself.
QString withoutMnemonic(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            ++i; // the marker goes, the character after it stays
            if (i == caption.size())
                break;
        }
        text.append(caption[i]);
    }
    return text;
}

class AccessibleControl : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    QString text(QAccessible::Text type) const override
    {
        if (type != QAccessible::Name)
            return QAccessibleWidget::text(type);
        const QString caption = this->caption();
        QString ruled = ruledName(widget(), caption);
        if (!ruled.isNull())
            return ruled;
        const QString set = widget()->accessibleName();
        return set.isEmpty() ? caption : set;
    }

protected:
    virtual QString caption() const = 0;
};

class AccessibleButton final : public AccessibleControl
{
public:
    explicit AccessibleButton(QPushButton *button) : AccessibleControl(button, QAccessible::Button)
    { }

    QAccessible::State state() const override
    {
        QAccessible::State state = AccessibleControl::state();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names{ pressAction() };
        names += AccessibleControl::actionNames();
        return names;
    }

    void doAction(const QString &action) override
    {
        if (action == pressAction()) {
            pressButton(button());
            return;
        }
        AccessibleControl::doAction(action);
    }

private:
    QPushButton *button() const { return static_cast<QPushButton *>(widget()); }
    QString caption() const override { return withoutMnemonic(button()->text()); }
};

class AccessibleLabel final : public AccessibleControl
{
public:
    explicit AccessibleLabel(QLabel *label) : AccessibleControl(label, QAccessible::StaticText) { }

private:
    QString caption() const override { return static_cast<QLabel *>(widget())->text(); }
};

// Qt asks while a control is still being built, before its window belongs to a form; the
// window's name already tells whose it is.
QAccessibleInterface *accessibleControl(const QString &className, QObject *object)
{
    const bool isButton = className == QLatin1StringView("QPushButton");
    if (!isButton && className != QLatin1StringView("QLabel"))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (!isFormWindow(widget->window()))
        return nullptr;
    if (isButton)
        return new AccessibleButton(static_cast<QPushButton *>(widget));
    return new AccessibleLabel(static_cast<QLabel *>(widget));
}

} // namespace

void installAccessibleNames()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleControl);
        // Connects Qt's screen-reader bridge to the session bus now, before the fonts are
        // loaded: with no bus, that forks a launcher, and a smaller process forks faster and
        // takes fewer copy-on-write faults after.
        (void)QAccessible::isActive();
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace runtime
