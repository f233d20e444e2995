// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>

#include <functional>

namespace layouts {
struct Identity;
}

namespace runtime {

// The application's name, version, desktop entry and window icon.
void applyIdentity(const layouts::Identity &identity);

// The platform's style, but where it would put icons on the buttons of boxes they carry their
// words alone, as on Windows: a box then opens without reading the whole icon theme, which on a
// desktop without one of its own was most of a game's highest memory use, for no icon at all.
void applyStyle();

// The command line, answered before anything needs a display: -h/--help and -v/--version print
// and end the program (status 0); any option or argument but those and the caller's ends it
// with one line and status 2. The caller reads its own options back.
class CommandLine final
{
public:
    CommandLine(int &argc, char **argv, const layouts::Identity &identity,
                const QList<QCommandLineOption> &options = {});

    bool isSet(const QCommandLineOption &option) const { return m_parser.isSet(option); }
    QString value(const QCommandLineOption &option) const { return m_parser.value(option); }

    // Runs a task that needs no display (no window) under a QCoreApplication, and gives the
    // program's status: 0, or 1 when the task fails, after its error in one line.
    int runWithoutDisplay(const std::function<bool(QString *error)> &task) const;

private:
    int &m_argc;
    char **m_argv;
    QCommandLineParser m_parser;
};

// Watches the opening of the display, which a program without a graphical desktop cannot do:
// that ends it with one line and status 1 rather than Qt's abort.
class DisplayCheck
{
protected:
    DisplayCheck();
    // The display is open: messages held while it opened go out as they would have.
    void displayOpened();
};

// The program's application object: the check above, then a QApplication carrying the
// program's identity and style.
class Application final : private DisplayCheck, public QApplication
{
public:
    Application(int &argc, char **argv, const layouts::Identity &identity);
};

} // namespace runtime
