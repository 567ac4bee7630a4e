// FindResourceW, LoadResource and their kin over the module's tables.
#include "platform/resources/resource_lookup.h"

#include <map>
#include <memory>
#include <set>

namespace
{
enum class Kind { Menu, MenuBar, Bitmap, Icon, Dialog, Custom };

// What a resource handle stands for. Handles are the addresses of these records, which live
// as long as the process, so that a handle found twice is the same handle.
struct FoundResource {
    const RESOURCEMODULE* module;
    const void* data;
    size_t size;
    std::u16string name;
};

struct Table {
    std::map<std::pair<const void*, Kind>, std::unique_ptr<FoundResource>> found;
    std::set<const FoundResource*> handles;
    // Loaded data by its address, so that a sound played from memory can be told by name.
    std::map<const void*, const FoundResource*> loaded;
};

Table& T()
{
    static Table table;
    return table;
}

WCHAR Upper(WCHAR c)
{
    return c >= u'a' && c <= u'z' ? WCHAR(c - u'a' + u'A') : c;
}

std::u16string NameText(LPCWSTR name)
{
    if (!IS_INTRESOURCE(name))
        return name;
    std::u16string text = u"#";
    for (char c : std::to_string(reinterpret_cast<uintptr_t>(name)))
        text.push_back(char16_t(c));
    return text;
}

template <typename Entry> const Entry* FindById(const Entry* entries, size_t count, LPCWSTR name)
{
    if (!entries)
        return nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (NamesNumber(name, entries[i].id))
            return &entries[i];
    }
    return nullptr;
}

const CUSTOMRESOURCE* FindCustom(const RESOURCEMODULE* module, LPCWSTR name, LPCWSTR type)
{
    if (!module->customs)
        return nullptr;
    for (size_t i = 0; i < module->customCount; ++i) {
        const CUSTOMRESOURCE& c = module->customs[i];
        if (c.type && c.name && SameResourceName(c.type, type) && SameResourceName(c.name, name))
            return &c;
    }
    return nullptr;
}

// `name` is the resource's own name, not the spelling it was asked for by.
HRSRC HandleFor(const RESOURCEMODULE* module, Kind kind, const void* entry, const void* data,
                size_t size, LPCWSTR name)
{
    Table& t = T();
    auto& slot = t.found[{entry, kind}];
    if (!slot) {
        slot = std::make_unique<FoundResource>(FoundResource{module, data, size, NameText(name)});
        t.handles.insert(slot.get());
    }
    return reinterpret_cast<HRSRC>(slot.get());
}

const FoundResource* Found(HRSRC resource)
{
    auto* found = reinterpret_cast<const FoundResource*>(resource);
    return T().handles.count(found) ? found : nullptr;
}
} // namespace

const RESOURCEMODULE* ResourceModuleOf(HINSTANCE instance)
{
    if (!instance)
        SetLastError(ERROR_INVALID_HANDLE);
    return reinterpret_cast<const RESOURCEMODULE*>(instance);
}

bool NamesNumber(LPCWSTR name, UINT id)
{
    if (!name)
        return false;
    if (IS_INTRESOURCE(name))
        return reinterpret_cast<uintptr_t>(name) == id;
    if (name[0] != u'#' || !name[1])
        return false;
    uint64_t value = 0;
    for (LPCWSTR c = name + 1; *c; ++c) {
        if (*c < u'0' || *c > u'9' || value > 0xFFFF)
            return false;
        value = value * 10 + uint64_t(*c - u'0');
    }
    return value == id;
}

bool SameResourceName(LPCWSTR a, LPCWSTR b)
{
    if (!a || !b)
        return false;
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b)) {
        if (IS_INTRESOURCE(a) && IS_INTRESOURCE(b))
            return a == b;
        LPCWSTR number = IS_INTRESOURCE(a) ? a : b;
        return NamesNumber(IS_INTRESOURCE(a) ? b : a,
                           static_cast<UINT>(reinterpret_cast<uintptr_t>(number)));
    }
    for (; *a && *b; ++a, ++b) {
        if (Upper(*a) != Upper(*b))
            return false;
    }
    return *a == *b;
}

const MENURESOURCE* FindMenuResource(const RESOURCEMODULE* module, LPCWSTR name)
{
    return module ? FindById(module->menus, module->menuCount, name) : nullptr;
}

const MENUBARRESOURCE* FindMenuBarResource(const RESOURCEMODULE* module, LPCWSTR name)
{
    return module ? FindById(module->menuBars, module->menuBarCount, name) : nullptr;
}

const BITMAPRESOURCE* FindBitmapResource(const RESOURCEMODULE* module, LPCWSTR name)
{
    return module ? FindById(module->bitmaps, module->bitmapCount, name) : nullptr;
}

const ICONRESOURCE* FindIconResource(const RESOURCEMODULE* module, LPCWSTR name)
{
    return module ? FindById(module->icons, module->iconCount, name) : nullptr;
}

bool LoadedResourceAt(const void* data, std::u16string* name, size_t* size)
{
    auto found = T().loaded.find(data);
    if (!data || found == T().loaded.end())
        return false;
    if (name)
        *name = found->second->name;
    if (size)
        *size = found->second->size;
    return true;
}

HRSRC FindResourceW(HMODULE instance, LPCWSTR name, LPCWSTR type)
{
    const RESOURCEMODULE* module = ResourceModuleOf(instance);
    if (!module)
        return nullptr;
    if (!name || !type) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // The program's own kinds come first, so that a kind of its own numbered like a built-in
    // one is still found.
    if (const CUSTOMRESOURCE* c = FindCustom(module, name, type))
        return HandleFor(module, Kind::Custom, c, c->data, c->data ? c->size : 0, c->name);
    if (IS_INTRESOURCE(type)) {
        if (type == RT_MENU) {
            if (const MENURESOURCE* m = FindMenuResource(module, name))
                return HandleFor(module, Kind::Menu, m, m, sizeof(*m), MAKEINTRESOURCEW(m->id));
        } else if (type == RT_RCDATA) {
            if (const MENUBARRESOURCE* b = FindMenuBarResource(module, name))
                return HandleFor(module, Kind::MenuBar, b, b, sizeof(*b), MAKEINTRESOURCEW(b->id));
        } else if (type == RT_BITMAP) {
            if (const BITMAPRESOURCE* b = FindBitmapResource(module, name))
                return HandleFor(module, Kind::Bitmap, b, b, sizeof(*b), MAKEINTRESOURCEW(b->id));
        } else if (type == RT_ICON || type == RT_GROUP_ICON) {
            if (const ICONRESOURCE* i = FindIconResource(module, name))
                return HandleFor(module, Kind::Icon, i, i, sizeof(*i), MAKEINTRESOURCEW(i->id));
        } else if (type == RT_DIALOG) {
            if (const DIALOGRESOURCE* d = FindById(module->dialogs, module->dialogCount, name)) {
                if (d->data)
                    return HandleFor(module, Kind::Dialog, d, d->data, d->size,
                                     MAKEINTRESOURCEW(d->id));
            }
        }
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

HGLOBAL LoadResource(HMODULE instance, HRSRC resource)
{
    const FoundResource* found = Found(resource);
    // A null module means the program's own, as on the handheld; any other must be the one the
    // resource was found in.
    if (!found ||
        (instance && reinterpret_cast<const RESOURCEMODULE*>(instance) != found->module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!found->data) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    T().loaded[found->data] = found;
    return const_cast<void*>(found->data);
}

LPVOID LockResource(HGLOBAL data)
{
    return data;
}

DWORD SizeofResource(HMODULE instance, HRSRC resource)
{
    const FoundResource* found = Found(resource);
    if (!found ||
        (instance && reinterpret_cast<const RESOURCEMODULE*>(instance) != found->module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(found->size);
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}
