// Resources of a module: the program's string table, menus, menu bars, bitmaps, icons, dialog
// templates and resources of its own kinds (the sound). The program's resources/ folder describes
// them as data; the device registers that description once and receives the module's instance
// handle.
#pragma once

#include "platform/wintypes.h"

struct STRINGRESOURCE {
    UINT id;
    LPCWSTR text;
};

// A menu: its items in order. A pop-up item opens the menu it points at; a separator has no
// text. `flags` are the item's MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP and MF_SEPARATOR as
// the menu starts (platform/shellmenu.h).
struct MENURESOURCE;
struct MENUITEMRESOURCE {
    UINT command; // 0 for a separator or a pop-up
    LPCWSTR text;
    UINT flags;
    const MENURESOURCE* popup = nullptr;
};
struct MENURESOURCE {
    UINT id; // the menu's number; 0 for a menu reached only as a pop-up
    const MENUITEMRESOURCE* items;
    size_t itemCount;
};

// A menu bar (found as RT_RCDATA): its buttons left to right over menu `menu` of the same module.
// A drop-down button opens pop-up number `popup` of that menu (counting the menu's pop-up items
// from 0); a text button has MENUBAR_NO_POPUP and sends `command` when tapped.
#define MENUBAR_NO_POPUP (-1)
struct MENUBARBUTTONRESOURCE {
    UINT command; // a text button's command, or the id a drop-down is asked for by
    LPCWSTR text;
    BYTE state; // TBSTATE_* as the bar starts
    int popup;
};
struct MENUBARRESOURCE {
    UINT id;
    UINT menu;
    const MENUBARBUTTONRESOURCE* buttons;
    size_t buttonCount;
};

// Pictures are drawn as rows of keys, one character a pixel, each key a colour of the picture's
// palette; alpha 255 is opaque, 0 clear.
struct PIXELCOLOR {
    char key;
    BYTE red;
    BYTE green;
    BYTE blue;
    BYTE alpha;
};
// `height` rows of exactly `width` keys; null rows make a picture of the palette's first colour.
struct PICTURERESOURCE {
    int width;
    int height;
    const char* const* rows;
};
// A bitmap: pictures of one height side by side, left to right, with one palette. Bitmaps are
// opaque: a key's alpha is not used.
struct BITMAPRESOURCE {
    UINT id;
    const PIXELCOLOR* palette;
    size_t paletteCount;
    const PICTURERESOURCE* pictures;
    size_t pictureCount;
};
// An icon: the same picture at several sizes (32 x 32 and 16 x 16), with one palette.
struct ICONRESOURCE {
    UINT id;
    const PIXELCOLOR* palette;
    size_t paletteCount;
    const PICTURERESOURCE* images;
    size_t imageCount;
};
// A dialog template (RT_DIALOG): its bytes, as the dialog manager reads them.
struct DIALOGRESOURCE {
    UINT id;
    const void* data;
    size_t size;
};
// A resource of a kind of the program's own, named by text (u"WAVE"): its bytes. `name` is a
// text or a MAKEINTRESOURCEW number.
struct CUSTOMRESOURCE {
    LPCWSTR type;
    LPCWSTR name;
    const void* data;
    size_t size;
};

// Every table may be left out: a module of strings alone is written {strings, count}.
struct RESOURCEMODULE {
    const STRINGRESOURCE* strings;
    size_t stringCount;
    const MENURESOURCE* menus = nullptr;
    size_t menuCount = 0;
    const MENUBARRESOURCE* menuBars = nullptr;
    size_t menuBarCount = 0;
    const BITMAPRESOURCE* bitmaps = nullptr;
    size_t bitmapCount = 0;
    const ICONRESOURCE* icons = nullptr;
    size_t iconCount = 0;
    const DIALOGRESOURCE* dialogs = nullptr;
    size_t dialogCount = 0;
    const CUSTOMRESOURCE* customs = nullptr;
    size_t customCount = 0;
};

// Makes the module's resources reachable through the returned instance handle. The description
// must outlive every use of the handle.
HINSTANCE RegisterResourceModule(const RESOURCEMODULE* module);

// Copies string `id` into `buffer`, cut to `bufferMax` - 1 characters and always terminated.
// Returns the characters copied, 0 when there is no such string (the buffer is then empty).
// A `bufferMax` of 0 stores a pointer to the read-only text in `buffer` and returns its length.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);
