#include "entry/shared_ui.h"

#include "platform/aygshell.h"

#include <algorithm>

HFONT CreateDialogFont(HDC dc, LPCWSTR face, int points, LONG weight, BOOL italic)
{
    LOGFONTW font = {};
    font.lfHeight = points * GetDeviceCaps(dc, LOGPIXELSY) / -72;
    font.lfWeight = weight;
    font.lfItalic = italic ? 1 : 0;
    font.lfCharSet = DEFAULT_CHARSET;
    if (face) {
        int n = 0;
        while (face[n] && n < LF_FACESIZE - 1)
            ++n;
        std::copy(face, face + n, font.lfFaceName);
    }
    return CreateFontIndirectW(&font);
}

namespace
{
void SetInputPanel(DWORD flags)
{
    SIPINFO sip = {};
    sip.cbSize = sizeof(sip);
    sip.fdwFlags = flags;
    SHSipInfo(SPI_SETSIPINFO, 0, &sip, 0);
}
} // namespace

void HideInputPanel()
{
    SetInputPanel(SIPF_OFF);
}
void ShowInputPanel()
{
    SetInputPanel(SIPF_ON);
}
