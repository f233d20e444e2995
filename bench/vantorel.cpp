// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The real program's start-up path, instrumented from outside: the same libraries, the same
// calls as app/main.cpp, and an application event filter that ends the run once the first
// board has been painted. With --record <path> the games are kept there, as the program keeps
// them in the player's data folder (without it, nowhere). With --play it first plays a whole
// game on the real windows (for peak memory and leak checks); with --size it prints the first
// board's size, the pixels per twip and the factor its font is shrunk by (1 on a screen large
// enough), for the bare window and the plain board to copy. With
// --after-paint it goes on past the first paint and prints the milliseconds from the painted
// board until the record is open and looked at ("open 4.2"), or, when the record offers a game
// back, until that question is shown ("question 31.5"), which it answers Yes.

#include "tests/support/gamescript.h"
#include "layouts/identity.h"
#include "playalong/journal.h"
#include "playalong/playalong.h"
#include "runtime/application.h"
#include "runtime/formruntime.h"
#include "runtime/loader.h"
#include "record/yourgames.h"
#include "storage/gamestore.h"
#include "windows/last.h"
#include "windows/singleboard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

class FirstBoardPaint final : public QObject
{
public:
    bool play = false;
    bool printSize = false;
    bool afterPaint = false;
    bool yourGames = false;
    bool yourGamesLoaded = false;
    const playalong::PlayAlong *playAlong = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (yourGames || yourGamesLoaded)
            return yourGamesShown(watched, event);
        if (m_done || event->type() != QEvent::Paint)
            return false;
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || !widget->isWindow() || widget->objectName() != QLatin1String("SingleBoard"))
            return false;
        m_done = true;
        if (printSize)
            std::printf("%d %d %.17g %.17g\n", widget->width(), widget->height(),
                        runtime::scale().pixelsPerTwip, runtime::scale().fontFactor);
        // As the floors end: once the painted board is flushed, before what the paint queued
        // (the journal opening the record).
        if (!play && !afterPaint) {
            QCoreApplication::exit(0);
            return false;
        }
        // Queued: the painted board is flushed to the screen before anything else happens.
        QTimer::singleShot(0, qApp, [this] {
            if (play) {
                const gamescript::QuestionAnswerer answerer;
                gamescript::playWholeGame([](gamescript::Action, auto &&input) {
                    input();
                    gamescript::settle();
                });
                std::printf("final score %s\n", qPrintable(Last::instance().Label2()->text()));
                // The close box of the Final Score window ends the program.
                Last::instance().window()->close();
            } else {
                timeAfterPaint();
            }
        });
        return false;
    }

private:
    bool yourGamesShown(QObject *watched, QEvent *event)
    {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (m_done || !widget || widget->window()->objectName() != QLatin1String("YourGames"))
            return false;
        const bool ends = yourGamesLoaded ? event->type() == QEvent::DynamicPropertyChange
                        && widget->isWindow() && widget->property("loaded").toBool()
                                          : event->type() == QEvent::Paint;
        if (ends) {
            m_done = true;
            QCoreApplication::exit(0);
        }
        return false;
    }

    // The journal opens the record once the board is painted, and asks its question there and
    // then, inside the question's own event loop. Both end the program without closing the
    // boards (exit(), not quit()): nothing is asked of a game resumed.
    void timeAfterPaint()
    {
        m_sincePaint.start();
        m_answerer.emplace([this] {
            const auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && box->text().startsWith(QLatin1String("Resume")))
                std::printf("question %.3f\n", double(m_sincePaint.nsecsElapsed()) / 1e6);
            QCoreApplication::exit(0);
        });
        waitForRecord();
    }

    // The record is open and looked at once the store says it has no game to offer; with a
    // game to offer, the answerer ends the run.
    void waitForRecord()
    {
        const playalong::Journal *journal = playAlong ? playAlong->journal() : nullptr;
        if (!journal) {
            QCoreApplication::exit(0);
            return;
        }
        if (!journal->store()) {
            QTimer::singleShot(0, this, &FirstBoardPaint::waitForRecord);
            return;
        }
        connect(journal->store(), &storage::GameStore::nothingOffered, this, [this] {
            std::printf("open %.3f\n", double(m_sincePaint.nsecsElapsed()) / 1e6);
            QCoreApplication::exit(0);
        });
    }

    bool m_done = false;
    QElapsedTimer m_sincePaint;
    std::optional<gamescript::QuestionAnswerer> m_answerer;
};

} // namespace

int main(int argc, char *argv[])
{
    runtime::Application app(argc, argv, layouts::identity);
    FirstBoardPaint firstPaint;
    QString recordPath;
    for (int i = 1; i < argc; ++i) {
        firstPaint.play |= std::strcmp(argv[i], "--play") == 0;
        firstPaint.printSize |= std::strcmp(argv[i], "--size") == 0;
        firstPaint.afterPaint |= std::strcmp(argv[i], "--after-paint") == 0;
        firstPaint.yourGames |= std::strcmp(argv[i], "--games") == 0;
        firstPaint.yourGamesLoaded |= std::strcmp(argv[i], "--games-loaded") == 0;
        if (std::strcmp(argv[i], "--record") == 0 && i + 1 < argc)
            recordPath = QString::fromLocal8Bit(argv[++i]);
    }
    app.installEventFilter(&firstPaint);
    if (firstPaint.yourGames || firstPaint.yourGamesLoaded) {
        const int status = record::runYourGames(recordPath);
        // Painted before the record is read: the read under way is not waited for, as the
        // thread pool would at exit.
        if (firstPaint.yourGames) {
            std::fflush(stdout);
            std::_Exit(status);
        }
        return status;
    }
    const playalong::PlayAlong playAlong(recordPath, &record::showYourGames);
    firstPaint.playAlong = &playAlong;
    return runtime::FormRuntime::instance().run(SingleBoard::instance());
}
