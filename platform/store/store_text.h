// Names in the store: checked as UTF-16, kept as UTF-8, compared case-folded.
#pragma once

#include "platform/wintypes.h"

#include <string>

namespace store
{
// Characters before the terminator.
size_t TextLength(LPCWSTR text);

// True when every surrogate is half of a pair, so the text survives conversion to UTF-8.
bool IsWholeUtf16(const char16_t* text, size_t length);

std::string ToUtf8(const char16_t* text, size_t length);
std::u16string FromUtf8(const std::string& utf8);

// The full Unicode case folding of the text, as UTF-8: two names are the same name when these
// are equal.
std::string FoldedUtf8(const char16_t* text, size_t length);

// The case folding of UTF-16 text, kept as UTF-16.
std::u16string Folded(const char16_t* text, size_t length);
} // namespace store
