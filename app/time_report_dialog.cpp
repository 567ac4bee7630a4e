#include "app/dialogs.h"

INT_PTR TimeReportDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
