#include "tests/platform/store/store_fixture.h"

#include <cstdio>

namespace
{
std::string Utf8(const char16_t* text)
{
    std::string out;
    for (; *text; ++text) {
        char16_t c = *text;
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\u%04X", unsigned(c));
            out += hex;
        }
    }
    return out;
}
} // namespace

std::string Describe(const CEPROPVAL& prop)
{
    char id[16];
    std::snprintf(id, sizeof(id), "0x%08X", prop.propid);
    std::string out = id;
    if (prop.wFlags & CEDB_PROPNOTFOUND)
        return out + "=absent";
    switch (TypeFromPropID(prop.propid)) {
    case CEVT_I2: return out + "=" + std::to_string(prop.val.iVal);
    case CEVT_UI2: return out + "=" + std::to_string(prop.val.uiVal);
    case CEVT_I4: return out + "=" + std::to_string(prop.val.lVal);
    case CEVT_UI4: return out + "=" + std::to_string(prop.val.ulVal);
    case CEVT_BOOL: return out + "=" + std::to_string(prop.val.boolVal);
    case CEVT_R8: return out + "=" + std::to_string(prop.val.dblVal);
    case CEVT_FILETIME:
        return out + "=" + std::to_string(prop.val.filetime.dwHighDateTime) + ":" +
               std::to_string(prop.val.filetime.dwLowDateTime);
    case CEVT_LPWSTR: return out + "='" + Utf8(prop.val.lpwstr) + "'";
    case CEVT_BLOB: {
        out += "=[";
        for (DWORD i = 0; i < prop.val.blob.dwCount; ++i)
            out +=
                std::to_string(prop.val.blob.lpb[i]) + (i + 1 < prop.val.blob.dwCount ? "," : "");
        return out + "]";
    }
    default: return out + "=?";
    }
}

void StoreTest::SetUp()
{
    char pattern[] = "/tmp/zentally-store-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    folder = root + "/device";
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
}

void StoreTest::TearDown()
{
    ClearStoreFaults();
    SetStoreBusyTimeout(3000);
    CloseDeviceFolder();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void StoreTest::Reopen()
{
    CloseDeviceFolder();
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
}

HANDLE StoreTest::CreateAndOpen(const char16_t* name, CEPROPID sortProp, DWORD sortFlags,
                                DWORD openFlags)
{
    SORTORDERSPEC order = {sortProp, sortFlags};
    if (!CeCreateDatabase(const_cast<LPWSTR>(name), 0, sortProp ? 1 : 0, &order))
        return 0;
    return Open(name, openFlags);
}

HANDLE StoreTest::Open(const char16_t* name, DWORD openFlags)
{
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, const_cast<LPWSTR>(name), 0, openFlags, nullptr);
    return db == INVALID_HANDLE_VALUE ? 0 : db;
}

CEOID StoreTest::Write(HANDLE db, std::vector<CEPROPVAL> props)
{
    return CeWriteRecordProps(db, 0, static_cast<WORD>(props.size()), props.data());
}

std::string StoreTest::ReadOne(HANDLE db, CEOID* oid)
{
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    WORD count = 0;
    CEOID read = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size);
    if (oid)
        *oid = read;
    std::string out;
    if (read) {
        const CEPROPVAL* props = reinterpret_cast<const CEPROPVAL*>(buffer);
        for (WORD i = 0; i < count; ++i)
            out += (i ? " " : "") + Describe(props[i]);
    }
    LocalFree(buffer);
    return out;
}

std::vector<std::string> StoreTest::ReadRest(HANDLE db)
{
    std::vector<std::string> records;
    for (;;) {
        CEOID oid;
        std::string record = ReadOne(db, &oid);
        if (!oid)
            break;
        records.push_back(record);
    }
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_ITEMS));
    return records;
}

std::vector<std::string> StoreTest::ReadAll(HANDLE db)
{
    DWORD index;
    CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, &index);
    return ReadRest(db);
}

DWORD StoreTest::RecordCount(CEOID database)
{
    CEOIDINFO info;
    if (!CeOidGetInfo(database, &info))
        return ~DWORD(0);
    return info.infDatabase.wNumRecords;
}
