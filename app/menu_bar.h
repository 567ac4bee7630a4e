// The menu bar of the main window: New, the Time and Tools menus, and four picture buttons.
#pragma once

#include "platform/windows.h"

// Builds the bar from resource 105 with its tooltips and picture buttons, and fetches the two
// menus into the state block. Null when the shell refuses the bar; the program then runs
// without one.
HWND CreateMenuBar(HWND mainWindow);
