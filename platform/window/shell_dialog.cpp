// The shell's part in a dialog: full screen between the bars, the Done button on the navigation
// bar, and the input panel lowered.
#include "platform/aygshell.h"
#include "platform/window/dialog_internal.h"

BOOL SHInitDialog(PSHINITDLGINFO info)
{
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DialogState* dialog = DialogStateOf(info->hDlg);
    if (!dialog || dialog->closing) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!(info->dwMask & SHIDIM_FLAGS))
        return TRUE;
    DWORD flags = info->dwFlags;
    dialog->shellFlags = flags;
    if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) {
        dialog->fullScreen = true;
        dialog->overMenuBar = (flags & SHIDIF_FULLSCREENNOMENUBAR) != 0;
        FitDialogToScreen(dialog);
    }
    if (flags & SHIDIF_SIPDOWN) {
        SIPINFO sip{};
        sip.cbSize = sizeof(sip);
        sip.fdwFlags = SIPF_OFF;
        SHSipInfo(SPI_SETSIPINFO, 0, &sip, 0);
    }
    // A dialog already in front shows or loses the ok button now; one not yet shown does when
    // it comes to the front.
    if (GetForegroundWindow() == dialog->window)
        ShowDoneButton(dialog, (flags & SHIDIF_DONEBUTTON) != 0);
    return TRUE;
}
