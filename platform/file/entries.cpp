// Finding one entry of the device's file system, and deleting a file.
#include "platform/file/file_system.h"
#include "platform/fileapi.h"
#include "platform/store/store_text.h"

#include <cerrno>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
HANDLE RefuseSearch(DWORD error)
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

BOOL Refuse(DWORD error)
{
    SetLastError(error);
    return FALSE;
}
} // namespace

HANDLE FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData)
{
    try {
        if (!lpFindFileData)
            return RefuseSearch(ERROR_INVALID_PARAMETER);
        file::HostPath host;
        DWORD error = file::ToHostPath(lpFileName, &host);
        if (!error && host.isRoot)
            error = ERROR_FILE_NOT_FOUND;
        if (error)
            return RefuseSearch(error);
        struct stat info;
        if (stat(host.path.c_str(), &info) != 0)
            return RefuseSearch(file::ErrorOf(errno, host, ERROR_GEN_FAILURE));
        std::u16string name = store::FromUtf8(host.name);
        if (name.size() >= MAX_PATH)
            return RefuseSearch(ERROR_FILENAME_EXCED_RANGE);

        WIN32_FIND_DATAW found = {};
        bool readOnly = file::IsReadOnly(host.path, info);
        if (S_ISDIR(info.st_mode)) {
            found.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
            if (readOnly)
                found.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
        } else {
            // FILE_ATTRIBUTE_NORMAL stands only for a file with no other attribute.
            found.dwFileAttributes = readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
            uint64_t size = static_cast<uint64_t>(info.st_size);
            found.nFileSizeHigh = static_cast<DWORD>(size >> 32);
            found.nFileSizeLow = static_cast<DWORD>(size);
        }
        name.copy(found.cFileName, name.size());

        HANDLE search = NewHandle(HandleKind::FileSearch, nullptr, HandleCloser(nullptr));
        if (!search)
            return INVALID_HANDLE_VALUE;
        *lpFindFileData = found;
        return search;
    } catch (const std::bad_alloc&) {
        return RefuseSearch(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL FindClose(HANDLE hFindFile)
{
    return CloseHandleOfKind(hFindFile, HandleKind::FileSearch);
}

BOOL DeleteFileW(LPCWSTR lpFileName)
{
    try {
        file::HostPath host;
        DWORD error = file::ToHostPath(lpFileName, &host);
        if (!error && host.isRoot)
            error = ERROR_ACCESS_DENIED;
        if (error)
            return Refuse(error);
        // The entry as a search sees it, so that what a search calls a folder is never unlinked.
        struct stat info;
        if (stat(host.path.c_str(), &info) != 0)
            return Refuse(file::ErrorOf(errno, host, ERROR_GEN_FAILURE));
        if (S_ISDIR(info.st_mode) || file::IsReadOnly(host.path, info))
            return Refuse(ERROR_ACCESS_DENIED);
        if (file::IsOpenForWriting(host.path))
            return Refuse(ERROR_SHARING_VIOLATION);
        if (file::TakeFault(FileOp::Delete, &error))
            return Refuse(error);
        if (unlink(host.path.c_str()) != 0)
            return Refuse(file::ErrorOf(errno, host, ERROR_ACCESS_DENIED));
        return TRUE;
    } catch (const std::bad_alloc&) {
        return Refuse(ERROR_NOT_ENOUGH_MEMORY);
    }
}
