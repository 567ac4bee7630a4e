// Bitmaps 106 and 128: 16 x 16 pictures drawn as pixel rows, side by side.
//
// Bitmap 106 holds the menu bar's pictures. Its background is the bar's own light face, and the
// bar also takes the colour of each picture's top-left pixel as see-through, so every picture
// starts with a background pixel there. Bitmap 128 holds the record list's pictures on the
// list's white.
#include "resources/data/resource_data.h"
#include "resources/resource_ids.h"

#include <iterator>

namespace
{
const PIXELCOLOR barPalette[] = {
    {'.', 0xEF, 0xEF, 0xEF, 255}, // the bar's face
    {'k', 0x00, 0x00, 0x00, 255}, {'w', 0xFF, 0xFF, 0xFF, 255}, {'s', 0xC0, 0xC0, 0xC0, 255},
    {'g', 0x80, 0x80, 0x80, 255}, {'o', 0xB0, 0x70, 0x30, 255}, {'O', 0x70, 0x44, 0x18, 255},
    {'n', 0x00, 0x20, 0x80, 255}, {'b', 0x20, 0x60, 0xE0, 255}, {'r', 0xD0, 0x00, 0x00, 255},
};

// A hammer, head up and to the left: Edit Categories.
const char* const hammerRows[] = {
    ".......k........", "......kwk.......", ".....kwssk......", "....kwsssgk.....",
    "...kwsssggk.....", "..kwsssggk......", ".kwsssggk.......", "kwsssggoOk......",
    "ksssggkooOk.....", ".ksggk.kooOk....", "..kgk...kooOk...", "...k.....kooOk..",
    "..........kooOk.", "...........kok..", "............k...", "................",
};

// A clock at ten past twelve: Time Report.
const char* const clockRows[] = {
    "................", "....nnnnnnnn....", "...nnnwggwnnn...", "..nnwwwkwwwwnn..",
    ".nnwwwwkwwwwwnn.", ".nnwwwwkwwwwwnn.", ".nwwwwwkwwwwwwn.", ".ngwwwwkrwwwwgn.",
    ".ngwwwwkkkkkwgn.", ".nwwwwwwwwwwwwn.", ".nnwwwwwwwwwwnn.", ".nnwwwwwwwwwwnn.",
    "..nnwwwwwwwwnn..", "...nnnwggwnnn...", "....nnnnnnnn....", "................",
};

// An arrow bending back to the left: Undo Deleting.
const char* const undoRows[] = {
    ".....n..........", "....nbn.........", "..nnbbn.........", ".nbbbbnnnnn.....",
    "nbbbbbbbbbbn....", "nbbbbbbbbbbbn...", ".nbbbbnnnnbbbn..", "..nnbbn...nbbn..",
    "....nbn...nbbn..", ".....n....nbbn..", "..........nbbn..", "........nnbbbn..",
    ".....nnnbbbbn...", "....nbbbbbbn....", "....nbbbnnn.....", ".....nnn........",
};

// Two pages, one behind the other: Export Time records.
const char* const documentsRows[] = {
    ".....kkkkkkk....", ".....kwwwwwkk...", ".....kwwwwwksk..", ".....kwwwwwggkk.",
    ".kkkkkkk...wwwk.", ".kwwwwwkk..ggwk.", ".kwwwwwksk.wwwk.", ".kwwwwwkkkkwwwk.",
    ".kwggggggwkwwwk.", ".kwwwwwwwwkwwwk.", ".kwggggggwkkkkk.", ".kwwwwwwwwk.....",
    ".kwggggggwk.....", ".kwwwwwwwwk.....", ".kwwwwwwwwk.....", ".kkkkkkkkkk.....",
};

const PICTURERESOURCE barPictures[BAR_IMAGE_COUNT] = {
    {PICTURE_PIXELS, PICTURE_PIXELS, hammerRows},
    {PICTURE_PIXELS, PICTURE_PIXELS, clockRows},
    {PICTURE_PIXELS, PICTURE_PIXELS, undoRows},
    {PICTURE_PIXELS, PICTURE_PIXELS, documentsRows},
};

const PIXELCOLOR listPalette[] = {
    {'.', 0xFF, 0xFF, 0xFF, 255}, // the list's white
    {'b', 0x18, 0x48, 0xD8, 255}, {'k', 0x00, 0x00, 0x00, 255}, {'y', 0xFF, 0xEC, 0x80, 255},
    {'R', 0xC0, 0x30, 0x20, 255}, {'g', 0x70, 0x70, 0x70, 255}, {'l', 0x90, 0x90, 0xC8, 255},
    {'d', 0x40, 0x40, 0x40, 255},
};

// A blue triangle pointing up: dates in ascending order.
const char* const ascendingRows[] = {
    "................", "................", "................", "................",
    "................", ".......bb.......", "......bbbb......", ".....bbbbbb.....",
    "....bbbbbbbb....", "...bbbbbbbbbb...", "................", "................",
    "................", "................", "................", "................",
};

// A blue triangle pointing down: dates in descending order.
const char* const descendingRows[] = {
    "................", "................", "................", "................",
    "................", "................", "...bbbbbbbbbb...", "....bbbbbbbb....",
    ".....bbbbbb.....", "......bbbb......", ".......bb.......", "................",
    "................", "................", "................", "................",
};

// A note pad: a record with a memo.
const char* const notePadRows[] = {
    "....g.g..g.g....", "...kgkgkkgkgk...", "...kgRgRRgRgk...", "...kRRRRRRRRk...",
    "...kyyyyyyyyk...", "...kyyyyyyyyk...", "...kyllllllyk...", "...kyyyyyyyyk...",
    "...kyllllllyk...", "...kyyyyyyyyk...", "...kyllllllyk...", "...kyyyyyyyyk...",
    "...kyllllllyk...", "...kyyyyyyyyk...", "...kkkkkkkkkk...", "................",
};

// A short dash: a record without one.
const char* const dashRows[] = {
    "................", "................", "................", "................",
    "................", "................", "................", ".....dddddd.....",
    ".....dddddd.....", "................", "................", "................",
    "................", "................", "................", "................",
};

// Null rows: a blank picture, all white.
const PICTURERESOURCE listPictures[LIST_IMAGE_COUNT] = {
    {PICTURE_PIXELS, PICTURE_PIXELS, ascendingRows},
    {PICTURE_PIXELS, PICTURE_PIXELS, descendingRows},
    {PICTURE_PIXELS, PICTURE_PIXELS, nullptr},
    {PICTURE_PIXELS, PICTURE_PIXELS, notePadRows},
    {PICTURE_PIXELS, PICTURE_PIXELS, dashRows},
    {PICTURE_PIXELS, PICTURE_PIXELS, nullptr},
};
} // namespace

const BITMAPRESOURCE ZentallyBitmaps[ZentallyBitmapCount] = {
    {IDB_MENUBAR_IMAGES, barPalette, std::size(barPalette), barPictures, std::size(barPictures)},
    {IDB_LIST_IMAGES, listPalette, std::size(listPalette), listPictures, std::size(listPictures)},
};
