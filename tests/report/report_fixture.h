// Records and categories made as the program's loader makes them, into any list; and, for the
// exports, a program state over a fresh device folder with short ways to look at its files.
#pragma once

#include "entry/record_format.h"
#include "platform/file_faults.h"
#include "tests/model/store_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

struct RecordValues {
    WORD year, month, day;
    LPCWSTR minutes; // null: a record without minutes
    LPCWSTR category;
    LPCWSTR memo;
};

// Appends a record filled through the record setters, as the loader fills one.
inline RecordNode* AddRecord(RecordList* list, const RecordValues& values)
{
    RecordNode scratch;
    scratch.date = {};
    InitRecordNode(&scratch);
    SetRecordDate(&scratch, SYSTEMTIME{values.year, values.month, 0, values.day, 0, 0, 0, 0});
    if (values.minutes)
        SetRecordMinutes(&scratch, values.minutes);
    SetRecordCategory(&scratch, values.category);
    if (values.memo)
        SetRecordMemo(&scratch, values.memo);
    RecordNode* node = Append(list, &scratch);
    FreeRecordTexts(&scratch);
    return node;
}

inline CategoryNode* AddCategory(CategoryList* list, LPCWSTR name, LONG value = 0)
{
    CategoryNode scratch;
    InitNode(&scratch);
    SetName(&scratch, name);
    scratch.value = value;
    CategoryNode* node = Insert(list, &scratch);
    FreeName(&scratch);
    return node;
}

struct ExportTest : StoreFixture {
    std::string business; // the device's Business and Personal folders on the host
    std::string personal;

    void SetUp() override
    {
        StoreFixture::SetUp();
        business = folder + "/files/My Documents/Business";
        personal = folder + "/files/My Documents/Personal";
    }
    void TearDown() override
    {
        ClearFileFaults();
        // Entries a test made read-only must let the folder go.
        std::error_code ignored;
        for (const std::string& path : {business, personal})
            std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        StoreFixture::TearDown();
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
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(hostFolder, ignored))
            names.insert(entry.path().filename().string());
        return names;
    }
    std::u16string Text(UINT id) const
    {
        WCHAR text[MESSAGE_TEXT_MAX_CHARS];
        LoadStringW(App.Instance, id, text, MESSAGE_TEXT_MAX_CHARS);
        return text;
    }
    static constexpr int MESSAGE_TEXT_MAX_CHARS = 400;
};

// The bytes of a UNICODE file holding `text`, which is ASCII: each byte followed by a zero.
inline std::string Widened(const std::string& text)
{
    std::string wide;
    for (char c : text) {
        wide.push_back(c);
        wide.push_back('\0');
    }
    return wide;
}
