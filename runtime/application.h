// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QApplication>

namespace layouts {
struct Identity;
}

namespace runtime {

// The application's name, version, desktop entry and window icon.
void applyIdentity(const layouts::Identity &identity);

// Answers the command line before anything needs a display: -h/--help and -v/--version print
// and end the program (status 0); any other option or argument ends it with one line and
// status 2. Then it watches the opening of the display, which a program without a graphical
// desktop cannot do: that ends it with one line and status 1 rather than Qt's abort.
class StartUpChecks
{
protected:
    StartUpChecks(int argc, char **argv, const layouts::Identity &identity);
    // The display is open: messages held while it opened go out as they would have.
    void displayOpened();
};

// The program's application object: the checks above, then a QApplication carrying the
// program's identity.
class Application final : private StartUpChecks, public QApplication
{
public:
    Application(int &argc, char **argv, const layouts::Identity &identity);
};

} // namespace runtime
