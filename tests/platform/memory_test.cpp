#include "platform/memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{
// Sizes on both sides of every boundary the blocks have: empty, the smallest slots, the
// largest small block and the first large one.
const size_t sizes[] = {0, 1, 7, 8, 9, 16, 22, 100, 247, 248, 249, 256, 4096, 70000};

void Fill(HLOCAL block, size_t bytes, BYTE seed)
{
    for (size_t i = 0; i < bytes; ++i)
        static_cast<BYTE*>(block)[i] = static_cast<BYTE>(seed + i);
}

bool Holds(HLOCAL block, size_t bytes, BYTE seed)
{
    for (size_t i = 0; i < bytes; ++i) {
        if (static_cast<BYTE*>(block)[i] != static_cast<BYTE>(seed + i))
            return false;
    }
    return true;
}
} // namespace

TEST(LocalMemory, BlocksOfEverySizeKeepTheirSizeTheirBytesAndZeroFill)
{
    for (size_t bytes : sizes) {
        SCOPED_TRACE(bytes);
        HLOCAL zeroed = LocalAlloc(LPTR, bytes);
        ASSERT_NE(zeroed, nullptr);
        // A block may be larger than asked for, never smaller; a large one is exactly its size.
        EXPECT_GE(LocalSize(zeroed), bytes);
        EXPECT_LE(LocalSize(zeroed), std::max<size_t>(bytes, 8) + 7);
        if (bytes > 248) {
            EXPECT_EQ(LocalSize(zeroed), bytes);
        }
        EXPECT_EQ(reinterpret_cast<uintptr_t>(zeroed) % 8, 0u);
        EXPECT_TRUE(std::all_of(static_cast<BYTE*>(zeroed), static_cast<BYTE*>(zeroed) + bytes,
                                [](BYTE b) { return b == 0; }));
        Fill(zeroed, bytes, 3);
        HLOCAL plain = LocalAlloc(LMEM_FIXED, bytes);
        Fill(plain, bytes, 9);
        EXPECT_TRUE(Holds(zeroed, bytes, 3));
        EXPECT_EQ(LocalFree(zeroed), nullptr);
        EXPECT_EQ(LocalFree(plain), nullptr);
    }
    EXPECT_EQ(LocalSize(nullptr), 0u);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(LocalMemory, GrowingOrShrinkingKeepsTheBytesAndZeroFillsOnlyTheGrowth)
{
    for (size_t from : sizes) {
        for (size_t to : sizes) {
            SCOPED_TRACE(testing::Message() << from << " to " << to);
            HLOCAL block = LocalAlloc(LMEM_FIXED, from);
            Fill(block, from, 5);
            size_t had = LocalSize(block);
            HLOCAL moved = LocalReAlloc(block, to, LMEM_MOVEABLE | LMEM_ZEROINIT);
            ASSERT_NE(moved, nullptr);
            EXPECT_GE(LocalSize(moved), to);
            EXPECT_TRUE(Holds(moved, std::min(from, to), 5));
            // What the block grew by, beyond all it was, is zero.
            for (size_t i = had; i < to; ++i)
                ASSERT_EQ(static_cast<BYTE*>(moved)[i], 0) << i;
            LocalFree(moved);
        }
    }
}

TEST(LocalMemory, FreedBlocksAreReusedWithoutDisturbingTheLiveOnes)
{
    // Blocks freed in any order and taken again, while others of the same size stay: no live
    // block's bytes change and no two live blocks share memory.
    std::vector<HLOCAL> live;
    for (int i = 0; i < 3000; ++i) {
        size_t bytes = sizes[i % std::size(sizes)] % 300;
        live.push_back(LocalAlloc(LMEM_FIXED, bytes));
        Fill(live.back(), bytes, static_cast<BYTE>(i));
    }
    for (size_t i = 0; i < live.size(); i += 3) {
        LocalFree(live[i]);
        live[i] = nullptr;
    }
    for (size_t i = 0; i < live.size(); i += 3) {
        size_t bytes = sizes[i % std::size(sizes)] % 300;
        live[i] = LocalAlloc(LMEM_FIXED, bytes);
        Fill(live[i], bytes, static_cast<BYTE>(i + 1));
    }
    for (size_t i = 0; i < live.size(); ++i) {
        size_t bytes = sizes[i % std::size(sizes)] % 300;
        EXPECT_GE(LocalSize(live[i]), bytes);
        EXPECT_TRUE(Holds(live[i], bytes, static_cast<BYTE>(i % 3 == 0 ? i + 1 : i))) << i;
        LocalFree(live[i]);
    }
}

TEST(LocalMemory, AnImpossibleSizeFailsWithNotEnoughMemory)
{
    SetLastError(0);
    EXPECT_EQ(LocalAlloc(LMEM_FIXED, SIZE_MAX - 4), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    HLOCAL block = LocalAlloc(LMEM_FIXED, 300);
    Fill(block, 300, 1);
    EXPECT_EQ(LocalReAlloc(block, SIZE_MAX - 4, LMEM_MOVEABLE), nullptr);
    EXPECT_TRUE(Holds(block, 300, 1));
    LocalFree(block);
}
