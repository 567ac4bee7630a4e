// Edit Categories (dialog 124): lists the categories and lets the user choose what to do with
// them. New and Rename end the dialog for the caller to run the name dialogs; Delete is done
// here. Every change is stored at once; with "Apply Rename and Delete to records" set, a
// deleted category takes its records with it.
#include "app/app_context.h"
#include "app/category_records.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "entry/shared_ui.h"
#include "model/databases.h"
#include "platform/aygshell.h"
#include "platform/controls.h"
#include "platform/memory.h"
#include "resources/strings.h"

namespace
{
enum : int {
    IDC_NEW = 1032,
    IDC_RENAME = 1033,
    IDC_DELETE = 1034,
    IDC_CLOSE = 1038,
    IDC_CATEGORIES = 1041,
    IDC_APPLY_TO_RECORDS = 1042,
};

// The list's selected item, as its last selection change left it; LB_ERR for none.
int selectedItem = LB_ERR;

HWND Item(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

void EnableChoices(HWND dialog, BOOL enable)
{
    EnableWindow(Item(dialog, IDC_RENAME), enable);
    EnableWindow(Item(dialog, IDC_DELETE), enable);
}

// With nothing chosen, Enter closes the dialog.
void NothingChosen(HWND dialog)
{
    EnableChoices(dialog, FALSE);
    SendMessageW(dialog, DM_SETDEFID, IDC_CLOSE, 0);
}

void FocusList(HWND dialog)
{
    SetFocus(Item(dialog, IDC_CATEGORIES));
    HideInputPanel();
}

INT_PTR OnInitDialog(HWND dialog)
{
    App.ActiveDialog = dialog;
    selectedItem = LB_ERR;
    SHINITDLGINFO shell = {SHIDIM_FLAGS, dialog,
                           SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&shell);
    for (CategoryNode* c = First(App.MainCategoryList); c; c = c->next)
        SendDlgItemMessageW(dialog, IDC_CATEGORIES, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(c->name));
    EnableChoices(dialog, FALSE);
    SendDlgItemMessageW(dialog, IDC_APPLY_TO_RECORDS, BM_SETCHECK,
                        App.Settings->CatRecsApply ? BST_CHECKED : BST_UNCHECKED, 0);
    FocusList(dialog);
    return FALSE;
}

INT_PTR Close(HWND dialog, INT_PTR result)
{
    App.ActiveDialog = nullptr;
    EndDialog(dialog, result);
    return TRUE;
}

void OnSelectionChange(HWND dialog)
{
    HideInputPanel();
    selectedItem =
        static_cast<int>(SendDlgItemMessageW(dialog, IDC_CATEGORIES, LB_GETCURSEL, 0, 0));
    if (selectedItem == LB_ERR) {
        NothingChosen(dialog);
        return;
    }
    EnableChoices(dialog, TRUE);
    MakeDefaultButton(dialog, IDC_RENAME);
}

// The chosen item's text in a block the caller frees with LocalFree; null when there is none.
LPWSTR ChosenName(HWND dialog)
{
    if (selectedItem == LB_ERR)
        return nullptr;
    LRESULT length = SendDlgItemMessageW(dialog, IDC_CATEGORIES, LB_GETTEXTLEN,
                                         static_cast<WPARAM>(selectedItem), 0);
    if (length <= 0)
        return nullptr;
    auto name =
        static_cast<LPWSTR>(LocalAlloc(LPTR, (static_cast<size_t>(length) + 1) * sizeof(WCHAR)));
    if (name &&
        SendDlgItemMessageW(dialog, IDC_CATEGORIES, LB_GETTEXT, static_cast<WPARAM>(selectedItem),
                            reinterpret_cast<LPARAM>(name)) == LB_ERR) {
        LocalFree(name);
        return nullptr;
    }
    return name;
}

// Leaves the chosen category as the list's current one for Edit category. A name the list
// does not hold would leave the first category current, so it is treated as no choice.
INT_PTR OnRename(HWND dialog)
{
    LPWSTR name = ChosenName(dialog);
    bool found = name && FindByName(App.MainCategoryList, name);
    LocalFree(name);
    if (!found) {
        NothingChosen(dialog);
        return TRUE;
    }
    return Close(dialog, IDEDIT_CATEGORY);
}

INT_PTR OnDelete(HWND dialog)
{
    WCHAR question[IDENTITY_TEXT_MAX];
    LoadStringW(App.Instance, IDS_DELETE_CATEGORY_QUESTION, question, IDENTITY_TEXT_MAX);
    if (MessageBoxW(nullptr, question, App.Title, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return TRUE;
    LPWSTR name = ChosenName(dialog);
    if (!name) {
        NothingChosen(dialog);
        return TRUE;
    }
    RemoveByName(App.MainCategoryList, name);
    SaveCategories();
    if (App.Settings->CatRecsApply)
        DeleteCategoryRecords(name);
    LocalFree(name);
    return Close(dialog, IDDELETED_CATEGORY);
}

INT_PTR OnButton(HWND dialog, WORD id)
{
    bool checked =
        SendDlgItemMessageW(dialog, IDC_APPLY_TO_RECORDS, BM_GETCHECK, 0, 0) == BST_CHECKED;
    App.Settings->CatRecsApply = checked ? 1 : 0;
    switch (id) {
    case IDOK:
    case IDC_CLOSE: return Close(dialog, IDCLOSE_CATEGORIES);
    case IDC_NEW: return Close(dialog, IDNEW_CATEGORY);
    case IDC_RENAME: return OnRename(dialog);
    case IDC_DELETE: return OnDelete(dialog);
    default: return TRUE;
    }
}

INT_PTR OnCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    case IDC_CATEGORIES:
        if (code == LBN_SELCHANGE)
            OnSelectionChange(dialog);
        return FALSE;
    case IDOK:
    case IDC_CLOSE:
    case IDC_NEW:
    case IDC_RENAME:
    case IDC_DELETE:
    case IDC_APPLY_TO_RECORDS: return OnButton(dialog, id);
    default: return FALSE;
    }
}

// Coming back to the front, and the main window's own activation passed on (both parameters
// 0), give the list the focus. Losing the front to a window of its own, the dialog does nothing.
INT_PTR OnActivate(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WA_INACTIVE && lParam)
        return FALSE;
    FocusList(dialog);
    return FALSE;
}

// The heading: the dialog's subject in blue over a rule the width of the screen.
INT_PTR OnPaint(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    const POINT rule[] = {{2, 22}, {234, 22}};
    PaintDialogHeader(dc, IDS_HEADER_CATEGORY, 6, 3, rule);
    EndPaint(dialog, &paint);
    return TRUE;
}
} // namespace

INT_PTR EditCategoriesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_ACTIVATE: return OnActivate(dialog, wParam, lParam);
    case WM_PAINT: return OnPaint(dialog);
    default: return FALSE;
    }
}
