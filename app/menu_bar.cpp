#include "app/menu_bar.h"

#include "app/app_context.h"
#include "app/command_ids.h"
#include "platform/aygshell.h"
#include "platform/commctrl.h"

namespace
{
// The picture buttons behind the resource's three entries, left to right.
const TBBUTTON pictureButtons[] = {
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {0, IDB_EDIT_CATEGORIES, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {1, IDB_TIME_REPORT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {2, IDB_UNDO_DELETING, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {3, IDB_EXPORT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
};

// One tooltip a button, left to right; the two drop-downs have none.
const LPCWSTR tooltips[7] = {u"New Time Record",    nullptr,        nullptr,
                             u"Edit Categories",    u"Time Report", u"Undo Deleting",
                             u"Export Time records"};
} // namespace

HWND CreateMenuBar(HWND mainWindow)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = mainWindow;
    info.nToolBarId = IDR_MENUBAR;
    info.hInstRes = App.Instance;
    if (!SHCreateMenuBar(&info))
        return nullptr;
    HWND bar = info.hwndMB;

    CommandBar_AddToolTips(bar, 7, const_cast<LPWSTR*>(tooltips));
    CommandBar_AddBitmap(bar, App.Instance, IDB_MENUBAR_IMAGES, 4, 16, 16);
    CommandBar_AddButtons(bar, 6, pictureButtons);
    App.TimeMenu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_TIME_MENU));
    App.ToolsMenu =
        reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_TOOLS_MENU));
    return bar;
}
