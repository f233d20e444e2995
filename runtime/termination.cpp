// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/termination.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#  include <csignal>
#  include <sys/socket.h>
#  include <unistd.h>
#endif

namespace runtime {

#ifdef Q_OS_UNIX
namespace {

// A signal handler may only write: the byte wakes the event loop, which does the rest.
std::array<int, 2> wakeUp = { -1, -1 };

void terminated(int /*signal*/)
{
    const char byte = 1;
    (void)!::write(wakeUp[1], &byte, 1);
}

} // namespace
#endif

void handleTermination(std::function<void()> onTermination)
{
    if (!onTermination)
        onTermination = [] { QCoreApplication::quit(); };
#ifdef Q_OS_UNIX
    if (wakeUp[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeUp.data()) != 0)
        return; // no way to hear of it: termination ends the program at once, as before
    auto *notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp,
                     [onTermination = std::move(onTermination)] {
                         char byte = 0;
                         (void)!::read(wakeUp[0], &byte, 1);
                         onTermination();
                     });
    struct sigaction action = {};
    action.sa_handler = terminated;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
#else
    Q_UNUSED(onTermination);
#endif
}

} // namespace runtime
