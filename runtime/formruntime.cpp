#include "formruntime.h"

#include "identity.h"
#include "layout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace runtime {
namespace {

FormRuntime *theRuntime = nullptr;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
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

void FormRuntime::shown(Form &form)
{
    activate(form);
}

void FormRuntime::hidden(Form &form)
{
    std::erase(m_visibleByActivation, &form);
    if (m_active == &form) {
        m_active = nullptr;
        if (!m_visibleByActivation.empty())
            activate(*m_visibleByActivation.back());
    }
    m_visibilityCheck.start();
}

void FormRuntime::unloaded(Form &form)
{
    hidden(form);
    if (loadedForms().empty())
        Q_EMIT ended();
}

void FormRuntime::userClosed(Form &form)
{
    if (!mayClose(form))
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

void FormRuntime::reactivate(Form &form)
{
    if (m_active == &form)
        form.Form_Activate();
}

// Windows may be hidden and shown again within one handler; only once everything has
// settled does an application without a visible window end, rather than run on unseen.
void FormRuntime::endIfNothingVisible()
{
    if (m_visibleByActivation.empty())
        end();
}

// The user makes a window active by pressing a mouse button or a key in it. Window-system
// activation alone is not taken: it arrives late and out of order (our own requests echo back
// after the model has moved on), and switching applications must run nothing.
bool FormRuntime::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick
        && type != QEvent::KeyPress)
        return false;
    const auto *widget = qobject_cast<QWidget *>(watched);
    Form *form = widget ? formOfWindow(widget->window()) : nullptr;
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

void messageBox(const QString &prompt, const QString &title)
{
    Form *active = FormRuntime::instance().activeForm();
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok,
                    active && active->isLoaded() ? active->window() : nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool questionBox(const QString &prompt, const QString &title)
{
    Form *active = FormRuntime::instance().activeForm();
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No,
                    active && active->isLoaded() ? active->window() : nullptr);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
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
