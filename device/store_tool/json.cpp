#include "device/store_tool/store_tool.h"

#include <cstdio>

namespace
{
void AppendUtf8(std::string* out, char32_t c)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendEscape(std::string* out, unsigned unit)
{
    char escape[8];
    std::snprintf(escape, sizeof(escape), "\\u%04x", unit);
    *out += escape;
}
} // namespace

void AppendJsonText(std::string* out, const char16_t* text, size_t length)
{
    out->push_back('"');
    for (size_t i = 0; i < length; ++i) {
        char16_t c = text[i];
        switch (c) {
        case u'"': *out += "\\\""; continue;
        case u'\\': *out += "\\\\"; continue;
        case u'\b': *out += "\\b"; continue;
        case u'\f': *out += "\\f"; continue;
        case u'\n': *out += "\\n"; continue;
        case u'\r': *out += "\\r"; continue;
        case u'\t': *out += "\\t"; continue;
        default: break;
        }
        if (c < 0x20) {
            AppendEscape(out, c);
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            AppendEscape(out, c);
        } else {
            AppendUtf8(out, c);
        }
    }
    out->push_back('"');
}

void AppendHex(std::string* out, const BYTE* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < count; ++i) {
        out->push_back(digits[bytes[i] >> 4]);
        out->push_back(digits[bytes[i] & 0xF]);
    }
}

std::string HexId(DWORD id)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", id);
    return text;
}
