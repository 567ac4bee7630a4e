#include "app/category_records.h"

#include "app/app_context.h"
#include "model/databases.h"
#include "platform/winuser.h"

// The records change as one change of the store: quick at any number of records, and a failure
// part way leaves every record as it was. The list in memory follows the store, so that the main
// window only sorts and refills it.

void RenameCategoryInRecords(LPCWSTR oldName, LPCWSTR newName)
{
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    App.CategoryRecordsChanged = RenameRecordsCategory(oldName, newName);
    SetCursor(nullptr);
}

void DeleteCategoryRecords(LPCWSTR name)
{
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    App.CategoryRecordsChanged = DeleteRecordsOfCategory(name);
    SetCursor(nullptr);
}
