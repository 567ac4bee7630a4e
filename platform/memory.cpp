#include "platform/memory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// Blocks come in two kinds.
//
// Small blocks (up to smallMost bytes) are what the program makes by the hundred thousand: one
// text of a record each. They are slots of fixed sizes, 8 bytes apart, with no header at all:
// a slot lies in a chunk of slots of one size, and the chunk's first bytes name that size.
// Chunks are carved from regions mapped for small blocks only, aligned to their size, so that a
// block's address tells whether it is small (its region is one of them) and where its chunk
// starts. A freed slot goes on its size's free list for the next block of that size: taking
// and freeing one is a few instructions, with no search or merging of free space. A small
// block's size is its slot's (LocalSize may say more than was asked for, as it may for any
// local block). Regions are kept for the process's lifetime.
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
const size_t classCount = smallMost / slotStep + 1;
const size_t chunkBytes = 64 * 1024;
const size_t regionBytes = 4 * 1024 * 1024;
const size_t chunkHeaderBytes = 16;

struct alignas(16) LargeHeader {
    size_t bytes;
};

struct ChunkHeader {
    size_t slotClass;
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

// The regions' starts, in order, and the unused end of the newest.
std::vector<uintptr_t> regions;
char* nextChunk = nullptr;
char* regionEnd = nullptr;

// A region of regionBytes aligned to regionBytes: twice that is mapped and the ends around the
// aligned middle given back. Untouched pages of a region cost no memory.
char* MapRegion()
{
    void* mapped =
        mmap(nullptr, 2 * regionBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
    uintptr_t aligned = (start + regionBytes - 1) & ~uintptr_t(regionBytes - 1);
    if (aligned > start)
        munmap(mapped, aligned - start);
    uintptr_t end = start + 2 * regionBytes;
    if (end > aligned + regionBytes)
        munmap(reinterpret_cast<void*>(aligned + regionBytes), end - aligned - regionBytes);
    regions.insert(std::upper_bound(regions.begin(), regions.end(), aligned), aligned);
    return reinterpret_cast<char*>(aligned);
}

char* NewChunk(size_t slotClass)
{
    if (nextChunk == regionEnd) {
        nextChunk = MapRegion();
        if (!nextChunk) {
            regionEnd = nullptr;
            return nullptr;
        }
        regionEnd = nextChunk + regionBytes;
    }
    char* chunk = nextChunk;
    nextChunk += chunkBytes;
    reinterpret_cast<ChunkHeader*>(chunk)->slotClass = slotClass;
    return chunk;
}

bool IsSmall(HLOCAL block)
{
    uintptr_t region = reinterpret_cast<uintptr_t>(block) & ~uintptr_t(regionBytes - 1);
    return std::binary_search(regions.begin(), regions.end(), region);
}

size_t SlotClassOfBlock(HLOCAL block)
{
    uintptr_t chunk = reinterpret_cast<uintptr_t>(block) & ~uintptr_t(chunkBytes - 1);
    return reinterpret_cast<const ChunkHeader*>(chunk)->slotClass;
}

HLOCAL SmallAlloc(size_t bytes)
{
    // An empty block still takes a slot of its own, as it must be told from every other.
    size_t slotClass = std::max<size_t>(1, (bytes + slotStep - 1) / slotStep);
    SlotClass& sizes = classes[slotClass];
    if (sizes.freeSlots) {
        FreeSlot* slot = sizes.freeSlots;
        sizes.freeSlots = slot->next;
        return slot;
    }
    size_t slotBytes = slotClass * slotStep;
    if (size_t(sizes.carveEnd - sizes.carve) < slotBytes) {
        char* chunk = NewChunk(slotClass);
        if (!chunk)
            return nullptr;
        sizes.carve = chunk + chunkHeaderBytes;
        sizes.carveEnd = chunk + chunkBytes;
    }
    void* slot = sizes.carve;
    sizes.carve += slotBytes;
    return slot;
}

HLOCAL LargeAlloc(size_t bytes)
{
    if (bytes > SIZE_MAX - sizeof(LargeHeader))
        return nullptr;
    auto* header = static_cast<LargeHeader*>(std::malloc(sizeof(LargeHeader) + bytes));
    if (!header)
        return nullptr;
    header->bytes = bytes;
    return header + 1;
}

LargeHeader* LargeHeaderOf(HLOCAL block)
{
    return static_cast<LargeHeader*>(block) - 1;
}
} // namespace

HLOCAL LocalAlloc(UINT flags, size_t bytes)
{
    bool small = pooled && bytes <= smallMost;
    HLOCAL block = small ? SmallAlloc(bytes) : LargeAlloc(bytes);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (flags & LMEM_ZEROINIT)
        std::memset(block, 0, small ? LocalSize(block) : bytes);
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
        std::memcpy(grown, block, std::min(old, bytes));
        LocalFree(block);
        block = grown;
        bytes = LocalSize(block);
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
    SlotClass& sizes = classes[SlotClassOfBlock(block)];
    auto* slot = static_cast<FreeSlot*>(block);
    slot->next = sizes.freeSlots;
    sizes.freeSlots = slot;
    return nullptr;
}

size_t LocalSize(HLOCAL block)
{
    if (!block)
        return 0;
    if (IsSmall(block))
        return SlotClassOfBlock(block) * slotStep;
    return LargeHeaderOf(block)->bytes;
}
