// The date picker's messages: the date set and read back, what is refused, the range, the
// format and the text it shows, the font, and its look.
#include "tests/platform/date_picker/date_picker_fixture.h"

#include "platform/gdi.h"
#include "platform/window/date_picker/date_picker_format.h"

#include <QImage>

namespace date_picker_test
{
namespace
{
bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

TEST_F(DatePickerTest, ANewPickerShowsTodayWithNoTimeOfDay)
{
    HWND picker = MakePicker();
    SYSTEMTIME now = {}, shown = {};
    GetLocalTime(&now);
    ASSERT_EQ(Get(picker, &shown), GDT_VALID);
    EXPECT_TRUE(SameDay(shown, now));
    EXPECT_EQ(shown.wDayOfWeek, now.wDayOfWeek);
    EXPECT_EQ(shown.wHour + shown.wMinute + shown.wSecond + shown.wMilliseconds, 0);
}

TEST_F(DatePickerTest, ADateSetIsReadBackWithItsDayOfWeekAndTimeOfDay)
{
    HWND picker = MakePicker();
    SYSTEMTIME set = Date(2026, 12, 7, 13, 45, 30);
    set.wDayOfWeek = 5; // wrong on purpose: the picker works it out from the date
    set.wMilliseconds = 250;
    ASSERT_EQ(Set(picker, set), TRUE);
    SYSTEMTIME got = {};
    ASSERT_EQ(Get(picker, &got), GDT_VALID);
    EXPECT_EQ(got.wYear, 2026);
    EXPECT_EQ(got.wMonth, 12);
    EXPECT_EQ(got.wDay, 7);
    EXPECT_EQ(got.wDayOfWeek, 1) << "the 7th of December 2026 is a Monday";
    EXPECT_EQ(got.wHour, 13);
    EXPECT_EQ(got.wMinute, 45);
    EXPECT_EQ(got.wSecond, 30);
    EXPECT_EQ(got.wMilliseconds, 250);
}

struct DateCase {
    SYSTEMTIME time;
    bool accepted;
    const char* what;
};

SYSTEMTIME With(SYSTEMTIME st, WORD SYSTEMTIME::*field, WORD value)
{
    st.*field = value;
    return st;
}

TEST_F(DatePickerTest, OnlyRealDatesAreAccepted)
{
    const SYSTEMTIME base = Date(2026, 6, 15);
    const DateCase cases[] = {
        {Date(2026, 2, 30), false, "the 30th of February"},
        {Date(2026, 13, 1), false, "month 13"},
        {Date(2026, 0, 1), false, "month 0"},
        {Date(2026, 4, 31), false, "the 31st of April"},
        {Date(2026, 1, 0), false, "day 0"},
        {Date(2023, 2, 29), false, "the 29th of February of a common year"},
        {Date(2024, 2, 29), true, "the 29th of February of a leap year"},
        {Date(1600, 12, 31), false, "a year before 1601"},
        {Date(1601, 1, 1), true, "the first day a SYSTEMTIME names"},
        {Date(9999, 12, 31), true, "the last day of year 9999"},
        {Date(10000, 1, 1), false, "year 10000"},
        {Date(2026, 12, 31, 23, 59, 59), true, "the last second of a year"},
        {With(base, &SYSTEMTIME::wHour, 24), false, "hour 24"},
        {With(base, &SYSTEMTIME::wMinute, 60), false, "minute 60"},
        {With(base, &SYSTEMTIME::wSecond, 60), false, "second 60"},
        {With(base, &SYSTEMTIME::wMilliseconds, 1000), false, "1000 milliseconds"},
        {With(base, &SYSTEMTIME::wDayOfWeek, 9), true, "a day of the week out of range"},
    };
    HWND picker = MakePicker();
    for (const DateCase& c : cases) {
        ASSERT_EQ(Set(picker, Date(2020, 5, 5)), TRUE);
        EXPECT_EQ(Set(picker, c.time), c.accepted ? TRUE : FALSE) << c.what;
        SYSTEMTIME got = {};
        ASSERT_EQ(Get(picker, &got), GDT_VALID) << c.what;
        EXPECT_TRUE(SameDay(got, c.accepted ? c.time : Date(2020, 5, 5)))
            << c.what << ": a refused date leaves the picker's date as it was";
    }
}

TEST_F(DatePickerTest, BadFlagsAndMissingStructuresAreRefused)
{
    HWND picker = MakePicker();
    ASSERT_EQ(Set(picker, Date(2026, 3, 3)), TRUE);
    SYSTEMTIME other = Date(2027, 4, 4);
    EXPECT_EQ(SendMessageW(picker, DTM_SETSYSTEMTIME, 7, LPARAM(&other)), FALSE);
    EXPECT_EQ(SendMessageW(picker, DTM_SETSYSTEMTIME, WPARAM(GDT_ERROR), LPARAM(&other)), FALSE);
    EXPECT_EQ(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, 0), FALSE);
    EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, 0), GDT_ERROR);
    SYSTEMTIME got = {};
    ASSERT_EQ(Get(picker, &got), GDT_VALID);
    EXPECT_TRUE(SameDay(got, Date(2026, 3, 3)));
}

TEST_F(DatePickerTest, NoDateIsRefusedWithoutTheShowNoneStyle)
{
    HWND picker = MakePicker();
    ASSERT_EQ(Set(picker, Date(2026, 3, 3)), TRUE);
    EXPECT_EQ(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0), FALSE);
    SYSTEMTIME got = {};
    EXPECT_EQ(Get(picker, &got), GDT_VALID);
    EXPECT_TRUE(SameDay(got, Date(2026, 3, 3)));
}

TEST_F(DatePickerTest, APickerWithShowNoneCanHoldNoDate)
{
    HWND picker = MakePicker(PICKER_STYLE | DTS_SHOWNONE);
    ASSERT_EQ(Set(picker, Date(2026, 3, 3)), TRUE);
    ASSERT_EQ(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0), TRUE);
    SYSTEMTIME got = Date(1999, 9, 9);
    EXPECT_EQ(Get(picker, &got), GDT_NONE);
    EXPECT_TRUE(SameDay(got, Date(1999, 9, 9))) << "no date leaves the structure as it was";
    ASSERT_EQ(Set(picker, Date(2026, 4, 4)), TRUE);
    EXPECT_EQ(Get(picker, &got), GDT_VALID);
    EXPECT_TRUE(SameDay(got, Date(2026, 4, 4)));
}

TEST_F(DatePickerTest, TheProgramsOwnChangesSendNoNotification)
{
    HWND picker = MakePicker(PICKER_STYLE | DTS_SHOWNONE);
    Set(picker, Date(2026, 3, 3));
    Set(picker, Date(2026, 3, 4));
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0);
    SYSTEMTIME range[2] = {Date(2026, 1, 1), Date(2026, 1, 31)};
    SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, LPARAM(range));
    EXPECT_TRUE(Notes().empty());
}

TEST_F(DatePickerTest, TheBoxShowsTheShortDateAsItsText)
{
    HWND picker = MakePicker();
    ASSERT_EQ(Set(picker, Date(2026, 12, 7)), TRUE);
    EXPECT_EQ(Text(picker), u"07/12/2026");
    ASSERT_EQ(Set(picker, Date(2027, 1, 31)), TRUE);
    EXPECT_EQ(Text(picker), u"31/01/2027");
    EXPECT_EQ(GetWindowTextLengthW(picker), 10);
}

TEST_F(DatePickerTest, SettingTheTextIsRefusedAndTheDateStays)
{
    HWND picker = MakePicker();
    ASSERT_EQ(Set(picker, Date(2026, 12, 7)), TRUE);
    EXPECT_FALSE(SetWindowTextW(picker, u"01/01/2000"));
    EXPECT_EQ(Text(picker), u"07/12/2026");
    SYSTEMTIME got = {};
    Get(picker, &got);
    EXPECT_TRUE(SameDay(got, Date(2026, 12, 7)));
}

TEST_F(DatePickerTest, AFormatOfItsOwnChangesTheTextAndNullRestoresTheShortDate)
{
    HWND picker = MakePicker();
    Set(picker, Date(2026, 12, 7, 9, 5));
    ASSERT_EQ(SendMessageW(picker, DTM_SETFORMATW, 0, LPARAM(u"yyyy'-'MM'-'dd")), TRUE);
    EXPECT_EQ(Text(picker), u"2026-12-07");
    SendMessageW(picker, DTM_SETFORMATW, 0, 0);
    EXPECT_EQ(Text(picker), u"07/12/2026");
}

TEST(DatePickerFormat, FormatsWriteEachField)
{
    PickerTime time{QDate(2026, 12, 7), 21, 5, 9, 0};
    const struct {
        const char16_t* format;
        const char16_t* text;
    } cases[] = {
        {u"dd/MM/yyyy", u"07/12/2026"},
        {u"d/M/yy", u"7/12/26"},
        {u"y", u"6"},
        {u"ddd dd MMM", u"Mon 07 Dec"},
        {u"dddd, d MMMM yyyy", u"Monday, 7 December 2026"},
        {u"HH:mm:ss", u"21:05:09"},
        {u"h:m tt", u"9:5 PM"},
        {u"hh t", u"09 P"},
        {u"'day' d", u"day 7"},
        {u"'it''s' d", u"it's 7"},
        {u"''d''", u"'7'"},
        {u"'open", u"open"},
        {u"", u""},
        {u"x.d", u"x.7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatPickerTime(c.format, time), std::u16string(c.text))
            << std::string(c.format, c.format + std::char_traits<char16_t>::length(c.format))
                   .c_str();
}

TEST(DatePickerFormat, MidnightAndNoonOnTheTwelveHourClock)
{
    EXPECT_EQ(FormatPickerTime(u"h tt", PickerTime{QDate(2026, 1, 1), 0}), u"12 AM");
    EXPECT_EQ(FormatPickerTime(u"h tt", PickerTime{QDate(2026, 1, 1), 12}), u"12 PM");
}

TEST_F(DatePickerTest, TheRangeIsKeptReportedAndEnforced)
{
    HWND picker = MakePicker();
    ASSERT_EQ(Set(picker, Date(2026, 6, 15)), TRUE);
    SYSTEMTIME limits[2] = {Date(2026, 6, 1), Date(2026, 6, 30)};
    ASSERT_EQ(SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, LPARAM(limits)), TRUE);
    SYSTEMTIME read[2] = {};
    EXPECT_EQ(SendMessageW(picker, DTM_GETRANGE, 0, LPARAM(read)), GDTR_MIN | GDTR_MAX);
    EXPECT_TRUE(SameDay(read[0], limits[0]));
    EXPECT_TRUE(SameDay(read[1], limits[1]));

    EXPECT_EQ(Set(picker, Date(2026, 7, 1)), FALSE) << "after the last day";
    EXPECT_EQ(Set(picker, Date(2026, 5, 31)), FALSE) << "before the first day";
    EXPECT_EQ(Set(picker, Date(2026, 6, 30)), TRUE) << "the last day itself";

    // Only a minimum: the maximum goes.
    ASSERT_EQ(SendMessageW(picker, DTM_SETRANGE, GDTR_MIN, LPARAM(limits)), TRUE);
    EXPECT_EQ(SendMessageW(picker, DTM_GETRANGE, 0, LPARAM(read)), GDTR_MIN);
    EXPECT_EQ(Set(picker, Date(2030, 1, 1)), TRUE);
    ASSERT_EQ(SendMessageW(picker, DTM_SETRANGE, 0, 0), TRUE);
    EXPECT_EQ(SendMessageW(picker, DTM_GETRANGE, 0, LPARAM(read)), 0);
}

TEST_F(DatePickerTest, ANewRangeMovesTheDateInside)
{
    HWND picker = MakePicker();
    ASSERT_EQ(Set(picker, Date(2026, 12, 25)), TRUE);
    SYSTEMTIME limits[2] = {Date(2026, 1, 1), Date(2026, 11, 30)};
    ASSERT_EQ(SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, LPARAM(limits)), TRUE);
    SYSTEMTIME got = {};
    Get(picker, &got);
    EXPECT_TRUE(SameDay(got, Date(2026, 11, 30)));
    EXPECT_EQ(Text(picker), u"30/11/2026");
}

TEST_F(DatePickerTest, BadRangesAreRefusedAndChangeNothing)
{
    HWND picker = MakePicker();
    SYSTEMTIME good[2] = {Date(2026, 1, 1), Date(2026, 12, 31)};
    ASSERT_EQ(SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, LPARAM(good)), TRUE);
    SYSTEMTIME backwards[2] = {Date(2026, 12, 31), Date(2026, 1, 1)};
    SYSTEMTIME unreal[2] = {Date(2026, 2, 30), Date(2026, 12, 31)};
    EXPECT_EQ(SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, LPARAM(backwards)), FALSE);
    EXPECT_EQ(SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, LPARAM(unreal)), FALSE);
    EXPECT_EQ(SendMessageW(picker, DTM_SETRANGE, GDTR_MIN, 0), FALSE);
    EXPECT_EQ(SendMessageW(picker, DTM_SETRANGE, 4, LPARAM(good)), FALSE);
    EXPECT_EQ(SendMessageW(picker, DTM_GETRANGE, 0, 0), 0);
    SYSTEMTIME read[2] = {};
    EXPECT_EQ(SendMessageW(picker, DTM_GETRANGE, 0, LPARAM(read)), GDTR_MIN | GDTR_MAX);
    EXPECT_TRUE(SameDay(read[0], good[0]));
    EXPECT_TRUE(SameDay(read[1], good[1]));
}

TEST_F(DatePickerTest, TheFontSetIsTheFontReturned)
{
    HWND picker = MakePicker();
    EXPECT_EQ(SendMessageW(picker, WM_GETFONT, 0, 0), 0);
    LOGFONTW description = {};
    description.lfHeight = -13;
    HFONT font = CreateFontIndirectW(&description);
    ASSERT_NE(font, nullptr);
    SendMessageW(picker, WM_SETFONT, WPARAM(font), TRUE);
    EXPECT_EQ(HFONT(SendMessageW(picker, WM_GETFONT, 0, 0)), font);
    DestroyWindow(picker);
    DeleteObject(font);
}

TEST_F(DatePickerTest, TheBoxIsWhiteWithAFrameAndGreyWhenDisabled)
{
    HWND picker = MakePicker();
    ASSERT_EQ(Set(picker, Date(2026, 12, 7)), TRUE);
    QWidget* widget = WidgetOf(picker);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->size(), QSize(95, 22));
    QImage enabled = widget->grab().toImage();
    EXPECT_EQ(enabled.pixelColor(40, 2), QColor(Qt::white)) << "the box is white";
    EXPECT_NE(enabled.pixelColor(0, 10), QColor(Qt::white)) << "a frame goes round it";
    EXPECT_NE(enabled.pixelColor(88, 4), QColor(Qt::white)) << "the button is grey";

    EnableWindow(picker, FALSE);
    QImage disabled = widget->grab().toImage();
    EXPECT_NE(disabled.pixelColor(40, 2), QColor(Qt::white));
    EnableWindow(picker, TRUE);
    EXPECT_EQ(widget->grab().toImage().pixelColor(40, 2), QColor(Qt::white));
}
} // namespace
} // namespace date_picker_test
