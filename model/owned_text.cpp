#include "model/owned_text.h"

#include "platform/memory.h"
#include "platform/text.h"

#include <algorithm>

LPWSTR DuplicateText(LPCWSTR text)
{
    if (!text)
        return nullptr;
    size_t length = static_cast<size_t>(lstrlenW(text));
    auto* copy = static_cast<LPWSTR>(LocalAlloc(LMEM_FIXED, (length + 1) * sizeof(WCHAR)));
    if (!copy)
        return nullptr;
    std::copy(text, text + length + 1, copy);
    return copy;
}

void ReleaseText(LPWSTR* text)
{
    if (*text)
        LocalFree(*text);
    *text = nullptr;
}

bool IsMissingOrEmpty(LPCWSTR text)
{
    return !text || !text[0];
}
