// The platform's own look-ups in a module's resource tables, shared by the resource routines,
// the menu bar and the sound. Not for the program.
#pragma once

#include "platform/resources.h"

#include <string>

// The module behind an instance handle; null, with ERROR_INVALID_HANDLE, for a null handle.
const RESOURCEMODULE* ResourceModuleOf(HINSTANCE instance);

// True when `name` names resource number `id`: MAKEINTRESOURCEW(id), or the text "#id".
bool NamesNumber(LPCWSTR name, UINT id);
// True when two resource names or kinds are the same: equal numbers, or texts equal without
// regard to case.
bool SameResourceName(LPCWSTR a, LPCWSTR b);

// The entries of a module by name, or null when there is none.
const MENURESOURCE* FindMenuResource(const RESOURCEMODULE* module, LPCWSTR name);
const MENUBARRESOURCE* FindMenuBarResource(const RESOURCEMODULE* module, LPCWSTR name);
const BITMAPRESOURCE* FindBitmapResource(const RESOURCEMODULE* module, LPCWSTR name);
const ICONRESOURCE* FindIconResource(const RESOURCEMODULE* module, LPCWSTR name);

// What LoadResource handed out at `data`: the resource's name (its text, or "#" and its number)
// and its size. False for an address that is not the start of loaded resource data.
bool LoadedResourceAt(const void* data, std::u16string* name, size_t* size);
