// The program's resource tables as a module of their own, without the string table.
#pragma once

#include "resources/data/resource_data.h"

inline HINSTANCE DataModule()
{
    static const RESOURCEMODULE module = {
        .strings = nullptr,
        .stringCount = 0,
        .menus = ZentallyMenus,
        .menuCount = ZentallyMenuCount,
        .menuBars = ZentallyMenuBars,
        .menuBarCount = ZentallyMenuBarCount,
        .bitmaps = ZentallyBitmaps,
        .bitmapCount = ZentallyBitmapCount,
        .icons = ZentallyIcons,
        .iconCount = ZentallyIconCount,
        .customs = ZentallyCustoms,
        .customCount = ZentallyCustomCount,
    };
    return RegisterResourceModule(&module);
}
