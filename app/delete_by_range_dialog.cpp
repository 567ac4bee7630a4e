// Delete by Range: every record between two dates, at once.
#include "app/dialogs.h"

INT_PTR DeleteByRangeDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
