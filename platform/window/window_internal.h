// What the files of the window manager share among themselves. Not for the program, nor for
// the device (which uses window_object.h).
#pragma once

#include "platform/commctrl.h"
#include "platform/window/window_object.h"

#include <QRect>

class QPainter;
class QKeyEvent;

// Program procedures in progress (SendMessageW, DispatchMessageW). Widgets of destroyed windows
// are only freed when it is 0: a widget whose own event handler led to its window's destruction
// is then no longer on the stack.
int ProcedureDepth();
// Frees the widgets of destroyed windows, when that is safe (see ProcedureDepth).
void FreeDestroyedWidgets();
// Takes the widget of a destroyed window, to be freed by FreeDestroyedWidgets.
void RetireWidget(QWidget* widget);

// Drops the posted messages of a window being destroyed.
void DropPostedMessages(HWND window);

// Sends WM_KILLFOCUS/WM_SETFOCUS and the activation that follows a window's destruction.
void ForgetWindow(HWND window);
// Makes `window` (a top-level window) the foreground window, sending WM_ACTIVATE.
void ActivateWindow(HWND window);

// The screen-relative rectangle of a window's widget.
QRect ScreenRectOf(const QWidget* widget);

// Painting a program window: the window manager's widget opens a context with its painter for
// the time of its WM_PAINT; BeginPaint hands it to the program.
void OpenPaintContext(HWND window, QPainter* painter, const QRect& dirty);
void ClosePaintContext(HWND window);
// The colour of a brush handle, a stock brush or a system colour plus one; false for none.
bool BrushColor(HBRUSH brush, QColor* color);

// The controls of the platform itself, made known on the first class look-up.
void RegisterCommonControlClasses();

// True while the window manager itself is changing the window's size and sends WM_SIZE.
bool SizeChangeInProgress(HWND window);
// The virtual key of a key press, 0 for a key the program has no code for.
UINT KeyCodeOf(const QKeyEvent* event);
// The window last given the focus with SetFocus: hidden and offscreen widgets do not take the
// keyboard focus, yet the window has it for the program.
HWND& FocusedWindowOverride();
// Shows message boxes on the screen while there is one, and records them otherwise.
void InstallScreenMessageBoxes(bool onScreen);

// The report list view (list_view.cpp).
extern const ControlClass ListViewControlClass;
// The dialog controls: buttons, statics, edits, drop-down lists and list boxes (controls/).
void RegisterDialogControlClasses();
// The date picker (date_picker/).
void RegisterDatePickerClass();

// An image list's picture, or a null image for a bad list or index; and the pictures' size.
QImage ImageListImage(HIMAGELIST list, int index);
SIZE ImageListSize(HIMAGELIST list);
