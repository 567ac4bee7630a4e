#include "platform/text.h"

#include <QChar>

#include <climits>

namespace
{

// Writes characters into a bounded buffer, counting what fits.
struct Output {
    LPWSTR buffer;
    int capacity; // characters, without the terminator
    int length = 0;

    void Put(WCHAR c)
    {
        if (length < capacity)
            buffer[length++] = c;
    }
    void Repeat(WCHAR c, int n)
    {
        for (int i = 0; i < n; ++i)
            Put(c);
    }
};

struct Field {
    bool left = false;
    bool zero = false;
    int width = 0;
    int precision = -1;
    bool narrow = false;
};

void PutPadded(Output& out, const Field& field, const WCHAR* digits, int n, bool negative)
{
    int body = n + (negative ? 1 : 0);
    int pad = field.width > body ? field.width - body : 0;
    if (!field.left && !field.zero)
        out.Repeat(u' ', pad);
    if (negative)
        out.Put(u'-');
    if (!field.left && field.zero)
        out.Repeat(u'0', pad);
    for (int i = 0; i < n; ++i)
        out.Put(digits[i]);
    if (field.left)
        out.Repeat(u' ', pad);
}

void PutNumber(Output& out, const Field& field, unsigned long long value, bool negative, int base,
               bool upper)
{
    WCHAR digits[32];
    int n = 0;
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    do {
        digits[n++] = static_cast<WCHAR>(set[value % base]);
        value /= base;
    } while (value);
    int minimum = field.precision > n ? field.precision : n;
    WCHAR ordered[64];
    int k = 0;
    for (int i = n; i < minimum; ++i)
        ordered[k++] = u'0';
    while (n)
        ordered[k++] = digits[--n];
    PutPadded(out, field, ordered, k, negative);
}

template <typename Char> void PutText(Output& out, const Field& field, const Char* text)
{
    static const Char nullText[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
    if (!text)
        text = nullText;
    int n = 0;
    while (text[n] && (field.precision < 0 || n < field.precision))
        ++n;
    int pad = field.width > n ? field.width - n : 0;
    if (!field.left)
        out.Repeat(u' ', pad);
    for (int i = 0; i < n; ++i)
        out.Put(static_cast<WCHAR>(static_cast<std::make_unsigned_t<Char>>(text[i])));
    if (field.left)
        out.Repeat(u' ', pad);
}

int ParseCount(LPCWSTR& p)
{
    int n = 0;
    while (*p >= u'0' && *p <= u'9') {
        if (n < 10000)
            n = n * 10 + (*p - u'0');
        ++p;
    }
    return n;
}

WORD ClassOf(char32_t c)
{
    WORD bits = 0;
    if (c > 0x10FFFF)
        return 0;
    if (c >= 0xD800 && c <= 0xDFFF)
        return 0; // a lone half of a surrogate pair is no character
    if (QChar::isLetter(c)) {
        bits |= 0x0100;
        if (QChar::isUpper(c))
            bits |= _UPPER;
        else if (QChar::isLower(c))
            bits |= _LOWER;
    }
    if (QChar::isDigit(c))
        bits |= _DIGIT;
    if (QChar::isSpace(c))
        bits |= _SPACE;
    if (c == u' ' || c == u'\t')
        bits |= _BLANK;
    if (QChar::isPunct(c) || QChar::isSymbol(c))
        bits |= _PUNCT;
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        bits |= _CONTROL;
    if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))
        bits |= _HEX;
    return bits;
}

} // namespace

int wvnsprintfW(LPWSTR buffer, int bufferMax, LPCWSTR format, va_list args)
{
    if (!buffer || bufferMax <= 0)
        return 0;
    Output out{buffer, bufferMax - 1};
    for (LPCWSTR p = format; p && *p; ++p) {
        if (*p != u'%') {
            out.Put(*p);
            continue;
        }
        ++p;
        if (*p == u'%') {
            out.Put(u'%');
            continue;
        }
        Field field;
        for (;; ++p) {
            if (*p == u'-')
                field.left = true;
            else if (*p == u'0')
                field.zero = true;
            else
                break;
        }
        field.width = ParseCount(p);
        if (*p == u'.') {
            ++p;
            field.precision = ParseCount(p);
        }
        bool isLong = false;
        if (*p == u'l') {
            isLong = true;
            ++p;
        } else if (*p == u'h') {
            field.narrow = true;
            ++p;
        }
        switch (*p) {
        case u'd':
        case u'i': {
            long long v = isLong ? va_arg(args, long) : va_arg(args, int);
            unsigned long long magnitude = v < 0 ? 0ULL - static_cast<unsigned long long>(v)
                                                 : static_cast<unsigned long long>(v);
            PutNumber(out, field, magnitude, v < 0, 10, false);
            break;
        }
        case u'u':
            PutNumber(out, field, isLong ? va_arg(args, unsigned long) : va_arg(args, unsigned),
                      false, 10, false);
            break;
        case u'x':
        case u'X':
            PutNumber(out, field, isLong ? va_arg(args, unsigned long) : va_arg(args, unsigned),
                      false, 16, *p == u'X');
            break;
        case u'c': {
            WCHAR c = static_cast<WCHAR>(va_arg(args, int));
            WCHAR text[2] = {c, 0};
            PutText(out, field, text);
            break;
        }
        case u's':
            if (field.narrow)
                PutText(out, field, va_arg(args, const char*));
            else
                PutText(out, field, va_arg(args, const WCHAR*));
            break;
        case u'S': PutText(out, field, va_arg(args, const char*)); break;
        case 0:
            --p; // a format ending in '%' writes nothing more
            break;
        default:
            out.Put(*p); // an unknown conversion is written as it stands
            break;
        }
    }
    buffer[out.length] = 0;
    return out.length;
}

int wnsprintfW(LPWSTR buffer, int bufferMax, LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int written = wvnsprintfW(buffer, bufferMax, format, args);
    va_end(args);
    return written;
}

int _wtoi(LPCWSTR text)
{
    if (!text)
        return 0;
    while (*text == u' ' || (*text >= u'\t' && *text <= u'\r'))
        ++text;
    bool negative = false;
    if (*text == u'+' || *text == u'-')
        negative = *text++ == u'-';
    long long value = 0;
    while (*text >= u'0' && *text <= u'9') {
        value = value * 10 + (*text++ - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int iswctype(WCHAR c, WORD mask)
{
    return ClassOf(c) & mask;
}
int iswctype(char32_t c, WORD mask)
{
    return ClassOf(c) & mask;
}

int wcscmp(LPCWSTR a, LPCWSTR b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a < *b ? -1 : (*a > *b ? 1 : 0);
}

int lstrlenW(LPCWSTR text)
{
    int n = 0;
    if (text)
        while (text[n])
            ++n;
    return n;
}

namespace
{
template <typename Convert> LPWSTR ConvertCase(LPWSTR text, Convert convert)
{
    if (IS_INTRESOURCE(text)) {
        WCHAR c = static_cast<WCHAR>(reinterpret_cast<uintptr_t>(text));
        return reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(convert(c)));
    }
    for (LPWSTR p = text; *p; ++p)
        *p = convert(*p);
    return text;
}
} // namespace

// Case is converted one 16-bit unit at a time, as the handheld does; a unit whose counterpart
// would take two units keeps its case.
LPWSTR CharUpperW(LPWSTR text)
{
    return ConvertCase(text, [](WCHAR c) { return static_cast<WCHAR>(QChar::toUpper(c)); });
}

LPWSTR CharLowerW(LPWSTR text)
{
    return ConvertCase(text, [](WCHAR c) { return static_cast<WCHAR>(QChar::toLower(c)); });
}
