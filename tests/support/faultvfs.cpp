// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/faultvfs.h"

#include <sqlite3.h>

#include <cstring>
#include <thread>

namespace faultvfs {
namespace {

Knobs knobs;
sqlite3_vfs wrapper;
sqlite3_io_methods methods;

struct File
{
    sqlite3_file base;
    sqlite3_file *real; // right after this struct, in the same allocation
};

sqlite3_file *real(sqlite3_file *file)
{
    return reinterpret_cast<File *>(file)->real;
}

// The fault in force, if it fails this kind of call.
bool fails(Fault kind)
{
    if (knobs.fault.load() != kind)
        return false;
    ++knobs.faultsMet;
    return true;
}

int fileClose(sqlite3_file *file)
{
    const int result = real(file)->pMethods->xClose(real(file));
    file->pMethods = nullptr;
    return result;
}

int fileRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    return real(file)->pMethods->xRead(real(file), buffer, amount, offset);
}

int fileWrite(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    if (fails(Fault::Full))
        return SQLITE_FULL;
    if (fails(Fault::WriteError))
        return SQLITE_IOERR_WRITE;
    return real(file)->pMethods->xWrite(real(file), buffer, amount, offset);
}

int fileTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    return real(file)->pMethods->xTruncate(real(file), size);
}

int fileSync(sqlite3_file *file, int flags)
{
    ++knobs.syncs;
    if (const int delay = knobs.syncDelayMs.load(); delay > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    if (fails(Fault::SyncError))
        return SQLITE_IOERR_FSYNC;
    return real(file)->pMethods->xSync(real(file), flags);
}

int fileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    return real(file)->pMethods->xFileSize(real(file), size);
}

int fileLock(sqlite3_file *file, int level)
{
    if (level > SQLITE_LOCK_SHARED && fails(Fault::Busy))
        return SQLITE_BUSY;
    return real(file)->pMethods->xLock(real(file), level);
}

int fileUnlock(sqlite3_file *file, int level)
{
    return real(file)->pMethods->xUnlock(real(file), level);
}

int fileCheckReservedLock(sqlite3_file *file, int *reserved)
{
    return real(file)->pMethods->xCheckReservedLock(real(file), reserved);
}

int fileControl(sqlite3_file *file, int op, void *argument)
{
    return real(file)->pMethods->xFileControl(real(file), op, argument);
}

int fileSectorSize(sqlite3_file *file)
{
    return real(file)->pMethods->xSectorSize(real(file));
}

int fileDeviceCharacteristics(sqlite3_file *file)
{
    return real(file)->pMethods->xDeviceCharacteristics(real(file));
}

int fileShmMap(sqlite3_file *file, int region, int size, int extend, void volatile **memory)
{
    return real(file)->pMethods->xShmMap(real(file), region, size, extend, memory);
}

// In a log's index, a writer takes its lock exclusively: where another program holding the
// file shows.
int fileShmLock(sqlite3_file *file, int offset, int count, int flags)
{
    if ((flags & SQLITE_SHM_LOCK) && (flags & SQLITE_SHM_EXCLUSIVE) && fails(Fault::Busy))
        return SQLITE_BUSY;
    return real(file)->pMethods->xShmLock(real(file), offset, count, flags);
}

void fileShmBarrier(sqlite3_file *file)
{
    real(file)->pMethods->xShmBarrier(real(file));
}

int fileShmUnmap(sqlite3_file *file, int deleteFlag)
{
    return real(file)->pMethods->xShmUnmap(real(file), deleteFlag);
}

int fileFetch(sqlite3_file *file, sqlite3_int64 offset, int amount, void **pointer)
{
    return real(file)->pMethods->xFetch(real(file), offset, amount, pointer);
}

int fileUnfetch(sqlite3_file *file, sqlite3_int64 offset, void *pointer)
{
    return real(file)->pMethods->xUnfetch(real(file), offset, pointer);
}

int open(sqlite3_vfs *vfs, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    auto *wrapped = reinterpret_cast<File *>(file);
    wrapped->real = reinterpret_cast<sqlite3_file *>(wrapped + 1);
    auto *realVfs = static_cast<sqlite3_vfs *>(vfs->pAppData);
    const int result = realVfs->xOpen(realVfs, name, wrapped->real, flags, outFlags);
    file->pMethods = wrapped->real->pMethods ? &methods : nullptr;
    return result;
}

} // namespace

Knobs &install()
{
    static const bool installed = [] {
        sqlite3_vfs *realVfs = sqlite3_vfs_find(nullptr);
        wrapper = *realVfs;
        wrapper.zName = "faulty";
        wrapper.szOsFile = int(sizeof(File)) + realVfs->szOsFile;
        wrapper.pAppData = realVfs;
        wrapper.xOpen = open;
        methods = { 3,
                    fileClose,
                    fileRead,
                    fileWrite,
                    fileTruncate,
                    fileSync,
                    fileSize,
                    fileLock,
                    fileUnlock,
                    fileCheckReservedLock,
                    fileControl,
                    fileSectorSize,
                    fileDeviceCharacteristics,
                    fileShmMap,
                    fileShmLock,
                    fileShmBarrier,
                    fileShmUnmap,
                    fileFetch,
                    fileUnfetch };
        return sqlite3_vfs_register(&wrapper, 1) == SQLITE_OK;
    }();
    (void)installed;
    return knobs;
}

Scoped::Scoped(Fault fault)
{
    install().fault = fault;
}

Scoped::~Scoped()
{
    knobs.fault = Fault::None;
}

} // namespace faultvfs
