// The device's text converted for files read outside the device.
#include "platform/winnls.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct Converted {
    int result;
    std::string bytes;
    BOOL usedDefault;
};

Converted Convert(UINT codePage, const std::u16string& text, LPCSTR defaultChar = nullptr)
{
    BOOL used = 2;
    char buffer[64];
    int size =
        WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), buffer, sizeof buffer,
                            defaultChar, codePage == CP_UTF8 ? nullptr : &used);
    return {size, std::string(buffer, size > 0 ? size_t(size) : 0), used};
}
} // namespace

TEST(WideCharToMultiByte, EachCodePageHoldsWhatItCanAndMarksTheRest)
{
    // The ANSI code page gives one Windows-1252 byte for every code unit, '?' where it has none.
    struct {
        UINT codePage;
        std::u16string text;
        std::string bytes;
        BOOL usedDefault;
    } cases[] = {
        {CP_ACP, u"\"Job\",\"1:05\"\r\n", "\"Job\",\"1:05\"\r\n", FALSE},
        {CP_ACP, u"Caf\u00e9 \u00ff\u00a0", "Caf\xe9 \xff\xa0", FALSE},
        {CP_ACP, u"\u20ac\u201a\u0192\u2026\u0160\u2122\u0178", "\x80\x82\x83\x85\x8a\x99\x9f",
         FALSE},
        {CP_ACP, u"\u0081\u008d\u008f\u0090\u009d", "\x81\x8d\x8f\x90\x9d", FALSE},
        {CP_ACP, u"\u0080\u009f", "??", TRUE},
        {CP_ACP, u"\u0101 \u4e2d", "? ?", TRUE},
        {CP_ACP, u"a\U0001F600b", "a??b", TRUE},
        {CP_ACP, u"lone \xD800", "lone ?", TRUE},
        {CP_UTF8, u"a\u00e9\u20ac\U0001F600", "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", 2},
        {CP_UTF8, u"\xDC00x\xD800", "\xef\xbf\xbdx\xef\xbf\xbd", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Converted converted = Convert(c.codePage, c.text);
        EXPECT_EQ(converted.result, int(c.bytes.size()));
        EXPECT_EQ(converted.bytes, c.bytes);
        EXPECT_EQ(converted.usedDefault, c.usedDefault);
    }
    EXPECT_EQ(Convert(CP_ACP, u"\u4e2d!", "#").bytes, "#!");
}

TEST(WideCharToMultiByte, CountsMeasuresAndRefusesWithoutTouchingTheBuffer)
{
    const char16_t text[] = u"Sales";
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr), 6);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20ac", 1, nullptr, 0, nullptr, nullptr), 3);
    char terminated[8];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, terminated, 8, nullptr, nullptr), 6);
    EXPECT_STREQ(terminated, "Sales");

    BOOL used = FALSE;
    char out[4] = {'k', 'e', 'e', 'p'};
    struct {
        UINT codePage;
        DWORD flags;
        LPCWSTR text;
        int units;
        LPSTR out;
        int size;
        LPBOOL used;
        DWORD error;
    } refusals[] = {
        {1252 + 1, 0, text, 5, out, 4, nullptr, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, nullptr, 5, out, 4, nullptr, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, text, 0, out, 4, nullptr, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, text, -2, out, 4, nullptr, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, text, 5, out, -1, nullptr, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, text, 5, nullptr, 4, nullptr, ERROR_INVALID_PARAMETER},
        {CP_UTF8, 0, text, 5, out, 4, &used, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0x400, text, 5, out, 4, nullptr, ERROR_INVALID_FLAGS},
        {CP_ACP, 0, text, 5, out, 4, nullptr, ERROR_INSUFFICIENT_BUFFER},
        {CP_UTF8, 0, u"\u20ac\u20ac", 2, out, 4, nullptr, ERROR_INSUFFICIENT_BUFFER},
    };
    for (const auto& c : refusals) {
        SCOPED_TRACE(testing::Message() << "case " << &c - refusals);
        SetLastError(0);
        EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.text, c.units, c.out, c.size, nullptr,
                                      c.used),
                  0);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(std::string(out, 4), "keep");
    }
}

TEST(MultiByteToWideChar, ReadsEveryByteBackAsTheOtherWayWroteIt)
{
    // All 256 bytes: each one code unit, and converted back each the same byte again.
    std::string every;
    for (int b = 1; b < 256; ++b)
        every.push_back(static_cast<char>(b));
    std::u16string text(every.size(), u'\0');
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, every.data(), int(every.size()), text.data(),
                                  int(text.size())),
              int(every.size()));
    EXPECT_EQ(text.substr(0, 3), u"\x01\x02\x03");
    EXPECT_EQ(text[0x80 - 1], u'\u20ac');
    EXPECT_EQ(text[0x9f - 1], u'\u0178');
    EXPECT_EQ(text[0xe9 - 1], u'\u00e9');
    std::string back(every.size(), '\0');
    BOOL used = TRUE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), back.data(),
                                  int(back.size()), nullptr, &used),
              int(every.size()));
    EXPECT_EQ(back, every);
    EXPECT_FALSE(used);

    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "Job", -1, nullptr, 0), 4);
    char16_t out[4] = {u'k', u'e', u'e', u'p'};
    struct {
        UINT codePage;
        DWORD flags;
        LPCSTR bytes;
        int size;
        LPWSTR out;
        int units;
        DWORD error;
    } refusals[] = {
        {CP_UTF8, 0, "Job", 3, out, 4, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, nullptr, 3, out, 4, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, "Job", 0, out, 4, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, "Job", -2, out, 4, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, "Job", 3, nullptr, 4, ERROR_INVALID_PARAMETER},
        {CP_ACP, 0, "Job", 3, out, -1, ERROR_INVALID_PARAMETER},
        {CP_ACP, 1, "Job", 3, out, 4, ERROR_INVALID_FLAGS},
        {CP_ACP, 0, "Jobs!", 5, out, 4, ERROR_INSUFFICIENT_BUFFER},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(testing::Message() << "refusal " << &r - refusals);
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(r.codePage, r.flags, r.bytes, r.size, r.out, r.units), 0);
        EXPECT_EQ(GetLastError(), r.error);
        EXPECT_EQ(std::u16string(out, 4), u"keep");
    }
}
