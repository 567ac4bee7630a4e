// Graphics objects and device contexts: what the program measures and creates fonts with.
// Drawing arrives with the screen; a font keeps the LOGFONTW it was made from until then.
#pragma once

#include "platform/wintypes.h"

DECLARE_HANDLE(HFONT);

// Device capabilities, with their documented indices.
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define LOGPIXELSX 88
#define LOGPIXELSY 90

// The screen's resolution: 96 pixels per logical inch in both directions.
#define DEVICE_PIXELS_PER_INCH 96

#define LF_FACESIZE 32

#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_HEAVY 900

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DEFAULT_PITCH 0
#define FF_DONTCARE 0

typedef struct tagLOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW, *LPLOGFONTW;

// A device context of the screen (for a null window) or of a window's client area.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int GetDeviceCaps(HDC dc, int index);

// Makes a font from its logical description; the face name is cut to LF_FACESIZE - 1
// characters. Returns null, with the error set, for a null description.
HFONT CreateFontIndirectW(const LOGFONTW* font);
// Copies up to `bytes` of the object's description (a LOGFONTW for a font) into `buffer`, or
// returns the size of the description when `buffer` is null. 0 for an unknown object.
int GetObjectW(HGDIOBJ object, int bytes, LPVOID buffer);
// Frees a graphics object; FALSE for a null, unknown or already freed object.
BOOL DeleteObject(HGDIOBJ object);
