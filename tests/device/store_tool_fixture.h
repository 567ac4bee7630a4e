// zentally-store, run as a program on device folders in a temporary directory: the fixture
// that makes those folders and runs the tool, shared by the tool's tests.
#pragma once

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

struct Outcome {
    int exit;
    std::string out;
    std::string err;
};

inline std::string FileText(const std::string& path)
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
inline void ExpectRefusal(const Outcome& outcome, int exit, const std::string& what)
{
    EXPECT_EQ(outcome.exit, exit) << what;
    EXPECT_EQ(outcome.out, "") << what;
    ASSERT_FALSE(outcome.err.empty()) << what;
    EXPECT_EQ(outcome.err.rfind("zentally-store: ", 0), 0u) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
}

const char* const emptyDump = "{\"databases\": [], \"registry\": []}\n";
