// Scripts on a program whose main window has the shell's menu bar and a report list: menu
// commands, taps on rows and headers, and both in the state.
#include "device/screen/screen.h"
#include "device/script/script.h"
#include "device/script/scripted_user.h"
#include "device/script/state.h"
#include "platform/aygshell.h"
#include "platform/commctrl.h"
#include "platform/controls.h"
#include "platform/recorder.h"
#include "platform/window/window_object.h"
#include "tests/platform/menubar/test_module.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace
{
const int listId = 500;

std::vector<UINT> commands;
// What drop-down list 30 told, with the selection at each CBN_SELCHANGE, and the window a tap on
// button 31 focuses.
std::vector<WORD> comboCodes;
std::vector<LRESULT> selections;
HWND focusOnTap = nullptr;

struct Notified {
    UINT code;
    int item;
    int column;
};
std::vector<Notified> notified;

LRESULT MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == 30)
            comboCodes.push_back(HIWORD(wParam));
        if (LOWORD(wParam) == 30 && HIWORD(wParam) == CBN_SELCHANGE)
            selections.push_back(SendMessageW(HWND(lParam), CB_GETCURSEL, 0, 0));
        if (LOWORD(wParam) == 31 && HIWORD(wParam) == BN_CLICKED)
            SetFocus(focusOnTap);
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == listId &&
            (header->code == NM_CLICK || header->code == LVN_COLUMNCLICK)) {
            auto* list = reinterpret_cast<NMLISTVIEW*>(lParam);
            notified.push_back({header->code, list->iItem, list->iSubItem});
        }
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

class ScriptProgram : public testing::Test
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
        RegisterClassW(&wc); // once for the whole run; later calls find it there
        InitCommonControls();
        notified.clear();
        commands.clear();
        comboCodes.clear();
        selections.clear();
        main_ = CreateWindowExW(0, u"Zentally", u"Zentally", WS_VISIBLE, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(main_);
        SetForegroundWindow(main_);
        list_ = CreateWindowExW(
            0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL, 0,
            27, 240, 200, main_, reinterpret_cast<HMENU>(intptr_t(listId)), nullptr, nullptr);
        ASSERT_TRUE(list_);
        const char16_t* captions[] = {u"Date", u"Category", u"Time"};
        const int widths[] = {88, 90, 55};
        for (int c = 0; c < 3; ++c) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = const_cast<LPWSTR>(captions[c]);
            column.cx = widths[c];
            column.iSubItem = c;
            ASSERT_EQ(SendMessageW(list_, LVM_INSERTCOLUMNW, WPARAM(c), LPARAM(&column)), c);
        }
        const char16_t* rows[][3] = {{u"01.12.2026", u"Job", u"1,05"},
                                     {u"02.12.2026", u"Sport", u"0,30"},
                                     {u"03.12.2026", u"Read \"this\"", u"2,00"}};
        for (int r = 0; r < 3; ++r) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = r;
            item.pszText = const_cast<LPWSTR>(rows[r][0]);
            ASSERT_EQ(SendMessageW(list_, LVM_INSERTITEMW, 0, LPARAM(&item)), r);
            for (int c = 1; c < 3; ++c) {
                LVITEMW cell{};
                cell.iSubItem = c;
                cell.pszText = const_cast<LPWSTR>(rows[r][c]);
                SendMessageW(list_, LVM_SETITEMTEXTW, WPARAM(r), LPARAM(&cell));
            }
        }
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof(bar);
        bar.hwndParent = main_;
        bar.nToolBarId = test_module::MENU;
        bar.hInstRes = test_module::Instance();
        ASSERT_TRUE(SHCreateMenuBar(&bar));
        bar_ = bar.hwndMB;
        SetScriptEnder(EndForTest);
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
        ClearRecordings();
    }

    std::vector<std::string> Play(const std::string& script, int* code)
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
        *code = FinishScriptedUser(int(message.wParam));
        SetScriptOutput(nullptr);
        std::vector<std::string> events;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);)
            events.push_back(line);
        return events;
    }

    HWND main_ = nullptr;
    HWND list_ = nullptr;
    HWND bar_ = nullptr;
};

TEST_F(ScriptProgram, RowsAndHeadersAreTappedOnTheMainWindowsList)
{
    int code = -1;
    std::vector<std::string> events = Play("row 1\nheader 0\nheader 2\nrow 2\n", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(events, std::vector<std::string>{R"({"event":"exit","code":0})"});
    std::vector<std::pair<UINT, int>> seen;
    for (const Notified& n : notified)
        seen.push_back({n.code, n.code == NM_CLICK ? n.item : n.column});
    EXPECT_EQ(seen, (std::vector<std::pair<UINT, int>>{
                        {NM_CLICK, 1}, {LVN_COLUMNCLICK, 0}, {LVN_COLUMNCLICK, 2}, {NM_CLICK, 2}}));
}

TEST_F(ScriptProgram, TheStateShowsTheListWithItsSelection)
{
    int code = -1;
    std::vector<std::string> events = Play("row 2\nstate\n", &code);
    ASSERT_EQ(events.size(), 2u);
    const std::string& state = events[0];
    EXPECT_NE(state.find(R"("list":{"columns":[{"text":"Date","width":88,"image":null},)"
                         R"({"text":"Category","width":90,"image":null},)"
                         R"({"text":"Time","width":55,"image":null}],)"
                         R"("rows":[{"image":null,"cells":["01.12.2026","Job","1,05"],)"
                         R"("selected":false,"focused":false},)"
                         R"({"image":null,"cells":["02.12.2026","Sport","0,30"],)"
                         R"("selected":false,"focused":false},)"
                         R"({"image":null,"cells":["03.12.2026","Read \"this\"","2,00"],)"
                         R"("selected":true,"focused":true}],"visible":[0,2]})"),
              std::string::npos)
        << state;
}

TEST_F(ScriptProgram, ARowThatIsNotThereIsAnError)
{
    int code = -1;
    std::vector<std::string> events = Play("row 3\n", &code);
    EXPECT_EQ(code, 2);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].rfind(R"({"event":"error","line":1,"text":")", 0), 0u) << events[0];
    EXPECT_TRUE(notified.empty());
}

TEST_F(ScriptProgram, MenuItemsAndMenuBarButtonsAreChosen)
{
    int code = -1;
    std::vector<std::string> events = Play("menu 100\nmenu 300\nmenu 201\n", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(events, std::vector<std::string>{R"({"event":"exit","code":0})"});
    EXPECT_EQ(commands, (std::vector<UINT>{test_module::CMD_OPEN, test_module::CMD_NEW,
                                           test_module::CMD_PASTE}));
}

// A menu comes and goes within one tap; the screen stays the window that has the keys, so the
// control keeps the focus meanwhile, the program's SetFocus moves it, and keys go to the control
// that has it.
TEST_F(ScriptProgram, AfterAMenuKeysAndTheFocusAreWhereTheProgramPutThem)
{
    HWND combo = CreateWindowExW(0, WC_COMBOBOXW, u"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10,
                                 230, 100, 60, main_, HMENU(intptr_t(30)), nullptr, nullptr);
    ASSERT_TRUE(combo);
    for (LPCWSTR text : {u"a", u"b", u"c"})
        SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(text));
    ASSERT_TRUE(CreateWindowExW(0, WC_BUTTONW, u"Next", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 120,
                                230, 60, 20, main_, HMENU(intptr_t(31)), nullptr, nullptr));
    focusOnTap = list_;
    SetFocus(combo);
    int code = -1;
    std::vector<std::string> events =
        Play("menu 100\npick 30 \"a\"\nkey down\nstate\nclick 31\nstate\n", &code);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(comboCodes, (std::vector<WORD>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP,
                                             CBN_SELCHANGE, CBN_SELCHANGE, CBN_KILLFOCUS}));
    EXPECT_EQ(selections, (std::vector<LRESULT>{0, 1})) << "the pick, then Down on the box";
    EXPECT_NE(events[0].find(R"("focus":30,)"), std::string::npos) << events[0];
    EXPECT_NE(events[1].find(R"("focus":500,)"), std::string::npos) << events[1];
}

TEST_F(ScriptProgram, GreyedAndUnknownMenuCommandsAreErrors)
{
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"menu 101", "the menu item 101 is greyed"},
        {"menu 999", "no menu item or menu-bar button has command 999"},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        int code = -1;
        std::vector<std::string> events = Play(c.script, &code);
        EXPECT_EQ(code, 2);
        ASSERT_EQ(events.size(), 2u) << c.script;
        EXPECT_EQ(events[0],
                  std::string(R"({"event":"error","line":1,"text":")") + c.error + "\"}");
        EXPECT_TRUE(commands.empty()) << c.script;
    }
}

TEST_F(ScriptProgram, TheStateShowsTheMenuBarAndItsMenus)
{
    int code = -1;
    std::vector<std::string> events = Play("state\n", &code);
    ASSERT_EQ(events.size(), 2u);
    const std::string& state = events[0];
    EXPECT_NE(state.find(R"("menubar":[{"kind":"text","command":300,"text":"New",)"
                         R"("state":"enabled"},)"
                         R"({"kind":"dropdown","command":1000,"text":"File","state":"enabled"},)"
                         R"({"kind":"dropdown","command":1001,"text":"Edit","state":"enabled"}],)"
                         R"("menus":{"File":[{"command":100,"text":"Open...","state":"enabled"},)"
                         R"({"command":101,"text":"Save","state":"grayed"},{"separator":true},)"
                         R"({"command":102,"text":"Quit","state":"enabled"}],)"
                         R"("Edit":[{"command":200,"text":"Copy","state":"enabled"},)"
                         R"({"command":201,"text":"Paste","state":"enabled"}]})"),
              std::string::npos)
        << state;
}

TEST_F(ScriptProgram, AListViewControlShowsItsColumnsAndRows)
{
    std::string controls = ControlsJson(main_);
    EXPECT_EQ(controls.rfind(R"([{"id":500,"class":"SysListView32","text":"","visible":true,)"
                             R"("enabled":true,"focused":false,"rect":[0,27,240,200],)"
                             R"("columns":[{"text":"Date","width":88,"image":null},)",
                             0),
              0u)
        << controls;
    EXPECT_NE(controls.find(R"("rows":[{"image":null,"cells":["01.12.2026","Job","1,05"],)"),
              std::string::npos)
        << controls;
}

TEST_F(ScriptProgram, AHiddenListCannotBeTapped)
{
    ShowWindow(list_, SW_HIDE);
    int code = -1;
    std::vector<std::string> events = Play("header 1\n", &code);
    EXPECT_EQ(code, 2);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].rfind(R"({"event":"error","line":1,"text":")", 0), 0u) << events[0];
    EXPECT_TRUE(notified.empty());
}
} // namespace
