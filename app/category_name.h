// What the two name dialogs, New category and Edit category, share: the places of their four
// controls, the OK button that waits for text, and reading the typed name.
#pragma once

#include "platform/windows.h"

// The controls of one name dialog, in the order they stand.
struct NameDialogControls {
    int label;
    int edit;
    int ok;
    int cancel;
    int labelWidth; // the label's text differs in length between the two dialogs
};

// The longest name a user can type.
#define CATEGORY_NAME_MAX 20

// Sets the edit's limit, focuses it and raises the input panel.
void InitNameEdit(HWND dialog, const NameDialogControls& controls);
// Moves the controls to their places for the screen's layout, repainting each.
void PlaceNameControls(HWND dialog, const NameDialogControls& controls);
// Follows the edit's text: with text OK is enabled and the default button; empty, OK is
// disabled and Cancel is the default.
void OnNameChanged(HWND dialog, const NameDialogControls& controls);
// Reads the typed name and gives it the stored form: trimmed, its first character upper case
// and the rest lower case ("  hELLO wORLD" gives "Hello world"), in *name, a block the caller
// frees with LocalFree. FALSE when the user must try again: the edit is then focused with its
// text selected, after message 40060 when the first character is neither a letter nor a digit.
// TRUE with *name null when the name could not be read for want of memory.
BOOL NormalizeCategoryName(HWND dialog, const NameDialogControls& controls, LPWSTR* name);

// What a name dialog does with a name that passed: adds it, or renames the chosen category.
typedef void (*NAMEACCEPTOR)(LPCWSTR name);
// WM_COMMAND of a name dialog: OK (its button or the navigation bar's) normalises the name and,
// when it passes, hands it to `accept` and ends the dialog with the OK id; Cancel ends it with
// the Cancel id; the edit's changes follow OnNameChanged and its focus raises the input panel.
INT_PTR OnNameDialogCommand(HWND dialog, const NameDialogControls& controls, WORD id, WORD code,
                            NAMEACCEPTOR accept);
// Appends a category of `name` to MainCategoryList; a name the list holds is left as it is.
void AppendCategoryNamed(LPCWSTR name);
