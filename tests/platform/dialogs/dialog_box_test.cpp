// Running dialogs: made from their templates, initialised, modal over their owner, nested, and
// ended by EndDialog, by a quit or not at all when their template or a control is bad.
#include "dialog_test_support.h"

#include <QImage>

namespace
{
using DialogBoxes = DialogTest;

HWND Item(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

TEST_F(DialogBoxes, InitDialogComesOnceEveryControlIsMadeAndHasTheDialogFont)
{
    DialogHandler handler = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG)
            EndDialog(dialog, 1);
        return FALSE;
    };
    ASSERT_EQ(RunTestDialog(201, owner, &handler), 1);
    std::vector<Logged> inits = LoggedOf(WM_INITDIALOG);
    ASSERT_EQ(inits.size(), 1u);
    HWND dialog = inits[0].window;
    size_t init = 0;
    while (Log()[init].message != WM_INITDIALOG)
        ++init;
    std::vector<int> made;
    std::vector<HFONT> fonts;
    for (size_t i = 0; i < init; ++i) {
        const Logged& entry = Log()[i];
        EXPECT_NE(entry.window, dialog) << "the procedure hears nothing before WM_INITDIALOG";
        if (entry.message == WM_CREATE)
            made.push_back(int(i));
        if (entry.message == WM_SETFONT)
            fonts.push_back(reinterpret_cast<HFONT>(entry.wParam));
    }
    EXPECT_EQ(made.size(), 7u) << "every control is made before";
    ASSERT_EQ(fonts.size(), 7u) << "every control is given the font before";
    for (HFONT font : fonts) {
        EXPECT_NE(font, nullptr);
        EXPECT_EQ(font, fonts[0]);
    }
}

TEST_F(DialogBoxes, InitDialogIsGivenTheFirstTabStopAndTheParameter)
{
    HWND focusGiven = nullptr, firstField = nullptr;
    DialogHandler handler = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            focusGiven = reinterpret_cast<HWND>(wParam);
            firstField = Item(dialog, 1001);
            EndDialog(dialog, 1);
        }
        return FALSE;
    };
    RunTestDialog(201, owner, &handler);
    EXPECT_NE(firstField, nullptr);
    EXPECT_EQ(focusGiven, firstField);
    ASSERT_EQ(LoggedOf(WM_INITDIALOG).size(), 1u);
    EXPECT_EQ(LoggedOf(WM_INITDIALOG)[0].lParam, reinterpret_cast<LPARAM>(&handler));
}

TEST_F(DialogBoxes, TrueFromInitDialogFocusesTheFirstTabStopAndFalseKeepsTheProceduresFocus)
{
    struct Case {
        INT_PTR initResult;
        int focusedByProcedure;
        int expected;
    };
    for (Case c : {Case{TRUE, 1014, 1001}, Case{FALSE, 1014, 1014}}) {
        int focused = 0;
        DialogHandler handler = [&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
            if (message == WM_INITDIALOG) {
                SetFocus(Item(dialog, c.focusedByProcedure));
                return c.initResult;
            }
            return FALSE;
        };
        onIdle = [&] {
            HWND dialog = OpenDialogs().back().window;
            focused = GetDlgCtrlID(GetFocus());
            EndDialog(dialog, 1);
        };
        RunTestDialog(201, owner, &handler);
        EXPECT_EQ(focused, c.expected) << "WM_INITDIALOG returned " << c.initResult;
    }
}

TEST_F(DialogBoxes, TheValueGivenToEndDialogIsReturned)
{
    for (INT_PTR value : {INT_PTR(0), INT_PTR(1), INT_PTR(1014), INT_PTR(-5), INT_PTR(1) << 40}) {
        DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
        onIdle = [&] { EXPECT_TRUE(EndDialog(OpenDialogs().back().window, value)); };
        EXPECT_EQ(RunTestDialog(202, owner, &handler), value);
        EXPECT_TRUE(OpenDialogs().empty());
    }
}

TEST_F(DialogBoxes, EndDialogRefusesWhatIsNotARunningDialog)
{
    HWND ended = nullptr;
    DialogHandler handler = [&](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            ended = dialog;
            EndDialog(dialog, 3);
        }
        return FALSE;
    };
    RunTestDialog(202, owner, &handler);
    for (HWND window : {HWND(nullptr), owner, ended, reinterpret_cast<HWND>(0x1234)}) {
        SetLastError(0);
        EXPECT_FALSE(EndDialog(window, 1));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    }
}

TEST_F(DialogBoxes, ADialogEndedInInitDialogIsNeverShownAndLeavesTheOwnerAlone)
{
    DialogHandler handler = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG)
            EndDialog(dialog, 9);
        return FALSE;
    };
    EXPECT_EQ(RunTestDialog(202, owner, &handler), 9);
    EXPECT_TRUE(LoggedOf(WM_ACTIVATE, owner).empty()) << "the owner never lost the front";
    EXPECT_EQ(GetForegroundWindow(), owner);
}

TEST_F(DialogBoxes, TheOwnerIsDisabledWhileTheDialogRunsAndEnabledBeforeItIsActiveAgain)
{
    bool enabledDuring = true;
    HWND dialog = nullptr, foregroundDuring = nullptr;
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    onIdle = [&] {
        dialog = OpenDialogs().back().window;
        enabledDuring = IsWindowEnabled(owner);
        foregroundDuring = GetForegroundWindow();
        EndDialog(dialog, 1);
    };
    RunTestDialog(202, owner, &handler);
    EXPECT_FALSE(enabledDuring);
    EXPECT_EQ(foregroundDuring, dialog);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetForegroundWindow(), owner);
    std::vector<Logged> activations = LoggedOf(WM_ACTIVATE, owner);
    ASSERT_EQ(activations.size(), 2u);
    EXPECT_EQ(LOWORD(activations[0].wParam), WA_INACTIVE);
    EXPECT_EQ(LOWORD(activations[1].wParam), WA_ACTIVE);
    EXPECT_TRUE(activations[1].lParam) << "enabled when it became active again";
}

TEST_F(DialogBoxes, AnOwnerDisabledBeforeStaysDisabled)
{
    EnableWindow(owner, FALSE);
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    onIdle = [] { EndDialog(OpenDialogs().back().window, 1); };
    RunTestDialog(202, owner, &handler);
    EXPECT_FALSE(IsWindowEnabled(owner));
}

TEST_F(DialogBoxes, TheDialogIsOnTheScreenOwnedByItsOwnerWithItsControlsInside)
{
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    onIdle = [&] {
        HWND dialog = OpenDialogs().back().window;
        EXPECT_EQ(GetParent(dialog), owner);
        EXPECT_EQ(WidgetOf(dialog)->parentWidget(), screen.get());
        std::vector<HWND> children = ChildWindows(dialog);
        ASSERT_EQ(children.size(), 7u);
        const int ids[] = {1001, 1002, 1003, 1004, 1012, IDCANCEL, 1014};
        for (size_t i = 0; i < children.size(); ++i) {
            EXPECT_EQ(GetDlgCtrlID(children[i]), ids[i]);
            EXPECT_EQ(WidgetOf(children[i])->parentWidget(), WidgetOf(dialog));
            EXPECT_TRUE(GetWindowLongW(children[i], GWL_STYLE) & WS_CHILD);
        }
        EXPECT_FALSE(IsWindowVisible(Item(dialog, 1002))) << "hidden as the template says";
        EXPECT_FALSE(IsWindowEnabled(Item(dialog, 1004)));
        WCHAR caption[32];
        GetWindowTextW(dialog, caption, 32);
        EXPECT_EQ(std::u16string(caption), u"First");
        EndDialog(dialog, 1);
    };
    RunTestDialog(201, owner, &handler);
    EXPECT_EQ(ChildWindows(owner).size(), 0u);
}

TEST_F(DialogBoxes, ControlsArePlacedInDialogUnitsOfTheDialogFont)
{
    DialogHandler handler = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message != WM_INITDIALOG)
            return FALSE;
        SIZE base = DialogBaseUnits(dialog);
        EXPECT_GT(base.cx, 2);
        EXPECT_GT(base.cy, 8);
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_NEAR(client.right, 140.0 * base.cx / 4, 0.5);
        EXPECT_NEAR(client.bottom, 90.0 * base.cy / 8, 0.5);
        QRect ok = WidgetOf(GetDlgItem(dialog, 1014))->geometry();
        EXPECT_NEAR(ok.x(), 96.0 * base.cx / 4, 0.5);
        EXPECT_NEAR(ok.y(), 68.0 * base.cy / 8, 0.5);
        EXPECT_NEAR(ok.width(), 40.0 * base.cx / 4, 0.5);
        EXPECT_NEAR(ok.height(), 14.0 * base.cy / 8, 0.5);
        EndDialog(dialog, 1);
        return FALSE;
    };
    RunTestDialog(201, owner, &handler);
    EXPECT_EQ(DialogBaseUnits(owner).cx, 0);
}

TEST_F(DialogBoxes, NestedDialogsAndAMessageBoxOverThemAreOpenInOrder)
{
    std::vector<std::vector<OpenDialog>> seen;
    bool outerEnabled = true, boxUp = false;
    INT_PTR innerResult = 0;
    int answer = 0;
    DialogHandler inner = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == 2000) {
            answer = MessageBoxW(nullptr, u"Over both", u"Z", MB_OK);
            EndDialog(dialog, 7);
            return TRUE;
        }
        return FALSE;
    };
    DialogHandler outer = [&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == 1000) {
            innerResult = RunTestDialog(202, dialog, &inner);
            EndDialog(dialog, 8);
            return TRUE;
        }
        return FALSE;
    };
    int step = 0;
    onIdle = [&] {
        std::vector<OpenDialog> open = OpenDialogs();
        seen.push_back(open);
        switch (step++) {
        case 0: SendMessageW(open.back().window, WM_COMMAND, 1000, 0); break;
        case 1:
            outerEnabled = IsWindowEnabled(open.front().window);
            SendMessageW(open.back().window, WM_COMMAND, 2000, 0);
            break;
        default:
            boxUp = MessageBoxOnScreen() != nullptr;
            if (QWidget* ok = MessageBoxButton(IDOK))
                QMetaObject::invokeMethod(ok, "click");
        }
    };
    EXPECT_EQ(RunTestDialog(201, owner, &outer), 8);
    EXPECT_EQ(innerResult, 7);
    EXPECT_EQ(answer, IDOK);
    EXPECT_TRUE(boxUp);
    EXPECT_FALSE(outerEnabled) << "the outer dialog owns the inner one";
    ASSERT_GE(seen.size(), 3u);
    ASSERT_EQ(seen[0].size(), 1u);
    EXPECT_EQ(seen[0][0].templateId, 201u);
    ASSERT_EQ(seen[1].size(), 2u);
    EXPECT_EQ(seen[1][0].templateId, 201u);
    EXPECT_EQ(seen[1][1].templateId, 202u);
    EXPECT_EQ(seen[2].size(), 2u) << "both dialogs stay open under the box";
    EXPECT_TRUE(OpenDialogs().empty());
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetForegroundWindow(), owner);
}

TEST_F(DialogBoxes, ATemplateFromTheModulesTableIsFoundWithoutLoading)
{
    UINT id = 0;
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    onIdle = [&] {
        id = OpenDialogs().back().templateId;
        EndDialog(OpenDialogs().back().window, 4);
    };
    EXPECT_EQ(DialogBoxIndirectParamW(TestModule(), static_cast<LPCDLGTEMPLATEW>(TemplateOf(205)),
                                      owner, TestDialogProc, reinterpret_cast<LPARAM>(&handler)),
              4);
    EXPECT_EQ(id, 205u);
}

TEST_F(DialogBoxes, BadTemplatesAndArgumentsAreRefusedAndLeaveNothingBehind)
{
    static WORD unknown[64] = {0, 0x8000, 0, 0, 0, 0, 0, 10, 10, 0, 0, 0};
    const void* cut = nullptr;
    HINSTANCE cutModule = TruncatedModule(201, 41, &cut);
    const void* full = nullptr;
    DWORD size =
        SizeofResource(TestModule(), FindResourceW(TestModule(), MAKEINTRESOURCEW(201), RT_DIALOG));
    ASSERT_GT(size, 41u);
    HINSTANCE fullModule = TruncatedModule(201, size, &full);
    // A count beyond the data: a whole copy of the first template claiming an item more.
    WORD* claims = static_cast<WORD*>(const_cast<void*>(full));
    claims[4] = 8;
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    struct Case {
        const char* what;
        HINSTANCE instance;
        const void* data;
        HWND owner;
        DLGPROC procedure;
        DWORD error;
    };
    const Case cases[] = {
        {"no template", TestModule(), nullptr, owner, TestDialogProc, ERROR_INVALID_PARAMETER},
        {"no procedure", TestModule(), TemplateOf(202), owner, nullptr, ERROR_INVALID_PARAMETER},
        {"a template of no resource", TestModule(), unknown, owner, TestDialogProc,
         ERROR_INVALID_PARAMETER},
        {"a cut template", cutModule, cut, owner, TestDialogProc, ERROR_INVALID_PARAMETER},
        {"a count beyond the data", fullModule, full, owner, TestDialogProc,
         ERROR_INVALID_PARAMETER},
        {"an owner that is no window", TestModule(), TemplateOf(202),
         reinterpret_cast<HWND>(0x4321), TestDialogProc, ERROR_INVALID_WINDOW_HANDLE},
    };
    size_t windows = AllWindows().size();
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(DialogBoxIndirectParamW(c.instance, static_cast<LPCDLGTEMPLATEW>(c.data), c.owner,
                                          c.procedure, reinterpret_cast<LPARAM>(&handler)),
                  -1)
            << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
        EXPECT_EQ(AllWindows().size(), windows) << c.what;
    }
    EXPECT_TRUE(Log().empty()) << "no procedure heard of them";
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(OpenDialogs().empty());
}

TEST_F(DialogBoxes, AControlThatCannotBeMadeFailsTheDialog)
{
    size_t windows = AllWindows().size();
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    SetLastError(0);
    EXPECT_EQ(RunTestDialog(204, owner, &handler), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(AllWindows().size(), windows);
    EXPECT_TRUE(LoggedOf(WM_INITDIALOG).empty());
    EXPECT_TRUE(LoggedOf(WM_DESTROY).size() == 1u) << "the control that was made is destroyed";
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetForegroundWindow(), owner);
}

TEST_F(DialogBoxes, AQuitPostedWhileTheDialogRunsEndsItWithZeroAndStaysPosted)
{
    HWND dialog = nullptr;
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    onIdle = [&] {
        dialog = OpenDialogs().back().window;
        PostQuitMessage(3);
    };
    EXPECT_EQ(RunTestDialog(202, owner, &handler), 0);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(QuitPosted()) << "the outer loop takes the quit";
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG message;
    EXPECT_FALSE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.wParam, 3u);
}

TEST_F(DialogBoxes, ADialogDestroyedFromOutsideEndsItsLoop)
{
    DialogHandler handler = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    onIdle = [&] { DestroyWindow(OpenDialogs().back().window); };
    EXPECT_EQ(RunTestDialog(202, owner, &handler), 0);
    EXPECT_TRUE(OpenDialogs().empty());
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogBoxes, AResultSetInDwlMsgResultIsWhatTheSenderGets)
{
    LRESULT custom = 0, defaultId = 0;
    DialogHandler handler = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_USER + 5) {
            SetWindowLongPtrW(dialog, DWL_MSGRESULT, 1234);
            return TRUE;
        }
        return FALSE;
    };
    onIdle = [&] {
        HWND dialog = OpenDialogs().back().window;
        custom = SendMessageW(dialog, WM_USER + 5, 0, 0);
        defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        EndDialog(dialog, 1);
    };
    RunTestDialog(201, owner, &handler);
    EXPECT_EQ(custom, 1234);
    EXPECT_EQ(defaultId, MAKELONG(1014, DC_HASDEFID)) << "the procedure left it to the default";
}

TEST_F(DialogBoxes, ClosingADialogIsItsCancel)
{
    DialogHandler handler = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND)
            EndDialog(dialog, LOWORD(wParam));
        return FALSE;
    };
    onIdle = [&] { SendMessageW(OpenDialogs().back().window, WM_CLOSE, 0, 0); };
    EXPECT_EQ(RunTestDialog(201, owner, &handler), IDCANCEL);
}

TEST_F(DialogBoxes, TheDialogPaintsOnWhiteThroughItsProcedure)
{
    QImage image;
    DialogHandler handler = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message != WM_PAINT)
            return FALSE;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT corner{0, 0, 5, 5};
        FillRect(dc, &corner, red);
        DeleteObject(red);
        EndPaint(dialog, &paint);
        return TRUE;
    };
    onIdle = [&] {
        HWND dialog = OpenDialogs().back().window;
        image = WidgetOf(dialog)->grab().toImage();
        EndDialog(dialog, 1);
    };
    RunTestDialog(205, owner, &handler);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2), QColor(Qt::white));
    EXPECT_FALSE(LoggedOf(WM_PAINT).empty());
}
} // namespace
