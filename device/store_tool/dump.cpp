// dump: the whole store as one JSON object, read through the platform's own operations.
#include "device/store_tool/store_tool.h"

#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/windbase.h"
#include "platform/winreg.h"

#include <cmath>
#include <cstdio>

namespace
{
// A failure while dumping: the store's error code.
struct DumpError {
    DWORD error;
};

void AppendNumber(std::string* out, const char* format, double value)
{
    char text[40];
    std::snprintf(text, sizeof(text), format, value);
    *out += text;
}

void AppendProperty(std::string* out, const CEPROPVAL& prop)
{
    *out += "[\"" + HexId(prop.propid) + "\", ";
    const CEVALUNION& v = prop.val;
    switch (TypeFromPropID(prop.propid)) {
    case CEVT_I2: *out += std::to_string(v.iVal); break;
    case CEVT_UI2: *out += std::to_string(v.uiVal); break;
    case CEVT_I4: *out += std::to_string(v.lVal); break;
    case CEVT_UI4: *out += std::to_string(v.ulVal); break;
    case CEVT_BOOL: *out += v.boolVal ? "true" : "false"; break;
    case CEVT_FILETIME:
        *out +=
            std::to_string(uint64_t(v.filetime.dwHighDateTime) << 32 | v.filetime.dwLowDateTime);
        break;
    case CEVT_R8:
        // JSON has no infinities or NaN; they are written as texts.
        if (std::isfinite(v.dblVal))
            AppendNumber(out, "%.17g", v.dblVal);
        else
            *out += std::isnan(v.dblVal) ? "\"NaN\""
                    : v.dblVal > 0       ? "\"Infinity\""
                                         : "\"-Infinity\"";
        break;
    case CEVT_LPWSTR: {
        size_t length = 0;
        while (v.lpwstr[length])
            ++length;
        AppendJsonText(out, v.lpwstr, length);
        break;
    }
    case CEVT_BLOB:
        out->push_back('"');
        AppendHex(out, v.blob.lpb, v.blob.dwCount);
        out->push_back('"');
        break;
    default: *out += "null"; break;
    }
    out->push_back(']');
}

// The records of a database in sort order, as the JSON array's items.
void AppendRecords(std::string* out, CEOID database, CEPROPID sortProp)
{
    CEOID oid = database;
    HANDLE db = CeOpenDatabase(&oid, nullptr, sortProp, CEDB_AUTOINCREMENT, nullptr);
    if (db == INVALID_HANDLE_VALUE)
        throw DumpError{GetLastError()};
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    DWORD error = ERROR_SUCCESS;
    bool first = true;
    for (;;) {
        WORD count = 0;
        CEOID record = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size);
        if (!record) {
            error = GetLastError();
            break;
        }
        *out += first ? "" : ", ";
        first = false;
        *out += "{\"oid\": \"" + HexId(record) + "\", \"props\": [";
        const CEPROPVAL* props = reinterpret_cast<const CEPROPVAL*>(buffer);
        for (WORD i = 0; i < count; ++i) {
            *out += i ? ", " : "";
            AppendProperty(out, props[i]);
        }
        *out += "]}";
    }
    LocalFree(buffer);
    CloseHandle(db);
    if (error != ERROR_NO_MORE_ITEMS)
        throw DumpError{error};
}

void AppendDatabases(std::string* out)
{
    HANDLE search = CeFindFirstDatabase(0);
    if (search == INVALID_HANDLE_VALUE)
        throw DumpError{GetLastError()};
    bool first = true;
    DWORD error = ERROR_NO_MORE_ITEMS;
    try {
        while (CEOID oid = CeFindNextDatabase(search)) {
            CEOIDINFO info;
            if (!CeOidGetInfo(oid, &info))
                throw DumpError{GetLastError()};
            const CEDBASEINFO& db = info.infDatabase;
            size_t length = 0;
            while (db.szDbaseName[length])
                ++length;
            *out += first ? "" : ", ";
            first = false;
            *out += "{\"name\": ";
            AppendJsonText(out, db.szDbaseName, length);
            *out += ", \"type\": " + std::to_string(db.dwDbaseType) + ", \"sort\": [";
            for (WORD i = 0; i < db.wNumSortOrder; ++i)
                *out += (i ? ", \"" : "\"") + HexId(db.rgSortSpecs[i].propid) + "\"";
            *out += "], \"records\": [";
            AppendRecords(out, oid, db.wNumSortOrder ? db.rgSortSpecs[0].propid : 0);
            *out += "]}";
        }
        error = GetLastError();
    } catch (...) {
        CloseHandle(search);
        throw;
    }
    CloseHandle(search);
    if (error != ERROR_NO_MORE_ITEMS)
        throw DumpError{error};
}

void Check(LONG result)
{
    if (result != ERROR_SUCCESS)
        throw DumpError{static_cast<DWORD>(result)};
}

// A value as {"name", "type", "value"}: a dword of four bytes as a number, a string that ends
// in its terminator as a text, a binary value as hex; any other as its type number with hex.
void AppendValue(std::string* out, const std::u16string& name, DWORD type,
                 const std::vector<BYTE>& data)
{
    *out += "{\"name\": ";
    AppendJsonText(out, name.data(), name.size());
    if (type == REG_DWORD && data.size() == 4) {
        DWORD value =
            DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
        *out += ", \"type\": \"dword\", \"value\": " + std::to_string(value) + "}";
        return;
    }
    size_t units = data.size() / 2;
    if (type == REG_SZ && data.size() % 2 == 0 && units > 0 && !data[data.size() - 1] &&
        !data[data.size() - 2]) {
        std::u16string text;
        for (size_t i = 0; i + 1 < units; ++i)
            text.push_back(static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8));
        *out += ", \"type\": \"string\", \"value\": ";
        AppendJsonText(out, text.data(), text.size());
        *out += "}";
        return;
    }
    *out += type == REG_BINARY ? ", \"type\": \"binary\"" : ", \"type\": " + std::to_string(type);
    *out += ", \"value\": \"";
    AppendHex(out, data.data(), data.size());
    *out += "\"}";
}

// A key, then the keys below it, each listed when it holds values or has no subkeys (keys that
// only lead to others show in their paths).
void AppendKey(std::string* out, bool* first, HKEY key, const std::u16string& path)
{
    std::string values;
    // On the heap: keys nest as deep as their paths go.
    std::vector<WCHAR> buffer(16384);
    LPWSTR name = buffer.data();
    for (DWORD i = 0;; ++i) {
        DWORD length = 16384, type = 0, size = 0;
        LONG result = RegEnumValueW(key, i, name, &length, nullptr, &type, nullptr, &size);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        Check(result);
        std::vector<BYTE> data(size);
        length = 16384;
        Check(RegEnumValueW(key, i, name, &length, nullptr, &type, data.data(), &size));
        data.resize(size);
        values += i ? ", " : "";
        AppendValue(&values, std::u16string(name, length), type, data);
    }
    std::vector<std::u16string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        LONG result = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        Check(result);
        subkeys.push_back(std::u16string(name, length));
    }
    if (!values.empty() || (subkeys.empty() && !path.empty())) {
        *out += *first ? "{\"key\": " : ", {\"key\": ";
        *first = false;
        AppendJsonText(out, path.data(), path.size());
        *out += ", \"values\": [" + values + "]}";
    }
    for (const std::u16string& subkey : subkeys) {
        HKEY child;
        Check(RegOpenKeyExW(key, subkey.c_str(), 0, KEY_READ, &child));
        try {
            AppendKey(out, first, child, path.empty() ? subkey : path + u"\\" + subkey);
        } catch (...) {
            RegCloseKey(child);
            throw;
        }
        RegCloseKey(child);
    }
}
} // namespace

int DumpStore(const std::string& device, const std::vector<std::string>& args, ToolFailure* failure)
{
    if (!args.empty())
        return Fail(failure, ExitBadArguments, "dump takes no arguments");
    if (!OpenDevice(device, false, failure))
        return failure->exit;
    // The whole dump is made before any of it is printed, so a failure prints no half.
    std::string out = "{\"databases\": [";
    try {
        AppendDatabases(&out);
        out += "], \"registry\": [";
        bool first = true;
        AppendKey(&out, &first, HKEY_LOCAL_MACHINE, u"");
        out += "]}\n";
    } catch (const DumpError& failed) {
        return Fail(failure, ExitStoreFailed,
                    "cannot dump " + device + ": " + StoreProblem(failed.error));
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return Fail(failure, ExitStoreFailed, "cannot write the dump to standard output");
    return ExitDone;
}
