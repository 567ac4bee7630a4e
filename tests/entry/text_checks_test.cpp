#include "entry/shared_ui.h"
#include "entry/text_checks.h"
#include "entry/view_types.h"
#include "platform/aygshell.h"

#include <gtest/gtest.h>

#include <string>

TEST(TrimSpaces, RemovesOnlyLeadingAndTrailingSpaces)
{
    struct {
        LPCWSTR source, trimmed;
    } cases[] = {
        {u"  Job  ", u"Job"},
        {u"   ", u""},
        {u"", u""},
        {u"Week 12", u"Week 12"},
        {u"\tJob ", u"\tJob"},
        {u" a  b ", u"a  b"},
        {u"\u00a0x\u00a0", u"\u00a0x\u00a0"},
    };
    for (const auto& c : cases) {
        WCHAR out[32];
        int n = TrimSpaces(c.source, out);
        EXPECT_EQ(std::u16string(out), c.trimmed);
        EXPECT_EQ(n, int(std::u16string(c.trimmed).size()));
    }
}

TEST(TrimSpaces, MayTrimABufferInPlace)
{
    WCHAR text[] = u"  Reading ";
    EXPECT_EQ(TrimSpaces(text, text), 7);
    EXPECT_EQ(std::u16string(text), u"Reading");
}

TEST(CharacterChecks, AcceptLettersOfEveryScriptDigitsAndSpaces)
{
    EXPECT_TRUE(IsAlphanumericOrSpace(u"Week 12"));
    EXPECT_TRUE(IsAlphanumericOrSpace(u"R\u00e9sum\u00e9 \u041e\u0442\u0447\u0451\u0442"));
    EXPECT_TRUE(IsAlphanumericOrSpace(u"\U0001D400bc")); // a letter beyond the basic plane
    EXPECT_FALSE(IsAlphanumericOrSpace(u"week-12"));
    EXPECT_FALSE(IsAlphanumericOrSpace(u"a\tb"));
    EXPECT_FALSE(IsAlphanumericOrSpace(u"a.csv"));
    EXPECT_FALSE(IsAlphanumericOrSpace(u"\xd800x")); // a lone surrogate is no letter
    EXPECT_FALSE(IsAlphanumericOrSpace(u""));
    EXPECT_FALSE(IsAlphanumericOrSpace(nullptr));
}

TEST(CharacterChecks, StartsAlphanumericLooksAtTheFirstCharacterOnly)
{
    EXPECT_TRUE(StartsAlphanumeric(u"1st job"));
    EXPECT_TRUE(StartsAlphanumeric(u"\u00c9t\u00e9!"));
    EXPECT_FALSE(StartsAlphanumeric(u" Job"));
    EXPECT_FALSE(StartsAlphanumeric(u"-Job"));
    EXPECT_FALSE(StartsAlphanumeric(u""));
    EXPECT_FALSE(StartsAlphanumeric(nullptr));
}

TEST(DialogFont, AsksForTheCharacterHeightAtTheScreensResolution)
{
    HDC dc = GetDC(nullptr);
    struct {
        int points;
        LONG height;
    } cases[] = {{10, -13}, {8, -10}, {12, -16}, {9, -12}};
    for (const auto& c : cases) {
        HFONT font = CreateDialogFont(dc, u"Times New Roman", c.points, FW_EXTRABOLD, FALSE);
        LOGFONTW got;
        ASSERT_EQ(GetObjectW(font, sizeof(got), &got), int(sizeof(got)));
        EXPECT_EQ(got.lfHeight, c.height);
        EXPECT_EQ(got.lfWidth, 0);
        EXPECT_EQ(got.lfWeight, 800);
        EXPECT_EQ(got.lfItalic, 0);
        EXPECT_EQ(got.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(std::u16string(got.lfFaceName), u"Times New Roman");
        DeleteObject(font);
    }
    HFONT italic = CreateDialogFont(dc, u"Tahoma", 8, FW_NORMAL, TRUE);
    LOGFONTW got;
    GetObjectW(italic, sizeof(got), &got);
    EXPECT_EQ(got.lfItalic, 1);
    DeleteObject(italic);
    ReleaseDC(nullptr, dc);
}

TEST(InputPanelRoutines, LowerAndRaiseThePanel)
{
    ShowInputPanel();
    EXPECT_TRUE(IsInputPanelUp());
    HideInputPanel();
    EXPECT_FALSE(IsInputPanelUp());
}

TEST(ViewTypes, KeepTheirStoredValues)
{
    static_assert(DayMonthYearDash == 0 && DayMonthYearSlash == 1 && MonthDayYearDash == 2 &&
                  MonthDayYearSlash == 3);
    static_assert(CommaSeparated == 0 && ColonSeparated == 1);
    static_assert(MinutesOnly == 0 && HoursAndMinutes == 1 && HoursOnly == 2);
    EXPECT_EQ(DEFAULT_TIME_VIEW, ColonSeparated);
    EXPECT_EQ(DEFAULT_EXPORT_TIME, HoursAndMinutes);
}
