// zentally-store, run as a program on device folders in a temporary directory.
#include "tests/device/store_tool_fixture.h"

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
