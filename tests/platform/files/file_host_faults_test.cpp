// A replaced file under the host's own failures, not injected ones: a folder that refuses new
// entries before or during the writing, an old file made read-only while the new one is written,
// a disk that fills up half way through a write or at the close, the folder removed. Each is
// reported, and the old file is there byte for byte with nothing beside it.
#include "tests/platform/files/file_fixture.h"
#include "tests/platform/files/modes_obeyed.h"

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace
{
const WCHAR salesPath[] = u"\\My Documents\\Business\\Sales.csv";
const std::string oldBytes = "\"Date\",\"Category\"\r\n\"old\",\"kept\"\r\n";

// Files of this process may grow to `bytes` while it lives; a write past it fails as on a full
// disk (EFBIG, its signal ignored).
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        signal_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, signal_);
    }

  private:
    rlimit saved_ = {};
    void (*signal_)(int) = nullptr;
};

struct HostFaultTest : SalesFileTest {
};

BOOL WriteBytes(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}
} // namespace

TEST_F(HostFaultTest, AReplacementTheHostRefusesLeavesTheOldFileAndNothingBesideIt)
{
    const std::string line(100, 'n');
    const std::string large(300 * 1024, 'x');
    struct Case {
        const char* what;
        std::function<void(HostFaultTest&)> before; // before CreateFileW
        std::function<void(HostFaultTest&)> during; // after the first write
        std::string lastWrite;                      // written after `during`
        rlim_t sizeLimit;                           // 0: none
        bool created, lastWritten;
        DWORD error;
        // A folder shut while writing keeps the new file's entry too: nothing can be taken out
        // of it. The entry is hidden, and the only one beside the old file.
        bool entryStays = false;
    };
    auto shut = [](HostFaultTest& t) { chmod(t.folder.c_str(), 0500); };
    auto readOnly = [](HostFaultTest& t) { chmod(t.sales.c_str(), 0400); };
    auto nothing = [](HostFaultTest&) {};
    const Case cases[] = {
        {"the folder refuses new entries", shut, nothing, line, 0, false, false,
         ERROR_ACCESS_DENIED},
        {"the old file is read-only", readOnly, nothing, line, 0, false, false,
         ERROR_ACCESS_DENIED},
        {"the folder is shut while writing", nothing, shut, line, 0, true, true,
         ERROR_ACCESS_DENIED, true},
        {"the old file is made read-only while writing", nothing, readOnly, line, 0, true, true,
         ERROR_ACCESS_DENIED},
        {"the disk fills up half way through a write", nothing, nothing, large, 100 * 1024, true,
         false, ERROR_DISK_FULL},
        {"the disk fills up at the close", nothing, nothing, line, 150, true, true,
         ERROR_DISK_FULL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        chmod(folder.c_str(), 0700);
        std::filesystem::remove(sales);
        Put(sales, oldBytes);
        chmod(sales.c_str(), 0600);
        const std::set<std::string> names = Names(folder);
        {
            ModesObeyed obeyed;
            c.before(*this);
            HANDLE file = CreateFileW(salesPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_EQ(file != INVALID_HANDLE_VALUE, c.created);
            if (!c.created) {
                EXPECT_EQ(GetLastError(), c.error);
            } else {
                std::unique_ptr<FileSizeLimit> limit;
                if (c.sizeLimit)
                    limit = std::make_unique<FileSizeLimit>(c.sizeLimit);
                EXPECT_TRUE(WriteBytes(file, line));
                c.during(*this);
                EXPECT_EQ(WriteBytes(file, c.lastWrite), c.lastWritten);
                if (!c.lastWritten) {
                    EXPECT_EQ(GetLastError(), c.error);
                }
                SetLastError(0);
                EXPECT_FALSE(CloseHandle(file));
                EXPECT_EQ(GetLastError(), c.error);
            }
        }
        chmod(folder.c_str(), 0700);
        EXPECT_EQ(Bytes(sales), oldBytes);
        std::set<std::string> left = Names(folder);
        if (c.entryStays) {
            ASSERT_EQ(left.size(), names.size() + 1);
            for (const std::string& name : names)
                left.erase(name);
            EXPECT_EQ(left.begin()->rfind(".Sales.csv.", 0), 0u) << *left.begin();
            std::filesystem::remove(folder + "/" + *left.begin());
            left = Names(folder);
        }
        EXPECT_EQ(left, names);
    }
}

TEST_F(HostFaultTest, AFileWhoseFolderIsRemovedWhileWritingFailsAndMakesNothingAgain)
{
    Put(sales, oldBytes);
    HANDLE file = CreateFileW(salesPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteBytes(file, "new"));
    std::filesystem::remove_all(folder);
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(std::filesystem::exists(folder));
}
