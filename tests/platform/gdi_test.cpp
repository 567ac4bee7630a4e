#include "platform/gdi.h"

#include <gtest/gtest.h>

#include <string>

TEST(Fonts, KeepTheDescriptionTheyWereMadeFrom)
{
    LOGFONTW wanted = {};
    wanted.lfHeight = -13;
    wanted.lfWeight = FW_EXTRABOLD;
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::u16string face = u"Times New Roman";
    face.copy(wanted.lfFaceName, face.size());
    HFONT font = CreateFontIndirectW(&wanted);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetObjectW(font, 0, nullptr), int(sizeof(LOGFONTW)));
    LOGFONTW got;
    EXPECT_EQ(GetObjectW(font, sizeof(got), &got), int(sizeof(LOGFONTW)));
    EXPECT_EQ(got.lfHeight, -13);
    EXPECT_EQ(got.lfWeight, 800);
    EXPECT_EQ(std::u16string(got.lfFaceName), face);
    EXPECT_TRUE(DeleteObject(font));
}

TEST(Fonts, AFreedOrUnknownObjectIsRefused)
{
    LOGFONTW wanted = {};
    for (WCHAR& c : wanted.lfFaceName)
        c = u'x'; // no terminator: the face must be cut, not read past
    HFONT font = CreateFontIndirectW(&wanted);
    LOGFONTW got;
    GetObjectW(font, sizeof(got), &got);
    EXPECT_EQ(std::u16string(got.lfFaceName).size(), size_t(LF_FACESIZE - 1));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_EQ(GetObjectW(font, sizeof(got), &got), 0);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
}

TEST(DeviceContext, ReportsNinetySixPixelsPerInch)
{
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
}
