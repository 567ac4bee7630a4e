// backup and restore: the store file copied whole out of a device, even a running one, and put
// back into a device whose program is not running.
#include "device/store_tool/store_tool.h"

#include "device/single_instance.h"
#include "platform/device.h"
#include "platform/store/store_identity.h"

#include <QFileInfo>
#include <QString>

#include <sqlite3.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
// The running program holds the store only while it stores a change; a backup waits that long
// at most for it.
const auto lockPatience = std::chrono::seconds(5);
const auto lockPause = std::chrono::milliseconds(20);

std::string Problem(int error)
{
    return std::strerror(error);
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Makes what was written to `path` reach the disk; for a folder, the names made or renamed in
// it. 0 or errno.
int Sync(const std::string& path, bool folder)
{
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (descriptor < 0)
        return errno;
    int error = fsync(descriptor) == 0 ? 0 : errno;
    close(descriptor);
    return error;
}

// A new empty file beside `path`, readable by the user alone, named after it, so that a copy
// cut off by a crash is plainly a leftover of this one. Its descriptor, or -1 with errno.
int MakeTemporaryBeside(const std::string& path, const char* tag, std::string* temporary)
{
    std::string pattern = path + tag + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int descriptor = mkostemp(name.data(), O_CLOEXEC);
    if (descriptor >= 0)
        *temporary = name.data();
    return descriptor;
}

void RemoveTemporary(const std::string& temporary)
{
    unlink(temporary.c_str());
    unlink((temporary + "-journal").c_str());
}

// An SQLite connection of the tool's own, beside the platform's, closed when it goes.
struct OwnConnection {
    sqlite3* db = nullptr;
    OwnConnection() = default;
    OwnConnection(const OwnConnection&) = delete;
    OwnConnection& operator=(const OwnConnection&) = delete;
    ~OwnConnection() { sqlite3_close(db); }
    int Open(const std::string& path, int flags)
    {
        return sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    }
    std::string Message() const { return db ? sqlite3_errmsg(db) : "out of memory"; }
};

// The first column of every row `sql` gives, as text. An SQLite result code.
int Rows(sqlite3* db, const char* sql, std::vector<std::string>* rows)
{
    sqlite3_stmt* statement = nullptr;
    int result = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    while (result == SQLITE_OK && (result = sqlite3_step(statement)) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        rows->push_back(text ? reinterpret_cast<const char*>(text) : "");
        result = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    return result == SQLITE_DONE ? SQLITE_OK : result;
}

// Why the SQLite file at `path` may not be the device's store, or "" when it may: it reads
// whole, is marked as a Zentally store and has a schema the program reads. `name` is how the
// reason names the file.
std::string StoreFileProblem(const std::string& path, const std::string& name)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return "cannot read " + name + ": " + Problem(errno);
    if (!S_ISREG(info.st_mode))
        return name + " is not a file";
    if (info.st_size == 0)
        return name + " is empty, not a Zentally store";
    // A file kept with a write-ahead log may hold its latest changes in a side file this copy
    // would leave behind, and would turn the store away from its rollback journal. It is told
    // from its header, before SQLite opens it and makes side files for it.
    unsigned char header[20] = {};
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return "cannot read " + name + ": " + Problem(errno);
    ssize_t got = read(descriptor, header, sizeof header);
    close(descriptor);
    if (got != static_cast<ssize_t>(sizeof header) ||
        std::memcmp(header, "SQLite format 3", 16) != 0)
        return name + " is not an SQLite database";
    if (header[18] == 2 || header[19] == 2)
        return name + " is kept with a write-ahead log, not as a Zentally store";
    OwnConnection file;
    int result = file.Open(path, SQLITE_OPEN_READONLY);
    if (result != SQLITE_OK)
        return "cannot open " + name + ": " + file.Message();
    std::vector<std::string> found;
    result = Rows(file.db, "PRAGMA integrity_check", &found);
    if (result == SQLITE_NOTADB)
        return name + " is not an SQLite database";
    if (result == SQLITE_CORRUPT ||
        (result == SQLITE_OK && found != std::vector<std::string>{"ok"}))
        return name + " is damaged: " + (result == SQLITE_OK ? found[0] : file.Message());
    std::vector<std::string> id, version;
    if (result == SQLITE_OK)
        result = Rows(file.db, "PRAGMA application_id", &id);
    if (result == SQLITE_OK)
        result = Rows(file.db, "PRAGMA user_version", &version);
    if (result != SQLITE_OK || id.size() != 1 || version.size() != 1)
        return "cannot read " + name + ": " + file.Message();
    long long applicationId = std::atoll(id[0].c_str());
    if (applicationId != store::StoreApplicationId()) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08llX", applicationId & 0xFFFFFFFFLL);
        return name + " is not a Zentally store (its application id is " + hex + ")";
    }
    long long schema = std::atoll(version[0].c_str());
    if (schema < store::FirstStoreSchemaVersion() || schema > store::StoreSchemaVersion())
        return name + " is a store of schema version " + version[0] + ", which is not one of " +
               std::to_string(store::FirstStoreSchemaVersion()) + " to " +
               std::to_string(store::StoreSchemaVersion()) + " that zentally reads";
    return "";
}

// Whether SQLite would play `journal` back into the store the next time it opens it: it is
// there, not empty, and its header not zeroed. Also true when it cannot be read.
bool JournalIsHot(const std::string& journal)
{
    int descriptor = open(journal.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return errno != ENOENT;
    char first = 0;
    ssize_t got = read(descriptor, &first, 1);
    close(descriptor);
    return got != 0 && !(got == 1 && first == 0);
}

// Copies the file `from` into the open `descriptor` and syncs it. 0 or errno.
int CopyInto(const std::string& from, int descriptor)
{
    int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return errno;
    std::vector<char> buffer(1 << 16);
    int error = 0;
    for (;;) {
        ssize_t got = read(source, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = got < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; done < got && !error;) {
            ssize_t put = write(descriptor, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno != EINTR)
                error = errno;
            done += put > 0 ? put : 0;
        }
        if (error)
            break;
    }
    close(source);
    if (!error && fsync(descriptor) != 0)
        error = errno;
    return error;
}

// Copies the store into `temporary` through SQLite's online backup, as one read of the store:
// a change the running program makes meanwhile is either wholly in the copy or not at all.
std::string CopyStore(const std::string& storePath, const std::string& temporary)
{
    OwnConnection source, copy;
    int result = source.Open(storePath, SQLITE_OPEN_READONLY);
    if (result != SQLITE_OK)
        return "cannot open the store: " + source.Message();
    result = copy.Open(temporary, SQLITE_OPEN_READWRITE);
    if (result == SQLITE_OK)
        result = sqlite3_exec(copy.db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    if (result != SQLITE_OK)
        return "cannot write the copy: " + copy.Message();
    sqlite3_backup* backup = sqlite3_backup_init(copy.db, "main", source.db, "main");
    if (!backup)
        return "cannot copy the store: " + copy.Message();
    auto giveUp = std::chrono::steady_clock::now() + lockPatience;
    do {
        result = sqlite3_backup_step(backup, -1);
        if (result != SQLITE_BUSY && result != SQLITE_LOCKED)
            break;
        std::this_thread::sleep_for(lockPause);
    } while (std::chrono::steady_clock::now() < giveUp);
    sqlite3_backup_finish(backup);
    switch (result) {
    case SQLITE_DONE: return "";
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return "the store stayed locked by another program";
    case SQLITE_NOTADB: return "store.db is not an SQLite database";
    case SQLITE_CORRUPT: return "the store is damaged";
    default: return "cannot copy the store: " + std::string(sqlite3_errstr(result));
    }
}

// The device folder's own store.db or its journal, whatever path names it.
bool IsStoreFile(const std::string& path)
{
    struct stat target, store;
    if (stat(path.c_str(), &target) == 0 && stat(DeviceStorePath().c_str(), &store) == 0 &&
        target.st_dev == store.st_dev && target.st_ino == store.st_ino)
        return true;
    char* folder = realpath(FolderOf(path).c_str(), nullptr);
    char* device = realpath(DeviceFolder().c_str(), nullptr);
    bool inDevice = folder && device && std::strcmp(folder, device) == 0;
    std::free(folder);
    std::free(device);
    return inDevice && (NameOf(path) == "store.db" || NameOf(path) == "store.db-journal");
}
} // namespace

bool ProgramRuns()
{
    QString canonical = QFileInfo(QString::fromStdString(DeviceFolder())).canonicalFilePath();
    std::string socketPath =
        InstanceSocketPath(canonical.isEmpty() ? DeviceFolder() : canonical.toStdString());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    int descriptor = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return false;
    bool runs = false;
    if (connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        ucred peer{};
        socklen_t size = sizeof peer;
        runs = getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
               peer.uid == getuid();
    }
    close(descriptor);
    return runs;
}

int BackupStore(const std::string& device, const std::vector<std::string>& args,
                ToolFailure* failure)
{
    if (args.size() != 1 || args[0].empty())
        return Fail(failure, ExitBadArguments, "backup takes one FILE");
    const std::string& target = args[0];
    if (!OpenDevice(device, false, failure))
        return failure->exit;
    if (IsStoreFile(target))
        return Fail(failure, ExitBadArguments, target + " is the store itself");
    struct stat info;
    if (stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return Fail(failure, ExitStoreFailed, target + " is a folder");

    std::string temporary;
    int descriptor = MakeTemporaryBeside(target, ".partial", &temporary);
    if (descriptor < 0)
        return Fail(failure, ExitStoreFailed, "cannot write " + target + ": " + Problem(errno));
    close(descriptor);
    std::string problem = CopyStore(DeviceStorePath(), temporary);
    // The copy is checked as restore checks it: a backup is always one that can be restored.
    if (problem.empty())
        problem = StoreFileProblem(temporary, "the store");
    int error = 0;
    if (problem.empty() && (error = Sync(temporary, false)) == 0 &&
        rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (!problem.empty() || error) {
        RemoveTemporary(temporary);
        return Fail(failure, ExitStoreFailed,
                    problem.empty() ? "cannot write " + target + ": " + Problem(error) : problem);
    }
    if ((error = Sync(FolderOf(target), true)) != 0)
        return Fail(failure, ExitStoreFailed,
                    "cannot make sure " + target + " is on the disk: " + Problem(error));
    return ExitDone;
}

int RestoreStore(const std::string& device, const std::vector<std::string>& args,
                 ToolFailure* failure)
{
    if (args.size() != 1 || args[0].empty())
        return Fail(failure, ExitBadArguments, "restore takes one FILE");
    const std::string& backup = args[0];
    // A file that cannot be the store is refused before anything of the device is touched.
    std::string problem = StoreFileProblem(backup, backup);
    if (!problem.empty())
        return Fail(failure, ExitStoreFailed, problem);
    if (!OpenDevice(device, true, failure))
        return failure->exit;
    std::string storePath = DeviceStorePath();
    std::string journal = storePath + "-journal";
    // Opening the store would play such a journal back; that is the program's to do, with its
    // own reports, before the store it finishes is replaced.
    if (JournalIsHot(journal))
        return Fail(failure, ExitStoreFailed,
                    journal + " holds a change that was cut off: start zentally on the device "
                              "once, then restore");
    // The store stays locked from here until it is replaced, so that no other program writes
    // into the store that is going.
    OwnConnection current;
    int result = current.Open(storePath, SQLITE_OPEN_READWRITE);
    if (result == SQLITE_OK)
        result = sqlite3_exec(current.db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    // Any other failure is a store that is damaged or not SQLite at all: it cannot be locked,
    // and it is what a restore is most often for.
    if (result == SQLITE_BUSY || result == SQLITE_LOCKED)
        return Fail(failure, ExitStoreFailed, "the store is locked by another program");
    if (ProgramRuns())
        return Fail(failure, ExitStoreFailed,
                    "zentally runs on " + DeviceFolder() + ": end it before restoring");

    std::string temporary;
    int descriptor = MakeTemporaryBeside(storePath, ".restore", &temporary);
    if (descriptor < 0)
        return Fail(failure, ExitStoreFailed,
                    "cannot write into " + DeviceFolder() + ": " + Problem(errno));
    int error = CopyInto(backup, descriptor);
    close(descriptor);
    // What takes the store's place is what was checked, even if FILE changed meanwhile.
    if (!error)
        problem = StoreFileProblem(temporary, backup);
    if (!error && problem.empty() && unlink(journal.c_str()) != 0 && errno != ENOENT)
        error = errno;
    if (!error && problem.empty() && rename(temporary.c_str(), storePath.c_str()) != 0)
        error = errno;
    if (error || !problem.empty()) {
        RemoveTemporary(temporary);
        return Fail(failure, ExitStoreFailed,
                    problem.empty() ? "cannot replace the store: " + Problem(error) : problem);
    }
    if ((error = Sync(DeviceFolder(), true)) != 0)
        return Fail(failure, ExitStoreFailed,
                    "cannot make sure the restored store is on the disk: " + Problem(error));
    return ExitDone;
}
