// Shell dialogs: full screen between the bars at every screen size and after the screen turns,
// the Done button's hook, and the input panel lowered.
#include "dialog_test_support.h"

namespace
{
using ShellDialogs = DialogTest;

BOOL InitShell(HWND dialog, DWORD flags)
{
    SHINITDLGINFO info{SHIDIM_FLAGS, dialog, flags};
    return SHInitDialog(&info);
}

RECT PlaceOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

TEST_F(ShellDialogs, AFullScreenDialogCoversTheRowsBetweenTheBars)
{
    struct Case {
        SIZE screenSize;
        DWORD flags;
        RECT expected;
    };
    const Case cases[] = {
        {{240, 320}, SHIDIF_SIZEDLGFULLSCREEN, {0, 26, 240, 294}},
        {{320, 240}, SHIDIF_SIZEDLGFULLSCREEN, {0, 26, 320, 214}},
        {{480, 640}, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN, {0, 26, 480, 614}},
        {{240, 320}, SHIDIF_SIZEDLG, {0, 26, 240, 294}},
        {{240, 320}, SHIDIF_FULLSCREENNOMENUBAR, {0, 26, 240, 320}},
    };
    for (const Case& c : cases) {
        SetScreenSize(c.screenSize.cx, c.screenSize.cy);
        RECT place{};
        LPARAM sized = 0;
        DialogHandler handler = [&](HWND dialog, UINT message, WPARAM, LPARAM lParam) -> INT_PTR {
            if (message == WM_INITDIALOG) {
                EXPECT_TRUE(InitShell(dialog, c.flags));
            }
            if (message == WM_SIZE)
                sized = lParam;
            return FALSE;
        };
        onIdle = [&] {
            place = PlaceOf(OpenDialogs().back().window);
            EndDialog(OpenDialogs().back().window, 1);
        };
        RunTestDialog(201, owner, &handler);
        EXPECT_EQ(place.left, c.expected.left);
        EXPECT_EQ(place.top, c.expected.top);
        EXPECT_EQ(place.right, c.expected.right);
        EXPECT_EQ(place.bottom, c.expected.bottom) << c.screenSize.cx << "x" << c.screenSize.cy;
        EXPECT_EQ(sized, MAKELPARAM(c.expected.right, c.expected.bottom - c.expected.top))
            << "the procedure heard the size";
    }
}

TEST_F(ShellDialogs, AFullScreenDialogFollowsTheScreenWhenItTurns)
{
    std::vector<std::pair<UINT, LPARAM>> heard;
    DialogHandler handler = [&](HWND dialog, UINT message, WPARAM, LPARAM lParam) -> INT_PTR {
        if (message == WM_INITDIALOG)
            InitShell(dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN);
        if (message == WM_SIZE || message == WM_SETTINGCHANGE)
            heard.push_back({message, lParam});
        return FALSE;
    };
    std::vector<RECT> places;
    int step = 0;
    onIdle = [&] {
        HWND dialog = OpenDialogs().back().window;
        heard.clear();
        SetScreenSize(step == 0 ? 320 : 240, step == 0 ? 240 : 320);
        SendMessageW(dialog, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
        places.push_back(PlaceOf(dialog));
        if (++step == 2)
            EndDialog(dialog, 1);
    };
    RunTestDialog(201, owner, &handler);
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0].right, 320);
    EXPECT_EQ(places[0].bottom - places[0].top, 188);
    EXPECT_EQ(places[1].right, 240);
    EXPECT_EQ(places[1].bottom - places[1].top, 268);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].first, UINT(WM_SIZE)) << "the new size comes before the change";
    EXPECT_EQ(heard[0].second, MAKELPARAM(240, 268));
    EXPECT_EQ(heard[1].first, UINT(WM_SETTINGCHANGE));
}

TEST_F(ShellDialogs, ADialogNotMadeFullScreenKeepsItsSizeWhenTheScreenTurns)
{
    RECT before{}, after{};
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    onIdle = [&] {
        HWND dialog = OpenDialogs().back().window;
        before = PlaceOf(dialog);
        SetScreenSize(320, 240);
        SendMessageW(dialog, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
        after = PlaceOf(dialog);
        EndDialog(dialog, 1);
    };
    RunTestDialog(205, owner, &handler);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
    EXPECT_LT(after.right - after.left, 200);
}

std::vector<std::pair<HWND, bool>> doneCalls;
void RecordDone(HWND dialog, bool show)
{
    doneCalls.push_back({dialog, show});
}

TEST_F(ShellDialogs, TheDoneButtonShowsWhileItsDialogIsInFront)
{
    doneCalls.clear();
    SetDoneButtonHook(RecordDone);
    HWND outerDialog = nullptr, innerDialog = nullptr;
    DialogHandler inner = [&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            innerDialog = dialog;
            InitShell(dialog, SHIDIF_SIZEDLGFULLSCREEN);
        }
        return FALSE;
    };
    DialogHandler outer = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            outerDialog = dialog;
            InitShell(dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN);
        }
        if (message == WM_COMMAND && LOWORD(wParam) == 900) {
            RunTestDialog(202, dialog, &inner);
            EndDialog(dialog, 1);
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
            EndDialog(dialog, 2);
        return message == WM_ACTIVATE; // a procedure that keeps its activation to itself
    };
    int step = 0;
    onIdle = [&] {
        HWND front = OpenDialogs().back().window;
        if (step++ == 0)
            PostMessageW(front, WM_COMMAND, 900, 0);
        else
            EndDialog(front, 1);
    };
    RunTestDialog(201, owner, &outer);
    std::vector<std::pair<HWND, bool>> expected = {
        {outerDialog, true}, {innerDialog, false}, {outerDialog, true}, {outerDialog, false}};
    EXPECT_EQ(doneCalls, expected);
}

TEST_F(ShellDialogs, SipDownLowersTheInputPanel)
{
    SIPINFO up{};
    up.cbSize = sizeof(up);
    up.fdwFlags = SIPF_ON;
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &up, 0));
    ASSERT_TRUE(IsInputPanelUp());
    DialogHandler handler = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            InitShell(dialog, SHIDIF_SIPDOWN);
            EndDialog(dialog, 1);
        }
        return FALSE;
    };
    RunTestDialog(202, owner, &handler);
    EXPECT_FALSE(IsInputPanelUp());
}

TEST_F(ShellDialogs, BadInformationIsRefused)
{
    SetLastError(0);
    EXPECT_FALSE(SHInitDialog(nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    for (HWND window : {HWND(nullptr), owner, reinterpret_cast<HWND>(0x777)}) {
        SetLastError(0);
        EXPECT_FALSE(InitShell(window, SHIDIF_SIZEDLGFULLSCREEN));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    }
    RECT r{};
    GetWindowRect(owner, &r);
    EXPECT_EQ(r.bottom, 294) << "the owner was not moved";
}

TEST_F(ShellDialogs, WithoutTheFlagsMaskNothingChanges)
{
    RECT before{}, after{};
    DialogHandler handler = [&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            before = PlaceOf(dialog);
            SHINITDLGINFO info{0, dialog, SHIDIF_SIZEDLGFULLSCREEN};
            EXPECT_TRUE(SHInitDialog(&info));
            after = PlaceOf(dialog);
            EndDialog(dialog, 1);
        }
        return FALSE;
    };
    RunTestDialog(202, owner, &handler);
    EXPECT_EQ(before.right, after.right);
    EXPECT_EQ(before.bottom, after.bottom);
}
} // namespace
