// Opening the databases at start, and the categories database: read once at start, rewritten
// whole after every category change.
#include "app/app_context.h"
#include "model/databases.h"
#include "model/storage_messages.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/store_batch.h"
#include "resources/strings.h"

namespace
{
const LPCWSTR defaultCategories[] = {u"Job", u"Reading", u"Sport"};

// The object store takes names as writable text.
WCHAR recordsName[] = RECORDS_DATABASE_NAME;
WCHAR categoriesName[] = CATEGORIES_DATABASE_NAME;

HANDLE OpenByName(LPWSTR name, CEOID* oid)
{
    *oid = 0;
    return CeOpenDatabase(oid, name, PROP_RECORD_KEY, CEDB_AUTOINCREMENT, nullptr);
}

void InsertName(LPCWSTR name)
{
    CategoryNode scratch;
    InitNode(&scratch);
    if (SetName(&scratch, name))
        Insert(App.MainCategoryList, &scratch);
    FreeName(&scratch);
}

void InsertDefaultCategories()
{
    for (LPCWSTR name : defaultCategories)
        InsertName(name);
}

void CloseCategories()
{
    if (App.Databases.categories && App.Databases.categories != INVALID_HANDLE_VALUE)
        CloseHandle(App.Databases.categories);
    App.Databases.categories = 0;
}

bool RecordCountOf(CEOID oid, DWORD* count)
{
    CEOIDINFO info;
    if (!CeOidGetInfo(oid, &info) || info.wObjType != OBJTYPE_DATABASE)
        return false;
    *count = info.infDatabase.wNumRecords;
    return true;
}

SORTORDERSPEC keyOrder = {PROP_RECORD_KEY, 0};

// Reads the first category record, whose identifier marks where reading starts.
bool ReadFirstCategoryRecord()
{
    DWORD size = 1024;
    LPBYTE buffer = static_cast<LPBYTE>(LocalAlloc(LPTR, size));
    if (!buffer)
        return false;
    WORD count = 0;
    App.Databases.firstCategoryOid = CeReadRecordProps(App.Databases.categories, CEDB_ALLOWREALLOC,
                                                       &count, nullptr, &buffer, &size);
    LocalFree(buffer);
    return App.Databases.firstCategoryOid != 0;
}
} // namespace

BOOL OpenDatabases()
{
    DatabaseState& db = App.Databases;
    db.firstCategoryOid = 0;
    db.categories = OpenByName(categoriesName, &db.categoriesOid);
    if (db.categories == INVALID_HANDLE_VALUE) {
        InsertDefaultCategories();
        db.categories = 0;
        db.categoriesOid = 0;
    } else {
        DWORD count;
        if (!RecordCountOf(db.categoriesOid, &count)) {
            ShowStorageMessage(IDS_ERROR_BUILDING_DATABASE, nullptr, MB_ICONHAND, Cursor::Remove,
                               Beep::Default);
            CloseCategories();
            return FALSE;
        }
        if (count == 0) {
            InsertDefaultCategories();
            CloseCategories();
            db.categoriesOid = 0;
        } else {
            if (!ReadFirstCategoryRecord()) {
                SetCursor(nullptr);
                CloseCategories();
                return FALSE;
            }
            if (!LoadCategories()) {
                ShowStorageMessage(IDS_ERROR_BUILDING_DATABASE, CATEGORIES_DATABASE_NAME,
                                   MB_ICONEXCLAMATION, Cursor::Remove, Beep::None);
                CloseCategories();
                return FALSE;
            }
            // Records of which none holds a usable name give nothing to choose from: the
            // database counts as empty, and is left as it is until the categories change.
            if (!First(App.MainCategoryList))
                InsertDefaultCategories();
        }
    }

    db.records = OpenByName(recordsName, &db.recordsOid);
    if (db.records == INVALID_HANDLE_VALUE && !CreateRecordsDatabase()) {
        ShowStorageMessage(IDS_ERROR_BUILDING_DATABASE, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Remove, Beep::None);
        return FALSE;
    }
    return TRUE;
}

BOOL LoadCategories()
{
    DatabaseState& db = App.Databases;
    DWORD count;
    if (!RecordCountOf(db.categoriesOid, &count) || count == 0 ||
        !CeSeekDatabase(db.categories, CEDB_SEEK_CEOID, db.firstCategoryOid, nullptr)) {
        SetCursor(nullptr);
        return FALSE;
    }
    DWORD size = 512;
    LPBYTE buffer = static_cast<LPBYTE>(LocalAlloc(LPTR, size));
    if (!buffer) {
        SetCursor(nullptr);
        return FALSE;
    }
    CategoryNode scratch;
    InitNode(&scratch);
    BOOL loaded = TRUE;
    for (DWORD i = 0; i < count; ++i) {
        WORD props = 0;
        if (!CeReadRecordProps(db.categories, CEDB_ALLOWREALLOC, &props, nullptr, &buffer, &size)) {
            loaded = FALSE;
            break;
        }
        const CEPROPVAL* values = reinterpret_cast<const CEPROPVAL*>(buffer);
        for (WORD p = 0; p < props; ++p) {
            if (values[p].propid == PROP_CATEGORY_NAME && !(values[p].wFlags & CEDB_PROPNOTFOUND)) {
                // A name that is empty or already present is skipped.
                if (SetName(&scratch, values[p].val.lpwstr))
                    Insert(App.MainCategoryList, &scratch);
            }
        }
    }
    FreeName(&scratch);
    LocalFree(buffer);
    if (!loaded)
        SetCursor(nullptr);
    return loaded;
}

BOOL CreateRecordsDatabase()
{
    DatabaseState& db = App.Databases;
    db.recordsOid = CeCreateDatabase(recordsName, 0, 1, &keyOrder);
    db.records = OpenByName(recordsName, &db.recordsOid);
    return db.records != INVALID_HANDLE_VALUE;
}

BOOL SaveCategories()
{
    DatabaseState& db = App.Databases;
    CloseCategories();
    // The old database is replaced as one change, so that a crash on the way leaves the old
    // categories or the new ones, never none.
    BeginStoreBatch();
    CEOID oldOid;
    HANDLE old = OpenByName(categoriesName, &oldOid);
    if (old != INVALID_HANDLE_VALUE) {
        CloseHandle(old);
        if (!CeDeleteDatabase(oldOid)) {
            EndStoreBatch(FALSE);
            return FALSE;
        }
    }
    db.categoriesOid = CeCreateDatabase(categoriesName, 0, 1, &keyOrder);
    db.categories = OpenByName(categoriesName, &db.categoriesOid);
    if (db.categories == INVALID_HANDLE_VALUE)
        db.categories = 0;
    if (!First(App.MainCategoryList)) {
        CloseCategories();
        EndStoreBatch(TRUE);
        return FALSE;
    }
    DWORD position = 0;
    for (CategoryNode* node = First(App.MainCategoryList); node; node = node->next, ++position) {
        CEPROPVAL props[2] = {};
        props[0].propid = PROP_CATEGORY_POSITION;
        props[0].val.ulVal = position;
        props[1].propid = PROP_CATEGORY_NAME;
        props[1].val.lpwstr = node->name;
        if (!db.categories || !CeWriteRecordProps(db.categories, 0, 2, props)) {
            // The whole change is undone, so that the store keeps every category it held
            // rather than those written up to here.
            CloseCategories();
            EndStoreBatch(FALSE);
            ShowStorageMessage(IDS_ERROR_EDITING_DATABASE, CATEGORIES_DATABASE_NAME,
                               MB_ICONEXCLAMATION, Cursor::Keep, Beep::None);
            return FALSE;
        }
    }
    CloseCategories();
    EndStoreBatch(TRUE);
    return TRUE;
}

BOOL DropEmptyRecordsDatabase()
{
    DatabaseState& db = App.Databases;
    if (db.records && db.records != INVALID_HANDLE_VALUE)
        CloseHandle(db.records);
    db.records = OpenByName(recordsName, &db.recordsOid);
    if (db.records == INVALID_HANDLE_VALUE)
        return FALSE;
    CloseHandle(db.records);
    db.records = 0;
    DWORD count;
    if (!RecordCountOf(db.recordsOid, &count))
        return FALSE;
    return count == 0 ? CeDeleteDatabase(db.recordsOid) : TRUE;
}
