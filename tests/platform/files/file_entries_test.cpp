// Finding entries and deleting files, and the device paths every file operation reads.
#include "tests/platform/files/file_fixture.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace
{
const WCHAR business[] = u"\\My Documents\\Business";

struct Found {
    DWORD error; // ERROR_SUCCESS when found
    DWORD attributes = 0;
    std::u16string name = u"";
    DWORD size = 0;
};

Found Find(LPCWSTR path)
{
    WIN32_FIND_DATAW data;
    std::fill_n(reinterpret_cast<char*>(&data), sizeof data, 0x5A);
    const WIN32_FIND_DATAW untouched = data;
    HANDLE search = FindFirstFileW(path, &data);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        EXPECT_EQ(std::memcmp(&data, &untouched, sizeof data), 0) << "failed, yet wrote";
        return {error, 0, u"", 0};
    }
    EXPECT_TRUE(FindClose(search));
    return {ERROR_SUCCESS, data.dwFileAttributes, data.cFileName, data.nFileSizeLow};
}
} // namespace

TEST_F(FileTest, ASearchFindsTheOneEntryNamedWithItsStoredNameAndAttributes)
{
    Put(files + "/My Documents/Business/Sales.csv", "12345");
    mkdir((files + "/Locked").c_str(), 0500);
    Put(files + "/Windows/notes.txt", "x");
    chmod((files + "/Windows/notes.txt").c_str(), 0400);
    struct {
        const char16_t* path;
        Found expected;
    } cases[] = {
        {business, {0, FILE_ATTRIBUTE_DIRECTORY, u"Business", 0}},
        {u"my documents/BUSINESS/", {0, FILE_ATTRIBUTE_DIRECTORY, u"Business", 0}},
        {u"\\My Documents\\Business\\SALES.CSV", {0, FILE_ATTRIBUTE_NORMAL, u"Sales.csv", 5}},
        {u"\\Locked", {0, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY, u"Locked", 0}},
        {u"\\Windows\\notes.txt", {0, FILE_ATTRIBUTE_READONLY, u"notes.txt", 1}},
        {u"\\My Documents\\Business\\Missing.csv", {ERROR_FILE_NOT_FOUND}},
        {u"\\My Documents\\Gone\\Sales.csv", {ERROR_PATH_NOT_FOUND}},
        {u"\\My Documents\\Business\\Sales.csv\\x", {ERROR_PATH_NOT_FOUND}},
        {u"\\", {ERROR_FILE_NOT_FOUND}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Found found = Find(c.path);
        EXPECT_EQ(found.error, c.expected.error);
        EXPECT_EQ(found.attributes, c.expected.attributes);
        EXPECT_EQ(found.name, c.expected.name);
        EXPECT_EQ(found.size, c.expected.size);
    }
}

TEST_F(FileTest, PathsThatAreNotDevicePathsAreRefusedBeforeTheHostIsTouched)
{
    Put(root + "/outside.csv", "keep");
    std::u16string tooLong = u"\\" + std::u16string(MAX_PATH, u'a');
    std::u16string tooLongForTheHost = u"\\" + std::u16string(MAX_PATH - 2, u'a');
    struct {
        const char16_t* path;
        DWORD error;
    } cases[] = {
        {nullptr, ERROR_INVALID_PARAMETER},
        {u"\\..\\..\\outside.csv", ERROR_PATH_NOT_FOUND},
        {u"\\My Documents\\..\\Windows", ERROR_PATH_NOT_FOUND},
        {u"\\.\\Windows", ERROR_PATH_NOT_FOUND},
        {u"\\Windows\\*.*", ERROR_INVALID_NAME},
        {u"\\Windows\\zentally.ht?", ERROR_INVALID_NAME},
        {u"C:\\Windows", ERROR_INVALID_NAME},
        {u"\\Windows\\a\u0001b", ERROR_INVALID_NAME},
        {u"\\Windows\\half \xD800", ERROR_INVALID_NAME},
        {tooLong.c_str(), ERROR_FILENAME_EXCED_RANGE},
        {tooLongForTheHost.c_str(), ERROR_FILENAME_EXCED_RANGE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        EXPECT_EQ(Find(c.path).error, c.error);
        SetLastError(0);
        EXPECT_FALSE(DeleteFileW(c.path));
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(CreateFileW(c.path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(Bytes(root + "/outside.csv"), "keep");
    EXPECT_EQ(Names(root), (std::set<std::string>{"device", "outside.csv"}));

    // A host path is one more device path, inside files/.
    std::string hostPath = root + "/outside.csv";
    std::u16string asDevicePath(hostPath.begin(), hostPath.end());
    EXPECT_EQ(Find(asDevicePath.c_str()).error, DWORD(ERROR_PATH_NOT_FOUND));

    CloseDeviceFolder();
    EXPECT_EQ(Find(business).error, DWORD(ERROR_PATH_NOT_FOUND)) << "no device folder";
}

TEST_F(FileTest, OnlyAFileTheUserMayChangeIsDeleted)
{
    std::string folder = files + "/My Documents/Business";
    Put(folder + "/Sales.csv", "old");
    Put(folder + "/Kept.csv", "kept");
    chmod((folder + "/Kept.csv").c_str(), 0400);
    struct {
        const char16_t* path;
        DWORD error;
    } refusals[] = {
        {business, ERROR_ACCESS_DENIED},
        {u"\\", ERROR_ACCESS_DENIED},
        {u"\\My Documents\\Business\\Kept.csv", ERROR_ACCESS_DENIED},
        {u"\\My Documents\\Business\\Missing.csv", ERROR_FILE_NOT_FOUND},
        {u"\\My Documents\\Gone\\Sales.csv", ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : refusals) {
        SetLastError(0);
        EXPECT_FALSE(DeleteFileW(c.path));
        EXPECT_EQ(GetLastError(), c.error);
    }
    FailFileOperation(FileOp::Delete, 1, ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(DeleteFileW(u"\\My Documents\\Business\\Sales.csv"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(Names(folder), (std::set<std::string>{"Kept.csv", "Sales.csv"}));

    EXPECT_TRUE(DeleteFileW(u"\\my documents\\business\\sales.CSV"));
    EXPECT_EQ(Names(folder), (std::set<std::string>{"Kept.csv"}));
}
