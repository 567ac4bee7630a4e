// The registry: keys in a tree under HKEY_LOCAL_MACHINE, values by name within a key.
#include "platform/winreg.h"

#include "platform/handle.h"
#include "platform/store/store_connection.h"
#include "platform/store/store_text.h"

#include <cstring>
#include <new>
#include <vector>

namespace
{
using namespace store;

// The row of HKEY_LOCAL_MACHINE, made with the store.
const int64_t machineKey = 1;
const size_t longestKeyName = 255;
const size_t longestValueName = 16383;
const DWORD largestValue = 1024 * 1024;

struct OpenKey {
    int64_t id;
};

void CloseKey(void* object)
{
    delete static_cast<OpenKey*>(object);
}

// The key a handle stands for, if it still exists.
LONG KeyOf(HKEY key, int64_t* id)
{
    if (key == HKEY_LOCAL_MACHINE) {
        *id = machineKey;
        return ERROR_SUCCESS;
    }
    OpenKey* open = static_cast<OpenKey*>(HandleObject(key, HandleKind::RegistryKey));
    if (!open)
        return ERROR_INVALID_HANDLE;
    Query query("SELECT 1 FROM registry_keys WHERE id = ?1");
    query.Bind(1, open->id);
    if (!query.Step())
        return query.error() ? query.error() : ERROR_KEY_DELETED;
    *id = open->id;
    return ERROR_SUCCESS;
}

// The names of a key path; none for a null or empty path.
LONG SplitPath(LPCWSTR path, std::vector<std::u16string>* names)
{
    if (!path || !*path)
        return ERROR_SUCCESS;
    std::u16string name;
    for (LPCWSTR c = path;; ++c) {
        if (*c == u'\\' || *c == 0) {
            if (name.empty() || name.size() > longestKeyName ||
                !IsWholeUtf16(name.data(), name.size()))
                return ERROR_INVALID_PARAMETER;
            names->push_back(name);
            name.clear();
            if (*c == 0)
                return ERROR_SUCCESS;
        } else {
            name.push_back(*c);
        }
    }
}

LONG ValueName(LPCWSTR name, std::u16string* out)
{
    out->assign(name ? name : u"");
    if (out->size() > longestValueName || !IsWholeUtf16(out->data(), out->size()))
        return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

std::string FoldedName(const std::u16string& name)
{
    return FoldedUtf8(name.data(), name.size());
}

LONG FindChild(int64_t parent, const std::u16string& name, int64_t* child)
{
    Query query("SELECT id FROM registry_keys WHERE parent = ?1 AND folded = ?2");
    query.Bind(1, parent);
    query.BindText(2, FoldedName(name));
    if (!query.Step())
        return query.error() ? query.error() : ERROR_FILE_NOT_FOUND;
    *child = query.Integer(0);
    return ERROR_SUCCESS;
}

LONG AddChild(int64_t parent, const std::u16string& name, int64_t* child)
{
    Query query("INSERT INTO registry_keys (parent, name, folded) VALUES (?1, ?2, ?3) "
                "RETURNING id");
    query.Bind(1, parent);
    query.BindText(2, ToUtf8(name.data(), name.size()));
    query.BindText(3, FoldedName(name));
    if (!query.Step())
        return query.error() ? query.error() : ERROR_DISK_CORRUPT;
    *child = query.Integer(0);
    return query.Run();
}

// Follows a path of existing keys from `id`.
LONG Walk(int64_t id, const std::vector<std::u16string>& names, int64_t* found)
{
    for (const std::u16string& name : names) {
        LONG error = FindChild(id, name, &id);
        if (error)
            return error;
    }
    *found = id;
    return ERROR_SUCCESS;
}

HKEY NewKeyHandle(int64_t id)
{
    OpenKey* open = new (std::nothrow) OpenKey{id};
    if (!open)
        return nullptr;
    HANDLE handle = NewHandle(HandleKind::RegistryKey, open, CloseKey);
    if (!handle)
        delete open;
    return static_cast<HKEY>(handle);
}

// Copies a name into a caller's buffer of *size characters with the terminator.
LONG GiveName(const std::u16string& name, LPWSTR buffer, LPDWORD size, bool tellNeeded)
{
    if (name.size() + 1 > *size) {
        if (tellNeeded)
            *size = static_cast<DWORD>(name.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.data(), name.size() * sizeof(WCHAR));
    buffer[name.size()] = 0;
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// Gives a value's type and bytes as RegQueryValueExW does.
LONG GiveValue(const Query& query, int typeColumn, LPDWORD type, LPBYTE data, LPDWORD size)
{
    DWORD bytes = static_cast<DWORD>(query.BlobSize(typeColumn + 1));
    if (type)
        *type = static_cast<DWORD>(query.Integer(typeColumn));
    if (data) {
        if (*size < bytes) {
            *size = bytes;
            return ERROR_MORE_DATA;
        }
        if (bytes)
            std::memcpy(data, query.BlobData(typeColumn + 1), bytes);
    }
    if (size)
        *size = bytes;
    return ERROR_SUCCESS;
}
} // namespace

LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult)
{
    (void)ulOptions;
    (void)samDesired;
    DWORD error;
    if (TakeFault(StoreOp::RegOpen, &error))
        return static_cast<LONG>(error);
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    std::vector<std::u16string> names;
    LONG result = SplitPath(lpSubKey, &names);
    if (result)
        return result;
    result = static_cast<LONG>(Ready());
    int64_t id = 0;
    if (!result)
        result = KeyOf(hKey, &id);
    if (!result)
        result = Walk(id, names, &id);
    if (result)
        return result;
    HKEY key = NewKeyHandle(id);
    if (!key)
        return ERROR_NOT_ENOUGH_MEMORY;
    *phkResult = key;
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition)
{
    (void)Reserved;
    (void)lpClass;
    (void)dwOptions;
    (void)samDesired;
    (void)lpSecurityAttributes;
    DWORD error;
    if (TakeFault(StoreOp::RegCreate, &error))
        return static_cast<LONG>(error);
    if (!lpSubKey || !phkResult)
        return ERROR_INVALID_PARAMETER;
    std::vector<std::u16string> names;
    LONG result = SplitPath(lpSubKey, &names);
    if (result)
        return result;
    Change change;
    if (change.error())
        return static_cast<LONG>(change.error());
    int64_t id = 0;
    result = KeyOf(hKey, &id);
    bool created = false;
    for (size_t i = 0; i < names.size() && !result; ++i) {
        result = FindChild(id, names[i], &id);
        if (result == ERROR_FILE_NOT_FOUND) {
            result = AddChild(id, names[i], &id);
            created = true;
        }
    }
    if (result)
        return result;
    HKEY key = NewKeyHandle(id);
    if (!key)
        return ERROR_NOT_ENOUGH_MEMORY;
    result = static_cast<LONG>(change.Commit());
    if (result) {
        RegCloseKey(key);
        return result;
    }
    *phkResult = key;
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData)
{
    DWORD error;
    if (TakeFault(StoreOp::RegQuery, &error))
        return static_cast<LONG>(error);
    std::u16string name;
    if (lpReserved || (lpData && !lpcbData) || ValueName(lpValueName, &name))
        return ERROR_INVALID_PARAMETER;
    LONG result = static_cast<LONG>(Ready());
    int64_t id = 0;
    if (!result)
        result = KeyOf(hKey, &id);
    if (result)
        return result;
    Query query("SELECT type, data FROM registry_values WHERE key = ?1 AND folded = ?2");
    query.Bind(1, id);
    query.BindText(2, FoldedName(name));
    if (!query.Step())
        return query.error() ? static_cast<LONG>(query.error()) : ERROR_FILE_NOT_FOUND;
    return GiveValue(query, 0, lpType, lpData, lpcbData);
}

LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                    const BYTE* lpData, DWORD cbData)
{
    DWORD error;
    if (TakeFault(StoreOp::RegSet, &error))
        return static_cast<LONG>(error);
    std::u16string name;
    if (Reserved || (cbData && !lpData) || cbData > largestValue || ValueName(lpValueName, &name))
        return ERROR_INVALID_PARAMETER;
    Change change;
    if (change.error())
        return static_cast<LONG>(change.error());
    int64_t id = 0;
    LONG result = KeyOf(hKey, &id);
    if (result)
        return result;
    // A value written again keeps the name it was first written with.
    Query query("INSERT INTO registry_values (key, name, folded, type, data) "
                "VALUES (?1, ?2, ?3, ?4, ?5) ON CONFLICT (key, folded) "
                "DO UPDATE SET type = excluded.type, data = excluded.data");
    query.Bind(1, id);
    query.BindText(2, ToUtf8(name.data(), name.size()));
    query.BindText(3, FoldedName(name));
    query.Bind(4, dwType);
    query.BindBlob(5, lpData, cbData);
    result = static_cast<LONG>(query.Run());
    if (!result)
        result = static_cast<LONG>(change.Commit());
    return result;
}

LONG RegCloseKey(HKEY hKey)
{
    if (hKey == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    return CloseHandleOfKind(hKey, HandleKind::RegistryKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey)
{
    DWORD error;
    if (TakeFault(StoreOp::RegDelete, &error))
        return static_cast<LONG>(error);
    std::vector<std::u16string> names;
    // The key the handle stands for is never deleted through it.
    if (!lpSubKey || !*lpSubKey || SplitPath(lpSubKey, &names))
        return ERROR_INVALID_PARAMETER;
    Change change;
    if (change.error())
        return static_cast<LONG>(change.error());
    int64_t id = 0;
    LONG result = KeyOf(hKey, &id);
    if (!result)
        result = Walk(id, names, &id);
    if (result)
        return result;
    {
        Query query("WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM "
                    "registry_keys k JOIN tree ON k.parent = tree.id) "
                    "DELETE FROM registry_values WHERE key IN tree");
        query.Bind(1, id);
        result = static_cast<LONG>(query.Run());
    }
    if (!result) {
        Query query("WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM "
                    "registry_keys k JOIN tree ON k.parent = tree.id) "
                    "DELETE FROM registry_keys WHERE id IN tree");
        query.Bind(1, id);
        result = static_cast<LONG>(query.Run());
    }
    if (!result)
        result = static_cast<LONG>(change.Commit());
    return result;
}

LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName)
{
    DWORD error;
    if (TakeFault(StoreOp::RegDelete, &error))
        return static_cast<LONG>(error);
    std::u16string name;
    if (ValueName(lpValueName, &name))
        return ERROR_INVALID_PARAMETER;
    Change change;
    if (change.error())
        return static_cast<LONG>(change.error());
    int64_t id = 0;
    LONG result = KeyOf(hKey, &id);
    if (result)
        return result;
    Query query("DELETE FROM registry_values WHERE key = ?1 AND folded = ?2 RETURNING 1");
    query.Bind(1, id);
    query.BindText(2, FoldedName(name));
    bool deleted = query.Step();
    result = static_cast<LONG>(query.Run());
    if (!result && !deleted)
        result = ERROR_FILE_NOT_FOUND;
    if (!result)
        result = static_cast<LONG>(change.Commit());
    return result;
}

LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPWSTR lpClass, LPDWORD lpcchClass, LPFILETIME lpftLastWriteTime)
{
    DWORD error;
    if (TakeFault(StoreOp::RegEnum, &error))
        return static_cast<LONG>(error);
    if (!lpName || !lpcchName || lpReserved)
        return ERROR_INVALID_PARAMETER;
    LONG result = static_cast<LONG>(Ready());
    int64_t id = 0;
    if (!result)
        result = KeyOf(hKey, &id);
    if (result)
        return result;
    Query query("SELECT name FROM registry_keys WHERE parent = ?1 ORDER BY folded, name "
                "LIMIT 1 OFFSET ?2");
    query.Bind(1, id);
    query.Bind(2, dwIndex);
    if (!query.Step())
        return query.error() ? static_cast<LONG>(query.error()) : ERROR_NO_MORE_ITEMS;
    result = GiveName(FromUtf8(query.Text(0)), lpName, lpcchName, false);
    if (result)
        return result;
    if (lpClass && lpcchClass && *lpcchClass) {
        lpClass[0] = 0;
        *lpcchClass = 0;
    }
    if (lpftLastWriteTime)
        *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    DWORD error;
    if (TakeFault(StoreOp::RegEnum, &error))
        return static_cast<LONG>(error);
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    LONG result = static_cast<LONG>(Ready());
    int64_t id = 0;
    if (!result)
        result = KeyOf(hKey, &id);
    if (result)
        return result;
    Query query("SELECT name, type, data FROM registry_values WHERE key = ?1 "
                "ORDER BY folded, name LIMIT 1 OFFSET ?2");
    query.Bind(1, id);
    query.Bind(2, dwIndex);
    if (!query.Step())
        return query.error() ? static_cast<LONG>(query.error()) : ERROR_NO_MORE_ITEMS;
    result = GiveName(FromUtf8(query.Text(0)), lpValueName, lpcchValueName, true);
    if (result)
        return result;
    return GiveValue(query, 1, lpType, lpData, lpcbData);
}
