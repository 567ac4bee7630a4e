// The records database: loaded whole when the main window is created, and changed one record
// at a time as the user confirms each change.
#include "app/app_context.h"
#include "entry/record_format.h"
#include "model/databases.h"
#include "model/record_properties.h"
#include "model/storage_messages.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/store_batch.h"
#include "platform/text.h"
#include "resources/strings.h"

#include <algorithm>
#include <vector>

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

typedef std::vector<RecordNode*> Nodes;

bool HasCategory(const RecordNode* node, LPCWSTR name)
{
    return node->category && wcscmp(node->category, name) == 0;
}

// A node's place in the order the store keeps its records in: by key, then by identifier.
struct StoredPlace {
    DWORD key;
    DWORD oid;
    RecordNode* node;
};

// MainRecordList taken apart for a change of a category's records: the nodes of the category,
// and the places of the nodes that stay in the list (all of them unless the category's nodes
// go). Walking a list of 100,000 nodes costs more than the sorting that follows, so it is
// walked once, from the handle both ways.
struct CategoryNodes {
    Nodes chosen;
    std::vector<StoredPlace> staying;
    bool everyNodeStored = true; // every staying node knows its stored record
};

void TakeNode(RecordNode* node, LPCWSTR name, bool chosenGo, CategoryNodes* taken)
{
    bool chosen = HasCategory(node, name);
    if (chosen)
        taken->chosen.push_back(node);
    if (chosen && chosenGo)
        return;
    taken->staying.push_back({node->recordKey, node->storedOid, node});
    taken->everyNodeStored = taken->everyNodeStored && node->storedOid != NO_STORED_RECORD;
}

CategoryNodes TakeCategory(LPCWSTR name, bool chosenGo)
{
    CategoryNodes taken;
    RecordNode* current = Current(App.MainRecordList);
    for (RecordNode* node = current; node; node = node->prev)
        TakeNode(node, name, chosenGo, &taken);
    for (RecordNode* node = current ? current->next : nullptr; node; node = node->next)
        TakeNode(node, name, chosenGo, &taken);
    return taken;
}

// Puts the nodes in the order of their stored records' identifiers, the order the store keeps
// its rows in: a change of many records then goes through the store's pages once, in order.
void SortByStoredRecord(Nodes& nodes)
{
    std::sort(nodes.begin(), nodes.end(),
              [](const RecordNode* a, const RecordNode* b) { return a->storedOid < b->storedOid; });
}

// A node whose record the store no longer holds is passed over by a change of many records:
// the store refuses its identifier as unknown, and a seek for it finds nothing.
bool IsNoLongerStored(CEOID oid)
{
    return CeSeekDatabase(App.Databases.records, CEDB_SEEK_CEOID, oid, nullptr) == 0 &&
           GetLastError() == ERROR_NOT_FOUND;
}

// Deletes the stored record of every node as one change of the store, passing over a node whose
// record is no longer stored. `began` tells that the change began, so that something may have
// been done before a failure.
BOOL DeleteStoredRecords(Nodes& nodes, bool* began)
{
    SortByStoredRecord(nodes);
    // One commit for them all: quick at any number of records, and a crash or a failure part
    // way leaves every record in the store.
    BOOL deleted = BeginStoreBatch() && ReopenRecords();
    *began = deleted;
    for (size_t i = 0; deleted && i < nodes.size(); ++i) {
        // A node that knows its stored record needs no seek: a record the store no longer has
        // is refused as an unknown identifier.
        const RecordNode* node = nodes[i];
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

// Writes every node's record with the category `name` as one change of the store, the nodes
// left as they are. `began` tells that the change began, so that something may have been
// written before a failure; `passedOver` that a node's record was no longer stored.
BOOL WriteStoredCategory(Nodes& nodes, LPCWSTR name, bool* began, bool* passedOver)
{
    SortByStoredRecord(nodes);
    BOOL written = BeginStoreBatch() && ReopenRecords();
    *began = written;
    for (size_t i = 0; written && i < nodes.size(); ++i) {
        const RecordNode* node = nodes[i];
        CEOID oid = node->storedOid != NO_STORED_RECORD ? node->storedOid : SeekStoredRecord(node);
        if (!oid) {
            *passedOver = true;
            continue;
        }
        CEPROPVAL props[7] = {};
        BuildRecordProperties(node, node->recordKey, props);
        props[4].val.lpwstr = const_cast<LPWSTR>(name);
        if (CeWriteRecordProps(App.Databases.records, oid, 7, props))
            continue;
        if (GetLastError() == ERROR_INVALID_PARAMETER && IsNoLongerStored(oid))
            *passedOver = true;
        else
            written = FALSE;
    }
    if (!EndStoreBatch(written))
        written = FALSE;
    if (!written)
        ShowStorageMessage(IDS_ERROR_EDITING_DATABASE, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Keep, Beep::None);
    return written;
}

// After a change of many records was committed and made in the nodes too: MainRecordList
// becomes the staying nodes in the order LoadRecords reads the store in. Its handle is left on
// the first node, where the sort that follows starts. A list that may not hold exactly the
// stored records (a node without its stored record, one passed over by the change, a count
// other than the store's) is read again from the store instead.
void FollowStore(std::vector<StoredPlace>& staying, bool listMatches)
{
    std::sort(staying.begin(), staying.end(), [](const StoredPlace& a, const StoredPlace& b) {
        return a.key != b.key ? a.key < b.key : a.oid < b.oid;
    });
    Nodes inOrder;
    inOrder.reserve(staying.size());
    for (const StoredPlace& place : staying)
        inOrder.push_back(place.node);
    LinkInOrder(App.MainRecordList, inOrder.data(), static_cast<DWORD>(inOrder.size()));
    First(App.MainRecordList);
    CEOIDINFO info;
    if (!listMatches || !CeOidGetInfo(App.Databases.recordsOid, &info) ||
        info.infDatabase.wNumRecords != staying.size())
        LoadRecords();
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
    FreeRecordNode(App.ScratchRecord);
    App.ScratchRecord = NewRecordNode();
    if (App.ScratchRecord)
        ResetRecordNode(App.ScratchRecord);
    BOOL loaded = TRUE;
    // Each record is read straight into the node the list keeps: at 100,000 records a copy of
    // every node and its nine texts costs as much as the reading.
    for (DWORD i = 0; i < count; ++i) {
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
        RecordNode* node = NewRecordNode();
        if (!node || !FillFromStore(node, stored, oid)) {
            FreeRecordNode(node);
            ReportLoadProblem();
            loaded = FALSE;
            break;
        }
        Attach(App.MainRecordList, node);
    }
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
    BuildRecordProperties(node, key, props);
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
    BuildRecordProperties(node, node->recordKey, props);
    if (!CeWriteRecordProps(App.Databases.records, oid, 7, props)) {
        ShowStorageMessage(IDS_ERROR_EDITING_DATABASE, RECORDS_DATABASE_NAME, MB_ICONEXCLAMATION,
                           Cursor::Keep, Beep::None);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteRecords(RecordList* records)
{
    Nodes nodes;
    for (RecordNode* node = First(records); node; node = node->next)
        nodes.push_back(node);
    bool began = false;
    return DeleteStoredRecords(nodes, &began);
}

BOOL RenameRecordsCategory(LPCWSTR oldName, LPCWSTR newName)
{
    CategoryNodes taken = TakeCategory(oldName, false);
    if (taken.chosen.empty())
        return FALSE;
    bool began = false, passedOver = false;
    if (!WriteStoredCategory(taken.chosen, newName, &began, &passedOver)) {
        // Nothing was kept, and the list shows what the store holds.
        if (began)
            LoadRecords();
        return began;
    }
    // Each node now holds what its record was written as: a missing memo was written blank.
    bool renamed = true;
    for (RecordNode* node : taken.chosen) {
        renamed = SetRecordCategory(node, newName) && renamed;
        if (!node->memo)
            renamed = SetRecordMemo(node, u" ") && renamed;
    }
    FollowStore(taken.staying, taken.everyNodeStored && renamed && !passedOver);
    return TRUE;
}

BOOL DeleteRecordsOfCategory(LPCWSTR name)
{
    CategoryNodes taken = TakeCategory(name, true);
    if (taken.chosen.empty())
        return FALSE;
    bool began = false;
    if (!DeleteStoredRecords(taken.chosen, &began)) {
        if (began)
            LoadRecords();
        return began;
    }
    // A record that was gone already is gone from the list as well.
    for (RecordNode* node : taken.chosen)
        FreeRecordNode(node);
    FollowStore(taken.staying, taken.everyNodeStored);
    return TRUE;
}
