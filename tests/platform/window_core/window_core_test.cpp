// Windows and messages: classes, creation and destruction, the message queue, focus, text and
// the values kept with a window, as program code relies on them.
#include "platform/window/window_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen>& Log()
{
    static std::vector<Seen> log;
    return log;
}

LRESULT createResult = 0;
// What WM_CREATE carried, read while its structure lives.
CREATESTRUCTW created;
std::u16string createdName;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Log().push_back({window, message, wParam, lParam});
    if (message == WM_CREATE) {
        created = *reinterpret_cast<const CREATESTRUCTW*>(lParam);
        createdName = created.lpszName ? created.lpszName : u"";
        return createResult;
    }
    if (message == WM_DESTROY && !GetParent(window))
        PostQuitMessage(7);
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<UINT> MessagesOf(HWND window)
{
    std::vector<UINT> messages;
    for (const Seen& s : Log())
        if (s.window == window)
            messages.push_back(s.message);
    return messages;
}

bool Saw(HWND window, UINT message)
{
    for (const Seen& s : Log())
        if (s.window == window && s.message == message)
            return true;
    return false;
}

class WindowCore : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(EnsureApplication());
        SetScreenSize(240, 320);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = u"Recording";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        ASSERT_NE(RegisterClassW(&wc), 0);
    }
    void SetUp() override
    {
        Log().clear();
        createResult = 0;
    }
    void TearDown() override
    {
        for (HWND window : AllWindows())
            if (!GetParent(window))
                DestroyWindow(window);
        // Take the quit messages the destroyed windows posted.
        MSG message;
        while (QuitPosted())
            GetMessageW(&message, nullptr, 0, 0);
    }

    static HWND TopLevel(LPCWSTR title = u"Main")
    {
        return CreateWindowExW(0, u"Recording", title, 0, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                               nullptr, nullptr, nullptr, nullptr);
    }
    static HWND Child(HWND parent, int id)
    {
        return CreateWindowExW(0, u"Recording", u"", WS_CHILD | WS_VISIBLE, 0, 27, 100, 50, parent,
                               reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr,
                               nullptr);
    }
};

TEST_F(WindowCore, AClassIsRegisteredOnceAndItsNameComparesWithoutCase)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = u"RECORDING";
    SetLastError(0);
    EXPECT_EQ(RegisterClassW(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    wc.lpfnWndProc = nullptr;
    wc.lpszClassName = u"NoProcedure";
    EXPECT_EQ(RegisterClassW(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RegisterClassW(nullptr), 0);
}

TEST_F(WindowCore, CreationRefusesUnknownClassesOrphanChildrenAndDeadParents)
{
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(CreateWindowExW(0, u"Recording", u"", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TLW_WITH_WSCHILD));
    HWND parent = TopLevel();
    DestroyWindow(parent);
    EXPECT_EQ(Child(parent, 5), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowCore, CreationSendsCreateWithItsParametersThenSize)
{
    int token = 42;
    HWND window = CreateWindowExW(0, u"Recording", u"Title", 0, 0, 0, 200, 100, nullptr, nullptr,
                                  nullptr, &token);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log().front().message, UINT(WM_CREATE));
    EXPECT_EQ(created.lpCreateParams, &token);
    EXPECT_EQ(created.cx, 200);
    EXPECT_EQ(created.cy, 100);
    EXPECT_EQ(createdName, u"Title");
    EXPECT_TRUE(Saw(window, WM_SIZE));
    for (const Seen& s : Log()) {
        if (s.message == WM_SIZE) {
            EXPECT_EQ(s.lParam, MAKELPARAM(200, 100));
        }
    }
}

TEST_F(WindowCore, ACreateAnswerOfMinusOneDestroysTheWindowAndReturnsNone)
{
    createResult = -1;
    EXPECT_EQ(TopLevel(), nullptr);
    EXPECT_EQ(MessagesOf(Log().front().window), (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(Log().front().window));
}

TEST_F(WindowCore, ADefaultSizedWindowSpansTheScreenAboveTheMenuBar)
{
    HWND window = TopLevel();
    RECT client = {};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 320 - 26);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
}

TEST_F(WindowCore, DestroyingAParentDestroysItsChildrenAfterItAndPostsNothingOfTheirs)
{
    HWND parent = TopLevel();
    HWND child = Child(parent, 500);
    PostMessageW(child, WM_USER + 1, 0, 0);
    Log().clear();
    ASSERT_TRUE(DestroyWindow(parent));
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].window, parent);
    EXPECT_EQ(Log()[1].window, child);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(child));
    MSG message;
    EXPECT_FALSE(GetMessageW(&message, nullptr, 0, 0)) << "only the quit is left";
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
}

TEST_F(WindowCore, SentMessagesRunAtOncePostedOnesInOrderThroughTheLoop)
{
    HWND window = TopLevel();
    Log().clear();
    PostMessageW(window, WM_USER + 1, 1, 0);
    PostMessageW(window, WM_USER + 2, 2, 0);
    SendMessageW(window, WM_USER + 3, 3, 0);
    ASSERT_EQ(MessagesOf(window), (std::vector<UINT>{WM_USER + 3}));
    MSG message;
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, UINT(WM_USER + 1));
    DispatchMessageW(&message);
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, UINT(WM_USER + 2));
    DispatchMessageW(&message);
    EXPECT_EQ(MessagesOf(window), (std::vector<UINT>{WM_USER + 3, WM_USER + 1, WM_USER + 2}));
}

TEST_F(WindowCore, MessagesToUnknownWindowsFailWithTheirError)
{
    HWND gone = TopLevel();
    DestroyWindow(gone);
    SetLastError(0);
    EXPECT_EQ(SendMessageW(gone, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(PostMessageW(gone, WM_USER, 0, 0));
    EXPECT_FALSE(GetMessageW(nullptr, nullptr, 0, 0));
}

TEST_F(WindowCore, FindWindowFindsTopLevelWindowsByClassAndTitle)
{
    HWND main = TopLevel(u"Zentally");
    Child(main, 500);
    EXPECT_EQ(FindWindowW(u"recording", u"Zentally"), main);
    EXPECT_EQ(FindWindowW(u"Recording", nullptr), main);
    EXPECT_EQ(FindWindowW(u"Recording", u"Other"), nullptr);
    EXPECT_EQ(FindWindowW(u"NoSuchClass", u"Zentally"), nullptr);
}

TEST_F(WindowCore, TheForegroundWindowIsToldOfItsActivation)
{
    HWND first = TopLevel(u"First");
    HWND second = TopLevel(u"Second");
    Log().clear();
    ASSERT_TRUE(SetForegroundWindow(first));
    EXPECT_EQ(GetForegroundWindow(), first);
    Log().clear();
    SetForegroundWindow(second);
    bool firstLost = false, secondGained = false;
    for (const Seen& s : Log()) {
        if (s.message != WM_ACTIVATE)
            continue;
        firstLost |= s.window == first && LOWORD(s.wParam) == WA_INACTIVE;
        secondGained |= s.window == second && LOWORD(s.wParam) != WA_INACTIVE;
    }
    EXPECT_TRUE(firstLost);
    EXPECT_TRUE(secondGained);
}

TEST_F(WindowCore, FocusMovesWithItsMessagesAndReturnsThePreviousWindow)
{
    HWND main = TopLevel();
    HWND a = Child(main, 1);
    HWND b = Child(main, 2);
    SetFocus(a);
    Log().clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_TRUE(Saw(a, WM_KILLFOCUS));
    EXPECT_TRUE(Saw(b, WM_SETFOCUS));
}

TEST_F(WindowCore, TextLongValuesIdsAndEnabledStateAreKeptWithTheWindow)
{
    HWND main = TopLevel(u"Caption");
    HWND child = Child(main, 77);
    WCHAR buffer[5];
    EXPECT_EQ(GetWindowTextW(main, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"Capt") << "cut to the buffer, always terminated";
    EXPECT_EQ(GetWindowTextLengthW(main), 7);
    EXPECT_TRUE(SetWindowTextW(main, u"New"));
    EXPECT_EQ(GetWindowTextLengthW(main), 3);

    LONG_PTR pointer = reinterpret_cast<LONG_PTR>(&buffer);
    EXPECT_EQ(SetWindowLongPtrW(child, GWLP_USERDATA, pointer), 0);
    EXPECT_EQ(GetWindowLongPtrW(child, GWLP_USERDATA), pointer);
    EXPECT_EQ(GetDlgCtrlID(child), 77);
    EXPECT_EQ(GetDlgItem(main, 77), child);
    EXPECT_EQ(GetDlgItem(main, 78), nullptr);
    EXPECT_EQ(GetParent(child), main);
    EXPECT_EQ(GetParent(main), nullptr);

    EXPECT_FALSE(EnableWindow(child, FALSE)) << "it was enabled";
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_TRUE(EnableWindow(child, TRUE)) << "it was disabled";
    EXPECT_TRUE(IsWindowEnabled(child));
}

TEST_F(WindowCore, MovingAWindowReportsItsNewSize)
{
    HWND main = TopLevel();
    HWND child = Child(main, 3);
    Log().clear();
    ASSERT_TRUE(MoveWindow(child, 5, 30, 120, 60, TRUE));
    RECT client = {};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 120);
    EXPECT_EQ(client.bottom, 60);
    bool sized = false;
    for (const Seen& s : Log())
        sized |= s.window == child && s.message == WM_SIZE && s.lParam == MAKELPARAM(120, 60);
    EXPECT_TRUE(sized);
}
} // namespace
