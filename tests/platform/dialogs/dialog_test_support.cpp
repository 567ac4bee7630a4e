#include "dialog_test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include <deque>

namespace
{
constexpr DWORD Shown = WS_CHILD | WS_VISIBLE;
constexpr DWORD Stop = WS_TABSTOP;

constexpr DIALOGITEMENTRY firstItems[] = {
    {Shown | Stop, 4, 4, 60, 12, 1001, u"TestField", u"first"},
    {WS_CHILD | Stop, 4, 20, 60, 12, 1002, u"TestField", u"hidden"},
    {Shown, 4, 36, 60, 12, 1003, u"TestField", u"no stop"},
    {Shown | Stop | WS_DISABLED, 4, 52, 60, 12, 1004, u"TestField", u"disabled"},
    {WS_CHILD | Stop | BS_PUSHBUTTON, 4, 68, 40, 14, 1012, DIALOG_CLASS_BUTTON, u"Delete"},
    {Shown | Stop | BS_PUSHBUTTON, 50, 68, 40, 14, IDCANCEL, DIALOG_CLASS_BUTTON, u"Cancel"},
    {Shown | Stop | BS_DEFPUSHBUTTON, 96, 68, 40, 14, 1014, DIALOG_CLASS_BUTTON, u"OK"},
};
constexpr DIALOGTABLE first = {
    DS_SETFONT | WS_POPUP, 0, 0, 0, 140, 90, u"First", 8, u"Tahoma", firstItems,
    std::size(firstItems)};
constexpr auto firstWords = BuildDialogTemplate<DialogTemplateWords(first)>(first);

constexpr DIALOGITEMENTRY secondItems[] = {
    {Shown | Stop, 4, 4, 60, 12, 1101, u"TestField", u"field"},
    {Shown | Stop | BS_PUSHBUTTON, 4, 20, 40, 14, IDOK, DIALOG_CLASS_BUTTON, u"OK"},
};
constexpr DIALOGTABLE second = {
    DS_SETFONT | WS_POPUP, 0, 0, 0, 100, 60, u"Second", 8, u"Tahoma", secondItems,
    std::size(secondItems)};
constexpr auto secondWords = BuildDialogTemplate<DialogTemplateWords(second)>(second);

constexpr DIALOGITEMENTRY thirdItems[] = {
    {Shown | Stop | ES_MULTILINE | ES_WANTRETURN, 4, 4, 60, 30, 1201, DIALOG_CLASS_EDIT, u""},
    {Shown | Stop, 4, 40, 60, 12, 1202, DIALOG_CLASS_EDIT, u"single"},
    {Shown | Stop | BS_DEFPUSHBUTTON, 4, 60, 40, 14, 1014, DIALOG_CLASS_BUTTON, u"OK"},
};
constexpr DIALOGTABLE third = {
    DS_SETFONT | WS_POPUP, 0, 0, 0, 100, 80, u"Third", 8, u"Tahoma", thirdItems,
    std::size(thirdItems)};
constexpr auto thirdWords = BuildDialogTemplate<DialogTemplateWords(third)>(third);

constexpr DIALOGITEMENTRY fourthItems[] = {
    {Shown | Stop, 4, 4, 60, 12, 1300, u"TestField", u"made"},
    {Shown | Stop, 4, 20, 60, 12, 1301, u"NoSuchClass", u"never made"},
};
constexpr DIALOGTABLE fourth = {
    WS_POPUP, 0, 0, 0, 100, 60, u"Fourth", 0, nullptr, fourthItems, std::size(fourthItems)};
constexpr auto fourthWords = BuildDialogTemplate<DialogTemplateWords(fourth)>(fourth);

constexpr DIALOGITEMENTRY fifthItems[] = {
    {Shown | Stop, 4, 4, 60, 12, 1401, u"TestField", u"only"},
};
constexpr DIALOGTABLE fifth = {
    WS_POPUP, 0, 0, 0, 80, 40, u"Fifth", 0, nullptr, fifthItems, std::size(fifthItems)};
constexpr auto fifthWords = BuildDialogTemplate<DialogTemplateWords(fifth)>(fifth);

const DIALOGRESOURCE dialogs[] = {
    {201, firstWords.data(), sizeof(firstWords)}, {202, secondWords.data(), sizeof(secondWords)},
    {203, thirdWords.data(), sizeof(thirdWords)}, {204, fourthWords.data(), sizeof(fourthWords)},
    {205, fifthWords.data(), sizeof(fifthWords)},
};
const RESOURCEMODULE module = {nullptr, 0, nullptr, 0, nullptr, 0,
                               nullptr, 0, nullptr, 0, dialogs, std::size(dialogs)};

LRESULT TestControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Log().push_back({window, message, wParam, lParam});
    if (message == BM_SETSTYLE) {
        DWORD style = DWORD(GetWindowLongW(window, GWL_STYLE));
        SetWindowLongW(window, GWL_STYLE, LONG((style & ~BS_TYPEMASK) | (wParam & BS_TYPEMASK)));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TestOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ACTIVATE)
        Log().push_back({window, message, wParam, IsWindowEnabled(window)});
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterTestClasses()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    // "Button" and "Edit" stand for the dialog's buttons and edits, which the dialog manager
    // knows by their class names.
    for (LPCWSTR name : {u"TestField", u"Button", u"Edit"}) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = TestControlProc;
        wc.lpszClassName = name;
        RegisterClassW(&wc);
    }
    WNDCLASSW owner{};
    owner.lpfnWndProc = TestOwnerProc;
    owner.lpszClassName = u"TestOwner";
    RegisterClassW(&owner);
}

int idleSteps = 0;
void Idle()
{
    if (++idleSteps > 400) {
        ADD_FAILURE() << "the modal loop did not end";
        onIdle = nullptr;
        PostQuitMessage(0);
        return;
    }
    if (onIdle)
        onIdle();
}
} // namespace

std::function<void()> onIdle;

std::vector<Logged>& Log()
{
    static std::vector<Logged> log;
    return log;
}

std::vector<Logged> LoggedOf(UINT message, HWND window)
{
    std::vector<Logged> found;
    for (const Logged& entry : Log())
        if (entry.message == message && (!window || entry.window == window))
            found.push_back(entry);
    return found;
}

INT_PTR TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Log().push_back({dialog, message, wParam, lParam});
    DialogHandler* handler;
    if (message == WM_INITDIALOG) {
        handler = reinterpret_cast<DialogHandler*>(lParam);
        SetWindowLongPtrW(dialog, DWL_USER, reinterpret_cast<LONG_PTR>(handler));
    } else {
        handler = reinterpret_cast<DialogHandler*>(GetWindowLongPtrW(dialog, DWL_USER));
    }
    return handler && *handler ? (*handler)(dialog, message, wParam, lParam) : FALSE;
}

HINSTANCE TestModule()
{
    return RegisterResourceModule(&module);
}

const void* TemplateOf(UINT id)
{
    for (const DIALOGRESOURCE& d : dialogs)
        if (d.id == id)
            return d.data;
    return nullptr;
}

HINSTANCE TruncatedModule(UINT id, size_t bytes, const void** data)
{
    static std::deque<std::vector<BYTE>> copies;
    static std::deque<DIALOGRESOURCE> entries;
    static std::deque<RESOURCEMODULE> modules;
    const auto* source = static_cast<const BYTE*>(TemplateOf(id));
    copies.emplace_back(source, source + bytes);
    copies.back().reserve(bytes + 2); // never empty, so that data() is an address of its own
    entries.push_back({id, copies.back().data(), bytes});
    modules.push_back(
        {nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0, &entries.back(), 1});
    *data = copies.back().data();
    return RegisterResourceModule(&modules.back());
}

INT_PTR RunTestDialog(UINT id, HWND owner, DialogHandler* handler)
{
    HRSRC found = FindResourceW(TestModule(), MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = LoadResource(TestModule(), found);
    return DialogBoxIndirectParamW(TestModule(), static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)),
                                   owner, TestDialogProc, reinterpret_cast<LPARAM>(handler));
}

void DialogTest::SetUp()
{
    ASSERT_TRUE(EnsureApplication());
    RegisterTestClasses();
    screen = std::make_unique<QWidget>();
    screen->resize(240, 320);
    SetScreenSize(240, 320);
    SetScreenWidget(screen.get());
    idleSteps = 0;
    SetIdleHandler(Idle);
    ClearRecordings();
    owner = CreateWindowExW(0, u"TestOwner", u"Owner", WS_VISIBLE, 0, 0, CW_USEDEFAULT,
                            CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    SetForegroundWindow(owner);
    Log().clear();
}

void DialogTest::TearDown()
{
    onIdle = nullptr;
    SetDoneButtonHook(nullptr);
    if (IsWindow(owner))
        DestroyWindow(owner);
    MSG message;
    while (QuitPosted() && GetMessageW(&message, nullptr, 0, 0)) {
    }
    SetIdleHandler(nullptr);
    SetScreenWidget(nullptr);
    screen.reset();
    SetScreenSize(240, 320);
}

void DialogTest::Press(HWND window, int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* widget = WidgetOf(window);
    ASSERT_NE(widget, nullptr);
    QPointer<QWidget> alive(widget);
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    if (alive)
        QApplication::sendEvent(widget, &release);
}
