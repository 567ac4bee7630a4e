// import FILE: the records of a records file the program exported, added to the device as one
// change of the store, each as the program stores a record typed in.
#include "device/store_tool/records_file.h"
#include "device/store_tool/store_tool.h"

#include "entry/record_format.h"
#include "entry/settings.h"
#include "entry/text_checks.h"
#include "entry/view_types.h"
#include "model/databases.h"
#include "model/record_properties.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/resource.h"
#include "platform/store_batch.h"
#include "platform/text.h"
#include "platform/windbase.h"
#include "resources/strings.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>

namespace
{
// Larger than the records file of any store the program holds.
const std::streamoff fileSizeMax = std::streamoff(1) << 30;
const LPCWSTR defaultCategories[] = {u"Job", u"Reading", u"Sport"};
SORTORDERSPEC keyOrder = {PROP_RECORD_KEY, 0};
WCHAR recordsName[] = RECORDS_DATABASE_NAME;
WCHAR categoriesName[] = CATEGORIES_DATABASE_NAME;

struct ImportRequest {
    std::string file;
    bool dateFormGiven = false;
    DWORD dateView = 0;
    bool dryRun = false;
};

bool ParseRequest(const std::vector<std::string>& args, ImportRequest* request,
                  ToolFailure* failure)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string form;
        if (arg == "--dry-run") {
            request->dryRun = true;
            continue;
        }
        if (arg == "--date-format" && i + 1 < args.size()) {
            form = args[++i];
        } else if (arg.rfind("--date-format=", 0) == 0) {
            form = arg.substr(std::strlen("--date-format="));
        } else if (arg.size() > 1 && arg[0] == '-') {
            Fail(failure, ExitBadArguments,
                 arg == "--date-format" ? "--date-format needs a form, such as dd-mm-yyyy"
                                        : "import knows --date-format F and --dry-run, not " + arg);
            return false;
        } else if (request->file.empty() && !arg.empty()) {
            request->file = arg;
            continue;
        } else {
            Fail(failure, ExitBadArguments, "import takes one FILE");
            return false;
        }
        if (!DateFormOf(form, &request->dateView)) {
            Fail(failure, ExitBadArguments,
                 "the date form is dd-mm-yyyy, dd/mm/yyyy, mm-dd-yyyy or mm/dd/yyyy, not \"" +
                     form + "\"");
            return false;
        }
        request->dateFormGiven = true;
    }
    if (request->file.empty())
        Fail(failure, ExitBadArguments, "import takes one FILE");
    return !request->file.empty();
}

bool ReadWholeFile(const std::string& path, std::string* bytes, ToolFailure* failure)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        Fail(failure, ExitStoreFailed, "cannot read " + path + ": " + std::strerror(errno));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        Fail(failure, ExitStoreFailed, "cannot read " + path + ": it is not a file");
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Fail(failure, ExitStoreFailed, "cannot read " + path + ": " + std::strerror(errno));
        return false;
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size > fileSizeMax) {
        Fail(failure, ExitStoreFailed, path + " is larger than any records file Zentally writes");
        return false;
    }
    in.seekg(0);
    bytes->resize(static_cast<size_t>(size));
    if (size > 0 && !in.read(&(*bytes)[0], size)) {
        Fail(failure, ExitStoreFailed, "cannot read " + path);
        return false;
    }
    return true;
}

bool FolderExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// The date form the device shows, as the program reads it from its settings.
DWORD DeviceDateView()
{
    HINSTANCE module = RegisterResourceModule(&ZentallyResources);
    WCHAR maker[64] = {}, product[64] = {};
    LoadStringW(module, IDS_MAKER_NAME, maker, 64);
    LoadStringW(module, IDS_APP_TITLE, product, 64);
    AppSettings settings;
    InitAppSettings(&settings);
    LoadSettings(&settings, maker, product);
    DWORD view = settings.DateTypeView;
    DestroyAppSettings(&settings);
    return view;
}

// The device's categories as the program loads them: in order, empty and repeated names passed
// over, and the first start's three when none is usable.
struct DeviceCategories {
    std::vector<std::u16string> names;
    std::set<std::u16string> known; // the names, to look up
    bool defaults = true;           // the names are the first start's, not stored
    DWORD nextPosition = 0;         // after every stored one
    std::vector<std::u16string> added;
};

bool Holds(const DeviceCategories& categories, const std::u16string& name)
{
    return categories.known.count(name) != 0;
}

void Add(DeviceCategories* categories, const std::u16string& name)
{
    if (categories->known.insert(name).second)
        categories->names.push_back(name);
}

bool ReadCategories(DeviceCategories* categories, ToolFailure* failure)
{
    CEOID oid = 0;
    HANDLE db =
        CeOpenDatabase(&oid, categoriesName, PROP_CATEGORY_POSITION, CEDB_AUTOINCREMENT, nullptr);
    if (db != INVALID_HANDLE_VALUE) {
        DWORD size = 0;
        LPBYTE buffer = nullptr;
        WORD count = 0;
        while (CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size)) {
            const CEPROPVAL* values = reinterpret_cast<const CEPROPVAL*>(buffer);
            for (WORD p = 0; p < count; ++p) {
                if (values[p].wFlags & CEDB_PROPNOTFOUND)
                    continue;
                if (values[p].propid == PROP_CATEGORY_POSITION &&
                    values[p].val.ulVal >= categories->nextPosition)
                    categories->nextPosition = values[p].val.ulVal + 1;
                std::u16string name = values[p].propid == PROP_CATEGORY_NAME && values[p].val.lpwstr
                                          ? values[p].val.lpwstr
                                          : u"";
                if (!name.empty())
                    Add(categories, name);
            }
        }
        DWORD error = GetLastError();
        LocalFree(buffer);
        CloseHandle(db);
        if (error != ERROR_NO_MORE_ITEMS) {
            Fail(failure, ExitStoreFailed, "cannot read the categories: " + StoreProblem(error));
            return false;
        }
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        Fail(failure, ExitStoreFailed,
             "cannot read the categories: " + StoreProblem(GetLastError()));
        return false;
    }
    categories->defaults = categories->names.empty();
    if (categories->defaults) {
        for (LPCWSTR name : defaultCategories)
            Add(categories, name);
    }
    return true;
}

// The name a record of the file is stored with: a category of the device named exactly so, or
// the name normalised as the category dialogs store a typed one, added when it is new.
bool ResolveCategory(std::u16string* category, DeviceCategories* categories)
{
    if (Holds(*categories, *category))
        return true;
    std::u16string name = *category;
    TrimSpaces(name.data(), name.data());
    name.resize(std::char_traits<char16_t>::length(name.c_str()));
    if (!CapitalizeName(name.data()))
        return false;
    TrimSpaces(name.data(), name.data());
    name.resize(std::char_traits<char16_t>::length(name.c_str()));
    if (!Holds(*categories, name)) {
        Add(categories, name);
        categories->added.push_back(name);
    }
    *category = name;
    return true;
}

std::string Plural(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

void PrintDryRun(const RecordsFile& file, const DeviceCategories& categories)
{
    std::string out;
    char date[32];
    for (const FileRecord& record : file.records) {
        std::snprintf(date, sizeof date, "%04u-%02u-%02u", record.year, record.month, record.day);
        out = "{\"add\": \"record\", \"date\": \"" + std::string(date) + "\", \"category\": ";
        AppendJsonText(&out, record.category.data(), record.category.size());
        out += ", \"minutes\": " + std::to_string(record.minutes) + ", \"memo\": ";
        AppendJsonText(&out, record.memo.data(), record.memo.size());
        out += "}\n";
        std::fputs(out.c_str(), stdout);
    }
    for (const std::u16string& name : categories.added) {
        out = "{\"add\": \"category\", \"name\": ";
        AppendJsonText(&out, name.data(), name.size());
        out += "}\n";
        std::fputs(out.c_str(), stdout);
    }
}

bool KeyIsTaken(HANDLE records, DWORD key)
{
    CEPROPVAL value = {};
    value.propid = PROP_RECORD_KEY;
    value.val.ulVal = key;
    return CeSeekDatabase(records, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&value),
                          nullptr) != 0;
}

HANDLE OpenOrCreate(LPWSTR name)
{
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, name, PROP_RECORD_KEY, 0, nullptr);
    if (db == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND &&
        CeCreateDatabase(name, 0, 1, &keyOrder)) {
        oid = 0;
        db = CeOpenDatabase(&oid, name, PROP_RECORD_KEY, 0, nullptr);
    }
    return db;
}

// Writes every record under a fresh key, in the file's order: from the key of the moment on,
// each the next number no stored record holds, as the program gives a new record its key.
DWORD WriteRecords(const RecordsFile& file)
{
    HANDLE records = OpenOrCreate(recordsName);
    if (records == INVALID_HANDLE_VALUE)
        return GetLastError();
    RecordNode* node = MakeRecordNode();
    DWORD error = node ? ERROR_SUCCESS : ERROR_OUTOFMEMORY;
    DWORD key = KeyFromLocalTime();
    WCHAR minutes[16];
    for (size_t i = 0; i < file.records.size() && error == ERROR_SUCCESS; ++i, ++key) {
        const FileRecord& record = file.records[i];
        SYSTEMTIME date = {};
        date.wYear = record.year;
        date.wMonth = record.month;
        date.wDay = record.day;
        wsprintfW(minutes, u"%d", static_cast<int>(record.minutes));
        if (!SetRecordDate(node, date) || !SetRecordMinutes(node, minutes) ||
            !SetRecordCategory(node, record.category.c_str()) ||
            !SetRecordMemo(node, record.memo.c_str())) {
            error = ERROR_OUTOFMEMORY;
            break;
        }
        while (KeyIsTaken(records, key))
            ++key;
        CEPROPVAL props[7] = {};
        BuildRecordProperties(node, key, props);
        if (!CeWriteRecordProps(records, 0, 7, props))
            error = GetLastError();
    }
    if (node)
        FreeRecordNode(node);
    CloseHandle(records);
    return error;
}

// Appends the new categories after the stored ones; on a device with none stored, the first
// start's three first, as the program stores its list at its first category change.
DWORD WriteCategories(const DeviceCategories& categories)
{
    if (categories.added.empty())
        return ERROR_SUCCESS;
    HANDLE db = OpenOrCreate(categoriesName);
    if (db == INVALID_HANDLE_VALUE)
        return GetLastError();
    std::vector<std::u16string> names;
    if (categories.defaults) {
        for (LPCWSTR name : defaultCategories)
            names.push_back(name);
    }
    names.insert(names.end(), categories.added.begin(), categories.added.end());
    DWORD error = ERROR_SUCCESS;
    DWORD position = categories.nextPosition;
    for (std::u16string& name : names) {
        CEPROPVAL props[2] = {};
        props[0].propid = PROP_CATEGORY_POSITION;
        props[0].val.ulVal = position++;
        props[1].propid = PROP_CATEGORY_NAME;
        props[1].val.lpwstr = name.data();
        if (!CeWriteRecordProps(db, 0, 2, props)) {
            error = GetLastError();
            break;
        }
    }
    CloseHandle(db);
    return error;
}

int WriteImport(const RecordsFile& file, const DeviceCategories& categories, ToolFailure* failure)
{
    if (!BeginStoreBatch()) {
        DWORD error = GetLastError();
        EndStoreBatch(FALSE);
        return Fail(failure, ExitStoreFailed, "cannot import: " + StoreProblem(error));
    }
    DWORD error = WriteRecords(file);
    if (error == ERROR_SUCCESS)
        error = WriteCategories(categories);
    if (error != ERROR_SUCCESS) {
        EndStoreBatch(FALSE);
        return Fail(failure, ExitStoreFailed,
                    "cannot import: " + StoreProblem(error) + "; nothing was imported");
    }
    if (!EndStoreBatch(TRUE))
        return Fail(failure, ExitStoreFailed,
                    "cannot import: " + StoreProblem(GetLastError()) + "; nothing was imported");
    return ExitDone;
}
} // namespace

int ImportRecords(const std::string& device, const std::vector<std::string>& args,
                  ToolFailure* failure)
{
    ImportRequest request;
    if (!ParseRequest(args, &request, failure))
        return failure->exit;
    std::string bytes;
    if (!ReadWholeFile(request.file, &bytes, failure))
        return failure->exit;

    // A device folder that is not there yet is a new device: its settings and categories are
    // the first start's, and it is made only when records go into it.
    bool deviceExists = FolderExists(device);
    if (deviceExists && !OpenDevice(device, false, failure))
        return failure->exit;
    DWORD dateView = request.dateFormGiven ? request.dateView
                     : deviceExists        ? DeviceDateView()
                                           : DWORD(DEFAULT_DATE_VIEW);
    RecordsFile file;
    FileProblem problem;
    if (!ReadRecordsFile(bytes, dateView, &file, &problem))
        return Fail(failure, ExitStoreFailed,
                    request.file + (problem.line ? ":" + std::to_string(problem.line) : "") + ": " +
                        problem.reason + "; nothing was imported");
    DeviceCategories categories;
    if (deviceExists && !ReadCategories(&categories, failure))
        return failure->exit;
    for (LPCWSTR name : defaultCategories) {
        if (!deviceExists)
            Add(&categories, name);
    }
    for (FileRecord& record : file.records) {
        if (!ResolveCategory(&record.category, &categories))
            return Fail(failure, ExitStoreFailed, "out of memory; nothing was imported");
    }
    if (request.dryRun) {
        PrintDryRun(file, categories);
        return ExitDone;
    }

    if (!deviceExists && !OpenDevice(device, true, failure))
        return failure->exit;
    if (ProgramRuns())
        return Fail(failure, ExitStoreFailed,
                    "zentally runs on " + device + ": end it before importing");
    if (WriteImport(file, categories, failure) != ExitDone)
        return failure->exit;
    std::string added = "imported " + Plural(file.records.size(), "record", "records");
    if (!categories.added.empty()) {
        added += " and " + Plural(categories.added.size(), "new category", "new categories") + ":";
        for (const std::u16string& name : categories.added)
            added += " " + QuotedForMessage(name);
    }
    std::fputs((added + "\n").c_str(), stdout);
    return ExitDone;
}
