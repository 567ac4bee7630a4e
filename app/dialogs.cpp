#include "app/dialogs.h"

#include "app/app_context.h"
#include "platform/resources.h"

INT_PTR RunDialog(UINT templateId, DLGPROC procedure)
{
    HRSRC found = FindResourceW(App.Instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    if (!found || !procedure)
        return -1;
    HGLOBAL loaded = LoadResource(App.Instance, found);
    if (!loaded)
        return -1;
    return DialogBoxIndirectParamW(App.Instance, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)),
                                   App.MainWindow, procedure, 0);
}

const DLGPROC RegisterTimeDialog = RegisterTimeDialogProc;
const DLGPROC EditCategoriesDialog = nullptr;
const DLGPROC NewCategoryDialog = nullptr;
const DLGPROC EditCategoryDialog = nullptr;
const DLGPROC TimeReportDialog = nullptr;
const DLGPROC ExportRecordsDialog = nullptr;
const DLGPROC AboutDialog = nullptr;
const DLGPROC ViewOptionsDialog = nullptr;
const DLGPROC DeleteByRangeDialog = nullptr;
