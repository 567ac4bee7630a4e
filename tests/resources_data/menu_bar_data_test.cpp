// Menu bar 105 as the main window builds it: its buttons, pictures, tooltips and two menus.
#include "platform/aygshell.h"
#include "platform/menubar/menu_bar_access.h"
#include "platform/window/window_object.h"
#include "resources/resource_ids.h"
#include "tests/resources_data/data_module.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
LRESULT QuietProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

// The main window's additions: a gap, three pictures, a gap, one picture.
const TBBUTTON programButtons[] = {
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {BAR_IMAGE_EDIT_CATEGORIES, IDB_EDIT_CATEGORIES, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {BAR_IMAGE_TIME_REPORT, IDB_TIME_REPORT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {BAR_IMAGE_UNDO_DELETING, IDB_UNDO_DELETING, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {BAR_IMAGE_EXPORT, IDB_EXPORT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
};

class ProgramMenuBar : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureApplication());
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = QuietProc;
            wc.lpszClassName = u"ProgramMenuBarOwner";
            ASSERT_NE(RegisterClassW(&wc), 0);
            registered = true;
        }
        owner_ = CreateWindowExW(0, u"ProgramMenuBarOwner", u"Zentally", 0, 0, 0, CW_USEDEFAULT,
                                 CW_USEDEFAULT, nullptr, nullptr, DataModule(), nullptr);
        ASSERT_NE(owner_, nullptr);
        SHMENUBARINFO info = {};
        info.cbSize = sizeof(info);
        info.hwndParent = owner_;
        info.nToolBarId = IDR_MENUBAR;
        info.hInstRes = DataModule();
        ASSERT_TRUE(SHCreateMenuBar(&info));
        bar_ = info.hwndMB;
        LPWSTR tips[] = {const_cast<LPWSTR>(u"New Time Record"),
                         nullptr,
                         nullptr,
                         const_cast<LPWSTR>(u"Edit Categories"),
                         const_cast<LPWSTR>(u"Time Report"),
                         const_cast<LPWSTR>(u"Undo Deleting"),
                         const_cast<LPWSTR>(u"Export Time records")};
        ASSERT_TRUE(CommandBar_AddToolTips(bar_, 7, tips));
        ASSERT_EQ(CommandBar_AddBitmap(bar_, DataModule(), IDB_MENUBAR_IMAGES, BAR_IMAGE_COUNT,
                                       PICTURE_PIXELS, PICTURE_PIXELS),
                  0);
        ASSERT_TRUE(CommandBar_AddButtons(bar_, 6, programButtons));
    }
    void TearDown() override { DestroyWindow(owner_); }

    HWND owner_ = nullptr;
    HWND bar_ = nullptr;
};

struct ExpectedEntry {
    MenuBarEntryKind kind;
    UINT command;
    std::u16string text;
    int image;
    std::u16string tooltip;
};

struct ExpectedItem {
    UINT command; // 0 for a separator
    std::u16string text;
};

void ExpectMenu(const MenuBarMenuView& menu, const std::vector<ExpectedItem>& expected)
{
    ASSERT_EQ(menu.items.size(), expected.size()) << "menu " << menu.id;
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(menu.items[i].separator, expected[i].command == 0);
        EXPECT_EQ(menu.items[i].command, expected[i].command);
        EXPECT_EQ(menu.items[i].text, expected[i].text);
        EXPECT_FALSE(menu.items[i].grayed);
    }
}
} // namespace

TEST_F(ProgramMenuBar, ShowsItsNineEntriesLeftToRight)
{
    const std::vector<ExpectedEntry> expected = {
        {MenuBarEntryKind::Text, IDM_NEW, u"New", -1, u"New Time Record"},
        {MenuBarEntryKind::DropDown, IDM_TIME_MENU, u"Time", -1, u""},
        {MenuBarEntryKind::DropDown, IDM_TOOLS_MENU, u"Tools", -1, u""},
        {MenuBarEntryKind::Separator, 0, u"", -1, u""},
        {MenuBarEntryKind::Picture, IDB_EDIT_CATEGORIES, u"", 0, u"Edit Categories"},
        {MenuBarEntryKind::Picture, IDB_TIME_REPORT, u"", 1, u"Time Report"},
        {MenuBarEntryKind::Picture, IDB_UNDO_DELETING, u"", 2, u"Undo Deleting"},
        {MenuBarEntryKind::Separator, 0, u"", -1, u""},
        {MenuBarEntryKind::Picture, IDB_EXPORT, u"", 3, u"Export Time records"},
    };
    std::vector<MenuBarEntryView> entries = ReadMenuBar(bar_);
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].kind, expected[i].kind);
        EXPECT_EQ(entries[i].command, expected[i].command);
        EXPECT_EQ(entries[i].text, expected[i].text);
        EXPECT_EQ(entries[i].image, expected[i].image);
        EXPECT_EQ(entries[i].tooltip, expected[i].tooltip);
        EXPECT_EQ(entries[i].state, MenuBarEntryState::Enabled);
    }
}

TEST_F(ProgramMenuBar, TimeAndToolsMenusHoldTheirItemsInOrder)
{
    std::vector<MenuBarMenuView> menus = ReadMenuBarMenus(bar_);
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].title, u"Time");
    EXPECT_EQ(menus[0].id, UINT(IDM_TIME_MENU));
    ExpectMenu(menus[0], {{IDM_NEW, u"New..."},
                          {IDM_UNDO_DELETING, u"Undo Deleting"},
                          {IDM_TIME_REPORT, u"Time Report..."},
                          {0, u""},
                          {IDM_EXIT, u"Exit"}});
    EXPECT_EQ(menus[1].title, u"Tools");
    ExpectMenu(menus[1], {{IDM_EDIT_CATEGORIES, u"Edit Categories..."},
                          {IDM_DELETE_BY_RANGE, u"Delete by Range of Dates..."},
                          {IDM_EMPTY_UNDO, u"Empty Undo Time records"},
                          {0, u""},
                          {IDM_EXPORT, u"Export Time records..."},
                          {IDM_VIEW_OPTIONS, u"View Options"},
                          {0, u""},
                          {IDM_HELP, u"Help"},
                          {0, u""},
                          {IDM_ABOUT, u"About"}});
}

TEST_F(ProgramMenuBar, TheRecordAndUndoCommandsGreyTogether)
{
    HMENU time = reinterpret_cast<HMENU>(SendMessageW(bar_, SHCMBM_GETSUBMENU, 0, IDM_TIME_MENU));
    HMENU tools = reinterpret_cast<HMENU>(SendMessageW(bar_, SHCMBM_GETSUBMENU, 0, IDM_TOOLS_MENU));
    // As the list does when it holds no record.
    SendMessageW(bar_, TB_SETSTATE, IDB_TIME_REPORT, MAKELONG(TBSTATE_INDETERMINATE, 0));
    SendMessageW(bar_, TB_SETSTATE, IDB_EXPORT, MAKELONG(TBSTATE_INDETERMINATE, 0));
    EXPECT_EQ(EnableMenuItem(time, IDM_TIME_REPORT, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(tools, IDM_EXPORT, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(tools, IDM_DELETE_BY_RANGE, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(DWORD(EnableMenuItem(time, IDM_EXPORT, MF_BYCOMMAND | MF_GRAYED)), 0xFFFFFFFFu)
        << "Export is in the Tools menu, not in Time";

    std::vector<MenuBarEntryView> entries = ReadMenuBar(bar_);
    EXPECT_EQ(entries[5].state, MenuBarEntryState::Indeterminate);
    EXPECT_EQ(entries[8].state, MenuBarEntryState::Indeterminate);
    EXPECT_EQ(entries[4].state, MenuBarEntryState::Enabled);
    std::vector<MenuBarMenuView> menus = ReadMenuBarMenus(bar_);
    EXPECT_TRUE(menus[0].items[2].grayed);
    EXPECT_FALSE(menus[0].items[1].grayed);
    EXPECT_TRUE(menus[1].items[1].grayed);
    EXPECT_TRUE(menus[1].items[4].grayed);

    std::string reason;
    EXPECT_FALSE(TapMenuBarCommand(bar_, IDB_TIME_REPORT, &reason));
    EXPECT_FALSE(TapMenuBarCommand(bar_, IDM_TIME_REPORT, &reason));
    EXPECT_TRUE(TapMenuBarCommand(bar_, IDM_VIEW_OPTIONS, &reason)) << reason;
}
