// Icon 101, the program's icon: a stopwatch with its crown and side button, at 32 x 32 and
// 16 x 16, on a clear background.
#include "resources/data/resource_data.h"
#include "resources/resource_ids.h"

#include <iterator>

namespace
{
const PIXELCOLOR iconPalette[] = {
    {'.', 0x00, 0x00, 0x00, 0}, // clear
    {'w', 0xFF, 0xFF, 0xFF, 255}, {'n', 0x00, 0x30, 0x98, 255}, {'k', 0x10, 0x10, 0x10, 255},
    {'g', 0x90, 0x90, 0x90, 255}, {'r', 0xD0, 0x10, 0x10, 255},
};

// 32 x 32.
const char* const largeRows[] = {
    "............kkkkkkkk............", "............kggggggk............",
    "............kggggggk............", "...............kk...............",
    "...............kk...............", "............nnnnnnnn............",
    "..........nnnnnnnnnnnn...kkk....", "........nnnnnnwwwwnnnnnnkkkk....",
    ".......nnnnwwwwwkwwwwnnkkkk.....", "......nnnnwgwwwkkwwwgwnkkk......",
    "......nnwwwwwwwkkwwwwwwwnn......", ".....nnnwwwwwwwkkwwwwwwwnnn.....",
    ".....nnwwwwwwwwkkwwwwwwwwnn.....", "....nnnwgwwwwwwkkwwwwwwgwnnn....",
    "....nnwwwwwkkwwkkwwwwwwwwwnn....", "....nnwwwwwkkkkkkwwwwwwwwwnn....",
    "....nnwwwwwwkkkkkwwwwwwwwwnn....", "...nnnkwkwwwwwkkkwwwwwwkwknnn...",
    "....nnwwwwwwwwwwrrwwwwwwwwnn....", "....nnwwwwwwwwwwwrrwwwwwwwnn....",
    "....nnwwwwwwwwwwwwrrrwwwwwnn....", "....nnnwgwwwwwwwwwwwrrwgwnnn....",
    ".....nnwwwwwwwwwwwwwwrrwwnn.....", ".....nnnwwwwwwwwwwwwwwwwnnn.....",
    "......nnwwwwwwwwwwwwwwwwnn......", "......nnnnwgwwwwkwwwgwnnnn......",
    ".......nnnnwwwwwkwwwwnnnn.......", "........nnnnnnwwwwnnnnnn........",
    "..........nnnnnnnnnnnn..........", "............nnnnnnnn............",
    "................................", "................................",
};

// 16 x 16.
const char* const smallRows[] = {
    "......kkkk......", ".......kk.......", ".......kk.......", ".....nnnnnn.kk..",
    "...nnwwkkwwkk...", "...nwwwkkwwwn...", "..nwwwwkkwwwwn..", "..nwwwwkkwwwwn..",
    "..nwwwwkrwwwwn..", "..nwwwwwrrwwwn..", "..nwwwwwwwrrwn..", "..nnwwwwwwwwnn..",
    "...nnwwwwwwnn...", "....nnwwwwnn....", "......nnnn......", "................",
};

const PICTURERESOURCE iconImages[] = {
    {32, 32, largeRows},
    {16, 16, smallRows},
};
} // namespace

const ICONRESOURCE ZentallyIcons[ZentallyIconCount] = {
    {IDI_ZENTALLY, iconPalette, std::size(iconPalette), iconImages, std::size(iconImages)},
};
