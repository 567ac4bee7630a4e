// View Options (dialog 1120): how dates and durations read. The two lists hold the labels of
// DateViewType and TimeViewType in value order, so an entry's index is its value; each shows a
// fixed sample of its choice. OK, or the navigation bar's ok, stores both choices in the
// settings; Cancel leaves them. The caller re-sorts and refills the record list after OK.
#include "app/app_context.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "app/startup.h"
#include "entry/shared_ui.h"
#include "entry/view_types.h"
#include "platform/aygshell.h"
#include "platform/controls.h"
#include "resources/strings.h"

#include <iterator>

namespace
{
enum : int {
    IDC_DATE_GROUP = 1121,
    IDC_DATE_LIST = 1122,
    IDC_DATE_SAMPLE_LABEL = 1123,
    IDC_DATE_SAMPLE = 1124,
    IDC_TIME_GROUP = 1125,
    IDC_TIME_LIST = 1126,
    IDC_TIME_SAMPLE_LABEL = 1127,
    IDC_TIME_SAMPLE = 1128,
    IDC_CANCEL = 1129,
    IDC_OK = 1130,
};

struct ViewChoice {
    LPCWSTR label;
    LPCWSTR sample; // fixed, with a two-digit year; never produced by the formatting routines
};

// Indexed by DateViewType.
const ViewChoice dateChoices[] = {
    {u"dd - mm - yyyy", u"29-10-05"},
    {u"dd / mm / yyyy", u"29/10/05"},
    {u"mm - dd - yyyy", u"10-29-05"},
    {u"mm / dd / yyyy", u"10/29/05"},
};

// Indexed by TimeViewType. The labels begin with a space.
const ViewChoice timeChoices[] = {
    {u" , (comma)", u"13,30"},
    {u" : (colon)", u"13:30"},
};

// A list of choices, with the sample beside it.
struct ChoiceList {
    int list;
    int sample;
    const ViewChoice* choices;
    size_t count;
};

const ChoiceList dateList = {IDC_DATE_LIST, IDC_DATE_SAMPLE, dateChoices, std::size(dateChoices)};
const ChoiceList timeList = {IDC_TIME_LIST, IDC_TIME_SAMPLE, timeChoices, std::size(timeChoices)};

const ControlLayout layout[] = {
    {IDC_DATE_GROUP, {6, 28, 228, 69}, {6, 10, 180, 69}},
    {IDC_DATE_LIST, {18, 47, 156, 140}, {18, 29, 156, 140}},
    {IDC_DATE_SAMPLE_LABEL, {18, 73, 65, 18}, {18, 55, 65, 18}},
    {IDC_DATE_SAMPLE, {94, 71, 80, 18}, {94, 53, 80, 18}},
    {IDC_TIME_GROUP, {6, 101, 228, 69}, {6, 83, 180, 69}},
    {IDC_TIME_LIST, {18, 120, 156, 140}, {18, 102, 156, 140}},
    {IDC_TIME_SAMPLE_LABEL, {18, 145, 65, 18}, {18, 127, 65, 18}},
    {IDC_TIME_SAMPLE, {94, 145, 80, 18}, {94, 127, 80, 18}},
    {IDC_CANCEL, {7, 175, 80, 21}, {192, 18, 80, 21}},
    {IDC_OK, {153, 175, 80, 21}, {192, 57, 80, 21}},
};

LRESULT ToControl(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageW(dialog, id, message, wParam, lParam);
}

// The list's selected index, or CB_ERR when nothing is selected.
LRESULT Selected(HWND dialog, const ChoiceList& list)
{
    LRESULT index = ToControl(dialog, list.list, CB_GETCURSEL, 0, 0);
    return index >= 0 && static_cast<size_t>(index) < list.count ? index : CB_ERR;
}

void ShowSample(HWND dialog, const ChoiceList& list, size_t index)
{
    ToControl(dialog, list.sample, WM_SETTEXT, 0,
              reinterpret_cast<LPARAM>(list.choices[index].sample));
}

// Fills the list in value order and shows the stored choice with its sample.
void FillList(HWND dialog, const ChoiceList& list, DWORD stored)
{
    for (size_t i = 0; i < list.count; ++i)
        ToControl(dialog, list.list, CB_ADDSTRING, 0,
                  reinterpret_cast<LPARAM>(list.choices[i].label));
    size_t index = stored < list.count ? stored : 0;
    ToControl(dialog, list.list, CB_SETCURSEL, index, 0);
    ShowSample(dialog, list, index);
}

INT_PTR OnInitDialog(HWND dialog)
{
    App.ActiveDialog = dialog;
    SHINITDLGINFO shell = {SHIDIM_FLAGS, dialog,
                           SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&shell);
    FillList(dialog, dateList, App.Settings->DateTypeView);
    FillList(dialog, timeList, App.Settings->TimeTypeView);
    return TRUE;
}

// A new choice shows its sample at once; nothing is stored until OK.
INT_PTR OnSelectionChange(HWND dialog, const ChoiceList& list)
{
    LRESULT index = Selected(dialog, list);
    if (index != CB_ERR)
        ShowSample(dialog, list, static_cast<size_t>(index));
    return TRUE;
}

INT_PTR OnListCommand(HWND dialog, const ChoiceList& list, WORD code)
{
    switch (code) {
    case CBN_DROPDOWN: HideInputPanel(); return TRUE;
    case CBN_SELCHANGE: return OnSelectionChange(dialog, list);
    default: return FALSE;
    }
}

INT_PTR Close(HWND dialog, INT_PTR result)
{
    App.ActiveDialog = nullptr;
    EndDialog(dialog, result);
    return TRUE;
}

// A list without a selection stores 0 (DayMonthYearDash, CommaSeparated).
INT_PTR OnOk(HWND dialog)
{
    LRESULT date = Selected(dialog, dateList);
    LRESULT time = Selected(dialog, timeList);
    App.Settings->DateTypeView = date == CB_ERR ? DayMonthYearDash : static_cast<DWORD>(date);
    App.Settings->TimeTypeView = time == CB_ERR ? CommaSeparated : static_cast<DWORD>(time);
    return Close(dialog, IDOK_VIEW_OPTIONS);
}

INT_PTR OnCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    case IDOK:
    case IDC_OK: return OnOk(dialog);
    case IDCANCEL:
    case IDC_CANCEL: return Close(dialog, IDC_CANCEL);
    case IDC_DATE_LIST: return OnListCommand(dialog, dateList, code);
    case IDC_TIME_LIST: return OnListCommand(dialog, timeList, code);
    default: return FALSE;
    }
}

// Coming back to the front, and the main window's own activation passed on (both parameters
// 0), lower the input panel. Losing the front to a window of its own, the dialog does nothing.
INT_PTR OnActivate(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WA_INACTIVE && lParam)
        return FALSE;
    HideInputPanel();
    return FALSE;
}

INT_PTR OnSize(HWND dialog)
{
    PlaceControls(dialog, layout);
    return FALSE;
}

// The narrow layout has room for a header: the dialog's subject in blue, underlined by a rule.
INT_PTR OnPaint(HWND dialog)
{
    return PaintNarrowHeader(dialog, IDS_HEADER_VIEW_OPTIONS, 190);
}
} // namespace

INT_PTR ViewOptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_SIZE: return OnSize(dialog);
    case WM_PAINT: return OnPaint(dialog);
    default: return FALSE;
    }
}
