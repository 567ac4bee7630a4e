// What the scripted user touches and how: the windows a person sees on the screen, and taps of
// the pointer and presses of keys delivered to the widgets as the toolkit delivers a person's.
#pragma once

#include "platform/windows.h"

#include <QPoint>
#include <QString>

#include <string>

class QWidget;

// The program's main window: the top-level window of class "Zentally", or null.
HWND ProgramMainWindow();
// The innermost open dialog, or null when none is open.
HWND InnermostDialog();
// Where a person's taps go: the innermost dialog, else the foreground window, else the main
// window.
HWND ActiveWindowForInput();
// The control with `id` among the window's children (their children too, nearest first), or
// null.
HWND FindControl(HWND window, int id);
// The first list view among the window's children, or null.
HWND ListViewChild(HWND window);
// True while a person could tap the control: it is shown, with every window above it, and
// enabled.
bool ControlShown(HWND control);
bool ControlEnabled(HWND control);

// A press and a release of the pointer at `point` of `widget`, given to the deepest widget
// there, which takes the focus as a tap gives it.
void TapWidget(QWidget* widget, const QPoint& point);
// The pointer moving to `point` of `widget` without a button down.
void MovePointer(QWidget* widget, const QPoint& point);
// A press and a release of `key` on `widget`, with the text the key types.
void PressKey(QWidget* widget, int key, const QString& text,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The point a person taps to work a control: the middle of a button, the box of a check box or
// radio button.
QPoint TapPointOf(QWidget* widget);

// Where a pressed key goes, as the toolkit routes a key of the window system: in a message box,
// its focused button; while a pop-up is up (an open list, a calendar), the pop-up's focused
// widget; else the widget with the focus, else the active window.
QWidget* KeyTarget();

// Keeps the screen's window the active one, as a desktop's window system does, for the run of a
// script on the offscreen platform (elsewhere it does nothing). There, every window shown takes
// the activation, a pop-up too, and keeps it once hidden: a menu opened and chosen from within
// one input leaves it on a hidden window, where the program's SetFocus no longer moves the
// toolkit's focus and keys reach nothing. While kept, an activation that lands anywhere but the
// screen's window with no pop-up up goes back to it, and the focus changes it brings are kept
// from the widgets, as a person's desktop never sends them.
void KeepScreenActive(bool keep);
// The widget of a message box on the screen, or null when none is up.
QWidget* MessageBoxWidget();

// The name of a control for the reasons of errors: "dialog 108's control 1014" or
// "control 1014".
std::string ControlName(int id);
