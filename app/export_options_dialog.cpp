// Export File Options (dialogs 1070 and 1091): the name, the duration format, the encoding and
// the folder of a CSV export, and the export itself. The records dialog, opened by the main
// window, writes every time record; the report dialog, opened by the Time Report, writes the
// totals of its last All report. Otherwise the two are one dialog, told apart by the table each
// runs on: its controls' ids, the name it remembers and the file it writes.
//
// Every OK stores the three choices in the settings before it looks at the name, so they are
// kept after a refused name or a failed export too; Cancel stores nothing. A name that passes is
// trimmed and capitalised, remembered by its dialog until shutdown and offered at the next
// opening. The dialog ends with 1 after a written file and with its Cancel id when cancelled;
// a refused name or a failed export leaves it open with the name selected.
#include "app/app_context.h"
#include "app/dialogs.h"
#include "entry/shared_ui.h"
#include "entry/text_checks.h"
#include "entry/view_types.h"
#include "model/owned_text.h"
#include "platform/aygshell.h"
#include "platform/controls.h"
#include "platform/memory.h"
#include "platform/text.h"
#include "report/csv_export.h"
#include "resources/strings.h"

#include <iterator>

namespace
{
// The controls in template order, each id counted from the dialog's first.
enum : int {
    NAME_GROUP,
    NAME_LABEL,
    NAME_EDIT,
    TIME_TYPE_LABEL,
    TIME_TYPE_LIST,
    ENCODING_GROUP,
    ASCII_RADIO,
    UNICODE_RADIO,
    FOLDER_GROUP,
    BUSINESS_RADIO,
    PERSONAL_RADIO,
    CANCEL_BUTTON,
    OK_BUTTON,
};

typedef BOOL (*EXPORTWRITER)(LPCWSTR name, DWORD timeType, DWORD unicode, DWORD folder);

struct ExportDialog {
    int firstId;
    LPWSTR* rememberedName; // owned by App, released at shutdown
    EXPORTWRITER write;
};

const ExportDialog recordsDialog = {1071, &App.RecordsExportName, ExportRecordsFile};
const ExportDialog reportDialog = {1092, &App.ReportExportName, ExportReportFile};

// The longest name a person can type.
const int EXPORT_NAME_MAX = 15;

// Indexed by ExportTimeType.
const LPCWSTR timeTypeNames[] = {u"minutes", u"hours:minutes", u"hours only"};

// Both dialogs place their controls alike; the ids are offsets from the first. The duration
// list's height includes the part that drops down, room for its three entries below the box.
const ControlLayout layout[] = {
    {NAME_GROUP, {6, 5, 228, 45}, {6, 3, 195, 45}},
    {NAME_LABEL, {14, 25, 40, 18}, {13, 23, 35, 18}},
    {NAME_EDIT, {65, 22, 140, 20}, {60, 20, 130, 20}},
    {TIME_TYPE_LABEL, {13, 56, 70, 18}, {6, 54, 60, 18}},
    {TIME_TYPE_LIST, {90, 54, 140, 80}, {70, 52, 130, 80}},
    {ENCODING_GROUP, {6, 80, 110, 60}, {204, 3, 110, 50}},
    {ASCII_RADIO, {15, 95, 80, 18}, {214, 17, 80, 16}},
    {UNICODE_RADIO, {15, 115, 80, 18}, {214, 34, 80, 16}},
    {FOLDER_GROUP, {125, 80, 110, 60}, {204, 55, 110, 50}},
    {BUSINESS_RADIO, {135, 95, 77, 18}, {214, 70, 77, 16}},
    {PERSONAL_RADIO, {135, 115, 77, 18}, {214, 87, 77, 16}},
    {CANCEL_BUTTON, {8, 148, 80, 21}, {8, 77, 80, 21}},
    {OK_BUTTON, {153, 148, 80, 21}, {120, 77, 80, 21}},
};

HWND Item(HWND dialog, const ExportDialog& d, int control)
{
    return GetDlgItem(dialog, d.firstId + control);
}

LRESULT ToItem(HWND dialog, const ExportDialog& d, int control, UINT message, WPARAM wParam,
               LPARAM lParam)
{
    return SendMessageW(Item(dialog, d, control), message, wParam, lParam);
}

bool Checked(HWND dialog, const ExportDialog& d, int control)
{
    return ToItem(dialog, d, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Checks `on` and clears `off`, the other radio button of its group.
void CheckOneOf(HWND dialog, const ExportDialog& d, int on, int off)
{
    ToItem(dialog, d, on, BM_SETCHECK, BST_CHECKED, 0);
    ToItem(dialog, d, off, BM_SETCHECK, BST_UNCHECKED, 0);
}

void ShowMessage(LPCWSTR text)
{
    MessageBoxW(nullptr, text, App.Title, MB_OK | MB_ICONEXCLAMATION);
}

// The name back in the person's hands: focused, all selected, the input panel up.
INT_PTR RetryName(HWND dialog, const ExportDialog& d)
{
    HWND edit = Item(dialog, d, NAME_EDIT);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    ShowInputPanel();
    return TRUE;
}

INT_PTR Close(HWND dialog, INT_PTR result)
{
    App.ActiveDialog = nullptr;
    EndDialog(dialog, result);
    return TRUE;
}

// A value outside the list selects nothing.
void FillTimeTypes(HWND dialog, const ExportDialog& d)
{
    for (LPCWSTR name : timeTypeNames)
        ToItem(dialog, d, TIME_TYPE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    DWORD stored = App.Settings->TimeTypeExport;
    WPARAM index = stored < std::size(timeTypeNames) ? stored : static_cast<WPARAM>(-1);
    ToItem(dialog, d, TIME_TYPE_LIST, CB_SETCURSEL, index, 0);
}

INT_PTR OnInitDialog(HWND dialog, const ExportDialog& d)
{
    App.ActiveDialog = dialog;
    SHINITDLGINFO shell = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&shell);
    FillTimeTypes(dialog, d);
    ToItem(dialog, d, NAME_EDIT, EM_LIMITTEXT, EXPORT_NAME_MAX, 0);
    if (!IsMissingOrEmpty(*d.rememberedName))
        ToItem(dialog, d, NAME_EDIT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(*d.rememberedName));
    if (App.Settings->ExportFileType == 1)
        CheckOneOf(dialog, d, UNICODE_RADIO, ASCII_RADIO);
    else
        CheckOneOf(dialog, d, ASCII_RADIO, UNICODE_RADIO);
    if (App.Settings->ExportFileFolder == 0)
        CheckOneOf(dialog, d, BUSINESS_RADIO, PERSONAL_RADIO);
    else
        CheckOneOf(dialog, d, PERSONAL_RADIO, BUSINESS_RADIO);
    SetFocus(Item(dialog, d, NAME_EDIT));
    ShowInputPanel();
    return FALSE;
}

// No selection stores hours and minutes, the default.
void StoreChoices(HWND dialog, const ExportDialog& d)
{
    bool unicode = Checked(dialog, d, UNICODE_RADIO) && !Checked(dialog, d, ASCII_RADIO);
    App.Settings->ExportFileType = unicode ? 1 : 0;
    App.Settings->ExportFileFolder = Checked(dialog, d, BUSINESS_RADIO) ? 0 : 1;
    LRESULT index = ToItem(dialog, d, TIME_TYPE_LIST, CB_GETCURSEL, 0, 0);
    bool listed = index >= 0 && static_cast<size_t>(index) < std::size(timeTypeNames);
    App.Settings->TimeTypeExport = listed ? static_cast<DWORD>(index) : DEFAULT_EXPORT_TIME;
}

// The name field's first line, whole, in a block of its own (LocalFree); null when the line is
// empty or there is no memory for it.
LPWSTR ReadName(HWND dialog, const ExportDialog& d)
{
    LRESULT length = ToItem(dialog, d, NAME_EDIT, EM_LINELENGTH, 0, 0);
    if (length <= 0 || length >= 0xFFFF)
        return nullptr;
    size_t size = static_cast<size_t>(length) + 1;
    auto name = static_cast<LPWSTR>(LocalAlloc(LPTR, size * sizeof(WCHAR)));
    if (!name)
        return nullptr;
    name[0] = static_cast<WCHAR>(size);
    LRESULT read = ToItem(dialog, d, NAME_EDIT, EM_GETLINE, 0, reinterpret_cast<LPARAM>(name));
    name[read > 0 && read < static_cast<LRESULT>(size) ? read : 0] = 0;
    return name;
}

// The first character upper case, the rest lower case, in place.
void Capitalize(LPWSTR name)
{
    WCHAR first[2] = {name[0], 0};
    CharUpperW(first);
    CharLowerW(name);
    name[0] = first[0];
}

void ShowNameRule()
{
    WCHAR text[IDENTITY_TEXT_MAX];
    if (LoadStringW(App.Instance, IDS_EXPORT_NAME_RULE, text, IDENTITY_TEXT_MAX) > 0)
        ShowMessage(text);
}

// The writer shows its own message when it fails; the dialog then stays open.
INT_PTR OnOk(HWND dialog, const ExportDialog& d)
{
    HideInputPanel();
    StoreChoices(dialog, d);
    LPWSTR name = ReadName(dialog, d);
    if (!name)
        return RetryName(dialog, d);
    TrimSpaces(name, name);
    if (!IsAlphanumericOrSpace(name)) {
        LocalFree(name);
        ShowNameRule();
        return RetryName(dialog, d);
    }
    Capitalize(name);
    TrimSpaces(name, name);
    ReleaseText(d.rememberedName);
    *d.rememberedName = name;

    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    BOOL written = d.write(name, App.Settings->TimeTypeExport, App.Settings->ExportFileType,
                           App.Settings->ExportFileFolder);
    SetCursor(nullptr);
    if (!written)
        return RetryName(dialog, d);
    ShowMessage(u"OK !");
    return Close(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, const ExportDialog& d, WORD id, WORD code)
{
    switch (id - d.firstId) {
    case OK_BUTTON: return OnOk(dialog, d);
    case CANCEL_BUTTON: return Close(dialog, d.firstId + CANCEL_BUTTON);
    case TIME_TYPE_LIST:
        if (code == CBN_DROPDOWN)
            HideInputPanel();
        else if (code == CBN_CLOSEUP)
            ShowInputPanel();
        return FALSE;
    case NAME_EDIT:
        if (code == EN_SETFOCUS)
            ShowInputPanel();
        return FALSE;
    default: break;
    }
    switch (id) {
    case IDOK: return OnOk(dialog, d);
    case IDCANCEL: return Close(dialog, d.firstId + CANCEL_BUTTON);
    default: return FALSE;
    }
}

INT_PTR OnSize(HWND dialog, const ExportDialog& d)
{
    ControlLayout placed[std::size(layout)];
    for (size_t i = 0; i < std::size(layout); ++i) {
        placed[i] = layout[i];
        placed[i].id += d.firstId;
    }
    PlaceControls(dialog, placed);
    return FALSE;
}

// The main window passes its activation on; the dialog leaves the input panel where it is.
INT_PTR OnActivate()
{
    return FALSE;
}

INT_PTR ExportOptionsMessage(const ExportDialog& d, HWND dialog, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, d);
    case WM_COMMAND: return OnCommand(dialog, d, LOWORD(wParam), HIWORD(wParam));
    case WM_SIZE: return OnSize(dialog, d);
    case WM_ACTIVATE: return OnActivate();
    default: return FALSE;
    }
}
} // namespace

INT_PTR ExportRecordsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return ExportOptionsMessage(recordsDialog, dialog, message, wParam);
}

INT_PTR ExportReportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return ExportOptionsMessage(reportDialog, dialog, message, wParam);
}
