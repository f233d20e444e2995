// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// Runs the real start-up path and the bare Qt window as whole processes, alternately and many
// times, on one platform; prints the medians of start-up time and peak resident memory and the
// ratio ours / bare. Also the peak memory of a whole game. Prints figures only.
//
//   bench_driver <bench_vantorel> <bench_bare> [runs]
// The platform is the caller's QT_QPA_PLATFORM (and DISPLAY).

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
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

std::string boardSize(const std::string &vantorel)
{
    FILE *pipe = popen((vantorel + " --size 2>/dev/null").c_str(), "r");
    char line[64] = {};
    if (!pipe || !std::fgets(line, sizeof line, pipe)) {
        std::fprintf(stderr, "%s --size printed nothing\n", vantorel.c_str());
        std::exit(1);
    }
    pclose(pipe);
    return line;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <bench_vantorel> <bench_bare> [runs]\n", argv[0]);
        return 2;
    }
    const std::string vantorel = argv[1];
    const std::string bare = argv[2];
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 40;

    int width = 0, height = 0;
    std::sscanf(boardSize(vantorel).c_str(), "%d %d", &width, &height);
    const std::vector<std::string> ours = { vantorel };
    const std::vector<std::string> ourGame = { vantorel, "--play" };
    const std::vector<std::string> floor = { bare, std::to_string(width), std::to_string(height) };

    // One of each first, to warm the file cache; not counted.
    runProcess(ours);
    runProcess(floor);
    Series start, bareStart, game;
    for (int i = 0; i < runs; ++i) {
        // Alternate which goes first, so that neither always follows the other.
        if (i % 2) {
            start.add(runProcess(ours));
            bareStart.add(runProcess(floor));
        } else {
            bareStart.add(runProcess(floor));
            start.add(runProcess(ours));
        }
    }
    for (int i = 0; i < std::max(3, runs / 4); ++i)
        game.add(runProcess(ourGame));

    const char *platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("Start-up to the first board painted (platform %s, %d runs each, board %dx%d)\n",
                platform ? platform : "default", runs, width, height);
    const double ourMs = median(start.ms), bareMs = median(bareStart.ms);
    std::printf(
            "  start-up     vantorel %7.1f ms   bare window %7.1f ms   ratio %.3f  (target 1.15)\n",
            ourMs, bareMs, ourMs / bareMs);
    const double ourKb = median(start.rssKb), gameKb = median(game.rssKb),
                 bareKb = median(bareStart.rssKb);
    std::printf(
            "  peak memory  vantorel %7.1f MiB  bare window %7.1f MiB  ratio %.3f  (at start-up)\n",
            ourKb / 1024, bareKb / 1024, ourKb / bareKb);
    std::printf(
            "  peak memory  vantorel %7.1f MiB  bare window %7.1f MiB  ratio %.3f  (whole game, "
            "target 1.15)\n",
            gameKb / 1024, bareKb / 1024, gameKb / bareKb);
    return 0;
}
