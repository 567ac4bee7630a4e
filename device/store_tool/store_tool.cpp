// zentally-store [--device DIR] VERB ...: the command line, and what the verbs share.
#include "device/store_tool/store_tool.h"

#include "platform/device.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstring>

namespace
{
const char* const usage =
    "usage: zentally-store [--device DIR] VERB ...\n"
    "  dump                                   print the whole store as JSON\n"
    "  create-database NAME                   an empty database sorted on 0x00000013\n"
    "  delete-database NAME                   a database and its records\n"
    "  put-record NAME ID=VALUE ...           a new record; ID 0x....0013 takes a number,\n"
    "                                         0x....001F a text\n"
    "  set-value KEY NAME dword N | binary HEX | string TEXT\n"
    "                                         a value under HKEY_LOCAL_MACHINE\\KEY\n"
    "  delete-key KEY                         a key with its values and subkeys\n"
    "  backup FILE                            a consistent copy of the store, also while\n"
    "                                         zentally runs\n"
    "  restore FILE                           FILE, checked, in the store's place; refused\n"
    "                                         while zentally runs\n"
    "  import FILE [--date-format F] [--dry-run]\n"
    "                                         the records of a records file zentally\n"
    "                                         exported, all or none; F is dd-mm-yyyy,\n"
    "                                         dd/mm/yyyy, mm-dd-yyyy or mm/dd/yyyy\n"
    "--version prints the version.\n"
    "DIR is the device folder, by default $XDG_DATA_HOME/zentally.\n";

typedef int (*Verb)(const std::string&, const std::vector<std::string>&, ToolFailure*);

const struct {
    const char* name;
    Verb run;
} verbs[] = {
    {"dump", DumpStore},
    {"create-database", CreateDatabase},
    {"delete-database", DeleteDatabase},
    {"put-record", PutRecord},
    {"set-value", SetValue},
    {"delete-key", DeleteKey},
    {"backup", BackupStore},
    {"restore", RestoreStore},
    {"import", ImportRecords},
};

// Keeps a reason to one line, whatever a name in it holds.
std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}
} // namespace

int Fail(ToolFailure* failure, int exit, const std::string& reason)
{
    failure->exit = exit;
    failure->reason = reason;
    return exit;
}

bool ArgumentText(const std::string& argument, std::u16string* text)
{
    QByteArray bytes(argument.data(), static_cast<qsizetype>(argument.size()));
    QString decoded = QString::fromUtf8(bytes);
    if (decoded.toUtf8() != bytes)
        return false;
    *text = decoded.toStdU16String();
    return true;
}

std::string StoreProblem(DWORD error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION: return "the store is locked by another program";
    case ERROR_DISK_CORRUPT: return "the store is damaged";
    case ERROR_BADDB: return "store.db is not a Zentally store";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "the disk is full";
    case ERROR_ACCESS_DENIED: return "the store may not be written";
    case ERROR_FILE_NOT_FOUND: return "store.db is missing";
    case ERROR_CANTOPEN: return "the store cannot be opened";
    case ERROR_READ_FAULT: return "the store cannot be read";
    case ERROR_WRITE_FAULT: return "the store cannot be written";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return "out of memory";
    default: return "the store failed with error " + std::to_string(error);
    }
}

bool OpenDevice(const std::string& device, bool create, ToolFailure* failure)
{
    std::string reason;
    if (OpenDeviceFolder(device, &reason,
                         create ? DeviceFolderUse::CreateIfMissing : DeviceFolderUse::ExistingOnly))
        return true;
    Fail(failure, ExitStoreFailed, reason);
    return false;
}

int StoreToolMain(int argc, const char* const* argv)
{
    std::string device;
    bool deviceGiven = false;
    int at = 1;
    ToolFailure failure = {ExitDone, ""};
    for (; at < argc && argv[at][0] == '-'; ++at) {
        std::string option = argv[at];
        if (option == "--help" || option == "-h") {
            std::fputs(usage, stdout);
            return ExitDone;
        }
        if (option == "--version") {
            std::fputs("zentally-store " ZENTALLY_STORE_VERSION "\n", stdout);
            return ExitDone;
        }
        if (option == "--device" && at + 1 < argc) {
            device = argv[++at];
        } else if (option.rfind("--device=", 0) == 0) {
            device = option.substr(std::strlen("--device="));
        } else if (option == "--device") {
            Fail(&failure, ExitBadArguments, "--device needs a folder");
            break;
        } else {
            Fail(&failure, ExitBadArguments, "unknown option " + option + " (see --help)");
            break;
        }
        deviceGiven = true;
    }
    if (!failure.exit && deviceGiven && device.empty())
        Fail(&failure, ExitBadArguments, "--device needs a folder");
    if (!failure.exit && at >= argc)
        Fail(&failure, ExitBadArguments,
             "no verb given: dump, create-database, delete-database, put-record, set-value, "
             "delete-key, backup, restore or import (see --help)");
    if (!failure.exit) {
        std::string name = argv[at];
        std::vector<std::string> args(argv + at + 1, argv + argc);
        if (!deviceGiven)
            device = DefaultDeviceFolder();
        Verb run = nullptr;
        for (const auto& verb : verbs) {
            if (name == verb.name)
                run = verb.run;
        }
        if (!run)
            Fail(&failure, ExitBadArguments, "unknown verb " + name + " (see --help)");
        else
            run(device, args, &failure);
        CloseDeviceFolder();
    }
    if (failure.exit)
        std::fprintf(stderr, "zentally-store: %s\n", OneLine(failure.reason).c_str());
    return failure.exit;
}
