// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// Every action of a whole game, timed in-process on the real windows: from the click (or the
// keystroke) until every handler and every repaint it set off has run. The first game runs on
// a freshly started program; the games after it show the steady state. Prints figures only.

#include "formruntime.h"
#include "identity.h"
#include "playalong.h"
#include "script.h"
#include "singleboard.h"

#include <QApplication>
#include <QEvent>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int paints = 0;

class PaintCounter final : public QObject
{
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void quietPlatformNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // The offscreen platform announces every window operation it lacks.
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        qt_message_output(type, context, message);
}

// Runs what the input set off: handlers, posted events, timers due now, repaints, deferred
// deletions.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Wall time is what the player waits; thread CPU time leaves out what other processes on a
// busy machine took meanwhile.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Series
{
    std::vector<double> ms;
    void print(const char *what, int games) const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        const auto at = [&](double q) {
            return sorted[std::min(sorted.size() - 1,
                                   std::size_t(q * double(sorted.size() - 1) + 0.5))];
        };
        double total = 0;
        for (double v : sorted)
            total += v;
        std::printf("  %-24s median %7.3f ms  p99 %7.3f ms  max %7.3f ms  per game %8.2f ms\n",
                    what, at(0.5), at(0.99), sorted.back(), total / games);
    }
};

struct Figures
{
    Series wall;
    Series cpu;
    void append(const Figures &other)
    {
        wall.ms.insert(wall.ms.end(), other.wall.ms.begin(), other.wall.ms.end());
        cpu.ms.insert(cpu.ms.end(), other.cpu.ms.begin(), other.cpu.ms.end());
    }
    void print(const char *what, int games) const
    {
        std::printf("%s, %zu actions\n", what, wall.ms.size());
        wall.print("wall:", games);
        cpu.print("CPU:", games);
    }
};

Figures playOneGame()
{
    Figures figures;
    SingleBoard::instance().show();
    settle();
    bench::playWholeGame([&](bench::Step step, QWidget *target, char key) {
        const auto start = Clock::now();
        const double startCpu = cpuMs();
        if (step == bench::Step::Click)
            QTest::mouseClick(target, Qt::LeftButton);
        else
            QTest::keyClick(target, key);
        settle();
        figures.cpu.ms.push_back(cpuMs() - startCpu);
        figures.wall.ms.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    });
    runtime::FormRuntime::instance().reset();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatformNotices);
    QApplication app(argc, argv);
    runtime::applyIdentity(layouts::identity);
    playalong::install();
    PaintCounter counter;
    app.installEventFilter(&counter);
    const int games = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;

    std::printf("Every action (platform %s, %d games)\n",
                qPrintable(QGuiApplication::platformName()), games);
    const Figures first = playOneGame();
    const int firstPaints = paints;
    Figures later;
    for (int game = 1; game < games; ++game) {
        later.append(playOneGame());
    }
    first.print("  first game (cold)", 1);
    later.print("  later games (warm)", games - 1);
    std::printf("  widget paints in the first game: %d\n", firstPaints);
    return 0;
}
