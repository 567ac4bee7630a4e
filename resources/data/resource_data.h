// The program's menus, menu bar, bitmaps, icon, dialog templates and sound as resource tables,
// for the module the device registers (platform/resource.h): each table with its count, so that
// the module can be written as a constant, e.g. `.menus = ZentallyMenus, .menuCount =
// ZentallyMenuCount`.
#pragma once

#include "platform/resource.h"

#include <cstddef>
#include <string>

inline constexpr size_t ZentallyMenuCount = 1;
extern const MENURESOURCE ZentallyMenus[ZentallyMenuCount];

inline constexpr size_t ZentallyMenuBarCount = 1;
extern const MENUBARRESOURCE ZentallyMenuBars[ZentallyMenuBarCount];

inline constexpr size_t ZentallyBitmapCount = 2;
extern const BITMAPRESOURCE ZentallyBitmaps[ZentallyBitmapCount];

inline constexpr size_t ZentallyIconCount = 1;
extern const ICONRESOURCE ZentallyIcons[ZentallyIconCount];

// The dialog templates (RT_DIALOG) in ascending order of number: 102, 108, 124 to 127, 129,
// 1070, 1091 and 1120.
inline constexpr size_t ZentallyDialogCount = 10;
extern const DIALOGRESOURCE ZentallyDialogs[ZentallyDialogCount];

inline constexpr size_t ZentallyCustomCount = 1;
extern const CUSTOMRESOURCE ZentallyCustoms[ZentallyCustomCount];

// The user's guide as the help viewer reads it: the text of resources/help/zentally.htc.
extern const char ZentallyHelpText[];
extern const size_t ZentallyHelpTextSize;

// Writes the user's guide to <filesDir>/Windows/zentally.htc, the device path
// "\Windows\zentally.htc", making the folder when it is missing. A file with the same text is
// left as it is; another is replaced whole (written beside it and renamed over it), so that a
// failure leaves the old file. False, with a one-line reason, when it cannot be written.
bool InstallHelpFile(const std::string& filesDir, std::string* reason = nullptr);
