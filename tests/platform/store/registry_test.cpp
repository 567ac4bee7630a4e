#include "platform/winreg.h"
#include "tests/platform/store/store_fixture.h"

#include <cstring>

namespace
{
struct RegistryTest : StoreTest {
    HKEY Create(LPCWSTR path, DWORD* disposition = nullptr)
    {
        HKEY key = nullptr;
        DWORD ignored;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, &key,
                                  disposition ? disposition : &ignored),
                  ERROR_SUCCESS);
        return key;
    }
    LONG OpenKey(LPCWSTR path, HKEY* key)
    {
        return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, key);
    }
    LONG SetDword(HKEY key, LPCWSTR name, DWORD value)
    {
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                              sizeof(value));
    }
    std::vector<std::u16string> Subkeys(HKEY key)
    {
        std::vector<std::u16string> names;
        WCHAR name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            LONG result = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (result != ERROR_SUCCESS) {
                EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
                return names;
            }
            names.push_back(std::u16string(name, length));
        }
    }
};
} // namespace

TEST_F(RegistryTest, CreatingAKeyCreatesTheKeysAboveItAndSaysWhatItDid)
{
    DWORD disposition = 0;
    HKEY settings = Create(u"Software\\Ulmra\\Zentally\\Settings", &disposition);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    ASSERT_EQ(RegCloseKey(settings), ERROR_SUCCESS);

    HKEY key;
    for (LPCWSTR path : {u"Software", u"Software\\Ulmra", u"Software\\Ulmra\\Zentally"}) {
        EXPECT_EQ(OpenKey(path, &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    HKEY again = Create(u"Software\\Ulmra\\Zentally", &disposition);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    HKEY child = nullptr;
    DWORD childDisposition;
    EXPECT_EQ(
        RegCreateKeyExW(again, u"Settings", 0, nullptr, 0, 0, nullptr, &child, &childDisposition),
        ERROR_SUCCESS);
    EXPECT_EQ(childDisposition, DWORD(REG_OPENED_EXISTING_KEY));
    RegCloseKey(child);
    RegCloseKey(again);
}

TEST_F(RegistryTest, AMissingKeyDoesNotOpenAndIsNotCreatedByOpening)
{
    HKEY key = nullptr;
    EXPECT_EQ(OpenKey(u"Software\\Ulmra\\Zentally", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(OpenKey(u"Software", &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, KeyAndValueNamesMatchWhateverTheirCase)
{
    HKEY key = Create(u"Software\\\u00c4pfel");
    ASSERT_EQ(SetDword(key, u"SortOrder", 2), ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_EQ(OpenKey(u"SOFTWARE\\\u00e4PFEL", &key), ERROR_SUCCESS);
    DWORD type = 0, data = 0, size = sizeof(data);
    EXPECT_EQ(
        RegQueryValueExW(key, u"sortorder", nullptr, &type, reinterpret_cast<LPBYTE>(&data), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(data, 2u);
    // Writing under another case replaces the value and keeps its first name.
    ASSERT_EQ(SetDword(key, u"SORTORDER", 1), ERROR_SUCCESS);
    WCHAR name[32];
    DWORD length = 32;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &length, nullptr, &type, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name, length), u"SortOrder");
    EXPECT_EQ(RegEnumValueW(key, 1, name, &length, nullptr, &type, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
    EXPECT_EQ(Subkeys(HKEY_LOCAL_MACHINE), std::vector<std::u16string>{u"Software"});
}

TEST_F(RegistryTest, QueriesGiveTheStoredTypeAndSize)
{
    HKEY key = Create(u"Software\\Values");
    const BYTE bytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
    const WCHAR text[] = u"Job";
    ASSERT_EQ(SetDword(key, u"Number", 0x01020304), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, u"Binary", 0, REG_BINARY, bytes, sizeof(bytes)), ERROR_SUCCESS);
    ASSERT_EQ(
        RegSetValueExW(key, u"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text)),
        ERROR_SUCCESS);
    struct {
        LPCWSTR name;
        DWORD type;
        DWORD size;
    } cases[] = {
        {u"Number", REG_DWORD, 4},
        {u"Binary", REG_BINARY, 8},
        {u"Text", REG_SZ, 8},
    };
    for (const auto& c : cases) {
        DWORD type = 99, size = 0;
        EXPECT_EQ(RegQueryValueExW(key, c.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, c.size);
    }
    DWORD type, size = 4;
    BYTE small[4] = {9, 9, 9, 9};
    EXPECT_EQ(RegQueryValueExW(key, u"Binary", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(small[0], 9) << "a buffer too small is left as it was";
    BYTE whole[16];
    size = sizeof(whole);
    EXPECT_EQ(RegQueryValueExW(key, u"Binary", nullptr, &type, whole, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(std::memcmp(whole, bytes, 8), 0);
    EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, &type, whole, &size),
              ERROR_FILE_NOT_FOUND);

    // Rewriting a value replaces its type as well as its data.
    ASSERT_EQ(SetDword(key, u"Binary", 7), ERROR_SUCCESS);
    size = sizeof(whole);
    EXPECT_EQ(RegQueryValueExW(key, u"Binary", nullptr, &type, whole, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(size, 4u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeletingAKeyTakesEverythingBelowIt)
{
    HKEY deep = Create(u"Software\\Ulmra\\Zentally\\Settings");
    SetDword(deep, u"Sort", 0);
    HKEY kept = Create(u"Software\\Kept");
    SetDword(kept, u"Stays", 1);
    ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"software\\ULMRA"), ERROR_SUCCESS);

    HKEY key;
    EXPECT_EQ(OpenKey(u"Software\\Ulmra", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenKey(u"Software\\Ulmra\\Zentally\\Settings", &key), ERROR_FILE_NOT_FOUND);
    // A handle to a deleted key is refused, not followed.
    DWORD data, size = 4;
    EXPECT_EQ(
        RegQueryValueExW(deep, u"Sort", nullptr, nullptr, reinterpret_cast<LPBYTE>(&data), &size),
        ERROR_KEY_DELETED);
    EXPECT_EQ(SetDword(deep, u"Sort", 1), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(deep), ERROR_SUCCESS);
    // A key made again under that name starts empty.
    HKEY fresh = Create(u"Software\\Ulmra\\Zentally\\Settings");
    EXPECT_EQ(RegQueryValueExW(fresh, u"Sort", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(fresh);

    EXPECT_EQ(RegQueryValueExW(kept, u"Stays", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(kept, u"stays"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(kept, u"Stays"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(kept);
}

TEST_F(RegistryTest, SubkeysAndValuesAreListedByName)
{
    for (LPCWSTR path : {u"Software\\beta", u"Software\\Alpha", u"Software\\gamma\\deep"})
        RegCloseKey(Create(path));
    HKEY software;
    ASSERT_EQ(OpenKey(u"Software", &software), ERROR_SUCCESS);
    EXPECT_EQ(Subkeys(software), (std::vector<std::u16string>{u"Alpha", u"beta", u"gamma"}));

    SetDword(software, u"b", 2);
    SetDword(software, u"A", 1);
    WCHAR name[4];
    DWORD length = 4, type, data, size = 4;
    ASSERT_EQ(RegEnumValueW(software, 0, name, &length, nullptr, &type,
                            reinterpret_cast<LPBYTE>(&data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name, length), u"A");
    EXPECT_EQ(data, 1u);
    WCHAR tiny[1];
    length = 1;
    EXPECT_EQ(RegEnumValueW(software, 1, tiny, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(length, 1u) << "the length the name needs, without its terminator";
    RegCloseKey(software);
}

TEST_F(RegistryTest, BadRequestsAreRefusedAndChangeNothing)
{
    HKEY key = Create(u"Software\\Good");
    std::string before = FileBytes(StorePath());
    std::u16string longName(256, u'k');
    std::u16string longValue(16384, u'v');
    DWORD data = 1;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&data);
    HKEY result;
    DWORD reserved = 0;
    struct {
        const char* what;
        LONG got;
        LONG expected;
    } cases[] = {
        {"empty name in a path", OpenKey(u"Software\\\\Good", &result), ERROR_INVALID_PARAMETER},
        {"leading separator", OpenKey(u"\\Software", &result), ERROR_INVALID_PARAMETER},
        {"trailing separator", OpenKey(u"Software\\", &result), ERROR_INVALID_PARAMETER},
        {"name too long", OpenKey(longName.c_str(), &result), ERROR_INVALID_PARAMETER},
        {"half a surrogate pair", OpenKey(u"Soft\xDC00ware", &result), ERROR_INVALID_PARAMETER},
        {"no result", RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, 0, nullptr),
         ERROR_INVALID_PARAMETER},
        {"no path to create",
         RegCreateKeyExW(HKEY_LOCAL_MACHINE, nullptr, 0, nullptr, 0, 0, nullptr, &result, nullptr),
         ERROR_INVALID_PARAMETER},
        {"create with a bad path",
         RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"New\\\\Key", 0, nullptr, 0, 0, nullptr, &result,
                         nullptr),
         ERROR_INVALID_PARAMETER},
        {"another root", RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, 0, &result),
         ERROR_INVALID_HANDLE},
        {"not a key", RegSetValueExW(reinterpret_cast<HKEY>(0x4240), u"x", 0, REG_DWORD, bytes, 4),
         ERROR_INVALID_HANDLE},
        {"value name too long", RegSetValueExW(key, longValue.c_str(), 0, REG_DWORD, bytes, 4),
         ERROR_INVALID_PARAMETER},
        {"data missing", RegSetValueExW(key, u"x", 0, REG_BINARY, nullptr, 4),
         ERROR_INVALID_PARAMETER},
        {"reserved set", RegSetValueExW(key, u"x", 1, REG_DWORD, bytes, 4),
         ERROR_INVALID_PARAMETER},
        {"query reserved", RegQueryValueExW(key, u"x", &reserved, nullptr, nullptr, nullptr),
         ERROR_INVALID_PARAMETER},
        {"query data without size",
         RegQueryValueExW(key, u"x", nullptr, nullptr, reinterpret_cast<LPBYTE>(&data), nullptr),
         ERROR_INVALID_PARAMETER},
        {"delete the root itself", RegDeleteKeyW(HKEY_LOCAL_MACHINE, u""), ERROR_INVALID_PARAMETER},
        {"close what is not a key", RegCloseKey(reinterpret_cast<HKEY>(0x4240)),
         ERROR_INVALID_HANDLE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.what;
    EXPECT_EQ(FileBytes(StorePath()), before);
    RegCloseKey(key);
}

TEST_F(RegistryTest, ValuesSurviveClosingTheFolder)
{
    HKEY key = Create(u"Software\\Ulmra\\Zentally");
    ASSERT_EQ(SetDword(key, u"MajorVersion", 2), ERROR_SUCCESS);
    RegCloseKey(key);
    Reopen();
    ASSERT_EQ(OpenKey(u"Software\\Ulmra\\Zentally", &key), ERROR_SUCCESS);
    DWORD type, data = 0, size = 4;
    EXPECT_EQ(RegQueryValueExW(key, u"MajorVersion", nullptr, &type,
                               reinterpret_cast<LPBYTE>(&data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(data, 2u);
    RegCloseKey(key);
}
