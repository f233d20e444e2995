// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The real program's start-up path, instrumented from outside: the same libraries, the same
// calls as app/main.cpp, and an application event filter that ends the run once the first
// board has been painted. With --play it first plays a whole game on the real windows (for
// peak memory and leak checks); with --size it prints the first board's size for the bare
// window to copy.

#include "formruntime.h"
#include "identity.h"
#include "playalong.h"
#include "last.h"
#include "script.h"
#include "singleboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {

// Settles what one input set off, as the event loop would before the next input.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void perform(bench::Step step, QWidget *target, char key)
{
    if (step == bench::Step::Click) {
        const QPointF centre = QRectF(target->rect()).center();
        const QPointF global = target->mapToGlobal(centre);
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
    } else {
        const QString text(QChar::fromLatin1(key));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (key - '0'), Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_0 + (key - '0'), Qt::NoModifier, text);
        QCoreApplication::sendEvent(target, &release);
    }
    settle();
}

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
            std::printf("%d %d\n", widget->width(), widget->height());
        // Queued: the painted board is flushed to the screen before anything else happens.
        QTimer::singleShot(0, qApp, [this] {
            if (play) {
                bench::playWholeGame(perform);
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
