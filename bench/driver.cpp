// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// Runs the real start-up path and its two floors as whole processes, in turn and many times, on
// one platform: the bare Qt window (what the toolkit costs) and the plain board (what any Qt
// program showing the first board costs). Prints the medians of start-up time and peak resident
// memory, and our ratios to both floors; also the peak memory of a whole game. Our program keeps
// its games, as for the player, and starts in turn with the floors both as on its first start
// (no record file) and with a record of many games. Then what follows the first paint: how long
// until the record is open, with no file and with that record, and until the question offering
// back a game left open is shown. Figures only.
//
//   bench_driver <bench_vantorel> <bench_plain> <bench_bare> <records> <games> [runs]
// records: a folder on the disk to measure, holding the record of `games` whole games
// (finished.sqlite) and the same with a game left open (open.sqlite), as bench_storage leaves
// them. The platform is the caller's QT_QPA_PLATFORM (and DISPLAY).
//
//   bench_driver --your-games <bench_vantorel> <vantorel> <work> <runs> <data-home>...
// Your Games as its own program over each record (a data home holding vantorel/games.sqlite,
// as bench_records makes them) and over none: from the start of `vantorel --games` until its
// window is painted, against the board's start-up over the same record, and until it shows the
// games; its peak memory then; and the export of every game as CSV (the real program's
// --export-csv, to a file in `work`), its time and peak memory.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Run
{
    double ms = 0;
    long maxRssKb = 0;
};

// Its standard output goes to the file `output`.
Run runProcess(const std::vector<std::string> &args, const std::string &output = "/dev/null")
{
    std::vector<char *> argv;
    argv.reserve(args.size() + 1);
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The offscreen platform announces every window operation it lacks; quiet both streams.
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
        std::exit(1);
    }
    return { std::chrono::duration<double, std::milli>(end - start).count(), usage.ru_maxrss };
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Series
{
    std::vector<double> ms;
    std::vector<double> rssKb;
    void add(const Run &run)
    {
        ms.push_back(run.ms);
        rssKb.push_back(double(run.maxRssKb));
    }
};

// The first board's width, height, pixels per twip and font factor, as the program prints them.
std::vector<std::string> boardGeometry(const std::string &vantorel)
{
    FILE *pipe = popen((vantorel + " --size 2>/dev/null").c_str(), "r");
    std::array<std::array<char, 32>, 4> words{};
    const int read = pipe ? std::fscanf(pipe, "%31s %31s %31s %31s", words[0].data(),
                                        words[1].data(), words[2].data(), words[3].data())
                          : 0;
    if (pipe)
        pclose(pipe);
    if (read != 4) {
        std::fprintf(stderr, "%s --size printed nothing\n", vantorel.c_str());
        std::exit(1);
    }
    return { words[0].data(), words[1].data(), words[2].data(), words[3].data() };
}

void printRatios(const char *what, double value, const char *unit, double bare, double plain,
                 const char *target = "")
{
    std::printf("  %-22s %8.1f %-3s  %7.3f  %7.3f%s\n", what, value, unit, value / bare,
                value / plain, target);
}

// A record's name for the tables: its data home's.
std::string recordName(const std::filesystem::path &dataHome)
{
    return std::filesystem::exists(dataHome / "vantorel" / "games.sqlite")
            ? dataHome.filename().string()
            : "no record";
}

double megabytes(double kb)
{
    return kb * 1024 / 1e6;
}

int yourGames(const std::vector<std::string> &args)
{
    if (args.size() < 7) {
        std::fprintf(stderr,
                     "usage: %s --your-games <bench_vantorel> <vantorel> <work> <runs> "
                     "<data-home>...\n",
                     args[0].c_str());
        return 2;
    }
    const std::string &vantorel = args[2];
    const std::string &program = args[3];
    const std::filesystem::path work = args[4];
    const int runs = std::max(1, std::atoi(args[5].c_str()));
    // No record first: a data home without one.
    std::vector<std::filesystem::path> dataHomes = { work / "no-record" };
    dataHomes.insert(dataHomes.end(), args.begin() + 6, args.end());

    struct Figures
    {
        Series board, painted, loaded;
    };
    std::vector<Figures> figures(dataHomes.size());
    for (int i = 0; i < runs + 1; ++i) {
        for (std::size_t which = 0; which < dataHomes.size(); ++which) {
            const std::string record = (dataHomes[which] / "vantorel" / "games.sqlite").string();
            std::filesystem::remove_all(dataHomes.front());
            // The first round warms the file cache and is not counted.
            const Run board = runProcess({ vantorel, "--record", record });
            const Run painted = runProcess({ vantorel, "--games", "--record", record });
            const Run loaded = runProcess({ vantorel, "--games-loaded", "--record", record });
            if (i == 0)
                continue;
            figures[which].board.add(board);
            figures[which].painted.add(painted);
            figures[which].loaded.add(loaded);
        }
    }
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("Your Games as its own program (vantorel --games) against the board's start-up "
                "over the same record (platform %s, %d runs each; medians)\n",
                platform ? platform : "default", runs);
    std::printf("  %-14s %10s %12s %8s %12s %12s %14s\n", "record", "board ms", "painted ms",
                "/ board", "loaded ms", "peak MB", "peak - none");
    const double noneKb = median(figures.front().loaded.rssKb);
    for (std::size_t which = 0; which < dataHomes.size(); ++which) {
        const Figures &f = figures[which];
        const double boardMs = median(f.board.ms);
        const double paintedMs = median(f.painted.ms);
        const double peakKb = median(f.loaded.rssKb);
        std::printf("  %-14s %10.1f %12.1f %8.3f %12.1f %12.1f %+14.1f\n",
                    recordName(dataHomes[which]).c_str(), boardMs, paintedMs, paintedMs / boardMs,
                    median(f.loaded.ms), megabytes(peakKb), megabytes(peakKb - noneKb));
    }
    std::printf("  (painted: the window's first paint, target 1.3 / board; loaded: the games "
                "shown, the peak memory then, target within 10 MB of no record)\n");

    // The real program, finding its record in XDG_DATA_HOME as a player's does.
    std::printf("Export of every game as CSV (vantorel --export-csv to %s; %d runs each, "
                "medians)\n",
                work.string().c_str(), runs);
    std::printf("  %-14s %10s %12s %12s\n", "record", "wall ms", "peak MB", "file MB");
    const std::string csv = (work / "games.csv").string();
    for (std::size_t which = 1; which < dataHomes.size(); ++which) {
        setenv("XDG_DATA_HOME", dataHomes[which].c_str(), 1);
        Series exports;
        for (int i = 0; i < runs + 1; ++i) {
            const Run run = runProcess({ program, "--export-csv", csv });
            if (i > 0)
                exports.add(run);
        }
        std::printf("  %-14s %10.1f %12.1f %12.1f\n", recordName(dataHomes[which]).c_str(),
                    median(exports.ms), megabytes(median(exports.rssKb)),
                    double(std::filesystem::file_size(csv)) / 1e6);
        std::filesystem::remove(csv);
    }
    unsetenv("XDG_DATA_HOME");
    std::printf("  (target: under 1 s, and the same memory at any size)\n");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::string(argv[1]) == "--your-games")
        return yourGames({ argv, argv + argc });
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: %s <bench_vantorel> <bench_plain> <bench_bare> <records> <games> "
                     "[runs]\n",
                     argv[0]);
        return 2;
    }
    const std::string vantorel = argv[1];
    const std::filesystem::path records = argv[4];
    const std::string games = argv[5];
    const int runs = argc > 6 ? std::max(1, std::atoi(argv[6])) : 40;

    // Our program on its first start: no record file, its folder removed before each run.
    const std::filesystem::path noFile = records / "none";
    const std::string fresh = (noFile / "games.sqlite").string();
    const std::string finished = (records / "finished.sqlite").string();
    const std::string open = (records / "open.sqlite").string();
    const auto run = [&](const std::vector<std::string> &args,
                         const std::string &output = "/dev/null") {
        std::filesystem::remove_all(noFile);
        return runProcess(args, output);
    };

    const std::vector<std::string> geometry = boardGeometry(vantorel);
    // The program with no record file and with the record, the plain board and the bare window.
    const std::array<std::vector<std::string>, 4> programs = {
        std::vector<std::string>{ vantorel, "--record", fresh },
        std::vector<std::string>{ vantorel, "--record", finished },
        std::vector<std::string>{ argv[2], geometry[2], geometry[3] },
        std::vector<std::string>{ argv[3], geometry[0], geometry[1] }
    };
    enum { Ours, OursWithRecord, Plain, Bare };

    // One of each first, to warm the file cache; not counted.
    for (const std::vector<std::string> &program : programs)
        run(program);
    std::array<Series, 4> startUp;
    // Each of the orders in turn, so that none always follows another.
    std::array<int, 4> order = { Ours, OursWithRecord, Plain, Bare };
    for (int i = 0; i < runs; ++i) {
        for (int program : order)
            startUp[program].add(run(programs[program]));
        std::next_permutation(order.begin(), order.end());
    }
    Series game;
    for (int i = 0; i < std::max(3, runs / 4); ++i)
        game.add(run({ vantorel, "--play", "--record", fresh }));

    // From the painted board until the record is open, or its question shown.
    struct AfterPaint
    {
        std::string label;
        std::string record;
        std::string expected;
    };
    constexpr std::size_t afterPaintCount = 3;
    const std::array<AfterPaint, afterPaintCount> afterPaint = { {
            { "record open, no file", fresh, "open" },
            { "record open, " + games + " games", finished, "open" },
            { "question shown, " + games + " games and one open", open, "question" },
    } };
    std::array<std::vector<double>, afterPaintCount> afterPaintMs;
    const std::string output = (records / "output").string();
    for (int i = 0; i < runs; ++i) {
        for (std::size_t which = 0; which < std::size(afterPaint); ++which) {
            run({ vantorel, "--record", afterPaint[which].record, "--after-paint" }, output);
            std::array<char, 16> word{};
            double ms = 0;
            FILE *printed = std::fopen(output.c_str(), "r");
            const bool read = printed && std::fscanf(printed, "%15s %lf", word.data(), &ms) == 2;
            if (printed)
                std::fclose(printed);
            if (!read || word.data() != afterPaint[which].expected) {
                std::fprintf(stderr, "%s --after-paint with %s did not print \"%s\"\n",
                             vantorel.c_str(), afterPaint[which].record.c_str(),
                             afterPaint[which].expected.c_str());
                return 1;
            }
            afterPaintMs[which].push_back(ms);
        }
    }

    const char *platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("Start-up to the first board painted, and peak memory (platform %s, %d runs each, "
                "board %sx%s; medians)\n",
                platform ? platform : "default", runs, geometry[0].c_str(), geometry[1].c_str());
    std::printf("  %-22s %12s  %7s  %7s\n", "", "", "/ bare", "/ plain");
    const double bareMs = median(startUp[Bare].ms);
    const double plainMs = median(startUp[Plain].ms);
    const double oursMs = median(startUp[Ours].ms);
    printRatios("start-up: bare window", bareMs, "ms", bareMs, plainMs);
    printRatios("start-up: plain board", plainMs, "ms", bareMs, plainMs);
    printRatios("start-up: vantorel", oursMs, "ms", bareMs, plainMs,
                "  (no record file; target 1.02 / plain)");
    const double withRecordMs = median(startUp[OursWithRecord].ms);
    std::array<char, 96> withRecord{};
    std::snprintf(withRecord.data(), withRecord.size(),
                  "  (%s games; %.3f / no record file, target 1.02)", games.c_str(),
                  withRecordMs / oursMs);
    printRatios("start-up: with record", withRecordMs, "ms", bareMs, plainMs, withRecord.data());
    const double bareMiB = median(startUp[Bare].rssKb) / 1024;
    const double plainMiB = median(startUp[Plain].rssKb) / 1024;
    printRatios("memory: bare window", bareMiB, "MiB", bareMiB, plainMiB);
    printRatios("memory: plain board", plainMiB, "MiB", bareMiB, plainMiB);
    printRatios("memory: vantorel", median(startUp[Ours].rssKb) / 1024, "MiB", bareMiB, plainMiB,
                "  (at start-up)");
    printRatios("memory: vantorel game", median(game.rssKb) / 1024, "MiB", bareMiB, plainMiB,
                "  (whole game; target 1.15 / plain)");
    std::printf("After the first board is painted (%d runs each)\n", runs);
    std::printf("  %-40s %8s %8s\n", "ms", "median", "worst");
    for (std::size_t which = 0; which < std::size(afterPaint); ++which) {
        std::printf("  %-40s %8.1f %8.1f%s\n", afterPaint[which].label.c_str(),
                    median(afterPaintMs[which]),
                    *std::max_element(afterPaintMs[which].begin(), afterPaintMs[which].end()),
                    afterPaint[which].expected == "question" ? "  (target 100)" : "");
    }
    return 0;
}
