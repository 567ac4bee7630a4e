// The registry, kept in the device's store.db beside the record databases.
//
// Keys live under HKEY_LOCAL_MACHINE, the one root this device has; paths separate their keys
// with '\'. Key and value names are compared without regard to case (full Unicode case
// folding) and keep the case they were created with. A key name holds 1 to 255 characters, a
// value name up to 16,383 (an empty or null name is the key's default value). Every change is
// committed before the call returns. All functions return ERROR_SUCCESS or an error code:
// ERROR_FILE_NOT_FOUND for a missing key or value, ERROR_INVALID_HANDLE, ERROR_KEY_DELETED for
// a key deleted while open, ERROR_INVALID_PARAMETER, or the store's failures as in windbase.h.
#pragma once

#include "platform/wintypes.h"

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002)
#define HKEY_USERS ((HKEY)(ULONG_PTR)0x80000003)

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7

typedef DWORD REGSAM;

// Access rights are accepted and not checked: the device has one user.
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_READ 0x00020019
#define KEY_WRITE 0x00020006
#define KEY_EXECUTE KEY_READ
#define KEY_ALL_ACCESS 0x000F003F

// Every key persists; a volatile key is kept like any other.
#define REG_OPTION_RESERVED 0x00000000
#define REG_OPTION_NON_VOLATILE 0x00000000
#define REG_OPTION_VOLATILE 0x00000001

#define REG_CREATED_NEW_KEY 0x00000001
#define REG_OPENED_EXISTING_KEY 0x00000002

// Declared only: the structure itself belongs to winbase.h, and the registry takes none.
struct _SECURITY_ATTRIBUTES;
typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// Opens an existing key; ERROR_FILE_NOT_FOUND when it is missing. A null or empty path opens
// `hKey` itself again.
LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                   PHKEY phkResult);

// Opens a key, creating it and any missing key above it; *lpdwDisposition (when not null)
// tells REG_CREATED_NEW_KEY from REG_OPENED_EXISTING_KEY.
LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);

// Reads a value: its stored type into *lpType, its bytes into lpData and their count into
// *lpcbData. With lpData null only the type and size are given. A value larger than *lpcbData
// returns ERROR_MORE_DATA with the size needed in *lpcbData and lpData untouched.
LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData);

// Writes a value of any type with these bytes (up to 1 MB), replacing one of the same name.
LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                    const BYTE* lpData, DWORD cbData);

LONG RegCloseKey(HKEY hKey);

// Deletes a key with its values and every key below it.
LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);

// The subkey (value) at `dwIndex`, counting from 0 in the order of their case-folded names;
// ERROR_NO_MORE_ITEMS past the last. Name buffers are sized in characters with the terminator;
// on success the length without it is stored back. A name too long for its buffer returns
// ERROR_MORE_DATA; RegEnumValueW then also gives the length needed. lpClass and
// lpftLastWriteTime, when given, receive an empty class and a zero time.
LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPWSTR lpClass, LPDWORD lpcchClass, LPFILETIME lpftLastWriteTime);
LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
