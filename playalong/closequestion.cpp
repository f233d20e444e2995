// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/closequestion.h"

#include "playalong/history.h"
#include "runtime/formruntime.h"
#include "runtime/modal.h"
#include "windows/board.h"
#include "windows/singleboard.h"
#include "windows/texts.h"

#include <QGuiApplication>

namespace playalong {

void installCloseQuestion(History &history)
{
    runtime::FormRuntime::instance().setCloseGuard(&history, [&history](runtime::Form &form) {
        if (!dynamic_cast<Board *>(&form) || !history.gameUnderWay() || qGuiApp->isSavingSession())
            return true;
        const bool end =
                runtime::questionBox(QStringLiteral("End this game here, with your score of %1?")
                                             .arg(texts::amountText(SingleBoard::instance().Score)),
                                     texts::messageTitle());
        if (end)
            history.endGame();
        return end;
    });
}

} // namespace playalong
