// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// Your Games over a large record, in-process on the real windows, with the board playing on a
// copy of the record (made beside this program, on the build tree's disk):
// - opened from the board's menu ("Your Games..."), again and again: how long the board's event
//   loop is frozen from the click until the window shows the games (the longest gap between
//   the ticks of a 1 ms timer on the GUI thread), the window's first paint, and the games shown;
// - sorted by each column through its header (QTableView::sortByColumn), with and without
//   the repaint;
// - a whole game played with it open: the longest gap on the GUI thread in the 300 ms after
//   each input that hands a result to the record, as the window follows the game.
// Figures only.
//
//   bench_yourgames <record> [opens]

#include "tests/support/gamescript.h"
#include "layouts/identity.h"
#include "playalong/journal.h"
#include "playalong/playalong.h"
#include "record/gamesmodel.h"
#include "record/yourgames.h"
#include "runtime/application.h"
#include "runtime/formruntime.h"
#include "storage/gamestore.h"
#include "windows/singleboard.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void quietPlatformNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // The offscreen platform announces every window operation it lacks.
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        qt_message_output(type, context, message);
}

struct Figures
{
    double median = 0, p90 = 0, max = 0;
};

Figures figuresOf(std::vector<double> ms)
{
    if (ms.empty())
        return {};
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) {
        return ms[std::size_t(std::lround(q * double(ms.size() - 1)))];
    };
    return { at(0.5), at(0.9), ms.back() };
}

// The longest the GUI thread went without turning its event loop, from start() on: the gaps
// between the ticks of a 1 ms timer, the first from start() itself.
class Gaps final : public QObject
{
public:
    Gaps()
    {
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(1);
        connect(&m_tick, &QTimer::timeout, this, [this] {
            const Clock::time_point now = Clock::now();
            m_longest = std::max(m_longest, msBetween(m_last, now));
            m_last = now;
            if (m_afterTick) {
                m_afterTick();
                m_afterTick = {};
            }
        });
    }

    void start()
    {
        m_last = Clock::now();
        m_longest = 0;
        m_tick.start();
    }
    // Runs `then` once the event loop has turned again.
    void atNextTick(std::function<void()> then) { m_afterTick = std::move(then); }
    double stop()
    {
        m_tick.stop();
        return m_longest;
    }

private:
    QTimer m_tick;
    Clock::time_point m_last;
    double m_longest = 0;
    std::function<void()> m_afterTick;
};

// The Your Games window's first paint and the moment it shows the games.
class Watch final : public QObject
{
public:
    Clock::time_point painted, loaded;
    bool wasPainted = false, wasLoaded = false;
    QPointer<QWidget> window;
    std::function<void()> onLoaded;

    Watch() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window()->objectName() != QLatin1String("YourGames"))
            return false;
        if (event->type() == QEvent::Paint && !wasPainted) {
            painted = Clock::now();
            wasPainted = true;
            window = widget->window();
        } else if (event->type() == QEvent::DynamicPropertyChange && widget->isWindow()
                   && widget->property("loaded").toBool() && !wasLoaded) {
            loaded = Clock::now();
            wasLoaded = true;
            window = widget->window();
            if (onLoaded)
                onLoaded();
        }
        return false;
    }
};

struct Opening
{
    double frozenMs = 0, paintMs = 0, loadedMs = 0;
};

// Chooses "Your Games..." in the board's menu and waits until the window shows the games.
// The menu is opened and pointed at untimed: the click is the player's request.
Opening openFromBoard(Gaps &gaps, QPointer<QWidget> &window)
{
    QWidget *label = SingleBoard::instance().Label1();
    gamescript::rightClick(label);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    const int entry = gamescript::menuEntry(menu, u"Your Games");
    if (!menu || entry < 0) {
        std::fprintf(stderr, "no Your Games... in the board's menu\n");
        std::exit(1);
    }
    gamescript::pointAtEntry(menu, entry);
    gamescript::settle();

    Watch watch;
    QEventLoop loop;
    Clock::time_point clicked;
    Opening opening;
    watch.onLoaded = [&] {
        gaps.atNextTick([&] {
            opening.frozenMs = gaps.stop();
            loop.quit();
        });
    };
    QTimer::singleShot(0, &loop, [&] {
        gaps.start();
        clicked = Clock::now();
        gamescript::click(menu, menu->actionGeometry(menu->actions().at(entry)).center());
    });
    QTimer::singleShot(120000, &loop, [&] {
        std::fprintf(stderr, "Your Games did not show the games within two minutes\n");
        std::exit(1);
    });
    loop.exec();
    opening.paintMs = msBetween(clicked, watch.painted);
    opening.loadedMs = msBetween(clicked, watch.loaded);
    window = watch.window;
    return opening;
}

void close(QPointer<QWidget> &window)
{
    if (window)
        window->close();
    while (window)
        gamescript::settle();
}

// Lets the event loop run for `ms`.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <record> [opens]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatformNotices);
    runtime::Application app(argc, argv, layouts::identity);
    const int opens = argc > 2 ? std::max(2, std::atoi(argv[2])) : 10;

    // A copy to play on: the kept record stays as it was made.
    QDir folder(QCoreApplication::applicationDirPath() + QLatin1String("/yourgames-record"));
    folder.removeRecursively();
    folder.mkpath(QStringLiteral("."));
    const QString copy = folder.filePath(QStringLiteral("games.sqlite"));
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), copy)) {
        std::fprintf(stderr, "%s could not be copied to %s\n", argv[1], qPrintable(copy));
        return 1;
    }
    int games = 0;
    {
        const playalong::PlayAlong playAlong(copy, &record::showYourGames);
        SingleBoard::instance().show();
        // The record opens once the first board is painted, before anyone could click.
        while (!playAlong.journal()->store())
            gamescript::settle();
        storage::GameStore &store = *playAlong.journal()->store();

        Gaps gaps;
        std::vector<Opening> openings;
        QPointer<QWidget> window;
        for (int open = 0; open < opens; ++open) {
            close(window);
            openings.push_back(openFromBoard(gaps, window));
        }
        auto *table = window->findChild<QTableView *>();
        games = table->model()->rowCount();
        std::printf("Your Games over %d games, from the board's menu (platform %s; the record "
                    "copied to %s), ms\n",
                    games, qPrintable(QGuiApplication::platformName()), qPrintable(copy));
        std::printf("  %-34s %8s %8s %8s %8s\n", "", "first", "median", "worst", "target");
        const auto printOpening = [&](const char *name, double Opening::*figure,
                                      const char *target) {
            std::vector<double> later;
            for (std::size_t i = 1; i < openings.size(); ++i)
                later.push_back(openings[i].*figure);
            const Figures f = figuresOf(later);
            std::printf("  %-34s %8.1f %8.1f %8.1f %8s\n", name, openings.front().*figure, f.median,
                        f.max, target);
        };
        printOpening("board frozen (longest gap)", &Opening::frozenMs, "50");
        printOpening("first paint", &Opening::paintMs, "150");
        printOpening("games shown (\"loaded\")", &Opening::loadedMs, "");
        std::printf("  (first: the first opening in the process; then %d more)\n", opens - 1);

        // Each column's header, upwards and downwards, five times over.
        std::printf("Sorting %d games by a column (QTableView::sortByColumn), ms, target 50\n",
                    games);
        std::printf("  %-16s %10s %10s %14s %10s\n", "column", "median", "worst", "with repaint",
                    "worst");
        QHeaderView *header = table->horizontalHeader();
        for (int column = 0; column < record::GamesModel::columns; ++column) {
            std::vector<double> sorts;
            std::vector<double> painted;
            for (int run = 0; run < 5; ++run) {
                for (const Qt::SortOrder order : { Qt::AscendingOrder, Qt::DescendingOrder }) {
                    gamescript::settle();
                    const Clock::time_point start = Clock::now();
                    table->sortByColumn(column, order);
                    const Clock::time_point sorted = Clock::now();
                    table->viewport()->repaint();
                    header->viewport()->repaint();
                    sorts.push_back(msBetween(start, sorted));
                    painted.push_back(msBetween(start, Clock::now()));
                }
            }
            const Figures sort = figuresOf(sorts);
            const Figures withPaint = figuresOf(painted);
            std::printf("  %-16s %10.2f %10.2f %14.2f %10.2f\n",
                        qPrintable(table->model()
                                           ->headerData(column, Qt::Horizontal)
                                           .toString()
                                           .replace(u'\n', u' ')),
                        sort.median, sort.max, withPaint.median, withPaint.max);
        }
        table->sortByColumn(record::GamesModel::When, Qt::DescendingOrder);
        gamescript::settle();

        // A whole game with the window open: each result, and what it sets off in the next
        // 300 ms (the window follows the game 100 ms after each write).
        std::vector<double> stalls;
        double worstInput = 0;
        {
            const gamescript::QuestionAnswerer answerer;
            gamescript::playWholeGame([&](gamescript::Action, auto &&input) {
                const std::uint64_t handed = store.lastHanded();
                gaps.start();
                const Clock::time_point start = Clock::now();
                input();
                worstInput = std::max(worstInput, msBetween(start, Clock::now()));
                if (store.lastHanded() != handed) {
                    runFor(300);
                    stalls.push_back(gaps.stop());
                } else {
                    gamescript::settle();
                    gaps.stop();
                }
            });
        }
        const Figures stall = figuresOf(stalls);
        std::printf("The board with Your Games open over %d games, a whole game played: the "
                    "longest gap on the GUI thread in the 300 ms after each result, ms\n",
                    games);
        std::printf("  %-34s %8zu\n", "results", stalls.size());
        std::printf("  %-34s %8.1f\n", "median", stall.median);
        std::printf("  %-34s %8.1f  (target < 5)\n", "p90", stall.p90);
        std::printf("  %-34s %8.1f  (target < 5)\n", "max", stall.max);
        if (!stalls.empty()) {
            std::printf("  %-34s %8.1f\n", "  the first (the game's new row)", stalls.front());
            std::printf("  %-34s %8.1f\n", "  the last (the game's end)", stalls.back());
            const auto worst = std::max_element(stalls.begin(), stalls.end());
            std::printf("  %-34s %8d\n", "  the slowest: result number",
                        int(worst - stalls.begin()) + 1);
        }
        std::printf("  %-34s %8.1f\n", "slowest input itself", worstInput);
        close(window);
        store.waitForWritten();
        runtime::FormRuntime::instance().reset();
    }
    folder.removeRecursively();
    return 0;
}
