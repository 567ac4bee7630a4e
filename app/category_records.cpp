#include "app/category_records.h"

#include "app/app_context.h"
#include "entry/record_format.h"
#include "model/databases.h"
#include "model/storage_messages.h"
#include "platform/store_batch.h"
#include "platform/text.h"
#include "platform/winuser.h"
#include "resources/strings.h"

namespace
{
bool HasCategory(const RecordNode* record, LPCWSTR name)
{
    return record->category && wcscmp(record->category, name) == 0;
}

// The records are rewritten as one change of the store: quick at any number of records, and a
// failure part way leaves every record as it was. When the change cannot be kept the user is
// told, and the reload shows what the store really holds.
void BeginRewrite()
{
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    App.CategoryRecordsChanged = FALSE;
    BeginStoreBatch();
}

void EndRewrite()
{
    if (!EndStoreBatch(TRUE) && App.CategoryRecordsChanged)
        ShowStorageMessage(IDS_ERROR_EDITING_DATABASE, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Keep, Beep::None);
    if (App.CategoryRecordsChanged)
        LoadRecords();
    SetCursor(nullptr);
}
} // namespace

void RenameCategoryInRecords(LPCWSTR oldName, LPCWSTR newName)
{
    BeginRewrite();
    for (RecordNode* record = First(App.MainRecordList); record; record = record->next) {
        if (!HasCategory(record, oldName))
            continue;
        SetRecordCategory(record, newName);
        if (UpdateRecord(record))
            App.CategoryRecordsChanged = TRUE;
        else
            SetRecordCategory(record, oldName);
    }
    EndRewrite();
}

void DeleteCategoryRecords(LPCWSTR name)
{
    BeginRewrite();
    for (RecordNode* record = First(App.MainRecordList); record; record = record->next)
        if (HasCategory(record, name) && DeleteRecord(record))
            App.CategoryRecordsChanged = TRUE;
    EndRewrite();
}
