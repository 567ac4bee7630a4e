// The run-time text routines of the handheld, on 16-bit text.
#pragma once

#include "platform/wintypes.h"

#include <cstdarg>

// Formats into `buffer`, which holds `bufferMax` characters with the terminator. A result too
// long for the buffer is cut, never written past it. Conversions: %d %i %u %x %X %c %s (wide
// text) %hs (narrow text) %%, with the flags '-' and '0', a width, a precision, and 'l'/'h'.
// Returns the characters written without the terminator.
int wvnsprintfW(LPWSTR buffer, int bufferMax, LPCWSTR format, va_list args);
int wnsprintfW(LPWSTR buffer, int bufferMax, LPCWSTR format, ...);

// wsprintfW takes only an array as its destination, so that every call is bounded by the size
// the compiler knows. Heap buffers go through wnsprintfW with their size.
template <size_t N> int wsprintfW(WCHAR (&buffer)[N], LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int written = wvnsprintfW(buffer, static_cast<int>(N), format, args);
    va_end(args);
    return written;
}

// The leading decimal integer of a text: white space, an optional sign, digits. 0 when there is
// none; a value beyond the range of int is held at its bound.
int _wtoi(LPCWSTR text);

// Character classes of iswctype, with their usual values.
#define _UPPER 0x1
#define _LOWER 0x2
#define _DIGIT 0x4
#define _SPACE 0x8
#define _PUNCT 0x10
#define _CONTROL 0x20
#define _BLANK 0x40
#define _HEX 0x80
#define _LEADBYTE 0x8000
#define _ALPHA (0x0100 | _UPPER | _LOWER)

// Nonzero when the character belongs to any class of `mask`. Letters and digits are classified
// for all of Unicode; the char32_t form takes a whole code point, so that a letter outside the
// basic plane can be tested once its surrogate pair is joined.
int iswctype(WCHAR c, WORD mask);
int iswctype(char32_t c, WORD mask);

int wcscmp(LPCWSTR a, LPCWSTR b);
int lstrlenW(LPCWSTR text);

// Converts the text in place to upper (lower) case and returns it. A pointer whose high bits are
// zero is a single character instead; its converted form is returned the same way.
LPWSTR CharUpperW(LPWSTR text);
LPWSTR CharLowerW(LPWSTR text);
