// LoadMenuW: a menu of the program's own, made from its menu resource.
#include "platform/menubar/menu_object.h"
#include "platform/resources/resource_lookup.h"

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name)
{
    const RESOURCEMODULE* module = ResourceModuleOf(instance);
    if (!module)
        return nullptr;
    const MENURESOURCE* resource = name ? FindMenuResource(module, name) : nullptr;
    if (!resource) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return MakeMenu(*resource, MenuOwner::Program);
}
