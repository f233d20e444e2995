// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/application.h"

#include "layouts/identity.h"
#include "runtime/loader.h"
#include "runtime/termination.h"

#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QProxyStyle>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef Q_OS_WIN
#  include <io.h>
#  include <windows.h>
#endif

namespace runtime {
namespace {

std::string programName = "vantorel";
#ifdef Q_OS_WIN
constexpr const char *pathSeparators = "/\\";
#else
constexpr const char *pathSeparators = "/";
#endif

// What Qt says while it opens the display. When it cannot, it ends with a fatal message after a
// few notices of its own; the program says one thing instead.
struct HeldMessage
{
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> heldMessages;
QtMessageHandler nextHandler = nullptr;

void holdWhileTheDisplayOpens(QtMsgType type, const QMessageLogContext &context,
                              const QString &message)
{
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        const std::string where = display.isEmpty()
                ? std::string("DISPLAY is not set")
                : "cannot open display " + display.toStdString();
        std::fprintf(stderr, "%s: needs a graphical desktop to show its windows (%s)\n",
                     programName.c_str(), where.c_str());
        std::_Exit(1);
    }
    heldMessages.push_back({ type, context.category, message });
}

[[noreturn]] void refuse(const QString &why)
{
    std::fprintf(stderr, "%s: %s\n", programName.c_str(), qPrintable(why));
    std::exit(2);
}

#ifdef Q_OS_WIN
bool connected(FILE *stream)
{
    const int descriptor = _fileno(stream);
    return descriptor >= 0 && _get_osfhandle(descriptor) >= 0;
}

// A program without a console of its own (as the Start menu starts it, with no window opening)
// writes what the command line asks for into the console it was typed in, if there is one.
// Output sent to a file or a pipe stays there.
void useParentConsole()
{
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!connected(stdout))
        (void)std::freopen("CONOUT$", "w", stdout);
    if (!connected(stderr))
        (void)std::freopen("CONOUT$", "w", stderr);
}

// Qt shows the help and the version in a message box unless there is a console, even when the
// output goes to a file or a pipe: there they are written, as everywhere else.
void printIfConnected(const QString &text)
{
    if (!connected(stdout))
        return;
    std::fputs(qPrintable(text), stdout);
    std::exit(0);
}
#endif

class WordsOnlyButtons final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        return hint == SH_DialogButtonBox_ButtonsHaveIcons
                ? 0
                : QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

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

void applyStyle()
{
    QStyle *platform = QApplication::style();
    // Wrapped, the platform's style belongs to the wrapper, which the application then owns.
    if (platform->styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons))
        QApplication::setStyle(new WordsOnlyButtons(platform));
}

CommandLine::CommandLine(int &argc, char **argv, const layouts::Identity &identity,
                         const QList<QCommandLineOption> &options)
    : m_argc(argc), m_argv(argv)
{
#ifdef Q_OS_WIN
    useParentConsole();
#endif
    if (argc > 0) {
        const std::string path = argv[0];
        programName = path.substr(path.find_last_of(pathSeparators) + 1);
    }
    QCoreApplication::setApplicationName(toQString(identity.title));
    QCoreApplication::setApplicationVersion(toQString(identity.version));

    m_parser.setApplicationDescription(QStringLiteral(
            "Keeps your score while you play along with a televised board-and-clue quiz show."));
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Not addHelpOption(): its --help-all lists Qt's own options, which this program refuses.
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
                                  QStringLiteral("Displays this help."));
    m_parser.addOption(help);
    const QCommandLineOption version = m_parser.addVersionOption();
    m_parser.addOptions(options);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!m_parser.parse(arguments))
        refuse(m_parser.errorText());
    if (!m_parser.positionalArguments().isEmpty())
        refuse(QStringLiteral("unexpected argument '%1'")
                       .arg(m_parser.positionalArguments().first()));
    if (m_parser.isSet(version)) {
#ifdef Q_OS_WIN
        printIfConnected(QCoreApplication::applicationName() + QLatin1Char(' ')
                         + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
#endif
        m_parser.showVersion();
    }
    if (m_parser.isSet(help)) {
        const QCoreApplication named(argc, argv); // the help names the program as it was called
#ifdef Q_OS_WIN
        printIfConnected(m_parser.helpText());
#endif
        m_parser.showHelp();
    }
}

int CommandLine::runWithoutDisplay(const std::function<bool(QString *error)> &task) const
{
    const QCoreApplication application(m_argc, m_argv);
    QString error;
    if (task(&error))
        return 0;
    std::fprintf(stderr, "%s: %s\n", programName.c_str(), qPrintable(error.simplified()));
    return 1;
}

DisplayCheck::DisplayCheck()
{
    nextHandler = qInstallMessageHandler(holdWhileTheDisplayOpens);
}

void DisplayCheck::displayOpened()
{
    qInstallMessageHandler(nextHandler);
    for (const HeldMessage &held : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        nextHandler(held.type, context, held.text);
    }
    heldMessages.clear();
}

Application::Application(int &argc, char **argv, const layouts::Identity &identity)
    : QApplication(argc, argv)
{
    displayOpened();
    applyIdentity(identity);
    applyStyle();
    handleTermination();
}

} // namespace runtime
