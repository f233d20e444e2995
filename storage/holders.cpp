// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "storage/holders.h"

#include "storage/recordfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#  include <fcntl.h>
#  include <csignal>
#  include <sys/stat.h>
#else
#  include <windows.h>
#endif

namespace storage {
namespace {

bool processRunning(qint64 pid)
{
#ifdef Q_OS_UNIX
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
#else
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
#endif
}

qint64 ageMs(const QString &path)
{
    return std::abs(QFileInfo(path).lastModified().msecsTo(QDateTime::currentDateTime()));
}

// Why a lock could not be made: a full disk is told as such.
QString lockFailure(const QString &path)
{
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() == 0)
        return file::reasonForErrno(ENOSPC);
    return file::reasonForErrno(EACCES);
}

} // namespace

Holders::Holders(QString recordPath) : m_recordPath(std::move(recordPath)) { }

Holders::~Holders()
{
    release();
    leaveGate();
}

QString Holders::newCopyName()
{
    return QString::number(QRandomGenerator::system()->generate64(), 36);
}

QString Holders::lockPath(const QString &copy) const
{
    return m_recordPath + QLatin1String(".copy-") + copy + QLatin1String(".lock");
}

bool Holders::isLive(const QString &copy) const
{
    const QString path = lockPath(copy);
    if (copy.isEmpty() || !QFileInfo::exists(path))
        return false;
    if (ageMs(path) > staleAfterMs)
        return false;
    qint64 pid = 0;
    QString host;
    QString application;
    // One being written still names nobody: its copy is starting.
    if (!QLockFile(path).getLockInfo(&pid, &host, &application))
        return true;
    return host != QSysInfo::machineHostName() || processRunning(pid);
}

QStringList Holders::copies() const
{
    const QFileInfo record(m_recordPath);
    const QString prefix = record.fileName() + QLatin1String(".copy-");
    const QLatin1String suffix(".lock");
    // Kept by their names' ends, as the name filter prefix*.lock would keep them (without
    // regard to case): a name filter is a regular expression, whose JIT compilation alone
    // takes a third of a megabyte.
    QStringList copies;
    for (const QString &name : record.dir().entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() >= prefix.size() + suffix.size()
            && name.startsWith(prefix, Qt::CaseInsensitive)
            && name.endsWith(suffix, Qt::CaseInsensitive))
            copies << name.mid(prefix.size()).chopped(suffix.size());
    }
    return copies;
}

bool Holders::othersLive(const QString &except) const
{
    const QStringList all = copies();
    return std::any_of(all.begin(), all.end(),
                       [&](const QString &copy) { return copy != except && isLive(copy); });
}

QString Holders::take(const QString &copy)
{
    if (m_lock)
        return {};
    auto lock = std::make_unique<QLockFile>(lockPath(copy));
    lock->setStaleLockTime(staleAfterMs);
    if (!lock->tryLock(0))
        return lockFailure(m_recordPath);
#ifdef Q_OS_UNIX
    // QLockFile leaves the mode to the umask: the lock is the player's alone, as the record is.
    if (::chmod(QFile::encodeName(lockPath(copy)).constData(), S_IRUSR | S_IWUSR) != 0)
        return file::reasonForErrno(errno);
#endif
    m_lock = std::move(lock);
    return {};
}

void Holders::refresh() const
{
#ifdef Q_OS_UNIX
    // A lock whose time cannot be set grows stale for others after a while; nothing is lost,
    // its copy's game may only be offered to another copy.
    if (m_lock)
        (void)::utimensat(AT_FDCWD, QFile::encodeName(m_lock->fileName()).constData(), nullptr, 0);
#endif
}

void Holders::sweep() const
{
    for (const QString &copy : copies()) {
        if (isLive(copy) || (m_lock && lockPath(copy) == m_lock->fileName()))
            continue;
        // QLockFile removes a stale lock only once no process holds it.
        QLockFile stale(lockPath(copy));
        stale.setStaleLockTime(1);
        if (stale.tryLock(0))
            stale.unlock();
    }
}

void Holders::release()
{
    m_lock.reset();
}

QString Holders::enterGate()
{
    m_gate = std::make_unique<QLockFile>(m_recordPath + QLatin1String(".gate.lock"));
    if (m_gate->tryLock(10000))
        return {};
    m_gate.reset();
    return lockFailure(m_recordPath);
}

void Holders::leaveGate()
{
    m_gate.reset();
}

} // namespace storage
