// Failures of the store are reported, and the store file is left exactly as it was.
#include "platform/store_batch.h"
#include "platform/winreg.h"
#include "tests/platform/store/store_fixture.h"

#include <sqlite3.h>

#include <functional>

namespace
{
typedef std::vector<std::string> Records;

// A store holding the database "Kept" with one record and the key Software\Kept with one value.
struct FailureTest : StoreTest {
    CEOID keptOid = 0;

    void SetUp() override
    {
        StoreTest::SetUp();
        HANDLE db = CreateAndOpen(u"Kept");
        ASSERT_TRUE(db);
        ASSERT_TRUE(Write(db, {Number(keyProp, 1), Text(textProp, u"kept")}));
        CloseHandle(db);
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kept", 0, nullptr, 0, 0, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        DWORD value = 5;
        ASSERT_EQ(RegSetValueExW(key, u"Value", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        HANDLE found = CeOpenDatabase(&keptOid, const_cast<LPWSTR>(u"Kept"), 0, 0, nullptr);
        CloseHandle(found);
    }

    // Whatever the store holds, read through the platform: empty when it cannot be read.
    Records Contents()
    {
        Records contents;
        HANDLE db = Open(u"Kept");
        if (db) {
            contents = ReadAll(db);
            CloseHandle(db);
        }
        HKEY key;
        DWORD value = 0, size = 4;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kept", 0, 0, &key) == ERROR_SUCCESS) {
            if (RegQueryValueExW(key, u"Value", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value),
                                 &size) == ERROR_SUCCESS)
                contents.push_back("Value=" + std::to_string(value));
            RegCloseKey(key);
        }
        return contents;
    }
};

const Records seeded = {"0x00000013=1 0x0002001F='kept'", "Value=5"};

// Another connection to the store file, as another program would hold it.
struct OtherProgram {
    sqlite3* db = nullptr;
    explicit OtherProgram(const std::string& path) { sqlite3_open(path.c_str(), &db); }
    ~OtherProgram() { sqlite3_close(db); }
    int Exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

// Runs a store operation and gives its error: ERROR_SUCCESS when it succeeded.
DWORD ErrorOf(bool succeeded)
{
    return succeeded ? DWORD(ERROR_SUCCESS) : GetLastError();
}
} // namespace

TEST_F(FailureTest, AnInjectedFailureFailsThatCallOnceAndChangesNothing)
{
    SORTORDERSPEC order = {keyProp, 0};
    ASSERT_TRUE(CeCreateDatabase(const_cast<LPWSTR>(u"Spare"), 0, 1, &order));
    HANDLE db = Open(u"Kept");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kept", 0, 0, &key), ERROR_SUCCESS);
    CEOID victim = Write(db, {Number(keyProp, 8)});
    std::vector<HANDLE> opened;
    std::vector<HKEY> keys;
    auto spareOid = [] {
        CEOID oid = 0;
        HANDLE spare = CeOpenDatabase(&oid, const_cast<LPWSTR>(u"Spare"), 0, 0, nullptr);
        CloseHandle(spare);
        return oid;
    };
    struct Case {
        StoreOp op;
        std::function<DWORD()> call;
    };
    const Case cases[] = {
        {StoreOp::CreateDatabase,
         [&] { return ErrorOf(CeCreateDatabase(const_cast<LPWSTR>(u"New"), 0, 1, &order)); }},
        {StoreOp::OpenDatabase,
         [&] {
             HANDLE h = Open(u"Kept");
             opened.push_back(h);
             return ErrorOf(h != 0);
         }},
        {StoreOp::DeleteDatabase, [&] { return ErrorOf(CeDeleteDatabase(spareOid())); }},
        {StoreOp::OidGetInfo,
         [&] {
             CEOIDINFO info;
             return ErrorOf(CeOidGetInfo(keptOid, &info));
         }},
        {StoreOp::Seek,
         [&] {
             DWORD index;
             return ErrorOf(CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, &index));
         }},
        {StoreOp::Read,
         [&] {
             CEOID oid;
             ReadOne(db, &oid);
             return ErrorOf(oid);
         }},
        {StoreOp::Write, [&] { return ErrorOf(Write(db, {Number(keyProp, 9)})); }},
        {StoreOp::DeleteRecord, [&] { return ErrorOf(CeDeleteRecord(db, victim)); }},
        {StoreOp::RegOpen,
         [&] {
             HKEY opened;
             LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, 0, &opened);
             if (result == ERROR_SUCCESS)
                 keys.push_back(opened);
             return DWORD(result);
         }},
        {StoreOp::RegCreate,
         [&] {
             HKEY created;
             LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\New", 0, nullptr, 0, 0,
                                           nullptr, &created, nullptr);
             if (result == ERROR_SUCCESS)
                 keys.push_back(created);
             return DWORD(result);
         }},
        {StoreOp::RegQuery,
         [&] {
             DWORD size = 0;
             return DWORD(RegQueryValueExW(key, u"Value", nullptr, nullptr, nullptr, &size));
         }},
        {StoreOp::RegSet,
         [&] {
             DWORD value = 6;
             return DWORD(
                 RegSetValueExW(key, u"Other", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4));
         }},
        {StoreOp::RegDelete,
         [&] { return DWORD(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\New")); }},
        {StoreOp::RegEnum,
         [&] {
             WCHAR name[64];
             DWORD length = 64;
             return DWORD(RegEnumValueW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
         }},
    };
    for (const Case& c : cases) {
        int op = static_cast<int>(c.op);
        FailStoreOperation(c.op, 1, ERROR_WRITE_FAULT);
        std::string before = FileBytes(StorePath());
        EXPECT_EQ(c.call(), DWORD(ERROR_WRITE_FAULT)) << "operation " << op;
        EXPECT_EQ(FileBytes(StorePath()), before) << "operation " << op;
        EXPECT_EQ(c.call(), DWORD(ERROR_SUCCESS)) << "operation " << op << " once more";
    }
    for (HANDLE h : opened)
        CloseHandle(h);
    for (HKEY k : keys)
        RegCloseKey(k);
    RegCloseKey(key);
    CloseHandle(db);
}

TEST_F(FailureTest, TheNthCallFailsAndOnlyThatOne)
{
    HANDLE db = Open(u"Kept");
    FailStoreOperation(StoreOp::Write, 2, ERROR_DISK_FULL);
    EXPECT_NE(Write(db, {Number(keyProp, 2)}), 0u);
    EXPECT_EQ(Write(db, {Number(keyProp, 3)}), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
    EXPECT_NE(Write(db, {Number(keyProp, 4)}), 0u);
    EXPECT_EQ(ReadAll(db).size(), 3u);
    CloseHandle(db);
}

TEST_F(FailureTest, ADamagedStoreIsReportedAndLeftAsItWas)
{
    HANDLE db = Open(u"Kept");
    std::u16string filler(500, u'f');
    for (DWORD i = 0; i < 100; ++i)
        ASSERT_TRUE(Write(db, {Number(keyProp, i), Text(textProp, filler.c_str())}));
    CloseHandle(db);
    CloseDeviceFolder();
    // Every page after the first, where SQLite keeps its header, is overwritten.
    std::string bytes = FileBytes(StorePath());
    ASSERT_GT(bytes.size(), 8192u);
    for (size_t i = 4096; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 37);
    WriteFileBytes(StorePath(), bytes);

    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    CEOID oid = 0;
    EXPECT_EQ(CeOpenDatabase(&oid, const_cast<LPWSTR>(u"Kept"), 0, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_CORRUPT));
    EXPECT_EQ(CeCreateDatabase(const_cast<LPWSTR>(u"New"), 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_CORRUPT));
    HKEY key;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\New", 0, nullptr, 0, 0, nullptr, &key,
                              nullptr),
              ERROR_DISK_CORRUPT);
    CloseDeviceFolder();
    EXPECT_EQ(FileBytes(StorePath()), bytes);
}

TEST_F(FailureTest, AFileThatIsNotAStoreIsReportedAndLeftAsItWas)
{
    CloseDeviceFolder();
    std::string other = root + "/other.db";
    {
        OtherProgram program(other);
        ASSERT_EQ(program.Exec("CREATE TABLE people(name TEXT); INSERT INTO people VALUES('x')"),
                  SQLITE_OK);
    }
    struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"text", "These are my notes, not a database.\n"},
        {"noise", std::string(10000, '\x5a')},
        {"another program's database", FileBytes(other)},
    };
    for (const auto& c : cases) {
        WriteFileBytes(StorePath(), c.bytes);
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << c.what << ": " << reason;
        CEOID oid = 0;
        EXPECT_EQ(CeOpenDatabase(&oid, const_cast<LPWSTR>(u"Kept"), 0, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_BADDB)) << c.what;
        EXPECT_EQ(CeCreateDatabase(const_cast<LPWSTR>(u"New"), 0, 0, nullptr), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_BADDB)) << c.what;
        HKEY key;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, nullptr, 0, 0, nullptr, &key,
                                  nullptr),
                  ERROR_BADDB)
            << c.what;
        CloseDeviceFolder();
        EXPECT_EQ(FileBytes(StorePath()), c.bytes) << c.what;
    }
}

TEST_F(FailureTest, AStoreFileThatWentAwayIsReportedNotMadeAgain)
{
    CloseDeviceFolder();
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    std::filesystem::remove(StorePath());
    EXPECT_EQ(CeCreateDatabase(const_cast<LPWSTR>(u"New"), 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(std::filesystem::exists(StorePath()));
}

TEST_F(FailureTest, AStoreLockedByAnotherProgramFailsUntilReleased)
{
    SetStoreBusyTimeout(50);
    CloseDeviceFolder();
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    std::string before = FileBytes(StorePath());
    OtherProgram program(StorePath());
    ASSERT_EQ(program.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);

    CEOID oid = 0;
    EXPECT_EQ(CeOpenDatabase(&oid, const_cast<LPWSTR>(u"Kept"), 0, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(CeCreateDatabase(const_cast<LPWSTR>(u"New"), 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    DWORD value = 1;
    EXPECT_EQ(RegSetValueExW(HKEY_LOCAL_MACHINE, u"Locked", 0, REG_DWORD,
                             reinterpret_cast<BYTE*>(&value), 4),
              ERROR_SHARING_VIOLATION);
    EXPECT_EQ(FileBytes(StorePath()), before);

    ASSERT_EQ(program.Exec("ROLLBACK"), SQLITE_OK);
    EXPECT_EQ(Contents(), seeded);
    EXPECT_NE(CeCreateDatabase(const_cast<LPWSTR>(u"New"), 0, 0, nullptr), 0u);
}

TEST_F(FailureTest, AStoreAnotherProgramIsWritingCanStillBeRead)
{
    SetStoreBusyTimeout(50);
    HANDLE db = Open(u"Kept");
    OtherProgram program(StorePath());
    ASSERT_EQ(program.Exec("BEGIN IMMEDIATE; DELETE FROM records"), SQLITE_OK);
    EXPECT_EQ(ReadAll(db), Records{seeded[0]});
    EXPECT_EQ(Write(db, {Number(keyProp, 2)}), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    ASSERT_EQ(program.Exec("ROLLBACK"), SQLITE_OK);
    EXPECT_NE(Write(db, {Number(keyProp, 2)}), 0u);
    CloseHandle(db);
}

TEST_F(FailureTest, ABatchIsCommittedWholeAtItsEnd)
{
    HANDLE db = Open(u"Kept");
    ASSERT_TRUE(BeginStoreBatch());
    for (DWORD key = 2; key <= 4; ++key)
        ASSERT_TRUE(Write(db, {Number(keyProp, key)}));
    // A failed change inside the batch takes back only itself.
    FailStoreOperation(StoreOp::Write, 1, ERROR_DISK_FULL);
    EXPECT_FALSE(Write(db, {Number(keyProp, 5)}));
    EXPECT_EQ(ReadAll(db).size(), 4u);
    ASSERT_TRUE(EndStoreBatch(TRUE));
    CloseHandle(db);
    Reopen();
    db = Open(u"Kept");
    EXPECT_EQ(ReadAll(db).size(), 4u);
    CloseHandle(db);
}

TEST_F(FailureTest, AnUndoneBatchLeavesTheStoreAsItWas)
{
    std::string before = FileBytes(StorePath());
    ASSERT_TRUE(BeginStoreBatch());
    HANDLE db = Open(u"Kept");
    CloseHandle(db);
    ASSERT_TRUE(CeDeleteDatabase(keptOid));
    HANDLE fresh = CreateAndOpen(u"Kept");
    ASSERT_TRUE(Write(fresh, {Number(keyProp, 7)}));
    CloseHandle(fresh);
    ASSERT_TRUE(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software") == ERROR_SUCCESS);
    ASSERT_TRUE(EndStoreBatch(FALSE));
    EXPECT_EQ(Contents(), seeded);
    EXPECT_EQ(FileBytes(StorePath()), before);
}

TEST_F(FailureTest, AnInnerBatchIsUndoneAloneAndKeptOnlyWithTheOuterOne)
{
    HANDLE db = Open(u"Kept");
    ASSERT_TRUE(BeginStoreBatch());
    Write(db, {Number(keyProp, 2)});
    ASSERT_TRUE(BeginStoreBatch());
    Write(db, {Number(keyProp, 3)});
    ASSERT_TRUE(EndStoreBatch(FALSE));
    ASSERT_TRUE(BeginStoreBatch());
    Write(db, {Number(keyProp, 4)});
    ASSERT_TRUE(EndStoreBatch(TRUE));
    ASSERT_TRUE(EndStoreBatch(TRUE));
    EXPECT_EQ(ReadAll(db), (Records{seeded[0], "0x00000013=2", "0x00000013=4"}));
    EXPECT_FALSE(EndStoreBatch(TRUE));
    CloseHandle(db);
}

TEST_F(FailureTest, ABatchThatCannotBeginFailsEverythingUntilItsEnd)
{
    SetStoreBusyTimeout(50);
    HANDLE db = Open(u"Kept");
    {
        OtherProgram program(StorePath());
        ASSERT_EQ(program.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
        EXPECT_FALSE(BeginStoreBatch());
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    }
    // The lock is gone, yet the batch stays failed: its writes would otherwise be committed
    // one by one, and undoing it at its end would undo nothing.
    EXPECT_FALSE(Write(db, {Number(keyProp, 2)}));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(EndStoreBatch(FALSE));
    EXPECT_TRUE(Write(db, {Number(keyProp, 2)}));
    CloseHandle(db);
}

// Inside a batch a database's count and size follow every change kept, and only those: a change
// that failed, an inner batch undone and the whole batch undone take theirs back; what is kept
// is what a fresh read of the store finds.
TEST_F(FailureTest, ADatabasesCountsFollowTheChangesABatchKeeps)
{
    auto counts = [&] {
        CEOIDINFO info = {};
        EXPECT_TRUE(CeOidGetInfo(keptOid, &info));
        return std::make_pair(info.infDatabase.wNumRecords, info.infDatabase.dwSize);
    };
    auto before = counts();
    HANDLE db = Open(u"Kept");
    ASSERT_TRUE(BeginStoreBatch());
    CEOID two = Write(db, {Number(keyProp, 2), Text(textProp, u"two")});
    CEOID three = Write(db, {Number(keyProp, 3)});
    ASSERT_TRUE(two && three);
    EXPECT_EQ(counts().first, before.first + 2);
    FailStoreOperation(StoreOp::Write, 1, ERROR_DISK_FULL);
    EXPECT_FALSE(Write(db, {Number(keyProp, 4)}));
    EXPECT_EQ(counts().first, before.first + 2);

    ASSERT_TRUE(BeginStoreBatch());
    ASSERT_TRUE(CeDeleteRecord(db, two));
    ASSERT_TRUE(Write(db, {Number(keyProp, 5)}));
    EXPECT_EQ(counts().first, before.first + 2);
    ASSERT_TRUE(EndStoreBatch(FALSE));
    auto afterUndone = counts();
    EXPECT_EQ(afterUndone.first, before.first + 2);

    ASSERT_TRUE(BeginStoreBatch());
    ASSERT_TRUE(CeDeleteRecord(db, three));
    ASSERT_TRUE(EndStoreBatch(TRUE));
    auto kept = counts();
    EXPECT_EQ(kept.first, before.first + 1);
    EXPECT_LT(kept.second, afterUndone.second);
    ASSERT_TRUE(EndStoreBatch(TRUE));
    CloseHandle(db);

    Reopen();
    EXPECT_EQ(counts(), kept);
    db = Open(u"Kept");
    EXPECT_EQ(ReadAll(db).size(), size_t(kept.first));
    // A batch undone whole leaves the counts as they were.
    ASSERT_TRUE(BeginStoreBatch());
    ASSERT_TRUE(Write(db, {Number(keyProp, 9)}));
    ASSERT_TRUE(EndStoreBatch(FALSE));
    CloseHandle(db);
    EXPECT_EQ(counts(), kept);
}
