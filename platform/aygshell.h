// The shell's soft input panel.
#pragma once

#include "platform/wintypes.h"

#define SPI_SETSIPINFO 224
#define SPI_GETSIPINFO 225

#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004

typedef struct tagSIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;
    RECT rcVisibleDesktop;
    RECT rcSipRect;
    DWORD dwImDataSize;
    void* pvImData;
} SIPINFO;

// SPI_SETSIPINFO raises the panel when SIPF_ON is in the record's flags and lowers it otherwise;
// SPI_GETSIPINFO fills the record with the panel's state and place. The record's cbSize must be
// sizeof(SIPINFO); anything else fails with ERROR_INVALID_PARAMETER and changes nothing.
BOOL SHSipInfo(UINT action, UINT param, PVOID info, UINT winIni);

// The panel's state as the device shows it.
BOOL IsInputPanelUp();
// The rows the panel covers when up: the 80 rows above the menu bar of the screen.
#define SIP_PANEL_HEIGHT 80
#define MENU_BAR_HEIGHT 26
#define NAVIGATION_BAR_HEIGHT 26

// The shell's menu bar: a bar along the bottom of the screen made from a menu-bar resource, with
// its text buttons, drop-down menus and the picture buttons the program adds
// (platform/shellmenu.h).
typedef struct tagSHMENUBARINFO {
    DWORD cbSize;       // sizeof(SHMENUBARINFO)
    HWND hwndParent;    // the window that receives the bar's WM_COMMAND
    DWORD dwFlags;      // SHCMBF_*
    UINT nToolBarId;    // the menu-bar resource
    HINSTANCE hInstRes; // the module holding it
    int nBmpId;         // a bitmap of pictures for the bar, 0 for none
    int cBmpImages;     // the pictures in it
    HWND hwndMB;        // out: the bar
} SHMENUBARINFO, *PSHMENUBARINFO;

#define SHCMBF_EMPTYBAR 0x0001      // no resource: a bar without buttons
#define SHCMBF_HIDDEN 0x0002        // the bar is made hidden
#define SHCMBF_HIDESIPBUTTON 0x0004 // accepted; the device has no input-panel button on the bar

// wParam the drop-down button's id, lParam an HMENU: gives the button that menu and returns the
// one it had, or 0 when there is no such button.
#define SHCMBM_SETSUBMENU (WM_USER + 400)
// wParam 0, lParam the drop-down button's id: the HMENU of its menu, or 0 for none.
#define SHCMBM_GETSUBMENU (WM_USER + 401)
// wParam 0, lParam 0: the HMENU holding every drop-down of the bar as a pop-up item.
#define SHCMBM_GETMENU (WM_USER + 402)

// Makes the bar for `info->hwndParent` and stores it in `info->hwndMB`. FALSE, with hwndMB null
// and the error set, for a null or wrongly sized record, an unknown resource or module, or a
// parent that is not a window.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

// Dialogs of the shell: full screen between the navigation bar and the menu bar, with an "ok"
// (Done) button on the navigation bar that sends IDOK.
typedef struct tagSHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

#define SHIDIM_FLAGS 0x0001

#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020
#define SHIDIF_WANTSCROLLBAR 0x0040

BOOL SHInitDialog(PSHINITDLGINFO info);
