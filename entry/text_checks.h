// Small text routines the dialogs share: trimming typed names and testing their characters.
#pragma once

#include "platform/wintypes.h"

// Copies `source` without its leading and trailing spaces (U+0020 only; tabs stay) to the start
// of `destination`, which may be `source` itself and must hold as many characters. Returns the
// number of characters written, 0 for an empty or all-space source.
int TrimSpaces(LPCWSTR source, LPWSTR destination);
// True when the text is not empty and every character is a letter, a digit or a space. Letters
// and digits of every script count, those outside the basic plane included.
bool IsAlphanumericOrSpace(LPCWSTR text);
// True when the text begins with a letter or a digit; the rest is not examined.
bool StartsAlphanumeric(LPCWSTR text);
// Upper-cases the first character and lower-cases the rest, in place, as a category name is
// stored ("hELLO wORLD" gives "Hello world"). The first character is taken from an upper-cased
// copy of the whole name, so that it is cased as in the name. False, the name unchanged, when
// there is no memory for the copy.
bool CapitalizeName(LPWSTR name);
