// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/journal.h"

#include "playalong/history.h"
#include "runtime/formruntime.h"
#include "runtime/modal.h"
#include "storage/gamestore.h"
#include "windows/singleboard.h"
#include "windows/texts.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace playalong {
namespace {

QString resumePrompt(const scoring::Game &game)
{
    const QString prompt = QStringLiteral("Resume the game you were playing? Your score was %1")
                                   .arg(texts::amountText(game.score()));
    const scoring::Round round = game.round();
    if (round == scoring::Round::Final)
        return prompt + QStringLiteral(", with the final wager to play.");
    const auto open = scoring::squareCount - int(game.used(round).count());
    const QString squares =
            open == 1 ? QStringLiteral("1 square") : QStringLiteral("%1 squares").arg(open);
    return prompt
            + QStringLiteral(" on the %1 board, %2 still open.")
                      .arg(round == scoring::Round::First ? "first" : "second", squares);
}

} // namespace

Journal::Journal(History &history, QString path, QObject *parent)
    : QObject(parent), m_history(history), m_path(std::move(path))
{
    // The first board, once painted, opens the record: start-up does not wait on the disk.
    connect(&runtime::FormRuntime::instance(), &runtime::FormRuntime::loaded, this,
            [this](runtime::Form &form) {
                if (!m_store && &form == &SingleBoard::instance())
                    form.window()->installEventFilter(this);
            });
    connect(&history, &History::started, this, [this] {
        if (m_store)
            m_store->endGame(storage::Ending::NotFinished);
    });
    connect(&history, &History::changed, this, [this] {
        open();
        m_store->keep(m_history.game().history(), m_history.game().inEffect());
    });
    connect(&history, &History::finished, this,
            [this] { m_store->endGame(storage::Ending::Finished); });
    connect(&history, &History::ended, this, [this] {
        if (m_store)
            m_store->endGame(storage::Ending::EndedByPlayer);
    });
}

Journal::~Journal() = default;

bool Journal::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            if (!m_store) {
                open();
                m_store->offerGame();
            }
        });
    }
    return false;
}

void Journal::open()
{
    if (m_store)
        return;
    m_store = std::make_unique<storage::GameStore>(m_path);
    connect(m_store.get(), &storage::GameStore::problemFound, this, &Journal::tell);
    connect(m_store.get(), &storage::GameStore::problemCleared, this, &Journal::tell);
    connect(m_store.get(), &storage::GameStore::offered, this, &Journal::offerResume);
}

// Only before the first result of the game on screen: a game begun is not swapped for another.
void Journal::offerResume(const storage::GameRecord &game)
{
    if (m_history.gameUnderWay()) {
        m_store->release(game.id);
        return;
    }
    const scoring::Game kept(game.steps, game.stepsInEffect);
    if (runtime::questionBox(resumePrompt(kept), texts::messageTitle(), runtime::Answer::Yes)) {
        m_store->resume(game.id);
        m_history.resume(kept);
    } else {
        m_store->decline(game.id);
    }
}

// Found while a result is recorded, it is told once that result's handling is over.
void Journal::tell(const QString &problem)
{
    QTimer::singleShot(0, this, [problem] { runtime::messageBox(problem, texts::messageTitle()); });
}

} // namespace playalong
