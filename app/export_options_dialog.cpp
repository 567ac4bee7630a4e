#include "app/dialogs.h"

INT_PTR ExportRecordsDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

INT_PTR ExportReportDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
