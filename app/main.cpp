// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "formruntime.h"
#include "identity.h"
#include "singleboard.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    runtime::applyIdentity(layouts::identity);
    return runtime::FormRuntime::instance().run(SingleBoard::instance());
}
