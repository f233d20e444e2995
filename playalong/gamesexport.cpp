// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/gamesexport.h"

#include "scoring/export.h"
#include "storage/gamestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_WIN
#  include <fcntl.h>
#  include <io.h>
#endif

namespace playalong {
namespace {

// ISO 8601 with the offset from UTC of the time then, written alike by every Qt version
// (+00:00, never Z).
std::string isoText(const QDateTime &when)
{
    const int minutes = std::abs(when.offsetFromUtc()) / 60;
    return when.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toStdString()
            + (when.offsetFromUtc() < 0 ? '-' : '+')
            + QString::asprintf("%02d:%02d", minutes / 60, minutes % 60).toStdString();
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

bool write(QIODevice &out, const std::string &text)
{
    return out.write(text.data(), qint64(text.size())) == qint64(text.size());
}

} // namespace

bool exportGames(storage::GameStore &store, QIODevice &out, QString *error)
{
    QString problem;
    const QMetaObject::Connection told =
            QObject::connect(&store, &storage::GameStore::problemFound,
                             [&](const QString &found) { problem = found; });
    std::vector<storage::GameRecord> games = store.games();
    QObject::disconnect(told);
    if (!store.isRecording())
        problem = store.problem();
    if (!problem.isEmpty())
        return fail(error, problem);
    if (!write(out, scoring::csvHeader()))
        return fail(error, out.errorString());
    std::reverse(games.begin(), games.end()); // oldest first
    for (const storage::GameRecord &game : games) {
        if (!write(out, scoring::csvRows(isoText(game.started), game.steps, game.stepsInEffect)))
            return fail(error, out.errorString());
    }
    return true;
}

bool exportGames(const QString &recordPath, const QString &fileName, QString *error)
{
    storage::GameStore store(recordPath);
    if (!store.problem().isEmpty())
        return fail(error, store.problem());
    const bool standardOutput = fileName == QLatin1String("-");
    // A pipe or a device (/dev/stdout) is written as it is; it cannot be replaced.
    const QFileInfo target(fileName);
    const bool replace = !standardOutput && (!target.exists() || target.isFile());
#ifdef Q_OS_WIN
    // The rows end in CRLF already: text mode would write CR CR LF.
    if (standardOutput)
        _setmode(_fileno(stdout), _O_BINARY);
#endif
    QFile direct(fileName);
    QSaveFile replaced(fileName);
    QFileDevice &out = replace ? static_cast<QFileDevice &>(replaced) : direct;
    const bool opened = standardOutput ? direct.open(stdout, QIODevice::WriteOnly)
                                       : out.open(QIODevice::WriteOnly);
    if (opened && exportGames(store, out, error) && (replace ? replaced.commit() : direct.flush()))
        return true;
    if (out.error() == QFileDevice::NoError)
        return false; // the record's problem
    const QString name =
            standardOutput ? QStringLiteral("standard output") : QDir::toNativeSeparators(fileName);
    return fail(error, QStringLiteral("cannot write %1: %2").arg(name, out.errorString()));
}

} // namespace playalong
