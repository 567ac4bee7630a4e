#include "platform/memory.h"

#include <cstdlib>
#include <cstring>

// Each block is preceded by a header holding its size; the header keeps the block aligned for
// any type.
namespace
{
struct alignas(std::max_align_t) BlockHeader {
    size_t bytes;
};

BlockHeader* HeaderOf(HLOCAL block)
{
    return static_cast<BlockHeader*>(block) - 1;
}
} // namespace

HLOCAL LocalAlloc(UINT flags, size_t bytes)
{
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
    if (!header) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    header->bytes = bytes;
    if (flags & LMEM_ZEROINIT)
        std::memset(header + 1, 0, bytes);
    return header + 1;
}

HLOCAL LocalReAlloc(HLOCAL block, size_t bytes, UINT flags)
{
    if (!block)
        return LocalAlloc(flags, bytes);
    size_t old = HeaderOf(block)->bytes;
    auto* header =
        static_cast<BlockHeader*>(std::realloc(HeaderOf(block), sizeof(BlockHeader) + bytes));
    if (!header) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    header->bytes = bytes;
    if ((flags & LMEM_ZEROINIT) && bytes > old)
        std::memset(reinterpret_cast<BYTE*>(header + 1) + old, 0, bytes - old);
    return header + 1;
}

HLOCAL LocalFree(HLOCAL block)
{
    if (block)
        std::free(HeaderOf(block));
    return nullptr;
}

size_t LocalSize(HLOCAL block)
{
    return block ? HeaderOf(block)->bytes : 0;
}
