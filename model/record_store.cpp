// The records database: loaded whole when the main window is created, and changed one record
// at a time as the user confirms each change.
#include "app/app_context.h"
#include "entry/record_format.h"
#include "model/databases.h"
#include "model/storage_messages.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/store_batch.h"
#include "platform/text.h"
#include "resources/strings.h"

namespace
{
WCHAR recordsName[] = RECORDS_DATABASE_NAME;

void CloseRecords()
{
    HANDLE& records = App.Databases.records;
    if (records && records != INVALID_HANDLE_VALUE)
        CloseHandle(records);
    records = 0;
}

bool ReopenRecords()
{
    CloseRecords();
    App.Databases.recordsOid = 0;
    App.Databases.records = CeOpenDatabase(&App.Databases.recordsOid, recordsName, PROP_RECORD_KEY,
                                           CEDB_AUTOINCREMENT, nullptr);
    return App.Databases.records != INVALID_HANDLE_VALUE;
}

void ReportLoadProblem()
{
    ShowStorageMessage(IDS_DATABASE_PROBLEMS, nullptr, MB_ICONHAND, Cursor::Remove, Beep::Default);
}

// A stored record's values as read, before they are checked.
struct StoredValues {
    DWORD key;
    DWORD day, month, year;
    LPCWSTR category;
    LPCWSTR minutes;
    LPCWSTR memo;
    bool hasMinutes;
};

StoredValues TakeProperties(const CEPROPVAL* values, WORD count)
{
    // A property the record lacks reads as zero or absent; nothing carries over from the
    // record read before.
    StoredValues stored = {};
    for (WORD i = 0; i < count; ++i) {
        const CEPROPVAL& value = values[i];
        if (value.wFlags & CEDB_PROPNOTFOUND)
            continue;
        switch (value.propid) {
        case PROP_RECORD_KEY: stored.key = value.val.ulVal; break;
        case PROP_RECORD_DAY: stored.day = value.val.ulVal; break;
        case PROP_RECORD_MONTH: stored.month = value.val.ulVal; break;
        case PROP_RECORD_YEAR: stored.year = value.val.ulVal; break;
        case PROP_RECORD_CATEGORY: stored.category = value.val.lpwstr; break;
        case PROP_RECORD_MINUTES:
            stored.minutes = value.val.lpwstr;
            stored.hasMinutes = true;
            break;
        case PROP_RECORD_MEMO: stored.memo = value.val.lpwstr; break;
        default: break;
        }
    }
    return stored;
}

// Fills the work node from a stored record; false when a stored value is out of range.
bool FillFromStore(RecordNode* node, const StoredValues& stored, CEOID oid)
{
    int minutes = stored.minutes ? _wtoi(stored.minutes) : 0;
    if (minutes < 0 || minutes > MAX_RECORD_MINUTES)
        return false;
    // A date that is not a real one (31 February, day 0, a record without its date) is damage,
    // as an impossible day is: shown, it would be replaced by today's at the next edit.
    if (!IsCalendarDate(stored.year, stored.month, stored.day))
        return false;
    node->recordKey = stored.key;
    node->storedOid = oid;
    SetRecordCategory(node, stored.category);
    WCHAR minutesText[16];
    wsprintfW(minutesText, u"%d", minutes);
    SetRecordMinutes(node, minutesText);
    SetRecordMemo(node, stored.memo);
    SYSTEMTIME date = {};
    date.wYear = static_cast<WORD>(stored.year);
    date.wMonth = static_cast<WORD>(stored.month);
    date.wDay = static_cast<WORD>(stored.day);
    SetRecordDate(node, date);
    return true;
}

// The seven properties of a record, in their stored order.
void BuildProperties(const RecordNode* node, DWORD key, CEPROPVAL (&props)[7])
{
    static WCHAR blankMemo[] = u" ";
    props[0].propid = PROP_RECORD_KEY;
    props[0].val.ulVal = key;
    props[1].propid = PROP_RECORD_DAY;
    props[1].val.ulVal = node->date.wDay;
    props[2].propid = PROP_RECORD_MONTH;
    props[2].val.ulVal = node->date.wMonth;
    props[3].propid = PROP_RECORD_YEAR;
    props[3].val.ulVal = node->date.wYear;
    props[4].propid = PROP_RECORD_CATEGORY;
    props[4].val.lpwstr = node->category;
    props[5].propid = PROP_RECORD_MINUTES;
    props[5].val.lpwstr = node->minutesText;
    props[6].propid = PROP_RECORD_MEMO;
    props[6].val.lpwstr = node->memo ? node->memo : blankMemo;
}

// The key of a record added now: day, hour, minute and second written one after the other.
DWORD KeyFromLocalTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    WCHAR digits[32];
    wsprintfW(digits, u"%d%d%d%d", now.wDay, now.wHour, now.wMinute, now.wSecond);
    return static_cast<DWORD>(_wtoi(digits));
}

bool KeyIsTaken(DWORD key)
{
    CEPROPVAL value = {};
    value.propid = PROP_RECORD_KEY;
    value.val.ulVal = key;
    return CeSeekDatabase(App.Databases.records, CEDB_SEEK_VALUEFIRSTEQUAL,
                          reinterpret_cast<DWORD_PTR>(&value), nullptr) != 0;
}

// Moves the read position to the node's stored record and returns its identifier, 0 when the
// store no longer has it. Seeks never ask for the record's position: counting the records
// before it would walk the database.
CEOID SeekStoredRecord(const RecordNode* node)
{
    if (node->storedOid != NO_STORED_RECORD)
        return CeSeekDatabase(App.Databases.records, CEDB_SEEK_CEOID, node->storedOid, nullptr);
    CEPROPVAL value = {};
    value.propid = PROP_RECORD_KEY;
    value.val.ulVal = node->recordKey;
    return CeSeekDatabase(App.Databases.records, CEDB_SEEK_VALUEFIRSTEQUAL,
                          reinterpret_cast<DWORD_PTR>(&value), nullptr);
}
} // namespace

BOOL LoadRecords()
{
    DatabaseState& db = App.Databases;
    if (db.records != INVALID_HANDLE_VALUE)
        CloseRecords();
    CEOIDINFO info;
    if (!ReopenRecords() || !CeOidGetInfo(db.recordsOid, &info)) {
        ReportLoadProblem();
        return FALSE;
    }
    DWORD count = info.infDatabase.wNumRecords;
    if (count == 0) {
        Clear(App.MainRecordList);
        return FALSE;
    }
    DWORD size = 512;
    LPBYTE buffer = static_cast<LPBYTE>(LocalAlloc(LPTR, size));
    if (!buffer)
        return FALSE;
    Clear(App.MainRecordList);
    if (App.ScratchRecord) {
        FreeRecordTexts(App.ScratchRecord);
        delete App.ScratchRecord;
    }
    App.ScratchRecord = NewRecordNode();
    RecordNode* work = App.ScratchRecord;
    BOOL loaded = TRUE;
    for (DWORD i = 0; i < count; ++i) {
        ResetRecordNode(work);
        WORD props = 0;
        CEOID oid =
            CeReadRecordProps(db.records, CEDB_ALLOWREALLOC, &props, nullptr, &buffer, &size);
        if (!oid) {
            ReportLoadProblem();
            CloseRecords();
            loaded = FALSE;
            break;
        }
        StoredValues stored = TakeProperties(reinterpret_cast<const CEPROPVAL*>(buffer), props);
        if (!FillFromStore(work, stored, oid)) {
            ReportLoadProblem();
            loaded = FALSE;
            break;
        }
        Append(App.MainRecordList, work);
    }
    ResetRecordNode(work);
    LocalFree(buffer);
    return loaded;
}

BOOL AddRecord(RecordNode* node, DWORD* recordKey)
{
    DWORD key = KeyFromLocalTime();
    // Keys built from the time repeat; the next free number keeps every stored key unique.
    while (KeyIsTaken(key))
        ++key;
    *recordKey = key;
    CEPROPVAL props[7] = {};
    BuildProperties(node, key, props);
    CEOID oid = CeWriteRecordProps(App.Databases.records, 0, 7, props);
    if (!oid) {
        ShowStorageMessage(IDS_ERROR_ADDING_RECORD, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Remove, Beep::None);
        return FALSE;
    }
    node->recordKey = key;
    node->storedOid = oid;
    return TRUE;
}

BOOL DeleteRecord(const RecordNode* node)
{
    if (!ReopenRecords()) {
        ShowStorageMessage(IDS_ERROR_DELETING_RECORD, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Remove, Beep::None);
        return FALSE;
    }
    CEOID oid = SeekStoredRecord(node);
    if (!oid)
        return FALSE;
    if (!CeDeleteRecord(App.Databases.records, oid)) {
        ShowStorageMessage(IDS_ERROR_DELETING_RECORD, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Remove, Beep::None);
        return FALSE;
    }
    return TRUE;
}

BOOL UpdateRecord(const RecordNode* node)
{
    if (!ReopenRecords()) {
        ShowStorageMessage(IDS_ERROR_EDITING_DATABASE, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Remove, Beep::None);
        return FALSE;
    }
    CEOID oid = SeekStoredRecord(node);
    if (!oid)
        return FALSE;
    CEPROPVAL props[7] = {};
    BuildProperties(node, node->recordKey, props);
    if (!CeWriteRecordProps(App.Databases.records, oid, 7, props)) {
        ShowStorageMessage(IDS_ERROR_EDITING_DATABASE, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Keep, Beep::None);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteRecords(RecordList* records)
{
    // One commit for them all: quick at any number of records, and a crash or a failure part
    // way leaves every record in the store.
    BOOL deleted = BeginStoreBatch() && ReopenRecords();
    for (RecordNode* node = First(records); deleted && node; node = node->next) {
        // A node that knows its stored record needs no seek: a record the store no longer has
        // is refused as an unknown identifier, and passed over.
        CEOID oid = node->storedOid != NO_STORED_RECORD ? node->storedOid : SeekStoredRecord(node);
        if (oid && !CeDeleteRecord(App.Databases.records, oid) &&
            GetLastError() != ERROR_INVALID_PARAMETER)
            deleted = FALSE;
    }
    if (!EndStoreBatch(deleted))
        deleted = FALSE;
    if (!deleted)
        ShowStorageMessage(IDS_ERROR_DELETING_RECORD, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Remove, Beep::None);
    return deleted;
}
