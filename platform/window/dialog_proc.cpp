// The procedure of dialog windows: it hands each message to the program's dialog procedure and
// does what that procedure leaves to it (the default dialog handling): the default button, the
// focus moving between controls, activation, closing, and keeping a full-screen dialog between
// the bars of the screen.
#include "platform/aygshell.h"
#include "platform/controls.h"
#include "platform/window/dialog_internal.h"
#include "platform/window/program_widget.h"

#include <algorithm>

namespace
{
DONEBUTTONHOOK& DoneHook()
{
    static DONEBUTTONHOOK hook = nullptr;
    return hook;
}

// Messages whose result is what the dialog procedure returns, not DWL_MSGRESULT.
bool ResultIsReturned(UINT message)
{
    const UINT ctlColorFirst = 0x0132, ctlColorLast = 0x0138; // WM_CTLCOLORMSGBOX … STATIC
    return message == WM_INITDIALOG || (message >= ctlColorFirst && message <= ctlColorLast);
}

bool IsClass(HWND window, const char16_t* name)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object)
        return false;
    const std::u16string& a = object->className;
    std::u16string_view b(name);
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               auto up = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
               return up(x) == up(y);
           });
}

bool IsPushButton(HWND window)
{
    if (!IsClass(window, WC_BUTTONW))
        return false;
    DWORD type = DWORD(GetWindowLongW(window, GWL_STYLE)) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool IsTabStop(HWND control)
{
    DWORD style = DWORD(GetWindowLongW(control, GWL_STYLE));
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The child of `dialog` that holds `window` (the window itself when it is one), or null.
HWND ChildOfDialog(HWND dialog, HWND window)
{
    for (WindowObject* object = WindowFromHandle(window); object;
         object = WindowFromHandle(object->parent)) {
        if (object->parent == dialog)
            return HandleOf(object);
    }
    return nullptr;
}

// The tab stop after (or before) `from` in creation order, going round; null when there is
// none. From a window that is not a child the walk starts at the first (or last) control.
HWND NextTabStop(HWND dialog, HWND from, bool previous)
{
    std::vector<HWND> children = ChildWindows(dialog);
    if (previous)
        std::reverse(children.begin(), children.end());
    auto at = std::find(children.begin(), children.end(), from);
    size_t start = at == children.end() ? 0 : size_t(at - children.begin()) + 1;
    for (size_t i = 0; i < children.size(); ++i) {
        HWND candidate = children[(start + i) % children.size()];
        if (IsTabStop(candidate))
            return candidate;
    }
    return nullptr;
}

// The default button as the template made it: the first button of BS_DEFPUSHBUTTON style.
HWND TemplateDefaultButton(HWND dialog)
{
    for (HWND child : ChildWindows(dialog)) {
        if (IsClass(child, WC_BUTTONW) &&
            (DWORD(GetWindowLongW(child, GWL_STYLE)) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return child;
    }
    return nullptr;
}

LRESULT OnGetDefaultId(DialogState* dialog)
{
    if (dialog->hasDefaultId)
        return MAKELONG(dialog->defaultId, DC_HASDEFID);
    if (HWND button = TemplateDefaultButton(dialog->window))
        return MAKELONG(GetDlgCtrlID(button), DC_HASDEFID);
    return 0;
}

LRESULT OnSetDefaultId(DialogState* dialog, UINT id)
{
    HWND previous = nullptr;
    if (dialog->hasDefaultId) {
        for (HWND child : ChildWindows(dialog->window))
            if (UINT(GetDlgCtrlID(child)) == dialog->defaultId)
                previous = child;
    } else {
        previous = TemplateDefaultButton(dialog->window);
    }
    HWND next = nullptr;
    for (HWND child : ChildWindows(dialog->window))
        if (UINT(GetDlgCtrlID(child)) == id)
            next = child;
    dialog->defaultId = id;
    dialog->hasDefaultId = true;
    if (previous && previous != next && IsClass(previous, WC_BUTTONW))
        SendMessageW(previous, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    if (next && IsClass(next, WC_BUTTONW))
        SendMessageW(next, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    return TRUE;
}

void FocusControl(HWND control)
{
    SetFocus(control);
    // An edit reached from the keyboard has its whole text selected, ready to be typed over.
    if (IsClass(control, WC_EDITW))
        SendMessageW(control, EM_SETSEL, 0, -1);
}

LRESULT OnNextControl(DialogState* dialog, WPARAM wParam, LPARAM lParam)
{
    HWND target;
    if (LOWORD(lParam))
        target = ChildOfDialog(dialog->window, reinterpret_cast<HWND>(wParam));
    else
        target =
            NextTabStop(dialog->window, ChildOfDialog(dialog->window, GetFocus()), wParam != 0);
    if (target)
        FocusControl(target);
    return 0;
}

LRESULT OnActivate(DialogState* dialog, WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focused = ChildOfDialog(dialog->window, GetFocus()))
            dialog->savedFocus = focused;
        return 0;
    }
    if (dialog->savedFocus && ChildOfDialog(dialog->window, dialog->savedFocus))
        SetFocus(dialog->savedFocus);
    return 0;
}

LRESULT DefaultDialogMessage(DialogState* dialog, HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam)
{
    if (!dialog)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case DM_GETDEFID: return OnGetDefaultId(dialog);
    case DM_SETDEFID: return OnSetDefaultId(dialog, UINT(wParam));
    case WM_NEXTDLGCTL: return OnNextControl(dialog, wParam, lParam);
    case WM_ACTIVATE: return OnActivate(dialog, wParam);
    case WM_CLOSE:
        // Closing a dialog is its Cancel; only EndDialog ends it.
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_TAB)
            DialogKey(window, UINT(wParam), false);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogState* dialog = DialogStateOf(window);
    // The dialog takes its new place before its procedure hears that the screen turned.
    if (dialog && message == WM_SETTINGCHANGE && wParam == SPI_SETWORKAREA)
        FitDialogToScreen(dialog);
    // The ok button follows the dialog in front, whatever its procedure does with WM_ACTIVATE.
    if (dialog && message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE &&
        GetForegroundWindow() == window)
        ShowDoneButton(dialog, (dialog->shellFlags & SHIDIF_DONEBUTTON) != 0);
    if (dialog && dialog->ready && dialog->procedure) {
        INT_PTR handled = dialog->procedure(window, message, wParam, lParam);
        WindowObject* object = WindowFromHandle(window);
        if (!object)
            return handled;
        if (ResultIsReturned(message))
            return handled;
        if (handled)
            return object->dialogResult;
        dialog = DialogStateOf(window);
    }
    return DefaultDialogMessage(dialog, window, message, wParam, lParam);
}

QWidget* CreateDialogWidget(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    auto* dialog = static_cast<DialogState*>(create.lpCreateParams);
    WindowObject* object = WindowFromHandle(window);
    if (!dialog || !object) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    dialog->window = window;
    object->dialogProc = dialog->procedure;
    object->background = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RunningDialogs().push_back(dialog);
    return new ProgramWidget(window, parent);
}
} // namespace

const ControlClass DialogWindowClass = {DIALOG_WINDOW_CLASS, CreateDialogWidget, DialogWindowProc};

void SetDoneButtonHook(DONEBUTTONHOOK hook)
{
    DoneHook() = hook;
}

void ShowDoneButton(const DialogState* dialog, bool show)
{
    if (DoneHook() && dialog)
        DoneHook()(dialog->window, show);
}

HWND FirstTabStop(HWND dialog)
{
    return NextTabStop(dialog, nullptr, false);
}

void FitDialogToScreen(DialogState* dialog)
{
    QWidget* widget = WidgetOf(dialog->window);
    if (!dialog->fullScreen || !widget)
        return;
    SIZE screen = ScreenSize();
    int bottom = screen.cy - (dialog->overMenuBar ? 0 : MENU_BAR_HEIGHT);
    QRect place(0, NAVIGATION_BAR_HEIGHT, screen.cx, std::max(0, bottom - NAVIGATION_BAR_HEIGHT));
    if (widget->geometry() != place)
        MoveWindow(dialog->window, place.x(), place.y(), place.width(), place.height(), TRUE);
}

SIZE DialogBaseUnits(HWND window)
{
    DialogState* dialog = DialogStateOf(window);
    return dialog ? dialog->baseUnits : SIZE{0, 0};
}

namespace
{
// The innermost dialog still running, or null.
DialogState* InnermostDialog()
{
    std::vector<DialogState*>& running = RunningDialogs();
    for (auto it = running.rbegin(); it != running.rend(); ++it) {
        if (!(*it)->closing)
            return *it;
    }
    return nullptr;
}

bool PressDefaultButton(HWND dialog, HWND control)
{
    DWORD style = control ? DWORD(GetWindowLongW(control, GWL_STYLE)) : 0;
    if (control && IsClass(control, WC_EDITW) && (style & ES_MULTILINE) && (style & ES_WANTRETURN))
        return false; // the edit takes Enter as a new line
    HWND button;
    int id;
    if (control && IsPushButton(control)) {
        button = control;
        id = GetDlgCtrlID(control);
    } else {
        LRESULT found = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        id = HIWORD(found) == DC_HASDEFID ? LOWORD(found) : IDOK;
        button = GetDlgItem(dialog, id);
    }
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(MB_OK);
        return true;
    }
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}
} // namespace

bool DialogKey(HWND window, UINT vk, bool shift)
{
    if (vk != VK_RETURN && vk != VK_ESCAPE && vk != VK_TAB)
        return false;
    DialogState* dialog = nullptr;
    for (HWND at = window; at && !dialog;) {
        dialog = DialogStateOf(at);
        WindowObject* object = WindowFromHandle(at);
        at = object ? object->parent : nullptr;
    }
    // Keys reach only the dialog in front, and none while a message box waits for its answer.
    if (!dialog || dialog != InnermostDialog() || !dialog->ready || dialog->ended ||
        MessageBoxOnScreen() || !IsWindowEnabled(dialog->window))
        return false;
    HWND box = dialog->window;
    HWND control = ChildOfDialog(box, window);
    if (!control)
        control = ChildOfDialog(box, GetFocus());
    switch (vk) {
    case VK_RETURN: return PressDefaultButton(box, control);
    case VK_ESCAPE:
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDCANCEL)));
        return true;
    default: SendMessageW(box, WM_NEXTDLGCTL, shift ? 1 : 0, FALSE); return true;
    }
}
