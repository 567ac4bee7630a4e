// A new device folder in a temporary directory for each test, with short ways to look at its
// files from the host.
#pragma once

#include "platform/device.h"
#include "platform/file_faults.h"
#include "platform/fileapi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <unistd.h>

struct FileTest : ::testing::Test {
    std::string root;
    std::string files; // the device's files/ on the host

    void SetUp() override
    {
        char pattern[] = "/tmp/zentally-file-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(root + "/device", &reason)) << reason;
        files = root + "/device/files";
    }
    void TearDown() override
    {
        ClearFileFaults();
        CloseDeviceFolder();
        // Folders a test made read-only must let their entries go.
        std::error_code ignored;
        for (auto it = std::filesystem::recursive_directory_iterator(root, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_directory(ignored))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(root, ignored);
    }

    std::string Bytes(const std::string& hostPath) const
    {
        std::ifstream in(hostPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Put(const std::string& hostPath, const std::string& bytes) const
    {
        std::ofstream(hostPath, std::ios::binary) << bytes;
    }
    // The names in a host folder, hidden ones included, so that a stray file shows.
    std::set<std::string> Names(const std::string& hostFolder) const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(hostFolder))
            names.insert(entry.path().filename().string());
        return names;
    }
};

// A test that writes Sales.csv in the device's Business folder.
struct SalesFileTest : FileTest {
    std::string folder; // My Documents/Business on the host
    std::string sales;  // Sales.csv in it

    void SetUp() override
    {
        FileTest::SetUp();
        folder = files + "/My Documents/Business";
        sales = folder + "/Sales.csv";
    }
};
