// The handheld's screen on the desktop: the navigation bar (top 26 rows: the foreground window's
// caption, and an "ok" button for dialogs made with the Done button), the area where the
// program's windows live (the whole screen; windows without a parent are placed on it), the
// menu bar's bottom 26 rows and the input panel's 80 rows above the menu bar.
#pragma once

#include "device/device_options.h"

#include <QImage>

#include <string>

class QWidget;

// Makes the desktop window of the screen at the options' size and scale, sets it as the
// platform's screen widget and screen size, and installs the hooks that keep the navigation bar's
// caption. It is shown unless a script runs without --show. False with a reason when no window
// can be made.
bool CreateDeviceScreen(const DeviceOptions& options, std::string* reason);
// Frees the desktop window, after the program ended.
void DestroyDeviceScreen();

// Turns the screen: swaps its width and height, lays the bars, the windows on the screen and the
// message boxes out again, and sends WM_SETTINGCHANGE with SPI_SETWORKAREA to every window
// without a parent, as the handheld does when it turns.
void TurnScreen();

// The screen as a person sees it, at 1:1 pixels (whatever the --scale).
QImage GrabScreen();

// The navigation bar's caption, and its ok button (null while it is hidden).
std::u16string NavigationBarTitle();
QWidget* NavigationBarOkButton();

// The area of the screen's widgets, for the scripted user's taps and the state's rects.
QWidget* DeviceScreenWidget();

// True while the soft input panel is up.
bool InputPanelUp();

// Brings the desktop window to the front (a second instance asked for it).
void RaiseDeviceScreen();
