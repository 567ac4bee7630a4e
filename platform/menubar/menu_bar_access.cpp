// The menu bar for the device and the scripted user: its readout and a person's taps.
#include "platform/menubar/menu_bar_access.h"

#include "platform/menubar/menu_bar_widget.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

namespace
{
MenuBarEntryState StateOf(BYTE state)
{
    if (state & TBSTATE_INDETERMINATE)
        return MenuBarEntryState::Indeterminate;
    return (state & TBSTATE_ENABLED) ? MenuBarEntryState::Enabled : MenuBarEntryState::Grayed;
}

std::string Number(UINT command)
{
    return std::to_string(command);
}

// A press and a release of the pointer at `point` of the widget, as the screen delivers a tap.
void Tap(QWidget* widget, const QPoint& point)
{
    QPointF local(point);
    QPointF global(widget->mapToGlobal(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

bool Refuse(std::string* reason, const std::string& text)
{
    if (reason)
        *reason = text;
    return false;
}

// The bar, when a person could tap it now.
MenuBarWidget* ReachableBar(HWND window, std::string* reason)
{
    MenuBarWidget* bar = MenuBarOf(window);
    if (!bar) {
        Refuse(reason, "there is no menu bar");
        return nullptr;
    }
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE)) {
        Refuse(reason, "the menu bar is hidden");
        return nullptr;
    }
    return bar;
}

bool TapEntry(MenuBarWidget* bar, BarEntry& entry, std::string* reason)
{
    if (entry.rect.isEmpty())
        return Refuse(reason, "the menu-bar button " + Number(entry.command) + " is hidden");
    if (StateOf(entry.state) != MenuBarEntryState::Enabled)
        return Refuse(reason, "the menu-bar button " + Number(entry.command) + " is greyed");
    Tap(bar, entry.rect.center());
    return true;
}
} // namespace

std::vector<MenuBarEntryView> ReadMenuBar(HWND window)
{
    std::vector<MenuBarEntryView> entries;
    MenuBarWidget* bar = MenuBarOf(window);
    if (!bar)
        return entries;
    for (const BarEntry& entry : bar->Entries()) {
        if (entry.state & TBSTATE_HIDDEN)
            continue;
        entries.push_back(
            MenuBarEntryView{entry.kind, entry.command, entry.text,
                             entry.kind == MenuBarEntryKind::Picture ? entry.image : -1,
                             entry.tooltip, StateOf(entry.state)});
    }
    return entries;
}

std::vector<MenuBarMenuView> ReadMenuBarMenus(HWND window)
{
    std::vector<MenuBarMenuView> menus;
    MenuBarWidget* bar = MenuBarOf(window);
    if (!bar)
        return menus;
    for (const BarEntry& entry : bar->Entries()) {
        if (entry.kind == MenuBarEntryKind::DropDown)
            menus.push_back(MenuBarMenuView{entry.text, entry.command, MenuItems(entry.menu)});
    }
    return menus;
}

bool MenuBarMenuOpen(HWND window)
{
    MenuBarWidget* bar = MenuBarOf(window);
    return bar && bar->OpenEntry() >= 0;
}

bool TapMenuBarButton(HWND window, UINT command, std::string* reason)
{
    MenuBarWidget* bar = ReachableBar(window, reason);
    if (!bar)
        return false;
    BarEntry* entry = bar->EntryWithCommand(command);
    if (!entry)
        return Refuse(reason, "no menu-bar button has command " + Number(command));
    return TapEntry(bar, *entry, reason);
}

bool TapMenuBarCommand(HWND window, UINT command, std::string* reason)
{
    MenuBarWidget* bar = ReachableBar(window, reason);
    if (!bar)
        return false;
    // The drop-downs left to right, as a person looks for the item.
    for (BarEntry& entry : bar->Entries()) {
        if (entry.kind != MenuBarEntryKind::DropDown)
            continue;
        QMenu* menu = QMenuOf(entry.menu);
        QAction* item = nullptr;
        for (QAction* action : menu ? menu->actions() : QList<QAction*>()) {
            if (!action->menu() && CommandOfAction(action) == command) {
                item = action;
                break;
            }
        }
        if (!item)
            continue;
        if (!item->isEnabled())
            return Refuse(reason, "the menu item " + Number(command) + " is greyed");
        if (!TapEntry(bar, entry, reason))
            return false;
        if (!menu->isVisible())
            return Refuse(reason, "the menu of " + Number(entry.command) + " did not open");
        bar->TakeChosen();
        Tap(menu, menu->actionGeometry(item).center());
        if (bar->TakeChosen() != command) {
            menu->hide();
            return Refuse(reason, "the menu item " + Number(command) + " could not be chosen");
        }
        return true;
    }
    if (bar->EntryWithCommand(command))
        return TapMenuBarButton(window, command, reason);
    return Refuse(reason, "no menu item or menu-bar button has command " + Number(command));
}
