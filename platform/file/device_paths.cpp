// Device paths read into host paths below files/, and host failures in the handheld's words.
#include "platform/device.h"
#include "platform/file/file_system.h"
#include "platform/fileapi.h"
#include "platform/store/store_text.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Characters no device name holds; '*' and '?' among them, since searches take no wildcards.
bool IsForbidden(char16_t c)
{
    return c < 0x20 || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>' ||
           c == u'|';
}
} // namespace

namespace file
{
DWORD ToHostPath(LPCWSTR devicePath, HostPath* host)
{
    if (!devicePath)
        return ERROR_INVALID_PARAMETER;
    if (DeviceFolder().empty())
        return ERROR_PATH_NOT_FOUND;
    size_t length = store::TextLength(devicePath);
    if (length >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    if (!store::IsWholeUtf16(devicePath, length))
        return ERROR_INVALID_NAME;
    for (size_t i = 0; i < length; ++i) {
        if (IsForbidden(devicePath[i]))
            return ERROR_INVALID_NAME;
    }
    // Empty for "." or ".." as a name: the device has neither, and they could lead out of files/.
    std::string path = DeviceFilesPath(devicePath);
    if (path.empty())
        return ERROR_PATH_NOT_FOUND;
    host->path = path;
    host->isRoot = path == DeviceFolder() + "/files";
    if (host->isRoot) {
        host->folder = path;
        host->name.clear();
    } else {
        size_t slash = path.rfind('/');
        host->folder = path.substr(0, slash);
        host->name = path.substr(slash + 1);
    }
    return ERROR_SUCCESS;
}

bool IsReadOnly(const std::string& path, const struct stat& info)
{
    return !(info.st_mode & S_IWUSR) || access(path.c_str(), W_OK) != 0;
}

DWORD ErrorOf(int error, const HostPath& path, DWORD fallback)
{
    switch (error) {
    case ENOENT: {
        struct stat info;
        bool folderThere = stat(path.folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        return folderThere ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR:
    case ELOOP: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    default: return fallback;
    }
}
} // namespace file
