// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/playalong.h"

#include "playalong/boardmenu.h"
#include "playalong/closequestion.h"
#include "playalong/history.h"
#include "playalong/journal.h"
#include "playalong/quickkeys.h"
#include "playalong/yourgames.h"

namespace playalong {

PlayAlong::PlayAlong(const QString &recordPath, QObject *parent)
    : QObject(parent), m_history(new History(this))
{
    if (!recordPath.isEmpty())
        m_journal = new Journal(*m_history, recordPath, this);
    installBoardMenu(*this);
    installCloseQuestion(*m_history);
    installQuickKeys(*this);
}

// The hooks made with this object (or its children) as their context go with it.
PlayAlong::~PlayAlong() = default;

void PlayAlong::showYourGames()
{
    if (!m_journal || !m_journal->store())
        return;
    if (!m_yourGames)
        m_yourGames = playalong::showYourGames(*m_journal->store());
    m_yourGames->show();
    m_yourGames->raise();
    m_yourGames->activateWindow();
}

} // namespace playalong
