// About: the program's name and version.
#include "app/dialogs.h"

INT_PTR AboutDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
