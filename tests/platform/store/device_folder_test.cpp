#include "platform/device.h"
#include "platform/windbase.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
struct DeviceFolderTest : ::testing::Test {
    std::string root;

    void SetUp() override
    {
        char pattern[] = "/tmp/zentally-device-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override
    {
        CloseDeviceFolder();
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

mode_t ModeOf(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

// Sets an environment variable for the life of the object.
struct Environment {
    std::string name;
    std::string old;
    bool had;
    Environment(const char* variable, const char* value) : name(variable)
    {
        const char* current = std::getenv(variable);
        had = current != nullptr;
        old = had ? current : "";
        if (value)
            setenv(variable, value, 1);
        else
            unsetenv(variable);
    }
    ~Environment()
    {
        if (had)
            setenv(name.c_str(), old.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
};
} // namespace

TEST_F(DeviceFolderTest, ANewFolderIsMadeAsANewDeviceHasItForItsUserAlone)
{
    std::string folder = root + "/deep/device";
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    EXPECT_EQ(DeviceFolder(), folder);
    EXPECT_EQ(DeviceStorePath(), folder + "/store.db");
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(folder + "/store.db") & 0077, 0u);
    EXPECT_TRUE(fs::is_regular_file(folder + "/store.db"));
    for (const char* sub :
         {"/files/My Documents/Business", "/files/My Documents/Personal", "/files/Windows"})
        EXPECT_TRUE(fs::is_directory(folder + sub)) << sub;
    CloseDeviceFolder();
    EXPECT_EQ(DeviceFolder(), "");
    EXPECT_EQ(DeviceStorePath(), "");
}

TEST_F(DeviceFolderTest, AFolderWithoutItsStoreIsANewDeviceThatKeepsItsFiles)
{
    std::string folder = root + "/device";
    fs::create_directories(folder + "/files/My Documents/Business");
    std::ofstream(folder + "/files/My Documents/Business/Sales.csv") << "kept";
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    EXPECT_TRUE(fs::is_directory(folder + "/files/Windows"));
    EXPECT_EQ(fs::file_size(folder + "/files/My Documents/Business/Sales.csv"), 4u);
}

TEST_F(DeviceFolderTest, AFolderTheUserRemovedStaysRemoved)
{
    std::string folder = root + "/device";
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    CloseDeviceFolder();
    fs::remove(folder + "/files/My Documents/Business");
    fs::remove(folder + "/files/Windows");
    for (DeviceFolderUse use : {DeviceFolderUse::CreateIfMissing, DeviceFolderUse::ExistingOnly}) {
        ASSERT_TRUE(OpenDeviceFolder(folder, &reason, use)) << reason;
        CloseDeviceFolder();
    }
    EXPECT_FALSE(fs::exists(folder + "/files/My Documents/Business"));
    EXPECT_FALSE(fs::exists(folder + "/files/Windows"));
    EXPECT_TRUE(fs::is_directory(folder + "/files/My Documents/Personal"));
}

TEST_F(DeviceFolderTest, OpeningOnlyAnExistingFolderCreatesNothing)
{
    std::string missing = root + "/missing";
    std::string reason;
    EXPECT_FALSE(OpenDeviceFolder(missing, &reason, DeviceFolderUse::ExistingOnly));
    EXPECT_NE(reason.find("does not exist"), std::string::npos) << reason;
    EXPECT_FALSE(fs::exists(missing));

    fs::create_directories(root + "/bare");
    EXPECT_FALSE(OpenDeviceFolder(root + "/bare", &reason, DeviceFolderUse::ExistingOnly));
    EXPECT_NE(reason.find("store.db"), std::string::npos) << reason;
    EXPECT_TRUE(fs::is_empty(root + "/bare"));

    ASSERT_TRUE(OpenDeviceFolder(root + "/made", &reason)) << reason;
    CloseDeviceFolder();
    EXPECT_TRUE(OpenDeviceFolder(root + "/made", &reason, DeviceFolderUse::ExistingOnly)) << reason;
}

TEST_F(DeviceFolderTest, AFolderThatCannotBeMadeOrUsedGivesOneLineOfReason)
{
    std::ofstream(root + "/plain") << "a file";
    struct {
        std::string dir;
        const char* says;
    } cases[] = {
        {"", "no device folder"},
        {root + "/plain", "not a folder"},
        {root + "/plain/device", "cannot"},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_FALSE(OpenDeviceFolder(c.dir, &reason)) << c.dir;
        EXPECT_NE(reason.find(c.says), std::string::npos) << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
        EXPECT_EQ(DeviceFolder(), "");
    }
    CEOID oid = 0;
    EXPECT_EQ(CeOpenDatabase(&oid, const_cast<LPWSTR>(u"Any"), 0, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANTOPEN));
}

TEST_F(DeviceFolderTest, AReadOnlyFolderIsRefused)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes anywhere";
    std::string folder = root + "/locked";
    fs::create_directories(folder);
    chmod(folder.c_str(), 0500);
    std::string reason;
    EXPECT_FALSE(OpenDeviceFolder(folder, &reason));
    EXPECT_NE(reason.find("cannot write"), std::string::npos) << reason;
    chmod(folder.c_str(), 0700);
}

TEST_F(DeviceFolderTest, ADamagedStoreDoesNotKeepTheFolderFromOpening)
{
    std::string folder = root + "/device";
    fs::create_directories(folder);
    std::ofstream(folder + "/store.db") << "garbage garbage garbage";
    std::string reason;
    EXPECT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    EXPECT_EQ(CeCreateDatabase(const_cast<LPWSTR>(u"Any"), 0, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BADDB));
}

TEST(DefaultDeviceFolder, FollowsTheDataHomeOfTheUser)
{
    {
        Environment data("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(DefaultDeviceFolder(), "/data/home/zentally");
    }
    Environment home("HOME", "/home/someone");
    for (const char* data : {static_cast<const char*>(nullptr), "", "relative/path"}) {
        Environment unset("XDG_DATA_HOME", data);
        EXPECT_EQ(DefaultDeviceFolder(), "/home/someone/.local/share/zentally");
    }
}

TEST_F(DeviceFolderTest, DevicePathsMapIntoTheFilesFolder)
{
    std::string folder = root + "/device";
    std::string reason;
    EXPECT_EQ(DeviceFilesPath(u"\\Windows"), "") << "no folder is open";
    ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
    std::string files = folder + "/files";
    struct {
        const char16_t* device;
        std::string host;
    } cases[] = {
        {u"\\My Documents\\Personal\\Sales.csv", files + "/My Documents/Personal/Sales.csv"},
        {u"\\my documents\\PERSONAL\\Sales.csv", files + "/My Documents/Personal/Sales.csv"},
        {u"/Windows//zentally.htc", files + "/Windows/zentally.htc"},
        {u"\\", files},
        {u"\\Caf\u00e9\\Menu", files + "/Caf\xc3\xa9/Menu"},
        {u"\\My Documents\\..\\..\\store.db", ""},
        {u"\\.\\Windows", ""},
        {u"\\half \xD800", ""},
        {nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeviceFilesPath(c.device), c.host);
}
