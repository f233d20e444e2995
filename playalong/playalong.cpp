// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong.h"

#include "boardmenu.h"
#include "closequestion.h"
#include "history.h"
#include "quickkeys.h"

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
