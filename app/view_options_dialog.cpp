// View Options: how dates and durations read.
#include "app/dialogs.h"

INT_PTR ViewOptionsDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
