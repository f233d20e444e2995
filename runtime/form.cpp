// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/form.h"

#include "layouts/layout.h"
#include "runtime/accessibility.h"
#include "runtime/formruntime.h"
#include "runtime/loader.h"

#include <QBackingStore>
#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include <algorithm>
#include <limits>

namespace runtime {
namespace {

// Holds text that enters a text box without a keystroke (paste, drop, input method) to the
// box's KeyPress rule: the insertion is refused whole if the rule would change any of it.
// Validation sees the whole new text, so only the part that differs from the last text the
// box held is checked. The box's length limit is kept here too, after the check: the box itself
// would cut an insertion short before it is checked, and take the start of a refused one.
class KeyPressValidator final : public QValidator
{
public:
    // trusted is set while the box takes a character that KeyPress itself chose.
    KeyPressValidator(std::function<void(int &)> keyPress, QLineEdit *textBox, const bool &trusted)
        : QValidator(textBox),
          m_keyPress(std::move(keyPress)),
          m_committed(textBox->text()),
          m_trusted(trusted),
          m_maxLength(textBox->maxLength())
    {
        textBox->setMaxLength(std::numeric_limits<int>::max());
        connect(textBox, &QLineEdit::textChanged, this,
                [this](const QString &text) { m_committed = text; });
    }

    State validate(QString &input, int &position) const override
    {
        const QString &current = m_committed;
        qsizetype prefix = 0;
        while (prefix < input.size() && prefix < current.size() && input[prefix] == current[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < input.size() - prefix && suffix < current.size() - prefix
               && input[input.size() - 1 - suffix] == current[current.size() - 1 - suffix])
            ++suffix;
        const qsizetype inserted = input.size() - prefix - suffix;
        for (const QChar c : QStringView(input).mid(prefix, m_trusted ? 0 : inserted)) {
            // Control codes such as backspace are keystrokes, never text.
            if (!c.isPrint())
                return Invalid;
            int code = c.unicode();
            m_keyPress(code);
            if (code != c.unicode())
                return Invalid;
        }
        if (const qsizetype excess = input.size() - m_maxLength; excess > 0) {
            const qsizetype cut = std::min(excess, inserted);
            input.remove(prefix + inserted - cut, cut);
            position = int(std::min<qsizetype>(position, prefix + inserted - cut));
        }
        return Acceptable;
    }

private:
    std::function<void(int &)> m_keyPress;
    QString m_committed;
    const bool &m_trusted;
    int m_maxLength;
};

// Keystrokes that type a character. Tab, arrows and Delete produce none, and neither do
// shortcuts such as Ctrl+C.
bool producesCharacter(const QKeyEvent &key)
{
    if (key.text().isEmpty()
        || key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    return key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab && key.key() != Qt::Key_Delete;
}

class PixelsBackWhenHidden final : public QObject
{
public:
    explicit PixelsBackWhenHidden(QWidget &window) : QObject(&window)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Not when minimised: the window stays visible then, and may be drawn on.
        const auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Hide && !window->isVisible()) {
            if (QBackingStore *store = window->backingStore())
                store->resize(QSize(0, 0));
        }
        return false;
    }
};

} // namespace

void givePixelsBackWhenHidden(QWidget &window)
{
    new PixelsBackWhenHidden(window);
}

struct Form::Loaded
{
    BuiltWindow built;
    QString tag;
    bool shown = false;
};

Form::Form(const layouts::WindowLayout &layout) : m_layout(layout) { }

Form::~Form()
{
    if (m_loaded)
        m_loaded->built.window.release()->deleteLater();
}

Form::Loaded &Form::load()
{
    if (!m_loaded) {
        // Not when the runtime is created: that may be before the application has installed
        // Qt's own accessibility factory, which would then take precedence over ours.
        installAccessibleNames();
        m_loaded =
                std::make_unique<Loaded>(Loaded{ buildWindow(m_layout), toQString(m_layout.tag) });
        m_loaded->built.window->installEventFilter(this);
        givePixelsBackWhenHidden(*m_loaded->built.window);
        connectEvents();
        nameTextBoxes();
        Form_Load();
        Q_EMIT FormRuntime::instance().loaded(*this);
    }
    return *m_loaded;
}

void Form::connectEvents()
{
    const BuiltWindow &built = m_loaded->built;
    QWidget *window = built.window.get();
    for (const ClickBinding &binding : m_clicks) {
        const auto handler = [this, binding](int index) { dispatchClick(binding, index); };
        const QString name = controlObjectName(binding.control, layouts::noIndex);
        if (QButtonGroup *group = built.arrays.value(name))
            connect(group, &QButtonGroup::idClicked, window, handler);
        else if (auto *button = qobject_cast<QPushButton *>(
                         built.control(binding.control, layouts::noIndex)))
            connect(button, &QPushButton::clicked, window,
                    [handler] { handler(layouts::noIndex); });
    }
    for (const KeyPressBinding &binding : m_keyPresses) {
        if (auto *box =
                    qobject_cast<QLineEdit *>(built.control(binding.control, layouts::noIndex))) {
            box->installEventFilter(this);
            box->setValidator(new KeyPressValidator(binding.handler, box, m_insertingKeyPress));
        }
    }
}

// Every Click handler runs through here, so that additions to the game can follow the user's
// actions without the windows' knowing.
void Form::dispatchClick(const ClickBinding &binding, int index)
{
    FormRuntime &runtime = FormRuntime::instance();
    Q_EMIT runtime.clickStarting(*this, binding.control, index);
    binding.handler(index);
    Q_EMIT runtime.clickFinished(*this, binding.control, index);
}

// Buttons and labels are named as they are read (see accessibility.cpp); a text box's name
// cannot follow its text, so it is given once.
void Form::nameTextBoxes()
{
    for (std::size_t i = 0; i < m_layout.controls.size(); ++i) {
        const layouts::ControlLayout &control = m_layout.controls[i];
        if (control.kind != layouts::ControlKind::TextBox)
            continue;
        const QString name = accessibleName(toQString(control.name), control.index, QString());
        if (!name.isNull())
            m_loaded->built.controls[i]->setAccessibleName(name);
    }
}

bool Form::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_loaded)
        return false;
    if (watched == m_loaded->built.window.get() && event->type() == QEvent::Close) {
        FormRuntime::instance().userClosed(*this);
        // A close that was refused leaves this window loaded: Qt must not hide it then.
        if (loadedWindow() == watched)
            event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        for (const KeyPressBinding &binding : m_keyPresses) {
            if (watched == control(binding.control, layouts::noIndex))
                return filterKeyPress(static_cast<QLineEdit *>(watched), binding, event);
        }
    }
    return false;
}

bool Form::filterKeyPress(QLineEdit *textBox, const KeyPressBinding &binding, QEvent *event)
{
    const auto *key = static_cast<QKeyEvent *>(event);
    if (!producesCharacter(*key))
        return false;
    const int typed = key->text().at(0).unicode();
    int code = typed;
    binding.handler(code);
    if (code == typed)
        return false;
    if (code != 0) {
        m_insertingKeyPress = true;
        textBox->insert(QString(QChar(code)));
        m_insertingKeyPress = false;
    }
    return true;
}

QWidget *Form::control(std::string_view name, int index)
{
    return load().built.control(name, index);
}

QPushButton *Form::commandButton(std::string_view name, int index)
{
    return qobject_cast<QPushButton *>(control(name, index));
}

QLabel *Form::label(std::string_view name)
{
    return qobject_cast<QLabel *>(control(name, layouts::noIndex));
}

QLineEdit *Form::textBox(std::string_view name)
{
    return qobject_cast<QLineEdit *>(control(name, layouts::noIndex));
}

QGroupBox *Form::frame(std::string_view name)
{
    return qobject_cast<QGroupBox *>(control(name, layouts::noIndex));
}

QString Form::caption()
{
    return window()->windowTitle();
}

void Form::setCaption(const QString &caption)
{
    window()->setWindowTitle(caption);
}

QString Form::tag()
{
    return load().tag;
}

void Form::setTag(const QString &tag)
{
    load().tag = tag;
}

bool Form::visible()
{
    return load().shown;
}

QWidget *Form::window()
{
    return load().built.window.get();
}

bool Form::isLoaded() const
{
    return m_loaded != nullptr;
}

QWidget *Form::loadedWindow() const
{
    return m_loaded ? m_loaded->built.window.get() : nullptr;
}

bool Form::isShown() const
{
    return m_loaded && m_loaded->shown;
}

// Shown means in view: back from minimised, in front, with the focus mark of the focused control
// drawn from the start. Every showing starts with the focus on the first control of the
// keyboard order, as on the first: a window shown again while in view shows something new (a
// clue window re-targeted to another square).
void Form::show()
{
    QWidget *widget = window();
    const bool opening = !m_loaded->shown;
    m_loaded->shown = true;
    FormRuntime &runtime = FormRuntime::instance();
    runtime.showing(*this, opening);
    if (m_loaded->built.firstFocus)
        m_loaded->built.firstFocus->setFocus();
    widget->setWindowState(widget->windowState() & ~Qt::WindowMinimized);
    widget->show();
    widget->setAttribute(Qt::WA_KeyboardFocusChange); // showing clears it
    runtime.shown(*this); // activates it, which raises it
}

void Form::hide()
{
    if (!m_loaded || !m_loaded->shown)
        return;
    m_loaded->shown = false;
    m_loaded->built.window->hide();
    FormRuntime::instance().hidden(*this);
}

void Form::unload()
{
    if (!m_loaded)
        return;
    const std::unique_ptr<Loaded> loaded = std::move(m_loaded);
    QWidget *widget = loaded->built.window.release();
    widget->removeEventFilter(this);
    widget->hide();
    // Input still queued for it reaches nothing. Disabled once hidden, nothing is redrawn.
    widget->setEnabled(false);
    // The caller may be one of this window's own handlers, running on these widgets.
    widget->deleteLater();
    FormRuntime::instance().unloaded(*this);
}

} // namespace runtime
