// Menu bar 105: the text button New and the drop-downs Time and Tools, over menu 105 whose two
// pop-ups are their menus. Every item starts enabled; the program greys what needs records or
// deleted records once its window is made.
#include "platform/shellmenu.h"
#include "resources/data/resource_data.h"
#include "resources/resource_ids.h"

#include <iterator>

namespace
{
const MENUITEMRESOURCE timeItems[] = {
    {IDM_NEW, u"New...", MF_STRING},
    {IDM_UNDO_DELETING, u"Undo Deleting", MF_STRING},
    {IDM_TIME_REPORT, u"Time Report...", MF_STRING},
    {0, nullptr, MF_SEPARATOR},
    {IDM_EXIT, u"Exit", MF_STRING},
};

const MENUITEMRESOURCE toolsItems[] = {
    {IDM_EDIT_CATEGORIES, u"Edit Categories...", MF_STRING},
    {IDM_DELETE_BY_RANGE, u"Delete by Range of Dates...", MF_STRING},
    {IDM_EMPTY_UNDO, u"Empty Undo Time records", MF_STRING},
    {0, nullptr, MF_SEPARATOR},
    {IDM_EXPORT, u"Export Time records...", MF_STRING},
    {IDM_VIEW_OPTIONS, u"View Options", MF_STRING},
    {0, nullptr, MF_SEPARATOR},
    {IDM_HELP, u"Help", MF_STRING},
    {0, nullptr, MF_SEPARATOR},
    {IDM_ABOUT, u"About", MF_STRING},
};

const MENURESOURCE timeMenu = {0, timeItems, std::size(timeItems)};
const MENURESOURCE toolsMenu = {0, toolsItems, std::size(toolsItems)};

const MENUITEMRESOURCE barMenuItems[] = {
    {0, u"Time", MF_POPUP, &timeMenu},
    {0, u"Tools", MF_POPUP, &toolsMenu},
};

const MENUBARBUTTONRESOURCE barButtons[] = {
    {IDM_NEW, u"New", TBSTATE_ENABLED, MENUBAR_NO_POPUP},
    {IDM_TIME_MENU, u"Time", TBSTATE_ENABLED, 0},
    {IDM_TOOLS_MENU, u"Tools", TBSTATE_ENABLED, 1},
};
} // namespace

const MENURESOURCE ZentallyMenus[ZentallyMenuCount] = {
    {IDR_MENUBAR, barMenuItems, std::size(barMenuItems)},
};

const MENUBARRESOURCE ZentallyMenuBars[ZentallyMenuBarCount] = {
    {IDR_MENUBAR, IDR_MENUBAR, barButtons, std::size(barButtons)},
};
