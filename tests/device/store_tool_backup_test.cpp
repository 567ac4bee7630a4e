// zentally-store's backups: a consistent copy taken at any time, and a restore that checks the
// copy first and replaces the store in one step, or refuses and changes nothing.
#include "tests/device/store_tool_fixture.h"

namespace
{

// Runs SQL on a store file through a connection of the test's own.
void ChangeFile(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}
} // namespace

TEST_F(StoreToolTest, TheVersionIsPrinted)
{
    Outcome outcome = RunTool({"--version"});
    EXPECT_EQ(outcome.exit, 0);
    EXPECT_EQ(outcome.out, "zentally-store 0.1\n");
}

TEST_F(StoreToolTest, ABackupRestoredIntoANewDeviceDumpsAsTheStoreDid)
{
    FillStore();
    std::string dump = Dump();
    std::string copy = root + "/copies/store copy.db";
    fs::create_directory(root + "/copies");
    std::ofstream(copy) << "an older file of that name";
    Do({"backup", copy});
    // The copy took the old file's place whole, and nothing was left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(root + "/copies"), fs::directory_iterator()), 1);
    EXPECT_EQ(FileText(copy).substr(0, 16), std::string("SQLite format 3\0", 16));

    std::string original = device;
    device = root + "/new device";
    Do({"restore", copy});
    EXPECT_EQ(Dump(), dump);
    EXPECT_TRUE(fs::is_directory(device + "/files/My Documents/Business"));
    EXPECT_EQ(DeviceEntries(), (std::vector<std::string>{"files", "store.db"}));

    // Restoring over a store that has moved on brings back what the backup holds.
    Do({"put-record", recordsName, "0x00000013=7"});
    Do({"delete-key", "Software"});
    ASSERT_NE(Dump(), dump);
    Do({"restore", copy});
    EXPECT_EQ(Dump(), dump);
    // And over one that no longer reads at all.
    std::ofstream(device + "/store.db", std::ios::trunc) << "not a store any more";
    Do({"restore", copy});
    EXPECT_EQ(Dump(), dump);
    device = original;
    EXPECT_EQ(Dump(), dump);
}

TEST_F(StoreToolTest, ABackupWaitsOutAChangeOfAnotherProgramAndHoldsAllOfIt)
{
    FillStore();
    std::string copy = root + "/copy.db";
    sqlite3* program = nullptr;
    ASSERT_EQ(sqlite3_open((device + "/store.db").c_str(), &program), SQLITE_OK);

    // A reader in the middle of its transaction does not stop a backup.
    ASSERT_EQ(
        sqlite3_exec(program, "BEGIN; SELECT count(*) FROM records", nullptr, nullptr, nullptr),
        SQLITE_OK);
    Do({"backup", copy});
    sqlite3_exec(program, "COMMIT", nullptr, nullptr, nullptr);

    // A writer holding the store a moment: the backup starts meanwhile and gets its change.
    ASSERT_EQ(sqlite3_exec(program,
                           "BEGIN EXCLUSIVE; UPDATE store_counters SET next_oid = next_oid + 1000",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread writer([program] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        sqlite3_exec(program, "COMMIT", nullptr, nullptr, nullptr);
    });
    Outcome outcome = Tool({"backup", copy});
    writer.join();
    sqlite3_close(program);
    EXPECT_EQ(outcome.exit, 0) << outcome.err;
    sqlite3* backup = nullptr;
    ASSERT_EQ(sqlite3_open_v2(copy.c_str(), &backup, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* next = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(backup, "SELECT next_oid FROM store_counters", -1, &next, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(next), SQLITE_ROW);
    EXPECT_GT(sqlite3_column_int64(next, 0), 1000);
    sqlite3_finalize(next);
    sqlite3_close(backup);
}

TEST_F(StoreToolTest, ARestoreOfABadFileOrIntoABusyStoreIsRefusedAndChangesNothing)
{
    FillStore();
    const std::string good = root + "/good.db";
    Do({"backup", good});
    // Stores made of the good copy, each with one fault.
    auto variant = [&](const std::string& name, const char* sql) {
        fs::copy_file(good, root + "/" + name);
        ChangeFile(root + "/" + name, sql);
        return root + "/" + name;
    };
    std::string damaged = root + "/damaged.db";
    fs::copy_file(good, damaged);
    {
        std::fstream file(damaged, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(4096);
        file << std::string(4096, 'U');
    }
    std::ofstream(root + "/text.db") << "Ulmra Zentally\n";
    std::ofstream(root + "/empty.db");
    fs::create_directory(root + "/folder.db");
    std::string store = Store();
    std::vector<std::string> entries = DeviceEntries();
    auto expectRefused = [&](const std::string& file, const std::string& reason) {
        Outcome outcome = Tool({"restore", file});
        ExpectRefusal(outcome, 1, reason);
        EXPECT_NE(outcome.err.find(reason), std::string::npos) << outcome.err;
        EXPECT_TRUE(Store() == store) << reason << ": store.db changed";
    };

    const struct {
        std::string file;
        const char* reason;
    } files[] = {
        {root + "/text.db", "is not an SQLite database"},
        {root + "/empty.db", "is empty"},
        {root + "/folder.db", "is not a file"},
        {root + "/missing.db", "cannot read"},
        {damaged, "is damaged"},
        {variant("foreign.db", "PRAGMA application_id = 1234"),
         "not a Zentally store (its application id is 0x000004D2)"},
        {variant("newer.db", "PRAGMA user_version = 99"), "schema version 99"},
        {variant("older.db", "PRAGMA user_version = 0"), "schema version 0"},
        {variant("logged.db", "PRAGMA journal_mode = WAL"), "write-ahead log"},
    };
    for (const auto& refused : files) {
        expectRefused(refused.file, refused.reason);
        EXPECT_EQ(DeviceEntries(), entries) << refused.reason;
    }

    // A good file, while another program holds the store or a change to it was cut off.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((device + "/store.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    expectRefused(good, "the store is locked by another program");
    sqlite3_close(other);
    const std::string journal = device + "/store.db-journal";
    std::ofstream(journal) << "\xd9\xd5\x05\xf9 a journal";
    expectRefused(good, "store.db-journal holds a change that was cut off");
    EXPECT_EQ(FileText(journal), "\xd9\xd5\x05\xf9 a journal");
    fs::remove(journal);
    EXPECT_EQ(DeviceEntries(), entries);

    // A store of the first schema goes in, for the program to bring up to date when it opens it.
    std::string dump = Dump();
    Do({"put-record", recordsName, "0x00000013=9"});
    Do({"restore", variant("first.db", "PRAGMA user_version = 1")});
    EXPECT_EQ(Dump(), dump);
}

TEST_F(StoreToolTest, WhileTheProgramRunsABackupIsTakenAndARestoreOrAnImportRefused)
{
    const std::string program = ZENTALLY_PROGRAM;
    ASSERT_TRUE(fs::exists(program)) << program << " is built with the rest of the project";
    FillStore();
    pid_t running = Start(program, {"--device", device}, root + "/program");
    ASSERT_GT(running, 0);
    // The program runs once its socket is there.
    bool listening = false;
    for (int tries = 0; tries < 400 && !listening; ++tries) {
        for (const auto& entry : fs::directory_iterator(root + "/run"))
            listening = listening || entry.path().extension() == ".socket";
        if (!listening)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::string copy = root + "/copy.db";
    Outcome backup = Tool({"backup", copy});
    std::string store = Store();
    Outcome restore = Tool({"restore", copy});
    std::string records = root + "/records.csv";
    std::ofstream(records, std::ios::binary)
        << "\"Date\",\"Category\",\"Time "
           "(minutes)\",\"Memo\"\r\n\"08-12-2026\",\"Job\",\"90\",\"\"\r\n";
    Outcome import = Tool({"import", records});
    std::string storeAfter = Store();
    kill(running, SIGTERM);
    int status = 0;
    for (int tries = 0; tries < 200 && waitpid(running, &status, WNOHANG) == 0; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (kill(running, 0) == 0) {
        ADD_FAILURE() << "the program did not end on SIGTERM";
        kill(running, SIGKILL);
        waitpid(running, &status, 0);
    }
    ASSERT_TRUE(listening) << FileText(root + "/program.stderr");

    EXPECT_EQ(backup.exit, 0) << backup.err;
    ExpectRefusal(restore, 1, "program running");
    EXPECT_NE(restore.err.find("zentally runs on"), std::string::npos) << restore.err;
    ExpectRefusal(import, 1, "program running");
    EXPECT_NE(import.err.find("end it before importing"), std::string::npos) << import.err;
    EXPECT_TRUE(storeAfter == store) << "store.db changed";
    // Once the program has ended, the copy it let be taken goes in.
    Do({"restore", copy});
}
