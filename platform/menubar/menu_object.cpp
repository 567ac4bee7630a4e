// Menu handles over Qt menus, and the menu routines of the program: EnableMenuItem,
// CheckMenuItem, DestroyMenu, GetSubMenu, GetMenuItemCount.
#include "platform/menubar/menu_object.h"

#include "platform/window/window_object.h"

#include <QAction>
#include <QMenu>

#include <map>
#include <memory>

namespace
{
// Pop-ups deeper than this are refused: no handheld menu goes further, and a resource that
// points back at itself must not make menus without end.
const int deepestPopup = 4;

const char commandProperty[] = "zentallyCommand";
const char flagsProperty[] = "zentallyFlags";

struct MenuObject {
    std::unique_ptr<QMenu> menu;
    MenuOwner owner;
    MenuObject* parent = nullptr; // the menu whose pop-up item opens this one
    std::vector<HMENU> popups;
};

// Handles are the objects' addresses; the table tells a live handle from a freed or made-up one.
std::map<HMENU, std::unique_ptr<MenuObject>>& Menus()
{
    static std::map<HMENU, std::unique_ptr<MenuObject>> menus;
    return menus;
}

MenuObject* Find(HMENU menu)
{
    auto found = Menus().find(menu);
    return found == Menus().end() ? nullptr : found->second.get();
}

bool ValidResource(const MENURESOURCE& resource, int depth)
{
    if (depth > deepestPopup || (resource.itemCount && !resource.items))
        return false;
    for (size_t i = 0; i < resource.itemCount; ++i) {
        const MENUITEMRESOURCE& item = resource.items[i];
        if (item.flags & MF_SEPARATOR)
            continue;
        if (!item.text)
            return false;
        if ((item.flags & MF_POPUP) && (!item.popup || !ValidResource(*item.popup, depth + 1)))
            return false;
    }
    return true;
}

UINT StateFlags(UINT flags)
{
    return flags & (MF_GRAYED | MF_DISABLED);
}

void ApplyFlags(QAction* action, UINT flags)
{
    action->setProperty(flagsProperty, StateFlags(flags));
    action->setEnabled(StateFlags(flags) == 0);
    if (flags & MF_CHECKED) {
        action->setCheckable(true);
        action->setChecked(true);
    } else if (action->isCheckable()) {
        action->setChecked(false);
    }
}

HMENU Build(const MENURESOURCE& resource, MenuOwner owner, MenuObject* parent)
{
    auto object = std::make_unique<MenuObject>();
    object->menu = std::make_unique<QMenu>();
    object->owner = owner;
    object->parent = parent;
    HMENU handle = reinterpret_cast<HMENU>(object.get());
    MenuObject* raw = object.get();
    Menus().emplace(handle, std::move(object));
    for (size_t i = 0; i < resource.itemCount; ++i) {
        const MENUITEMRESOURCE& item = resource.items[i];
        if (item.flags & MF_SEPARATOR) {
            raw->menu->addSeparator();
            continue;
        }
        QAction* action = raw->menu->addAction(QString::fromUtf16(item.text));
        action->setProperty(commandProperty, (item.flags & MF_POPUP) ? 0u : item.command);
        ApplyFlags(action, item.flags);
        if (item.flags & MF_POPUP) {
            HMENU popup = Build(*item.popup, owner, raw);
            raw->popups.push_back(popup);
            action->setMenu(QMenuOf(popup));
        }
    }
    return handle;
}

// The item at a position, or with a command in the menu or its pop-ups.
QAction* FindItem(HMENU menu, UINT item, UINT flags)
{
    QMenu* qmenu = QMenuOf(menu);
    if (!qmenu)
        return nullptr;
    if (flags & MF_BYPOSITION) {
        QList<QAction*> actions = qmenu->actions();
        return item < UINT(actions.size()) ? actions[qsizetype(item)] : nullptr;
    }
    return FindMenuAction(menu, item);
}
} // namespace

HMENU MakeMenu(const MENURESOURCE& resource, MenuOwner owner)
{
    if (!ValidResource(resource, 0)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    if (!EnsureApplication()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return Build(resource, owner, nullptr);
}

void FreeMenu(HMENU menu)
{
    auto found = Menus().find(menu);
    if (found == Menus().end())
        return;
    std::unique_ptr<MenuObject> object = std::move(found->second);
    Menus().erase(found);
    // The menu goes before its pop-ups, so that no action is left pointing at a freed pop-up.
    object->menu.reset();
    for (HMENU popup : object->popups)
        FreeMenu(popup);
}

QMenu* QMenuOf(HMENU menu)
{
    MenuObject* object = Find(menu);
    return object ? object->menu.get() : nullptr;
}

bool IsMenu(HMENU menu)
{
    return Find(menu) != nullptr;
}

std::vector<MenuItemView> MenuItems(HMENU menu)
{
    std::vector<MenuItemView> items;
    QMenu* qmenu = QMenuOf(menu);
    if (!qmenu)
        return items;
    for (QAction* action : qmenu->actions()) {
        items.push_back(MenuItemView{action->isSeparator(), action->menu() != nullptr,
                                     CommandOfAction(action), action->text().toStdU16String(),
                                     !action->isEnabled(), action->isChecked()});
    }
    return items;
}

UINT CommandOfAction(const QAction* action)
{
    if (!action || action->isSeparator())
        return 0;
    return action->property(commandProperty).toUInt();
}

QAction* FindMenuAction(HMENU menu, UINT command)
{
    MenuObject* object = Find(menu);
    if (!object)
        return nullptr;
    for (QAction* action : object->menu->actions()) {
        if (!action->isSeparator() && !action->menu() && CommandOfAction(action) == command)
            return action;
    }
    for (HMENU popup : object->popups) {
        if (QAction* action = FindMenuAction(popup, command))
            return action;
    }
    return nullptr;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags)
{
    QAction* action = FindItem(menu, item, flags);
    if (!action || action->isSeparator())
        return -1;
    UINT previous = action->property(flagsProperty).toUInt();
    UINT checked = action->isChecked() ? MF_CHECKED : MF_UNCHECKED;
    ApplyFlags(action, StateFlags(flags) | checked);
    return static_cast<BOOL>(previous);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags)
{
    QAction* action = FindItem(menu, item, flags);
    if (!action || action->isSeparator())
        return 0xFFFFFFFF;
    DWORD previous = action->isChecked() ? MF_CHECKED : MF_UNCHECKED;
    action->setCheckable(true);
    action->setChecked((flags & MF_CHECKED) != 0);
    return previous;
}

BOOL DestroyMenu(HMENU menu)
{
    MenuObject* object = Find(menu);
    if (!object || object->parent || object->owner != MenuOwner::Program) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    FreeMenu(menu);
    return TRUE;
}

HMENU GetSubMenu(HMENU menu, int position)
{
    QMenu* qmenu = QMenuOf(menu);
    if (!qmenu || position < 0 || position >= qmenu->actions().size())
        return nullptr;
    QMenu* popup = qmenu->actions()[position]->menu();
    MenuObject* object = Find(menu);
    for (HMENU child : object->popups) {
        if (QMenuOf(child) == popup)
            return child;
    }
    return nullptr;
}

int GetMenuItemCount(HMENU menu)
{
    QMenu* qmenu = QMenuOf(menu);
    if (!qmenu) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return int(qmenu->actions().size());
}
