// The keys of a dialog: Enter presses the default button, Escape cancels, Tab moves the focus
// through the tab stops; DM_SETDEFID moves the default and the buttons' styles with it.
#include "dialog_test_support.h"

namespace
{
using DialogKeys = DialogTest;

// Runs dialog `id`, doing `act` once it is up, and returns the commands its procedure had.
std::vector<Logged> CommandsOf(UINT id, HWND owner, const std::function<void(HWND)>& act)
{
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    onIdle = [&] {
        HWND dialog = OpenDialogs().back().window;
        act(dialog);
        EndDialog(dialog, 1);
    };
    RunTestDialog(id, owner, &handler);
    return LoggedOf(WM_COMMAND);
}

TEST_F(DialogKeys, EnterPressesTheTemplatesDefaultButton)
{
    HWND ok = nullptr;
    std::vector<Logged> commands = CommandsOf(201, owner, [&](HWND dialog) {
        ok = GetDlgItem(dialog, 1014);
        Press(GetDlgItem(dialog, 1001), Qt::Key_Return);
    });
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(1014, BN_CLICKED));
    EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(ok));
}

TEST_F(DialogKeys, EnterWithoutADefaultButtonSendsIdok)
{
    HWND ok = nullptr;
    std::vector<Logged> commands = CommandsOf(202, owner, [&](HWND dialog) {
        ok = GetDlgItem(dialog, IDOK);
        Press(GetDlgItem(dialog, 1101), Qt::Key_Enter);
    });
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(IDOK, BN_CLICKED));
    EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(ok));
}

TEST_F(DialogKeys, EnterOnAFocusedPushButtonPressesThatButton)
{
    std::vector<Logged> commands = CommandsOf(201, owner, [&](HWND dialog) {
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        Press(GetDlgItem(dialog, IDCANCEL), Qt::Key_Return);
    });
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
}

TEST_F(DialogKeys, EnterOnADisabledDefaultButtonOnlyBeeps)
{
    std::vector<Logged> commands = CommandsOf(201, owner, [&](HWND dialog) {
        EnableWindow(GetDlgItem(dialog, 1014), FALSE);
        Press(GetDlgItem(dialog, 1001), Qt::Key_Return);
    });
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(RecordedBeeps().size(), 1u);
}

TEST_F(DialogKeys, AMultilineEditWantingEnterKeepsItAndAPlainEditDoesNot)
{
    bool multiline = true, single = false;
    std::vector<Logged> commands = CommandsOf(203, owner, [&](HWND dialog) {
        multiline = DialogKey(GetDlgItem(dialog, 1201), VK_RETURN);
        single = DialogKey(GetDlgItem(dialog, 1202), VK_RETURN);
    });
    EXPECT_FALSE(multiline);
    EXPECT_TRUE(single);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 1014);
}

TEST_F(DialogKeys, SettingTheDefaultIdRestylesBothButtonsAndMovesEnter)
{
    LRESULT before = 0, after = 0;
    HWND ok = nullptr, remove = nullptr;
    std::vector<Logged> commands = CommandsOf(201, owner, [&](HWND dialog) {
        ok = GetDlgItem(dialog, 1014);
        remove = GetDlgItem(dialog, 1012);
        before = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        Log().clear();
        EXPECT_TRUE(SendMessageW(dialog, DM_SETDEFID, 1012, 0));
        after = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        Press(GetDlgItem(dialog, 1001), Qt::Key_Return);
    });
    EXPECT_EQ(before, MAKELONG(1014, DC_HASDEFID));
    EXPECT_EQ(after, MAKELONG(1012, DC_HASDEFID));
    std::vector<Logged> styles = LoggedOf(BM_SETSTYLE);
    ASSERT_EQ(styles.size(), 2u);
    EXPECT_EQ(styles[0].window, ok);
    EXPECT_EQ(styles[0].wParam, WPARAM(BS_PUSHBUTTON));
    EXPECT_EQ(styles[1].window, remove);
    EXPECT_EQ(styles[1].wParam, WPARAM(BS_DEFPUSHBUTTON));
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 1012);
}

TEST_F(DialogKeys, ADialogWithoutADefaultButtonHasNoDefaultId)
{
    LRESULT id = -1;
    CommandsOf(205, owner, [&](HWND dialog) { id = SendMessageW(dialog, DM_GETDEFID, 0, 0); });
    EXPECT_EQ(id, 0);
}

TEST_F(DialogKeys, EscapeSendsIdcancelWithTheCancelButton)
{
    HWND cancel = nullptr;
    std::vector<Logged> commands = CommandsOf(201, owner, [&](HWND dialog) {
        cancel = GetDlgItem(dialog, IDCANCEL);
        Press(GetDlgItem(dialog, 1001), Qt::Key_Escape);
        SendMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0); // the default handling of the key
    });
    ASSERT_EQ(commands.size(), 2u);
    for (const Logged& command : commands) {
        EXPECT_EQ(command.wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
        EXPECT_EQ(command.lParam, reinterpret_cast<LPARAM>(cancel));
    }
}

TEST_F(DialogKeys, TabMovesThroughVisibleEnabledTabStopsAndGoesRound)
{
    std::vector<int> forward, backward;
    CommandsOf(201, owner, [&](HWND dialog) {
        SetFocus(GetDlgItem(dialog, 1001));
        for (int i = 0; i < 4; ++i) {
            Press(GetFocus(), Qt::Key_Tab);
            forward.push_back(GetDlgCtrlID(GetFocus()));
        }
        for (int i = 0; i < 3; ++i) {
            Press(GetFocus(), Qt::Key_Backtab, Qt::ShiftModifier);
            backward.push_back(GetDlgCtrlID(GetFocus()));
        }
    });
    // 1002 is hidden, 1003 no tab stop, 1004 disabled, 1012 hidden.
    EXPECT_EQ(forward, (std::vector<int>{IDCANCEL, 1014, 1001, IDCANCEL}));
    EXPECT_EQ(backward, (std::vector<int>{1001, 1014, IDCANCEL}));
}

TEST_F(DialogKeys, NextControlCanNameTheControlToFocus)
{
    int focused = 0;
    CommandsOf(201, owner, [&](HWND dialog) {
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, 1014)),
                     TRUE);
        focused = GetDlgCtrlID(GetFocus());
    });
    EXPECT_EQ(focused, 1014);
}

TEST_F(DialogKeys, KeysGoNowhereWhileAMessageBoxIsUpOrForAnOuterDialog)
{
    bool duringBox = true, outer = true, notDialog = true, otherKey = true;
    DialogHandler inner = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    DialogHandler handler = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == 900) {
            RunTestDialog(202, dialog, &inner);
            EndDialog(dialog, 1);
        }
        return FALSE;
    };
    HWND outerField = nullptr;
    int step = 0;
    onIdle = [&] {
        std::vector<OpenDialog> open = OpenDialogs();
        switch (step++) {
        case 0:
            outerField = GetDlgItem(open.back().window, 1001);
            otherKey = DialogKey(outerField, VK_SPACE);
            notDialog = DialogKey(owner, VK_ESCAPE);
            PostMessageW(open.back().window, WM_COMMAND, 900, 0);
            break;
        case 1:
            outer = DialogKey(outerField, VK_ESCAPE);
            MessageBoxW(nullptr, u"Up", u"Z", MB_OK);
            EndDialog(open.back().window, 1);
            break;
        default:
            duringBox = DialogKey(GetDlgItem(open.back().window, 1101), VK_ESCAPE);
            QMetaObject::invokeMethod(MessageBoxButton(IDOK), "click");
        }
    };
    RunTestDialog(201, owner, &handler);
    EXPECT_FALSE(otherKey);
    EXPECT_FALSE(notDialog);
    EXPECT_FALSE(outer);
    EXPECT_FALSE(duringBox);
    EXPECT_TRUE(LoggedOf(WM_COMMAND).size() == 1u) << "only the posted command";
}
} // namespace
