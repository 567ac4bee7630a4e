// What a window is asked about and told: visibility, place and size, focus, text, the values
// kept with it, and its activation as the foreground window.
#include "platform/aygshell.h"
#include "platform/window/window_internal.h"

#include <QApplication>
#include <QString>

#include <algorithm>
#include <cstring>

namespace
{
struct WindowState {
    HWND foreground = nullptr;
    WINDOWHOOK foregroundHook = nullptr;
    WINDOWHOOK textHook = nullptr;
    std::vector<HWND> resizing; // windows whose WM_SIZE the manager sends itself
};

WindowState& S()
{
    static WindowState state;
    return state;
}

QString ToQt(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

bool SameText(const std::u16string& a, LPCWSTR b)
{
    QString x = ToQt(a);
    QString y = QString::fromUtf16(b);
    return x.compare(y, Qt::CaseInsensitive) == 0;
}

// The value a widget shows as its text, where the control keeps it in the widget.
void ShowText(HWND window, WindowObject* object)
{
    if (!object->control)
        if (QWidget* widget = object->widget.data())
            widget->setWindowTitle(ToQt(object->text));
    if (S().textHook)
        S().textHook(window);
}
} // namespace

HWND& FocusedWindowOverride()
{
    static HWND focused = nullptr;
    return focused;
}

bool SizeChangeInProgress(HWND window)
{
    auto& resizing = S().resizing;
    return std::find(resizing.begin(), resizing.end(), window) != resizing.end();
}

void SetForegroundHook(WINDOWHOOK hook)
{
    S().foregroundHook = hook;
}
void SetWindowTextHook(WINDOWHOOK hook)
{
    S().textHook = hook;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object)
        return 0;
    switch (message) {
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SETTEXT:
        object->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
        ShowText(window, object);
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        int capacity = static_cast<int>(wParam);
        if (!buffer || capacity <= 0)
            return 0;
        int n = std::min(capacity - 1, static_cast<int>(object->text.size()));
        std::copy_n(object->text.data(), n, buffer);
        buffer[n] = 0;
        return n;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(object->text.size());
    case WM_SETFONT: object->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(object->font);
    default: return 0;
    }
}

BOOL ShowWindow(HWND window, int command)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object || !object->widget) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    BOOL wasVisible = (object->style & WS_VISIBLE) != 0;
    bool show = command != SW_HIDE;
    if (show)
        object->style |= WS_VISIBLE;
    else
        object->style &= ~DWORD(WS_VISIBLE);
    // A window on the screen shows only when there is a screen: without one (tests, tools)
    // the widget would become a desktop window of its own.
    if (object->parent || ScreenWidget())
        object->widget->setVisible(show);
    if (show && !object->parent && command != SW_SHOWNA)
        object->widget->raise();
    return wasVisible;
}

BOOL UpdateWindow(HWND window)
{
    QWidget* widget = WidgetOf(window);
    if (!widget) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (widget->isVisible())
        widget->repaint();
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL)
{
    QWidget* widget = WidgetOf(window);
    if (!widget) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (rect)
        widget->update(
            QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
    else
        widget->update();
    return TRUE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName)
{
    for (HWND window : AllWindows()) {
        WindowObject* object = WindowFromHandle(window);
        if (!object || object->parent || object->destroying)
            continue;
        if (className && !IS_INTRESOURCE(className) && !SameText(object->className, className))
            continue;
        if (windowName && object->text != windowName)
            continue;
        return window;
    }
    return nullptr;
}

void ActivateWindow(HWND window)
{
    WindowState& state = S();
    if (state.foreground == window)
        return;
    HWND previous = state.foreground;
    state.foreground = window;
    if (previous && WindowFromHandle(previous))
        SendMessageW(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    if (window) {
        if (QWidget* widget = WidgetOf(window))
            widget->raise();
        SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    }
    if (state.foregroundHook)
        state.foregroundHook(window);
}

BOOL SetForegroundWindow(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    while (object->parent) {
        window = object->parent;
        object = WindowFromHandle(window);
    }
    ActivateWindow(window);
    return TRUE;
}

HWND GetForegroundWindow()
{
    return S().foreground;
}

void ForgetWindow(HWND window)
{
    WindowState& state = S();
    state.resizing.erase(std::remove(state.resizing.begin(), state.resizing.end(), window),
                         state.resizing.end());
    if (state.foreground != window)
        return;
    state.foreground = nullptr;
    // The newest other window on the screen comes to the front, as closing a window shows the
    // one beneath it.
    std::vector<HWND> all = AllWindows();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        WindowObject* object = WindowFromHandle(*it);
        if (*it != window && object && !object->parent && !object->destroying &&
            (object->style & WS_VISIBLE)) {
            ActivateWindow(*it);
            return;
        }
    }
    if (state.foregroundHook)
        state.foregroundHook(nullptr);
}

BOOL GetClientRect(HWND window, LPRECT rect)
{
    QWidget* widget = WidgetOf(window);
    if (!widget || !rect) {
        SetLastError(widget ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    QRect area = widget->contentsRect();
    *rect = RECT{0, 0, area.width(), area.height()};
    return TRUE;
}

QRect ScreenRectOf(const QWidget* widget)
{
    QWidget* screen = ScreenWidget();
    QPoint origin = screen && (screen == widget->parentWidget() || screen->isAncestorOf(widget))
                        ? widget->mapTo(screen, QPoint(0, 0))
                        : widget->mapToGlobal(QPoint(0, 0));
    return QRect(origin, widget->size());
}

BOOL GetWindowRect(HWND window, LPRECT rect)
{
    QWidget* widget = WidgetOf(window);
    if (!widget || !rect) {
        SetLastError(widget ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    QRect r = ScreenRectOf(widget);
    *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    QWidget* widget = WidgetOf(window);
    if (!widget) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    bool moved = widget->pos() != QPoint(x, y);
    bool sized = widget->size() != QSize(width, height);
    S().resizing.push_back(window);
    widget->setGeometry(x, y, width, height);
    if (moved)
        SendMessageW(window, WM_MOVE, 0, MAKELPARAM(x, y));
    if (sized || !moved)
        SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    auto& resizing = S().resizing;
    if (auto it = std::find(resizing.begin(), resizing.end(), window); it != resizing.end())
        resizing.erase(it);
    if (repaint)
        widget->update();
    return TRUE;
}

HWND SetFocus(HWND window)
{
    HWND previous = GetFocus();
    if (!window) {
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
        return previous;
    }
    QWidget* widget = WidgetOf(window);
    if (!widget) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    QWidget* target = widget->focusProxy() ? widget->focusProxy() : widget;
    if (target->focusPolicy() == Qt::NoFocus)
        target->setFocusPolicy(Qt::StrongFocus);
    target->setFocus(Qt::OtherFocusReason);
    FocusedWindowOverride() = window;
    if (previous != window) {
        if (previous)
            SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

HWND GetFocus()
{
    QWidget* focused = QApplication::focusWidget();
    for (QWidget* w = focused; w; w = w->parentWidget()) {
        if (HWND window = WindowOfWidget(w))
            return window;
    }
    // Offscreen and hidden widgets do not take the keyboard focus; the window last given the
    // focus is still the one that has it.
    HWND remembered = FocusedWindowOverride();
    return WindowFromHandle(remembered) ? remembered : nullptr;
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    BOOL wasDisabled = (object->style & WS_DISABLED) != 0;
    if (enable)
        object->style &= ~DWORD(WS_DISABLED);
    else
        object->style |= WS_DISABLED;
    if (object->widget)
        object->widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL IsWindow(HWND window)
{
    return WindowFromHandle(window) != nullptr;
}

BOOL IsWindowVisible(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    while (object) {
        if (!(object->style & WS_VISIBLE))
            return FALSE;
        object = WindowFromHandle(object->parent);
    }
    return WindowFromHandle(window) != nullptr;
}

BOOL IsWindowEnabled(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    return object && !(object->style & WS_DISABLED);
}

HWND GetParent(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return object->parent ? object->parent : object->owner;
}

HWND GetDlgItem(HWND dialog, int id)
{
    for (HWND child : ChildWindows(dialog)) {
        WindowObject* object = WindowFromHandle(child);
        if (object && static_cast<int>(object->id) == id)
            return child;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int GetDlgCtrlID(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    return object ? static_cast<int>(object->id) : 0;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageW(control, message, wParam, lParam) : 0;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text)
{
    if (!WindowFromHandle(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int GetWindowTextW(HWND window, LPWSTR text, int maxCount)
{
    if (!WindowFromHandle(window) || !text || maxCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                         reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND window)
{
    return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR GetWindowLongPtrW(HWND window, int index)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(object->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(object->exStyle);
    case GWL_ID: return static_cast<LONG_PTR>(object->id);
    case GWL_USERDATA: return object->userData;
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(object->proc);
    default: break;
    }
    if (object->dialogProc) {
        switch (index) {
        case DWL_MSGRESULT: return object->dialogResult;
        case DWL_USER: return object->dialogUser;
        case DWL_DLGPROC: return reinterpret_cast<LONG_PTR>(object->dialogProc);
        default: break;
        }
    }
    if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= object->extraBytes.size()) {
        LONG_PTR value;
        std::memcpy(&value, object->extraBytes.data() + index, sizeof(value));
        return value;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR previous = GetWindowLongPtrW(window, index);
    switch (index) {
    case GWL_STYLE: object->style = static_cast<DWORD>(value); return previous;
    case GWL_EXSTYLE: object->exStyle = static_cast<DWORD>(value); return previous;
    case GWL_ID: object->id = static_cast<UINT>(value); return previous;
    case GWL_USERDATA: object->userData = value; return previous;
    default: break;
    }
    if (object->dialogProc) {
        switch (index) {
        case DWL_MSGRESULT: object->dialogResult = value; return previous;
        case DWL_USER: object->dialogUser = value; return previous;
        default: break;
        }
    }
    if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= object->extraBytes.size()) {
        std::memcpy(object->extraBytes.data() + index, &value, sizeof(value));
        return previous;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

LONG GetWindowLongW(HWND window, int index)
{
    return static_cast<LONG>(GetWindowLongPtrW(window, index));
}

LONG SetWindowLongW(HWND window, int index, LONG value)
{
    return static_cast<LONG>(SetWindowLongPtrW(window, index, value));
}

int GetSystemMetrics(int index)
{
    SIZE screen = ScreenSize();
    switch (index) {
    case SM_CXSCREEN: return screen.cx;
    case SM_CYSCREEN: return screen.cy;
    case SM_CXVSCROLL: return 13;
    case SM_CYHSCROLL: return 13;
    case SM_CYCAPTION: return NAVIGATION_BAR_HEIGHT;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    default: return 0;
    }
}
