#include "entry/text_checks.h"

#include "platform/memory.h"
#include "platform/text.h"

#include <algorithm>
#include <cstring>

namespace
{
const WORD letterOrDigit = _ALPHA | _DIGIT;

// The code point at text[*at], a surrogate pair joined; *at moves past it.
char32_t NextCodePoint(LPCWSTR text, int* at)
{
    char32_t c = text[(*at)++];
    if (c >= 0xD800 && c <= 0xDBFF && text[*at] >= 0xDC00 && text[*at] <= 0xDFFF)
        c = 0x10000 + ((c - 0xD800) << 10) + (text[(*at)++] - 0xDC00);
    return c;
}
} // namespace

int TrimSpaces(LPCWSTR source, LPWSTR destination)
{
    int length = lstrlenW(source);
    int first = 0;
    while (first < length && source[first] == u' ')
        ++first;
    int last = length;
    while (last > first && source[last - 1] == u' ')
        --last;
    int count = last - first;
    std::copy(source + first, source + last, destination);
    destination[count] = 0;
    return count;
}

bool IsAlphanumericOrSpace(LPCWSTR text)
{
    if (!text || !text[0])
        return false;
    for (int at = 0; text[at];) {
        char32_t c = NextCodePoint(text, &at);
        if (c != U' ' && !iswctype(c, letterOrDigit))
            return false;
    }
    return true;
}

bool StartsAlphanumeric(LPCWSTR text)
{
    if (!text || !text[0])
        return false;
    int at = 0;
    return iswctype(NextCodePoint(text, &at), letterOrDigit) != 0;
}

bool CapitalizeName(LPWSTR name)
{
    size_t size = (static_cast<size_t>(lstrlenW(name)) + 1) * sizeof(WCHAR);
    auto upper = static_cast<LPWSTR>(LocalAlloc(LMEM_FIXED, size));
    if (!upper)
        return false;
    std::memcpy(upper, name, size);
    CharUpperW(upper);
    CharLowerW(name);
    name[0] = upper[0];
    LocalFree(upper);
    return true;
}
