// Finding and loading the resources of a module by kind and name: dialog templates, menus,
// bitmaps, icons and resources of the program's own kinds (the "WAVE" sound). Names and kinds
// are numbers (MAKEINTRESOURCEW) or texts, as on the handheld.
#pragma once

#include "platform/resource.h"

#define RT_CURSOR MAKEINTRESOURCEW(1)
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_RCDATA MAKEINTRESOURCEW(10)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)

// The resource `name` of kind `type` in the module, or null with ERROR_RESOURCE_NAME_NOT_FOUND
// (ERROR_INVALID_HANDLE for an unknown module, ERROR_INVALID_PARAMETER for a null name or kind).
// A text name or kind matches without regard to case. The handle stays valid as long as the
// module's description does.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
// The resource's data: for the program's own kinds the bytes as described, for a dialog its
// template, for a menu, bitmap or icon the module's description of it. Null with
// ERROR_INVALID_HANDLE for a handle FindResourceW did not give for this module.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
// The address of loaded resource data (the data is read-only and never moves); null for null.
LPVOID LockResource(HGLOBAL data);
// The size in bytes of the resource's data; 0 with ERROR_INVALID_HANDLE for an unknown handle.
DWORD SizeofResource(HMODULE module, HRSRC resource);
// Loaded resources need no freeing; kept for programs that call it. Always FALSE.
BOOL FreeResource(HGLOBAL data);
