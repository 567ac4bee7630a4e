// The device folder: where the store and the handheld's files live on the host.
#include "platform/device.h"

#include "platform/handle.h"
#include "platform/store/store_connection.h"
#include "platform/store/store_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
const char* const storeFileName = "store.db";
// The folders a new handheld has, below files/. They are made once, with the store: a folder
// the user removes later stays removed, as on the handheld.
const char* const deviceFolders[] = {"My Documents/Business", "My Documents/Personal", "Windows"};

std::string& OpenFolder()
{
    static std::string folder;
    return folder;
}

std::string Problem(int error)
{
    return std::strerror(error);
}

// Creates `path` and any missing folder above it, readable by the user alone. 0 or errno.
int MakeFolders(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    std::string parent = std::filesystem::path(path).parent_path().string();
    if (!parent.empty() && parent != path) {
        int error = MakeFolders(parent);
        if (error)
            return error;
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

// Makes an empty store file, readable and writable by the user alone, unless one is there.
int MakeStoreFile(const std::string& path)
{
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (file >= 0) {
        close(file);
        return 0;
    }
    if (errno != EEXIST)
        return errno;
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return errno;
    return S_ISREG(info.st_mode) ? 0 : EISDIR;
}

std::string AbsoluteFolder(const std::string& dir)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(dir, error);
    if (error)
        path = dir;
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// The entry of `folder` named `name` regardless of case; `name` itself when there is none.
std::string MatchingEntry(const std::string& folder, const std::string& name)
{
    struct stat info;
    if (lstat((folder + "/" + name).c_str(), &info) == 0)
        return name;
    DIR* listing = opendir(folder.c_str());
    if (!listing)
        return name;
    std::u16string wanted = store::FromUtf8(name);
    std::string folded = store::FoldedUtf8(wanted.data(), wanted.size());
    std::vector<std::string> matches;
    while (dirent* entry = readdir(listing)) {
        std::u16string candidate = store::FromUtf8(entry->d_name);
        if (store::FoldedUtf8(candidate.data(), candidate.size()) == folded)
            matches.push_back(entry->d_name);
    }
    closedir(listing);
    if (matches.empty())
        return name;
    return *std::min_element(matches.begin(), matches.end());
}
} // namespace

bool OpenDeviceFolder(const std::string& dir, std::string* reason, DeviceFolderUse use)
{
    CloseDeviceFolder();
    auto refuse = [reason](const std::string& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (dir.empty())
        return refuse("no device folder was given");
    std::string folder = AbsoluteFolder(dir);
    std::string storePath = folder + "/" + storeFileName;
    struct stat info;
    if (stat(folder.c_str(), &info) != 0) {
        if (errno != ENOENT)
            return refuse("cannot reach the device folder " + folder + ": " + Problem(errno));
        if (use == DeviceFolderUse::ExistingOnly)
            return refuse("the device folder " + folder + " does not exist");
        int error = MakeFolders(folder);
        if (error)
            return refuse("cannot create the device folder " + folder + ": " + Problem(error));
    } else if (!S_ISDIR(info.st_mode)) {
        return refuse("the device folder " + folder + " is not a folder");
    }

    if (use == DeviceFolderUse::ExistingOnly) {
        if (stat(storePath.c_str(), &info) != 0)
            return refuse(errno == ENOENT
                              ? "the device folder " + folder + " holds no " + storeFileName
                              : "cannot reach " + storePath + ": " + Problem(errno));
        if (!S_ISREG(info.st_mode))
            return refuse(storePath + " is not a file");
    } else {
        if (access(folder.c_str(), W_OK | X_OK) != 0)
            return refuse("cannot write to the device folder " + folder + ": " + Problem(errno));
        // A device without its store is new. Its folders come before the store, so that a
        // start that cannot make them leaves the device new for the next start to try again.
        if (stat(storePath.c_str(), &info) != 0 && errno == ENOENT) {
            for (const char* sub : deviceFolders) {
                std::string path = folder + "/files/" + sub;
                int error = MakeFolders(path);
                if (error)
                    return refuse("cannot create " + path + ": " + Problem(error));
            }
        }
        int error = MakeStoreFile(storePath);
        if (error)
            return refuse("cannot create " + storePath + ": " + Problem(error));
    }
    OpenFolder() = folder;
    store::UseStoreFile(storePath);
    return true;
}

void CloseDeviceFolder()
{
    CloseHandlesOfKind(HandleKind::Database);
    CloseHandlesOfKind(HandleKind::DatabaseSearch);
    CloseHandlesOfKind(HandleKind::RegistryKey);
    CloseHandlesOfKind(HandleKind::File);
    CloseHandlesOfKind(HandleKind::FileSearch);
    store::UseStoreFile("");
    OpenFolder().clear();
}

std::string DeviceFolder()
{
    return OpenFolder();
}

std::string DefaultDeviceFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/zentally";
    const char* home = std::getenv("HOME");
    std::string base = home && home[0] ? home : "";
    if (base.empty()) {
        if (const passwd* user = getpwuid(getuid()))
            base = user->pw_dir ? user->pw_dir : "";
    }
    return base + "/.local/share/zentally";
}

std::string DeviceStorePath()
{
    return OpenFolder().empty() ? std::string() : OpenFolder() + "/" + storeFileName;
}

std::string DeviceFilesPath(LPCWSTR devicePath)
{
    if (!devicePath || OpenFolder().empty())
        return std::string();
    size_t length = store::TextLength(devicePath);
    if (!store::IsWholeUtf16(devicePath, length))
        return std::string();
    std::vector<std::u16string> names(1);
    for (size_t i = 0; i < length; ++i) {
        char16_t c = devicePath[i];
        if (c == u'\\' || c == u'/') {
            if (!names.back().empty())
                names.emplace_back();
        } else {
            names.back().push_back(c);
        }
    }
    std::string path = OpenFolder() + "/files";
    for (const std::u16string& name : names) {
        if (name.empty())
            continue;
        if (name == u"." || name == u"..")
            return std::string();
        path += "/" + MatchingEntry(path, store::ToUtf8(name.data(), name.size()));
    }
    return path;
}
