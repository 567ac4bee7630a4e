// Heap copies of 16-bit text owned by list nodes. Absent (null) and empty are different texts.
#pragma once

#include "platform/wintypes.h"

// A fresh zero-terminated copy of `text`, or null when `text` is null or memory runs out.
LPWSTR DuplicateText(LPCWSTR text);
// Frees a text made by DuplicateText (null is allowed) and clears the pointer.
void ReleaseText(LPWSTR* text);
// True when the text is null or empty.
bool IsMissingOrEmpty(LPCWSTR text);
