#include "app/record_list_view.h"

#include "app/app_context.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "app/main_window.h"
#include "model/databases.h"
#include "model/sorting.h"
#include "platform/commctrl.h"
#include "platform/text.h"
#include "resources/strings.h"

namespace
{
struct ColumnLayout {
    UINT caption;
    int narrowWidth;
    int wideWidth;
};

const ColumnLayout columns[] = {
    {IDS_COLUMN_DATE, 88, 110},
    {IDS_COLUMN_CATEGORY, 90, 110},
    {IDS_COLUMN_TIME, 55, 93},
};

// Commands that need at least one record.
const UINT recordButtons[] = {IDB_TIME_REPORT, IDB_EXPORT};

const int dateTextMax = 70;

// The list starts under the navigation bar and leaves the menu bar's rows free.
const int LIST_TOP = 27;
const int LIST_HEIGHT_INSET = 26;

// A memo shows its picture when trimming its spaces leaves something. Read in place: the list is
// filled with every record's row, and a copy of each memo would cost more than the looking.
int RowImage(const RecordNode* record)
{
    if (!record->memo)
        return IMAGE_NO_MEMO;
    for (LPCWSTR c = record->memo; *c; ++c) {
        if (*c != u' ')
            return IMAGE_MEMO;
    }
    return IMAGE_NO_MEMO;
}

// Filling follows the list, which after a sort is in no order in memory: the rows a few on are
// fetched ahead, each node before its texts, so that no row waits for them.
const int ROWS_AHEAD = 4;

void FetchAhead(RecordNode* const* rows, int row, int count, DWORD dateView, DWORD timeView)
{
    if (row + 2 * ROWS_AHEAD < count) {
        const RecordNode* node = rows[row + 2 * ROWS_AHEAD];
        __builtin_prefetch(node);
        __builtin_prefetch(reinterpret_cast<const char*>(node) + sizeof(RecordNode) - 1);
    }
    if (row + ROWS_AHEAD >= count)
        return;
    const RecordNode* lead = rows[row + ROWS_AHEAD];
    const LPCWSTR texts[] = {DateText(lead, dateView), DurationText(lead, timeView), lead->category,
                             lead->memo};
    for (LPCWSTR text : texts) {
        if (text)
            __builtin_prefetch(text);
    }
}

// The Time cell of a single row, from the minutes text; false when the duration cannot be
// written as hours of 0 to 24 and minutes of 0 to 59.
bool RowDurationText(const RecordNode* record, WCHAR (&text)[32])
{
    bool colon = App.Settings && App.Settings->TimeTypeView == 1;
    // No duration and zero read as the whole list writes them: "0:0". A person cannot enter
    // zero, but a record stored elsewhere and then restored or edited may hold it.
    int minutes = record->minutesText ? _wtoi(record->minutesText) : 0;
    if (minutes == 0) {
        wsprintfW(text, colon ? u"0:0" : u"0,0");
        return true;
    }
    int hours = minutes / 60;
    int rest = minutes - 60 * hours;
    if (rest < 0 || rest > 59 || hours < 0 || hours > 24)
        return false;
    wsprintfW(text, colon ? u"%d:%02d" : u"%d,%02d", hours, rest);
    return true;
}

LPWSTR Writable(LPCWSTR text)
{
    return const_cast<LPWSTR>(text ? text : u"");
}

bool SetRow(HWND listView, UINT message, int row, const RecordNode* record)
{
    DWORD dateView = App.Settings ? App.Settings->DateTypeView : 0;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = Writable(DateText(record, dateView));
    item.cchTextMax = dateTextMax;
    item.iImage = RowImage(record);
    LRESULT result = SendMessageW(listView, message, 0, reinterpret_cast<LPARAM>(&item));
    return message == LVM_INSERTITEMW ? result != -1 : result != 0;
}

void SetCell(HWND listView, int row, int column, LPCWSTR text)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = Writable(text);
    SendMessageW(listView, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

// Scrolls down by `rows` rows, measured on row 0.
void ScrollRows(HWND listView, int rows)
{
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    if (SendMessageW(listView, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds)))
        SendMessageW(listView, LVM_SCROLL, 0, (bounds.bottom - bounds.top) * rows);
}

int HeaderImage(HWND listView)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_IMAGE;
    SendMessageW(listView, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    return column.iImage;
}

void OnColumnClick(HWND listView, const NMLISTVIEW* click)
{
    if (click->iSubItem != 0)
        return;
    int image = HeaderImage(listView);
    switch (image) {
    case IMAGE_ASCENDING:
        image = IMAGE_DESCENDING;
        App.SortOrder = 1;
        break;
    case IMAGE_DESCENDING:
        image = IMAGE_ASCENDING;
        App.SortOrder = 0;
        break;
    case IMAGE_NO_ORDER:
        if (App.OrderApplied) {
            image = static_cast<int>(App.SortOrder);
        } else {
            App.SortOrder = 0;
            image = IMAGE_ASCENDING;
        }
        App.Sort = 0;
        break;
    default: break;
    }
    SetHeaderImage(listView, image);
    if (First(App.MainRecordList)) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        if (SortRecords()) {
            FillRecordListView(listView);
            App.OrderApplied = TRUE;
        }
        SetCursor(nullptr);
    }
}
} // namespace

void SetHeaderImage(HWND listView, int image)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_IMAGE;
    column.iImage = image;
    SendMessageW(listView, LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

HWND CreateRecordListView(HWND mainWindow, bool wide)
{
    InitCommonControls();
    RECT client;
    GetClientRect(mainWindow, &client);
    HWND listView = CreateWindowExW(
        0, WC_LISTVIEWW, u"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL, 0, LIST_TOP,
        client.right - client.left, client.bottom - client.top - LIST_HEIGHT_INSET, mainWindow,
        reinterpret_cast<HMENU>(static_cast<uintptr_t>(IDC_RECORD_LIST)), App.Instance, nullptr);
    if (!listView)
        return nullptr;
    App.ListImages = ImageList_Create(16, 16, ILC_COLORDDB, 5, 0);
    HBITMAP pictures = LoadBitmapW(App.Instance, MAKEINTRESOURCEW(IDB_LIST_IMAGES));
    ImageList_Add(App.ListImages, pictures, pictures);
    DeleteObject(pictures);
    SendMessageW(listView, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(App.ListImages));

    for (int i = 0; i < 3; ++i) {
        WCHAR caption[IDENTITY_TEXT_MAX] = {};
        LoadStringW(App.Instance, columns[i].caption, caption, IDENTITY_TEXT_MAX);
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = wide ? columns[i].wideWidth : columns[i].narrowWidth;
        column.pszText = caption;
        column.iSubItem = i;
        if (static_cast<DWORD>(i) == App.Sort) {
            column.mask |= LVCF_IMAGE;
            column.fmt |= LVCFMT_IMAGE;
            column.iImage = static_cast<int>(App.SortOrder);
        }
        if (SendMessageW(listView, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&column)) == -1)
            return nullptr;
    }
    return listView;
}

void FillRecordListView(HWND listView)
{
    SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
    if (!First(App.MainRecordList)) {
        UpdateRecordCommands(listView);
        return;
    }
    DWORD timeView = App.Settings ? App.Settings->TimeTypeView : 1;
    DWORD dateView = App.Settings ? App.Settings->DateTypeView : 0;
    int row = 0;
    RecordNode* const* rows = Rows(App.MainRecordList);
    int total = static_cast<int>(Count(App.MainRecordList));
    for (RecordNode* record = First(App.MainRecordList); record; record = record->next, ++row) {
        if (rows)
            FetchAhead(rows, row, total, dateView, timeView);
        if (!SetRow(listView, LVM_INSERTITEMW, row, record))
            return;
        SetCell(listView, row, 1, record->category);
        SetCell(listView, row, 2, DurationText(record, timeView));
    }
    int count = RowCount(listView);
    if (count == 0)
        return;
    UpdateRecordCommands(listView);
    if (App.SortOrder != 1)
        ScrollRows(listView, count);
}

void AppendRecordRow(HWND listView, const RecordNode* record)
{
    int row = RowCount(listView);
    if (!SetRow(listView, LVM_INSERTITEMW, row, record))
        return;
    SetCell(listView, row, 1, record->category);
    WCHAR duration[32];
    if (!RowDurationText(record, duration))
        return;
    SetCell(listView, row, 2, duration);
    ScrollRows(listView, row);
}

void UpdateRecordRow(HWND listView, int row, const RecordNode* record)
{
    if (!SetRow(listView, LVM_SETITEMW, row, record))
        return;
    SetCell(listView, row, 1, record->category);
    WCHAR duration[32];
    if (RowDurationText(record, duration))
        SetCell(listView, row, 2, duration);
}

void UpdateRecordCommands(HWND listView)
{
    bool any = RowCount(listView) > 0;
    for (UINT button : recordButtons)
        SendMessageW(App.MenuBar, TB_SETSTATE, button,
                     MAKELONG(any ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE, 0));
    UINT state = MF_BYCOMMAND | (any ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(App.TimeMenu, IDM_TIME_REPORT, state);
    EnableMenuItem(App.ToolsMenu, IDM_EXPORT, state);
    EnableMenuItem(App.ToolsMenu, IDM_DELETE_BY_RANGE, state);
}

int RowCount(HWND listView)
{
    return static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
}

int SelectedRow(HWND listView)
{
    return static_cast<int>(
        SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectRow(HWND listView, int row)
{
    LVITEMW item = {};
    item.stateMask = 15;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

void HandleRecordListNotify(HWND mainWindow, const NMHDR* notification)
{
    switch (notification->code) {
    case LVN_COLUMNCLICK:
        OnColumnClick(App.RecordListView, reinterpret_cast<const NMLISTVIEW*>(notification));
        break;
    case NM_CLICK:
    case NM_RETURN: EditSelectedRecord(mainWindow); break;
    default: break;
    }
}

void EditSelectedRecord(HWND)
{
    App.SavedSelection = SelectedRow(App.RecordListView);
    ResetRecordNode(App.ScratchRecord);
    RecordNode* record = App.SavedSelection < 0
                             ? nullptr
                             : FindAt(App.MainRecordList, static_cast<DWORD>(App.SavedSelection));
    if (!record)
        return;
    CopyRecord(App.ScratchRecord, record);
    App.EditMode = TRUE;
    if (RunDialog(IDD_REGISTER_TIME, RegisterTimeDialog) == IDOK_REGISTER_TIME) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        // The list shows what the store holds: an edit the store refused (and reported) is not
        // shown as if it had been kept.
        if (UpdateRecord(App.ScratchRecord)) {
            ReplaceAt(App.MainRecordList, static_cast<DWORD>(App.SavedSelection),
                      App.ScratchRecord);
            UpdateRecordRow(App.RecordListView, App.SavedSelection, App.ScratchRecord);
        }
        SetCursor(nullptr);
    }
    SetFocus(App.RecordListView);
    if (App.SavedSelection != -1)
        SelectRow(App.RecordListView, App.SavedSelection);
    App.EditMode = FALSE;
}
