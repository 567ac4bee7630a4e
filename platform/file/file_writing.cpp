// Files made and written through handles: a new file is written beside the name it replaces and
// takes that name at CloseHandle, so that the name always holds the old file or the new one.
#include "platform/file/file_system.h"
#include "platform/fileapi.h"
#include "platform/store/store_text.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <new>
#include <set>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
struct OpenFile {
    file::HostPath target; // the name the file takes
    std::string key;       // the target as OpenPaths holds it
    std::string writing;   // the host file written: the target itself, or the one beside it
    bool beside = false;   // renamed over the target at the close
    int descriptor = -1;
    DWORD failure = ERROR_SUCCESS; // once set, the file is abandoned
    // Bytes written but not yet handed to the host: a program writes a line at a time, and a
    // host write per line would cost more than making the lines. Handed over when the room is
    // full and at the close, before the sync; a failure then abandons the file as any failed
    // write does, and since the file takes its name only at the close, nothing is lost.
    std::vector<BYTE> pending;
};

// The room for pending bytes; a write as large goes to the host at once.
const size_t PENDING_ROOM = 64 * 1024;

// The files open through handles, case-folded as the device compares names.
std::set<std::string>& OpenPaths()
{
    static std::set<std::string> paths;
    return paths;
}

std::string KeyOf(const std::string& hostPath)
{
    std::u16string text = store::FromUtf8(hostPath);
    return store::FoldedUtf8(text.data(), text.size());
}

// The name beside `target` that the new file is written under: hidden on the host, and short
// enough for any folder, since only its last characters need be unique.
std::string BesideTemplate(const file::HostPath& target)
{
    size_t cut = std::min<size_t>(target.name.size(), 100);
    while (cut > 0 && (static_cast<unsigned char>(target.name[cut]) & 0xC0) == 0x80)
        --cut;
    return target.folder + "/." + target.name.substr(0, cut) + ".XXXXXX";
}

// Removes the copies beside `target` that a program killed while writing them left behind: a
// name made from BesideTemplate, six characters in place of its X's, and a plain file. Only a
// handle of the same target writes such a name, and the caller holds that target, so none of
// them is being written. A copy that cannot be removed stays; the new file is made all the same.
void RemoveLeftCopies(const file::HostPath& target)
{
    std::string pattern = BesideTemplate(target);
    std::string prefix = pattern.substr(target.folder.size() + 1);
    prefix.resize(prefix.size() - 6);
    DIR* folder = opendir(target.folder.c_str());
    if (!folder)
        return;
    while (dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0 ||
            !std::all_of(name.begin() + prefix.size(), name.end(), [](char c) {
                return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
            }))
            continue;
        std::string path = target.folder + "/" + name;
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            unlink(path.c_str());
    }
    closedir(folder);
}

// Removes what the handle made, so that the target holds what it held before CreateFileW.
void Abandon(OpenFile* file, DWORD error)
{
    if (file->descriptor >= 0)
        close(file->descriptor);
    file->descriptor = -1;
    unlink(file->writing.c_str());
    file->failure = error;
}

// A rename or a new entry reaches the disk with its folder. A folder that cannot be synced only
// leaves that to the host's own time, so it is not reported.
void SyncFolder(const std::string& folder)
{
    int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    fsync(descriptor);
    close(descriptor);
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// Hands `count` bytes to the host file; ERROR_SUCCESS, or the host's failure with the bytes
// that reached the file in *done.
DWORD PutBytes(OpenFile* file, const BYTE* bytes, size_t count, size_t* done)
{
    *done = 0;
    while (*done < count) {
        size_t chunk = std::min<size_t>(count - *done, size_t(1) << 30);
        ssize_t put = write(file->descriptor, bytes + *done, chunk);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return put < 0 ? file::ErrorOf(errno, file->target, ERROR_WRITE_FAULT)
                           : ERROR_WRITE_FAULT;
        *done += static_cast<size_t>(put);
    }
    return ERROR_SUCCESS;
}

DWORD PutPending(OpenFile* file)
{
    size_t done = 0;
    DWORD error = PutBytes(file, file->pending.data(), file->pending.size(), &done);
    file->pending.clear();
    return error;
}

BOOL FinishFile(void* object)
{
    std::unique_ptr<OpenFile> file(static_cast<OpenFile*>(object));
    OpenPaths().erase(file->key);
    if (file->failure)
        return Fail(file->failure);
    DWORD error = PutPending(file.get());
    if (!error && !file::TakeFault(FileOp::Sync, &error) && fsync(file->descriptor) != 0)
        error = file::ErrorOf(errno, file->target, ERROR_WRITE_FAULT);
    if (!error) {
        // Linux closes the descriptor even when close reports EINTR.
        if (close(file->descriptor) != 0 && errno != EINTR)
            error = file::ErrorOf(errno, file->target, ERROR_WRITE_FAULT);
        file->descriptor = -1;
    }
    if (error) {
        Abandon(file.get(), error);
        return Fail(error);
    }
    if (file->beside) {
        // An old file made read-only while the new one was written is kept, as it would have
        // been at CreateFileW: the host's rename would pass over its mode.
        struct stat info;
        if (stat(file->target.path.c_str(), &info) == 0 &&
            file::IsReadOnly(file->target.path, info))
            error = ERROR_ACCESS_DENIED;
        if (!error && !file::TakeFault(FileOp::Rename, &error) &&
            rename(file->writing.c_str(), file->target.path.c_str()) != 0)
            error = file::ErrorOf(errno, file->target, ERROR_ACCESS_DENIED);
        if (error) {
            Abandon(file.get(), error);
            return Fail(error);
        }
    }
    SyncFolder(file->target.folder);
    return TRUE;
}

HANDLE Refuse(DWORD error)
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

bool IsServed(DWORD access, DWORD shareMode, DWORD disposition, DWORD flagsAndAttributes)
{
    return (access & GENERIC_WRITE) && !(access & ~DWORD(GENERIC_READ | GENERIC_WRITE)) &&
           shareMode == 0 && (disposition == CREATE_NEW || disposition == CREATE_ALWAYS) &&
           (flagsAndAttributes == 0 || flagsAndAttributes == FILE_ATTRIBUTE_NORMAL);
}

// Makes the host file the new file is written to; its descriptor, or -1 with errno.
int MakeHostFile(OpenFile* file)
{
    if (!file->beside) {
        file->writing = file->target.path;
        return open(file->writing.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    RemoveLeftCopies(file->target);
    file->writing = BesideTemplate(file->target);
    return mkostemp(file->writing.data(), O_CLOEXEC); // mode 0600
}
} // namespace

bool file::IsOpenForWriting(const std::string& path)
{
    return OpenPaths().count(KeyOf(path)) > 0;
}

HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                   HANDLE)
{
    try {
        if (!IsServed(dwDesiredAccess, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes))
            return Refuse(ERROR_INVALID_PARAMETER);
        auto file = std::make_unique<OpenFile>();
        DWORD error = file::ToHostPath(lpFileName, &file->target);
        if (!error && file->target.isRoot)
            error = ERROR_ACCESS_DENIED;
        if (error)
            return Refuse(error);
        file->key = KeyOf(file->target.path);
        if (OpenPaths().count(file->key))
            return Refuse(ERROR_SHARING_VIOLATION);

        struct stat info;
        bool exists = stat(file->target.path.c_str(), &info) == 0;
        if (!exists && errno != ENOENT)
            return Refuse(file::ErrorOf(errno, file->target, ERROR_GEN_FAILURE));
        if (exists && dwCreationDisposition == CREATE_NEW)
            return Refuse(ERROR_FILE_EXISTS);
        if (exists && (S_ISDIR(info.st_mode) || file::IsReadOnly(file->target.path, info)))
            return Refuse(ERROR_ACCESS_DENIED);
        if (file::TakeFault(FileOp::Create, &error))
            return Refuse(error);

        file->beside = dwCreationDisposition == CREATE_ALWAYS;
        auto held = OpenPaths().insert(file->key).first;
        file->descriptor = MakeHostFile(file.get());
        if (file->descriptor < 0) {
            OpenPaths().erase(held);
            return Refuse(file::ErrorOf(errno, file->target, ERROR_ACCESS_DENIED));
        }
        if (!file->beside)
            SyncFolder(file->target.folder);
        HANDLE handle = NewHandle(HandleKind::File, file.get(), FinishFile);
        if (!handle) {
            Abandon(file.get(), ERROR_NOT_ENOUGH_MEMORY);
            OpenPaths().erase(held);
            return INVALID_HANDLE_VALUE;
        }
        file.release();
        SetLastError(exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
        return handle;
    } catch (const std::bad_alloc&) {
        return Refuse(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped)
{
    if (lpNumberOfBytesWritten)
        *lpNumberOfBytesWritten = 0;
    OpenFile* file = static_cast<OpenFile*>(HandleObject(hFile, HandleKind::File));
    if (!file)
        return Fail(ERROR_INVALID_HANDLE);
    if (!lpNumberOfBytesWritten || (!lpBuffer && nNumberOfBytesToWrite) || lpOverlapped)
        return Fail(ERROR_INVALID_PARAMETER);
    if (file->failure)
        return Fail(file->failure);

    const BYTE* bytes = static_cast<const BYTE*>(lpBuffer);
    DWORD faultError = ERROR_SUCCESS;
    bool fault = file::TakeFault(FileOp::Write, &faultError);
    DWORD wanted = fault ? nNumberOfBytesToWrite / 2 : nNumberOfBytesToWrite;
    if (!fault && file->pending.size() + wanted <= PENDING_ROOM) {
        try {
            if (file->pending.capacity() < PENDING_ROOM)
                file->pending.reserve(PENDING_ROOM);
            file->pending.insert(file->pending.end(), bytes, bytes + wanted);
            *lpNumberOfBytesWritten = wanted;
            return TRUE;
        } catch (const std::bad_alloc&) {
            // Without room the bytes go to the host at once.
        }
    }
    DWORD error = PutPending(file);
    size_t done = 0;
    if (!error)
        error = PutBytes(file, bytes, wanted, &done);
    if (!error)
        error = faultError;
    *lpNumberOfBytesWritten = static_cast<DWORD>(done);
    if (error) {
        Abandon(file, error);
        return Fail(error);
    }
    return TRUE;
}
