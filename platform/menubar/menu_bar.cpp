// The menu bar's window: SHCreateMenuBar, the command-bar routines and the messages the bar
// answers.
#include "platform/aygshell.h"
#include "platform/menubar/menu_bar_widget.h"
#include "platform/resources/pictures.h"
#include "platform/resources/resource_lookup.h"
#include "platform/window/window_object.h"

#include <QImage>

namespace
{
// What SHCreateMenuBar hands to the bar's creation.
struct BarCreation {
    HWND owner;
    const MENUBARRESOURCE* bar; // null for an empty bar
    const MENURESOURCE* menu;   // the menu of the drop-downs, null when it has none
};

QWidget* CreateBar(HWND window, const CREATESTRUCTW& create, QWidget* parent);
LRESULT BarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

const ControlClass barClass = {u"ShellMenuBar", CreateBar, BarMessage};

std::vector<HWND>& Bars()
{
    static std::vector<HWND> bars;
    return bars;
}

// The pop-up item number `index` of a menu, counting pop-up items only.
HMENU NthPopup(HMENU menu, int index)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0, popups = 0; i < count; ++i) {
        if (HMENU popup = GetSubMenu(menu, i)) {
            if (popups++ == index)
                return popup;
        }
    }
    return nullptr;
}

int PopupCount(const MENURESOURCE* menu)
{
    int count = 0;
    for (size_t i = 0; menu && i < menu->itemCount; ++i)
        count += (menu->items[i].flags & MF_POPUP) ? 1 : 0;
    return count;
}

// A bar's resource must name its drop-downs' menu and only pop-ups that menu has.
bool ValidBar(const MENUBARRESOURCE& bar, const MENURESOURCE* menu)
{
    if (bar.buttonCount && !bar.buttons)
        return false;
    for (size_t i = 0; i < bar.buttonCount; ++i) {
        const MENUBARBUTTONRESOURCE& button = bar.buttons[i];
        if (!button.text)
            return false;
        if (button.popup != MENUBAR_NO_POPUP &&
            (button.popup < 0 || button.popup >= PopupCount(menu)))
            return false;
    }
    return true;
}

QWidget* CreateBar(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    auto* creation = static_cast<const BarCreation*>(create.lpCreateParams);
    if (!creation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HMENU root = nullptr;
    if (creation->menu) {
        root = MakeMenu(*creation->menu, MenuOwner::MenuBar);
        if (!root)
            return nullptr;
    }
    auto* widget = new MenuBarWidget(window, creation->owner, parent);
    widget->SetRootMenu(root);
    for (size_t i = 0; creation->bar && i < creation->bar->buttonCount; ++i) {
        const MENUBARBUTTONRESOURCE& button = creation->bar->buttons[i];
        BarEntry entry;
        entry.kind =
            button.popup == MENUBAR_NO_POPUP ? MenuBarEntryKind::Text : MenuBarEntryKind::DropDown;
        entry.command = button.command;
        entry.text = button.text;
        entry.state = button.state;
        if (entry.kind == MenuBarEntryKind::DropDown)
            entry.menu = NthPopup(root, button.popup);
        widget->AddEntry(entry);
    }
    widget->Changed();
    return widget;
}

LRESULT SetState(MenuBarWidget* bar, UINT command, BYTE state)
{
    BarEntry* entry = bar->EntryWithCommand(command);
    if (!entry)
        return FALSE;
    entry->state = state;
    bar->Changed();
    return TRUE;
}

LRESULT BarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MenuBarWidget* bar = MenuBarOf(window);
    if (!bar)
        return DefWindowProcW(window, message, wParam, lParam);
    BarEntry* entry = nullptr;
    switch (message) {
    case TB_SETSTATE: return SetState(bar, UINT(wParam), BYTE(LOWORD(lParam)));
    case TB_GETSTATE:
        entry = bar->EntryWithCommand(UINT(wParam));
        return entry ? LRESULT(entry->state) : -1;
    case TB_ENABLEBUTTON:
        entry = bar->EntryWithCommand(UINT(wParam));
        if (!entry)
            return FALSE;
        return SetState(bar, UINT(wParam),
                        BYTE(LOWORD(lParam) ? entry->state | TBSTATE_ENABLED
                                            : entry->state & ~TBSTATE_ENABLED));
    case TB_ISBUTTONENABLED:
        entry = bar->EntryWithCommand(UINT(wParam));
        return entry && (entry->state & TBSTATE_ENABLED);
    case TB_BUTTONCOUNT: return LRESULT(bar->Entries().size());
    case SHCMBM_GETSUBMENU:
        entry = bar->EntryWithCommand(UINT(lParam));
        return entry ? reinterpret_cast<LRESULT>(entry->menu) : 0;
    case SHCMBM_SETSUBMENU: {
        entry = bar->EntryWithCommand(UINT(wParam));
        if (!entry || entry->kind != MenuBarEntryKind::DropDown)
            return 0;
        HMENU previous = entry->menu;
        entry->menu =
            IsMenu(reinterpret_cast<HMENU>(lParam)) ? reinterpret_cast<HMENU>(lParam) : nullptr;
        return reinterpret_cast<LRESULT>(previous);
    }
    case SHCMBM_GETMENU: return reinterpret_cast<LRESULT>(bar->RootMenu());
    case WM_DESTROY:
        // The bar's menus die with it, as on the handheld: handles the program kept are refused
        // from now on.
        bar->FreeMenus();
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

MenuBarWidget* MenuBarOf(HWND bar)
{
    WindowObject* object = WindowFromHandle(bar);
    if (!object || object->control != &barClass)
        return nullptr;
    return dynamic_cast<MenuBarWidget*>(object->widget.data());
}

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || info->cbSize != sizeof(SHMENUBARINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hwndMB = nullptr;
    if (!IsWindow(info->hwndParent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    BarCreation creation{info->hwndParent, nullptr, nullptr};
    const RESOURCEMODULE* module = nullptr;
    if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
        module = ResourceModuleOf(info->hInstRes);
        if (!module)
            return FALSE;
        creation.bar = FindMenuBarResource(module, MAKEINTRESOURCEW(info->nToolBarId));
        if (!creation.bar) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return FALSE;
        }
        creation.menu = FindMenuResource(module, MAKEINTRESOURCEW(creation.bar->menu));
        if (!ValidBar(*creation.bar, creation.menu)) {
            SetLastError(ERROR_INVALID_DATA);
            return FALSE;
        }
    }
    RegisterControlClass(&barClass);
    SIZE screen = ScreenSize();
    DWORD style = (info->dwFlags & SHCMBF_HIDDEN) ? 0 : WS_VISIBLE;
    HWND bar =
        CreateWindowExW(0, barClass.name, u"", style, 0, screen.cy - MENU_BAR_HEIGHT, screen.cx,
                        MENU_BAR_HEIGHT, info->hwndParent, nullptr, info->hInstRes, &creation);
    if (!bar)
        return FALSE;
    if (info->nBmpId && info->cBmpImages > 0 &&
        CommandBar_AddBitmap(bar, info->hInstRes, info->nBmpId, info->cBmpImages, 16, 16) < 0) {
        DestroyWindow(bar);
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return FALSE;
    }
    Bars().push_back(bar);
    info->hwndMB = bar;
    return TRUE;
}

BOOL CommandBar_AddToolTips(HWND window, UINT count, LPWSTR* texts)
{
    MenuBarWidget* bar = MenuBarOf(window);
    if (!bar || (count && !texts)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<std::u16string> tips;
    for (UINT i = 0; i < count; ++i)
        tips.push_back(texts[i] ? texts[i] : u"");
    bar->SetTooltips(std::move(tips));
    return TRUE;
}

int CommandBar_AddBitmap(HWND window, HINSTANCE instance, int bitmapId, int count, int cx, int cy)
{
    MenuBarWidget* bar = MenuBarOf(window);
    if (!bar) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(bitmapId));
    if (!bitmap)
        return -1;
    int first = bar->AddPictures(ImageOfBitmap(bitmap), count, cx, cy);
    DeleteObject(bitmap);
    if (first < 0)
        SetLastError(ERROR_INVALID_PARAMETER);
    return first;
}

BOOL CommandBar_AddButtons(HWND window, UINT count, LPCTBBUTTON buttons)
{
    MenuBarWidget* bar = MenuBarOf(window);
    if (!bar || (count && !buttons)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (UINT i = 0; i < count; ++i) {
        const TBBUTTON& button = buttons[i];
        BarEntry entry;
        entry.state = button.fsState;
        if (button.fsStyle & TBSTYLE_SEP) {
            entry.kind = MenuBarEntryKind::Separator;
            entry.gap = button.iBitmap;
        } else {
            entry.kind = MenuBarEntryKind::Picture;
            entry.command = UINT(button.idCommand);
            entry.image = button.iBitmap;
        }
        bar->AddEntry(entry);
    }
    bar->Changed();
    return TRUE;
}

HWND ActiveMenuBar()
{
    std::vector<HWND>& bars = Bars();
    while (!bars.empty() && !MenuBarOf(bars.back()))
        bars.pop_back();
    return bars.empty() ? nullptr : bars.back();
}

QWidget* MenuBarWidgetOf(HWND bar)
{
    return MenuBarOf(bar);
}

void PlaceMenuBars()
{
    SIZE screen = ScreenSize();
    for (HWND bar : Bars()) {
        if (MenuBarOf(bar))
            MoveWindow(bar, 0, screen.cy - MENU_BAR_HEIGHT, screen.cx, MENU_BAR_HEIGHT, TRUE);
    }
}
