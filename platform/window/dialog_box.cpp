// Dialogs from templates. The dialog manager reads the templates of the program's resources;
// until it knows the controls of a template, no dialog is made and the caller is told so.
#include "platform/window/window_internal.h"

#define ERROR_CALL_NOT_IMPLEMENTED 120L

INT_PTR DialogBoxIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW dialogTemplate, HWND, DLGPROC procedure,
                                LPARAM)
{
    SetLastError(dialogTemplate && procedure ? ERROR_CALL_NOT_IMPLEMENTED
                                             : ERROR_INVALID_PARAMETER);
    return -1;
}

BOOL EndDialog(HWND dialog, INT_PTR)
{
    SetLastError(WindowFromHandle(dialog) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
}
