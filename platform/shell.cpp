#include "platform/aygshell.h"

namespace
{
bool panelUp = false;

// The screen is the handheld's default until the device gives it a size of its own.
const LONG screenWidth = 240;
const LONG screenHeight = 320;
} // namespace

BOOL IsInputPanelUp()
{
    return panelUp;
}

BOOL SHSipInfo(UINT action, UINT, PVOID info, UINT)
{
    auto* sip = static_cast<SIPINFO*>(info);
    if (!sip || sip->cbSize != sizeof(SIPINFO) ||
        (action != SPI_SETSIPINFO && action != SPI_GETSIPINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (action == SPI_SETSIPINFO) {
        panelUp = (sip->fdwFlags & SIPF_ON) != 0;
        return TRUE;
    }
    LONG menuTop = screenHeight - MENU_BAR_HEIGHT;
    sip->fdwFlags = (panelUp ? SIPF_ON : SIPF_OFF) | SIPF_DOCKED;
    sip->rcSipRect = {0, menuTop - SIP_PANEL_HEIGHT, screenWidth, menuTop};
    sip->rcVisibleDesktop = {0, NAVIGATION_BAR_HEIGHT, screenWidth,
                             panelUp ? menuTop - SIP_PANEL_HEIGHT : menuTop};
    sip->dwImDataSize = 0;
    return TRUE;
}
