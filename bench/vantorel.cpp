// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The real program's start-up path, instrumented from outside: the same libraries, the same
// calls as app/main.cpp, and an application event filter that ends the run once the first
// board has been painted. With --play it first plays a whole game on the real windows (for
// peak memory and leak checks); with --size it prints the first board's size and the pixels per
// twip, for the bare window and the plain board to copy.

#include "bench/script.h"
#include "layouts/identity.h"
#include "playalong/playalong.h"
#include "runtime/application.h"
#include "runtime/formruntime.h"
#include "runtime/loader.h"
#include "windows/last.h"
#include "windows/singleboard.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {

class FirstBoardPaint final : public QObject
{
public:
    bool play = false;
    bool printSize = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_done || event->type() != QEvent::Paint)
            return false;
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || !widget->isWindow() || widget->objectName() != QLatin1String("SingleBoard"))
            return false;
        m_done = true;
        if (printSize)
            std::printf("%d %d %.17g\n", widget->width(), widget->height(),
                        runtime::pixelsPerTwip());
        // Queued: the painted board is flushed to the screen before anything else happens.
        QTimer::singleShot(0, qApp, [this] {
            if (play) {
                const bench::QuestionAnswerer answerer;
                bench::playWholeGame([](bench::Action, auto &&input) {
                    input();
                    bench::settle();
                });
                std::printf("final score %s\n", qPrintable(Last::instance().Label2()->text()));
                // The close box of the Final Score window ends the program.
                Last::instance().window()->close();
            } else {
                QCoreApplication::quit();
            }
        });
        return false;
    }

private:
    bool m_done = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstBoardPaint firstPaint;
    for (int i = 1; i < argc; ++i) {
        firstPaint.play |= std::strcmp(argv[i], "--play") == 0;
        firstPaint.printSize |= std::strcmp(argv[i], "--size") == 0;
    }
    app.installEventFilter(&firstPaint);
    runtime::applyIdentity(layouts::identity);
    playalong::install();
    return runtime::FormRuntime::instance().run(SingleBoard::instance());
}
