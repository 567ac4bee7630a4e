// The device's 16-bit text in the byte forms of files read outside the device.
#include "platform/store/store_text.h"
#include "platform/winnls.h"

#include <climits>
#include <cstring>

namespace
{
// The characters of Windows-1252's bytes 0x80 to 0x9F; below and above them the code page is
// Latin-1. The five bytes it leaves undefined carry the control characters of the same number,
// as the device's own table has them.
const char16_t windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The Windows-1252 byte of a code unit; false when the code page has none.
bool Windows1252Byte(char16_t c, char* byte)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        *byte = static_cast<char>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (windows1252High[i] == c) {
            *byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

// Each conversion counts its bytes, and writes them too when `out` is not null.
size_t ToWindows1252(const char16_t* text, size_t length, char* out, char defaultChar,
                     bool* usedDefault)
{
    for (size_t i = 0; i < length; ++i) {
        char byte;
        if (!Windows1252Byte(text[i], &byte)) {
            byte = defaultChar;
            *usedDefault = true;
        }
        if (out)
            out[i] = byte;
    }
    return length;
}

size_t ToUtf8(const char16_t* text, size_t length, char* out)
{
    size_t size = 0;
    auto put = [&](uint32_t byte) {
        if (out)
            out[size] = static_cast<char>(byte);
        ++size;
    };
    for (size_t i = 0; i < length; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            put(c);
        } else if (c < 0x800) {
            put(0xC0 | c >> 6);
            put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | c >> 12);
            put(0x80 | (c >> 6 & 0x3F));
            put(0x80 | (c & 0x3F));
        } else {
            put(0xF0 | c >> 18);
            put(0x80 | (c >> 12 & 0x3F));
            put(0x80 | (c >> 6 & 0x3F));
            put(0x80 | (c & 0x3F));
        }
    }
    return size;
}

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}
} // namespace

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar)
{
    if ((CodePage != CP_ACP && CodePage != CP_UTF8) || !lpWideCharStr || cchWideChar == 0 ||
        cchWideChar < -1 || cbMultiByte < 0 || (cbMultiByte > 0 && !lpMultiByteStr))
        return Fail(ERROR_INVALID_PARAMETER);
    if (CodePage == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar))
        return Fail(ERROR_INVALID_PARAMETER);
    if (dwFlags)
        return Fail(ERROR_INVALID_FLAGS);

    size_t length = cchWideChar == -1 ? store::TextLength(lpWideCharStr) + 1 : cchWideChar;
    char defaultChar = lpDefaultChar ? lpDefaultChar[0] : '?';
    bool usedDefault = false;
    auto convert = [&](char* out) {
        return CodePage == CP_UTF8
                   ? ToUtf8(lpWideCharStr, length, out)
                   : ToWindows1252(lpWideCharStr, length, out, defaultChar, &usedDefault);
    };
    size_t size = convert(nullptr);
    if (size > INT_MAX || (cbMultiByte > 0 && size > static_cast<size_t>(cbMultiByte)))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (cbMultiByte > 0)
        convert(lpMultiByteStr);
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = usedDefault;
    return static_cast<int>(size);
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar)
{
    if (CodePage != CP_ACP || !lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 ||
        cchWideChar < 0 || (cchWideChar > 0 && !lpWideCharStr))
        return Fail(ERROR_INVALID_PARAMETER);
    if (dwFlags)
        return Fail(ERROR_INVALID_FLAGS);
    size_t length = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : cbMultiByte;
    if (length > INT_MAX)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (cchWideChar == 0)
        return static_cast<int>(length);
    if (length > static_cast<size_t>(cchWideChar))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    for (size_t i = 0; i < length; ++i) {
        auto byte = static_cast<unsigned char>(lpMultiByteStr[i]);
        lpWideCharStr[i] = byte >= 0x80 && byte < 0xA0 ? windows1252High[byte - 0x80] : byte;
    }
    return static_cast<int>(length);
}
