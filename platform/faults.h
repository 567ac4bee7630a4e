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
void ClearStoreFaults();

// How long an operation waits for a store another program holds locked before it fails with
// ERROR_SHARING_VIOLATION; 3000 ms unless set.
void SetStoreBusyTimeout(int milliseconds);
