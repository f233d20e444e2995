// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/application.h"

#include "layouts/identity.h"
#include "runtime/loader.h"

#include <QCommandLineParser>
#include <QDir>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace runtime {
namespace {

std::string programName = "vantorel";

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

CommandLine::CommandLine(int &argc, char **argv, const layouts::Identity &identity,
                         const QList<QCommandLineOption> &options)
    : m_argc(argc), m_argv(argv)
{
    if (argc > 0) {
        const std::string path = argv[0];
        programName = path.substr(path.find_last_of('/') + 1);
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
    if (m_parser.isSet(version))
        m_parser.showVersion();
    if (m_parser.isSet(help)) {
        const QCoreApplication named(argc, argv); // the help names the program as it was called
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
}

} // namespace runtime
