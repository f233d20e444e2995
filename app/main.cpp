// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "layouts/identity.h"
#include "record/gamesexport.h"
#include "playalong/playalong.h"
#include "record/yourgames.h"
#include "runtime/application.h"
#include "runtime/formruntime.h"
#include "storage/gamestore.h"
#include "windows/singleboard.h"

int main(int argc, char *argv[])
{
    const QCommandLineOption exportCsv(
            QStringLiteral("export-csv"),
            QStringLiteral("Writes every kept game as CSV to <file> (- for standard output) "
                           "and exits; needs no display."),
            QStringLiteral("file"));
    const QCommandLineOption games(
            QStringLiteral("games"),
            QStringLiteral("Opens the Your Games window alone, to look over your kept games."));
    const runtime::CommandLine commandLine(argc, argv, layouts::identity, { exportCsv, games });
    const QString recordPath = storage::GameStore::defaultPath();
    if (commandLine.isSet(exportCsv))
        return commandLine.runWithoutDisplay([&](QString *error) {
            return record::exportGames(recordPath, commandLine.value(exportCsv), error);
        });
    runtime::Application app(argc, argv, layouts::identity);
    if (commandLine.isSet(games))
        return record::runYourGames(recordPath);
    const playalong::PlayAlong playAlong(recordPath, &record::showYourGames);
    return runtime::FormRuntime::instance().run(SingleBoard::instance());
}
