// The `state` event: what a person sees on the screen at this moment.
#pragma once

#include "platform/menubar/menu_bar_access.h"
#include "platform/window/list_view/list_view_access.h"

#include <string>
#include <vector>

// The state event of the screen as it is now: screen, sip, cursor, title, dialogs, messagebox,
// focus, menubar, menus, list and controls.
std::string StateEvent();

// Parts of it, from what the platform reads out.
// The bar's entries: {"kind":"text","command":40003,"text":"New","tooltip":"…","state":…};
// drop-downs without tooltip, pictures with "image" instead of "text", separators with their
// kind alone; a tooltip only where the button has one.
std::string MenuBarJson(const std::vector<MenuBarEntryView>& entries);
// {"Time":[{"command":40003,"text":"New...","state":"enabled"},{"separator":true},…],…}:
// each drop-down by its text, its items in order.
std::string MenusJson(const std::vector<MenuBarMenuView>& menus);
// {"columns":[{"text","width","image"}],"rows":[{"image","cells","selected","focused"}],
// "visible":[first,last]}; a missing picture is null, and "visible" is null without rows.
std::string ListJson(const ListViewView& list);
// The controls of a dialog, children in creation order: id, class, text, visible, enabled,
// focused, rect [x, y, w, h] in the dialog's client pixels, and items, selected, checked,
// default, limit, columns and rows where the control has them.
std::string ControlsJson(HWND dialog);
