#include "platform/store/store_text.h"

#include <QString>

namespace store
{
size_t TextLength(LPCWSTR text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

bool IsWholeUtf16(const char16_t* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == length || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

std::string ToUtf8(const char16_t* text, size_t length)
{
    return QString::fromUtf16(text, static_cast<qsizetype>(length)).toStdString();
}

std::u16string FromUtf8(const std::string& utf8)
{
    return QString::fromStdString(utf8).toStdU16String();
}

std::string FoldedUtf8(const char16_t* text, size_t length)
{
    return QString::fromUtf16(text, static_cast<qsizetype>(length)).toCaseFolded().toStdString();
}

std::u16string Folded(const char16_t* text, size_t length)
{
    return QString::fromUtf16(text, static_cast<qsizetype>(length)).toCaseFolded().toStdU16String();
}
} // namespace store
