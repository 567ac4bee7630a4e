// A program state over a fresh device folder in a temporary directory, with the program's
// string table, and what message boxes and beeps it showed.
#pragma once

#include "app/app_context.h"
#include "model/databases.h"
#include "platform/device.h"
#include "platform/faults.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/recorder.h"
#include "platform/resource.h"
#include "resources/strings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

struct StoreFixture : ::testing::Test {
    std::string folder;

    void SetUp() override
    {
        char pattern[] = "/tmp/zentally-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = std::string(pattern) + "/device";
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
        StartProgramState();
    }

    void TearDown() override
    {
        StopProgramState();
        ClearStoreFaults();
        ClearRecordings();
        CloseDeviceFolder();
        std::filesystem::remove_all(std::filesystem::path(folder).parent_path());
    }

    void StartProgramState()
    {
        App = AppContext{};
        CreateAppObjects();
        App.Instance = RegisterResourceModule(&ZentallyResources);
        App.Title = static_cast<LPWSTR>(LocalAlloc(LPTR, IDENTITY_TEXT_MAX * sizeof(WCHAR)));
        LoadStringW(App.Instance, IDS_APP_TITLE, App.Title, IDENTITY_TEXT_MAX);
        ClearRecordings();
    }

    void StopProgramState()
    {
        for (HANDLE* handle : {&App.Databases.records, &App.Databases.categories}) {
            if (*handle && *handle != INVALID_HANDLE_VALUE)
                CloseHandle(*handle);
            *handle = 0;
        }
        DestroyAppObjects();
    }

    // Closes everything and starts again on the same folder, as a restart of the program does.
    void Restart()
    {
        StopProgramState();
        CloseDeviceFolder();
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
        StartProgramState();
    }

    std::vector<std::u16string> MessageTexts() const
    {
        std::vector<std::u16string> texts;
        for (const RecordedMessageBox& box : RecordedMessageBoxes())
            texts.push_back(box.text);
        return texts;
    }
};
