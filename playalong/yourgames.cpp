// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/yourgames.h"

#include <QApplication>

namespace playalong {

void showYourGames() { }

int runYourGames(const QString & /*recordPath*/)
{
    return 0;
}

} // namespace playalong
