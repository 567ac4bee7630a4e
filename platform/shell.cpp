#include "platform/aygshell.h"
#include "platform/windows.h"

namespace
{
bool panelUp = false;
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
    // The panel docks above the menu bar of the screen as it is now, turned or not.
    LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
    LONG menuTop = GetSystemMetrics(SM_CYSCREEN) - MENU_BAR_HEIGHT;
    sip->fdwFlags = (panelUp ? SIPF_ON : SIPF_OFF) | SIPF_DOCKED;
    sip->rcSipRect = {0, menuTop - SIP_PANEL_HEIGHT, screenWidth, menuTop};
    sip->rcVisibleDesktop = {0, NAVIGATION_BAR_HEIGHT, screenWidth,
                             panelUp ? menuTop - SIP_PANEL_HEIGHT : menuTop};
    sip->dwImDataSize = 0;
    return TRUE;
}
