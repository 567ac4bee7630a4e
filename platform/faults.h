// Controls of the store for tests: failures on demand, and how long a locked store is waited
// for. The program never calls these.
#pragma once

#include "platform/wintypes.h"

enum class StoreOp {
    CreateDatabase,
    OpenDatabase,
    DeleteDatabase,
    OidGetInfo,
    Seek,
    Read,
    Write,
    DeleteRecord,
    RegOpen,   // RegOpenKeyExW
    RegCreate, // RegCreateKeyExW
    RegQuery,  // RegQueryValueExW
    RegSet,    // RegSetValueExW
    RegDelete, // RegDeleteKeyW, RegDeleteValueW
    RegEnum,   // RegEnumKeyExW, RegEnumValueW
};

// The `nth` call of `op` from now (1: the next one) fails with `error`, as GetLastError for the
// object store and as the returned code for the registry, and changes nothing. Several
// failures may be waiting at once.
void FailStoreOperation(StoreOp op, int nth, DWORD error);
// The disk of the store fills up: `writes` more writes to store.db or its journal reach the
// file, and after them every write that would make a file longer fails with SQLite's full-disk
// error, half of its bytes written, until ClearStoreFaults frees the disk again. Writing over
// what a file already holds still succeeds, as on a real disk.
void FailStoreWritesAfter(int writes);
void ClearStoreFaults();

// How long an operation waits for a store another program holds locked before it fails with
// ERROR_SHARING_VIOLATION; 3000 ms unless set.
void SetStoreBusyTimeout(int milliseconds);
