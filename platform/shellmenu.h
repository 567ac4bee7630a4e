// Menus and the buttons of the shell's menu bar (SHCreateMenuBar, platform/aygshell.h): the
// toolbar messages and button records, the command-bar routines that add pictures, buttons and
// tooltips, and the menu routines that grey, check and load menus. Values are the documented ones.
#pragma once

#include "platform/windows.h"

// A button of a toolbar or menu bar.
typedef struct _TBBUTTON {
    int iBitmap;   // the picture's index among the bar's pictures; a separator's width, 0 default
    int idCommand; // the command sent with WM_COMMAND when the button is tapped
    BYTE fsState;  // TBSTATE_*
    BYTE fsStyle;  // TBSTYLE_*
#if UINTPTR_MAX > 0xFFFFFFFFu
    BYTE bReserved[6];
#else
    BYTE bReserved[2];
#endif
    DWORD_PTR dwData;
    INT_PTR iString;
} TBBUTTON, *PTBBUTTON, *LPTBBUTTON;
typedef const TBBUTTON* LPCTBBUTTON;

#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04       // drawn normally and can be tapped
#define TBSTATE_HIDDEN 0x08        // not shown and takes no room
#define TBSTATE_INDETERMINATE 0x10 // greyed: drawn dimmed, a tap does nothing

#define TBSTYLE_BUTTON 0x00
#define TBSTYLE_SEP 0x01 // a gap between buttons
#define TBSTYLE_CHECK 0x02
#define TBSTYLE_DROPDOWN 0x08
#define TBSTYLE_AUTOSIZE 0x10

// wParam the command, lParam TRUE to enable the button, FALSE to grey it. FALSE for an unknown
// command.
#define TB_ENABLEBUTTON (WM_USER + 1)
// wParam the command: nonzero when the button is enabled.
#define TB_ISBUTTONENABLED (WM_USER + 9)
// wParam the command, LOWORD(lParam) the new state. TRUE, or FALSE for an unknown command.
#define TB_SETSTATE (WM_USER + 17)
// wParam the command: its state, or -1 for an unknown command.
#define TB_GETSTATE (WM_USER + 18)
// The number of buttons and separators on the bar.
#define TB_BUTTONCOUNT (WM_USER + 24)

// Gives tooltips to the bar's buttons: the i-th text goes to the i-th button that is not a
// separator, counting the resource's buttons and those added later; a null or empty text gives
// none. The texts are copied. FALSE for an unknown bar or a null array with a nonzero count.
BOOL CommandBar_AddToolTips(HWND bar, UINT count, LPWSTR* texts);
// Adds `count` pictures of cx x cy pixels, taken left to right from bitmap `bitmapId` of
// `instance`, to the bar's pictures. Returns the index of the first one added, or -1 when the
// bar or the bitmap is unknown or the bitmap is too small for the pictures asked for.
int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int count, int cx, int cy);
// Appends buttons and separators to the bar, right of those it has. FALSE for an unknown bar or a
// null array with a nonzero count; a button whose picture index is out of range shows no picture.
BOOL CommandBar_AddButtons(HWND bar, UINT count, LPCTBBUTTON buttons);

// Menu item flags, for EnableMenuItem, CheckMenuItem and menu resources.
#define MF_BYCOMMAND 0x0000
#define MF_BYPOSITION 0x0400
#define MF_ENABLED 0x0000
#define MF_GRAYED 0x0001
#define MF_DISABLED 0x0002
#define MF_UNCHECKED 0x0000
#define MF_CHECKED 0x0008
#define MF_STRING 0x0000
#define MF_POPUP 0x0010
#define MF_SEPARATOR 0x0800

// Greys or enables an item found by its command (in the menu or any of its pop-ups) or by its
// position. Returns the item's previous state (MF_ENABLED, MF_GRAYED or MF_DISABLED), or
// 0xFFFFFFFF (-1) for an unknown menu or item.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
// Checks or unchecks an item found as by EnableMenuItem. Returns its previous state (MF_CHECKED
// or MF_UNCHECKED), or 0xFFFFFFFF for an unknown menu or item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);

// Makes a menu from menu resource `name` of `instance`; null with ERROR_RESOURCE_NAME_NOT_FOUND
// when there is none, or ERROR_INVALID_DATA when it is malformed. Freed by DestroyMenu.
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
// Frees a menu made by LoadMenuW with its pop-ups. A menu of a menu bar belongs to the bar and is
// freed with it. FALSE for an unknown menu or one that belongs to another.
BOOL DestroyMenu(HMENU menu);
// The menu that the pop-up item at `position` opens, or null.
HMENU GetSubMenu(HMENU menu, int position);
// The number of items of a menu, separators counted; -1 for an unknown menu.
int GetMenuItemCount(HMENU menu);
