// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/playalong.h"

#include "playalong/boardmenu.h"
#include "playalong/closequestion.h"
#include "playalong/history.h"
#include "playalong/quickkeys.h"

#include <QCoreApplication>

namespace playalong {

void install()
{
    static History *history = nullptr;
    if (history)
        return;
    history = new History(QCoreApplication::instance());
    installBoardMenu(*history);
    installCloseQuestion(*history);
    installQuickKeys();
}

} // namespace playalong
