// Handles of the handheld's kernel objects. One table hands out every handle, so that a handle
// of one kind is never taken for another, and a closed or made-up handle is refused instead of
// followed. Handle values are never given out twice and never equal 0, INVALID_HANDLE_VALUE or
// a predefined registry root.
#pragma once

#include "platform/wintypes.h"

enum class HandleKind {
    Database,       // CeOpenDatabase; closed by CloseHandle
    DatabaseSearch, // CeFindFirstDatabase; closed by CloseHandle
    RegistryKey,    // RegOpenKeyExW, RegCreateKeyExW; closed by RegCloseKey only
    File,           // CreateFileW; closed by CloseHandle
    FileSearch,     // FindFirstFileW; closed by FindClose only
};

// Frees the object behind a handle when the handle is closed.
typedef void (*HandleCloser)(void* object);

// Frees the object behind a handle when the handle is closed, where the last step may fail (a
// file that must still reach the disk): FALSE, with GetLastError set, is what closing the handle
// returns. The handle is gone either way.
typedef BOOL (*HandleFinisher)(void* object);

// A new handle of `kind` for `object`. 0 with ERROR_NOT_ENOUGH_MEMORY when none can be made;
// the object is then not taken.
HANDLE NewHandle(HandleKind kind, void* object, HandleCloser close);
HANDLE NewHandle(HandleKind kind, void* object, HandleFinisher finish);

// The object behind a live handle of `kind`; null otherwise.
void* HandleObject(HANDLE handle, HandleKind kind);

// Closes a live handle of `kind`. FALSE with ERROR_INVALID_HANDLE for any other handle, or
// with the finisher's error when it failed.
BOOL CloseHandleOfKind(HANDLE handle, HandleKind kind);

// Closes every live handle of `kind` (when the device folder closes, its handles go with it).
void CloseHandlesOfKind(HandleKind kind);

// Closes a database, database search or file handle. FALSE with ERROR_INVALID_HANDLE for 0,
// INVALID_HANDLE_VALUE, a handle closed before, or a handle of another kind; FALSE with the
// error of the last step of a file that failed (platform/fileapi.h), the handle closed.
BOOL CloseHandle(HANDLE hObject);
