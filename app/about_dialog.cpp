// About (dialog 102): the program's icon, name, description and version. It has no buttons of
// its own; the navigation bar's ok closes it.
#include "app/app_context.h"
#include "app/dialogs.h"
#include "platform/aygshell.h"
#include "platform/text.h"

namespace
{
enum : int {
    IDC_VERSION = 1066,
};

INT_PTR OnInitDialog(HWND dialog)
{
    App.ActiveDialog = dialog;
    SHINITDLGINFO shell = {SHIDIM_FLAGS, dialog,
                           SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&shell);
    WCHAR version[24];
    wsprintfW(version, u"%d.%d", static_cast<int>(App.Settings->MajorVersion),
              static_cast<int>(App.Settings->MinorVersion));
    SendDlgItemMessageW(dialog, IDC_VERSION, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(version));
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WORD id)
{
    if (id != IDOK)
        return FALSE;
    App.ActiveDialog = nullptr;
    EndDialog(dialog, IDOK);
    return TRUE;
}
} // namespace

INT_PTR AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    default: return FALSE;
    }
}
