// The program's dialogs, each a template of the resources and a dialog procedure.
#pragma once

#include "platform/windows.h"

// Finds template `templateId` among the resources and runs it modally over the main window.
// Returns the dialog's end code, or -1 when it cannot be shown.
INT_PTR RunDialog(UINT templateId, DLGPROC procedure);

// Makes button `id` the one Enter presses and gives it the default look, which the button
// that had it loses. `id` need not be a button: Enter then sends that command all the same.
void MakeDefaultButton(HWND dialog, int id);

// Paints a dialog's heading: text `textId` in blue bold at (x, y), over a blue rule from
// rule[0] to rule[1].
void PaintDialogHeader(HDC dc, UINT textId, int x, int y, const POINT (&rule)[2]);

// The dialogs arrive one by one; a dialog whose procedure is not here yet has no template
// either, so RunDialog reports it cannot be shown and its command refreshes nothing.
extern const DLGPROC RegisterTimeDialog;
INT_PTR RegisterTimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC EditCategoriesDialog;
INT_PTR EditCategoriesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC NewCategoryDialog;
INT_PTR NewCategoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC EditCategoryDialog;
INT_PTR EditCategoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC TimeReportDialog;
extern const DLGPROC ExportRecordsDialog;
extern const DLGPROC AboutDialog;
INT_PTR AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC ViewOptionsDialog;
INT_PTR ViewOptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC DeleteByRangeDialog;
INT_PTR DeleteByRangeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
