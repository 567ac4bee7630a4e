// Reading a dialog template: the DLGTEMPLATE words and each DLGITEMTEMPLATE after them, checked
// against the template's size so that a truncated template or a count beyond the data is
// refused without a word read past its end.
#pragma once

#include "platform/windows.h"

#include <string>
#include <vector>

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    WORD id = 0;
    std::u16string className;           // the predefined classes by their names ("Button" …)
    std::u16string text;                // an ordinal text is kept as 0xFFFF and the ordinal
    const void* creationData = nullptr; // the size word and the bytes after it, or null
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    std::u16string caption;
    WORD pointSize = 0; // with DS_SETFONT
    std::u16string typeface;
    std::vector<DialogItem> items;
};

// Reads the `size` bytes at `data`. False for a template that ends early, names a predefined
// class the platform does not know, or is of the extended kind (which no resource here uses).
// A template's menu and window class are read past and not used: a dialog is always of the
// dialog class and has no menu.
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate* parsed);
