// The Time Report (dialog 127): the registered time from a start to an end date, both included,
// for one category as a single total or for every category as a list of totals (report_list.h)
// that can be sorted by either column and exported. Three views share the dialog: the range view
// it opens on, the single total and the list; Report leaves the range view, Reset returns to it.
// The range a report used is kept for the next Time Report and Delete by Range; the list's sort
// is kept in the settings.
#include "app/app_context.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "app/report_list.h"
#include "app/startup.h"
#include "entry/record_format.h"
#include "entry/shared_ui.h"
#include "entry/text_checks.h"
#include "platform/aygshell.h"
#include "platform/commctrl.h"
#include "platform/controls.h"
#include "report/report_totals.h"
#include "resources/strings.h"

namespace
{
enum : int {
    IDC_RANGE_GROUP = 1050,
    IDC_STARTS_LABEL = 1051,
    IDC_ENDS_LABEL = 1052,
    IDC_STARTS = 1053,
    IDC_ENDS = 1054,
    IDC_CATEGORY_GROUP = 1055,
    IDC_CATEGORY = 1056,
    IDC_ALL = 1057,
    IDC_REPORT = 1058,
    IDC_EXPORT = 1059,
    IDC_RESET = 1060,
    IDC_TOTAL_GROUP = 1061,
    IDC_TOTAL_LABEL = 1062,
    IDC_TOTAL = 1063,
};

const ControlLayout layout[] = {
    {IDC_RANGE_GROUP, {6, 5, 226, 70}, {6, 5, 163, 70}},
    {IDC_STARTS_LABEL, {12, 25, 40, 16}, {12, 25, 40, 16}},
    {IDC_ENDS_LABEL, {12, 50, 35, 16}, {12, 50, 35, 16}},
    {IDC_STARTS, {59, 25, 95, 18}, {59, 25, 95, 18}},
    {IDC_ENDS, {59, 50, 95, 18}, {59, 50, 95, 18}},
    {IDC_CATEGORY_GROUP, {6, 79, 226, 45}, {6, 79, 163, 45}},
    {IDC_CATEGORY, {12, 97, 142, 100}, {12, 97, 110, 85}},
    {IDC_ALL, {165, 97, 40, 18}, {125, 97, 35, 18}},
    {IDC_REPORT, {7, 132, 90, 21}, {7, 132, 77, 21}},
    {IDC_EXPORT, {7, 132, 90, 21}, {7, 132, 77, 21}},
    {IDC_RESET, {140, 133, 90, 21}, {91, 133, 77, 21}},
    {IDC_TOTAL_GROUP, {6, 170, 226, 45}, {194, 5, 120, 80}},
    {IDC_TOTAL_LABEL, {12, 190, 100, 16}, {208, 28, 100, 16}},
    {IDC_TOTAL, {135, 189, 80, 18}, {211, 50, 80, 18}},
};

// The controls the single total shows, hidden again by Reset.
const int totalControls[] = {IDC_RESET, IDC_TOTAL_GROUP, IDC_TOTAL_LABEL, IDC_TOTAL};
// The controls of the range, locked while a result is shown.
const int rangeControls[] = {IDC_STARTS, IDC_ENDS, IDC_CATEGORY, IDC_ALL};

// Longest category name read from the list, its terminator included; names are shorter.
const int CATEGORY_TEXT_MAX = 64;

HWND Item(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

void Show(HWND dialog, int id, bool shown)
{
    ShowWindow(Item(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

void Enable(HWND dialog, int id, bool enabled)
{
    EnableWindow(Item(dialog, id), enabled ? TRUE : FALSE);
}

void EnableRange(HWND dialog, bool enabled)
{
    for (int id : rangeControls)
        Enable(dialog, id, enabled);
}

bool AllChecked(HWND dialog)
{
    return SendDlgItemMessageW(dialog, IDC_ALL, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetAll(HWND dialog, bool checked)
{
    SendDlgItemMessageW(dialog, IDC_ALL, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void PlainButton(HWND dialog, int id)
{
    SendDlgItemMessageW(dialog, id, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
}

void Warn(HWND dialog, UINT textId)
{
    WCHAR text[IDENTITY_TEXT_MAX];
    if (LoadStringW(App.Instance, textId, text, IDENTITY_TEXT_MAX) > 0)
        MessageBoxW(nullptr, text, App.Title, MB_OK | MB_ICONEXCLAMATION);
    SetFocus(Item(dialog, IDC_STARTS));
}

void SaveReportSort()
{
    App.Settings->SortRapport = App.ReportSortColumn;
    App.Settings->SortOrderRapport = App.ReportSortOrder;
}

void LoadReportSort()
{
    App.ReportSortColumn = App.Settings->SortRapport;
    App.ReportSortOrder = App.Settings->SortOrderRapport;
}

// Makes the list of totals for the range in the range nodes and shows it, sorted as the
// settings say. FALSE when no record of a category lies in the range; -1 when the list cannot
// be made or sorted, which ends the dialog.
int ShowCategoryTotals(HWND dialog)
{
    if (!ComputeCategoryTotals(App.MainRecordList, App.MainCategoryList,
                               App.RangeStartRecord->dateKey, App.RangeEndRecord->dateKey))
        return FALSE;
    LoadReportSort();
    if (!BuildReportList(dialog) || !ApplyReportSort()) {
        DestroyReportList();
        EndDialog(dialog, 0);
        return -1;
    }
    FillReportList();
    return TRUE;
}

// The range as the pickers give it, into the range nodes; false, the person told, when it ends
// before it starts. A range of one day is a range.
bool ReadRange(HWND dialog)
{
    SYSTEMTIME start = PickerDate(dialog, IDC_STARTS);
    SYSTEMTIME end = PickerDate(dialog, IDC_ENDS);
    ResetRecordNode(App.RangeStartRecord);
    SetRecordDate(App.RangeStartRecord, start);
    ResetRecordNode(App.RangeEndRecord);
    SetRecordDate(App.RangeEndRecord, end);
    if (App.RangeEndRecord->dateKey < App.RangeStartRecord->dateKey) {
        Warn(dialog, IDS_START_AFTER_END);
        return false;
    }
    App.SharedDateRange.start = start;
    App.SharedDateRange.end = end;
    return true;
}

void ReportOneCategory(HWND dialog)
{
    WCHAR name[CATEGORY_TEXT_MAX] = {};
    GetWindowTextW(Item(dialog, IDC_CATEGORY), name, CATEGORY_TEXT_MAX);
    if (!name[0]) {
        MessageBeep(MB_OK);
        SetFocus(Item(dialog, IDC_CATEGORY));
        return;
    }
    TrimSpaces(name, name);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    LONG total = CategoryTotal(App.MainRecordList, name, App.RangeStartRecord->dateKey,
                               App.RangeEndRecord->dateKey);
    WCHAR text[TOTAL_TEXT_MAX];
    FormatTotalText(total, App.Settings->TimeTypeView, text);
    SetCursor(nullptr);
    for (int id : totalControls)
        Show(dialog, id, true);
    EnableRange(dialog, false);
    Enable(dialog, IDC_RESET, true);
    PlainButton(dialog, IDC_REPORT);
    Enable(dialog, IDC_REPORT, false);
    MakeDefaultButton(dialog, IDC_RESET);
    SendDlgItemMessageW(dialog, IDC_TOTAL, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void ReportAllCategories(HWND dialog)
{
    int shown = ShowCategoryTotals(dialog);
    if (shown == FALSE)
        Warn(dialog, IDS_NO_RECORDS_FOUND);
    if (shown != TRUE)
        return;
    Show(dialog, IDC_RESET, true);
    Show(dialog, IDC_REPORT, false);
    Show(dialog, IDC_EXPORT, true);
    EnableRange(dialog, false);
    Enable(dialog, IDC_RESET, true);
    MakeDefaultButton(dialog, IDC_RESET);
}

INT_PTR OnReport(HWND dialog)
{
    if (!ReadRange(dialog))
        return TRUE;
    if (AllChecked(dialog))
        ReportAllCategories(dialog);
    else
        ReportOneCategory(dialog);
    return TRUE;
}

INT_PTR OnReset(HWND dialog)
{
    if (AllChecked(dialog)) {
        DestroyReportList();
        SaveReportSort();
        SetAll(dialog, false);
        Show(dialog, IDC_CATEGORY, true);
        Show(dialog, IDC_EXPORT, false);
        Show(dialog, IDC_REPORT, true);
    } else {
        for (int id : totalControls)
            Show(dialog, id, false);
    }
    EnableRange(dialog, true);
    Enable(dialog, IDC_RESET, false);
    Show(dialog, IDC_RESET, false);
    PlainButton(dialog, IDC_REPORT);
    Enable(dialog, IDC_REPORT, true);
    MakeDefaultButton(dialog, IDC_REPORT);
    return TRUE;
}

INT_PTR OnExport(HWND dialog)
{
    RunDialogOver(dialog, IDD_EXPORT_REPORT, ExportReportDialogProc);
    MakeDefaultButton(dialog, IDC_RESET);
    return TRUE;
}

INT_PTR OnAll(HWND dialog)
{
    HideInputPanel();
    if (AllChecked(dialog)) {
        Show(dialog, IDC_CATEGORY, false);
        Enable(dialog, IDC_REPORT, true);
        MakeDefaultButton(dialog, IDC_REPORT);
    } else {
        Enable(dialog, IDC_REPORT, false);
        PlainButton(dialog, IDC_REPORT);
        Show(dialog, IDC_CATEGORY, true);
        Enable(dialog, IDC_CATEGORY, true);
    }
    return TRUE;
}

INT_PTR OnCategoryCommand(HWND dialog, WORD code)
{
    switch (code) {
    case CBN_DROPDOWN: HideInputPanel(); return TRUE;
    case CBN_SELCHANGE:
        SetAll(dialog, false);
        Enable(dialog, IDC_REPORT, true);
        MakeDefaultButton(dialog, IDC_REPORT);
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR OnClose(HWND dialog)
{
    SaveReportSort();
    DestroyReportList();
    EndDialog(dialog, 1);
    return TRUE;
}

INT_PTR OnInitDialog(HWND dialog)
{
    SHINITDLGINFO shell = {SHIDIM_FLAGS, dialog,
                           SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&shell);
    SetPickerDate(dialog, IDC_STARTS, App.SharedDateRange.start);
    SetPickerDate(dialog, IDC_ENDS, App.SharedDateRange.end);
    for (CategoryNode* category = First(App.MainCategoryList); category; category = category->next)
        SendDlgItemMessageW(dialog, IDC_CATEGORY, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(category->name));
    // No name begins with five blanks, so nothing is selected.
    SendDlgItemMessageW(dialog, IDC_CATEGORY, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(u"     "));
    SetAll(dialog, false);
    Enable(dialog, IDC_REPORT, false);
    SetFocus(Item(dialog, IDC_STARTS));
    return FALSE;
}

INT_PTR OnCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    case IDOK: return OnClose(dialog);
    case IDC_CATEGORY: return OnCategoryCommand(dialog, code);
    case IDC_ALL: return OnAll(dialog);
    case IDC_REPORT: return OnReport(dialog);
    case IDC_EXPORT: return OnExport(dialog);
    case IDC_RESET: return OnReset(dialog);
    default: return FALSE;
    }
}

INT_PTR OnNotify(const NMHDR* notification)
{
    switch (notification->idFrom) {
    case IDC_REPORT_LIST:
        HideInputPanel();
        if (notification->code == LVN_COLUMNCLICK)
            SortReportListBy(reinterpret_cast<const NMLISTVIEW*>(notification)->iSubItem);
        return TRUE;
    case IDC_STARTS:
    case IDC_ENDS:
        if (notification->code == DTN_DROPDOWN)
            HideInputPanel();
        return FALSE;
    default: return FALSE;
    }
}

// A list on the screen is made again in its place for the new layout, from the range of its
// report and with the sort it was showing. Before a report, All checked shows no list yet.
INT_PTR OnSize(HWND dialog)
{
    PlaceControls(dialog, layout);
    if (!AllChecked(dialog) || !ReportListShown())
        return FALSE;
    DestroyReportList();
    SaveReportSort();
    ShowCategoryTotals(dialog);
    return FALSE;
}

// Coming to the front lowers the input panel; losing it to a dialog of its own (Export...) does
// not, so that the panel that dialog raised stays up.
INT_PTR OnActivate(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WA_INACTIVE && lParam)
        return TRUE;
    HideInputPanel();
    return TRUE;
}
} // namespace

INT_PTR TimeReportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE: return OnSize(dialog);
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    default: return FALSE;
    }
}
