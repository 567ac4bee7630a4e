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
