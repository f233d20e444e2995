// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "closequestion.h"

#include "board.h"
#include "formruntime.h"
#include "history.h"
#include "identity.h"
#include "loader.h"
#include "singleboard.h"
#include "texts.h"

#include <QGuiApplication>

namespace playalong {

void installCloseQuestion(const History &history)
{
    runtime::FormRuntime::instance().setCloseGuard([&history](runtime::Form &form) {
        if (!dynamic_cast<Board *>(&form) || !history.gameUnderWay() || qGuiApp->isSavingSession())
            return true;
        return runtime::questionBox(QStringLiteral("End this game? Your score of %1 will be lost.")
                                            .arg(texts::moneyText(SingleBoard::instance().Score)),
                                    runtime::toQString(layouts::identity.projectName));
    });
}

} // namespace playalong
