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

void installCloseQuestion(const History &history)
{
    runtime::FormRuntime::instance().setCloseGuard([&history](runtime::Form &form) {
        if (!dynamic_cast<Board *>(&form) || !history.gameUnderWay() || qGuiApp->isSavingSession())
            return true;
        return runtime::questionBox(QStringLiteral("End this game? Your score of %1 will be lost.")
                                            .arg(texts::moneyText(SingleBoard::instance().Score)),
                                    texts::messageTitle());
    });
}

} // namespace playalong
