// Carrying a category's rename or deletion into the stored records that carry it, for Edit
// Categories when "Apply Rename and Delete to records" is set.
#pragma once

#include "platform/wintypes.h"

// Gives every record of category `oldName` (exact, case-sensitive) the category `newName` in
// the store, then reloads MainRecordList when any record changed; CategoryRecordsChanged then
// tells the main window to sort and refill its list. A record the store cannot update keeps
// its old category in the list as in the store.
void RenameCategoryInRecords(LPCWSTR oldName, LPCWSTR newName);

// Deletes every stored record of category `name` (exact, case-sensitive), then reloads as
// above. The records do not enter the undo store.
void DeleteCategoryRecords(LPCWSTR name);
