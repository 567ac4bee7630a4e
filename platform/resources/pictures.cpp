// Bitmaps and icons: the module's pictures turned into images, LoadBitmapW and LoadIconW.
#include "platform/resources/pictures.h"

#include "platform/gdi_objects.h"
#include "platform/resources/resource_lookup.h"

#include <QGuiApplication>
#include <QPixmap>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace
{
// An icon is loaded once and shared, as the handheld shares the icons of a module: two loads of
// the same icon give the same handle, and it is never freed.
struct IconObject {
    std::vector<QImage> images;
};

std::map<const ICONRESOURCE*, std::unique_ptr<IconObject>>& Icons()
{
    static std::map<const ICONRESOURCE*, std::unique_ptr<IconObject>> icons;
    return icons;
}

const IconObject* FindIcon(HICON icon)
{
    for (auto& [resource, object] : Icons()) {
        if (reinterpret_cast<HICON>(object.get()) == icon)
            return object.get();
    }
    return nullptr;
}

const PIXELCOLOR* ColorOf(const PIXELCOLOR* palette, size_t count, char key)
{
    for (size_t i = 0; i < count; ++i) {
        if (palette[i].key == key)
            return &palette[i];
    }
    return nullptr;
}
} // namespace

bool DrawPicture(const PIXELCOLOR* palette, size_t paletteCount, const PICTURERESOURCE& picture,
                 QImage& target, int x, bool opaque)
{
    if (!palette || paletteCount == 0 || picture.width < 1 || picture.height < 1 || x < 0 ||
        x + picture.width > target.width() || picture.height > target.height())
        return false;
    if (picture.rows) {
        // Every row is checked before a pixel is drawn, so that a bad picture leaves no trace.
        for (int y = 0; y < picture.height; ++y) {
            const char* row = picture.rows[y];
            if (!row || std::strlen(row) != size_t(picture.width))
                return false;
            for (int i = 0; i < picture.width; ++i) {
                if (!ColorOf(palette, paletteCount, row[i]))
                    return false;
            }
        }
    }
    for (int y = 0; y < picture.height; ++y) {
        for (int i = 0; i < picture.width; ++i) {
            const PIXELCOLOR* c =
                picture.rows ? ColorOf(palette, paletteCount, picture.rows[y][i]) : palette;
            target.setPixel(x + i, y, qRgba(c->red, c->green, c->blue, opaque ? 255 : c->alpha));
        }
    }
    return true;
}

QImage BitmapImage(const BITMAPRESOURCE& bitmap)
{
    if (!bitmap.pictures || bitmap.pictureCount == 0)
        return QImage();
    int width = 0;
    int height = bitmap.pictures[0].height;
    for (size_t i = 0; i < bitmap.pictureCount; ++i) {
        if (bitmap.pictures[i].height != height || bitmap.pictures[i].width < 1)
            return QImage();
        width += bitmap.pictures[i].width;
    }
    if (height < 1 || width > 4096 || height > 4096)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    int x = 0;
    for (size_t i = 0; i < bitmap.pictureCount; ++i) {
        if (!DrawPicture(bitmap.palette, bitmap.paletteCount, bitmap.pictures[i], image, x, true))
            return QImage();
        x += bitmap.pictures[i].width;
    }
    return image;
}

QImage ImageOfBitmap(HBITMAP bitmap)
{
    GdiObject* object = FindGdiObject(bitmap);
    return object && object->kind == GdiKind::Bitmap ? object->image : QImage();
}

QIcon IconOf(HICON icon)
{
    const IconObject* object = FindIcon(icon);
    QIcon result;
    // Pixmaps need the screen's application; without one the icon stays empty.
    if (!object || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return result;
    for (const QImage& image : object->images)
        result.addPixmap(QPixmap::fromImage(image));
    return result;
}

QImage IconImage(HICON icon, int size)
{
    const IconObject* object = FindIcon(icon);
    if (!object || object->images.empty())
        return QImage();
    const QImage* best = &object->images.front();
    for (const QImage& image : object->images) {
        if (std::abs(image.width() - size) < std::abs(best->width() - size))
            best = &image;
    }
    return *best;
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name)
{
    const RESOURCEMODULE* module = ResourceModuleOf(instance);
    if (!module)
        return nullptr;
    const BITMAPRESOURCE* resource = name ? FindBitmapResource(module, name) : nullptr;
    if (!resource) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    QImage image = BitmapImage(*resource);
    if (image.isNull()) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    auto object = std::make_unique<GdiObject>();
    object->kind = GdiKind::Bitmap;
    object->image = std::move(image);
    return static_cast<HBITMAP>(AddGdiObject(std::move(object)));
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name)
{
    const RESOURCEMODULE* module = ResourceModuleOf(instance);
    if (!module)
        return nullptr;
    const ICONRESOURCE* resource = name ? FindIconResource(module, name) : nullptr;
    if (!resource) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    auto& slot = Icons()[resource];
    if (slot)
        return reinterpret_cast<HICON>(slot.get());
    auto object = std::make_unique<IconObject>();
    for (size_t i = 0; resource->images && i < resource->imageCount; ++i) {
        const PICTURERESOURCE& picture = resource->images[i];
        if (picture.width < 1 || picture.height < 1 || picture.width > 256 || picture.height > 256)
            break;
        QImage image(picture.width, picture.height, QImage::Format_ARGB32);
        if (!DrawPicture(resource->palette, resource->paletteCount, picture, image, 0, false))
            break;
        object->images.push_back(std::move(image));
    }
    if (!resource->images || object->images.size() != resource->imageCount ||
        object->images.empty()) {
        Icons().erase(resource);
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    slot = std::move(object);
    return reinterpret_cast<HICON>(slot.get());
}
