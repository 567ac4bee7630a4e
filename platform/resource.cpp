#include "platform/resource.h"

#include <algorithm>
#include <cstring>

namespace
{
const RESOURCEMODULE* ModuleOf(HINSTANCE instance)
{
    return reinterpret_cast<const RESOURCEMODULE*>(instance);
}

int TextLength(LPCWSTR text)
{
    int n = 0;
    while (text[n])
        ++n;
    return n;
}
} // namespace

HINSTANCE RegisterResourceModule(const RESOURCEMODULE* module)
{
    return reinterpret_cast<HINSTANCE>(const_cast<RESOURCEMODULE*>(module));
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax)
{
    const RESOURCEMODULE* module = ModuleOf(instance);
    if (!buffer || bufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const STRINGRESOURCE* found = nullptr;
    if (module) {
        for (size_t i = 0; i < module->stringCount; ++i) {
            if (module->strings[i].id == id) {
                found = &module->strings[i];
                break;
            }
        }
    }
    if (bufferMax == 0) {
        if (!found) {
            SetLastError(ERROR_NOT_FOUND_RESOURCE);
            return 0;
        }
        std::memcpy(buffer, &found->text, sizeof(LPCWSTR));
        return TextLength(found->text);
    }
    buffer[0] = 0;
    if (!found) {
        SetLastError(ERROR_NOT_FOUND_RESOURCE);
        return 0;
    }
    int n = std::min(TextLength(found->text), bufferMax - 1);
    std::copy(found->text, found->text + n, buffer);
    buffer[n] = 0;
    return n;
}
