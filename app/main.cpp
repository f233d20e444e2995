// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "application.h"
#include "formruntime.h"
#include "identity.h"
#include "playalong.h"
#include "singleboard.h"

int main(int argc, char *argv[])
{
    runtime::Application app(argc, argv, layouts::identity);
    playalong::install();
    return runtime::FormRuntime::instance().run(SingleBoard::instance());
}
