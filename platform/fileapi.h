// The handheld's file system: files and folders below the device folder's files/, named by
// device paths such as "\My Documents\Personal\Sales.csv". What is built is what a program needs
// to put a file of its own into a folder: searching for one entry, deleting a file, creating a
// file and writing it from the start, and closing it.
//
// Device paths:
// - '\' (or '/') separates names; a path starts at the root whether or not it begins with a
//   separator, since the device has no current folder. Names match without regard to case, and
//   an existing entry keeps the case it was made with.
// - Refused, with nothing touched: a null path (ERROR_INVALID_PARAMETER); a path of MAX_PATH
//   characters or more, or a name the host cannot hold (ERROR_FILENAME_EXCED_RANGE); text that
//   is not valid UTF-16, control characters or any of : * ? " < > | (ERROR_INVALID_NAME; so
//   searches take no wildcards); "." or ".." as a name, which the device does not know and
//   which could lead out of files/ (ERROR_PATH_NOT_FOUND); any path when no device folder is
//   open (ERROR_PATH_NOT_FOUND). A host path such as "/etc/passwd" is only a device path like
//   any other, inside files/.
// - A folder on the way that is missing gives ERROR_PATH_NOT_FOUND, a missing last name
//   ERROR_FILE_NOT_FOUND, a host entry the user may not reach or change ERROR_ACCESS_DENIED.
//
// Writing a file never leaves its user with neither the old nor the new one:
// - CREATE_ALWAYS writes the new file beside the name, under a temporary name in the same
//   folder. At CloseHandle it is synced to the disk and renamed over the name in one step, so
//   that until then the name holds the old file (or nothing) and from then on the new one, whole.
//   A crash before that leaves the old file and at worst a stray temporary file beside it,
//   which the next CREATE_ALWAYS of the same name removes.
// - CREATE_NEW makes the file under its name at once (it fails when the name is taken) and syncs
//   it at CloseHandle.
// - A write that fails abandons the file: whatever this handle made (the temporary file, or the
//   new file of CREATE_NEW) is removed at once, so the name holds what it held before CreateFileW
//   and nothing is left beside it. Later writes and the CloseHandle report the same failure.
// - A failure to sync or rename at CloseHandle abandons the file the same way.
// - Files are readable and writable by the user alone (host mode 0600).
// - A file open through a handle is not shared: until its handle is closed, creating or
//   deleting it again fails with ERROR_SHARING_VIOLATION.
#pragma once

#include "platform/handle.h"
#include "platform/winbase.h"

#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#define GENERIC_READ 0x80000000
#define GENERIC_WRITE 0x40000000

#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002

// Creation dispositions; CREATE_NEW and CREATE_ALWAYS are served.
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080

#ifndef ERROR_PATH_NOT_FOUND
#define ERROR_PATH_NOT_FOUND 3L
#endif
#ifndef ERROR_TOO_MANY_OPEN_FILES
#define ERROR_TOO_MANY_OPEN_FILES 4L
#endif
#ifndef ERROR_GEN_FAILURE
#define ERROR_GEN_FAILURE 31L
#endif
#ifndef ERROR_FILE_EXISTS
#define ERROR_FILE_EXISTS 80L
#endif
#ifndef ERROR_INVALID_NAME
#define ERROR_INVALID_NAME 123L
#endif
#ifndef ERROR_FILENAME_EXCED_RANGE
#define ERROR_FILENAME_EXCED_RANGE 206L
#endif

typedef struct _OVERLAPPED OVERLAPPED, *LPOVERLAPPED;

// The handheld's form, with the entry's object identifier where the desktop has short names.
typedef struct _WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
} WIN32_FIND_DATAW, *LPWIN32_FIND_DATAW;

// Finds the one entry a path names, file or folder. Fills cFileName with its name as it is
// stored (in its own case), the size of a file, and dwFileAttributes: FILE_ATTRIBUTE_DIRECTORY
// for a folder, FILE_ATTRIBUTE_NORMAL for a file. A read-only entry, one that its owner on the
// host may not write or this user may not change, has FILE_ATTRIBUTE_READONLY instead of
// FILE_ATTRIBUTE_NORMAL, or besides FILE_ATTRIBUTE_DIRECTORY. The times and dwOID are 0.
// Returns a search handle for FindClose; INVALID_HANDLE_VALUE with the path's error otherwise
// (ERROR_FILE_NOT_FOUND when there is no such entry, also for the root, which is no entry of any
// folder), with *lpFindFileData left as it was.
HANDLE FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData);

// Closes a search handle. FALSE with ERROR_INVALID_HANDLE for any other handle.
BOOL FindClose(HANDLE hFindFile);

// Deletes a file. ERROR_ACCESS_DENIED for a folder or a read-only file, ERROR_SHARING_VIOLATION
// for a file open through a handle; the entry is then left as it was.
BOOL DeleteFileW(LPCWSTR lpFileName);

// Creates a file for writing from its start, as described above. `dwDesiredAccess` must hold
// GENERIC_WRITE (GENERIC_READ may join it; reading is not built), `dwShareMode` must be 0 and
// `dwFlagsAndAttributes` 0 or FILE_ATTRIBUTE_NORMAL: anything else fails with
// ERROR_INVALID_PARAMETER. The security attributes and the template are ignored, as on the
// handheld. Returns a file handle for WriteFile and CloseHandle, or INVALID_HANDLE_VALUE with:
// - CREATE_NEW: ERROR_FILE_EXISTS when the name is taken, by a file or a folder;
// - CREATE_ALWAYS: ERROR_ACCESS_DENIED when the name is a folder or a read-only file; on success
//   GetLastError is ERROR_ALREADY_EXISTS when a file will be replaced, ERROR_SUCCESS otherwise;
// - any other disposition: ERROR_INVALID_PARAMETER;
// - ERROR_SHARING_VIOLATION when the file is open through another handle;
// - ERROR_ACCESS_DENIED when the folder may not be written, ERROR_DISK_FULL when there is no
//   room for the file, ERROR_PATH_NOT_FOUND when the folder is missing.
HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);

// Appends `nNumberOfBytesToWrite` bytes to the file. TRUE when every byte was taken, with the
// count in *lpNumberOfBytesWritten. Bytes may wait in the handle (up to 64 KiB) and reach the
// host file with later ones or at CloseHandle, before the sync: a host failure found then is
// reported by that WriteFile or by CloseHandle, and abandons the file all the same. On failure
// FALSE with the bytes that reached the file before it in *lpNumberOfBytesWritten and GetLastError
// ERROR_DISK_FULL (no room), ERROR_WRITE_FAULT (the disk failed) or the error of an earlier
// failure; the file is then abandoned (above). Refused without touching the file: a handle that is
// not a live file handle (ERROR_INVALID_HANDLE), a null count, a null buffer for a nonzero count,
// or an overlapped write, which the handheld does not have (ERROR_INVALID_PARAMETER).
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);

// CloseHandle closes a file handle: the file is synced and takes its name
// (above). The handle is closed whatever happens; FALSE with GetLastError when the file did not
// take its name: ERROR_DISK_FULL or ERROR_WRITE_FAULT for a sync that failed, the rename's error,
// or the error of the write that abandoned the file.
