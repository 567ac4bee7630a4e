// The handheld's screen on the desktop: the navigation bar (top 26 rows: the foreground window's
// caption, and an "ok" button for dialogs made with the Done button), the area where the
// program's windows live (the whole screen; windows without a parent are placed on it), the
// menu bar's bottom 26 rows and the input panel's 80 rows above the menu bar.
#pragma once

#include "device/device_options.h"

#include <QImage>

#include <string>

class QWidget;

// Makes the desktop window of the screen at the options' size, sets it as the platform's screen
// widget and screen size, installs the hooks that keep the navigation bar's caption, and shows
// it (a script without --show runs on the offscreen platform, where showing it makes its widgets
// take focus and input as on a desktop). The --scale is the toolkit's: the caller sets
// QT_SCALE_FACTOR before the application is made, and the screen keeps counting device pixels.
// A screen made before is replaced. False with a reason when no window can be made.
bool CreateDeviceScreen(const DeviceOptions& options, std::string* reason);
// Frees the desktop window, after the program ended; windows still on the screen lose their
// widgets, so the program's windows are destroyed first.
void DestroyDeviceScreen();

// Turns the screen: swaps its width and height, lays the bars, the windows on the screen and the
// message boxes out again, and sends WM_SETTINGCHANGE with SPI_SETWORKAREA to every window
// without a parent, as the handheld does when it turns. A window on the screen that spanned its
// whole width keeps its distances from the top and the bottom (the main window stays above the
// menu bar, a full-screen dialog between the bars); others keep their place.
void TurnScreen();

// The screen as a person sees it, at 1:1 pixels (whatever the --scale).
QImage GrabScreen();

// The navigation bar's caption: the text of the foreground window, followed as it changes.
std::u16string NavigationBarTitle();
// Shows the navigation bar's ok button for the dialog on the screen now (the innermost open
// dialog, else the foreground window), or hides it. A tap on it sends WM_COMMAND IDOK to that
// dialog; the button goes away by itself once that window is destroyed.
void ShowNavigationBarOk(bool show);
// The ok button, or null while it is hidden.
QWidget* NavigationBarOkButton();
// The time the navigation bar shows, "hh:mm" of GetLocalTime.
std::u16string NavigationBarClock();

// The area of the screen's widgets, for the scripted user's taps and the state's rects.
QWidget* DeviceScreenWidget();

// True while the soft input panel is up.
bool InputPanelUp();

// Brings the desktop window to the front (a second instance asked for it).
void RaiseDeviceScreen();

// The desktop window itself, or null before CreateDeviceScreen.
QWidget* DeviceDesktopWindow();
