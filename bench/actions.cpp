// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// Every input of a whole game, timed in-process on the real windows: from the click (or the
// keystroke) until every handler and every repaint it set off has run. The first game runs on
// a freshly started program; the games after it show the steady state. The designed game's
// inputs and the additions' are counted apart. The games are kept as the program keeps them, in
// a record made afresh beside this program (on the build tree's disk), so that each result's
// time includes its commit. Prints figures only.

#include "tests/support/gamescript.h"
#include "layouts/identity.h"
#include "playalong/journal.h"
#include "playalong/playalong.h"
#include "record/yourgames.h"
#include "runtime/application.h"
#include "runtime/formruntime.h"
#include "storage/gamestore.h"
#include "tests/support/faultvfs.h"
#include "windows/singleboard.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <vector>

namespace {

using gamescript::Action;
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

// Wall time is what the player waits; thread CPU time leaves out what other processes on a
// busy machine took meanwhile.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Sample
{
    Action action;
    double wallMs;
    double cpuMs;
};

std::vector<Sample> playOneGame(const playalong::PlayAlong &playAlong)
{
    std::vector<Sample> samples;
    Action current = Action::Designed;
    Clock::time_point start;
    double startCpu = 0;
    const auto begin = [&](Action action) {
        current = action;
        start = Clock::now();
        startCpu = cpuMs();
    };
    const auto finish = [&] {
        samples.push_back({ current,
                            std::chrono::duration<double, std::milli>(Clock::now() - start).count(),
                            cpuMs() - startCpu });
    };
    // The question's answer ends the input that opened it and is an input of its own.
    gamescript::QuestionAnswerer answerer([&] {
        finish();
        begin(Action::EndRoundYes);
    });

    SingleBoard::instance().show();
    // The record opens once the first board is painted, before anyone could click.
    while (!playAlong.journal()->store())
        gamescript::settle();
    gamescript::playWholeGame([&](Action action, auto &&input) {
        begin(action);
        input();
        gamescript::settle();
        finish();
    });
    // A pause between games: the record is synced and its log copied into the file, so that
    // the next game's first result is the first after a checkpoint.
    playAlong.journal()->store()->waitForWritten();
    runtime::FormRuntime::instance().reset();
    return samples;
}

struct Row
{
    const char *name;
    std::initializer_list<Action> actions;
    const char *target = "";
};

const std::array rows = {
    Row{ "every input", {}, "  (target 0.2 / 2 / 16 in later games)" },
    Row{ "the designed game",
         { Action::Designed, Action::FirstResult, Action::RoundChange, Action::FinalHandOff } },
    Row{ "  the first result", { Action::FirstResult } },
    Row{ "  the round change", { Action::RoundChange } },
    Row{ "  the final hand-off", { Action::FinalHandOff } },
    Row{ "menu opens (right click)", { Action::MenuOpen } },
    Row{ "menu closes (Escape)", { Action::MenuClose } },
    Row{ "undo (from the menu)", { Action::Undo } },
    Row{ "redo (from the menu)", { Action::Redo } },
    Row{ "end round: question", { Action::EndRoundAsk } },
    Row{ "end round: Yes", { Action::EndRoundYes } },
};

struct Stats
{
    std::size_t count = 0;
    double median = 0, p99 = 0, max = 0, total = 0;
};

Stats statsOf(const std::vector<std::vector<Sample>> &games, const Row &row, bool wall)
{
    std::vector<double> ms;
    Stats stats;
    for (const std::vector<Sample> &game : games) {
        for (const Sample &sample : game) {
            if (row.actions.size() == 0
                || std::find(row.actions.begin(), row.actions.end(), sample.action)
                        != row.actions.end())
                ms.push_back(wall ? sample.wallMs : sample.cpuMs);
        }
    }
    if (ms.empty())
        return stats;
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) {
        return ms[std::min(ms.size() - 1, std::size_t(q * double(ms.size() - 1) + 0.5))];
    };
    stats.count = ms.size();
    stats.median = at(0.5);
    stats.p99 = at(0.99);
    stats.max = ms.back();
    for (double v : ms)
        stats.total += v;
    return stats;
}

void printTable(const char *clock, bool wall, const std::vector<std::vector<Sample>> &first,
                const std::vector<std::vector<Sample>> &later)
{
    std::printf("  %-26s %6s   %-25s  %-25s  %s\n", "", "", "first game", "later games", "");
    std::printf("  %-26s %6s  %8s %8s %8s  %8s %8s %8s  %8s\n", clock, "inputs", "median", "p99",
                "max", "median", "p99", "max", "per game");
    for (const Row &row : rows) {
        const Stats cold = statsOf(first, row, wall);
        const Stats warm = statsOf(later, row, wall);
        std::printf("  %-26s %6zu  %8.3f %8.3f %8.3f  %8.3f %8.3f %8.3f  %8.2f%s\n", row.name,
                    cold.count, cold.median, cold.p99, cold.max, warm.median, warm.p99, warm.max,
                    warm.total / double(later.size()), wall ? row.target : "");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatformNotices);
    runtime::Application app(argc, argv, layouts::identity);
    QDir recordFolder(QCoreApplication::applicationDirPath() + QLatin1String("/actions-record"));
    recordFolder.removeRecursively();
    const playalong::PlayAlong playAlong(recordFolder.filePath(QStringLiteral("games.sqlite")),
                                         &record::showYourGames);
    PaintCounter counter;
    app.installEventFilter(&counter);
    const int games = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
    // Every file of the record through a disk whose syncs can be made slow.
    faultvfs::Knobs &disk = faultvfs::install();

    std::vector<std::vector<Sample>> first{ playOneGame(playAlong) };
    const int firstPaints = paints;
    std::vector<std::vector<Sample>> later;
    for (int game = 1; game < games; ++game)
        later.push_back(playOneGame(playAlong));

    std::printf("Every input of a game, in ms (platform %s; the first game on a fresh program, "
                "then %d more; the games kept in %s)\n",
                qPrintable(QGuiApplication::platformName()), games - 1,
                qPrintable(recordFolder.filePath(QStringLiteral("games.sqlite"))));
    printTable("wall time", true, first, later);
    printTable("CPU time (this thread)", false, first, later);
    std::printf("  widget paints in the first game: %d\n", firstPaints);
    std::printf("  (the first result: of the session in the first game, after a checkpoint in "
                "later games)\n");

    // A slow disk: the writer waits for it, the player does not.
    constexpr int slowSyncMs = 500;
    disk.syncDelayMs = slowSyncMs;
    const long syncs = disk.syncs;
    std::vector<std::vector<Sample>> slow;
    for (int game = 0; game < std::max(2, games / 4); ++game)
        slow.push_back(playOneGame(playAlong));
    std::printf("\nEvery input of a game with each sync of the disk taking %d ms (%ld syncs over "
                "%zu games), in ms\n",
                slowSyncMs, disk.syncs - syncs, slow.size());
    printTable("wall time", true, { slow.front() }, { slow.begin() + 1, slow.end() });
    return 0;
}
