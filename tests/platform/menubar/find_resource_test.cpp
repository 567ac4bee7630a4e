// Finding and loading resources by kind and name, and the pictures of bitmaps and icons.
#include "platform/menubar/menu_object.h"
#include "platform/resources/pictures.h"
#include "platform/resources/resource_lookup.h"
#include "platform/window/window_object.h"
#include "tests/platform/menubar/test_module.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace test_module;

TEST(FindResource, FindsEachKindByNumberAndTheProgramsOwnKindsByName)
{
    HINSTANCE instance = Instance();
    EXPECT_NE(FindResourceW(instance, MAKEINTRESOURCEW(MENU), RT_MENU), nullptr);
    EXPECT_NE(FindResourceW(instance, MAKEINTRESOURCEW(MENU), RT_RCDATA), nullptr);
    EXPECT_NE(FindResourceW(instance, MAKEINTRESOURCEW(BITMAP), RT_BITMAP), nullptr);
    EXPECT_NE(FindResourceW(instance, MAKEINTRESOURCEW(ICON), RT_ICON), nullptr);
    EXPECT_NE(FindResourceW(instance, MAKEINTRESOURCEW(DIALOG), RT_DIALOG), nullptr);
    EXPECT_NE(FindResourceW(instance, u"TINY_CHIME", u"WAVE"), nullptr);
    EXPECT_NE(FindResourceW(instance, MAKEINTRESOURCEW(12), u"WAVE"), nullptr);
}

TEST(FindResource, MatchesTextNamesWithoutCaseAndNumbersWrittenAsText)
{
    HINSTANCE instance = Instance();
    HRSRC chime = FindResourceW(instance, u"TINY_CHIME", u"WAVE");
    EXPECT_EQ(FindResourceW(instance, u"tiny_chime", u"wave"), chime);
    EXPECT_EQ(FindResourceW(instance, u"#7", RT_MENU),
              FindResourceW(instance, MAKEINTRESOURCEW(MENU), RT_MENU));
    EXPECT_EQ(FindResourceW(instance, u"#12", u"WAVE"),
              FindResourceW(instance, MAKEINTRESOURCEW(12), u"WAVE"));
}

TEST(FindResource, RefusesUnknownNamesKindsAndModules)
{
    HINSTANCE instance = Instance();
    SetLastError(0);
    EXPECT_EQ(FindResourceW(instance, MAKEINTRESOURCEW(999), RT_MENU), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceW(instance, MAKEINTRESOURCEW(BITMAP), RT_MENU), nullptr);
    EXPECT_EQ(FindResourceW(instance, u"TINY_CHIME", u"MIDI"), nullptr);
    EXPECT_EQ(FindResourceW(instance, u"#x7", RT_MENU), nullptr);
    EXPECT_EQ(FindResourceW(instance, u"#", RT_MENU), nullptr);
    EXPECT_EQ(FindResourceW(instance, nullptr, RT_MENU), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(MENU), RT_MENU), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    RESOURCEMODULE stringsOnly = {nullptr, 0};
    EXPECT_EQ(FindResourceW(RegisterResourceModule(&stringsOnly), MAKEINTRESOURCEW(MENU), RT_MENU),
              nullptr);
}

TEST(LoadResource, GivesTheBytesOfTheResourceAndItsSize)
{
    HINSTANCE instance = Instance();
    HRSRC found = FindResourceW(instance, u"TINY_CHIME", u"WAVE");
    HGLOBAL loaded = LoadResource(instance, found);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(LockResource(loaded), static_cast<const void*>(tinyWave));
    EXPECT_EQ(SizeofResource(instance, found), DWORD(sizeof(tinyWave)));

    HRSRC dialog = FindResourceW(instance, MAKEINTRESOURCEW(DIALOG), RT_DIALOG);
    EXPECT_EQ(LockResource(LoadResource(instance, dialog)), static_cast<const void*>(dialogBytes));
    EXPECT_EQ(SizeofResource(instance, dialog), DWORD(sizeof(dialogBytes)));
}

TEST(LoadResource, RemembersTheNameOfWhatWasLoadedAtAnAddress)
{
    HINSTANCE instance = Instance();
    const void* data =
        LockResource(LoadResource(instance, FindResourceW(instance, u"tiny_chime", u"WAVE")));
    std::u16string name;
    size_t size = 0;
    ASSERT_TRUE(LoadedResourceAt(data, &name, &size));
    EXPECT_EQ(size, sizeof(tinyWave));
    EXPECT_EQ(name, u"TINY_CHIME") << "the resource's own name, however it was asked for";
    // Two resources sharing their bytes: the one loaded last names them.
    LoadResource(instance, FindResourceW(instance, MAKEINTRESOURCEW(12), u"WAVE"));
    ASSERT_TRUE(LoadedResourceAt(data, &name, nullptr));
    EXPECT_EQ(name, u"#12");
    EXPECT_FALSE(LoadedResourceAt(notAWave, nullptr, nullptr));
    EXPECT_FALSE(LoadedResourceAt(nullptr, nullptr, nullptr));
}

TEST(LoadResource, RefusesMadeUpHandlesAndAnotherModule)
{
    HINSTANCE instance = Instance();
    int notAResource = 0;
    SetLastError(0);
    EXPECT_EQ(LoadResource(instance, reinterpret_cast<HRSRC>(&notAResource)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(LoadResource(instance, nullptr), nullptr);
    EXPECT_EQ(SizeofResource(instance, reinterpret_cast<HRSRC>(&notAResource)), DWORD(0));

    RESOURCEMODULE other = {nullptr, 0};
    HRSRC found = FindResourceW(instance, u"TINY_CHIME", u"WAVE");
    EXPECT_EQ(LoadResource(RegisterResourceModule(&other), found), nullptr);
    EXPECT_NE(LoadResource(nullptr, found), nullptr) << "a null module is the program's own";
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST(LoadBitmap, DrawsThePicturesSideBySideAsTheRowsSay)
{
    HBITMAP bitmap = LoadBitmapW(Instance(), MAKEINTRESOURCEW(BITMAP));
    ASSERT_NE(bitmap, nullptr);
    QImage image = ImageOfBitmap(bitmap);
    ASSERT_EQ(image.size(), QSize(8, 4));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 255, 255)) << "a bitmap is opaque";
    EXPECT_EQ(image.pixel(2, 1), qRgb(255, 0, 0));
    for (int x = 4; x < 8; ++x)
        EXPECT_EQ(image.pixel(x, 3), qRgb(255, 255, 255)) << "null rows: all the first colour";
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(ImageOfBitmap(bitmap).isNull());
}

TEST(LoadBitmap, RefusesMalformedPicturesAndUnknownBitmaps)
{
    SetLastError(0);
    EXPECT_EQ(LoadBitmapW(Instance(), MAKEINTRESOURCEW(BROKEN_BITMAP)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    EXPECT_EQ(LoadBitmapW(Instance(), MAKEINTRESOURCEW(BROKEN_BITMAP + 1)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    EXPECT_EQ(LoadBitmapW(Instance(), MAKEINTRESOURCEW(77)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(BITMAP)), nullptr);
    EXPECT_EQ(LoadBitmapW(Instance(), nullptr), nullptr);
}

TEST(LoadIcon, GivesOneSharedIconWithEverySizeAndItsClearPixels)
{
    HICON icon = LoadIconW(Instance(), MAKEINTRESOURCEW(ICON));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(Instance(), MAKEINTRESOURCEW(ICON)), icon);
    QImage big = IconImage(icon, 32);
    ASSERT_EQ(big.size(), QSize(4, 4));
    EXPECT_EQ(qAlpha(big.pixel(0, 0)), 0);
    EXPECT_EQ(big.pixel(1, 1), qRgba(255, 0, 0, 255));
    EXPECT_EQ(IconImage(icon, 2).size(), QSize(2, 2));
    EXPECT_TRUE(IconImage(reinterpret_cast<HICON>(&big), 16).isNull());
}

TEST(LoadIcon, RefusesMalformedAndUnknownIcons)
{
    SetLastError(0);
    EXPECT_EQ(LoadIconW(Instance(), MAKEINTRESOURCEW(ICON + 1)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    EXPECT_EQ(LoadIconW(Instance(), MAKEINTRESOURCEW(ICON + 1)), nullptr) << "and again";
    EXPECT_EQ(LoadIconW(Instance(), MAKEINTRESOURCEW(40)), nullptr);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(ICON)), nullptr);
}

class LoadMenu : public testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(EnsureApplication()); }
};

TEST_F(LoadMenu, MakesTheMenuWithItsPopupsAndTheirStates)
{
    HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(MENU));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_NE(file, nullptr);
    std::vector<MenuItemView> items = MenuItems(file);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].command, UINT(CMD_OPEN));
    EXPECT_EQ(items[0].text, u"Open...");
    EXPECT_FALSE(items[0].grayed);
    EXPECT_TRUE(items[1].grayed);
    EXPECT_TRUE(items[2].separator);
    EXPECT_EQ(items[3].text, u"Quit");
    EXPECT_TRUE(MenuItems(GetSubMenu(menu, 1))[0].checked);
    EXPECT_EQ(GetSubMenu(menu, 2), nullptr);
    EXPECT_EQ(GetSubMenu(file, 0), nullptr) << "not a pop-up item";
    EXPECT_TRUE(DestroyMenu(menu));
}

TEST_F(LoadMenu, EnableMenuItemGreysByCommandInPopupsAndReturnsThePreviousState)
{
    HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(MENU));
    HMENU file = GetSubMenu(menu, 0);
    EXPECT_EQ(EnableMenuItem(menu, CMD_OPEN, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_TRUE(MenuItems(file)[0].grayed);
    EXPECT_EQ(EnableMenuItem(file, CMD_OPEN, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_FALSE(MenuItems(file)[0].grayed);
    EXPECT_EQ(EnableMenuItem(file, 1, MF_BYPOSITION | MF_ENABLED), MF_GRAYED);
    EXPECT_FALSE(MenuItems(file)[1].grayed);
    EXPECT_EQ(EnableMenuItem(file, CMD_QUIT, MF_DISABLED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(file, CMD_QUIT, MF_ENABLED), MF_DISABLED);
    DestroyMenu(menu);
}

TEST_F(LoadMenu, UnknownItemsMenusAndSeparatorsGiveMinusOne)
{
    HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(MENU));
    HMENU file = GetSubMenu(menu, 0);
    EXPECT_EQ(DWORD(EnableMenuItem(file, 4242, MF_GRAYED)), 0xFFFFFFFFu);
    EXPECT_EQ(DWORD(EnableMenuItem(file, 2, MF_BYPOSITION | MF_GRAYED)), 0xFFFFFFFFu);
    EXPECT_EQ(DWORD(EnableMenuItem(file, 9, MF_BYPOSITION | MF_GRAYED)), 0xFFFFFFFFu);
    EXPECT_EQ(DWORD(EnableMenuItem(nullptr, CMD_OPEN, MF_GRAYED)), 0xFFFFFFFFu);
    EXPECT_EQ(CheckMenuItem(file, 4242, MF_CHECKED), 0xFFFFFFFFu);
    DestroyMenu(menu);
    EXPECT_EQ(DWORD(EnableMenuItem(file, CMD_OPEN, MF_GRAYED)), 0xFFFFFFFFu)
        << "the pop-ups die with their menu";
    EXPECT_EQ(GetMenuItemCount(file), -1);
}

TEST_F(LoadMenu, CheckMenuItemChecksAndReturnsThePreviousState)
{
    HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(MENU));
    HMENU edit = GetSubMenu(menu, 1);
    EXPECT_EQ(CheckMenuItem(edit, CMD_COPY, MF_UNCHECKED), DWORD(MF_CHECKED));
    EXPECT_FALSE(MenuItems(edit)[0].checked);
    EXPECT_EQ(CheckMenuItem(menu, CMD_PASTE, MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_TRUE(MenuItems(edit)[1].checked);
    // Greying keeps the check.
    EnableMenuItem(edit, CMD_PASTE, MF_GRAYED);
    EXPECT_TRUE(MenuItems(edit)[1].checked);
    DestroyMenu(menu);
}

TEST_F(LoadMenu, DestroyMenuRefusesPopupsUnknownAndFreedMenus)
{
    HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(MENU));
    EXPECT_FALSE(DestroyMenu(GetSubMenu(menu, 0))) << "a pop-up goes with its menu";
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(DestroyMenu(menu));
    EXPECT_FALSE(DestroyMenu(nullptr));
    EXPECT_EQ(LoadMenuW(Instance(), MAKEINTRESOURCEW(999)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(LoadMenu, RefusesMenusThatAreMalformedOrPointBackAtThemselves)
{
    static const MENUITEMRESOURCE textless[] = {{5, nullptr, MF_STRING}};
    static const MENUITEMRESOURCE lostPopup[] = {{0, u"Lost", MF_POPUP, nullptr}};
    static MENURESOURCE loop = {0, nullptr, 1};
    static const MENUITEMRESOURCE loopItems[] = {{0, u"Again", MF_POPUP, &loop}};
    loop.items = loopItems;
    static const MENURESOURCE bad[] = {{1, textless, 1}, {2, lostPopup, 1}, {3, loopItems, 1}};
    static const RESOURCEMODULE module = {
        .strings = nullptr, .stringCount = 0, .menus = bad, .menuCount = 3};
    for (UINT id = 1; id <= 3; ++id) {
        SetLastError(0);
        EXPECT_EQ(LoadMenuW(RegisterResourceModule(&module), MAKEINTRESOURCEW(id)), nullptr)
            << "menu " << id;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    }
}
