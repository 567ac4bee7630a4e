#include "platform/winreg.h"
#include "tests/platform/store/store_fixture.h"

namespace
{
typedef StoreTest DatabasesTest;

std::u16string NameOf(CEOID oid)
{
    CEOIDINFO info;
    if (!CeOidGetInfo(oid, &info))
        return u"";
    return info.infDatabase.szDbaseName;
}

std::vector<std::u16string> ListedNames(DWORD type)
{
    std::vector<std::u16string> names;
    HANDLE search = CeFindFirstDatabase(type);
    EXPECT_NE(search, INVALID_HANDLE_VALUE);
    while (CEOID oid = CeFindNextDatabase(search))
        names.push_back(NameOf(oid));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_ITEMS));
    CloseHandle(search);
    return names;
}
} // namespace

TEST_F(DatabasesTest, ACreatedDatabaseOpensByNameAndByIdentifierAndDescribesItself)
{
    WCHAR name[] = u"Ulmra Zentally";
    SORTORDERSPEC order = {keyProp, 0};
    CEOID created = CeCreateDatabase(name, 7, 1, &order);
    ASSERT_NE(created, 0u);

    CEOID byName = 0;
    HANDLE first = CeOpenDatabase(&byName, name, keyProp, CEDB_AUTOINCREMENT, nullptr);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_EQ(byName, created);
    CEOID byOid = created;
    HANDLE second = CeOpenDatabase(&byOid, nullptr, 0, 0, nullptr);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_NE(first, second);

    CEOIDINFO info;
    ASSERT_TRUE(CeOidGetInfo(created, &info));
    EXPECT_EQ(info.wObjType, OBJTYPE_DATABASE);
    const CEDBASEINFO& db = info.infDatabase;
    EXPECT_EQ(std::u16string(db.szDbaseName), u"Ulmra Zentally");
    EXPECT_EQ(db.dwDbaseType, 7u);
    EXPECT_EQ(db.wNumRecords, 0u);
    EXPECT_EQ(db.wNumSortOrder, 1);
    EXPECT_EQ(db.rgSortSpecs[0].propid, keyProp);
    EXPECT_EQ(db.rgSortSpecs[0].dwFlags, 0u);
    EXPECT_EQ(db.dwFlags & CEDB_VALIDNAME, DWORD(CEDB_VALIDNAME));
    EXPECT_NE(db.ftLastModified.dwHighDateTime, 0u);

    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
}

TEST_F(DatabasesTest, TheRecordCountAndSizeFollowWritesAndDeletes)
{
    SORTORDERSPEC order = {keyProp, 0};
    CEOID oid = CeCreateDatabase(const_cast<LPWSTR>(u"Counted"), 0, 1, &order);
    HANDLE db = Open(u"Counted");
    ASSERT_TRUE(db);
    CEOID first = Write(db, {Number(keyProp, 1), Text(textProp, u"one")});
    CEOID second = Write(db, {Number(keyProp, 2)});
    ASSERT_TRUE(first && second);
    EXPECT_EQ(RecordCount(oid), 2u);
    CEOIDINFO info;
    ASSERT_TRUE(CeOidGetInfo(oid, &info));
    DWORD twoRecords = info.infDatabase.dwSize;
    EXPECT_GT(twoRecords, 0u);
    ASSERT_TRUE(CeDeleteRecord(db, first));
    EXPECT_EQ(RecordCount(oid), 1u);
    ASSERT_TRUE(CeOidGetInfo(oid, &info));
    EXPECT_LT(info.infDatabase.dwSize, twoRecords);

    ASSERT_TRUE(CeOidGetInfo(second, &info));
    EXPECT_EQ(info.wObjType, OBJTYPE_RECORD);
    EXPECT_EQ(info.infRecord.oidParent, oid);
    CloseHandle(db);
}

TEST_F(DatabasesTest, NamesAreTheSameWhateverTheirCase)
{
    WCHAR name[] = u"\u00c4rger Zentally";
    ASSERT_NE(CeCreateDatabase(name, 0, 0, nullptr), 0u);
    for (const char16_t* other : {u"\u00e4rger zentally", u"\u00c4RGER ZENTALLY"}) {
        CEOID oid = 0;
        HANDLE db = CeOpenDatabase(&oid, const_cast<LPWSTR>(other), 0, 0, nullptr);
        EXPECT_NE(db, INVALID_HANDLE_VALUE);
        CloseHandle(db);
        EXPECT_EQ(CeCreateDatabase(const_cast<LPWSTR>(other), 0, 0, nullptr), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_DUP_NAME));
    }
    EXPECT_EQ(ListedNames(0), std::vector<std::u16string>{u"\u00c4rger Zentally"});
}

TEST_F(DatabasesTest, OpeningAMissingDatabaseFailsAndLeavesTheIdentifier)
{
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, const_cast<LPWSTR>(u"Ulmra ZentallyCustom"), keyProp,
                               CEDB_AUTOINCREMENT, nullptr);
    EXPECT_EQ(db, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(oid, 0u);
}

TEST_F(DatabasesTest, BadCreationRequestsAreRefusedAndCreateNothing)
{
    SORTORDERSPEC blobOrder = {0x00000041, 0};
    SORTORDERSPEC unknownType = {0x00000007, 0};
    SORTORDERSPEC unknownFlags = {keyProp, 0x100};
    SORTORDERSPEC two[2] = {{keyProp, 0}, {numberProp, 0}};
    SORTORDERSPEC good = {keyProp, 0};
    struct {
        const char16_t* name;
        WORD count;
        SORTORDERSPEC* orders;
    } cases[] = {
        {nullptr, 1, &good},
        {u"", 1, &good},
        {u"abcdefghijklmnopqrstuvwxyz123456", 1, &good}, // 32 characters
        {u"half \xD800 pair", 1, &good},
        {u"Two orders", 2, two},
        {u"No orders", 1, nullptr},
        {u"Blob order", 1, &blobOrder},
        {u"Unknown type", 1, &unknownType},
        {u"Unknown flags", 1, &unknownFlags},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(CeCreateDatabase(const_cast<LPWSTR>(c.name), 0, c.count, c.orders), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_TRUE(ListedNames(0).empty());
    EXPECT_NE(CeCreateDatabase(const_cast<LPWSTR>(u"abcdefghijklmnopqrstuvwxyz12345"), 0, 1, &good),
              0u);
}

TEST_F(DatabasesTest, BadOpenRequestsAreRefused)
{
    HANDLE db = CreateAndOpen(u"Records");
    ASSERT_TRUE(db);
    CEOID record = Write(db, {Number(keyProp, 1)});
    CloseHandle(db);
    struct {
        CEOID oid;
        const char16_t* name;
        CEPROPID sortProp;
        DWORD flags;
    } cases[] = {
        {0, nullptr, 0, 0},             // neither name nor identifier
        {0, u"Records", numberProp, 0}, // not its sort property
        {0, u"Records", 0, 0x10},       // unknown flag
        {record, nullptr, 0, 0},        // a record, not a database
        {0xFFFFFF00, nullptr, 0, 0},    // nothing at all
    };
    for (const auto& c : cases) {
        CEOID oid = c.oid;
        EXPECT_EQ(CeOpenDatabase(&oid, const_cast<LPWSTR>(c.name), c.sortProp, c.flags, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(CeOpenDatabase(nullptr, const_cast<LPWSTR>(u"Records"), 0, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST_F(DatabasesTest, DeletingADatabaseTakesItsRecordsWithIt)
{
    HANDLE db = CreateAndOpen(u"Doomed");
    ASSERT_TRUE(db);
    CEOID record = Write(db, {Number(keyProp, 4), Text(textProp, u"gone")});
    ASSERT_TRUE(record);
    CEOID oid = 0;
    CloseHandle(db);
    db = CeOpenDatabase(&oid, const_cast<LPWSTR>(u"Doomed"), 0, 0, nullptr);
    CloseHandle(db);
    ASSERT_TRUE(CeDeleteDatabase(oid));

    CEOIDINFO info;
    EXPECT_FALSE(CeOidGetInfo(oid, &info));
    EXPECT_FALSE(CeOidGetInfo(record, &info));
    EXPECT_FALSE(CeDeleteDatabase(oid));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    db = CreateAndOpen(u"Doomed");
    ASSERT_TRUE(db);
    EXPECT_TRUE(ReadAll(db).empty());
    CloseHandle(db);
}

TEST_F(DatabasesTest, ADatabaseHeldOpenCannotBeDeleted)
{
    HANDLE db = CreateAndOpen(u"Held");
    ASSERT_TRUE(db);
    CEOID oid = 0;
    HANDLE again = CeOpenDatabase(&oid, const_cast<LPWSTR>(u"Held"), 0, 0, nullptr);
    EXPECT_FALSE(CeDeleteDatabase(oid));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    CloseHandle(db);
    EXPECT_FALSE(CeDeleteDatabase(oid));
    CloseHandle(again);
    EXPECT_TRUE(CeDeleteDatabase(oid));
}

TEST_F(DatabasesTest, DatabasesAreListedByNameAndType)
{
    SORTORDERSPEC order = {keyProp, 0};
    for (const char16_t* name : {u"beta", u"Alpha", u"gamma"})
        ASSERT_TRUE(CeCreateDatabase(const_cast<LPWSTR>(name), name[0] == u'g' ? 5 : 0, 1, &order));
    EXPECT_EQ(ListedNames(0), (std::vector<std::u16string>{u"Alpha", u"beta", u"gamma"}));
    EXPECT_EQ(ListedNames(5), std::vector<std::u16string>{u"gamma"});
}

TEST_F(DatabasesTest, EverythingWrittenIsThereAfterTheFolderIsOpenedAgain)
{
    HANDLE db = CreateAndOpen(u"Kept");
    ASSERT_TRUE(db);
    Write(db, {Number(keyProp, 2), Text(textProp, u"second")});
    Write(db, {Number(keyProp, 1), Text(textProp, u"first")});
    CloseHandle(db);
    Reopen();
    db = Open(u"Kept");
    ASSERT_TRUE(db);
    EXPECT_EQ(ReadAll(db), (std::vector<std::string>{"0x00000013=1 0x0002001F='first'",
                                                     "0x00000013=2 0x0002001F='second'"}));
    CloseHandle(db);
}

TEST_F(DatabasesTest, IdentifiersAreNeverGivenTwice)
{
    HANDLE db = CreateAndOpen(u"Ids");
    ASSERT_TRUE(db);
    CEOID first = Write(db, {Number(keyProp, 1)});
    ASSERT_TRUE(CeDeleteRecord(db, first));
    CEOID second = Write(db, {Number(keyProp, 1)});
    EXPECT_GT(second, first);
    CloseHandle(db);
    Reopen();
    db = Open(u"Ids");
    EXPECT_GT(Write(db, {Number(keyProp, 1)}), second);
    CloseHandle(db);
}

TEST(Handles, OnlyLiveHandlesOfTheRightKindClose)
{
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x12345678)));
    int closed = 0;
    HANDLE handle = NewHandle(HandleKind::RegistryKey, &closed,
                              [](void* object) { ++*static_cast<int*>(object); });
    EXPECT_FALSE(CloseHandle(handle));
    EXPECT_EQ(HandleObject(handle, HandleKind::Database), nullptr);
    EXPECT_EQ(HandleObject(handle, HandleKind::RegistryKey), &closed);
    EXPECT_TRUE(CloseHandleOfKind(handle, HandleKind::RegistryKey));
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(CloseHandleOfKind(handle, HandleKind::RegistryKey));
    EXPECT_EQ(closed, 1);
}

TEST_F(DatabasesTest, HandlesDoNotOutliveTheirDeviceFolder)
{
    HANDLE db = CreateAndOpen(u"Old");
    ASSERT_TRUE(db);
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, nullptr, 0, 0, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    Reopen();
    EXPECT_EQ(Write(db, {Number(keyProp, 1)}), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(db));
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}
