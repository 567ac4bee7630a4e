// The platform's own registry of graphics objects, shared by the files that create, draw with
// and free them. Not for the program.
#pragma once

#include "platform/gdi.h"

#include <QImage>

#include <memory>

enum class GdiKind { Font, Pen, Brush, Bitmap };

struct GdiObject {
    GdiKind kind;
    LOGFONTW font;          // Font
    int penStyle = 0;       // Pen: PS_SOLID, PS_DASH, PS_DOT or PS_NULL
    int penWidth = 0;       // Pen: 0 is one pixel, whatever the scale
    DWORD color = 0;        // Pen and Brush: a COLORREF
    bool nullBrush = false; // Brush: paints nothing (NULL_BRUSH)
    QImage image;           // Bitmap: the pixels, as loaded
};

// The live object behind a handle, or null for a handle that is unknown or was freed.
GdiObject* FindGdiObject(HGDIOBJ object);
// Takes an object into the registry and returns its handle (freed by DeleteObject).
HGDIOBJ AddGdiObject(std::unique_ptr<GdiObject> object);
