#include "platform/gdi_objects.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace
{
// Handles are the objects' addresses; the table makes a freed or foreign handle detectable
// instead of a use after free.
std::unordered_map<HGDIOBJ, std::unique_ptr<GdiObject>>& Objects()
{
    static std::unordered_map<HGDIOBJ, std::unique_ptr<GdiObject>> objects;
    return objects;
}

// Device contexts carry no state yet; one screen context serves every window.
struct ScreenDc {
} screenDc;
} // namespace

GdiObject* FindGdiObject(HGDIOBJ object)
{
    auto found = Objects().find(object);
    return found == Objects().end() ? nullptr : found->second.get();
}

HGDIOBJ AddGdiObject(std::unique_ptr<GdiObject> object)
{
    HGDIOBJ handle = object.get();
    Objects().emplace(handle, std::move(object));
    return handle;
}

HDC GetDC(HWND)
{
    return reinterpret_cast<HDC>(&screenDc);
}

int ReleaseDC(HWND, HDC dc)
{
    return dc == reinterpret_cast<HDC>(&screenDc) ? 1 : 0;
}

int GetDeviceCaps(HDC, int index)
{
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return DEVICE_PIXELS_PER_INCH;
    case BITSPIXEL: return 16;
    case HORZRES: return 240;
    case VERTRES: return 320;
    default: return 0;
    }
}

HFONT CreateFontIndirectW(const LOGFONTW* font)
{
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_unique<GdiObject>();
    object->kind = GdiKind::Font;
    object->font = *font;
    object->font.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(AddGdiObject(std::move(object)));
}

int GetObjectW(HGDIOBJ handle, int bytes, LPVOID buffer)
{
    GdiObject* object = FindGdiObject(handle);
    if (!object || object->kind != GdiKind::Font || bytes < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    int size = static_cast<int>(sizeof(LOGFONTW));
    if (!buffer)
        return size;
    int copied = std::min(size, bytes);
    std::copy_n(reinterpret_cast<const BYTE*>(&object->font), copied, static_cast<BYTE*>(buffer));
    return copied;
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (Objects().erase(object) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
