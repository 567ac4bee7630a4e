// The verbs that change the store: databases, records and registry values.
#include "device/store_tool/store_tool.h"

#include "platform/handle.h"
#include "platform/store_batch.h"
#include "platform/windbase.h"
#include "platform/winreg.h"

namespace
{
const CEPROPID databaseOrder = 0x00000013;

// A decimal number of 32 bits, digits only.
bool ParseNumber(const std::string& text, DWORD* value)
{
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    if (number > 0xFFFFFFFF)
        return false;
    *value = static_cast<DWORD>(number);
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A property identifier: "0x" (or not) and one to eight hex digits.
bool ParsePropId(const std::string& text, CEPROPID* id)
{
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > 8)
        return false;
    DWORD value = 0;
    for (char c : digits) {
        int digit = HexDigit(c);
        if (digit < 0)
            return false;
        value = value << 4 | static_cast<DWORD>(digit);
    }
    *id = value;
    return true;
}

bool ParseHexBytes(const std::string& text, std::vector<BYTE>* bytes)
{
    if (text.size() % 2)
        return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = HexDigit(text[i]);
        int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes->push_back(static_cast<BYTE>(high << 4 | low));
    }
    return true;
}

// A database name as the store takes it: 1 to 31 characters of valid text.
bool ParseDatabaseName(const std::string& argument, std::u16string* name, ToolFailure* failure)
{
    if (!ArgumentText(argument, name) || name->empty() || name->size() >= CEDB_MAXDBASENAMELEN) {
        Fail(failure, ExitBadArguments,
             "a database name is 1 to " + std::to_string(CEDB_MAXDBASENAMELEN - 1) +
                 " characters of UTF-8 text, not \"" + argument + "\"");
        return false;
    }
    return true;
}

// A key path below HKEY_LOCAL_MACHINE: names of 1 to 255 characters separated by '\'.
bool ParseKeyPath(const std::string& argument, std::u16string* path, ToolFailure* failure)
{
    bool valid = ArgumentText(argument, path) && !path->empty();
    size_t name = 0;
    for (size_t i = 0; valid && i <= path->size(); ++i) {
        if (i == path->size() || (*path)[i] == u'\\') {
            valid = name >= 1 && name <= 255;
            name = 0;
        } else {
            ++name;
        }
    }
    if (!valid)
        Fail(failure, ExitBadArguments,
             "a key is a path of names separated by \\ below HKEY_LOCAL_MACHINE, not \"" +
                 argument + "\"");
    return valid;
}

int StoreFailed(ToolFailure* failure, const std::string& what, DWORD error)
{
    return Fail(failure, ExitStoreFailed, "cannot " + what + ": " + StoreProblem(error));
}

// A property of put-record with the text it owns.
struct NewProperty {
    CEPROPID id;
    DWORD number;
    std::u16string text;
};

bool ParseProperty(const std::string& argument, std::vector<NewProperty>* props,
                   ToolFailure* failure)
{
    size_t equals = argument.find('=');
    if (equals == std::string::npos) {
        Fail(failure, ExitBadArguments, "expected ID=VALUE, not \"" + argument + "\"");
        return false;
    }
    std::string idText = argument.substr(0, equals);
    std::string value = argument.substr(equals + 1);
    NewProperty prop = {0, 0, u""};
    if (!ParsePropId(idText, &prop.id)) {
        Fail(failure, ExitBadArguments, "\"" + idText + "\" is not a property id in hex");
        return false;
    }
    for (const NewProperty& earlier : *props) {
        if (earlier.id == prop.id) {
            Fail(failure, ExitBadArguments, "property " + HexId(prop.id) + " is given twice");
            return false;
        }
    }
    WORD type = TypeFromPropID(prop.id);
    if (type == CEVT_UI4) {
        if (!ParseNumber(value, &prop.number)) {
            Fail(failure, ExitBadArguments,
                 "property " + HexId(prop.id) + " takes a number from 0 to 4294967295, not \"" +
                     value + "\"");
            return false;
        }
    } else if (type == CEVT_LPWSTR) {
        if (!ArgumentText(value, &prop.text)) {
            Fail(failure, ExitBadArguments,
                 "the text of property " + HexId(prop.id) + " is not valid UTF-8");
            return false;
        }
    } else {
        Fail(failure, ExitBadArguments,
             "property " + HexId(prop.id) +
                 " is of a type put-record does not write: the low word must be 0x0013 (number) "
                 "or 0x001F (text)");
        return false;
    }
    props->push_back(prop);
    return true;
}

// Opens the database the person named, for a verb that needs it to exist; INVALID_HANDLE_VALUE,
// with the reason in *failure, when it does not or cannot be opened. `hint` follows the reason
// that there is no such database.
HANDLE OpenNamedDatabase(const std::string& typed, std::u16string& name, CEOID* oid,
                         const std::string& hint, ToolFailure* failure)
{
    *oid = 0;
    HANDLE db = CeOpenDatabase(oid, name.data(), 0, 0, nullptr);
    if (db != INVALID_HANDLE_VALUE)
        return db;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND)
        Fail(failure, ExitStoreFailed, "there is no database named \"" + typed + "\"" + hint);
    else
        StoreFailed(failure, "open database \"" + typed + "\"", error);
    return INVALID_HANDLE_VALUE;
}

// The one database NAME of `verb`'s arguments; false with the reason in *failure.
bool OnlyDatabaseName(const char* verb, const std::vector<std::string>& args, std::u16string* name,
                      ToolFailure* failure)
{
    if (args.size() != 1) {
        Fail(failure, ExitBadArguments, std::string(verb) + " takes one NAME");
        return false;
    }
    return ParseDatabaseName(args[0], name, failure);
}
} // namespace

int CreateDatabase(const std::string& device, const std::vector<std::string>& args,
                   ToolFailure* failure)
{
    std::u16string name;
    if (!OnlyDatabaseName("create-database", args, &name, failure))
        return failure->exit;
    if (!OpenDevice(device, true, failure))
        return failure->exit;
    SORTORDERSPEC order = {databaseOrder, 0};
    if (!CeCreateDatabase(name.data(), 0, 1, &order)) {
        DWORD error = GetLastError();
        if (error == ERROR_DUP_NAME)
            return Fail(failure, ExitStoreFailed,
                        "a database named \"" + args[0] + "\" exists already");
        return StoreFailed(failure, "create database \"" + args[0] + "\"", error);
    }
    return ExitDone;
}

int DeleteDatabase(const std::string& device, const std::vector<std::string>& args,
                   ToolFailure* failure)
{
    std::u16string name;
    if (!OnlyDatabaseName("delete-database", args, &name, failure))
        return failure->exit;
    if (!OpenDevice(device, true, failure))
        return failure->exit;
    CEOID oid;
    HANDLE db = OpenNamedDatabase(args[0], name, &oid, "", failure);
    if (db == INVALID_HANDLE_VALUE)
        return failure->exit;
    CloseHandle(db);
    if (!CeDeleteDatabase(oid))
        return StoreFailed(failure, "delete database \"" + args[0] + "\"", GetLastError());
    return ExitDone;
}

int PutRecord(const std::string& device, const std::vector<std::string>& args, ToolFailure* failure)
{
    std::u16string name;
    if (args.size() < 2)
        return Fail(failure, ExitBadArguments, "put-record takes a NAME and one ID=VALUE or more");
    if (!ParseDatabaseName(args[0], &name, failure))
        return failure->exit;
    std::vector<NewProperty> props;
    for (size_t i = 1; i < args.size(); ++i) {
        if (!ParseProperty(args[i], &props, failure))
            return failure->exit;
    }
    if (props.size() > 0xFFFF)
        return Fail(failure, ExitBadArguments, "a record holds at most 65535 properties");
    // A record goes only into a database that exists, so no database is made for a mistyped
    // name.
    if (!OpenDevice(device, true, failure))
        return failure->exit;
    CEOID oid;
    HANDLE db = OpenNamedDatabase(args[0], name, &oid, " (create-database makes one)", failure);
    if (db == INVALID_HANDLE_VALUE)
        return failure->exit;
    std::vector<CEPROPVAL> values(props.size());
    for (size_t i = 0; i < props.size(); ++i) {
        values[i] = CEPROPVAL{};
        values[i].propid = props[i].id;
        if (TypeFromPropID(props[i].id) == CEVT_UI4)
            values[i].val.ulVal = props[i].number;
        else
            values[i].val.lpwstr = props[i].text.data();
    }
    CEOID record = CeWriteRecordProps(db, 0, static_cast<WORD>(values.size()), values.data());
    DWORD error = GetLastError();
    CloseHandle(db);
    if (!record)
        return StoreFailed(failure, "write the record", error);
    return ExitDone;
}

int SetValue(const std::string& device, const std::vector<std::string>& args, ToolFailure* failure)
{
    if (args.size() != 4)
        return Fail(failure, ExitBadArguments,
                    "set-value takes KEY NAME and dword N, binary HEX or string TEXT");
    std::u16string path, name;
    if (!ParseKeyPath(args[0], &path, failure))
        return failure->exit;
    if (!ArgumentText(args[1], &name) || name.size() > 16383)
        return Fail(failure, ExitBadArguments,
                    "a value name is up to 16383 characters of UTF-8 text");
    DWORD type;
    std::vector<BYTE> data;
    const std::string& kind = args[2];
    if (kind == "dword") {
        DWORD number;
        if (!ParseNumber(args[3], &number))
            return Fail(failure, ExitBadArguments,
                        "a dword is a number from 0 to 4294967295, not \"" + args[3] + "\"");
        type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8)
            data.push_back(static_cast<BYTE>(number >> shift));
    } else if (kind == "binary") {
        if (!ParseHexBytes(args[3], &data))
            return Fail(failure, ExitBadArguments,
                        "binary data is pairs of hex digits, not \"" + args[3] + "\"");
        type = REG_BINARY;
    } else if (kind == "string") {
        std::u16string text;
        if (!ArgumentText(args[3], &text))
            return Fail(failure, ExitBadArguments, "the string is not valid UTF-8");
        type = REG_SZ;
        for (char16_t c : text + u'\0') {
            data.push_back(static_cast<BYTE>(c & 0xFF));
            data.push_back(static_cast<BYTE>(c >> 8));
        }
    } else {
        return Fail(failure, ExitBadArguments,
                    "the type is dword, binary or string, not \"" + kind + "\"");
    }
    if (!OpenDevice(device, true, failure))
        return failure->exit;
    // The key is made only together with its value.
    if (!BeginStoreBatch()) {
        DWORD error = GetLastError();
        EndStoreBatch(FALSE);
        return StoreFailed(failure, "set the value", error);
    }
    HKEY key;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExW(key, name.c_str(), 0, type, data.data(),
                                static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    if (result != ERROR_SUCCESS) {
        EndStoreBatch(FALSE);
        return StoreFailed(failure, "set the value", static_cast<DWORD>(result));
    }
    if (!EndStoreBatch(TRUE))
        return StoreFailed(failure, "set the value", GetLastError());
    return ExitDone;
}

int DeleteKey(const std::string& device, const std::vector<std::string>& args, ToolFailure* failure)
{
    std::u16string path;
    if (args.size() != 1)
        return Fail(failure, ExitBadArguments, "delete-key takes one KEY");
    if (!ParseKeyPath(args[0], &path, failure))
        return failure->exit;
    if (!OpenDevice(device, true, failure))
        return failure->exit;
    LONG result = RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
    if (result == ERROR_FILE_NOT_FOUND)
        return Fail(failure, ExitStoreFailed, "there is no key HKEY_LOCAL_MACHINE\\" + args[0]);
    if (result != ERROR_SUCCESS)
        return StoreFailed(failure, "delete the key", static_cast<DWORD>(result));
    return ExitDone;
}
