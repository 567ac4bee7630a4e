#include "app/category_name.h"

#include "app/app_context.h"
#include "app/dialogs.h"
#include "app/startup.h"
#include "entry/shared_ui.h"
#include "entry/text_checks.h"
#include "platform/controls.h"
#include "platform/memory.h"
#include "platform/text.h"
#include "resources/strings.h"

namespace
{
struct Place {
    int x, y, width, height;
};

// The places of the label (its width aside), the edit, OK and Cancel in each layout.
struct NameLayout {
    Place label, edit, ok, cancel;
};

const NameLayout narrowLayout = {
    {6, 20, 0, 18}, {6, 43, 227, 21}, {6, 80, 90, 20}, {142, 80, 90, 20}};
const NameLayout wideLayout = {
    {26, 5, 0, 18}, {26, 28, 227, 21}, {26, 65, 90, 20}, {162, 65, 90, 20}};

void MoveTo(HWND dialog, int id, const Place& place, int width)
{
    MoveWindow(GetDlgItem(dialog, id), place.x, place.y, width, place.height, TRUE);
}

void RetryName(HWND dialog, const NameDialogControls& controls)
{
    HWND edit = GetDlgItem(dialog, controls.edit);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    ShowInputPanel();
}

// The edit's whole text in a block of its own, sized for it however long it is: a name put
// there by the program may be longer than the user could type.
LPWSTR ReadName(HWND edit)
{
    LRESULT length = SendMessageW(edit, EM_LINELENGTH, 0, 0);
    if (length <= 0)
        return nullptr;
    size_t size = static_cast<size_t>(length < CATEGORY_NAME_MAX ? CATEGORY_NAME_MAX : length) + 1;
    if (size > 0xFFFF)
        return nullptr;
    auto name = static_cast<LPWSTR>(LocalAlloc(LPTR, size * sizeof(WCHAR)));
    if (!name)
        return nullptr;
    name[0] = static_cast<WCHAR>(size);
    LRESULT read = SendMessageW(edit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(name));
    name[read > 0 && read < static_cast<LRESULT>(size) ? read : 0] = 0;
    return name;
}
} // namespace

void InitNameEdit(HWND dialog, const NameDialogControls& controls)
{
    HWND edit = GetDlgItem(dialog, controls.edit);
    SendMessageW(edit, EM_LIMITTEXT, CATEGORY_NAME_MAX, 0);
    SetFocus(edit);
    ShowInputPanel();
}

void PlaceNameControls(HWND dialog, const NameDialogControls& controls)
{
    const NameLayout& layout = UseWideLayout() ? wideLayout : narrowLayout;
    MoveTo(dialog, controls.label, layout.label, controls.labelWidth);
    MoveTo(dialog, controls.edit, layout.edit, layout.edit.width);
    MoveTo(dialog, controls.ok, layout.ok, layout.ok.width);
    MoveTo(dialog, controls.cancel, layout.cancel, layout.cancel.width);
}

void OnNameChanged(HWND dialog, const NameDialogControls& controls)
{
    bool hasText = SendDlgItemMessageW(dialog, controls.edit, WM_GETTEXTLENGTH, 0, 0) > 0;
    HWND ok = GetDlgItem(dialog, controls.ok);
    if (hasText) {
        EnableWindow(ok, TRUE);
        MakeDefaultButton(dialog, controls.ok);
        return;
    }
    EnableWindow(GetDlgItem(dialog, controls.cancel), TRUE);
    EnableWindow(ok, FALSE);
    MakeDefaultButton(dialog, controls.cancel);
}

BOOL NormalizeCategoryName(HWND dialog, const NameDialogControls& controls, LPWSTR* name)
{
    *name = nullptr;
    HideInputPanel();
    HWND edit = GetDlgItem(dialog, controls.edit);
    if (SendMessageW(edit, EM_LINELENGTH, 0, 0) <= 0) {
        RetryName(dialog, controls);
        return FALSE;
    }
    LPWSTR typed = ReadName(edit);
    if (!typed)
        return TRUE;
    TrimSpaces(typed, typed);
    if (!StartsAlphanumeric(typed)) {
        LocalFree(typed);
        WCHAR text[IDENTITY_TEXT_MAX];
        LoadStringW(App.Instance, IDS_CATEGORY_FIRST_LETTER, text, IDENTITY_TEXT_MAX);
        MessageBoxW(nullptr, text, App.Title, MB_OK | MB_ICONEXCLAMATION);
        RetryName(dialog, controls);
        return FALSE;
    }
    if (!CapitalizeName(typed)) {
        LocalFree(typed);
        return TRUE;
    }
    TrimSpaces(typed, typed);
    *name = typed;
    return TRUE;
}

INT_PTR OnNameDialogCommand(HWND dialog, const NameDialogControls& controls, WORD id, WORD code,
                            NAMEACCEPTOR accept)
{
    if (id == IDOK || id == controls.ok) {
        LPWSTR name = nullptr;
        if (!NormalizeCategoryName(dialog, controls, &name))
            return TRUE;
        if (name) {
            accept(name);
            LocalFree(name);
        }
        EndDialog(dialog, controls.ok);
        return TRUE;
    }
    if (id == IDCANCEL || id == controls.cancel) {
        EndDialog(dialog, controls.cancel);
        return TRUE;
    }
    if (id == controls.edit) {
        if (code == EN_CHANGE)
            OnNameChanged(dialog, controls);
        else if (code == EN_SETFOCUS)
            ShowInputPanel();
    }
    return FALSE;
}

void AppendCategoryNamed(LPCWSTR name)
{
    CategoryNode scratch;
    InitNode(&scratch);
    if (SetName(&scratch, name))
        Insert(App.MainCategoryList, &scratch);
    FreeName(&scratch);
}
