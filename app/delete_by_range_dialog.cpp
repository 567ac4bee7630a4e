// Delete by Range (dialog 129): finds every record dated from the start to the end date, both
// included, and after the person's Yes deletes them for good: they do not go to Undo Deleting.
// The pickers start from the dates the Time Report last used, which this dialog never changes.
// It ends with 1115 after a deletion, for the main window to sort and refill its list.
#include "app/app_context.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "app/startup.h"
#include "entry/record_format.h"
#include "entry/shared_ui.h"
#include "entry/text_checks.h"
#include "model/databases.h"
#include "platform/aygshell.h"
#include "platform/commctrl.h"
#include "platform/controls.h"
#include "platform/text.h"
#include "resources/strings.h"

namespace
{
enum : int {
    IDC_RANGE_GROUP = 1110,
    IDC_STARTS_LABEL = 1111,
    IDC_STARTS = 1112,
    IDC_ENDS_LABEL = 1113,
    IDC_ENDS = 1114,
    IDC_FIND_RECORDS = IDDELETED_RANGE,
    IDC_CANCEL = 1116,
};

struct Place {
    int id;
    int x, y, width, height;
};

// The narrow layout; the wide one is the same, WIDE_SHIFT pixels to the right.
const Place layout[] = {
    {IDC_RANGE_GROUP, 6, 35, 228, 70}, {IDC_STARTS_LABEL, 17, 55, 40, 18},
    {IDC_STARTS, 80, 53, 115, 20},     {IDC_ENDS_LABEL, 17, 78, 40, 18},
    {IDC_ENDS, 80, 76, 115, 20},       {IDC_FIND_RECORDS, 8, 115, 100, 21},
    {IDC_CANCEL, 131, 115, 100, 21},
};
const int WIDE_SHIFT = 20;

// The question's buffer, in characters.
const int QUESTION_MAX = 350;

int Shift()
{
    return UseWideLayout() ? WIDE_SHIFT : 0;
}

void ShowWarning(UINT textId)
{
    WCHAR text[QUESTION_MAX];
    if (LoadStringW(App.Instance, textId, text, QUESTION_MAX) <= 0)
        return;
    MessageBoxW(nullptr, text, App.Title, MB_OK | MB_ICONEXCLAMATION);
}

// Collects into RangeMatches a copy of every record dated within the range; false, the person
// told and the start picker focused, when the range is turned round or holds no record.
bool FindRange(HWND dialog)
{
    ResetRecordNode(App.RangeStartRecord);
    SetRecordDate(App.RangeStartRecord, PickerDate(dialog, IDC_STARTS));
    ResetRecordNode(App.RangeEndRecord);
    SetRecordDate(App.RangeEndRecord, PickerDate(dialog, IDC_ENDS));
    DWORD start = static_cast<DWORD>(App.RangeStartRecord->dateKey);
    DWORD end = static_cast<DWORD>(App.RangeEndRecord->dateKey);
    if (start > end) {
        ShowWarning(IDS_START_AFTER_END);
        SetFocus(GetDlgItem(dialog, IDC_STARTS));
        return false;
    }
    if (First(App.RangeMatches))
        Clear(App.RangeMatches);
    for (RecordNode* record = First(App.MainRecordList); record; record = record->next) {
        DWORD key = static_cast<DWORD>(record->dateKey);
        if (start <= key && key <= end)
            Append(App.RangeMatches, record);
    }
    if (Count(App.RangeMatches) == 0) {
        ShowWarning(IDS_NO_RECORDS_FOUND);
        SetFocus(GetDlgItem(dialog, IDC_STARTS));
        return false;
    }
    return true;
}

// "3 records will be deleted. Continue?": the count and the text as they stand, even for one.
bool DeletionConfirmed(DWORD count)
{
    WCHAR text[QUESTION_MAX];
    if (LoadStringW(App.Instance, IDS_RECORDS_WILL_BE_DELETED, text, QUESTION_MAX) <= 0)
        return false;
    WCHAR question[QUESTION_MAX + 16];
    wsprintfW(question, u"%d %s", static_cast<int>(count), text);
    question[QUESTION_MAX - 1] = 0;
    TrimSpaces(question, question);
    return MessageBoxW(nullptr, question, App.Title, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

void FindAndDeleteRange(HWND dialog)
{
    if (!FindRange(dialog) || !DeletionConfirmed(Count(App.RangeMatches)))
        return;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // All or none: either way the list is read again from what the store holds.
    DeleteRecords(App.RangeMatches);
    LoadRecords();
    SetCursor(nullptr);
    EndDialog(dialog, IDDELETED_RANGE);
}

INT_PTR OnInitDialog(HWND dialog)
{
    SHINITDLGINFO shell = {SHIDIM_FLAGS, dialog,
                           SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&shell);
    SetPickerDate(dialog, IDC_STARTS, App.SharedDateRange.start);
    SetPickerDate(dialog, IDC_ENDS, App.SharedDateRange.end);
    SetFocus(GetDlgItem(dialog, IDC_STARTS));
    return FALSE;
}

INT_PTR OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDOK:
    case IDC_CANCEL: EndDialog(dialog, IDC_CANCEL); return FALSE;
    case IDC_FIND_RECORDS: FindAndDeleteRange(dialog); return FALSE;
    default: return FALSE;
    }
}

INT_PTR OnNotify(const NMHDR* notification)
{
    bool picker = notification->idFrom == IDC_STARTS || notification->idFrom == IDC_ENDS;
    if (picker && notification->code == DTN_DROPDOWN)
        HideInputPanel();
    return FALSE;
}

INT_PTR OnSize(HWND dialog)
{
    int shift = Shift();
    for (const Place& p : layout)
        MoveWindow(GetDlgItem(dialog, p.id), p.x + shift, p.y, p.width, p.height, TRUE);
    return FALSE;
}

INT_PTR OnPaint(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    int shift = Shift();
    const POINT rule[] = {{1 + shift, 23}, {235 + shift, 23}};
    PaintDialogHeader(dc, IDS_HEADER_DELETE_BY_RANGE, 6 + shift, 4, rule);
    EndPaint(dialog, &paint);
    return TRUE;
}

INT_PTR OnActivate()
{
    HideInputPanel();
    return TRUE;
}
} // namespace

INT_PTR DeleteByRangeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE: return OnSize(dialog);
    case WM_PAINT: return OnPaint(dialog);
    case WM_ACTIVATE: return OnActivate();
    default: return FALSE;
    }
}
