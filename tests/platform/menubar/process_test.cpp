// CreateProcessW: the help viewer on a device file, and every other program refused.
#include "platform/device.h"
#include "platform/process/process_record.h"
#include "platform/winbase.h"
#include "platform/window/window_object.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace
{
class StartProgram : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureApplication());
        folder_ = std::filesystem::temp_directory_path() /
                  ("zentally-process-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(folder_.string(), &reason)) << reason;
        RecordedProcesses().clear();
    }
    void TearDown() override
    {
        TapHelpViewerClose();
        CloseDeviceFolder();
        std::filesystem::remove_all(folder_);
    }

    void WriteHelp(const std::string& text)
    {
        std::ofstream(folder_ / "files" / "Windows" / "guide.htc") << text;
    }

    BOOL Start(LPCWSTR program, std::u16string line, PROCESS_INFORMATION* info = nullptr)
    {
        return CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              nullptr, info);
    }

    std::filesystem::path folder_;
};

bool Contains(const std::u16string& text, const std::u16string& part)
{
    return text.find(part) != std::u16string::npos;
}
} // namespace

TEST_F(StartProgram, HelpViewerShowsTheDeviceFileNamedOnItsCommandLine)
{
    WriteHelp("<html><head><title>Guide</title></head><body><p>Tap New to begin.</p></body>"
              "</html>");
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(Start(u"peghelp.exe", u"\\Windows\\guide.htc", &info));
    ASSERT_NE(HelpViewerWidget(), nullptr);
    EXPECT_EQ(HelpViewerFile(), u"\\Windows\\guide.htc");
    EXPECT_TRUE(Contains(HelpViewerText(), u"Tap New to begin."));
    EXPECT_NE(info.dwProcessId, 0u);
    EXPECT_EQ(info.hProcess, nullptr) << "the viewer runs inside the device";
    ASSERT_EQ(RecordedProcesses().size(), 1u);
    EXPECT_EQ(RecordedProcesses()[0].program, u"peghelp.exe");
    EXPECT_EQ(RecordedProcesses()[0].args, u"\\Windows\\guide.htc");
    EXPECT_TRUE(RecordedProcesses()[0].started);
}

TEST_F(StartProgram, HelpViewerIsFoundWithoutCaseOrInItsFolderOrOnTheCommandLine)
{
    WriteHelp("<p>one</p>");
    EXPECT_TRUE(Start(u"PEGHELP.EXE", u"\\windows\\GUIDE.HTC"));
    EXPECT_TRUE(Contains(HelpViewerText(), u"one"));
    EXPECT_TRUE(Start(u"\\Windows\\peghelp.exe", u"\\Windows\\guide.htc"));
    EXPECT_TRUE(Start(nullptr, u"peghelp.exe \"\\Windows\\guide.htc\""));
    EXPECT_EQ(HelpViewerFile(), u"\\Windows\\guide.htc");
    ASSERT_EQ(RecordedProcesses().size(), 3u);
    EXPECT_EQ(RecordedProcesses()[2].program, u"peghelp.exe");
}

TEST_F(StartProgram, HelpViewerTellsOfAMissingFile)
{
    ASSERT_TRUE(Start(u"peghelp.exe", u"\\Windows\\none.htc"));
    EXPECT_TRUE(Contains(HelpViewerText(), u"cannot be found"));
    ASSERT_TRUE(Start(u"peghelp.exe", u"\\..\\outside.htc"));
    EXPECT_TRUE(Contains(HelpViewerText(), u"cannot be found")) << "no path out of the device";
}

TEST_F(StartProgram, OneViewerAtATimeAndItsCloseButtonClosesIt)
{
    WriteHelp("<p>first</p>");
    ASSERT_TRUE(Start(u"peghelp.exe", u"\\Windows\\guide.htc"));
    QWidget* viewer = HelpViewerWidget();
    ASSERT_TRUE(Start(u"peghelp.exe", u"\\Windows\\none.htc"));
    EXPECT_EQ(HelpViewerWidget(), viewer);
    EXPECT_TRUE(TapHelpViewerClose());
    EXPECT_EQ(HelpViewerWidget(), nullptr);
    EXPECT_EQ(HelpViewerFile(), u"");
    EXPECT_FALSE(TapHelpViewerClose());
}

TEST_F(StartProgram, OtherProgramsAreNotOnTheDevice)
{
    SetLastError(0);
    EXPECT_FALSE(Start(u"pword.exe", u"\\My Documents\\letter.doc"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(Start(nullptr, u"calc.exe"));
    EXPECT_FALSE(Start(u"peghelp.exe.bak", u""));
    EXPECT_EQ(HelpViewerWidget(), nullptr);
    ASSERT_EQ(RecordedProcesses().size(), 3u);
    EXPECT_FALSE(RecordedProcesses()[0].started);
    EXPECT_EQ(RecordedProcesses()[1].program, u"calc.exe");
}

TEST_F(StartProgram, NoProgramAtAllIsAnInvalidParameter)
{
    SetLastError(0);
    EXPECT_FALSE(CreateProcessW(nullptr, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                nullptr, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(Start(nullptr, u"   "));
}
