#include "platform/memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// Blocks come in two kinds, told apart by the word just before the block.
//
// Small blocks (up to smallMost bytes) are what the program makes by the hundred thousand: one
// text of a record each. They are slots of a few fixed sizes carved from large chunks, with an
// 8-byte header (the kind, the slot's size class and the block's size), and a freed slot goes
// on its size's free list for the next block of that size. Taking and freeing one is a few
// instructions, costs no search or merging of free space, and the header is half the usual
// one, which at 100,000 records is megabytes. Chunks are kept for the process's lifetime.
//
// Large blocks come from the C heap with a 16-byte header holding their size.
//
// Small blocks are aligned to 8 bytes, which every type a small block holds needs at most;
// large ones are aligned for any type. The memory functions serve the program's one thread.
//
// A sanitizer build makes every block a large one, so that the sanitizer sees each block's own
// life and catches a use after free or an overrun.
namespace
{
#if defined(__SANITIZE_ADDRESS__)
const bool pooled = false;
#else
const bool pooled = true;
#endif
const size_t smallMost = 248;
const size_t slotStep = 8;
const size_t classCount = (smallMost + 8) / slotStep + 1;
const size_t chunkBytes = 64 * 1024;

const uint64_t smallKind = uint64_t(1) << 63;
const uint64_t largeKind = 0;

struct alignas(16) LargeHeader {
    size_t bytes;
    uint64_t kind;
};

struct FreeSlot {
    FreeSlot* next;
};

// Per size class: the free slots, and the unused end of the chunk being carved.
struct SlotClass {
    FreeSlot* freeSlots = nullptr;
    char* carve = nullptr;
    char* carveEnd = nullptr;
};

SlotClass classes[classCount];

uint64_t& KindOf(HLOCAL block)
{
    return static_cast<uint64_t*>(block)[-1];
}

size_t SlotClassOf(size_t bytes)
{
    return (bytes + sizeof(uint64_t) + slotStep - 1) / slotStep;
}

void* TakeSlot(size_t slotClass)
{
    SlotClass& sizes = classes[slotClass];
    if (sizes.freeSlots) {
        FreeSlot* slot = sizes.freeSlots;
        sizes.freeSlots = slot->next;
        return slot;
    }
    size_t slotBytes = slotClass * slotStep;
    if (size_t(sizes.carveEnd - sizes.carve) < slotBytes) {
        auto* chunk = static_cast<char*>(std::malloc(chunkBytes));
        if (!chunk)
            return nullptr;
        sizes.carve = chunk;
        sizes.carveEnd = chunk + chunkBytes;
    }
    void* slot = sizes.carve;
    sizes.carve += slotBytes;
    return slot;
}

HLOCAL SmallAlloc(size_t bytes)
{
    size_t slotClass = SlotClassOf(bytes);
    auto* slot = static_cast<uint64_t*>(TakeSlot(slotClass));
    if (!slot)
        return nullptr;
    *slot = smallKind | uint64_t(slotClass) << 32 | bytes;
    return slot + 1;
}

HLOCAL LargeAlloc(size_t bytes)
{
    if (bytes > SIZE_MAX - sizeof(LargeHeader))
        return nullptr;
    auto* header = static_cast<LargeHeader*>(std::malloc(sizeof(LargeHeader) + bytes));
    if (!header)
        return nullptr;
    header->bytes = bytes;
    header->kind = largeKind;
    return header + 1;
}

bool IsSmall(HLOCAL block)
{
    return KindOf(block) & smallKind;
}

LargeHeader* LargeHeaderOf(HLOCAL block)
{
    return static_cast<LargeHeader*>(block) - 1;
}
} // namespace

HLOCAL LocalAlloc(UINT flags, size_t bytes)
{
    HLOCAL block = pooled && bytes <= smallMost ? SmallAlloc(bytes) : LargeAlloc(bytes);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (flags & LMEM_ZEROINIT)
        std::memset(block, 0, bytes);
    return block;
}

HLOCAL LocalReAlloc(HLOCAL block, size_t bytes, UINT flags)
{
    if (!block)
        return LocalAlloc(flags, bytes);
    size_t old = LocalSize(block);
    if (IsSmall(block) || (pooled && bytes <= smallMost)) {
        // Between the two kinds, or between slot sizes: a new block, then the old one freed.
        HLOCAL grown = LocalAlloc(flags & ~UINT(LMEM_ZEROINIT), bytes);
        if (!grown)
            return nullptr;
        std::memcpy(grown, block, old < bytes ? old : bytes);
        LocalFree(block);
        block = grown;
    } else {
        if (bytes > SIZE_MAX - sizeof(LargeHeader)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        auto* header = static_cast<LargeHeader*>(
            std::realloc(LargeHeaderOf(block), sizeof(LargeHeader) + bytes));
        if (!header) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        header->bytes = bytes;
        block = header + 1;
    }
    if ((flags & LMEM_ZEROINIT) && bytes > old)
        std::memset(static_cast<BYTE*>(block) + old, 0, bytes - old);
    return block;
}

HLOCAL LocalFree(HLOCAL block)
{
    if (!block)
        return nullptr;
    if (!IsSmall(block)) {
        std::free(LargeHeaderOf(block));
        return nullptr;
    }
    size_t slotClass = (KindOf(block) >> 32) & 0xFF;
    auto* slot = reinterpret_cast<FreeSlot*>(&KindOf(block));
    slot->next = classes[slotClass].freeSlots;
    classes[slotClass].freeSlots = slot;
    return nullptr;
}

size_t LocalSize(HLOCAL block)
{
    if (!block)
        return 0;
    return IsSmall(block) ? size_t(KindOf(block) & 0xFFFFFFFFu) : LargeHeaderOf(block)->bytes;
}
