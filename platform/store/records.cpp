// Records of the object store: the read position, reading, writing and deleting.
#include "platform/memory.h"
#include "platform/store/database_cursor.h"
#include "platform/windbase.h"

#include <sqlite3.h>

#include <algorithm>

namespace store
{
namespace
{
// Reading ahead starts small, so that a seek followed by one read stays cheap, and grows while
// records are read one after another.
const size_t firstWindow = 16;
const size_t largestWindow = 1024;

const char* const rowsFromBeginning =
    "SELECT oid, rank, sort_value, props FROM records WHERE db = ?1 "
    "ORDER BY rank, sort_value, oid LIMIT ?2";
const char* const rowsAtOrAfter =
    "SELECT oid, rank, sort_value, props FROM records WHERE db = ?1 "
    "AND (rank, sort_value, oid) >= (?3, ?4, ?5) ORDER BY rank, sort_value, oid LIMIT ?2";
const char* const rowsAfter =
    "SELECT oid, rank, sort_value, props FROM records WHERE db = ?1 "
    "AND (rank, sort_value, oid) > (?3, ?4, ?5) ORDER BY rank, sort_value, oid LIMIT ?2";
const char* const rowAtIndex = "SELECT oid, rank, sort_value, props FROM records WHERE db = ?1 "
                               "ORDER BY rank, sort_value, oid LIMIT 1 OFFSET ?2";
const char* const rowAtIndexFromEnd =
    "SELECT oid, rank, sort_value, props FROM records WHERE db = ?1 "
    "ORDER BY rank DESC, sort_value DESC, oid DESC LIMIT 1 OFFSET ?2";
const char* const rowOfOid =
    "SELECT oid, rank, sort_value, props FROM records WHERE db = ?1 AND oid = ?2";
const char* const rowFirstEqual = "SELECT oid, rank, sort_value, props FROM records WHERE db = ?1 "
                                  "AND rank = ?2 AND sort_value = ?3 ORDER BY oid LIMIT 1";
const char* const rowFirstGreater =
    "SELECT oid, rank, sort_value, props FROM records WHERE db = ?1 "
    "AND rank = ?2 AND sort_value > ?3 ORDER BY sort_value, oid LIMIT 1";
const char* const rowLastSmaller =
    "SELECT oid, rank, sort_value, props FROM records WHERE db = ?1 "
    "AND rank = ?2 AND sort_value < ?3 ORDER BY sort_value DESC, oid DESC LIMIT 1";
const char* const rowsBefore = "SELECT count(*) FROM records WHERE db = ?1 "
                               "AND (rank, sort_value, oid) < (?2, ?3, ?4)";

void BindValue(Query& query, int index, const SortValue& value)
{
    if (value.isBytes)
        query.BindBlob(index, value.bytes.data(), value.bytes.size());
    else
        query.Bind(index, value.integer);
}

// Reads the rows a query returns (oid, rank, sort value, props) into `rows`, replacing what it
// held. The rows already there are written over, so that reading ahead window after window
// reuses their memory rather than making every row's anew.
DWORD TakeRows(Query& query, std::vector<Row>* rows)
{
    size_t used = 0;
    while (query.Step()) {
        if (used == rows->size())
            rows->emplace_back();
        Row& row = (*rows)[used++];
        row.oid = static_cast<CEOID>(query.Integer(0));
        row.key.rank = query.Integer(1);
        int type = query.Type(2);
        row.key.value.isBytes = type == SQLITE_BLOB;
        row.key.value.integer = 0;
        row.key.value.bytes.clear();
        if (type == SQLITE_BLOB) {
            const char* bytes = static_cast<const char*>(query.BlobData(2));
            row.key.value.bytes.assign(bytes ? bytes : "", query.BlobSize(2));
        } else if (type == SQLITE_INTEGER) {
            row.key.value.integer = query.Integer(2);
        } else {
            rows->resize(used - 1);
            return ERROR_DISK_CORRUPT;
        }
        const char* props = static_cast<const char*>(query.BlobData(3));
        row.props.assign(props ? props : "", query.BlobSize(3));
    }
    rows->resize(used);
    return query.error();
}

// The one row a query finds, if any: `found` tells.
DWORD TakeRow(Query& query, Row* row, bool* found)
{
    std::vector<Row> rows;
    DWORD error = TakeRows(query, &rows);
    *found = !error && !rows.empty();
    if (*found)
        *row = std::move(rows[0]);
    return error;
}

void Forget(DatabaseCursor& cursor)
{
    cursor.ahead.clear();
    cursor.next = 0;
    cursor.aheadValid = false;
    cursor.window = firstWindow;
}

// Reads ahead from the read position unless what was read ahead still holds; `row` is then the
// record at the read position, null past the last one.
DWORD Locate(DatabaseCursor& cursor, const Row** row)
{
    *row = nullptr;
    if (cursor.place == DatabaseCursor::Place::End)
        return ERROR_SUCCESS;
    if (!cursor.aheadValid || cursor.aheadAt != ChangeCount() ||
        (cursor.next == cursor.ahead.size() && !cursor.aheadReachesEnd)) {
        if (!cursor.aheadValid || cursor.aheadAt != ChangeCount())
            cursor.window = firstWindow;
        const char* sql = cursor.place == DatabaseCursor::Place::Beginning ? rowsFromBeginning
                          : cursor.place == DatabaseCursor::Place::After   ? rowsAfter
                                                                           : rowsAtOrAfter;
        // The rows read before are written over: until the read succeeds they count as not
        // read, which leaves the read position itself as it was.
        cursor.aheadValid = false;
        std::vector<Row>& rows = cursor.ahead;
        Query query(sql);
        query.Bind(1, cursor.database);
        query.Bind(2, static_cast<int64_t>(cursor.window));
        if (cursor.place != DatabaseCursor::Place::Beginning) {
            query.Bind(3, cursor.key.rank);
            BindValue(query, 4, cursor.key.value);
            query.Bind(5, cursor.oid);
        }
        DWORD error = TakeRows(query, &rows);
        if (error)
            return error;
        cursor.aheadReachesEnd = rows.size() < cursor.window;
        cursor.next = 0;
        cursor.aheadAt = ChangeCount();
        cursor.aheadValid = true;
        cursor.window = std::min(cursor.window * 4, largestWindow);
    }
    if (cursor.next < cursor.ahead.size())
        *row = &cursor.ahead[cursor.next];
    return ERROR_SUCCESS;
}

void PlaceAt(DatabaseCursor& cursor, const Row& row)
{
    Forget(cursor);
    cursor.place = DatabaseCursor::Place::AtOrAfter;
    cursor.key = row.key;
    cursor.oid = row.oid;
}

void PlaceAtEnd(DatabaseCursor& cursor)
{
    Forget(cursor);
    cursor.place = DatabaseCursor::Place::End;
}

DWORD CountBefore(const DatabaseCursor& cursor, const Row& row, DWORD* index)
{
    Query query(rowsBefore);
    query.Bind(1, cursor.database);
    query.Bind(2, row.key.rank);
    BindValue(query, 3, row.key.value);
    query.Bind(4, row.oid);
    if (!query.Step())
        return query.error() ? query.error() : ERROR_DISK_CORRUPT;
    *index = static_cast<DWORD>(query.Integer(0));
    return ERROR_SUCCESS;
}

DWORD RowAtIndex(const DatabaseCursor& cursor, int64_t index, bool fromEnd, Row* row, bool* found)
{
    Query query(fromEnd ? rowAtIndexFromEnd : rowAtIndex);
    query.Bind(1, cursor.database);
    query.Bind(2, index);
    return TakeRow(query, row, found);
}

// The sort value a seek by value looks for: the CEPROPVAL must be of the sort property.
DWORD SoughtValue(const DatabaseCursor& cursor, DWORD_PTR value, SortValue* sought)
{
    const CEPROPVAL* prop = reinterpret_cast<const CEPROPVAL*>(value);
    if (!prop || !cursor.order.sorted || prop->propid != cursor.order.propid)
        return ERROR_INVALID_PARAMETER;
    std::string bytes;
    DWORD error = ValueBytes(*prop, &bytes);
    if (error)
        return error;
    *sought = SortValueOf(cursor.order, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<uint32_t>(bytes.size()));
    return ERROR_SUCCESS;
}

DWORD SeekByValue(DatabaseCursor& cursor, DWORD seekType, const SortValue& sought, Row* row,
                  bool* found)
{
    int64_t present = PresentRank(cursor.order);
    if (seekType == CEDB_SEEK_VALUENEXTEQUAL) {
        const Row* current;
        DWORD error = Locate(cursor, &current);
        *found = false;
        if (error || !current)
            return error;
        Query query(rowsAfter);
        query.Bind(1, cursor.database);
        query.Bind(2, 1);
        query.Bind(3, current->key.rank);
        BindValue(query, 4, current->key.value);
        query.Bind(5, current->oid);
        error = TakeRow(query, row, found);
        *found = *found && row->key.rank == present && row->key.value == sought;
        return error;
    }
    const char* sql = seekType == CEDB_SEEK_VALUEFIRSTEQUAL ? rowFirstEqual
                      : seekType == CEDB_SEEK_VALUEGREATER  ? rowFirstGreater
                                                            : rowLastSmaller;
    Query query(sql);
    query.Bind(1, cursor.database);
    query.Bind(2, present);
    BindValue(query, 3, sought);
    return TakeRow(query, row, found);
}

// The record `offset` places from the current one (counted from past the last record when
// there is no current one); fills `found` and `row`.
DWORD SeekFromCurrent(DatabaseCursor& cursor, int32_t offset, int64_t records, Row* row,
                      bool* found)
{
    const Row* current;
    DWORD error = Locate(cursor, &current);
    if (error)
        return error;
    DWORD index = static_cast<DWORD>(records);
    if (current) {
        error = CountBefore(cursor, *current, &index);
        if (error)
            return error;
    }
    int64_t target = int64_t(index) + offset;
    *found = false;
    if (target < 0 || target >= records)
        return ERROR_SUCCESS;
    return RowAtIndex(cursor, target, false, row, found);
}

// The properties a read answers with: all in stored order, or those asked for.
void Choose(const std::vector<PropView>& props, const CEPROPID* asked, WORD count,
            std::vector<ChosenProp>* chosen)
{
    chosen->clear();
    if (!asked) {
        for (const PropView& prop : props)
            chosen->push_back({prop.id, &prop});
        return;
    }
    for (WORD i = 0; i < count; ++i) {
        auto found = std::find_if(props.begin(), props.end(),
                                  [&](const PropView& prop) { return prop.id == asked[i]; });
        chosen->push_back({asked[i], found == props.end() ? nullptr : &*found});
    }
}

// What a write asks for: values to set, in the order given, and properties to remove.
struct WriteRequest {
    std::vector<PropBytes> values;
    std::vector<CEPROPID> removals;
};

DWORD ReadRequest(WORD count, const CEPROPVAL* given, WriteRequest* request)
{
    for (WORD i = 0; i < count; ++i) {
        const CEPROPVAL& prop = given[i];
        for (WORD j = 0; j < i; ++j) {
            if (given[j].propid == prop.propid)
                return ERROR_INVALID_PARAMETER;
        }
        if (!IsKnownType(TypeFromPropID(prop.propid)))
            return ERROR_INVALID_PARAMETER;
        if (prop.wFlags & CEDB_PROPDELETE) {
            request->removals.push_back(prop.propid);
            continue;
        }
        PropBytes bytes{prop.propid, {}};
        DWORD error = ValueBytes(prop, &bytes.bytes);
        if (error)
            return error;
        request->values.push_back(std::move(bytes));
    }
    return ERROR_SUCCESS;
}

// Applies a write to a record's stored properties: set values keep their place, new ones come
// last, removed ones go.
void Merge(std::vector<PropBytes>* props, WriteRequest& request)
{
    for (CEPROPID removed : request.removals) {
        props->erase(std::remove_if(props->begin(), props->end(),
                                    [&](const PropBytes& prop) { return prop.id == removed; }),
                     props->end());
    }
    for (PropBytes& value : request.values) {
        auto found = std::find_if(props->begin(), props->end(),
                                  [&](const PropBytes& prop) { return prop.id == value.id; });
        if (found != props->end())
            found->bytes = std::move(value.bytes);
        else
            props->push_back(std::move(value));
    }
}

bool FitsOneRecord(const std::vector<PropBytes>& props)
{
    size_t bytes = 0;
    for (const PropBytes& prop : props)
        bytes += prop.bytes.size();
    return bytes <= CEDB_MAXRECORDSIZE && props.size() <= 0xFFFF;
}

// The stored properties of record `oid` of the database and its place in sort order;
// ERROR_INVALID_PARAMETER when the database has no such record.
DWORD StoredProps(CEOID database, CEOID oid, std::vector<PropBytes>* props, int64_t* bytes,
                  SortKey* key)
{
    Query query("SELECT props, rank, sort_value FROM records WHERE oid = ?1 AND db = ?2");
    query.Bind(1, oid);
    query.Bind(2, database);
    if (!query.Step())
        return query.error() ? query.error() : ERROR_INVALID_PARAMETER;
    std::vector<PropView> views;
    *bytes = static_cast<int64_t>(query.BlobSize(0));
    if (!DecodeProps(query.BlobData(0), query.BlobSize(0), &views))
        return ERROR_DISK_CORRUPT;
    for (const PropView& view : views)
        props->push_back(
            {view.id, std::string(reinterpret_cast<const char*>(view.data), view.size)});
    key->rank = query.Integer(1);
    if (query.Type(2) == SQLITE_BLOB) {
        key->value.isBytes = true;
        const char* sortBytes = static_cast<const char*>(query.BlobData(2));
        key->value.bytes.assign(sortBytes ? sortBytes : "", query.BlobSize(2));
    } else {
        key->value.integer = query.Integer(2);
    }
    return ERROR_SUCCESS;
}

// Writes a record, new (no `oldKey`) or over the stored one. A record that keeps its place in
// sort order leaves the order's index alone.
DWORD StoreRecord(const DatabaseCursor& cursor, CEOID oid, const SortKey* oldKey,
                  const std::vector<PropBytes>& props, int64_t oldBytes)
{
    std::string encoded = EncodeProps(props);
    std::vector<PropView> views;
    DecodeProps(encoded.data(), encoded.size(), &views);
    SortKey key = SortKeyOf(cursor.order, views);
    bool inPlace = oldKey && oldKey->rank == key.rank && oldKey->value == key.value;
    Query query(!oldKey   ? "INSERT INTO records (oid, db, rank, sort_value, props) "
                            "VALUES (?1, ?2, ?3, ?4, ?5)"
                : inPlace ? "UPDATE records SET props = ?3 WHERE oid = ?1 AND db = ?2"
                          : "UPDATE records SET rank = ?3, sort_value = ?4, props = ?5 "
                            "WHERE oid = ?1 AND db = ?2");
    query.Bind(1, oid);
    query.Bind(2, cursor.database);
    if (inPlace) {
        query.BindBlob(3, encoded.data(), encoded.size());
    } else {
        query.Bind(3, key.rank);
        BindValue(query, 4, key.value);
        query.BindBlob(5, encoded.data(), encoded.size());
    }
    DWORD error = query.Run();
    if (error)
        return error;
    error = NoteDatabaseChange(cursor.database, oldKey ? 0 : 1,
                               static_cast<int64_t>(encoded.size()) - oldBytes);
    return error == ERROR_NOT_FOUND ? ERROR_INVALID_HANDLE : error;
}
} // namespace
} // namespace store

using namespace store;

CEOID CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, LPDWORD lpdwIndex)
{
    DWORD error;
    if (TakeFault(StoreOp::Seek, &error))
        return FailWith(error);
    DatabaseCursor* cursor = CursorOf(hDatabase);
    if (!cursor)
        return FailWith(ERROR_INVALID_HANDLE);
    error = Ready();
    if (error)
        return FailWith(error);
    DatabaseRow database;
    error = LoadDatabase(cursor->database, &database);
    if (error)
        return FailWith(error == ERROR_NOT_FOUND ? ERROR_INVALID_HANDLE : error);

    Row row;
    bool found = false;
    // A count of records is a 32-bit value; CEDB_SEEK_CURRENT takes it signed.
    DWORD count = static_cast<DWORD>(dwValue);
    switch (dwSeekType) {
    case CEDB_SEEK_CEOID: {
        Query query(rowOfOid);
        query.Bind(1, cursor->database);
        query.Bind(2, static_cast<int64_t>(dwValue));
        error = dwValue > 0xFFFFFFFF ? ERROR_SUCCESS : TakeRow(query, &row, &found);
        break;
    }
    case CEDB_SEEK_BEGINNING:
    case CEDB_SEEK_END:
        if (count < database.records)
            error = RowAtIndex(*cursor, count, dwSeekType == CEDB_SEEK_END, &row, &found);
        break;
    case CEDB_SEEK_CURRENT:
        error =
            SeekFromCurrent(*cursor, static_cast<int32_t>(count), database.records, &row, &found);
        break;
    case CEDB_SEEK_VALUEFIRSTEQUAL:
    case CEDB_SEEK_VALUENEXTEQUAL:
    case CEDB_SEEK_VALUEGREATER:
    case CEDB_SEEK_VALUESMALLER: {
        SortValue sought;
        error = SoughtValue(*cursor, dwValue, &sought);
        if (!error)
            error = SeekByValue(*cursor, dwSeekType, sought, &row, &found);
        break;
    }
    default: error = ERROR_INVALID_PARAMETER; break;
    }
    if (error)
        return FailWith(error);
    if (!found) {
        PlaceAtEnd(*cursor);
        return FailWith(ERROR_NOT_FOUND);
    }
    if (lpdwIndex) {
        error = CountBefore(*cursor, row, lpdwIndex);
        if (error)
            return FailWith(error);
    }
    PlaceAt(*cursor, row);
    return row.oid;
}

CEOID CeReadRecordProps(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID,
                        LPBYTE* lplpBuffer, LPDWORD lpcbBuffer)
{
    DWORD error;
    if (TakeFault(StoreOp::Read, &error))
        return FailWith(error);
    DatabaseCursor* cursor = CursorOf(hDbase);
    if (!cursor)
        return FailWith(ERROR_INVALID_HANDLE);
    if (!lpcPropID || !lplpBuffer || !lpcbBuffer || (dwFlags & ~DWORD(CEDB_ALLOWREALLOC)))
        return FailWith(ERROR_INVALID_PARAMETER);
    error = Ready();
    if (error)
        return FailWith(error);
    const Row* row;
    error = Locate(*cursor, &row);
    if (error)
        return FailWith(error);
    if (!row)
        return FailWith(ERROR_NO_MORE_ITEMS);

    // Kept from read to read: a database is read a record at a time, often all of it.
    static std::vector<PropView> props;
    static std::vector<ChosenProp> chosen;
    if (!DecodeProps(row->props.data(), row->props.size(), &props))
        return FailWith(ERROR_DISK_CORRUPT);
    Choose(props, rgPropID, *lpcPropID, &chosen);
    size_t needed = ReadBufferSize(chosen);
    if (!*lplpBuffer || *lpcbBuffer < needed) {
        if (!(dwFlags & CEDB_ALLOWREALLOC)) {
            *lpcbBuffer = static_cast<DWORD>(needed);
            return FailWith(ERROR_INSUFFICIENT_BUFFER);
        }
        // On failure the caller's buffer stays as it was.
        HLOCAL grown = *lplpBuffer ? LocalReAlloc(*lplpBuffer, needed, LMEM_MOVEABLE)
                                   : LocalAlloc(LMEM_FIXED, needed);
        if (!grown)
            return FailWith(ERROR_NOT_ENOUGH_MEMORY);
        *lplpBuffer = static_cast<LPBYTE>(grown);
        *lpcbBuffer = static_cast<DWORD>(needed);
    }
    FillReadBuffer(*lplpBuffer, chosen);
    if (!rgPropID)
        *lpcPropID = static_cast<WORD>(chosen.size());

    CEOID oid = row->oid;
    if (cursor->autoIncrement) {
        cursor->place = DatabaseCursor::Place::After;
        ++cursor->next;
    } else {
        cursor->place = DatabaseCursor::Place::AtOrAfter;
    }
    // `row` points into the read-ahead, which stays as it is.
    cursor->key = row->key;
    cursor->oid = oid;
    return oid;
}

CEOID CeWriteRecordProps(HANDLE hDbase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal)
{
    DWORD error;
    if (TakeFault(StoreOp::Write, &error))
        return FailWith(error);
    DatabaseCursor* cursor = CursorOf(hDbase);
    if (!cursor)
        return FailWith(ERROR_INVALID_HANDLE);
    if (!cPropID || !rgPropVal)
        return FailWith(ERROR_INVALID_PARAMETER);
    WriteRequest request;
    error = ReadRequest(cPropID, rgPropVal, &request);
    if (error)
        return FailWith(error);

    Change change;
    if (change.error())
        return FailWith(change.error());
    std::vector<PropBytes> props;
    int64_t oldBytes = 0;
    SortKey oldKey;
    CEOID oid = oidRecord;
    if (oidRecord) {
        error = StoredProps(cursor->database, oidRecord, &props, &oldBytes, &oldKey);
    } else {
        // A database deleted meanwhile is found out when its count is changed.
        error = NewObjectId(&oid);
    }
    if (error)
        return FailWith(error);
    Merge(&props, request);
    if (!FitsOneRecord(props))
        return FailWith(ERROR_INVALID_PARAMETER);
    error = StoreRecord(*cursor, oid, oidRecord ? &oldKey : nullptr, props, oldBytes);
    if (!error)
        error = change.Commit();
    return error ? FailWith(error) : oid;
}

BOOL CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord)
{
    DWORD error;
    if (TakeFault(StoreOp::DeleteRecord, &error))
        return FailWith(error);
    DatabaseCursor* cursor = CursorOf(hDatabase);
    if (!cursor)
        return FailWith(ERROR_INVALID_HANDLE);
    Change change;
    if (change.error())
        return FailWith(change.error());
    int64_t bytes = 0;
    {
        // The size is read before the row goes: a DELETE that answers with it builds a table
        // of its answers at every call, which costs more than the second look-up.
        Query size("SELECT length(props) FROM records WHERE oid = ?1 AND db = ?2");
        size.Bind(1, oidRecord);
        size.Bind(2, cursor->database);
        if (!size.Step())
            return FailWith(size.error() ? size.error() : ERROR_INVALID_PARAMETER);
        bytes = size.Integer(0);
        Query remove("DELETE FROM records WHERE oid = ?1 AND db = ?2");
        remove.Bind(1, oidRecord);
        remove.Bind(2, cursor->database);
        error = remove.Run();
    }
    if (!error)
        error = NoteDatabaseChange(cursor->database, -1, -bytes);
    if (error == ERROR_NOT_FOUND)
        error = ERROR_INVALID_HANDLE;
    if (!error)
        error = change.Commit();
    return error ? FailWith(error) : TRUE;
}
