// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "record/gamesexport.h"

#include "scoring/export.h"
#include "scoring/game.h"
#include "storage/gamestore.h"
#include "storage/recordfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

#ifdef Q_OS_WIN
#  include <fcntl.h>
#  include <io.h>
#endif

namespace record {
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

// A disk filling up takes part of a write, then fails the rest with its reason.
bool write(QIODevice &out, const std::string &text)
{
    for (qint64 done = 0; done < qint64(text.size());) {
        const qint64 written = out.write(text.data() + done, qint64(text.size()) - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// Whether the file is the record itself or one of its logs, under whatever name.
bool isRecord(const QString &recordPath, const QString &fileName)
{
    const std::optional<storage::file::Identity> target = storage::file::identify(fileName);
    const QStringList files = storage::file::withLogs(recordPath);
    return target && std::any_of(files.begin(), files.end(), [&](const QString &file) {
               return storage::file::identify(file) == target;
           });
}

} // namespace

bool exportGames(storage::Record &record, QIODevice &out, QString *error)
{
    // Written some 64 KB at a time; the header with the first game read, so that a record
    // found damaged before it writes nothing but the reason.
    constexpr std::size_t chunk = std::size_t(64) * 1024;
    std::string pending;
    bool headed = false;
    bool written = true;
    const QString problem = record.forEachGame([&](const storage::GameRecord &game) {
        if (!written)
            return false;
        if (!std::exchange(headed, true))
            pending = scoring::csvHeader();
        const scoring::Game played(game.steps, game.stepsInEffect);
        pending += scoring::csvRows(isoText(game.started), played.steps());
        if (pending.size() >= chunk) {
            written = write(out, pending);
            pending.clear();
        }
        return written;
    });
    if (!problem.isEmpty())
        return fail(error, problem);
    if (!headed)
        pending = scoring::csvHeader();
    written = written && write(out, pending);
    return written || fail(error, out.errorString());
}

bool exportGames(const QString &recordPath, const QString &fileName, QString *error)
{
    const bool standardOutput = fileName == QLatin1String("-");
    const QString name =
            standardOutput ? QStringLiteral("standard output") : QDir::toNativeSeparators(fileName);
    if (!standardOutput && isRecord(recordPath, fileName))
        return fail(
                error,
                QStringLiteral("cannot write %1: it is the record of your games itself").arg(name));
#ifdef Q_OS_UNIX
    // A reader that goes away (| head) is a write that fails, told as any other.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    storage::Record record(recordPath);
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
                                       : out.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (opened && exportGames(record, out, error) && (replace ? replaced.commit() : direct.flush()))
        return true;
    if (out.error() == QFileDevice::NoError)
        return false; // the record's problem
    return fail(error, QStringLiteral("cannot write %1: %2").arg(name, out.errorString()));
}

} // namespace record
