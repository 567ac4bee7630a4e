#include "platform/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
const STRINGRESOURCE strings[] = {{1, u"Zentally"}, {40027, u"A rather long message text"}};
const RESOURCEMODULE module = {strings, 2};
} // namespace

TEST(StringTable, CopiesIntoTheCallersBufferAndCutsToFit)
{
    HINSTANCE instance = RegisterResourceModule(&module);
    WCHAR buffer[350];
    EXPECT_EQ(LoadStringW(instance, 1, buffer, 350), 8);
    EXPECT_EQ(std::u16string(buffer), u"Zentally");

    WCHAR small[7];
    small[6] = u'#';
    EXPECT_EQ(LoadStringW(instance, 40027, small, 6), 5);
    EXPECT_EQ(std::u16string(small), u"A rat");
    EXPECT_EQ(small[6], u'#');
}

TEST(StringTable, AMissingStringGivesAnEmptyBufferAndAnError)
{
    HINSTANCE instance = RegisterResourceModule(&module);
    WCHAR buffer[16] = u"old";
    SetLastError(0);
    EXPECT_EQ(LoadStringW(instance, 2, buffer, 16), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_FOUND_RESOURCE));
    EXPECT_EQ(LoadStringW(instance, 1, nullptr, 16), 0);
}

TEST(StringTable, ABufferOfNoSizeReceivesTheReadOnlyText)
{
    HINSTANCE instance = RegisterResourceModule(&module);
    LPCWSTR text = nullptr;
    EXPECT_EQ(LoadStringW(instance, 1, reinterpret_cast<LPWSTR>(&text), 0), 8);
    EXPECT_EQ(text, strings[0].text);
}
