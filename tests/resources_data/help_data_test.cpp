// The user's guide built into the program, and its place on a device.
#include "resources/data/resource_data.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{
std::string Guide()
{
    return std::string(ZentallyHelpText, ZentallyHelpTextSize);
}

std::string Read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class HelpFile : public testing::Test
{
  protected:
    void SetUp() override
    {
        files_ = std::filesystem::temp_directory_path() /
                 ("zentally-help-" + std::to_string(::getpid())) / "files";
        std::filesystem::remove_all(files_.parent_path());
        std::filesystem::create_directories(files_);
    }
    void TearDown() override { std::filesystem::remove_all(files_.parent_path()); }

    std::filesystem::path Target() const { return files_ / "Windows" / "zentally.htc"; }

    std::filesystem::path files_;
};
} // namespace

TEST(UsersGuide, IsTheHelpFileWordForWord)
{
    EXPECT_EQ(Guide(), Read(ZENTALLY_HELP_SOURCE));
    EXPECT_EQ(ZentallyHelpText[ZentallyHelpTextSize], '\0');
}

TEST(UsersGuide, TellsOfEveryCommandOfTheMenus)
{
    std::string guide = Guide();
    for (const char* topic :
         {"<title>", "New...", "Undo Deleting", "Empty Undo Time records", "Edit Categories...",
          "Apply Rename and Delete to records", "Time Report...", "Export Time records...",
          "Delete by Range of Dates...", "View Options", "12", "29 characters"})
        EXPECT_NE(guide.find(topic), std::string::npos) << topic;
}

TEST_F(HelpFile, IsWrittenIntoTheWindowsFolderOfANewDevice)
{
    std::string reason;
    ASSERT_TRUE(InstallHelpFile(files_.string(), &reason)) << reason;
    EXPECT_EQ(Read(Target()), Guide());
    EXPECT_FALSE(std::filesystem::exists(files_ / "Windows" / "zentally.htc.new"));
}

TEST_F(HelpFile, ReplacesAnOlderGuideAndLeavesTheSameOneAlone)
{
    std::filesystem::create_directories(Target().parent_path());
    std::ofstream(Target()) << "an old guide";
    ASSERT_TRUE(InstallHelpFile(files_.string()));
    EXPECT_EQ(Read(Target()), Guide());
    auto written = std::filesystem::last_write_time(Target());
    ASSERT_TRUE(InstallHelpFile(files_.string()));
    EXPECT_EQ(std::filesystem::last_write_time(Target()), written);
}

TEST_F(HelpFile, FailsWithAReasonWhereTheFolderCannotBeMade)
{
    std::ofstream(files_ / "Windows") << "a file where the folder should be";
    std::string reason;
    EXPECT_FALSE(InstallHelpFile(files_.string(), &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(Read(files_ / "Windows"), "a file where the folder should be");
    EXPECT_FALSE(InstallHelpFile("", &reason));
}
