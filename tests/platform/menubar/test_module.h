// A small module of resources of every kind, for the tests of the resource routines and the
// menu bar: menu 7 with pop-ups File and Edit, menu bar 7 over it, bitmap 3 of two pictures,
// icon 4 at two sizes, a WAVE sound and a dialog template.
#pragma once

#include "platform/resources.h"
#include "platform/shellmenu.h"

#include <iterator>

namespace test_module
{
enum : UINT {
    MENU = 7,
    BITMAP = 3,
    BROKEN_BITMAP = 30,
    ICON = 4,
    DIALOG = 9,
    CMD_OPEN = 100,
    CMD_SAVE = 101,
    CMD_QUIT = 102,
    CMD_COPY = 200,
    CMD_PASTE = 201,
    CMD_NEW = 300,
    FILE_MENU = 1000,
    EDIT_MENU = 1001,
};

inline const MENUITEMRESOURCE fileItems[] = {
    {CMD_OPEN, u"Open...", MF_STRING},
    {CMD_SAVE, u"Save", MF_GRAYED},
    {0, nullptr, MF_SEPARATOR},
    {CMD_QUIT, u"Quit", MF_STRING},
};
inline const MENUITEMRESOURCE editItems[] = {
    {CMD_COPY, u"Copy", MF_CHECKED},
    {CMD_PASTE, u"Paste", MF_STRING},
};
inline const MENURESOURCE fileMenu = {0, fileItems, std::size(fileItems)};
inline const MENURESOURCE editMenu = {0, editItems, std::size(editItems)};
inline const MENUITEMRESOURCE topItems[] = {
    {0, u"File", MF_POPUP, &fileMenu},
    {0, u"Edit", MF_POPUP, &editMenu},
};
inline const MENURESOURCE menus[] = {{MENU, topItems, std::size(topItems)}};

inline const MENUBARBUTTONRESOURCE barButtons[] = {
    {CMD_NEW, u"New", TBSTATE_ENABLED, MENUBAR_NO_POPUP},
    {FILE_MENU, u"File", TBSTATE_ENABLED, 0},
    {EDIT_MENU, u"Edit", TBSTATE_ENABLED, 1},
};
inline const MENUBARRESOURCE menuBars[] = {{MENU, MENU, barButtons, std::size(barButtons)}};

inline const PIXELCOLOR palette[] = {{'.', 255, 255, 255, 0}, {'x', 255, 0, 0, 255}};
inline const char* const crossRows[] = {"x..x", ".xx.", ".xx.", "x..x"};
inline const char* const shortRows[] = {"x..x", ".xx", ".xx.", "x..x"};    // one row too short
inline const char* const strangeRows[] = {"x..x", ".xq.", ".xx.", "x..x"}; // q: not a key
inline const PICTURERESOURCE pictures[] = {{4, 4, crossRows}, {4, 4, nullptr}};
inline const PICTURERESOURCE brokenPictures[] = {{4, 4, crossRows}, {4, 4, shortRows}};
inline const PICTURERESOURCE strangePictures[] = {{4, 4, strangeRows}};
inline const BITMAPRESOURCE bitmaps[] = {
    {BITMAP, palette, std::size(palette), pictures, std::size(pictures)},
    {BROKEN_BITMAP, palette, std::size(palette), brokenPictures, std::size(brokenPictures)},
    {BROKEN_BITMAP + 1, palette, std::size(palette), strangePictures, std::size(strangePictures)},
};

inline const char* const bigRows[] = {"....", ".xx.", ".xx.", "...."};
inline const char* const smallRows[] = {"x.", ".x"};
inline const PICTURERESOURCE iconImages[] = {{4, 4, bigRows}, {2, 2, smallRows}};
inline const ICONRESOURCE icons[] = {
    {ICON, palette, std::size(palette), iconImages, std::size(iconImages)},
    {ICON + 1, palette, std::size(palette), brokenPictures, std::size(brokenPictures)},
};

inline const BYTE dialogBytes[] = {1, 2, 3, 4, 5};
inline const DIALOGRESOURCE dialogs[] = {{DIALOG, dialogBytes, sizeof(dialogBytes)}};

// A WAVE file of 8-bit mono PCM at 8000 samples a second, with 6 bytes of samples.
inline const BYTE tinyWave[] = {
    'R', 'I', 'F', 'F', 42,   0,    0, 0, 'W',  'A',  'V', 'E',             //
    'f', 'm', 't', ' ', 16,   0,    0, 0,                                   //
    1,   0,   1,   0,   0x40, 0x1F, 0, 0, 0x40, 0x1F, 0,   0,   1, 0, 8, 0, //
    'd', 'a', 't', 'a', 6,    0,    0, 0,                                   //
    128, 160, 200, 128, 90,   128,
};
inline const BYTE notAWave[] = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '};
inline const CUSTOMRESOURCE customs[] = {
    {u"WAVE", u"TINY_CHIME", tinyWave, sizeof(tinyWave)},
    {u"WAVE", u"NOT_A_WAVE", notAWave, sizeof(notAWave)},
    {u"WAVE", MAKEINTRESOURCEW(12), tinyWave, sizeof(tinyWave)},
};

inline const RESOURCEMODULE module = {
    .strings = nullptr,
    .stringCount = 0,
    .menus = menus,
    .menuCount = std::size(menus),
    .menuBars = menuBars,
    .menuBarCount = std::size(menuBars),
    .bitmaps = bitmaps,
    .bitmapCount = std::size(bitmaps),
    .icons = icons,
    .iconCount = std::size(icons),
    .dialogs = dialogs,
    .dialogCount = std::size(dialogs),
    .customs = customs,
    .customCount = std::size(customs),
};

inline HINSTANCE Instance()
{
    return RegisterResourceModule(&module);
}
} // namespace test_module
