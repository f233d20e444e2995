// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// Runs the real start-up path and its two floors as whole processes, in turn and many times, on
// one platform: the bare Qt window (what the toolkit costs) and the plain board (what any Qt
// program showing the first board costs). Prints the medians of start-up time and peak resident
// memory, and our ratios to both floors; also the peak memory of a whole game. Figures only.
//
//   bench_driver <bench_vantorel> <bench_plain> <bench_bare> [runs]
// The platform is the caller's QT_QPA_PLATFORM (and DISPLAY).

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char **environ;

namespace {

struct Run
{
    double ms = 0;
    long maxRssKb = 0;
};

Run runProcess(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The offscreen platform announces every window operation it lacks; quiet both streams.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 01 /* O_WRONLY */, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 01 /* O_WRONLY */, 0);

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

// The first board's width, height and pixels per twip, as the program prints them.
std::vector<std::string> boardGeometry(const std::string &vantorel)
{
    FILE *pipe = popen((vantorel + " --size 2>/dev/null").c_str(), "r");
    char words[3][32] = {};
    const int read = pipe ? std::fscanf(pipe, "%31s %31s %31s", words[0], words[1], words[2]) : 0;
    if (pipe)
        pclose(pipe);
    if (read != 3) {
        std::fprintf(stderr, "%s --size printed nothing\n", vantorel.c_str());
        std::exit(1);
    }
    return { words[0], words[1], words[2] };
}

void printRatios(const char *what, double value, const char *unit, double bare, double plain,
                 const char *target = "")
{
    std::printf("  %-22s %8.1f %-3s  %7.3f  %7.3f%s\n", what, value, unit, value / bare,
                value / plain, target);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <bench_vantorel> <bench_plain> <bench_bare> [runs]\n",
                     argv[0]);
        return 2;
    }
    const std::string vantorel = argv[1];
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 40;

    const std::vector<std::string> geometry = boardGeometry(vantorel);
    // The program, the plain board and the bare window.
    const std::array<std::vector<std::string>, 3> programs = {
        std::vector<std::string>{ vantorel }, std::vector<std::string>{ argv[2], geometry[2] },
        std::vector<std::string>{ argv[3], geometry[0], geometry[1] }
    };
    enum { Ours, Plain, Bare };

    // One of each first, to warm the file cache; not counted.
    for (const std::vector<std::string> &program : programs)
        runProcess(program);
    std::array<Series, 3> startUp;
    // Each of the six orders in turn, so that none of the three always follows another.
    std::array<int, 3> order = { Ours, Plain, Bare };
    for (int i = 0; i < runs; ++i) {
        for (int program : order)
            startUp[program].add(runProcess(programs[program]));
        std::next_permutation(order.begin(), order.end());
    }
    Series game;
    for (int i = 0; i < std::max(3, runs / 4); ++i)
        game.add(runProcess({ vantorel, "--play" }));

    const char *platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("Start-up to the first board painted, and peak memory (platform %s, %d runs each, "
                "board %sx%s; medians)\n",
                platform ? platform : "default", runs, geometry[0].c_str(), geometry[1].c_str());
    std::printf("  %-22s %12s  %7s  %7s\n", "", "", "/ bare", "/ plain");
    const double bareMs = median(startUp[Bare].ms), plainMs = median(startUp[Plain].ms);
    printRatios("start-up: bare window", bareMs, "ms", bareMs, plainMs);
    printRatios("start-up: plain board", plainMs, "ms", bareMs, plainMs);
    printRatios("start-up: vantorel", median(startUp[Ours].ms), "ms", bareMs, plainMs,
                "  (target 1.02 / plain)");
    const double bareMiB = median(startUp[Bare].rssKb) / 1024,
                 plainMiB = median(startUp[Plain].rssKb) / 1024;
    printRatios("memory: bare window", bareMiB, "MiB", bareMiB, plainMiB);
    printRatios("memory: plain board", plainMiB, "MiB", bareMiB, plainMiB);
    printRatios("memory: vantorel", median(startUp[Ours].rssKb) / 1024, "MiB", bareMiB, plainMiB,
                "  (at start-up)");
    printRatios("memory: vantorel game", median(game.rssKb) / 1024, "MiB", bareMiB, plainMiB,
                "  (whole game; target 1.15 / plain)");
    return 0;
}
