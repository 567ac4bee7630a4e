// The platform's own registry of graphics objects, shared by the files that create, draw with
// and free them. Not for the program.
#pragma once

#include "platform/gdi.h"

enum class GdiKind { Font };

struct GdiObject {
    GdiKind kind;
    LOGFONTW font;
};

// The live object behind a handle, or null for a handle that is unknown or was freed.
GdiObject* FindGdiObject(HGDIOBJ object);
