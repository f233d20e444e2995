// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/playalong.h"

#include "playalong/boardmenu.h"
#include "playalong/closequestion.h"
#include "playalong/history.h"
#include "playalong/journal.h"
#include "playalong/quickkeys.h"
#include "playalong/resultslist.h"
#include "runtime/placement.h"

#include <QApplication>

namespace playalong {

PlayAlong::PlayAlong(const QString &recordPath, YourGames openYourGames, QObject *parent)
    : QObject(parent), m_openYourGames(std::move(openYourGames)), m_history(new History(this))
{
    if (!recordPath.isEmpty())
        m_journal = new Journal(*m_history, recordPath, this);
    installBoardMenu(*this);
    installCloseQuestion(*m_history);
    installQuickKeys(*this);
}

// The hooks made with this object (or its children) as their context go with it, and so do
// the windows it opened.
PlayAlong::~PlayAlong()
{
    delete m_results.data();
}

bool PlayAlong::canShowYourGames() const
{
    return m_journal && m_journal->store() && m_openYourGames;
}

void PlayAlong::showYourGames()
{
    if (!canShowYourGames())
        return;
    if (!m_yourGames)
        m_yourGames = m_openYourGames(*m_journal->store());
    m_yourGames->show();
    m_yourGames->raise();
    m_yourGames->activateWindow();
}

void PlayAlong::showResults()
{
    if (!m_results) {
        auto *list =
                new ResultsList(QStringLiteral("This Game's Results"), m_history->game(),
                                [this](int index, scoring::Outcome outcome, std::int64_t wager) {
                                    return m_history->change(index, outcome, wager);
                                });
        connect(m_history, &History::changed, list,
                [this, list] { list->setGame(m_history->game()); });
        // Once the Final Score shows, the game is changed only from Your Games.
        connect(m_history, &History::finished, list, &QWidget::close);
        connect(m_history, &History::started, list, &QWidget::close);
        runtime::showCentred(*list, QApplication::activeWindow());
        m_results = list;
    }
    m_results->show();
    m_results->raise();
    m_results->activateWindow();
}

} // namespace playalong
