// The program's dialogs, each a template of the resources and a dialog procedure.
#pragma once

#include "platform/systime.h"
#include "platform/windows.h"

#include <cstddef>

// Finds template `templateId` among the resources and runs it modally over the main window.
// Returns the dialog's end code, or -1 when it cannot be shown.
INT_PTR RunDialog(UINT templateId, DLGPROC procedure);
// The same over another of the program's windows, a dialog that opens a dialog of its own.
INT_PTR RunDialogOver(HWND parent, UINT templateId, DLGPROC procedure);

// Makes button `id` the one Enter presses and gives it the default look, which the button
// that had it loses. `id` need not be a button: Enter then sends that command all the same.
void MakeDefaultButton(HWND dialog, int id);

// The date of date picker `id`, and setting it to `date`.
SYSTEMTIME PickerDate(HWND dialog, int id);
void SetPickerDate(HWND dialog, int id, SYSTEMTIME date);

// Where a control stands in the narrow (240 x 320) and in the wide layout, in client pixels; a
// list's height includes its drop-down part.
struct ControlPlace {
    int x, y, width, height;
};
struct ControlLayout {
    int id;
    ControlPlace narrow;
    ControlPlace wide;
};

// Moves every control of `layout` to its place in the layout the screen calls for.
void PlaceControls(HWND dialog, const ControlLayout* layout, size_t count);
template <size_t N> void PlaceControls(HWND dialog, const ControlLayout (&layout)[N])
{
    PlaceControls(dialog, layout, N);
}

// Paints a dialog's heading: text `textId` in blue bold at (x, y), over a blue rule from
// rule[0] to rule[1].
void PaintDialogHeader(HDC dc, UINT textId, int x, int y, const POINT (&rule)[2]);
// WM_PAINT of a dialog whose heading only the narrow layout has room for: text `textId` at
// (6, 4) over a rule at y 23 from x 6 to `ruleEnd`.
INT_PTR PaintNarrowHeader(HWND dialog, UINT textId, int ruleEnd);

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
INT_PTR TimeReportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC ExportRecordsDialog;
INT_PTR ExportRecordsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Opened by the Time Report's Export... over the report.
INT_PTR ExportReportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC AboutDialog;
INT_PTR AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC ViewOptionsDialog;
INT_PTR ViewOptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const DLGPROC DeleteByRangeDialog;
INT_PTR DeleteByRangeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
