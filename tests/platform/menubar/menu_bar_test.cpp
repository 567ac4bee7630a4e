// The shell's menu bar: made from a resource, given buttons, greyed and tapped.
#include "platform/aygshell.h"
#include "platform/menubar/menu_bar_access.h"
#include "platform/window/window_object.h"
#include "tests/platform/menubar/test_module.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <vector>

using namespace test_module;

namespace
{
struct Command {
    WORD id;
    WORD code;
    LPARAM from;
};
std::vector<Command> commands;

LRESULT OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        commands.push_back({LOWORD(wParam), HIWORD(wParam), lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void NothingToDo() {}

const TBBUTTON pictureButtons[] = {
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {1, 551, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {0, 552, TBSTATE_INDETERMINATE, TBSTYLE_BUTTON, {0}, 0, 0},
};

class MenuBar : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureApplication());
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = OwnerProc;
            wc.lpszClassName = u"MenuBarOwner";
            ASSERT_NE(RegisterClassW(&wc), 0);
            registered = true;
        }
        SetIdleHandler(NothingToDo);
        owner_ = CreateWindowExW(0, u"MenuBarOwner", u"Owner", WS_VISIBLE, 0, 0, CW_USEDEFAULT,
                                 CW_USEDEFAULT, nullptr, nullptr, Instance(), nullptr);
        ASSERT_NE(owner_, nullptr);
        commands.clear();
    }
    void TearDown() override
    {
        if (IsWindow(owner_))
            DestroyWindow(owner_);
        Deliver();
        SetIdleHandler(nullptr);
    }

    HWND MakeBar(DWORD flags = 0)
    {
        SHMENUBARINFO info = {};
        info.cbSize = sizeof(info);
        info.hwndParent = owner_;
        info.dwFlags = flags;
        info.nToolBarId = MENU;
        info.hInstRes = Instance();
        EXPECT_TRUE(SHCreateMenuBar(&info));
        return info.hwndMB;
    }

    HWND MakeFullBar()
    {
        HWND bar = MakeBar();
        LPWSTR tips[] = {const_cast<LPWSTR>(u"New thing"), nullptr, nullptr,
                         const_cast<LPWSTR>(u"Second picture"), const_cast<LPWSTR>(u"First")};
        EXPECT_TRUE(CommandBar_AddToolTips(bar, 5, tips));
        EXPECT_EQ(CommandBar_AddBitmap(bar, Instance(), BITMAP, 2, 4, 4), 0);
        EXPECT_TRUE(CommandBar_AddButtons(bar, 3, pictureButtons));
        return bar;
    }

    // Lets the queue deliver what the bar posted.
    static void Deliver()
    {
        for (int i = 0; i < 3; ++i)
            PumpMessages();
    }

    HWND owner_ = nullptr;
};

MenuBarEntryView Entry(HWND bar, size_t index)
{
    std::vector<MenuBarEntryView> entries = ReadMenuBar(bar);
    return index < entries.size() ? entries[index] : MenuBarEntryView{};
}
} // namespace

TEST_F(MenuBar, IsMadeFromItsResourceWithTextAndDropDownButtons)
{
    HWND bar = MakeBar();
    ASSERT_NE(bar, nullptr);
    std::vector<MenuBarEntryView> entries = ReadMenuBar(bar);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].kind, MenuBarEntryKind::Text);
    EXPECT_EQ(entries[0].command, UINT(CMD_NEW));
    EXPECT_EQ(entries[0].text, u"New");
    EXPECT_EQ(entries[1].kind, MenuBarEntryKind::DropDown);
    EXPECT_EQ(entries[1].command, UINT(FILE_MENU));
    EXPECT_EQ(entries[2].text, u"Edit");
    EXPECT_EQ(entries[2].state, MenuBarEntryState::Enabled);

    std::vector<MenuBarMenuView> menus = ReadMenuBarMenus(bar);
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].title, u"File");
    ASSERT_EQ(menus[0].items.size(), 4u);
    EXPECT_EQ(menus[0].items[1].command, UINT(CMD_SAVE));
    EXPECT_TRUE(menus[0].items[1].grayed);
    EXPECT_TRUE(menus[0].items[2].separator);
    EXPECT_EQ(menus[1].items[1].text, u"Paste");
    EXPECT_EQ(ActiveMenuBar(), bar);
}

TEST_F(MenuBar, LiesAlongTheBottomOfTheScreen)
{
    HWND bar = MakeBar();
    RECT rect;
    ASSERT_TRUE(GetWindowRect(bar, &rect));
    SIZE screen = ScreenSize();
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, screen.cy - MENU_BAR_HEIGHT);
    EXPECT_EQ(rect.right, screen.cx);
    EXPECT_EQ(rect.bottom, screen.cy);
    SetScreenSize(screen.cy, screen.cx);
    PlaceMenuBars();
    ASSERT_TRUE(GetWindowRect(bar, &rect));
    EXPECT_EQ(rect.top, screen.cx - MENU_BAR_HEIGHT);
    EXPECT_EQ(rect.right, screen.cy);
    SetScreenSize(screen.cx, screen.cy);
    EXPECT_NE(MenuBarWidgetOf(bar), nullptr);
    EXPECT_EQ(MenuBarWidgetOf(owner_), nullptr);
}

TEST_F(MenuBar, AddsPictureButtonsSeparatorsAndTooltipsInOrder)
{
    HWND bar = MakeFullBar();
    std::vector<MenuBarEntryView> entries = ReadMenuBar(bar);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].tooltip, u"New thing");
    EXPECT_EQ(entries[1].tooltip, u"");
    EXPECT_EQ(entries[3].kind, MenuBarEntryKind::Separator);
    EXPECT_EQ(entries[3].tooltip, u"") << "separators take no tooltip";
    EXPECT_EQ(entries[4].kind, MenuBarEntryKind::Picture);
    EXPECT_EQ(entries[4].command, 551u);
    EXPECT_EQ(entries[4].image, 1);
    EXPECT_EQ(entries[4].tooltip, u"Second picture");
    EXPECT_EQ(entries[5].tooltip, u"First");
    EXPECT_EQ(entries[5].state, MenuBarEntryState::Indeterminate);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 6);
}

TEST_F(MenuBar, GetSubmenuGivesEachDropDownsMenu)
{
    HWND bar = MakeBar();
    HMENU file = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, FILE_MENU));
    HMENU edit = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, EDIT_MENU));
    ASSERT_NE(file, nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_NE(file, edit);
    EXPECT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(MenuItems(edit)[0].command, UINT(CMD_COPY));
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, CMD_NEW), 0) << "a text button has none";
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 4242), 0);
    HMENU root = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
    EXPECT_EQ(GetSubMenu(root, 1), edit);
}

TEST_F(MenuBar, SetStateChangesWhatTheBarShowsAndGetStateReadsIt)
{
    HWND bar = MakeFullBar();
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 552, 0), TBSTATE_INDETERMINATE);
    EXPECT_TRUE(SendMessageW(bar, TB_SETSTATE, 552, MAKELONG(TBSTATE_ENABLED, 0)));
    EXPECT_EQ(Entry(bar, 5).state, MenuBarEntryState::Enabled);
    EXPECT_TRUE(SendMessageW(bar, TB_SETSTATE, 551, MAKELONG(TBSTATE_INDETERMINATE, 0)));
    EXPECT_EQ(Entry(bar, 4).state, MenuBarEntryState::Indeterminate);
    EXPECT_TRUE(SendMessageW(bar, TB_SETSTATE, 551, 0));
    EXPECT_EQ(Entry(bar, 4).state, MenuBarEntryState::Grayed);
    EXPECT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, 551, TRUE));
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, 551, 0));
    EXPECT_TRUE(SendMessageW(bar, TB_SETSTATE, CMD_NEW, MAKELONG(TBSTATE_INDETERMINATE, 0)));
    EXPECT_EQ(Entry(bar, 0).state, MenuBarEntryState::Indeterminate);

    EXPECT_FALSE(SendMessageW(bar, TB_SETSTATE, 4242, TBSTATE_ENABLED));
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 4242, 0), -1);
}

TEST_F(MenuBar, HiddenButtonsLeaveTheBarAndComeBack)
{
    HWND bar = MakeFullBar();
    SendMessageW(bar, TB_SETSTATE, 551, MAKELONG(TBSTATE_ENABLED | TBSTATE_HIDDEN, 0));
    EXPECT_EQ(ReadMenuBar(bar).size(), 5u);
    std::string reason;
    EXPECT_FALSE(TapMenuBarButton(bar, 551, &reason));
    EXPECT_NE(reason.find("hidden"), std::string::npos) << reason;
    SendMessageW(bar, TB_SETSTATE, 551, MAKELONG(TBSTATE_ENABLED, 0));
    EXPECT_EQ(ReadMenuBar(bar).size(), 6u);
}

TEST_F(MenuBar, ATapOnAPictureButtonSendsItsCommandOnce)
{
    HWND bar = MakeFullBar();
    std::string reason;
    ASSERT_TRUE(TapMenuBarButton(bar, 551, &reason)) << reason;
    EXPECT_TRUE(commands.empty()) << "the command comes through the queue";
    Deliver();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].id, 551);
    EXPECT_EQ(commands[0].code, 0);
    EXPECT_EQ(commands[0].from, reinterpret_cast<LPARAM>(bar));
}

TEST_F(MenuBar, ATapOnATextButtonSendsItsCommand)
{
    HWND bar = MakeBar();
    ASSERT_TRUE(TapMenuBarCommand(bar, CMD_NEW, nullptr));
    Deliver();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].id, CMD_NEW);
}

TEST_F(MenuBar, GreyedButtonsRefuseTapsAndSendNothing)
{
    HWND bar = MakeFullBar();
    std::string reason;
    EXPECT_FALSE(TapMenuBarButton(bar, 552, &reason));
    EXPECT_NE(reason.find("greyed"), std::string::npos) << reason;
    SendMessageW(bar, TB_SETSTATE, 551, 0);
    EXPECT_FALSE(TapMenuBarCommand(bar, 551, &reason));
    EXPECT_FALSE(TapMenuBarButton(bar, 4242, &reason));
    EXPECT_NE(reason.find("4242"), std::string::npos) << reason;
    Deliver();
    EXPECT_TRUE(commands.empty());
}

TEST_F(MenuBar, ChoosingAMenuItemOpensItsDropDownAndSendsTheItemsCommandOnce)
{
    HWND bar = MakeBar();
    std::string reason;
    ASSERT_TRUE(TapMenuBarCommand(bar, CMD_PASTE, &reason)) << reason;
    EXPECT_FALSE(MenuBarMenuOpen(bar)) << "the menu closes once an item is chosen";
    Deliver();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].id, CMD_PASTE);
    EXPECT_EQ(commands[0].from, 0) << "menu items come from no control";
}

TEST_F(MenuBar, AMenuItemIsChosenRatherThanAButtonWithTheSameCommand)
{
    static const TBBUTTON quit[] = {{0, CMD_QUIT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0}};
    HWND bar = MakeBar();
    CommandBar_AddButtons(bar, 1, quit);
    ASSERT_TRUE(TapMenuBarCommand(bar, CMD_QUIT, nullptr));
    Deliver();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].from, 0);
}

TEST_F(MenuBar, GreyedMenuItemsCannotBeChosen)
{
    HWND bar = MakeBar();
    HMENU file = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, FILE_MENU));
    std::string reason;
    EXPECT_FALSE(TapMenuBarCommand(bar, CMD_SAVE, &reason));
    EXPECT_NE(reason.find("greyed"), std::string::npos) << reason;
    EXPECT_EQ(EnableMenuItem(file, CMD_OPEN, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_TRUE(ReadMenuBarMenus(bar)[0].items[0].grayed);
    EXPECT_FALSE(TapMenuBarCommand(bar, CMD_OPEN, &reason));
    Deliver();
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(EnableMenuItem(file, CMD_SAVE, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_TRUE(TapMenuBarCommand(bar, CMD_SAVE, &reason)) << reason;
    Deliver();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].id, CMD_SAVE);
}

TEST_F(MenuBar, AGreyedDropDownKeepsItsMenuShut)
{
    HWND bar = MakeBar();
    SendMessageW(bar, TB_SETSTATE, EDIT_MENU, MAKELONG(TBSTATE_INDETERMINATE, 0));
    EXPECT_FALSE(TapMenuBarCommand(bar, CMD_COPY, nullptr));
    EXPECT_FALSE(MenuBarMenuOpen(bar));
    Deliver();
    EXPECT_TRUE(commands.empty());
}

TEST_F(MenuBar, AHiddenBarCannotBeTapped)
{
    HWND bar = MakeBar(SHCMBF_HIDDEN);
    ASSERT_NE(bar, nullptr);
    std::string reason;
    EXPECT_FALSE(TapMenuBarCommand(bar, CMD_NEW, &reason));
    EXPECT_NE(reason.find("hidden"), std::string::npos) << reason;
    ShowWindow(bar, SW_SHOW);
    EXPECT_TRUE(TapMenuBarCommand(bar, CMD_NEW, &reason)) << reason;
}

TEST_F(MenuBar, AnEmptyBarHasNoButtonsUntilTheProgramAddsThem)
{
    HWND bar = MakeBar(SHCMBF_EMPTYBAR);
    EXPECT_TRUE(ReadMenuBar(bar).empty());
    EXPECT_TRUE(ReadMenuBarMenus(bar).empty());
    CommandBar_AddButtons(bar, 3, pictureButtons);
    EXPECT_EQ(ReadMenuBar(bar).size(), 3u);
    EXPECT_EQ(Entry(bar, 1).image, 1) << "a picture that is not there yet is still its index";
}

TEST_F(MenuBar, DiesWithItsOwnerAndTakesItsMenusAlong)
{
    HWND bar = MakeBar();
    HMENU file = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, FILE_MENU));
    DestroyWindow(owner_);
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_EQ(DWORD(EnableMenuItem(file, CMD_OPEN, MF_GRAYED)), 0xFFFFFFFFu);
    EXPECT_TRUE(ReadMenuBar(bar).empty());
    EXPECT_FALSE(TapMenuBarCommand(bar, CMD_NEW, nullptr));
    EXPECT_NE(ActiveMenuBar(), bar);
}

TEST_F(MenuBar, CreationRefusesBadRecordsResourcesAndOwners)
{
    SHMENUBARINFO info = {};
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
    EXPECT_FALSE(SHCreateMenuBar(&info)) << "no size";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    info.cbSize = sizeof(info);
    info.hInstRes = Instance();
    info.nToolBarId = MENU;
    EXPECT_FALSE(SHCreateMenuBar(&info)) << "no owner";
    info.hwndParent = owner_;
    info.nToolBarId = 4242;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(info.hwndMB, nullptr);
    info.nToolBarId = MENU;
    info.hInstRes = nullptr;
    EXPECT_FALSE(SHCreateMenuBar(&info));

    static const MENUBARBUTTONRESOURCE wrongPopup[] = {{1, u"Far", TBSTATE_ENABLED, 5}};
    static const MENUBARRESOURCE bars[] = {{1, MENU, wrongPopup, 1}};
    static const RESOURCEMODULE broken = {.strings = nullptr,
                                          .stringCount = 0,
                                          .menus = menus,
                                          .menuCount = 1,
                                          .menuBars = bars,
                                          .menuBarCount = 1};
    info.hInstRes = RegisterResourceModule(&broken);
    info.nToolBarId = 1;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
}

TEST_F(MenuBar, CommandBarRoutinesRefuseWindowsThatAreNotBars)
{
    LPWSTR tips[] = {const_cast<LPWSTR>(u"tip")};
    EXPECT_FALSE(CommandBar_AddToolTips(owner_, 1, tips));
    EXPECT_EQ(CommandBar_AddBitmap(owner_, Instance(), BITMAP, 2, 4, 4), -1);
    EXPECT_FALSE(CommandBar_AddButtons(nullptr, 3, pictureButtons));
    HWND bar = MakeBar();
    EXPECT_FALSE(CommandBar_AddButtons(bar, 2, nullptr));
    EXPECT_EQ(CommandBar_AddBitmap(bar, Instance(), 4242, 2, 4, 4), -1);
    EXPECT_EQ(CommandBar_AddBitmap(bar, Instance(), BITMAP, 3, 4, 4), -1) << "only two there";
    EXPECT_EQ(CommandBar_AddBitmap(bar, Instance(), BITMAP, 1, 4, 4), 0);
    EXPECT_EQ(CommandBar_AddBitmap(bar, Instance(), BITMAP, 2, 4, 4), 1);
    EXPECT_FALSE(TapMenuBarCommand(owner_, CMD_NEW, nullptr));
}

TEST_F(MenuBar, IsDrawnAsALightBarWithALineAlongItsTop)
{
    HWND bar = MakeFullBar();
    QWidget* widget = MenuBarWidgetOf(bar);
    QImage shot = widget->grab().toImage();
    ASSERT_EQ(shot.height(), MENU_BAR_HEIGHT);
    QColor line = shot.pixelColor(shot.width() / 2, 0);
    QColor face = shot.pixelColor(shot.width() - 2, MENU_BAR_HEIGHT / 2);
    EXPECT_LT(line.lightness(), face.lightness());
    EXPECT_GT(face.lightness(), 200);
    // Text somewhere in the New button: some pixels much darker than the face.
    int dark = 0;
    for (int x = 0; x < 30; ++x) {
        for (int y = 2; y < MENU_BAR_HEIGHT; ++y)
            dark += shot.pixelColor(x, y).lightness() < 100 ? 1 : 0;
    }
    EXPECT_GT(dark, 10);
}
