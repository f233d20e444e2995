// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "layouts/layout.h"
#include "runtime/application.h"
#include "runtime/formruntime.h"
#include "runtime/modal.h"
#include "tests/support/gametest.h"

#include <QBackingStore>
#include <QGroupBox>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleFactory>

using namespace layouts;

namespace {

QStringList events;

constexpr ControlLayout probeControls[] = {
    { "Command1", 0, ControlKind::CommandButton, "One", 120, 120, 1215, 735, 0 },
    { "Command1", 1, ControlKind::CommandButton, "Two", 1440, 120, 1215, 735, 1 },
    { "Label1", noIndex, ControlKind::Label, "Design", 120, 960, 1215, 255, 2 },
    { "Text1", noIndex, ControlKind::TextBox, "", 120, 1320, 1215, 285, 3 },
};

constexpr WindowLayout probeLayout = { "Probe",      "Probe", "design tag",
                                       3000,         2000,    StartUpPosition::Manual,
                                       300,          300,     false,
                                       probeControls };
constexpr WindowLayout mainProbeLayout = {
    "MainProbe", "Main", "", 3000, 2000, StartUpPosition::Manual, 300, 300, true, probeControls
};

// A window that records its events; Command1(1) unloads it from inside its own handler.
template<int N>
class Probe final : public runtime::Form
{
public:
    Probe() : Form(N == 0 ? mainProbeLayout : probeLayout)
    {
        onClick("Command1", &Probe::Command1_Click);
        onKeyPress("Text1", &Probe::Text1_KeyPress);
    }
    static Probe &instance() { return runtime::FormRuntime::defaultInstance<Probe>(); }

    int Member = 0;
    QPushButton *Command1(int index) { return commandButton("Command1", index); }
    QLabel *Label1() { return label("Label1"); }
    QLineEdit *Text1() { return textBox("Text1"); }

private:
    QString name() const { return QStringLiteral("P%1").arg(N); }
    void Form_Load() override { events << name() + " load"; }
    void Form_Activate() override { events << name() + " activate"; }
    void Form_Terminate() override { events << name() + " terminate"; }
    void Command1_Click(int Index)
    {
        events << name() + " click " + QString::number(Index);
        if (Index == 1) {
            unload();
            // The handler goes on after its own window is gone.
            Member = isLoaded() ? -1 : 1;
        }
    }
    // Lower-case letters become capitals, digits pass, anything else is discarded.
    void Text1_KeyPress(int &KeyAscii)
    {
        if (KeyAscii >= 'a' && KeyAscii <= 'z')
            KeyAscii -= 'a' - 'A';
        else if (KeyAscii != 8 && (KeyAscii < '0' || KeyAscii > '9'))
            KeyAscii = 0;
    }
};

using MainProbe = Probe<0>;
using ProbeA = Probe<1>;
using ProbeB = Probe<2>;
using ProbeC = Probe<3>;

} // namespace

class tst_FormRuntime final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gametest::quietPlatformNotices(); }
    void init() { events.clear(); }
    void cleanup() { gametest::resetRuntime(); }

    void loadsOnControlReferenceOnly();
    void unloadKeepsMembersAndReloadStartsFromLayout();
    void activationPassesBackOnHideAndUnload_data();
    void activationPassesBackOnHideAndUnload();
    void showingTheActiveWindowDoesNotActivateAgain();
    void clickOnInactiveWindowActivatesBeforeClick();
    void unloadInsideOwnHandlerIsSafe();
    void lastUnloadEndsTheApplication();
    void closingASecondaryWindowOnlyUnloadsIt();
    void closingAMainWindowEndsTheApplication();
    void nothingVisibleEndsTheApplication();
    void keyPressCanDiscardOrReplace();
    void insertedTextFollowsTheKeyPressRule();
    void messageBoxIsAPlainModalPrompt();
    void releaseRunsTerminate();
    void showBringsAMinimisedWindowBack();
    void showRaisesOnce();
    void hiddenWindowGivesBackItsPixels_data();
    void hiddenWindowGivesBackItsPixels();
};

void tst_FormRuntime::loadsOnControlReferenceOnly()
{
    ProbeA &probe = ProbeA::instance();
    probe.Member = 7;
    QVERIFY(!probe.isLoaded());
    QVERIFY(events.isEmpty());

    QCOMPARE(probe.Label1()->text(), "Design");
    QVERIFY(probe.isLoaded());
    QVERIFY(!probe.visible());
    QVERIFY(!probe.window()->isVisible());
    QCOMPARE(events, QStringList{ "P1 load" });

    QCOMPARE(probe.caption(), "Probe");
    QCOMPARE(probe.tag(), "design tag");
    QCOMPARE(events.size(), 1);
}

void tst_FormRuntime::unloadKeepsMembersAndReloadStartsFromLayout()
{
    ProbeA &probe = ProbeA::instance();
    probe.show();
    probe.Member = 42;
    probe.setCaption("Changed");
    probe.setTag("changed");
    probe.Label1()->setText("changed");
    probe.Command1(0)->setVisible(false);
    const QPointer<QWidget> oldWindow = probe.window();

    probe.unload();
    QVERIFY(!probe.isLoaded());
    QCOMPARE(probe.Member, 42);
    QTRY_VERIFY(oldWindow.isNull());

    QCOMPARE(probe.caption(), "Probe");
    QCOMPARE(probe.tag(), "design tag");
    QCOMPARE(probe.Label1()->text(), "Design");
    QVERIFY(!probe.Command1(0)->isHidden());
    QVERIFY(!probe.visible());
    QCOMPARE(probe.Member, 42);
    QCOMPARE(events.count("P1 load"), 2);
    probe.unload();
}

void tst_FormRuntime::activationPassesBackOnHideAndUnload_data()
{
    QTest::addColumn<bool>("byUnload");
    QTest::newRow("hide") << false;
    QTest::newRow("unload") << true;
}

void tst_FormRuntime::activationPassesBackOnHideAndUnload()
{
    QFETCH(bool, byUnload);
    auto leave = [byUnload](runtime::Form &form) { byUnload ? form.unload() : form.hide(); };
    auto &runtime = runtime::FormRuntime::instance();
    ProbeA::instance().show();
    ProbeB::instance().show();
    ProbeC::instance().show();
    QCOMPARE(runtime.activeForm(), &ProbeC::instance());
    events.clear();

    leave(ProbeC::instance());
    QCOMPARE(events, QStringList{ "P2 activate" });
    QCOMPARE(runtime.activeForm(), &ProbeB::instance());

    // A window that is not active leaves without moving the activation.
    leave(ProbeA::instance());
    QCOMPARE(events, QStringList{ "P2 activate" });

    ProbeA::instance().show();
    leave(ProbeA::instance());
    QCOMPARE(events.filter("activate"),
             (QStringList{ "P2 activate", "P1 activate", "P2 activate" }));
    QCOMPARE(runtime.activeForm(), &ProbeB::instance());
    QTRY_COMPARE(QApplication::activeWindow(), ProbeB::instance().window());
}

void tst_FormRuntime::showingTheActiveWindowDoesNotActivateAgain()
{
    ProbeA::instance().show();
    ProbeA::instance().show();
    QCOMPARE(events, (QStringList{ "P1 load", "P1 activate" }));
}

void tst_FormRuntime::clickOnInactiveWindowActivatesBeforeClick()
{
    ProbeA::instance().show();
    ProbeB::instance().show();
    events.clear();
    gametest::click(ProbeA::instance().Command1(0));
    QCOMPARE(events, (QStringList{ "P1 activate", "P1 click 0" }));
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &ProbeA::instance());

    // Clicking the active window again activates nothing.
    gametest::click(ProbeA::instance().Command1(0));
    QCOMPARE(events.count("P1 activate"), 1);
}

void tst_FormRuntime::unloadInsideOwnHandlerIsSafe()
{
    ProbeB::instance().show();
    ProbeA::instance().show();
    const QPointer<QWidget> window = ProbeA::instance().window();
    events.clear();

    gametest::click(ProbeA::instance().Command1(1));
    QCOMPARE(ProbeA::instance().Member, 1);
    QVERIFY(!ProbeA::instance().isLoaded());
    QCOMPARE(events, (QStringList{ "P1 click 1", "P2 activate" }));

    // A click that reaches the unloaded window before it is deleted does nothing.
    const QPointer<QPushButton> gone = window->findChild<QPushButton *>("Command1_0");
    QVERIFY(gone);
    QTest::mouseClick(gone, Qt::LeftButton);
    QCOMPARE(events.size(), 2);
    QVERIFY(!ProbeA::instance().isLoaded());
    QTRY_VERIFY(window.isNull());
}

void tst_FormRuntime::lastUnloadEndsTheApplication()
{
    QSignalSpy ended(&runtime::FormRuntime::instance(), &runtime::FormRuntime::ended);
    ProbeA::instance().show();
    ProbeB::instance().Label1();
    ProbeA::instance().unload();
    QCOMPARE(ended.count(), 0);
    ProbeB::instance().unload();
    QCOMPARE(ended.count(), 1);
}

void tst_FormRuntime::closingASecondaryWindowOnlyUnloadsIt()
{
    QSignalSpy ended(&runtime::FormRuntime::instance(), &runtime::FormRuntime::ended);
    MainProbe::instance().show();
    ProbeA::instance().show();
    events.clear();

    QVERIFY(ProbeA::instance().window()->close());
    QVERIFY(!ProbeA::instance().isLoaded());
    QCOMPARE(events, QStringList{ "P0 activate" });
    QVERIFY(MainProbe::instance().visible());
    QTest::qWait(0);
    QCOMPARE(ended.count(), 0);
    QVERIFY(MainProbe::instance().isLoaded());
}

void tst_FormRuntime::closingAMainWindowEndsTheApplication()
{
    QSignalSpy ended(&runtime::FormRuntime::instance(), &runtime::FormRuntime::ended);
    ProbeA::instance().show();
    MainProbe::instance().show();
    ProbeB::instance().Label1(); // loaded, hidden

    QVERIFY(MainProbe::instance().window()->close());
    QCOMPARE(ended.count(), 1);
    QVERIFY(runtime::FormRuntime::instance().loadedForms().empty());
}

void tst_FormRuntime::nothingVisibleEndsTheApplication()
{
    QSignalSpy ended(&runtime::FormRuntime::instance(), &runtime::FormRuntime::ended);
    ProbeA::instance().show();
    ProbeB::instance().Label1();

    // Hidden and shown again within one step: the application goes on.
    ProbeA::instance().hide();
    ProbeA::instance().show();
    QTest::qWait(0);
    QCOMPARE(ended.count(), 0);

    // Closed by the user with only a hidden window left: nobody could ever reach it.
    QVERIFY(ProbeA::instance().window()->close());
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(!ProbeB::instance().isLoaded());
}

void tst_FormRuntime::keyPressCanDiscardOrReplace()
{
    ProbeA::instance().show();
    QLineEdit *text = ProbeA::instance().Text1();
    QTest::keyClicks(text, "ab-1.c");
    QCOMPARE(text->text(), "AB1C");
    QTest::keyClick(text, Qt::Key_Backspace);
    QCOMPARE(text->text(), "AB1");
    QTest::keyClick(text, Qt::Key_Left);
    QTest::keyClick(text, Qt::Key_Delete);
    QCOMPARE(text->text(), "AB");
}

void tst_FormRuntime::insertedTextFollowsTheKeyPressRule()
{
    ProbeA::instance().show();
    QLineEdit *text = ProbeA::instance().Text1();
    text->insert("12");
    QCOMPARE(text->text(), "12");
    text->insert("3-4");
    QCOMPARE(text->text(), "12");
}

// A platform whose style puts icons on the buttons of boxes.
class IconButtonsStyle final : public QProxyStyle
{
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        return hint == SH_DialogButtonBox_ButtonsHaveIcons
                ? 1
                : QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void tst_FormRuntime::messageBoxIsAPlainModalPrompt()
{
    const QString platform = QApplication::style()->name();
    QApplication::setStyle(new IconButtonsStyle);
    runtime::applyStyle();
    ProbeA::instance().show();
    gametest::ModalAnswerer answerer;
    runtime::messageBox("Prompt text.", "Title");
    QCOMPARE(answerer.answered, 1);
    QCOMPARE(answerer.title, "Title");
    QCOMPARE(answerer.text, "Prompt text.");
    QCOMPARE(answerer.icon, QMessageBox::NoIcon);
    QCOMPARE(answerer.buttonCount, 1);
    QVERIFY(!answerer.buttonIcons); // words alone, whatever the platform's style would add
    QVERIFY(!answerer.selectableText);
    QCOMPARE(answerer.modality, Qt::ApplicationModal);
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &ProbeA::instance());
    QApplication::setStyle(QStyleFactory::create(platform));
}

void tst_FormRuntime::releaseRunsTerminate()
{
    ProbeA::instance().show();
    ProbeB::instance().Member = 1;
    runtime::FormRuntime::instance().reset();
    QVERIFY(events.contains("P1 terminate"));
    QVERIFY(events.contains("P2 terminate"));
    QCOMPARE(ProbeB::instance().Member, 0);
}

void tst_FormRuntime::showBringsAMinimisedWindowBack()
{
    ProbeA &probe = ProbeA::instance();
    probe.show();
    probe.window()->setWindowState(Qt::WindowMinimized);
    ProbeB::instance().show();
    QVERIFY(probe.window()->isMinimized());
    probe.show();
    QVERIFY(!probe.window()->isMinimized());
    QCOMPARE(runtime::FormRuntime::instance().activeForm(), &probe);
}

// One request to bring the window in front at each showing, opening or in view already (the
// offscreen platform tells each).
void tst_FormRuntime::showRaisesOnce()
{
    static int raises = 0;
    const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &message) {
                raises += message.endsWith(QLatin1String("support raise()"));
            });
    ProbeA::instance().show();
    ProbeA::instance().show();
    qInstallMessageHandler(previous);
    QCOMPARE(raises, 2);
}

// What the screen shows of the window is what the widgets draw, a caption changed while hidden
// included.
void tst_FormRuntime::hiddenWindowGivesBackItsPixels_data()
{
    QTest::addColumn<bool>("form");
    QTest::newRow("a form's window") << true;
    QTest::newRow("a window that asks for it, as the boards' menus do") << false;
}

void tst_FormRuntime::hiddenWindowGivesBackItsPixels()
{
    QFETCH(bool, form);
    ProbeA &probe = ProbeA::instance();
    QLabel other(QStringLiteral("Before"));
    if (!form)
        runtime::givePixelsBackWhenHidden(other);
    QWidget *window = form ? probe.window() : &other;
    QLabel *text = form ? probe.Label1() : &other;
    const auto show = [&] { form ? probe.show() : other.show(); };
    show();
    QTRY_COMPARE(window->backingStore()->size(), window->size());
    form ? probe.hide() : other.hide();
    QVERIFY(window->backingStore()->size().isEmpty());

    text->setText(QStringLiteral("Changed"));
    show();
    const auto onScreen = [window] {
        return window->screen()
                ->grabWindow(window->winId())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
    };
    QTRY_COMPARE(onScreen(), window->grab().toImage().convertToFormat(QImage::Format_RGB32));
}

QTEST_MAIN(tst_FormRuntime)
#include "tst_formruntime.moc"
