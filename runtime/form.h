// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// The form runtime: the layer between the game's windows and Qt.
//
// Every window kind is a Form subclass with exactly one default instance, created on first
// reference (FormRuntime::defaultInstance). The object lives for the whole run; its window is
// separate: referencing a control, the caption, the tag or the visibility loads the window
// (built from its constant layout, then Form_Load), and unload() destroys the widgets again
// while the object's member variables keep their values.
//
// Activation is the runtime's own model, not the window manager's: show() makes a window the
// active one, hiding or unloading the active window passes activation back to the window that
// was active before it (through the board in play, when that is a window the board owns), and
// a click or keystroke in an inactive window makes it active first. Each change runs the window's
// Form_Activate and asks the window system to follow, so the game behaves the same on any desktop
// and on the offscreen platform, where hiding a window activates nothing.
//
// Its other parts: the loader builds a window from its layout (loader.h), placement puts windows
// on the screen and with the board they belong to (placement.h), the input guard keeps input
// from acting on windows that appeared under it (inputguard.h), the modal boxes ask and tell
// (modal.h), and screen readers name the controls (accessibility.h).
//
// Widgets are never deleted synchronously: unload() hides them and defers their deletion to the
// event loop, so a window may be unloaded from inside its own event handler.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "layouts/layout.h"

QT_BEGIN_NAMESPACE
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
QT_END_NAMESPACE

namespace runtime {

struct BuiltWindow;
class FormRuntime;

class Form : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form)

public:
    ~Form() override;

    const layouts::WindowLayout &layout() const { return m_layout; }

    // Window properties; all of them load the window first.
    QString caption();
    void setCaption(const QString &caption);
    QString tag();
    void setTag(const QString &tag);
    bool visible();
    QWidget *window();

    // Ask without loading.
    bool isLoaded() const;
    bool isShown() const;

    void show();
    void hide();
    void unload();

    // What a screen reader calls a control whose caption alone does not say what it is (an
    // empty or bare-number caption). Read afresh whenever a button's or label's name is read,
    // so it always follows the caption; a text box's name is set once on load, as its text is
    // its contents. A null string leaves the control named by its caption.
    virtual QString accessibleName(QStringView control, int index, const QString &caption) const
    {
        Q_UNUSED(control);
        Q_UNUSED(index);
        Q_UNUSED(caption);
        return {};
    }

protected:
    explicit Form(const layouts::WindowLayout &layout);

    virtual void Form_Load() { }
    virtual void Form_Activate() { }
    virtual void Form_Terminate() { }
    // Whether the close box leaves the window as it is; otherwise closing unloads it.
    virtual bool refusesClose() { return false; }

    QPushButton *commandButton(std::string_view name, int index = layouts::noIndex);
    QLabel *label(std::string_view name);
    QLineEdit *textBox(std::string_view name);
    QGroupBox *frame(std::string_view name);

    // Event bindings, made once by the subclass and connected anew on every load. A control
    // array's Click handler takes the index of the button clicked.
    template<class W>
    void onClick(std::string_view name, void (W::*handler)())
    {
        m_clicks.push_back(
                { name, [this, handler](int) { (static_cast<W *>(this)->*handler)(); } });
    }
    template<class W>
    void onClick(std::string_view name, void (W::*handler)(int))
    {
        m_clicks.push_back({ name, [this, handler](int index) {
                                (static_cast<W *>(this)->*handler)(index);
                            } });
    }
    // KeyPress receives the character code of each typed character; setting it to 0 discards
    // the keystroke. Text entering the box any other way (paste, drop, input method) is held
    // to the same rule: it is refused whole if the handler would discard any of its characters.
    template<class W>
    void onKeyPress(std::string_view name, void (W::*handler)(int &))
    {
        m_keyPresses.push_back({ name, [this, handler](int &keyAscii) {
                                    (static_cast<W *>(this)->*handler)(keyAscii);
                                } });
    }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class FormRuntime;

    struct ClickBinding
    {
        std::string_view control;
        std::function<void(int)> handler;
    };
    struct KeyPressBinding
    {
        std::string_view control;
        std::function<void(int &)> handler;
    };
    struct Loaded;

    Loaded &load();
    QWidget *control(std::string_view name, int index);
    void connectEvents();
    void dispatchClick(const ClickBinding &binding, int index);
    void nameTextBoxes();
    QWidget *loadedWindow() const;
    bool filterKeyPress(QLineEdit *textBox, const KeyPressBinding &binding, QEvent *event);

    const layouts::WindowLayout &m_layout;
    std::vector<ClickBinding> m_clicks;
    std::vector<KeyPressBinding> m_keyPresses;
    std::unique_ptr<Loaded> m_loaded;
    bool m_insertingKeyPress = false;
};

// A window hidden can stay hidden long (the first board through the whole second round, a menu
// between two uses): from now on, each time it is hidden, it gives its pixels back, to be drawn
// afresh when it is shown again. Every form's window does; other windows ask for it.
void givePixelsBackWhenHidden(QWidget &window);

} // namespace runtime
