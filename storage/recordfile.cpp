// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/recordfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

namespace storage::file {
namespace {

#ifdef Q_OS_UNIX
constexpr mode_t ownerOnly = S_IRWXU;
constexpr mode_t ownerReadWrite = S_IRUSR | S_IWUSR;
#endif

// A new name: with RENAME_NOREPLACE where the file system has it, otherwise after a look.
int renameWithoutReplacing(const QString &from, const QString &to)
{
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                    QFile::encodeName(to).constData(), RENAME_NOREPLACE)
        == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    if (QFileInfo::exists(to) || isLink(to))
        return EEXIST;
#ifdef Q_OS_UNIX
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0
            ? 0
            : errno;
#else
    return QFile::rename(from, to) ? 0 : EACCES;
#endif
}

} // namespace

QString defaultPath()
{
#ifdef Q_OS_WIN
    // The local folder, not the roaming one (AppDataLocation there): a roaming profile would
    // copy the file and its logs at logon and logoff, whatever state they are in.
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
            + QLatin1String("/games.sqlite");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QLatin1String("/vantorel/games.sqlite");
#endif
}

QStringList withLogs(const QString &path)
{
    return { path, path + QLatin1String("-wal"), path + QLatin1String("-shm") };
}

QString reasonForErrno(int error)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("the disk is full");
    case EROFS:
    case EACCES:
    case EPERM:
        return QStringLiteral("its folder cannot be written");
    case ENOTDIR:
    case EEXIST:
    case ENOENT:
        return QStringLiteral("its folder cannot be made");
    default:
        break;
    }
    return QStringLiteral("the disk reported an error (%1)")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
}

QString makeFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo(folder).isDir())
        return {};
    // The folders to make, innermost first.
    QStringList missing;
    for (QString at = folder; !QFileInfo::exists(at) && !isLink(at);
         at = QFileInfo(at).absolutePath()) {
        missing.prepend(at);
        if (QFileInfo(at).isRoot())
            break;
    }
    for (const QString &each : missing) {
#ifdef Q_OS_UNIX
        if (::mkdir(QFile::encodeName(each).constData(), ownerOnly) != 0 && errno != EEXIST)
            return reasonForErrno(errno);
#else
        if (!QDir().mkdir(each) && !QFileInfo(each).isDir())
            return reasonForErrno(EACCES);
#endif
    }
    return QFileInfo(folder).isDir() ? QString() : reasonForErrno(ENOTDIR);
}

bool isLink(const QString &path)
{
    return QFileInfo(path).isSymLink();
}

QString makePrivate(const QString &path)
{
    if (isLink(path))
        return QStringLiteral("it is a symbolic link, which the program does not follow");
#ifdef Q_OS_UNIX
    // O_NOFOLLOW: a link made meanwhile is refused too.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, ownerReadWrite);
    if (fd < 0 && errno == ELOOP)
        return QStringLiteral("it is a symbolic link, which the program does not follow");
    if (fd < 0)
        return reasonForErrno(errno);
    struct stat status = {};
    int error = ::fstat(fd, &status) == 0 ? 0 : errno;
    if (error == 0 && (status.st_mode & (S_IRWXG | S_IRWXO)) != 0
        && ::fchmod(fd, status.st_mode & ownerReadWrite) != 0)
        error = errno;
    // Read-only: a failed close loses nothing.
    (void)::close(fd);
    // A file it cannot make private is somebody else's: it is kept as it is, and written only
    // if SQLite can.
    return error == 0 || error == EPERM ? QString() : reasonForErrno(error);
#else
    QFile file(path);
    if (!QFileInfo::exists(path) && !file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return file.error() == QFileDevice::ResourceError ? reasonForErrno(ENOSPC)
                                                          : reasonForErrno(EACCES);
    return {};
#endif
}

std::optional<Identity> identify(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return Identity{ std::uint64_t(status.st_dev), std::uint64_t(status.st_ino) };
#else
    // Windows cannot rename or replace a file another program has open: the name is enough.
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return Identity{ std::uint64_t(qHash(info.canonicalFilePath())), 0 };
#endif
}

SetAside setAside(const QString &path, const Identity &judged)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString aside;
    for (int n = 1;; ++n) {
        if (identify(path) != judged)
            return { {},
                     QStringLiteral("another copy of the program replaced the file meanwhile") };
        aside = path + QLatin1String(".damaged-") + stamp
                + (n > 1 ? QLatin1Char('-') + QString::number(n) : QString());
        const int error = renameWithoutReplacing(path, aside);
        if (error == 0)
            break;
        if (error != EEXIST)
            return { {}, QStringLiteral("it could not be renamed: %1").arg(reasonForErrno(error)) };
    }
    // The logs go with it: the log belongs to the damaged file, and an index of the log left
    // behind would be taken for the new file's.
    const QStringList logs = withLogs(path).mid(1);
    const QStringList asideLogs = withLogs(aside).mid(1);
    for (qsizetype i = 0; i < logs.size(); ++i) {
        if (!QFileInfo::exists(logs[i]))
            continue;
        if (const int error = renameWithoutReplacing(logs[i], asideLogs[i]); error != 0)
            return { aside,
                     QStringLiteral("its log %1 could not be renamed: %2")
                             .arg(QFileInfo(logs[i]).fileName(), reasonForErrno(error)) };
    }
    return { aside, {} };
}

} // namespace storage::file
