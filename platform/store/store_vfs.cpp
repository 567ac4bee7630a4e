// A thin layer over SQLite's default file system: every call goes straight through, and a write
// is counted only while a test has asked for a full disk. The writes it fails are torn as a
// full disk tears them: the first half of the bytes reach the file.
#include "platform/store/store_vfs.h"

#include "platform/faults.h"

#include <sqlite3.h>

#include <algorithm>

namespace
{
// Writes that still succeed before the disk is full; below 0 when no test asked for it.
int writesLeft = -1;

struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real; // the default file system's file, right after this one
};

sqlite3_vfs* DefaultVfs()
{
    static sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    return vfs;
}

sqlite3_file* Real(sqlite3_file* file)
{
    return reinterpret_cast<ShimFile*>(file)->real;
}

int Close(sqlite3_file* file)
{
    return Real(file)->pMethods->xClose(Real(file));
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset)
{
    return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
}

// A full disk has no block left for a file to grow into, while the blocks a file has can be
// written over: the journal's pages and the store's new pages fail, and rolling back a journal
// into the store still works.
int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset)
{
    sqlite3_file* real = Real(file);
    if (writesLeft == 0) {
        sqlite3_int64 size = 0;
        if (real->pMethods->xFileSize(real, &size) != SQLITE_OK || offset + amount > size) {
            if (amount / 2 > 0)
                real->pMethods->xWrite(real, buffer, amount / 2, offset);
            return SQLITE_FULL;
        }
    } else if (writesLeft > 0) {
        --writesLeft;
    }
    return real->pMethods->xWrite(real, buffer, amount, offset);
}

int Truncate(sqlite3_file* file, sqlite3_int64 size)
{
    return Real(file)->pMethods->xTruncate(Real(file), size);
}

int Sync(sqlite3_file* file, int flags)
{
    return Real(file)->pMethods->xSync(Real(file), flags);
}

int FileSize(sqlite3_file* file, sqlite3_int64* size)
{
    return Real(file)->pMethods->xFileSize(Real(file), size);
}

int Lock(sqlite3_file* file, int level)
{
    return Real(file)->pMethods->xLock(Real(file), level);
}

int Unlock(sqlite3_file* file, int level)
{
    return Real(file)->pMethods->xUnlock(Real(file), level);
}

int CheckReservedLock(sqlite3_file* file, int* reserved)
{
    return Real(file)->pMethods->xCheckReservedLock(Real(file), reserved);
}

int FileControl(sqlite3_file* file, int op, void* argument)
{
    return Real(file)->pMethods->xFileControl(Real(file), op, argument);
}

int SectorSize(sqlite3_file* file)
{
    return Real(file)->pMethods->xSectorSize(Real(file));
}

int DeviceCharacteristics(sqlite3_file* file)
{
    return Real(file)->pMethods->xDeviceCharacteristics(Real(file));
}

int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** memory)
{
    return Real(file)->pMethods->xShmMap(Real(file), region, size, extend, memory);
}

int ShmLock(sqlite3_file* file, int offset, int count, int flags)
{
    return Real(file)->pMethods->xShmLock(Real(file), offset, count, flags);
}

void ShmBarrier(sqlite3_file* file)
{
    Real(file)->pMethods->xShmBarrier(Real(file));
}

int ShmUnmap(sqlite3_file* file, int deleteFlag)
{
    return Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag);
}

int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** memory)
{
    return Real(file)->pMethods->xFetch(Real(file), offset, amount, memory);
}

int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* memory)
{
    return Real(file)->pMethods->xUnfetch(Real(file), offset, memory);
}

// Every method of the default file system's files: a store another tool left in write-ahead mode
// opens as it would without this layer.
const sqlite3_io_methods shimMethods = {
    3,
    Close,
    Read,
    Write,
    Truncate,
    Sync,
    FileSize,
    Lock,
    Unlock,
    CheckReservedLock,
    FileControl,
    SectorSize,
    DeviceCharacteristics,
    ShmMap,
    ShmLock,
    ShmBarrier,
    ShmUnmap,
    Fetch,
    Unfetch,
};

// The layer's methods of one version: those a version lacks are never called.
sqlite3_io_methods Version(int version)
{
    sqlite3_io_methods methods = shimMethods;
    methods.iVersion = version;
    return methods;
}

int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    ShimFile* shim = reinterpret_cast<ShimFile*>(file);
    shim->base.pMethods = nullptr;
    shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    int result = real->xOpen(real, name, shim->real, flags, outFlags);
    // A file the default system could not open has no methods, and SQLite closes it only when
    // it has them. The layer offers no more of the methods than the real file has.
    static const sqlite3_io_methods byVersion[] = {Version(1), Version(2), shimMethods};
    if (const sqlite3_io_methods* methods = shim->real->pMethods)
        shim->base.pMethods = &byVersion[std::clamp(methods->iVersion, 1, 3) - 1];
    return result;
}
} // namespace

const char* store::StoreFileSystem()
{
    static const char* const name = [] {
        static sqlite3_vfs vfs = *DefaultVfs();
        vfs.szOsFile = static_cast<int>(sizeof(ShimFile)) + DefaultVfs()->szOsFile;
        vfs.zName = "zentally-store";
        vfs.pAppData = DefaultVfs();
        vfs.xOpen = Open;
        vfs.pNext = nullptr;
        return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK ? vfs.zName : nullptr;
    }();
    return name;
}

void store::ClearWriteFault()
{
    writesLeft = -1;
}

void FailStoreWritesAfter(int writes)
{
    writesLeft = writes < 0 ? 0 : writes;
}
