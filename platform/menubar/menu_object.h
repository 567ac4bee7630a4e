// Menus as the platform holds them: an HMENU is a Qt menu whose actions are its items, each
// carrying its command and flags, so that what EnableMenuItem changes is what a person sees and
// taps. Not for the program.
#pragma once

#include "platform/resource.h"
#include "platform/shellmenu.h"

#include <string>
#include <vector>

class QAction;
class QMenu;

// Who frees a menu: the program (DestroyMenu) or the menu bar that made it.
enum class MenuOwner { Program, MenuBar };

// Makes a menu and its pop-ups from a menu resource. Null, with ERROR_INVALID_DATA, for a
// malformed resource (an item without text that is not a separator, a pop-up item without its
// menu, pop-ups nested deeper than a person can follow), or with ERROR_NOT_ENOUGH_MEMORY when
// no widget application can be had.
HMENU MakeMenu(const MENURESOURCE& resource, MenuOwner owner);
// Frees a menu with its pop-ups; pop-ups of another menu are freed only with it.
void FreeMenu(HMENU menu);

// The Qt menu of a live menu handle, or null.
QMenu* QMenuOf(HMENU menu);
// True for a live menu handle.
bool IsMenu(HMENU menu);

// An item as a person sees it.
struct MenuItemView {
    bool separator;
    bool popup;
    UINT command;
    std::u16string text;
    bool grayed; // greyed or disabled: it cannot be chosen
    bool checked;
};
std::vector<MenuItemView> MenuItems(HMENU menu);

// The command of a menu action, or 0 for a separator, a pop-up or a foreign action.
UINT CommandOfAction(const QAction* action);
// The action of the first item with `command`, searching the menu and its pop-ups; null when
// none has it.
QAction* FindMenuAction(HMENU menu, UINT command);
