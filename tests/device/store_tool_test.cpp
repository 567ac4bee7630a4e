// zentally-store, run as a program on device folders in a temporary directory.
#include "platform/device.h"
#include "platform/handle.h"
#include "platform/windbase.h"
#include "platform/winreg.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
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
    }
    void TearDown() override
    {
        CloseDeviceFolder();
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    // Runs the tool with these arguments; XDG_DATA_HOME points into the test's folder, so that
    // a run without --device never touches the user's own device.
    Outcome RunTool(const std::vector<std::string>& args)
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            if (std::string(*e).rfind("XDG_DATA_HOME=", 0) != 0)
                env.push_back(*e);
        }
        env.push_back("XDG_DATA_HOME=" + root + "/data");
        std::vector<char*> argv = {const_cast<char*>(STORE_TOOL)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);

        std::string out = root + "/stdout", err = root + "/stderr";
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t child;
        int spawned = posix_spawn(&child, STORE_TOOL, &files, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&files);
        EXPECT_EQ(spawned, 0);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << "the tool did not end by itself";
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileText(out), FileText(err)};
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
    for (const char* verb : {"dump", "backup"}) {
        std::vector<std::string> args = {verb};
        if (args[0] == "backup")
            args.push_back(root + "/copy.db");
        ExpectRefusal(Tool(args), 1, verb);
        EXPECT_FALSE(fs::exists(device)) << verb;
        EXPECT_FALSE(fs::exists(root + "/copy.db")) << verb;
    }

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
    };
    for (const auto& writer : writers) {
        Outcome outcome = Tool(writer.args);
        EXPECT_EQ(outcome.exit, writer.exit) << writer.args[0] << ": " << outcome.err;
        EXPECT_TRUE(fs::is_regular_file(device + "/store.db")) << writer.args[0];
        EXPECT_TRUE(fs::is_directory(device + "/files/My Documents/Personal")) << writer.args[0];
        EXPECT_EQ(Dump() == emptyDump, writer.exit != 0) << writer.args[0];
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
