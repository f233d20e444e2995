// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "windows/last.h"

#include "layouts/tables.h"
#include "runtime/formruntime.h"
#include "windows/dailydouble.h"
#include "windows/singleboard.h"
#include "windows/texts.h"

#include <QLabel>

Last::Last() : Form(layouts::last) { }

Last &Last::instance()
{
    return runtime::FormRuntime::defaultInstance<Last>();
}

void Last::Form_Activate()
{
    // The score is read before the first board goes; the member outlives its window anyway.
    Label2()->setText(texts::moneyText(SingleBoard::instance().Score));
    DailyDouble::instance().unload();
    SingleBoard::instance().unload();
}
