// New category (dialog 125): adds the typed name to the categories and stores them. A name the
// list already holds is refused by the list without a word; the dialog closes all the same.
#include "app/app_context.h"
#include "app/category_name.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "entry/shared_ui.h"
#include "model/databases.h"
#include "platform/aygshell.h"
#include "platform/controls.h"
#include "platform/memory.h"

namespace
{
enum : int {
    IDC_NAME_LABEL = 1043,
    IDC_NAME = 1044,
    IDC_OK = 1045,
    IDC_CANCEL = 1046,
};

const NameDialogControls controls = {IDC_NAME_LABEL, IDC_NAME, IDC_OK, IDC_CANCEL, 160};

INT_PTR OnInitDialog(HWND dialog)
{
    SHINITDLGINFO shell = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&shell);
    InitNameEdit(dialog, controls);
    return FALSE;
}

void AddCategory(LPCWSTR name)
{
    AppendCategoryNamed(name);
    SaveCategories();
}
} // namespace

INT_PTR NewCategoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnNameDialogCommand(dialog, controls, LOWORD(wParam), HIWORD(wParam), AddCategory);
    case WM_SIZE: PlaceNameControls(dialog, controls); return FALSE;
    default: return FALSE;
    }
}
