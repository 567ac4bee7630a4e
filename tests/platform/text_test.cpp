#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::u16string Format(LPCWSTR format, ...)
{
    WCHAR buffer[64];
    va_list args;
    va_start(args, format);
    wvnsprintfW(buffer, 64, format, args);
    va_end(args);
    return buffer;
}
} // namespace

TEST(FormattedText, WritesTheConversionsTheProgramUses)
{
    EXPECT_EQ(Format(u"%d,%02d", 2, 5), u"2,05");
    EXPECT_EQ(Format(u"%d", -2147483647 - 1), u"-2147483648");
    EXPECT_EQ(Format(u"%u", 4294967295u), u"4294967295");
    EXPECT_EQ(Format(u"%04u", 999u), u"0999");
    EXPECT_EQ(Format(u"%s-%s", u"05", u"03"), u"05-03");
    EXPECT_EQ(Format(u"%s %s", u"Cannot open", u"Ulmra Zentally"), u"Cannot open Ulmra Zentally");
    EXPECT_EQ(Format(u"%hs", "narrow"), u"narrow");
    EXPECT_EQ(Format(u"%X/%x", 0x1Fu, 0xABu), u"1F/ab");
    EXPECT_EQ(Format(u"%c%%", u'Z'), u"Z%");
    EXPECT_EQ(Format(u"[%5d][%-3d]", 42, 7), u"[   42][7  ]");
    EXPECT_EQ(Format(u"%s", u"\u00e9t\u00e9"), u"\u00e9t\u00e9");
}

TEST(FormattedText, IsCutAtTheDestinationNeverWrittenPast)
{
    WCHAR buffer[8];
    for (WCHAR& c : buffer)
        c = u'#';
    int written = wnsprintfW(buffer, 5, u"%s", u"abcdefghij");
    EXPECT_EQ(written, 4);
    EXPECT_EQ(std::u16string(buffer), u"abcd");
    EXPECT_EQ(buffer[5], u'#');

    WCHAR small[4];
    EXPECT_EQ(wsprintfW(small, u"%d", 123456), 3);
    EXPECT_EQ(std::u16string(small), u"123");

    EXPECT_EQ(wnsprintfW(buffer, 0, u"abc"), 0);
    EXPECT_EQ(buffer[0], u'a');
}

TEST(LeadingInteger, ReadsSignAndDigitsAndStopsAtTheFirstOther)
{
    struct {
        LPCWSTR text;
        int value;
    } cases[] = {
        {u"135", 135},
        {u"0075", 75},
        {u"-30", -30},
        {u"+7", 7},
        {u"  12abc", 12},
        {u"abc", 0},
        {u"", 0},
        {u"1,30", 1},
        {u"99999999999", 2147483647},
        {u"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(_wtoi(c.text), c.value) << "case " << (&c - cases);
    EXPECT_EQ(_wtoi(nullptr), 0);
}

TEST(CharacterClasses, LettersAndDigitsOfEveryScriptCount)
{
    const WORD alnum = _ALPHA | _DIGIT;
    EXPECT_TRUE(iswctype(WCHAR(u'a'), alnum));
    EXPECT_TRUE(iswctype(WCHAR(u'7'), alnum));
    EXPECT_TRUE(iswctype(WCHAR(u'\u00e9'), alnum));        // é
    EXPECT_TRUE(iswctype(WCHAR(u'\u0416'), alnum));        // Cyrillic Zhe
    EXPECT_TRUE(iswctype(WCHAR(u'\u65e5'), alnum));        // a CJK ideograph
    EXPECT_TRUE(iswctype(char32_t(U'\U0001D400'), alnum)); // mathematical bold A
    EXPECT_FALSE(iswctype(WCHAR(u' '), alnum));
    EXPECT_FALSE(iswctype(WCHAR(u'-'), alnum));
    EXPECT_FALSE(iswctype(WCHAR(u'\t'), alnum));
    EXPECT_TRUE(iswctype(WCHAR(u'\t'), _SPACE));
    EXPECT_TRUE(iswctype(WCHAR(u'-'), _PUNCT));
    EXPECT_TRUE(iswctype(WCHAR(u'\u00c9'), _UPPER));
}

TEST(CaseConversion, ConvertsInPlaceOrOneCharacter)
{
    WCHAR text[] = u"Job \u00e9t\u00e9 \u0416";
    EXPECT_EQ(CharUpperW(text), text);
    EXPECT_EQ(std::u16string(text), u"JOB \u00c9T\u00c9 \u0416");
    CharLowerW(text);
    EXPECT_EQ(std::u16string(text), u"job \u00e9t\u00e9 \u0436");
    auto single =
        reinterpret_cast<uintptr_t>(CharUpperW(reinterpret_cast<LPWSTR>(uintptr_t(u'q'))));
    EXPECT_EQ(single, uintptr_t(u'Q'));
}

TEST(Comparison, ComparesCodeUnitsAndCountsLength)
{
    EXPECT_EQ(wcscmp(u"Job", u"Job"), 0);
    EXPECT_LT(wcscmp(u"Job", u"job"), 0);
    EXPECT_LT(wcscmp(u"Job", u"Job2"), 0);
    EXPECT_GT(wcscmp(u"b", u"a"), 0);
    EXPECT_EQ(lstrlenW(u"abc"), 3);
    EXPECT_EQ(lstrlenW(nullptr), 0);
}
