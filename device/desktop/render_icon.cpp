// zentally-render-icon OUTDIR SIZE...: writes the program's icon (resources/data/icon.cpp) as
// OUTDIR/SIZExSIZE/apps/zentally.png for each size, the layout of an icon theme, so that the
// desktop shows the same stopwatch the handheld does.
#include "resources/data/resource_data.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
QImage PictureImage(const ICONRESOURCE& icon, const PICTURERESOURCE& picture)
{
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const PIXELCOLOR* color = nullptr;
            for (size_t i = 0; i < icon.paletteCount; ++i) {
                if (icon.palette[i].key == picture.rows[y][x])
                    color = &icon.palette[i];
            }
            if (!color)
                return QImage();
            image.setPixel(x, y, qRgba(color->red, color->green, color->blue, color->alpha));
        }
    }
    return image;
}

// A size that a drawn picture divides is that picture with every pixel made a square block,
// crisp as the handheld draws it. Any other size is the largest picture made blocks just past
// the size and then smoothed down, so that the strokes keep even widths.
QImage IconAt(const ICONRESOURCE& icon, int size)
{
    const PICTURERESOURCE* best = nullptr;
    const PICTURERESOURCE* largest = nullptr;
    for (size_t i = 0; i < icon.imageCount; ++i) {
        const PICTURERESOURCE& picture = icon.images[i];
        if (!largest || picture.width > largest->width)
            largest = &picture;
        if (size % picture.width == 0 && (!best || picture.width > best->width))
            best = &picture;
    }
    if (best)
        return PictureImage(icon, *best)
            .scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    int blocks = (size + largest->width - 1) / largest->width;
    QImage enlarged = PictureImage(icon, *largest)
                          .scaled(largest->width * blocks, largest->width * blocks,
                                  Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return enlarged.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: zentally-render-icon OUTDIR SIZE...\n", stderr);
        return 2;
    }
    const ICONRESOURCE& icon = ZentallyIcons[0];
    for (int i = 2; i < argc; ++i) {
        int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "zentally-render-icon: not a size: %s\n", argv[i]);
            return 2;
        }
        QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        QImage image = IconAt(icon, size);
        if (image.isNull() || !QDir().mkpath(folder) || !image.save(folder + "/zentally.png")) {
            std::fprintf(stderr, "zentally-render-icon: cannot write %s/zentally.png\n",
                         folder.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
