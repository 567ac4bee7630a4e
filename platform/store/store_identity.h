// What marks a file as this program's store, for the store itself and for the tools that check
// a copy of it before it takes the store's place.
#pragma once

namespace store
{
// The SQLite application id of every store ("ZTLY").
constexpr int StoreApplicationId()
{
    return 0x5A544C59;
}

// The schema version the program writes, and the oldest one it still reads (and upgrades to the
// present one when it opens the store).
constexpr int StoreSchemaVersion()
{
    return 2;
}
constexpr int FirstStoreSchemaVersion()
{
    return 1;
}
} // namespace store
