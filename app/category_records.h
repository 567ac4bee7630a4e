// Carrying a category's rename or deletion into the stored records that carry it, for Edit
// Categories when "Apply Rename and Delete to records" is set.
#pragma once

#include "platform/wintypes.h"

// Gives every record of category `oldName` (exact, case-sensitive) the category `newName` in
// the store and in MainRecordList, all or none; CategoryRecordsChanged then tells the main
// window to sort and refill its list. A failure is told once, and leaves every record as it was.
void RenameCategoryInRecords(LPCWSTR oldName, LPCWSTR newName);

// Deletes every stored record of category `name` (exact, case-sensitive) and its node, as
// above. The records do not enter the undo store.
void DeleteCategoryRecords(LPCWSTR name);
