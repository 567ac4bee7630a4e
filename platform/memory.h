// Local memory: zero-filled or plain blocks that remember their size, so that a block handed
// across an interface (a record read buffer, a message text) can be grown or measured later.
#pragma once

#include "platform/wintypes.h"

#define LMEM_FIXED 0x0000
#define LMEM_MOVEABLE 0x0002
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

HLOCAL LocalAlloc(UINT flags, size_t bytes);
HLOCAL LocalReAlloc(HLOCAL block, size_t bytes, UINT flags);
HLOCAL LocalFree(HLOCAL block);
size_t LocalSize(HLOCAL block);
