// A store kept by the first version of the program, whose records lay in the order they were
// made with an index beside them, is brought to the current layout when opened: every record,
// its identifier and its place in order kept, or on failure the file left as it was.
#include "tests/platform/store/store_fixture.h"

#include <sqlite3.h>

namespace
{
// Turns the current store file back into the first version's layout, as that version left it.
const char* const firstLayout = R"(
ALTER TABLE records RENAME TO records_now;
CREATE TABLE records(
    oid INTEGER PRIMARY KEY,
    db INTEGER NOT NULL,
    rank INTEGER NOT NULL,
    sort_value NOT NULL,
    props BLOB NOT NULL);
CREATE INDEX records_in_order ON records(db, rank, sort_value, oid);
INSERT INTO records SELECT oid, db, rank, sort_value, props FROM records_now ORDER BY oid;
DROP TABLE records_now;
PRAGMA user_version = 1;
)";

int64_t UserVersion(sqlite3* db)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr);
    int64_t version =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    return version;
}

struct UpgradeTest : StoreTest {
    std::vector<CEOID> oids;

    // Two databases, one sorted by text descending: records written out of order, one lacking
    // the sort property, two with equal values.
    void SetUp() override
    {
        StoreTest::SetUp();
        HANDLE numbers = CreateAndOpen(u"Numbers");
        for (DWORD key : {30u, 10u, 20u, 10u})
            oids.push_back(Write(numbers, {Number(keyProp, key), Text(textProp, u"n")}));
        oids.push_back(Write(numbers, {Text(textProp, u"no key")}));
        CloseHandle(numbers);
        HANDLE names = CreateAndOpen(u"Names", textProp, CEDB_SORT_DESCENDING);
        for (const char16_t* name : {u"b", u"c", u"a"})
            oids.push_back(Write(names, {Text(textProp, name)}));
        CloseHandle(names);
    }

    std::vector<std::string> Everything()
    {
        std::vector<std::string> all;
        for (const char16_t* name : {u"Numbers", u"Names"}) {
            HANDLE db = Open(name);
            for (const std::string& record : ReadAll(db))
                all.push_back(record);
            CloseHandle(db);
        }
        return all;
    }

    void MakeFirstLayout()
    {
        CloseDeviceFolder();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(StorePath().c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, firstLayout, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    }
};
} // namespace

TEST_F(UpgradeTest, AFirstVersionStoreKeepsEveryRecordItsOrderAndItsIdentifiers)
{
    std::vector<std::string> before = Everything();
    ASSERT_EQ(before.size(), 8u);
    MakeFirstLayout();

    EXPECT_EQ(Everything(), before);
    HANDLE numbers = Open(u"Numbers");
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(CeSeekDatabase(numbers, CEDB_SEEK_CEOID, oids[i], nullptr), oids[i]) << i;
    // Identifiers already given are never given again.
    CEOID added = Write(numbers, {Number(keyProp, 15)});
    EXPECT_GT(added, oids.back());
    CloseHandle(numbers);

    sqlite3* db = nullptr;
    sqlite3_open(StorePath().c_str(), &db);
    EXPECT_EQ(UserVersion(db), 2);
    sqlite3_close(db);
    Reopen();
    std::vector<std::string> after = Everything();
    EXPECT_EQ(after.size(), 9u);
}

TEST_F(UpgradeTest, AStoreLockedByAnotherProgramIsLeftInItsFirstLayoutAndUpgradedLater)
{
    std::vector<std::string> before = Everything();
    MakeFirstLayout();
    CloseDeviceFolder();
    std::string bytes = FileBytes(StorePath());
    {
        SetStoreBusyTimeout(20);
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
        sqlite3* other = nullptr;
        sqlite3_open(StorePath().c_str(), &other);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        CEOID oid = 0;
        EXPECT_EQ(CeOpenDatabase(&oid, const_cast<LPWSTR>(u"Numbers"), 0, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        CloseDeviceFolder();
    }
    EXPECT_EQ(FileBytes(StorePath()), bytes);
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    EXPECT_EQ(Everything(), before);
}
