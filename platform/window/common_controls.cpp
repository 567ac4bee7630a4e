// The common controls' initialisation, the registry of the platform's control classes, and
// image lists.
#include "platform/commctrl.h"
#include "platform/resources/pictures.h"
#include "platform/window/window_internal.h"

#include <QImage>

#include <vector>

struct _IMAGELIST {
    int cx;
    int cy;
    std::vector<QImage> images;
};

void RegisterCommonControlClasses()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    RegisterControlClass(&ListViewControlClass);
    RegisterDialogControlClasses();
    RegisterDatePickerClass();
}

void InitCommonControls()
{
    RegisterCommonControlClasses();
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls)
{
    if (!controls || controls->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RegisterCommonControlClasses();
    return TRUE;
}

HIMAGELIST ImageList_Create(int cx, int cy, UINT, int initial, int)
{
    if (cx <= 0 || cy <= 0 || cx > 256 || cy > 256 || initial < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HIMAGELIST list = new _IMAGELIST{cx, cy, {}};
    list->images.reserve(size_t(initial));
    return list;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP)
{
    if (!list)
        return -1;
    QImage strip = ImageOfBitmap(image);
    if (strip.isNull() || strip.width() < list->cx || strip.height() < list->cy)
        return -1;
    int first = int(list->images.size());
    for (int x = 0; x + list->cx <= strip.width(); x += list->cx)
        list->images.push_back(strip.copy(x, 0, list->cx, list->cy));
    return first;
}

BOOL ImageList_Destroy(HIMAGELIST list)
{
    if (!list)
        return FALSE;
    delete list;
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list)
{
    return list ? int(list->images.size()) : 0;
}

QImage ImageListImage(HIMAGELIST list, int index)
{
    if (!list || index < 0 || index >= int(list->images.size()))
        return QImage();
    return list->images[size_t(index)];
}

SIZE ImageListSize(HIMAGELIST list)
{
    return list ? SIZE{list->cx, list->cy} : SIZE{0, 0};
}
