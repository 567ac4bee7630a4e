// Register Time (dialog 108): enters a new time record, or changes or deletes the one being
// edited. It works on ScratchRecord; the caller stores what OK leaves there. Delete removes the
// record everywhere itself and keeps a copy for Undo Deleting.
#include "app/app_context.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/record_list_view.h"
#include "app/startup.h"
#include "entry/record_format.h"
#include "entry/shared_ui.h"
#include "entry/text_checks.h"
#include "model/databases.h"
#include "platform/aygshell.h"
#include "platform/commctrl.h"
#include "platform/controls.h"
#include "platform/memory.h"
#include "platform/text.h"
#include "resources/strings.h"

#include <iterator>

namespace
{
enum : int {
    IDC_DATE_LABEL = 1003,
    IDC_TIME_LABEL = 1004,
    IDC_CATEGORY_LABEL = 1005,
    IDC_MEMO_LABEL = 1006,
    IDC_DATE = 1007,
    IDC_HOURS = 1008,
    IDC_MINUTES = 1009,
    IDC_CATEGORY = 1010,
    IDC_MEMO = 1011,
    IDC_DELETE = 1012,
    IDC_CANCEL = 1013,
    IDC_OK = 1014,
};

const int MEMO_MAX = 29;

const ControlLayout layout[] = {
    {IDC_DATE_LABEL, {4, 35, 35, 16}, {4, 5, 35, 16}},
    {IDC_TIME_LABEL, {4, 61, 71, 16}, {4, 29, 71, 16}},
    {IDC_CATEGORY_LABEL, {4, 91, 60, 16}, {4, 56, 60, 16}},
    {IDC_MEMO_LABEL, {4, 120, 40, 16}, {4, 84, 40, 16}},
    {IDC_DATE, {75, 32, 95, 22}, {75, 2, 95, 22}},
    {IDC_HOURS, {75, 60, 45, 110}, {75, 28, 45, 110}},
    {IDC_MINUTES, {125, 60, 45, 110}, {125, 28, 45, 110}},
    {IDC_CATEGORY, {75, 90, 158, 110}, {75, 55, 158, 110}},
    {IDC_MEMO, {75, 115, 158, 22}, {75, 80, 158, 21}},
    {IDC_DELETE, {175, 32, 57, 48}, {250, 2, 65, 24}},
    {IDC_CANCEL, {5, 150, 70, 24}, {250, 39, 65, 24}},
    {IDC_OK, {163, 150, 70, 24}, {250, 77, 65, 24}},
};

const LPCWSTR minuteTexts[] = {u"00", u"10", u"20", u"30", u"40", u"50"};

LRESULT ToControl(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageW(dialog, id, message, wParam, lParam);
}

void SelectText(HWND dialog, int id, LPCWSTR text)
{
    ToControl(dialog, id, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
}

// Shows the record's own category. The list's select-string operation picks the first name
// that merely starts with the text ("Job2" for "Job"), so an exact entry is looked for first.
void SelectCategory(HWND dialog, LPCWSTR category)
{
    if (!category || !category[0])
        return;
    LRESULT exact = ToControl(dialog, IDC_CATEGORY, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(category));
    if (exact != CB_ERR)
        ToControl(dialog, IDC_CATEGORY, CB_SETCURSEL, static_cast<WPARAM>(exact), 0);
    else
        ToControl(dialog, IDC_CATEGORY, CB_SELECTSTRING, 0, reinterpret_cast<LPARAM>(category));
}

void FillLists(HWND dialog)
{
    for (CategoryNode* c = First(App.MainCategoryList); c; c = c->next)
        ToControl(dialog, IDC_CATEGORY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c->name));
    SelectCategory(dialog, App.ScratchRecord->category);
    WCHAR hour[8];
    for (int h = 0; h < 24; ++h) {
        wsprintfW(hour, h < 10 ? u"0%d" : u"%d", h);
        ToControl(dialog, IDC_HOURS, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(hour));
    }
    for (LPCWSTR minutes : minuteTexts)
        ToControl(dialog, IDC_MINUTES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(minutes));
}

void LoadMemo(HWND dialog)
{
    ToControl(dialog, IDC_MEMO, EM_LIMITTEXT, MEMO_MAX, 0);
    LPCWSTR memo = App.ScratchRecord->memo ? App.ScratchRecord->memo : u"";
    ToControl(dialog, IDC_MEMO, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(memo));
}

void FocusControl(HWND dialog, int id)
{
    SetFocus(GetDlgItem(dialog, id));
}

// A stored duration the lists cannot show: the user is told, and in edit mode Enter is made to
// start the deletion. The memo is loaded too, so that OK keeps it.
void OnInvalidDuration(HWND dialog)
{
    WCHAR text[IDENTITY_TEXT_MAX];
    LoadStringW(App.Instance, IDS_WRONG_TIME_FORMAT, text, IDENTITY_TEXT_MAX);
    MessageBoxW(nullptr, text, App.Title, MB_OK | MB_ICONEXCLAMATION);
    SelectText(dialog, IDC_HOURS, u"00");
    SelectText(dialog, IDC_MINUTES, u"00");
    LoadMemo(dialog);
    if (!App.EditMode)
        return;
    FocusControl(dialog, IDC_MINUTES);
    ShowWindow(GetDlgItem(dialog, IDC_DELETE), SW_SHOW);
    ToControl(dialog, IDC_CANCEL, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    ToControl(dialog, IDC_OK, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageW(dialog, DM_SETDEFID, IDC_DELETE, 0);
    ToControl(dialog, IDC_DELETE, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

// Selects the stored duration in the two lists; false when it cannot be shown.
bool ShowDuration(HWND dialog)
{
    if (!App.ScratchRecord->minutesText) {
        SelectText(dialog, IDC_HOURS, u"00");
        SelectText(dialog, IDC_MINUTES, u"00");
        return true;
    }
    int total = _wtoi(App.ScratchRecord->minutesText);
    int minutes = total % 60;
    int hours = (total - minutes) / 60;
    if (minutes >= 60 || hours > 24)
        return false;
    WCHAR text[8];
    wsprintfW(text, hours < 10 ? u"0%d" : u"%d", hours);
    SelectText(dialog, IDC_HOURS, text);
    wsprintfW(text, minutes < 10 ? u"0%d" : u"%d", minutes);
    SelectText(dialog, IDC_MINUTES, text);
    return true;
}

INT_PTR OnInitDialog(HWND dialog)
{
    App.ActiveDialog = dialog;
    SHINITDLGINFO shell = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&shell);
    SYSTEMTIME date = App.ScratchRecord->date;
    ToControl(dialog, IDC_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
    FillLists(dialog);
    if (!ShowDuration(dialog)) {
        OnInvalidDuration(dialog);
        return FALSE;
    }
    LoadMemo(dialog);
    if (App.EditMode)
        ShowWindow(GetDlgItem(dialog, IDC_DELETE), SW_SHOW);
    FocusControl(dialog, IDC_MINUTES);
    HideInputPanel();
    return FALSE;
}

// A refused OK: a beep and the focus on what must change; the dialog stays open, silent.
INT_PTR Refuse(HWND dialog, int id)
{
    MessageBeep(0xFFFFFFFF);
    FocusControl(dialog, id);
    return TRUE;
}

// Reads a list's text cut to `max` characters and trimmed; 0 when it is empty.
int ListText(HWND dialog, int id, LPWSTR text, int max)
{
    if (GetWindowTextW(GetDlgItem(dialog, id), text, max + 1) == 0)
        return -1;
    return TrimSpaces(text, text);
}

// The chosen category whole and as it is, in a block of its own; null when none is chosen. The
// list holds only names of the category list, and a stored name may be longer than a person can
// type or begin with blanks: cut or trimmed it would name no category.
LPWSTR ChosenCategory(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_CATEGORY);
    int length = GetWindowTextLengthW(list);
    if (length <= 0)
        return nullptr;
    auto category = static_cast<LPWSTR>(LocalAlloc(LPTR, (length + 1) * sizeof(WCHAR)));
    if (category && GetWindowTextW(list, category, length + 1) == 0) {
        LocalFree(category);
        return nullptr;
    }
    return category;
}

INT_PTR OnOk(HWND dialog)
{
    SYSTEMTIME date = {};
    if (ToControl(dialog, IDC_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) !=
        GDT_VALID)
        GetLocalTime(&date);
    SetRecordDate(App.ScratchRecord, date);
    App.LastEntryDate = date;

    WCHAR hours[3], minutes[3];
    if (ListText(dialog, IDC_HOURS, hours, 2) < 0)
        return Refuse(dialog, IDC_HOURS);
    if (ListText(dialog, IDC_MINUTES, minutes, 2) < 0)
        return Refuse(dialog, IDC_MINUTES);
    if (wcscmp(hours, u"00") == 0 && wcscmp(minutes, u"00") == 0)
        return Refuse(dialog, IDC_MINUTES);
    int total = _wtoi(hours) * 60 + _wtoi(minutes);
    if (total < 0 || total > MAX_RECORD_MINUTES)
        return Refuse(dialog, IDC_MINUTES);
    WCHAR totalText[16];
    wsprintfW(totalText, u"%d", total);
    SetRecordMinutes(App.ScratchRecord, totalText);

    LPWSTR category = ChosenCategory(dialog);
    if (!category)
        return Refuse(dialog, IDC_CATEGORY);
    SetRecordCategory(App.ScratchRecord, category);
    LocalFree(category);

    // The whole line: a stored memo may be longer than a person can type, and is kept whole.
    LRESULT lineLength = ToControl(dialog, IDC_MEMO, EM_LINELENGTH, 0, 0);
    DWORD size = static_cast<DWORD>(lineLength > 0 ? lineLength : 0) + 2;
    auto memo = static_cast<LPWSTR>(LocalAlloc(LPTR, size * sizeof(WCHAR)));
    if (!memo)
        return Refuse(dialog, IDC_MEMO);
    memo[0] = static_cast<WCHAR>(size - 1 > 0xFFFF ? 0xFFFF : size - 1);
    LRESULT length = ToControl(dialog, IDC_MEMO, EM_GETLINE, 0, reinterpret_cast<LPARAM>(memo));
    memo[length > 0 && length < static_cast<LRESULT>(size) ? length : 0] = 0;
    TrimSpaces(memo, memo);
    SetRecordMemo(App.ScratchRecord, memo);
    LocalFree(memo);

    App.ActiveDialog = nullptr;
    EndDialog(dialog, IDOK_REGISTER_TIME);
    return TRUE;
}

// Deletes the record being edited. The store is asked first: a record it could not delete stays
// in the list and out of the undo store, so that it can never be restored twice.
INT_PTR OnDelete(HWND dialog)
{
    WCHAR question[IDENTITY_TEXT_MAX];
    LoadStringW(App.Instance, IDS_DELETE_RECORD_QUESTION, question, IDENTITY_TEXT_MAX);
    HideInputPanel();
    if (MessageBoxW(nullptr, question, App.Title, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
        FocusControl(dialog, IDC_MINUTES);
        return TRUE;
    }
    if (App.SavedSelection == -1)
        return TRUE;
    DWORD row = static_cast<DWORD>(App.SavedSelection);
    RecordNode* stored = FindAt(App.MainRecordList, row);
    if (!stored)
        return TRUE;
    ResetRecordNode(App.ScratchRecord);
    CopyRecord(App.ScratchRecord, stored);
    if (!UndoHasRoomOrUserAgrees())
        return TRUE;
    if (!DeleteRecord(stored)) {
        FocusControl(dialog, IDC_MINUTES);
        return TRUE;
    }
    KeepDeletedRecord(App.ScratchRecord);
    RemoveAt(App.MainRecordList, row);
    SendMessageW(App.RecordListView, LVM_DELETEITEM, row, 0);
    UpdateRecordCommands(App.RecordListView);
    App.ActiveDialog = nullptr;
    EndDialog(dialog, IDDELETED_REGISTER_TIME);
    return TRUE;
}

INT_PTR OnCancel(HWND dialog)
{
    App.ActiveDialog = nullptr;
    ResetRecordNode(App.ScratchRecord);
    EndDialog(dialog, IDCANCEL_REGISTER_TIME);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    case IDOK:
    case IDC_OK: return OnOk(dialog);
    case IDC_DELETE: return App.EditMode ? OnDelete(dialog) : FALSE;
    case IDCANCEL:
    case IDC_CANCEL: return OnCancel(dialog);
    case IDC_HOURS:
    case IDC_MINUTES:
    case IDC_CATEGORY:
        if (code == CBN_DROPDOWN)
            HideInputPanel();
        return FALSE;
    case IDC_MEMO:
        if (code == EN_SETFOCUS)
            ShowInputPanel();
        return FALSE;
    default: return FALSE;
    }
}

INT_PTR OnNotify(const NMHDR* notification)
{
    if (notification->idFrom == IDC_DATE && notification->code == DTN_DROPDOWN)
        HideInputPanel();
    return FALSE;
}

INT_PTR OnSize(HWND dialog)
{
    PlaceControls(dialog, layout);
    return FALSE;
}

// The narrow layout has room for a header: the dialog's name in blue, underlined by a rule.
INT_PTR OnPaint(HWND dialog)
{
    return PaintNarrowHeader(dialog, IDS_HEADER_TIME_RECORD, 90);
}
} // namespace

INT_PTR RegisterTimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE: return OnSize(dialog);
    case WM_PAINT: return OnPaint(dialog);
    default: return FALSE;
    }
}
