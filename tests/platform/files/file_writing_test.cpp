// Files made, written and closed: a replaced file is there, old or new, at every moment, and a
// failure at any step leaves the folder exactly as it was.
#include "tests/platform/files/file_fixture.h"

#include <sys/stat.h>

namespace
{
const WCHAR salesPath[] = u"\\My Documents\\Business\\Sales.csv";

HANDLE Create(LPCWSTR path, DWORD disposition)
{
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL Write(HANDLE file, const std::string& bytes, DWORD* written = nullptr)
{
    DWORD count = 0xDEAD;
    BOOL done = WriteFile(file, bytes.data(), DWORD(bytes.size()), &count, nullptr);
    if (written)
        *written = count;
    return done;
}

mode_t ModeOf(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

struct WritingTest : SalesFileTest {
};
} // namespace

TEST_F(WritingTest, AReplacedFileKeepsItsOldBytesUntilTheNewOneIsClosed)
{
    Put(sales, "old");
    chmod(sales.c_str(), 0644);
    HANDLE file = Create(u"\\my documents\\business\\SALES.CSV", CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    DWORD written = 0;
    EXPECT_TRUE(Write(file, "\"Date\"\r\n", &written));
    EXPECT_EQ(written, 8u);
    EXPECT_TRUE(Write(file, "\"1\"\r\n"));
    EXPECT_EQ(Bytes(sales), "old");

    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(Names(folder), std::set<std::string>{"Sales.csv"}) << "the old name, nothing beside";
    EXPECT_EQ(Bytes(sales), "\"Date\"\r\n\"1\"\r\n");
    EXPECT_EQ(ModeOf(sales), 0600u);

    // Without an old file, the name appears at the close, whole.
    std::string other = folder + "/Other.csv";
    SetLastError(ERROR_INVALID_DATA);
    file = Create(u"\\My Documents\\Business\\Other.csv", CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(Write(file, "new"));
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(Bytes(other), "new");
    EXPECT_EQ(ModeOf(other), 0600u);
}

TEST_F(WritingTest, ANewFileTakesItsNameAtOnceAndOnlyAFreeName)
{
    HANDLE file = Create(salesPath, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(std::filesystem::exists(sales));
    EXPECT_EQ(ModeOf(sales), 0600u);
    EXPECT_TRUE(Write(file, "abc"));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(Bytes(sales), "abc");

    for (LPCWSTR taken : {salesPath, u"\\My Documents\\Business\\sales.csv", u"\\Windows"}) {
        EXPECT_EQ(Create(taken, CREATE_NEW), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    }
    EXPECT_EQ(Bytes(sales), "abc");
}

TEST_F(WritingTest, AFileOpenThroughAHandleIsNeitherOpenedAgainNorDeleted)
{
    Put(sales, "old");
    for (DWORD first : {CREATE_ALWAYS, CREATE_NEW}) {
        if (first == CREATE_NEW)
            std::filesystem::remove(sales);
        HANDLE file = Create(salesPath, first);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        for (DWORD again : {CREATE_ALWAYS, CREATE_NEW}) {
            EXPECT_EQ(Create(u"\\MY DOCUMENTS\\BUSINESS\\SALES.CSV", again), INVALID_HANDLE_VALUE);
            EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
        }
        EXPECT_FALSE(DeleteFileW(salesPath));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
        EXPECT_TRUE(CloseHandle(file));
        EXPECT_TRUE(DeleteFileW(salesPath));
    }
}

TEST_F(WritingTest, CreationsTheDeviceCannotServeAreRefusedAndMakeNothing)
{
    Put(sales, "old");
    Put(folder + "/Locked.csv", "locked");
    chmod((folder + "/Locked.csv").c_str(), 0400);
    mkdir((files + "/Shut").c_str(), 0500);
    struct {
        LPCWSTR path;
        DWORD access, share, disposition, flags;
        DWORD error;
        bool needsRights = false; // the superuser makes files anywhere
    } cases[] = {
        {salesPath, 0, 0, CREATE_ALWAYS, 0, ERROR_INVALID_PARAMETER},
        {salesPath, GENERIC_READ, 0, CREATE_ALWAYS, 0, ERROR_INVALID_PARAMETER},
        {salesPath, GENERIC_WRITE | 1, 0, CREATE_ALWAYS, 0, ERROR_INVALID_PARAMETER},
        {salesPath, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, 0, ERROR_INVALID_PARAMETER},
        {salesPath, GENERIC_WRITE, 0, OPEN_EXISTING, 0, ERROR_INVALID_PARAMETER},
        {salesPath, GENERIC_WRITE, 0, 0, 0, ERROR_INVALID_PARAMETER},
        {salesPath, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY,
         ERROR_INVALID_PARAMETER},
        {u"\\My Documents\\Business", GENERIC_WRITE, 0, CREATE_ALWAYS, 0, ERROR_ACCESS_DENIED},
        {u"\\", GENERIC_WRITE, 0, CREATE_NEW, 0, ERROR_ACCESS_DENIED},
        {u"\\My Documents\\Gone\\a.csv", GENERIC_WRITE, 0, CREATE_ALWAYS, 0, ERROR_PATH_NOT_FOUND},
        {u"\\My Documents\\Business\\Locked.csv", GENERIC_WRITE, 0, CREATE_ALWAYS, 0,
         ERROR_ACCESS_DENIED},
        {u"\\Shut\\a.csv", GENERIC_WRITE, 0, CREATE_ALWAYS, 0, ERROR_ACCESS_DENIED, true},
        {u"\\Shut\\a.csv", GENERIC_WRITE, 0, CREATE_NEW, 0, ERROR_ACCESS_DENIED, true},
    };
    for (const auto& c : cases) {
        if (c.needsRights && geteuid() == 0)
            continue;
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        SetLastError(0);
        EXPECT_EQ(CreateFileW(c.path, c.access, c.share, nullptr, c.disposition, c.flags, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(Names(folder), (std::set<std::string>{"Locked.csv", "Sales.csv"}));
    EXPECT_TRUE(Names(files + "/Shut").empty());
    EXPECT_EQ(Bytes(sales), "old");
}

TEST_F(WritingTest, HandlesAndArgumentsOfTheWrongKindAreRefusedAndSpoilNothing)
{
    HANDLE file = Create(salesPath, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(u"\\Windows", &data);
    OVERLAPPED* overlapped = reinterpret_cast<OVERLAPPED*>(&data);
    DWORD written = 0;
    struct {
        HANDLE handle;
        LPCVOID bytes;
        LPDWORD count;
        LPOVERLAPPED overlapped;
        DWORD error;
    } cases[] = {
        {search, "x", &written, nullptr, ERROR_INVALID_HANDLE},
        {INVALID_HANDLE_VALUE, "x", &written, nullptr, ERROR_INVALID_HANDLE},
        {nullptr, "x", &written, nullptr, ERROR_INVALID_HANDLE},
        {file, "x", nullptr, nullptr, ERROR_INVALID_PARAMETER},
        {file, nullptr, &written, nullptr, ERROR_INVALID_PARAMETER},
        {file, "x", &written, overlapped, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        written = 7;
        EXPECT_FALSE(WriteFile(c.handle, c.bytes, 1, c.count, c.overlapped));
        EXPECT_EQ(GetLastError(), c.error);
        if (c.count) {
            EXPECT_EQ(written, 0u);
        }
    }
    EXPECT_FALSE(FindClose(file));
    EXPECT_FALSE(CloseHandle(search));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search)) << "closed twice";

    EXPECT_TRUE(WriteFile(file, nullptr, 0, &written, nullptr));
    EXPECT_TRUE(Write(file, "kept"));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file)) << "closed twice";
    EXPECT_EQ(Bytes(sales), "kept");
}

TEST_F(WritingTest, AFailureAtAnyStepLeavesTheOldFileAndNothingBesideIt)
{
    struct {
        FileOp op;
        DWORD error;
        DWORD disposition;
    } cases[] = {
        {FileOp::Create, ERROR_DISK_FULL, CREATE_ALWAYS},
        {FileOp::Create, ERROR_ACCESS_DENIED, CREATE_NEW},
        {FileOp::Write, ERROR_DISK_FULL, CREATE_ALWAYS},
        {FileOp::Write, ERROR_DISK_FULL, CREATE_NEW},
        {FileOp::Sync, ERROR_WRITE_FAULT, CREATE_ALWAYS},
        {FileOp::Sync, ERROR_DISK_FULL, CREATE_NEW},
        {FileOp::Rename, ERROR_ACCESS_DENIED, CREATE_ALWAYS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        std::filesystem::remove(sales);
        if (c.disposition == CREATE_ALWAYS)
            Put(sales, "old");
        const std::set<std::string> before = Names(folder);
        // The write fails on the second line, half of it written.
        FailFileOperation(c.op, c.op == FileOp::Write ? 2 : 1, c.error);

        HANDLE file = Create(salesPath, c.disposition);
        if (c.op == FileOp::Create) {
            EXPECT_EQ(file, INVALID_HANDLE_VALUE);
            EXPECT_EQ(GetLastError(), c.error);
        } else {
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            EXPECT_TRUE(Write(file, "header"));
            DWORD written = 0;
            EXPECT_EQ(Write(file, "0123456789", &written), c.op != FileOp::Write);
            if (c.op == FileOp::Write) {
                EXPECT_EQ(GetLastError(), c.error);
                EXPECT_EQ(written, 5u);
                EXPECT_EQ(Names(folder), before) << "removed at once";
                EXPECT_FALSE(Write(file, "more"));
                EXPECT_EQ(GetLastError(), c.error);
            }
            SetLastError(0);
            EXPECT_FALSE(CloseHandle(file));
            EXPECT_EQ(GetLastError(), c.error);
        }
        EXPECT_EQ(Names(folder), before);
        if (c.disposition == CREATE_ALWAYS) {
            EXPECT_EQ(Bytes(sales), "old");
        }
    }
}

TEST_F(WritingTest, FilesLeftOpenAreClosedWithTheDeviceFolder)
{
    Put(sales, "old");
    HANDLE file = Create(salesPath, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Write(file, "new"));
    CloseDeviceFolder();
    EXPECT_EQ(Bytes(sales), "new");
    EXPECT_EQ(Names(folder), std::set<std::string>{"Sales.csv"});
    EXPECT_FALSE(Write(file, "more"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(WritingTest, ManySmallWritesAndOneLargerThanTheHandlesRoomArriveWholeAndInOrder)
{
    for (DWORD disposition : {DWORD(CREATE_ALWAYS), DWORD(CREATE_NEW)}) {
        SCOPED_TRACE(disposition);
        std::filesystem::remove(sales);
        HANDLE file = Create(salesPath, disposition);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::string expected;
        for (int i = 0; i < 20000; ++i) {
            std::string line = "\"" + std::to_string(i) + "\"\r\n";
            ASSERT_TRUE(Write(file, line));
            expected += line;
        }
        std::string large(200 * 1024, 'x');
        ASSERT_TRUE(Write(file, large));
        ASSERT_TRUE(Write(file, "end"));
        expected += large + "end";
        ASSERT_TRUE(CloseHandle(file));
        EXPECT_EQ(Bytes(sales), expected);
    }
}

TEST_F(WritingTest, BytesWaitingInTheHandleAreLostWithAFailedCloseAndTheOldFileStays)
{
    for (FileOp op : {FileOp::Sync, FileOp::Rename}) {
        Put(sales, "old");
        FailFileOperation(op, 1, ERROR_DISK_FULL);
        HANDLE file = Create(salesPath, CREATE_ALWAYS);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(Write(file, std::string(1000, 'n')));
        EXPECT_FALSE(CloseHandle(file));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
        EXPECT_EQ(Bytes(sales), "old");
        EXPECT_EQ(Names(folder), std::set<std::string>{"Sales.csv"});
    }
}

TEST_F(WritingTest, ANewFileClearsOnlyTheCopiesAKilledProgramLeftBesideItsName)
{
    Put(sales, "old");
    const char* const left[] = {".Sales.csv.Ab12Cd", ".Sales.csv.zzzzzz", ".Sales.csv.000000"};
    const char* const kept[] = {
        ".Sales.csv.abc",     // not six characters
        ".Sales.csv.ab-cd!",  // not made by the device
        ".Sales.csv.ABCDEFG", // seven
        ".Other.csv.AAAAAA",  // another name's copy
        "Sales.csv.AAAAAA",   // not hidden
        ".Sales.csvxAAAAAA",  // no dot before the six
    };
    for (const char* name : left)
        Put(folder + "/" + name, "partial");
    for (const char* name : kept)
        Put(folder + "/" + name, "someone's");
    std::filesystem::create_directory(folder + "/.Sales.csv.FOLDER");

    HANDLE file = Create(salesPath, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Write(file, "new"));
    EXPECT_TRUE(CloseHandle(file));

    std::set<std::string> expected = {"Sales.csv", ".Sales.csv.FOLDER"};
    for (const char* name : kept)
        expected.insert(name);
    EXPECT_EQ(Names(folder), expected);
    EXPECT_EQ(Bytes(sales), "new");
    for (const char* name : kept)
        EXPECT_EQ(Bytes(folder + "/" + name), "someone's") << name;
}
