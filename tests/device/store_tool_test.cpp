// zentally-store, run as a program on device folders in a temporary directory.
#include "platform/device.h"
#include "platform/handle.h"
#include "platform/windbase.h"
#include "platform/winreg.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace
{
struct Outcome {
    int exit;
    std::string out;
    std::string err;
};

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string recordsName = "Ulmra Zentally";

struct StoreToolTest : ::testing::Test {
    std::string root;
    std::string device;

    void SetUp() override
    {
        char pattern[] = "/tmp/zentally-tool-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        device = root + "/device";
        fs::create_directory(root + "/run");
    }
    void TearDown() override
    {
        CloseDeviceFolder();
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    // The environment of the tool and the program: XDG_DATA_HOME points into the test's folder,
    // so that a run without --device never touches the user's own device, and XDG_RUNTIME_DIR
    // too, so that the program's socket is the test's alone.
    std::vector<std::string> Environment()
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            std::string entry = *e;
            if (entry.rfind("XDG_DATA_HOME=", 0) != 0 && entry.rfind("XDG_RUNTIME_DIR=", 0) != 0 &&
                entry.rfind("QT_QPA_PLATFORM=", 0) != 0)
                env.push_back(entry);
        }
        env.push_back("XDG_DATA_HOME=" + root + "/data");
        env.push_back("XDG_RUNTIME_DIR=" + root + "/run");
        env.push_back("QT_QPA_PLATFORM=offscreen");
        return env;
    }

    // Starts `program` with these arguments, its output going to files named after `output`.
    pid_t Start(const std::string& program, const std::vector<std::string>& args,
                const std::string& output)
    {
        std::vector<std::string> env = Environment();
        std::vector<char*> argv = {const_cast<char*>(program.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);

        std::string out = output + ".stdout", err = output + ".stderr";
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t child = -1;
        int spawned =
            posix_spawn(&child, program.c_str(), &files, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&files);
        EXPECT_EQ(spawned, 0) << program;
        return spawned == 0 ? child : -1;
    }

    // Runs the tool with these arguments to its end.
    Outcome RunTool(const std::vector<std::string>& args)
    {
        std::string output = root + "/tool";
        pid_t child = Start(STORE_TOOL, args, output);
        int status = 0;
        if (child > 0)
            waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << "the tool did not end by itself";
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileText(output + ".stdout"),
                FileText(output + ".stderr")};
    }

    Outcome Tool(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--device", device});
        return RunTool(args);
    }

    // Runs a verb that must succeed quietly.
    void Do(std::vector<std::string> args)
    {
        Outcome outcome = Tool(args);
        ASSERT_EQ(outcome.exit, 0) << args[0] << ": " << outcome.err;
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "");
    }

    std::string Dump()
    {
        Outcome outcome = Tool({"dump"});
        EXPECT_EQ(outcome.exit, 0) << outcome.err;
        return outcome.out;
    }

    std::string Store() { return FileText(device + "/store.db"); }

    // A store worth copying: a database with records and registry values.
    void FillStore()
    {
        Do({"create-database", recordsName});
        Do({"put-record", recordsName, "0x00000013=51439", "0x0004001F=Job"});
        Do({"put-record", recordsName, "0x00000013=102", "0x0004001F=Sport"});
        Do({"set-value", "Software\\Ulmra\\Zentally", "MajorVersion", "dword", "2"});
        Do({"set-value", "Software\\Ulmra\\Zentally", "Columns", "binary", "0102"});
    }

    // The names in the device folder, which a refused restore leaves as they were.
    std::vector<std::string> DeviceEntries()
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(device))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// One line of reason on standard error, nothing on standard output.
void ExpectRefusal(const Outcome& outcome, int exit, const std::string& what)
{
    EXPECT_EQ(outcome.exit, exit) << what;
    EXPECT_EQ(outcome.out, "") << what;
    ASSERT_FALSE(outcome.err.empty()) << what;
    EXPECT_EQ(outcome.err.rfind("zentally-store: ", 0), 0u) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
}

const char* const emptyDump = "{\"databases\": [], \"registry\": []}\n";
} // namespace

TEST_F(StoreToolTest, EachVerbChangesTheStoreAsTheDumpShows)
{
    Do({"create-database", recordsName});
    EXPECT_EQ(Dump(), "{\"databases\": [{\"name\": \"Ulmra Zentally\", \"type\": 0, \"sort\": "
                      "[\"0x00000013\"], \"records\": []}], \"registry\": []}\n");

    Do({"put-record", recordsName, "0x00000013=51439", "0x00010013=5", "0x0004001F=Job"});
    Do({"put-record", recordsName, "0x00000013=102", "0x0004001F=Sport"});
    Do({"put-record", "ulmra zentally", "0x13=51439", "0x6001f=second"});
    Do({"create-database", "Another"});
    Do({"set-value", "Software\\Ulmra\\Zentally", "MajorVersion", "dword", "2"});
    Do({"set-value", "Software\\Ulmra\\Zentally\\Settings", "SortOrder", "dword", "4294967295"});
    Do({"set-value", "Software\\Ulmra\\Zentally\\Settings", "Blob", "binary", "00Ff7a"});
    Do({"set-value", "Software\\Aardvark", "Name", "string", "Tab\there"});
    EXPECT_EQ(Dump(),
              "{\"databases\": ["
              "{\"name\": \"Another\", \"type\": 0, \"sort\": [\"0x00000013\"], \"records\": []}, "
              "{\"name\": \"Ulmra Zentally\", \"type\": 0, \"sort\": [\"0x00000013\"], "
              "\"records\": ["
              "{\"oid\": \"0x00000003\", \"props\": [[\"0x00000013\", 102], "
              "[\"0x0004001F\", \"Sport\"]]}, "
              "{\"oid\": \"0x00000002\", \"props\": [[\"0x00000013\", 51439], "
              "[\"0x00010013\", 5], [\"0x0004001F\", \"Job\"]]}, "
              "{\"oid\": \"0x00000004\", \"props\": [[\"0x00000013\", 51439], "
              "[\"0x0006001F\", \"second\"]]}]}], "
              "\"registry\": ["
              "{\"key\": \"Software\\\\Aardvark\", \"values\": [{\"name\": \"Name\", "
              "\"type\": \"string\", \"value\": \"Tab\\there\"}]}, "
              "{\"key\": \"Software\\\\Ulmra\\\\Zentally\", \"values\": [{\"name\": "
              "\"MajorVersion\", \"type\": \"dword\", \"value\": 2}]}, "
              "{\"key\": \"Software\\\\Ulmra\\\\Zentally\\\\Settings\", \"values\": ["
              "{\"name\": \"Blob\", \"type\": \"binary\", \"value\": \"00ff7a\"}, "
              "{\"name\": \"SortOrder\", \"type\": \"dword\", \"value\": 4294967295}]}]}\n");

    Do({"delete-key", "SOFTWARE\\ulmra"});
    Do({"delete-database", recordsName});
    EXPECT_EQ(Dump(), "{\"databases\": [{\"name\": \"Another\", \"type\": 0, \"sort\": "
                      "[\"0x00000013\"], \"records\": []}], \"registry\": [{\"key\": "
                      "\"Software\\\\Aardvark\", \"values\": [{\"name\": \"Name\", \"type\": "
                      "\"string\", \"value\": \"Tab\\there\"}]}]}\n");
}

TEST_F(StoreToolTest, TheDumpShowsWhatThePlatformStoredAsJson)
{
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(device, &reason)) << reason;
    WCHAR name[] = u"Caf\u00e9 \"q\"";
    ASSERT_NE(CeCreateDatabase(name, 3, 0, nullptr), 0u);
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    BYTE bytes[] = {0xAB, 0x01};
    CEPROPVAL props[5] = {};
    props[0].propid = 0x0001001F;
    props[0].val.lpwstr = const_cast<LPWSTR>(u"\U0001F600 \xD800 \u0001 \\ /");
    props[1].propid = 0x00020002;
    props[1].val.iVal = -5;
    props[2].propid = 0x00030041;
    props[2].val.blob = {2, bytes};
    props[3].propid = 0x0004000B;
    props[3].val.boolVal = TRUE;
    props[4].propid = 0x00050005;
    props[4].val.dblVal = 0.5;
    ASSERT_NE(CeWriteRecordProps(db, 0, 5, props), 0u);
    CloseHandle(db);
    WORD shortValue = 7;
    ASSERT_EQ(RegSetValueExW(HKEY_LOCAL_MACHINE, u"Top", 0, REG_DWORD,
                             reinterpret_cast<BYTE*>(&shortValue), 2),
              ERROR_SUCCESS);
    HKEY empty;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Empty\\Leaf", 0, nullptr, 0, 0, nullptr, &empty,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(empty);
    CloseDeviceFolder();

    EXPECT_EQ(Dump(), "{\"databases\": [{\"name\": \"Caf\xc3\xa9 \\\"q\\\"\", \"type\": 3, "
                      "\"sort\": [], \"records\": [{\"oid\": \"0x00000002\", \"props\": ["
                      "[\"0x0001001F\", \"\xf0\x9f\x98\x80 \\ud800 \\u0001 \\\\ /\"], "
                      "[\"0x00020002\", -5], [\"0x00030041\", \"ab01\"], [\"0x0004000B\", true], "
                      "[\"0x00050005\", 0.5]]}]}], "
                      "\"registry\": [{\"key\": \"\", \"values\": [{\"name\": \"Top\", "
                      "\"type\": 4, \"value\": \"0700\"}]}, "
                      "{\"key\": \"Empty\\\\Leaf\", \"values\": []}]}\n");
}

TEST_F(StoreToolTest, BadArgumentsAreRefusedWithOneLineAndChangeNothing)
{
    Do({"create-database", recordsName});
    Do({"put-record", recordsName, "0x00000013=1"});
    std::string dump = Dump();
    std::string store = Store();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frob"},
        {"--verbose", "dump"},
        {"dump", "extra"},
        {"create-database"},
        {"create-database", "a", "b"},
        {"create-database", ""},
        {"create-database", std::string(32, 'n')},
        {"create-database", "bad \xff utf-8"},
        {"delete-database"},
        {"put-record", recordsName},
        {"put-record", recordsName, "0x00000013"},
        {"put-record", recordsName, "0xZZ=1"},
        {"put-record", recordsName, "=1"},
        {"put-record", recordsName, "0x123456789=1"},
        {"put-record", recordsName, "0x00010041=00"},
        {"put-record", recordsName, "0x00010003=1"},
        {"put-record", recordsName, "0x00000013=-1"},
        {"put-record", recordsName, "0x00000013=4294967296"},
        {"put-record", recordsName, "0x00000013=12abc"},
        {"put-record", recordsName, "0x00000013=1", "0x13=2"},
        {"put-record", recordsName, "0x0001001F=\xc3"},
        {"set-value", "Software", "N", "dword"},
        {"set-value", "Software", "N", "dword", "x"},
        {"set-value", "Software", "N", "dword", "4294967296"},
        {"set-value", "Software", "N", "binary", "abc"},
        {"set-value", "Software", "N", "binary", "zz"},
        {"set-value", "Software", "N", "qword", "1"},
        {"set-value", "", "N", "dword", "1"},
        {"set-value", "Software\\\\Gap", "N", "dword", "1"},
        {"set-value", "\\Software", "N", "dword", "1"},
        {"set-value", std::string(256, 'k'), "N", "dword", "1"},
        {"delete-key"},
        {"delete-key", "Software\\"},
        {"backup"},
        {"backup", ""},
        {"backup", "a", "b"},
        {"backup", device + "/store.db"},
        {"backup", root + "/device/../device/./store.db"},
        {"restore"},
        {"restore", "a", "b"},
    };
    for (const auto& args : cases) {
        std::string what;
        for (const std::string& arg : args)
            what += "[" + arg + "] ";
        ExpectRefusal(Tool(args), 2, what);
    }
    ExpectRefusal(RunTool({"--device"}), 2, "--device alone");
    ExpectRefusal(RunTool({"--device=", "dump"}), 2, "--device=");
    EXPECT_EQ(Dump(), dump);
    EXPECT_EQ(Store(), store);
}

TEST_F(StoreToolTest, NamingWhatTheStoreLacksFailsAndChangesNothing)
{
    Do({"create-database", recordsName});
    Do({"set-value", "Software\\Kept", "Value", "dword", "1"});
    std::string store = Store();
    const std::vector<std::vector<std::string>> cases = {
        {"put-record", "Missing", "0x00000013=1"},
        {"delete-database", "Missing"},
        {"delete-key", "Software\\Missing"},
        {"create-database", "ULMRA ZENTALLY"},
    };
    for (const auto& args : cases)
        ExpectRefusal(Tool(args), 1, args[0] + " " + args[1]);
    EXPECT_EQ(Store(), store);
}

TEST_F(StoreToolTest, AMissingDeviceIsMadeByTheWritingVerbsAndByNoneThatOnlyRead)
{
    // restore refuses a file that cannot be a store before it makes anything.
    for (const char* verb : {"dump", "backup", "restore"}) {
        std::vector<std::string> args = {verb};
        if (args[0] != "dump")
            args.push_back(root + "/copy.db");
        ExpectRefusal(Tool(args), 1, verb);
        EXPECT_FALSE(fs::exists(device)) << verb;
        EXPECT_FALSE(fs::exists(root + "/copy.db")) << verb;
    }

    std::string copy = root + "/copy.db";
    Outcome source = RunTool({"--device", root + "/source", "create-database", "Source"});
    ASSERT_EQ(source.exit, 0) << source.err;
    ASSERT_EQ(RunTool({"--device", root + "/source", "backup", copy}).exit, 0);

    // Each makes the device as the program's first start does, even when what it names is not
    // there to change.
    const struct {
        std::vector<std::string> args;
        int exit;
    } writers[] = {
        {{"set-value", "Software", "Made", "dword", "1"}, 0},
        {{"create-database", recordsName}, 0},
        {{"delete-database", recordsName}, 1},
        {{"put-record", recordsName, "0x00000013=1"}, 1},
        {{"delete-key", "Software"}, 1},
        {{"restore", copy}, 0},
    };
    for (const auto& writer : writers) {
        Outcome outcome = Tool(writer.args);
        EXPECT_EQ(outcome.exit, writer.exit) << writer.args[0] << ": " << outcome.err;
        EXPECT_TRUE(fs::is_regular_file(device + "/store.db")) << writer.args[0];
        EXPECT_TRUE(fs::is_directory(device + "/files/My Documents/Personal")) << writer.args[0];
        EXPECT_EQ(Dump() == emptyDump, writer.exit != 0) << writer.args[0];
        EXPECT_EQ(Dump().find("Source") != std::string::npos, writer.args[0] == "restore");
        fs::remove_all(device);
    }
}

TEST_F(StoreToolTest, WithoutDeviceTheUsersOwnDeviceFolderIsUsed)
{
    Outcome outcome = RunTool({"create-database", recordsName});
    ASSERT_EQ(outcome.exit, 0) << outcome.err;
    EXPECT_TRUE(fs::is_regular_file(root + "/data/zentally/store.db"));
    outcome = RunTool({"--device=" + root + "/data/zentally", "dump"});
    EXPECT_NE(outcome.out.find("Ulmra Zentally"), std::string::npos);
}

TEST_F(StoreToolTest, AnUnreadableStoreIsReportedAndLeftAsItWas)
{
    Do({"create-database", recordsName});
    const std::string garbage = "not a store at all, just some text\n";
    std::ofstream(device + "/store.db", std::ios::binary | std::ios::trunc) << garbage;
    const std::vector<std::vector<std::string>> cases = {
        {"dump"},
        {"create-database", "New"},
        {"put-record", recordsName, "0x00000013=1"},
        {"set-value", "Software", "N", "dword", "1"},
        {"delete-key", "Software"},
        {"delete-database", recordsName},
    };
    for (const auto& args : cases) {
        Outcome outcome = Tool(args);
        ExpectRefusal(outcome, 1, args[0]);
        EXPECT_NE(outcome.err.find("not a Zentally store"), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(Store(), garbage);
}

TEST_F(StoreToolTest, AStoreLockedByTheRunningProgramIsReportedAndLeftAsItWas)
{
    Do({"create-database", recordsName});
    std::string store = Store();
    sqlite3* program = nullptr;
    ASSERT_EQ(sqlite3_open((device + "/store.db").c_str(), &program), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(program, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    Outcome outcome = Tool({"put-record", recordsName, "0x00000013=1"});
    sqlite3_exec(program, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(program);
    ExpectRefusal(outcome, 1, "locked");
    EXPECT_NE(outcome.err.find("locked"), std::string::npos) << outcome.err;
    EXPECT_EQ(Store(), store);
}

// Runs SQL on a store file through a connection of the test's own.
void ChangeFile(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

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

TEST_F(StoreToolTest, WhileTheProgramRunsABackupIsTakenAndARestoreRefused)
{
    const std::string program = (fs::path(STORE_TOOL).parent_path() / "zentally").string();
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
    EXPECT_TRUE(storeAfter == store) << "store.db changed";
    // Once the program has ended, the copy it let be taken goes in.
    Do({"restore", copy});
}
