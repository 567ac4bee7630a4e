// The menu bar as the device and the scripted user see it: where it is, what it shows, and taps
// on it as a person makes them. Not for the program.
#pragma once

#include "platform/menubar/menu_object.h"

#include <string>
#include <vector>

class QWidget;

enum class MenuBarEntryKind { Text, DropDown, Separator, Picture };
enum class MenuBarEntryState { Enabled, Indeterminate, Grayed };

// One entry of the bar, left to right; hidden buttons are left out.
struct MenuBarEntryView {
    MenuBarEntryKind kind;
    UINT command;           // 0 for a separator
    std::u16string text;    // text and drop-down buttons
    int image;              // picture buttons: the index of its picture; -1 otherwise
    std::u16string tooltip; // empty when it has none
    MenuBarEntryState state;
};

// A drop-down's menu: the button's text and id, and its items in order.
struct MenuBarMenuView {
    std::u16string title;
    UINT id;
    std::vector<MenuItemView> items;
};

// The bar made last that still exists, or null. The handheld has one bar on the screen.
HWND ActiveMenuBar();
// The bar's widget, for the device to place and show; null for a window that is not a bar.
QWidget* MenuBarWidgetOf(HWND bar);
// Moves every bar to the bottom MENU_BAR_HEIGHT rows of the screen, across its whole width:
// called by the device after the screen's size changed.
void PlaceMenuBars();

std::vector<MenuBarEntryView> ReadMenuBar(HWND bar);
std::vector<MenuBarMenuView> ReadMenuBarMenus(HWND bar);
// True while a drop-down's menu is open.
bool MenuBarMenuOpen(HWND bar);

// Chooses the menu item with `command` as a person does: a tap on its drop-down button opens
// the menu, a tap on the item chooses it. Where no menu item has the command, taps the bar's
// button that has it. False, with a plain reason, when there is no such item or button, when it
// is greyed (or its drop-down is), or when the bar is hidden; nothing is tapped then. The command
// reaches the bar's window owner through its message queue, as the bar sends it.
bool TapMenuBarCommand(HWND bar, UINT command, std::string* reason);
// Taps the bar's button with `command` (a text, drop-down or picture button) as a person does;
// false, with a reason, as above.
bool TapMenuBarButton(HWND bar, UINT command, std::string* reason);
