// The host taking the store away under the platform: the file made read-only, its folder shut
// or removed, a journal left by a writer that died mid-transaction. Nothing committed is lost,
// the store stays whole, and the failures are reported.
#include "platform/winreg.h"
#include "tests/platform/files/modes_obeyed.h"
#include "tests/platform/store/store_fixture.h"

#include <sqlite3.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>

namespace
{
typedef std::vector<std::string> Records;

const Records seeded = {"0x00000013=1 0x0002001F='one'", "0x00000013=2 0x0002001F='two'",
                        "0x00000013=3 0x0002001F='three'", "count=3", "Value=5"};

// A child process that changes the whole store in one transaction, with a cache so small that
// changed pages spill into store.db before any commit, and then raises `signal` on itself: a
// writer killed (SIGKILL) or stopped to be killed later (SIGSTOP) with its journal beside the
// store.
pid_t StartDyingWriter(const std::string& store, int signal)
{
    pid_t writer = fork();
    if (writer != 0)
        return writer;
    sqlite3* db = nullptr;
    sqlite3_open(store.c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA cache_size = 1; BEGIN IMMEDIATE;"
                 "DELETE FROM registry_values; DELETE FROM records;"
                 "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE "
                 "i < 2000) INSERT INTO records SELECT i, 1, 0, i, zeroblob(500) FROM n;",
                 nullptr, nullptr, nullptr);
    raise(signal);
    _exit(0);
}

struct HostFaultTest : StoreTest {
    CEOID keptOid = 0;

    void SetUp() override
    {
        StoreTest::SetUp();
        HANDLE db = CreateAndOpen(u"Kept");
        ASSERT_TRUE(db);
        ASSERT_TRUE(Write(db, {Number(keyProp, 1), Text(textProp, u"one")}));
        ASSERT_TRUE(Write(db, {Number(keyProp, 2), Text(textProp, u"two")}));
        ASSERT_TRUE(Write(db, {Number(keyProp, 3), Text(textProp, u"three")}));
        CloseHandle(db);
        ASSERT_EQ(SetValue(u"Value", 5), ERROR_SUCCESS);
        CloseHandle(CeOpenDatabase(&keptOid, const_cast<LPWSTR>(u"Kept"), 0, 0, nullptr));
    }

    void TearDown() override
    {
        chmod(folder.c_str(), 0700);
        chmod(StorePath().c_str(), 0600);
        StoreTest::TearDown();
    }

    LONG SetValue(const char16_t* name, DWORD value)
    {
        HKEY key;
        LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kept", 0, nullptr, 0, 0,
                                      nullptr, &key, nullptr);
        if (result != ERROR_SUCCESS)
            return result;
        result = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
        RegCloseKey(key);
        return result;
    }

    // The records of Kept, their count and the values of Software\Kept, as the platform reads
    // them; a line "error=N" where a read fails.
    Records Contents()
    {
        Records contents;
        HANDLE db = Open(u"Kept");
        if (!db)
            return {"error=" + std::to_string(GetLastError())};
        contents = ReadAll(db);
        CloseHandle(db);
        contents.push_back("count=" + std::to_string(RecordCount(keptOid)));
        HKEY key;
        LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Kept", 0, 0, &key);
        for (DWORD index = 0; result == ERROR_SUCCESS; ++index) {
            WCHAR name[32];
            DWORD length = 32, value = 0, size = 4;
            result = RegEnumValueW(key, index, name, &length, nullptr, nullptr,
                                   reinterpret_cast<LPBYTE>(&value), &size);
            if (result == ERROR_SUCCESS)
                contents.push_back(std::string(name, name + length) + "=" + std::to_string(value));
            else if (result == ERROR_NO_MORE_ITEMS)
                RegCloseKey(key);
        }
        if (result != ERROR_NO_MORE_ITEMS)
            contents.push_back("error=" + std::to_string(result));
        return contents;
    }

    // A new record, a deletion and a registry value: every kind of change; ERROR_SUCCESS or
    // the first failure.
    DWORD ChangeEverything(DWORD key)
    {
        HANDLE db = Open(u"Kept");
        if (!db)
            return GetLastError();
        DWORD error = Write(db, {Number(keyProp, key)}) ? DWORD(ERROR_SUCCESS) : GetLastError();
        CloseHandle(db);
        if (!error)
            error = DWORD(SetValue(u"Other", key));
        return error;
    }

    std::string Integrity()
    {
        sqlite3* other = nullptr;
        std::string verdict = "cannot open";
        if (sqlite3_open_v2(StorePath().c_str(), &other, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(other, "PRAGMA integrity_check", -1, &statement, nullptr);
            verdict = sqlite3_step(statement) == SQLITE_ROW
                          ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))
                          : sqlite3_errmsg(other);
            sqlite3_finalize(statement);
        }
        sqlite3_close(other);
        return verdict;
    }
};
} // namespace

TEST_F(HostFaultTest, AReadOnlyStoreIsReadAndRefusesEveryChange)
{
    ModesObeyed obeyed;
    // Made read-only while open: the store was opened for writing, and keeps what it is given.
    ASSERT_EQ(chmod(StorePath().c_str(), 0400), 0);
    EXPECT_EQ(ChangeEverything(4), DWORD(ERROR_SUCCESS));
    Records changed = Contents();
    EXPECT_EQ(changed.size(), seeded.size() + 2);

    // Opened read-only at the next start: read, and every change refused.
    Reopen();
    const std::string before = FileBytes(StorePath());
    EXPECT_EQ(Contents(), changed);
    EXPECT_EQ(ChangeEverything(5), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CeCreateDatabase(const_cast<LPWSTR>(u"New"), 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Contents(), changed);
    EXPECT_EQ(FileBytes(StorePath()), before);
    EXPECT_FALSE(std::filesystem::exists(StorePath() + "-journal"));

    // Writable again, the same connection writes again.
    ASSERT_EQ(chmod(StorePath().c_str(), 0600), 0);
    Reopen();
    EXPECT_EQ(ChangeEverything(5), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(Integrity(), "ok");
}

TEST_F(HostFaultTest, AStoreWhoseFolderIsShutRefusesChangesUntilItOpensAgain)
{
    ModesObeyed obeyed;
    Contents();
    const std::string before = FileBytes(StorePath());
    // The journal of a change cannot be made beside the store.
    ASSERT_EQ(chmod(folder.c_str(), 0500), 0);
    EXPECT_EQ(ChangeEverything(4), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Contents(), seeded);
    EXPECT_EQ(FileBytes(StorePath()), before);

    ASSERT_EQ(chmod(folder.c_str(), 0700), 0);
    EXPECT_EQ(ChangeEverything(4), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(Contents().size(), seeded.size() + 2);
    EXPECT_EQ(Integrity(), "ok");
}

TEST_F(HostFaultTest, AStoreWhoseFolderIsRemovedRefusesChangesAndMakesNothingAgain)
{
    Contents();
    std::filesystem::remove_all(folder);
    EXPECT_EQ(ChangeEverything(4), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(std::filesystem::exists(folder));
    // What the platform had open can still be read or is refused; neither crashes.
    Contents();
    EXPECT_EQ(CeCreateDatabase(const_cast<LPWSTR>(u"New"), 0, 0, nullptr), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

// A writer killed in the middle of a large change leaves store.db half changed and the journal
// of its old pages beside it; the next open rolls the change back, on the store and on a copy of
// the pair taken while the writer was stopped.
TEST_F(HostFaultTest, AJournalLeftByAWriterThatDiedIsRolledBackAtTheNextOpen)
{
    CloseDeviceFolder();
    const std::string committed = FileBytes(StorePath());
    pid_t writer = StartDyingWriter(StorePath(), SIGSTOP);
    ASSERT_GE(writer, 0);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, WUNTRACED), writer);
    ASSERT_TRUE(WIFSTOPPED(status));
    const std::string journal = StorePath() + "-journal";
    std::string copy = root + "/copy";
    std::filesystem::create_directories(copy);
    std::filesystem::copy_file(StorePath(), copy + "/store.db");
    std::filesystem::copy_file(journal, copy + "/store.db-journal");
    kill(writer, SIGKILL);
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(std::filesystem::exists(journal));
    ASSERT_NE(FileBytes(StorePath()), committed) << "the dead writer changed store.db";

    for (const std::string& device : {folder, copy}) {
        SCOPED_TRACE(device);
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(device, &reason)) << reason;
        EXPECT_EQ(Contents(), seeded);
        EXPECT_FALSE(std::filesystem::exists(device + "/store.db-journal"));
        EXPECT_EQ(ChangeEverything(4), DWORD(ERROR_SUCCESS));
        CloseDeviceFolder();
    }
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    EXPECT_EQ(Integrity(), "ok");
}

// A journal that cannot be rolled back, since the store is read-only, is left for later: the
// store is refused, not read half changed, and nothing is deleted.
TEST_F(HostFaultTest, AJournalThatCannotBeRolledBackYetKeepsTheStoreRefusedAndWhole)
{
    CloseDeviceFolder();
    pid_t writer = StartDyingWriter(StorePath(), SIGKILL);
    ASSERT_GE(writer, 0);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    const std::string journal = StorePath() + "-journal";
    ASSERT_TRUE(std::filesystem::exists(journal));
    const std::string store = FileBytes(StorePath()), kept = FileBytes(journal);
    {
        ModesObeyed obeyed;
        ASSERT_EQ(chmod(StorePath().c_str(), 0400), 0);
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
        Records refused = Contents();
        ASSERT_EQ(refused.size(), 1u);
        EXPECT_EQ(refused[0], "error=" + std::to_string(ERROR_ACCESS_DENIED));
        EXPECT_EQ(ChangeEverything(4), DWORD(ERROR_ACCESS_DENIED));
        CloseDeviceFolder();
        EXPECT_EQ(FileBytes(StorePath()), store);
        EXPECT_EQ(FileBytes(journal), kept);
    }
    ASSERT_EQ(chmod(StorePath().c_str(), 0600), 0);
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    EXPECT_EQ(Contents(), seeded);
    EXPECT_EQ(Integrity(), "ok");
}
