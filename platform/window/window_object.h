// The platform's own side of a window, shared by the window manager, the controls and the
// device. Not for the program.
#pragma once

#include "platform/windows.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

class QPainter;

// A built-in control class ("SysListView32", "BUTTON", the menu bar …): it makes the widget
// that holds the control's state and answers the messages sent to the control. The window
// manager calls Create once the window object exists, and Message for every message; a control
// hands what it does not handle to DefWindowProcW.
struct ControlClass {
    LPCWSTR name;
    QWidget* (*Create)(HWND window, const CREATESTRUCTW& create, QWidget* parent);
    LRESULT (*Message)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// Makes a class of the platform's own known to CreateWindowExW (names compare without case).
void RegisterControlClass(const ControlClass* control);

struct WindowObject {
    std::u16string className;
    WNDPROC proc = nullptr; // the program's procedure, or the control's Message
    const ControlClass* control = nullptr;
    DLGPROC dialogProc = nullptr; // for dialogs
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT id = 0;
    std::u16string text;
    HWND parent = nullptr; // the parent window, or null for a window on the screen itself
    HWND owner = nullptr;
    QPointer<QWidget> widget;
    LONG_PTR userData = 0;
    LONG_PTR dialogResult = 0; // DWL_MSGRESULT
    LONG_PTR dialogUser = 0;   // DWL_USER
    bool destroying = false;
    HFONT font = nullptr;
    HBRUSH background = nullptr;  // the class's background brush, painted before WM_PAINT
    std::vector<BYTE> extraBytes; // the class's cbWndExtra, for Get/SetWindowLongW
};

// The object behind a handle, or null for an unknown or destroyed window.
WindowObject* WindowFromHandle(HWND window);
HWND HandleOf(const WindowObject* window);
// The widget of a window, or null.
QWidget* WidgetOf(HWND window);
// The window whose widget this is, or null.
HWND WindowOfWidget(const QWidget* widget);

// Sends a control's notification to its parent, as WM_NOTIFY with the control's id; `header`
// heads a larger notification structure and is filled with the sender and code.
LRESULT NotifyParent(HWND control, UINT code, NMHDR* header);
// Sends WM_COMMAND with the control's id and `code` to its parent.
LRESULT CommandParent(HWND control, WORD code);

// The widget on which windows without a parent are placed: the device's screen area. The
// device sets it before the program creates its first window; tests may leave it null, and
// such windows are then top-level widgets of their own (never shown).
void SetScreenWidget(QWidget* screen);
QWidget* ScreenWidget();
// The screen's size in pixels, for GetSystemMetrics and the default window size.
void SetScreenSize(int width, int height);
SIZE ScreenSize();

// A device context: the painter of the widget being painted, with the objects selected in it.
QPainter* PainterOf(HDC dc);

// Runs one round of the loop: handles posted messages and Qt events, and when nothing is left
// to do calls the idle handler once (the scripted user takes its next step there). Returns when
// something was done. Modal loops (dialogs, message boxes) run this until they end.
// An idle handler is called again at the next round that finds nothing to do, so it must take a
// step each time (or end the run); without one, the loop sleeps until an event arrives.
typedef void (*IDLEHANDLER)();
void SetIdleHandler(IDLEHANDLER handler);
void PumpMessages();
// True once PostQuitMessage was called and its WM_QUIT not yet taken by GetMessageW; a modal
// loop ends then, leaving the quit to the outer loop, as on the handheld.
bool QuitPosted();
// Makes a sleeping loop look again, e.g. after a modal loop's end was decided outside any event.
void WakeMessageLoop();

// Called after a top-level window became the foreground window (the device brings its desktop
// window to the front and shows that window's caption), and after any window's text changed.
typedef void (*WINDOWHOOK)(HWND window);
void SetForegroundHook(WINDOWHOOK hook);
void SetWindowTextHook(WINDOWHOOK hook);

// Creates the Qt application when none exists yet (tests, tools), offscreen when no display is
// there. False when a non-widget application already exists: no window can be made then.
bool EnsureApplication();

// The windows of the program in creation order: all of them, or the children of `parent`.
std::vector<HWND> AllWindows();
std::vector<HWND> ChildWindows(HWND parent);

// Message boxes on the screen (while the screen widget is set). The innermost box showing, or
// null; the button of that box that gives `answer` (IDOK, IDYES …), or null; a hook called as
// each box appears; and laying the boxes out again after the screen turned.
struct RecordedMessageBox;
const RecordedMessageBox* MessageBoxOnScreen();
QWidget* MessageBoxButton(int answer);
typedef void (*MESSAGEBOXHOOK)(const RecordedMessageBox& box);
void SetMessageBoxHook(MESSAGEBOXHOOK hook);
void PlaceMessageBoxes();

// The dialogs open on the screen, outermost first: each window with the number of the template
// it was made from. Empty until a dialog runs.
struct OpenDialog {
    HWND window;
    UINT templateId;
};
std::vector<OpenDialog> OpenDialogs();

// Keys of a dialog. The dialog manager watches the keys pressed on a dialog's widgets: Enter
// presses the focused push button, else the default button (DM_GETDEFID, else IDOK) as
// WM_COMMAND BN_CLICKED with the button's handle, beeping when that button is disabled; Escape
// sends WM_COMMAND IDCANCEL; Tab and Shift+Tab send WM_NEXTDLGCTL, which moves the focus to the
// next or previous visible, enabled WS_TABSTOP control. A control that gets such a key as a
// WM_KEYDOWN message and does not use it hands it on here; so does the dialog's own default
// handling of WM_KEYDOWN. `window` is the dialog or any window inside it. Returns true when the
// dialog took the key; false when it is not a dialog's, when the dialog is not the innermost
// running one, while a message box is up, and for Enter on a multiline edit with ES_WANTRETURN,
// which keeps it. A control's Qt key events need no call: the dialog takes those keys before
// the control's widget sees them.
bool DialogKey(HWND window, UINT vk, bool shift = false);

// Called when a dialog comes to the front (show: whether it was made with the Done button,
// SHIDIF_DONEBUTTON) and when a dialog with the Done button ends (show false). The device
// shows or hides the navigation bar's ok button, which sends WM_COMMAND IDOK to the dialog.
typedef void (*DONEBUTTONHOOK)(HWND dialog, bool show);
void SetDoneButtonHook(DONEBUTTONHOOK hook);

// The dialog's base units in pixels: the average character width and the height of its font
// (the template's DS_SETFONT font, else the 8-point system font). A control at dialog units
// (x, y, cx, cy) is placed at x * width / 4, y * height / 8, cx * width / 4, cy * height / 8.
// {0, 0} for a window that is not an open dialog.
SIZE DialogBaseUnits(HWND dialog);
