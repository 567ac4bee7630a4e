// The scripted user's `date` on the platform's date picker: the calendar is opened, turned and
// tapped as a person does, so the program hears what a person's taps send.
#include "device/screen/screen.h"
#include "device/script/script.h"
#include "device/script/scripted_user.h"
#include "platform/commctrl.h"
#include "platform/window/date_picker/date_picker_access.h"
#include "platform/window/window_object.h"

#include <QCalendarWidget>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace
{
const int PickerId = 1007;
const int UpDownId = 1008;

struct Heard {
    UINT code;
    SYSTEMTIME st;
};

std::vector<Heard>& Log()
{
    static std::vector<Heard> log;
    return log;
}

LRESULT MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        Heard heard{header->code, {}};
        if (header->code == DTN_DATETIMECHANGE)
            heard.st = reinterpret_cast<const NMDATETIMECHANGE*>(header)->st;
        Log().push_back(heard);
        return 0;
    }
    case 1023: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void EndForTest(int code)
{
    PostQuitMessage(code);
}

struct Played {
    std::string output;
    int code;
};

class DatePickerScript : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureApplication());
        DeviceOptions options;
        std::string reason;
        ASSERT_TRUE(CreateDeviceScreen(options, &reason)) << reason;
        WNDCLASSW wc{};
        wc.lpfnWndProc = MainProc;
        wc.lpszClassName = u"Zentally";
        RegisterClassW(&wc); // once for the whole run
        main_ = CreateWindowExW(0, u"Zentally", u"Zentally", WS_VISIBLE, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(main_);
        SetForegroundWindow(main_);
        picker_ = CreateWindowExW(0, DATETIMEPICK_CLASSW, u"", WS_CHILD | WS_VISIBLE, 75, 32, 95,
                                  22, main_, HMENU(intptr_t(PickerId)), nullptr, nullptr);
        ASSERT_TRUE(picker_);
        HWND upDown =
            CreateWindowExW(0, DATETIMEPICK_CLASSW, u"", WS_CHILD | WS_VISIBLE | DTS_UPDOWN, 75, 60,
                            95, 22, main_, HMENU(intptr_t(UpDownId)), nullptr, nullptr);
        ASSERT_TRUE(upDown);
        SYSTEMTIME start{2026, 12, 0, 7, 0, 0, 0, 0};
        SendMessageW(picker_, DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&start));
        SetScriptEnder(EndForTest);
        Log().clear();
    }

    void TearDown() override
    {
        SetScriptEnder(nullptr);
        for (HWND window : AllWindows())
            DestroyWindow(window);
        MSG message;
        while (QuitPosted())
            GetMessageW(&message, nullptr, 0, 0);
        DestroyDeviceScreen();
        Log().clear();
    }

    Played Play(const std::string& script)
    {
        std::vector<ScriptLine> lines;
        int badLine = 0, lineCount = 0;
        std::string reason;
        EXPECT_TRUE(ParseScript(script, &lines, &badLine, &reason, &lineCount)) << reason;
        std::ostringstream out;
        SetScriptOutput(&out);
        StartScriptedUser(lines, lineCount);
        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0))
            DispatchMessageW(&message);
        Played played{std::string(), FinishScriptedUser(int(message.wParam))};
        SetScriptOutput(nullptr);
        played.output = out.str();
        return played;
    }

    std::vector<UINT> Codes() const
    {
        std::vector<UINT> codes;
        for (const Heard& heard : Log())
            codes.push_back(heard.code);
        return codes;
    }

    HWND main_ = nullptr;
    HWND picker_ = nullptr;
};

TEST_F(DatePickerScript, ADayIsChosenWithTheCalendarsOwnNotifications)
{
    // The windows go with the run's end, so the date is read from the notification.
    Played played = Play("date 1007 2027-03-15\n");
    EXPECT_EQ(played.code, 0) << played.output;
    ASSERT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP, DTN_DATETIMECHANGE}));
    const SYSTEMTIME& chosen = Log()[2].st;
    EXPECT_EQ(chosen.wYear, 2027);
    EXPECT_EQ(chosen.wMonth, 3);
    EXPECT_EQ(chosen.wDay, 15);
}

TEST_F(DatePickerScript, DaysMonthsBackAndYearsAheadAreReached)
{
    Played played = Play("date 1007 2026-01-31\ndate 1007 2029-02-28\n");
    EXPECT_EQ(played.code, 0) << played.output;
    std::vector<SYSTEMTIME> changes;
    for (const Heard& heard : Log())
        if (heard.code == DTN_DATETIMECHANGE)
            changes.push_back(heard.st);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].wYear * 10000 + changes[0].wMonth * 100 + changes[0].wDay, 20260131);
    EXPECT_EQ(changes[1].wYear * 10000 + changes[1].wMonth * 100 + changes[1].wDay, 20290228);
}

TEST_F(DatePickerScript, AnotherYearIsTypedIntoTheCalendarNotTurnedToMonthByMonth)
{
    // The calendar is made at its first opening: it is opened once to count the pages it shows.
    const WPARAM f4 = 0x73;
    SendMessageW(picker_, WM_KEYDOWN, f4, 0);
    QCalendarWidget* calendar = DatePickerOpenCalendar(picker_);
    ASSERT_NE(calendar, nullptr);
    calendar->window()->close();
    ASSERT_EQ(DatePickerOpenCalendar(picker_), nullptr);
    int pages = 0;
    QObject::connect(calendar, &QCalendarWidget::currentPageChanged, [&pages] { ++pages; });
    Log().clear();
    Played played = Play("date 1007 2126-06-15\n");
    EXPECT_EQ(played.code, 0) << played.output;
    ASSERT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP, DTN_DATETIMECHANGE}));
    const SYSTEMTIME& chosen = Log()[2].st;
    EXPECT_EQ(chosen.wYear * 10000 + chosen.wMonth * 100 + chosen.wDay, 21260615);
    EXPECT_LE(pages, 1 + 1 + 6) << "the opening's month, the year typed, then six months back";
}

TEST_F(DatePickerScript, ADayOutsideThePickersRangeIsAnError)
{
    SYSTEMTIME limits[2] = {{2026, 1, 0, 1, 0, 0, 0, 0}, {2026, 12, 0, 31, 0, 0, 0, 0}};
    SendMessageW(picker_, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, LPARAM(limits));
    Played played = Play("date 1007 2027-01-01\n");
    EXPECT_EQ(played.code, 2);
    EXPECT_NE(played.output.find("offers the days from 2026-01-01 to 2026-12-31 only"),
              std::string::npos)
        << played.output;
    EXPECT_TRUE(Log().empty()) << "nothing was tapped";
}

TEST_F(DatePickerScript, AnUpDownPickerHasNoCalendarToOpen)
{
    Played played = Play("date 1008 2026-05-05\n");
    EXPECT_EQ(played.code, 2);
    EXPECT_NE(played.output.find("has no calendar to open"), std::string::npos) << played.output;
}

TEST_F(DatePickerScript, AGreyedPickerIsRefused)
{
    EnableWindow(picker_, FALSE);
    Played played = Play("date 1007 2026-05-05\n");
    EXPECT_EQ(played.code, 2);
    EXPECT_TRUE(Log().empty());
}
} // namespace
