// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "layouts/identity.h"
#include "playalong/playalong.h"
#include "runtime/application.h"
#include "runtime/formruntime.h"
#include "storage/gamestore.h"
#include "windows/singleboard.h"

int main(int argc, char *argv[])
{
    runtime::Application app(argc, argv, layouts::identity);
    playalong::install(storage::GameStore::defaultPath());
    return runtime::FormRuntime::instance().run(SingleBoard::instance());
}
