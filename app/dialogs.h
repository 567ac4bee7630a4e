// The program's dialogs, each a template of the resources and a dialog procedure.
#pragma once

#include "platform/windows.h"

// Finds template `templateId` among the resources and runs it modally over the main window.
// Returns the dialog's end code, or -1 when it cannot be shown.
INT_PTR RunDialog(UINT templateId, DLGPROC procedure);

// The dialogs arrive one by one; a dialog whose procedure is not here yet has no template
// either, so RunDialog reports it cannot be shown and its command refreshes nothing.
extern const DLGPROC RegisterTimeDialog;
INT_PTR RegisterTimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC EditCategoriesDialog;
extern const DLGPROC NewCategoryDialog;
extern const DLGPROC EditCategoryDialog;
extern const DLGPROC TimeReportDialog;
extern const DLGPROC ExportRecordsDialog;
extern const DLGPROC AboutDialog;
extern const DLGPROC ViewOptionsDialog;
extern const DLGPROC DeleteByRangeDialog;
