// Failures of the file system on demand, for tests. The program never calls these.
#pragma once

#include "platform/wintypes.h"

enum class FileOp {
    Create, // CreateFileW making the host file: refused before anything is made
    Delete, // DeleteFileW: refused, the file left as it was
    Write,  // WriteFile: half the bytes reach the file, then the write fails
    Sync,   // CloseHandle syncing the file to the disk
    Rename, // CloseHandle putting a file made with CREATE_ALWAYS under its name
};

// The `nth` call of `op` from now (1: the next one) fails with `error` as GetLastError. Several
// failures may be waiting at once.
void FailFileOperation(FileOp op, int nth, DWORD error);
void ClearFileFaults();
