// Resources of a module: the program's string table (and, as the screen arrives, its menus,
// dialog templates, bitmaps, icons and sounds). The program's resources/ folder describes them
// as data; the device registers that description once and receives the module's instance handle.
#pragma once

#include "platform/wintypes.h"

struct STRINGRESOURCE {
    UINT id;
    LPCWSTR text;
};

struct RESOURCEMODULE {
    const STRINGRESOURCE* strings;
    size_t stringCount;
};

// Makes the module's resources reachable through the returned instance handle. The description
// must outlive every use of the handle.
HINSTANCE RegisterResourceModule(const RESOURCEMODULE* module);

// Copies string `id` into `buffer`, cut to `bufferMax` - 1 characters and always terminated.
// Returns the characters copied, 0 when there is no such string (the buffer is then empty).
// A `bufferMax` of 0 stores a pointer to the read-only text in `buffer` and returns its length.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);
