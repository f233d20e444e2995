// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/playalong.h"

#include "playalong/boardmenu.h"
#include "playalong/closequestion.h"
#include "playalong/history.h"
#include "playalong/journal.h"
#include "playalong/quickkeys.h"

#include <QCoreApplication>

namespace playalong {

namespace {

Journal *theJournal = nullptr;

} // namespace

void install(const QString &recordPath)
{
    static History *history = nullptr;
    if (history)
        return;
    history = new History(QCoreApplication::instance());
    installBoardMenu(*history);
    installCloseQuestion(*history);
    installQuickKeys();
    if (!recordPath.isEmpty())
        theJournal = new Journal(*history, recordPath, history);
}

Journal *journal()
{
    return theJournal;
}

} // namespace playalong
