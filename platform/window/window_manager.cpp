// Window classes and the life of windows: creation, destruction and the handle table.
#include "platform/aygshell.h"
#include "platform/window/program_widget.h"
#include "platform/window/window_internal.h"

#include <QApplication>
#include <QHash>

#include <map>
#include <memory>

namespace
{
struct ProgramClass {
    WNDCLASSW wc;
    std::u16string name;
    ATOM atom;
};

struct Manager {
    // Handles count up and are never given out again, so a stale handle never finds a new
    // window. The map keeps creation order, which is the order children are destroyed in.
    std::map<uintptr_t, std::unique_ptr<WindowObject>> windows;
    uintptr_t nextHandle = 0x10010;
    QHash<const QWidget*, HWND> byWidget;
    std::vector<ProgramClass> classes;
    std::vector<const ControlClass*> controls;
    ATOM nextAtom = 0xC000;
    std::vector<QPointer<QWidget>> retired;
    QPointer<QWidget> screen;
    SIZE screenSize{240, 320};
};

Manager& M()
{
    static Manager manager;
    return manager;
}

bool SameName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z')
            x = char16_t(x - u'a' + u'A');
        if (y >= u'a' && y <= u'z')
            y = char16_t(y - u'a' + u'A');
        if (x != y)
            return false;
    }
    return true;
}

ProgramClass* FindProgramClass(LPCWSTR name)
{
    for (ProgramClass& c : M().classes) {
        if (IS_INTRESOURCE(name) ? c.atom == reinterpret_cast<uintptr_t>(name)
                                 : SameName(c.name, name))
            return &c;
    }
    return nullptr;
}

const ControlClass* FindControlClass(LPCWSTR name)
{
    RegisterCommonControlClasses();
    if (IS_INTRESOURCE(name))
        return nullptr;
    for (const ControlClass* c : M().controls) {
        if (SameName(c->name, name))
            return c;
    }
    return nullptr;
}

void SendDestroy(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object)
        return;
    SendMessageW(window, WM_DESTROY, 0, 0);
    for (HWND child : ChildWindows(window)) {
        if (WindowObject* c = WindowFromHandle(child)) {
            if (!c->destroying) {
                c->destroying = true;
                SendDestroy(child);
            }
        }
    }
}

// Frees the objects bottom-up, after every window of the tree has had its WM_DESTROY.
void Release(HWND window)
{
    for (HWND child : ChildWindows(window))
        Release(child);
    Manager& m = M();
    auto found = m.windows.find(reinterpret_cast<uintptr_t>(window));
    if (found == m.windows.end())
        return;
    m.byWidget.remove(found->second->widget.data());
    DropPostedMessages(window);
    m.windows.erase(found);
}

QSize DefaultTopLevelSize()
{
    SIZE s = M().screenSize;
    return QSize(s.cx, s.cy - MENU_BAR_HEIGHT);
}
} // namespace

bool EnsureApplication()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return true;
    if (QCoreApplication::instance())
        return false;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zentally";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return true;
}

void RegisterControlClass(const ControlClass* control)
{
    if (!control || !control->name)
        return;
    for (const ControlClass*& c : M().controls) {
        if (SameName(c->name, control->name)) {
            c = control;
            return;
        }
    }
    M().controls.push_back(control);
}

ATOM RegisterClassW(const WNDCLASSW* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName || IS_INTRESOURCE(windowClass->lpszClassName) ||
        !windowClass->lpfnWndProc || windowClass->cbWndExtra < 0 || windowClass->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindProgramClass(windowClass->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    ProgramClass c{*windowClass, windowClass->lpszClassName, M().nextAtom++};
    M().classes.push_back(std::move(c));
    ProgramClass& stored = M().classes.back();
    stored.wc.lpszClassName = nullptr; // the copy in `name` is the one that lives on
    stored.wc.lpszMenuName = nullptr;
    return stored.atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE)
{
    ProgramClass* c = className ? FindProgramClass(className) : nullptr;
    if (!c) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (auto& [handle, object] : M().windows) {
        if (!object->control && SameName(object->className, c->name)) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
    }
    M().classes.erase(M().classes.begin() + (c - M().classes.data()));
    return TRUE;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param)
{
    if (!className) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ProgramClass* programClass = FindProgramClass(className);
    const ControlClass* control = programClass ? nullptr : FindControlClass(className);
    if (!programClass && !control) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent && !WindowFromHandle(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !parent) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    if (!EnsureApplication()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }

    // A window without a parent takes the screen's width and the rows above the menu bar; a
    // child gets nothing it did not ask for.
    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        QSize size = child ? QSize(0, 0) : DefaultTopLevelSize();
        width = size.width();
        height = size.height();
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    Manager& m = M();
    auto object = std::make_unique<WindowObject>();
    object->className = programClass ? programClass->name : std::u16string(control->name);
    object->proc = programClass ? programClass->wc.lpfnWndProc : control->Message;
    object->control = control;
    object->instance = instance;
    object->style = style;
    object->exStyle = exStyle;
    object->id = child ? static_cast<UINT>(reinterpret_cast<uintptr_t>(menu)) : 0;
    object->text = windowName ? windowName : u"";
    object->parent = child ? parent : nullptr;
    object->owner = child ? nullptr : parent;
    if (programClass) {
        object->background = programClass->wc.hbrBackground;
        object->extraBytes.assign(static_cast<size_t>(programClass->wc.cbWndExtra), 0);
    }
    HWND window = reinterpret_cast<HWND>(m.nextHandle);
    m.nextHandle += 4;
    WindowObject* raw = object.get();
    m.windows.emplace(reinterpret_cast<uintptr_t>(window), std::move(object));

    QWidget* parentWidget = child ? WidgetOf(parent) : m.screen.data();
    CREATESTRUCTW create{param, instance, menu,        parent,     height,    width,
                         y,     x,        LONG(style), windowName, className, exStyle};
    QWidget* widget = control ? control->Create(window, create, parentWidget)
                              : new ProgramWidget(window, parentWidget);
    if (!widget) {
        m.windows.erase(reinterpret_cast<uintptr_t>(window));
        if (GetLastError() == ERROR_SUCCESS)
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    raw->widget = widget;
    m.byWidget.insert(widget, window);
    widget->setGeometry(x, y, width, height);
    widget->setEnabled((style & WS_DISABLED) == 0);
    if (!control)
        widget->setWindowTitle(QString::fromUtf16(raw->text.data(), qsizetype(raw->text.size())));
    widget->setVisible(false);

    if (SendMessageW(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    if (!WindowFromHandle(window))
        return nullptr; // it destroyed itself while being created
    SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    SendMessageW(window, WM_MOVE, 0, MAKELPARAM(x, y));
    if (WindowObject* made = WindowFromHandle(window); made && (made->style & WS_VISIBLE)) {
        made->style &= ~DWORD(WS_VISIBLE);
        ShowWindow(window, SW_SHOW);
    }
    return WindowFromHandle(window) ? window : nullptr;
}

BOOL DestroyWindow(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (object->destroying)
        return TRUE; // destroyed already, from within its own destruction
    object->destroying = true;

    // Owned windows go first; then the window and its children get WM_DESTROY, parent before
    // children, while all of them still exist; then the handles die, children first.
    for (HWND owned : AllWindows()) {
        WindowObject* o = WindowFromHandle(owned);
        if (o && o->owner == window && !o->destroying)
            DestroyWindow(owned);
    }
    if (QWidget* widget = WidgetOf(window))
        widget->hide();
    ForgetWindow(window);
    SendDestroy(window);
    QWidget* widget = WidgetOf(window);
    Release(window);
    if (widget)
        RetireWidget(widget);
    FreeDestroyedWidgets();
    return TRUE;
}

WindowObject* WindowFromHandle(HWND window)
{
    auto& windows = M().windows;
    auto found = windows.find(reinterpret_cast<uintptr_t>(window));
    return found == windows.end() ? nullptr : found->second.get();
}

HWND HandleOf(const WindowObject* window)
{
    for (auto& [handle, object] : M().windows) {
        if (object.get() == window)
            return reinterpret_cast<HWND>(handle);
    }
    return nullptr;
}

QWidget* WidgetOf(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    return object ? object->widget.data() : nullptr;
}

HWND WindowOfWidget(const QWidget* widget)
{
    return widget ? M().byWidget.value(widget, nullptr) : nullptr;
}

std::vector<HWND> AllWindows()
{
    std::vector<HWND> all;
    for (auto& [handle, object] : M().windows)
        all.push_back(reinterpret_cast<HWND>(handle));
    return all;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> children;
    for (auto& [handle, object] : M().windows) {
        if (object->parent && object->parent == parent)
            children.push_back(reinterpret_cast<HWND>(handle));
    }
    return children;
}

void RetireWidget(QWidget* widget)
{
    M().retired.emplace_back(widget);
}

void FreeDestroyedWidgets()
{
    if (ProcedureDepth() > 0)
        return;
    std::vector<QPointer<QWidget>> retired;
    retired.swap(M().retired);
    for (QPointer<QWidget>& widget : retired)
        delete widget.data();
}

void SetScreenWidget(QWidget* screen)
{
    M().screen = screen;
    InstallScreenMessageBoxes(screen != nullptr);
}

QWidget* ScreenWidget()
{
    return M().screen.data();
}

void SetScreenSize(int width, int height)
{
    if (width > 0 && height > 0)
        M().screenSize = SIZE{width, height};
}

SIZE ScreenSize()
{
    return M().screenSize;
}
