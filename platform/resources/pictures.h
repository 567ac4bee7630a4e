// Pictures of a module's bitmaps and icons as images, for the menu bar, the image lists and the
// device. Not for the program.
#pragma once

#include "platform/resources.h"
#include "platform/windows.h"

#include <QIcon>
#include <QImage>

// The pixels of a picture drawn at (x, 0) of `target`, which must be large enough. Keys take
// their palette colour, with its alpha unless `opaque`. False, drawing nothing, when the picture
// is malformed: a size below 1, a row of the wrong length or a key not in the palette.
bool DrawPicture(const PIXELCOLOR* palette, size_t paletteCount, const PICTURERESOURCE& picture,
                 QImage& target, int x, bool opaque);

// A bitmap's pictures side by side as one opaque image; a null image when the bitmap is
// malformed or its pictures differ in height.
QImage BitmapImage(const BITMAPRESOURCE& bitmap);

// The image of a bitmap handle (LoadBitmapW); a null image for any other handle.
QImage ImageOfBitmap(HBITMAP bitmap);

// The sizes of an icon handle (LoadIconW) as an icon, and its image closest to `size` pixels
// square; empty for an unknown handle.
QIcon IconOf(HICON icon);
QImage IconImage(HICON icon, int size);
