// Text as JSON for the scripted user's events: UTF-8 and UTF-16 in, escaped UTF-8 out.
#include "device/script/json.h"
#include "device/script/script.h"

#include <cstdio>

namespace
{
const char32_t replacement = 0xFFFD;

void AppendUtf8(std::string* out, char32_t c)
{
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (c >> 18));
        *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Reads one character of UTF-8 at `i`, moving past it; a byte that does not start a
// well-formed sequence is taken alone and read as U+FFFD.
char32_t ReadUtf8(const std::string& text, size_t* i)
{
    auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    unsigned char first = byte(*i);
    if (first < 0x80) {
        ++*i;
        return first;
    }
    int length = 0;
    char32_t c = 0, least = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2;
        c = first & 0x1F;
        least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3;
        c = first & 0x0F;
        least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4;
        c = first & 0x07;
        least = 0x10000;
    } else {
        ++*i;
        return replacement;
    }
    if (*i + size_t(length) > text.size()) {
        ++*i;
        return replacement;
    }
    for (int k = 1; k < length; ++k) {
        unsigned char next = byte(*i + size_t(k));
        if ((next & 0xC0) != 0x80) {
            ++*i;
            return replacement;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++*i;
        return replacement;
    }
    *i += size_t(length);
    return c;
}

void AppendEscaped(std::string* out, char32_t c)
{
    switch (c) {
    case '"': *out += "\\\""; break;
    case '\\': *out += "\\\\"; break;
    case '\n': *out += "\\n"; break;
    case '\r': *out += "\\r"; break;
    case '\t': *out += "\\t"; break;
    default:
        if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", unsigned(c));
            *out += escaped;
        } else {
            AppendUtf8(out, c);
        }
    }
}
} // namespace

bool IsUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size()) {
        size_t at = i;
        char32_t c = ReadUtf8(text, &i);
        // A U+FFFD written as its three bytes is text; one read from a single bad byte is not.
        if (c == replacement && i - at != 3)
            return false;
    }
    return true;
}

std::string Utf8Of(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = replacement;
        }
        AppendUtf8(&out, c);
    }
    return out;
}

std::u16string Utf16Of(const std::string& utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = ReadUtf8(utf8, &i);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    size_t i = 0;
    while (i < text.size())
        AppendEscaped(&out, ReadUtf8(text, &i));
    return out + "\"";
}

std::string JsonString(const std::u16string& text)
{
    return JsonString(Utf8Of(text));
}

void JsonObject::Name(const char* name)
{
    if (!body_.empty())
        body_ += ',';
    body_ += JsonString(std::string(name));
    body_ += ':';
}

JsonObject& JsonObject::Raw(const char* name, const std::string& json)
{
    Name(name);
    body_ += json;
    return *this;
}

JsonObject& JsonObject::Text(const char* name, const std::string& utf8)
{
    return Raw(name, JsonString(utf8));
}

JsonObject& JsonObject::Text(const char* name, const std::u16string& text)
{
    return Raw(name, JsonString(text));
}

JsonObject& JsonObject::Number(const char* name, long long value)
{
    return Raw(name, std::to_string(value));
}

JsonObject& JsonObject::Bool(const char* name, bool value)
{
    return Raw(name, value ? "true" : "false");
}

JsonObject& JsonObject::Null(const char* name)
{
    return Raw(name, "null");
}

void JsonArray::Next()
{
    if (!body_.empty())
        body_ += ',';
}

JsonArray& JsonArray::Raw(const std::string& json)
{
    Next();
    body_ += json;
    return *this;
}

JsonArray& JsonArray::Text(const std::u16string& text)
{
    return Raw(JsonString(text));
}

JsonArray& JsonArray::Number(long long value)
{
    return Raw(std::to_string(value));
}
