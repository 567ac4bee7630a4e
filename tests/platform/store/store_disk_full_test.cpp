// A disk that fills up in the middle of a commit, at every write the commit makes: the change
// fails with ERROR_DISK_FULL, the store is whole and holds what it held before, and once there
// is room again the store works on.
#include "platform/store_batch.h"
#include "platform/winreg.h"
#include "tests/platform/store/store_fixture.h"

#include <sqlite3.h>

#include <functional>

namespace
{
typedef std::vector<std::string> Records;

// What another connection finds in the file: SQLite's verdict on it, the records' identifiers
// and sizes, and the registry's values.
std::string FileSeenFromOutside(const std::string& path)
{
    sqlite3* db = nullptr;
    std::string seen = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        seen.clear();
        for (const char* sql :
             {"PRAGMA integrity_check",
              "SELECT group_concat(oid || ':' || length(props)) FROM "
              "(SELECT oid, props FROM records ORDER BY oid)",
              "SELECT group_concat(name || '=' || hex(data)) FROM registry_values"}) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
                seen += reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            else
                seen += sqlite3_errmsg(db);
            seen += "|";
            sqlite3_finalize(statement);
        }
    }
    sqlite3_close(db);
    return seen;
}

// A store with the database "Kept" of enough records to fill several pages, and the key
// Software\Kept with one value.
struct DiskFullTest : StoreTest {
    CEOID keptOid = 0;
    HANDLE db = 0;
    HKEY key = nullptr;
    std::u16string filler = std::u16string(300, u'f');

    void SetUp() override
    {
        StoreTest::SetUp();
        db = CreateAndOpen(u"Kept");
        ASSERT_TRUE(db);
        for (DWORD i = 1; i <= 40; ++i)
            ASSERT_TRUE(Write(db, {Number(keyProp, i * 10), Text(textProp, filler.c_str())}));
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kept", 0, nullptr, 0, 0, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        SetValue(u"Value", 5);
        CloseHandle(CeOpenDatabase(&keptOid, const_cast<LPWSTR>(u"Kept"), 0, 0, nullptr));
    }

    void TearDown() override
    {
        RegCloseKey(key);
        CloseHandle(db);
        StoreTest::TearDown();
    }

    LONG SetValue(const char16_t* name, DWORD value)
    {
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
    }

    // The records of Kept with their count, and the values of Software\Kept; empty when the
    // store cannot be read.
    Records Contents()
    {
        Records contents = ReadAll(db);
        // The filler, which would fill pages of the test's output, is named only.
        for (std::string& record : contents) {
            size_t at = record.find(std::string(filler.size(), 'f'));
            if (at != std::string::npos)
                record.replace(at, filler.size(), "filler");
        }
        contents.push_back("count=" + std::to_string(RecordCount(keptOid)));
        for (DWORD index = 0;; ++index) {
            WCHAR name[32];
            DWORD length = 32, type = 0, value = 0, size = 4;
            if (RegEnumValueW(key, index, name, &length, nullptr, &type,
                              reinterpret_cast<LPBYTE>(&value), &size) != ERROR_SUCCESS)
                break;
            contents.push_back(std::string(name, name + length) + "=" + std::to_string(value));
        }
        return contents;
    }
};

struct Operation {
    const char* what;
    // Makes the change; ERROR_SUCCESS, or the error the platform gave.
    std::function<DWORD(DiskFullTest&)> make;
};

DWORD ErrorOf(bool succeeded)
{
    return succeeded ? DWORD(ERROR_SUCCESS) : GetLastError();
}

} // namespace

TEST_F(DiskFullTest, AChangeTheDiskCannotHoldFailsAtEveryWriteAndLeavesTheStoreAsItWas)
{
    CEOID victim = 0;
    {
        DWORD index = 0;
        CEPROPVAL seek = Number(keyProp, 200);
        victim = CeSeekDatabase(db, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&seek),
                                &index);
        ASSERT_NE(victim, 0u);
    }
    const Operation operations[] = {
        {"a new record",
         [](DiskFullTest& t) {
             return ErrorOf(t.Write(t.db, {Number(keyProp, 205), Text(textProp, u"new")}));
         }},
        {"a record written over",
         [victim](DiskFullTest& t) {
             CEPROPVAL props[] = {Number(keyProp, 200), Text(textProp, t.filler.c_str()),
                                  Text(otherTextProp, u"more")};
             return ErrorOf(CeWriteRecordProps(t.db, victim, 3, props));
         }},
        {"a record deleted",
         [victim](DiskFullTest& t) { return ErrorOf(CeDeleteRecord(t.db, victim)); }},
        {"a batch of records",
         [](DiskFullTest& t) {
             if (!BeginStoreBatch())
                 return GetLastError();
             DWORD error = ERROR_SUCCESS;
             for (DWORD i = 1; i <= 30 && !error; ++i)
                 error = ErrorOf(
                     t.Write(t.db, {Number(keyProp, 1000 + i), Text(textProp, t.filler.c_str())}));
             BOOL committed = EndStoreBatch(!error);
             return error ? error : ErrorOf(committed);
         }},
        {"a registry value", [](DiskFullTest& t) { return DWORD(t.SetValue(u"Other", 6)); }},
    };
    for (const Operation& operation : operations) {
        SCOPED_TRACE(operation.what);
        const Records before = Contents();
        ASSERT_GT(before.size(), 40u);
        const std::string fileBefore = FileSeenFromOutside(StorePath());
        ASSERT_EQ(fileBefore.rfind("ok|", 0), 0u) << fileBefore;
        int writes = 0;
        for (;; ++writes) {
            SCOPED_TRACE(testing::Message() << writes << " writes reached the disk");
            FailStoreWritesAfter(writes);
            DWORD error = operation.make(*this);
            // While the disk is full, what is committed can still be read.
            if (error) {
                EXPECT_EQ(Contents(), before) << "read while the disk is full";
            }
            ClearStoreFaults();
            if (!error)
                break;
            EXPECT_EQ(error, DWORD(ERROR_DISK_FULL));
            EXPECT_EQ(Contents(), before);
            EXPECT_FALSE(std::filesystem::exists(StorePath() + "-journal"));
            EXPECT_EQ(FileSeenFromOutside(StorePath()), fileBefore);
            ASSERT_LT(writes, 200) << "the change never succeeds";
        }
        EXPECT_GT(writes, 2) << "a commit writes its journal, then the store";
        const Records after = Contents();
        EXPECT_NE(after, before);
        CloseHandle(db);
        RegCloseKey(key);
        Reopen();
        db = Open(u"Kept");
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kept", 0, 0, &key), ERROR_SUCCESS);
        EXPECT_EQ(Contents(), after);
        EXPECT_EQ(FileSeenFromOutside(StorePath()).rfind("ok|", 0), 0u);
    }
}
