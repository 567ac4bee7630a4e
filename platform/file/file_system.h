// What the file operations share: device paths read into host paths, host errors told in the
// handheld's words, the files open through handles, and the failures tests ask for.
#pragma once

#include "platform/file_faults.h"
#include "platform/wintypes.h"

#include <string>
#include <sys/stat.h>

namespace file
{
// A device path as a place on the host.
struct HostPath {
    std::string path;   // the entry itself
    std::string folder; // the folder holding it
    std::string name;   // its name in that folder, as stored when it exists
    bool isRoot = false;
};

// Reads a device path (the rules of platform/fileapi.h). ERROR_SUCCESS, or the error to report
// with nothing touched.
DWORD ToHostPath(LPCWSTR devicePath, HostPath* host);

// The error a failed host call on `path` reports: `fallback` for failures the device has no
// word for. A missing entry is ERROR_FILE_NOT_FOUND when its folder is there and
// ERROR_PATH_NOT_FOUND when the folder is not.
DWORD ErrorOf(int error, const HostPath& path, DWORD fallback);

// The handheld's read-only attribute of the entry at `path` with `info`: its owner may not write
// it, or this user may not (a file whose bytes, a folder whose entries, the user may not change).
// The owner's bit counts even for the superuser, as the attribute binds every user.
bool IsReadOnly(const std::string& path, const struct stat& info);

// True while the file at `path` is open through a file handle.
bool IsOpenForWriting(const std::string& path);

// True (with the error to report) when a failure of `op` is due now.
bool TakeFault(FileOp op, DWORD* error);
} // namespace file
