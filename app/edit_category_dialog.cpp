// Edit category (dialog 126): renames the category Edit Categories left as the list's current
// one. The new name goes to the end of the list; a name another category has merges the two.
// With "Apply Rename and Delete to records" set, the records follow once the list is stored.
#include "app/app_context.h"
#include "app/category_name.h"
#include "app/category_records.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "entry/shared_ui.h"
#include "model/databases.h"
#include "platform/aygshell.h"
#include "platform/controls.h"
#include "platform/memory.h"
#include "platform/text.h"

#include <cstring>

namespace
{
enum : int {
    IDC_NAME_LABEL = 1036,
    IDC_NAME = 1037,
    IDC_OK = 1038,
    IDC_CANCEL = 1039,
};

const NameDialogControls controls = {IDC_NAME_LABEL, IDC_NAME, IDC_OK, IDC_CANCEL, 150};

INT_PTR OnInitDialog(HWND dialog)
{
    SHINITDLGINFO shell = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&shell);
    const CategoryNode* chosen = Current(App.MainCategoryList);
    if (!chosen || !chosen->name) {
        EndDialog(dialog, IDC_CANCEL);
        return FALSE;
    }
    SendDlgItemMessageW(dialog, IDC_NAME, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen->name));
    InitNameEdit(dialog, controls);
    SendDlgItemMessageW(dialog, IDC_NAME, EM_SETSEL, 0, -1);
    return FALSE;
}

void Rename(LPCWSTR oldName, LPCWSTR newName)
{
    RemoveByName(App.MainCategoryList, oldName);
    AppendCategoryNamed(newName);
    // A name given again unchanged leaves every record as it is: nothing to rewrite.
    if (SaveCategories() && App.Settings->CatRecsApply && wcscmp(oldName, newName) != 0)
        RenameCategoryInRecords(oldName, newName);
}

// The old name is copied first: removing its node from the list frees the node's own name.
LPWSTR CopyOfCurrentName()
{
    const CategoryNode* chosen = Current(App.MainCategoryList);
    if (!chosen || !chosen->name)
        return nullptr;
    size_t size = (static_cast<size_t>(lstrlenW(chosen->name)) + 1) * sizeof(WCHAR);
    auto copy = static_cast<LPWSTR>(LocalAlloc(LMEM_FIXED, size));
    if (copy)
        std::memcpy(copy, chosen->name, size);
    return copy;
}

void RenameChosen(LPCWSTR newName)
{
    if (LPWSTR oldName = CopyOfCurrentName()) {
        Rename(oldName, newName);
        LocalFree(oldName);
    }
}
} // namespace

INT_PTR EditCategoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnNameDialogCommand(dialog, controls, LOWORD(wParam), HIWORD(wParam), RenameChosen);
    case WM_SIZE: PlaceNameControls(dialog, controls); return FALSE;
    default: return FALSE;
    }
}
