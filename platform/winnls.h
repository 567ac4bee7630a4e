// Converting the device's 16-bit text into the byte forms that files outside the device read,
// and the device's own single-byte form back.
#pragma once

#include "platform/wintypes.h"

// The device's ANSI code page (CP_ACP) is Windows-1252, Western European.
#define CP_ACP 0
#define CP_UTF8 65001

#ifndef ERROR_INVALID_FLAGS
#define ERROR_INVALID_FLAGS 1004L
#endif

// Converts `cchWideChar` code units of `lpWideCharStr` (-1: up to and with its terminator) into
// `lpMultiByteStr`, which holds `cbMultiByte` bytes; with `cbMultiByte` 0 only the bytes needed
// are counted and `lpMultiByteStr` is not used. Returns the bytes written (or needed).
// - CP_ACP: every code unit becomes exactly one byte, so the result has as many bytes as the
//   text has code units. A character Windows-1252 does not hold, each half of a surrogate pair
//   included, becomes the default character: the first byte of `lpDefaultChar`, or '?' when it
//   is null; *lpUsedDefaultChar, when given, tells whether that happened.
// - CP_UTF8: a character becomes 1 to 4 bytes; a lone surrogate becomes U+FFFD. `lpDefaultChar`
//   and `lpUsedDefaultChar` must be null.
// Fails with 0, leaving the output buffer as it was: ERROR_INVALID_PARAMETER for another code
// page, a null text, a count of 0 or below -1, a negative byte count or a null buffer with a
// nonzero one; ERROR_INVALID_FLAGS for any flag (none is built); ERROR_INSUFFICIENT_BUFFER when
// the result does not fit.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar);

// Converts `cbMultiByte` bytes of `lpMultiByteStr` (-1: up to and with its terminating zero) of
// the device's ANSI code page into `lpWideCharStr`, which holds `cchWideChar` code units; with
// `cchWideChar` 0 only the code units needed are counted. Returns the code units written (or
// needed). Only CP_ACP is built: every byte becomes exactly one code unit, the five bytes
// Windows-1252 leaves undefined the control characters of the same number, so that what
// WideCharToMultiByte writes reads back as it was written.
// Fails with 0, leaving the output buffer as it was: ERROR_INVALID_PARAMETER for another code
// page, null bytes, a count of 0 or below -1, a negative code unit count or a null buffer with
// a nonzero one; ERROR_INVALID_FLAGS for any flag; ERROR_INSUFFICIENT_BUFFER when the result
// does not fit.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar);
