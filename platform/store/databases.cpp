// Databases of the object store: creating, opening, describing, listing and deleting them.
#include "platform/handle.h"
#include "platform/store/database_cursor.h"
#include "platform/store/store_text.h"
#include "platform/windbase.h"

#include <algorithm>
#include <map>
#include <new>

namespace store
{
namespace
{
const CEOID largestObjectId = 0xFFFFFFFF;
const DWORD knownSortFlags =
    CEDB_SORT_DESCENDING | CEDB_SORT_CASEINSENSITIVE | CEDB_SORT_UNKNOWNFIRST;

// Handles this program holds open on each database, which may then not be deleted.
std::map<CEOID, int>& OpenCounts()
{
    static std::map<CEOID, int> counts;
    return counts;
}

void CloseCursor(void* object)
{
    DatabaseCursor* cursor = static_cast<DatabaseCursor*>(object);
    auto count = OpenCounts().find(cursor->database);
    if (count != OpenCounts().end() && --count->second == 0)
        OpenCounts().erase(count);
    delete cursor;
}

struct DatabaseSearch {
    std::vector<CEOID> found;
    size_t next = 0;
};

void CloseSearch(void* object)
{
    delete static_cast<DatabaseSearch*>(object);
}

bool IsValidName(LPCWSTR name)
{
    if (!name)
        return false;
    size_t length = TextLength(name);
    return length >= 1 && length < CEDB_MAXDBASENAMELEN && IsWholeUtf16(name, length);
}

bool IsValidSortOrder(const SORTORDERSPEC& order)
{
    WORD type = TypeFromPropID(order.propid);
    return IsKnownType(type) && type != CEVT_BLOB && !(order.dwFlags & ~knownSortFlags);
}

// The database of that name: ERROR_FILE_NOT_FOUND when there is none.
DWORD FindByName(LPCWSTR name, CEOID* oid)
{
    Query query("SELECT oid FROM databases WHERE folded = ?1");
    query.BindText(1, FoldedUtf8(name, TextLength(name)));
    if (query.Step()) {
        *oid = static_cast<CEOID>(query.Integer(0));
        return ERROR_SUCCESS;
    }
    return query.error() ? query.error() : ERROR_FILE_NOT_FOUND;
}

void CopyName(const std::string& utf8, WCHAR (&name)[CEDB_MAXDBASENAMELEN])
{
    std::u16string text = FromUtf8(utf8);
    size_t length = std::min(text.size(), size_t(CEDB_MAXDBASENAMELEN - 1));
    for (size_t i = 0; i < length; ++i)
        name[i] = text[i];
    name[length] = 0;
}

void Describe(const DatabaseRow& row, CEOIDINFO* info)
{
    info->wObjType = OBJTYPE_DATABASE;
    CEDBASEINFO& database = info->infDatabase;
    database.dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDMODTIME;
    CopyName(row.name, database.szDbaseName);
    database.dwDbaseType = row.type;
    database.wNumRecords = static_cast<DWORD>(std::min<int64_t>(row.records, 0xFFFFFFFF));
    database.dwSize = static_cast<DWORD>(std::min<int64_t>(row.bytes, 0xFFFFFFFF));
    database.ftLastModified.dwLowDateTime = static_cast<DWORD>(row.modified);
    database.ftLastModified.dwHighDateTime = static_cast<DWORD>(row.modified >> 32);
    if (row.order.sorted) {
        database.wNumSortOrder = 1;
        database.rgSortSpecs[0] = {row.order.propid, row.order.flags};
    }
}
} // namespace

DatabaseCursor* CursorOf(HANDLE handle)
{
    return static_cast<DatabaseCursor*>(HandleObject(handle, HandleKind::Database));
}

namespace
{
struct CountChange {
    int64_t records = 0;
    int64_t bytes = 0;
    uint64_t modified = 0;
};
typedef std::map<CEOID, CountChange> CountChanges;

// Inside a batch: the counts noted by the change under way, and those of the changes kept since
// the batch's level began or its counts were last written.
CountChanges changeCounts;
CountChanges keptCounts;

void AddCounts(CountChange* to, const CountChange& change)
{
    to->records += change.records;
    to->bytes += change.bytes;
    to->modified = std::max(to->modified, change.modified);
}

// The database's row as it stands with the counts not yet written.
void ApplyUnwritten(DatabaseRow* row)
{
    for (const CountChanges* counts : {&keptCounts, &changeCounts}) {
        auto found = counts->find(row->oid);
        if (found == counts->end())
            continue;
        row->records += found->second.records;
        row->bytes += found->second.bytes;
        row->modified = std::max(row->modified, found->second.modified);
    }
}
} // namespace

DWORD LoadDatabase(CEOID oid, DatabaseRow* row)
{
    Query query("SELECT name, type, sort_prop, sort_flags, record_count, data_size, modified "
                "FROM databases WHERE oid = ?1");
    query.Bind(1, oid);
    if (!query.Step())
        return query.error() ? query.error() : ERROR_NOT_FOUND;
    row->oid = oid;
    row->name = query.Text(0);
    row->type = static_cast<DWORD>(query.Integer(1));
    row->order.sorted = !query.IsNull(2); // null: kept in the order written
    row->order.propid = static_cast<CEPROPID>(query.Integer(2));
    row->order.flags = static_cast<DWORD>(query.Integer(3));
    row->records = query.Integer(4);
    row->bytes = query.Integer(5);
    row->modified = static_cast<uint64_t>(query.Integer(6));
    ApplyUnwritten(row);
    if (row->order.sorted && !IsValidSortOrder(SORTORDERSPEC{row->order.propid, row->order.flags}))
        return ERROR_DISK_CORRUPT;
    if (row->records < 0 || row->bytes < 0)
        return ERROR_DISK_CORRUPT;
    return ERROR_SUCCESS;
}

DWORD NewObjectId(CEOID* oid)
{
    int64_t next = 0;
    {
        Query query("SELECT next_oid FROM store_counters WHERE id = 1");
        if (!query.Step())
            return query.error() ? query.error() : ERROR_DISK_CORRUPT;
        next = query.Integer(0);
    }
    if (next < 1)
        return ERROR_DISK_CORRUPT;
    // Identifiers are never given twice; a store that used them all is full.
    if (next > int64_t(largestObjectId))
        return ERROR_DISK_FULL;
    Query update("UPDATE store_counters SET next_oid = next_oid + 1 WHERE id = 1");
    DWORD error = update.Run();
    if (error)
        return error;
    *oid = static_cast<CEOID>(next);
    return ERROR_SUCCESS;
}

DWORD NoteDatabaseChange(CEOID database, int64_t records, int64_t bytes)
{
    if (InBatch()) {
        // The database is looked for once a level: while the batch holds the store, only this
        // program could delete it, and that writes the kept counts first.
        if (!keptCounts.count(database) && !changeCounts.count(database)) {
            Query query("SELECT 1 FROM databases WHERE oid = ?1");
            query.Bind(1, database);
            if (!query.Step())
                return query.error() ? query.error() : ERROR_NOT_FOUND;
        }
        AddCounts(&changeCounts[database], {records, bytes, FileTimeNow()});
        return ERROR_SUCCESS;
    }
    Query query("UPDATE databases SET record_count = record_count + ?2, "
                "data_size = data_size + ?3, modified = ?4 WHERE oid = ?1");
    query.Bind(1, database);
    query.Bind(2, records);
    query.Bind(3, bytes);
    query.Bind(4, static_cast<int64_t>(FileTimeNow()));
    DWORD error = query.Run();
    if (error)
        return error;
    return ChangedRows() == 1 ? ERROR_SUCCESS : ERROR_NOT_FOUND;
}

void KeepChangeCounts()
{
    for (const auto& [database, change] : changeCounts)
        AddCounts(&keptCounts[database], change);
    changeCounts.clear();
}

void DropChangeCounts()
{
    changeCounts.clear();
}

DWORD WriteKeptCounts()
{
    for (auto each = keptCounts.begin(); each != keptCounts.end();) {
        Query query("UPDATE databases SET record_count = record_count + ?2, "
                    "data_size = data_size + ?3, modified = max(modified, ?4) WHERE oid = ?1");
        query.Bind(1, each->first);
        query.Bind(2, each->second.records);
        query.Bind(3, each->second.bytes);
        query.Bind(4, static_cast<int64_t>(each->second.modified));
        DWORD error = query.Run();
        if (error)
            return error;
        each = keptCounts.erase(each);
    }
    return ERROR_SUCCESS;
}

void DropKeptCounts()
{
    keptCounts.clear();
    changeCounts.clear();
}
} // namespace store

using namespace store;

CEOID CeCreateDatabase(LPWSTR lpszName, DWORD dwDbaseType, WORD wNumSortOrder,
                       SORTORDERSPEC* rgSortSpecs)
{
    DWORD error;
    if (TakeFault(StoreOp::CreateDatabase, &error))
        return FailWith(error);
    // This store keeps one sort order a database, the one the program uses.
    if (!IsValidName(lpszName) || wNumSortOrder > 1 || (wNumSortOrder && !rgSortSpecs) ||
        (wNumSortOrder && !IsValidSortOrder(rgSortSpecs[0])))
        return FailWith(ERROR_INVALID_PARAMETER);
    Change change;
    if (change.error())
        return FailWith(change.error());
    CEOID existing;
    error = FindByName(lpszName, &existing);
    if (!error)
        return FailWith(ERROR_DUP_NAME);
    if (error != ERROR_FILE_NOT_FOUND)
        return FailWith(error);
    CEOID oid;
    error = NewObjectId(&oid);
    if (error)
        return FailWith(error);
    size_t length = TextLength(lpszName);
    Query insert("INSERT INTO databases (oid, name, folded, type, sort_prop, sort_flags, "
                 "record_count, data_size, modified) VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, 0, ?7)");
    insert.Bind(1, oid);
    insert.BindText(2, ToUtf8(lpszName, length));
    insert.BindText(3, FoldedUtf8(lpszName, length));
    insert.Bind(4, dwDbaseType);
    if (wNumSortOrder) {
        insert.Bind(5, rgSortSpecs[0].propid);
        insert.Bind(6, rgSortSpecs[0].dwFlags);
    } else {
        insert.Bind(6, 0);
    }
    insert.Bind(7, static_cast<int64_t>(FileTimeNow()));
    error = insert.Run();
    if (!error)
        error = change.Commit();
    return error ? FailWith(error) : oid;
}

HANDLE CeOpenDatabase(PCEOID poid, LPWSTR lpszName, CEPROPID propid, DWORD dwFlags, HWND hwndNotify)
{
    (void)hwndNotify;
    DWORD error;
    if (TakeFault(StoreOp::OpenDatabase, &error)) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    auto fail = [](DWORD why) {
        SetLastError(why);
        return INVALID_HANDLE_VALUE;
    };
    if (!poid || (dwFlags & ~DWORD(CEDB_AUTOINCREMENT)) || (!*poid && !IsValidName(lpszName)))
        return fail(ERROR_INVALID_PARAMETER);
    error = Ready();
    if (error)
        return fail(error);
    CEOID oid = *poid;
    if (!oid) {
        error = FindByName(lpszName, &oid);
        if (error)
            return fail(error);
    }
    DatabaseRow row;
    error = LoadDatabase(oid, &row);
    if (error)
        return fail(error == ERROR_NOT_FOUND ? ERROR_INVALID_PARAMETER : error);
    if (propid && !(row.order.sorted && row.order.propid == propid))
        return fail(ERROR_INVALID_PARAMETER);
    DatabaseCursor* cursor = new (std::nothrow) DatabaseCursor;
    if (!cursor)
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    cursor->database = oid;
    cursor->order = row.order;
    cursor->autoIncrement = dwFlags & CEDB_AUTOINCREMENT;
    HANDLE handle = NewHandle(HandleKind::Database, cursor, CloseCursor);
    if (!handle) {
        delete cursor;
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    ++OpenCounts()[oid];
    *poid = oid;
    return handle;
}

BOOL CeDeleteDatabase(CEOID oid)
{
    DWORD error;
    if (TakeFault(StoreOp::DeleteDatabase, &error))
        return FailWith(error);
    // The database's row goes: what is kept for it is written first, so that an undone
    // deletion leaves the row as it stood.
    error = InBatch() ? WriteKeptCounts() : ERROR_SUCCESS;
    if (error)
        return FailWith(error);
    Change change;
    if (change.error())
        return FailWith(change.error());
    DatabaseRow row;
    error = LoadDatabase(oid, &row);
    if (error)
        return FailWith(error == ERROR_NOT_FOUND ? ERROR_INVALID_PARAMETER : error);
    if (OpenCounts().count(oid))
        return FailWith(ERROR_SHARING_VIOLATION);
    Query records("DELETE FROM records WHERE db = ?1");
    records.Bind(1, oid);
    error = records.Run();
    if (!error) {
        Query database("DELETE FROM databases WHERE oid = ?1");
        database.Bind(1, oid);
        error = database.Run();
    }
    if (!error)
        error = change.Commit();
    return error ? FailWith(error) : TRUE;
}

BOOL CeOidGetInfo(CEOID oid, CEOIDINFO* poidInfo)
{
    DWORD error;
    if (TakeFault(StoreOp::OidGetInfo, &error))
        return FailWith(error);
    if (!poidInfo || !oid)
        return FailWith(ERROR_INVALID_PARAMETER);
    error = Ready();
    if (error)
        return FailWith(error);
    DatabaseRow row;
    error = LoadDatabase(oid, &row);
    if (error && error != ERROR_NOT_FOUND)
        return FailWith(error);
    if (!error) {
        *poidInfo = CEOIDINFO{};
        Describe(row, poidInfo);
        return TRUE;
    }
    Query record("SELECT db FROM records WHERE oid = ?1");
    record.Bind(1, oid);
    if (!record.Step())
        return FailWith(record.error() ? record.error() : ERROR_INVALID_PARAMETER);
    *poidInfo = CEOIDINFO{};
    poidInfo->wObjType = OBJTYPE_RECORD;
    poidInfo->infRecord.oidParent = static_cast<CEOID>(record.Integer(0));
    return TRUE;
}

HANDLE CeFindFirstDatabase(DWORD dwDbaseType)
{
    auto fail = [](DWORD why) {
        SetLastError(why);
        return INVALID_HANDLE_VALUE;
    };
    DWORD error = Ready();
    if (error)
        return fail(error);
    DatabaseSearch* search = new (std::nothrow) DatabaseSearch;
    if (!search)
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    Query query("SELECT oid FROM databases WHERE ?1 = 0 OR type = ?1 ORDER BY folded, name");
    query.Bind(1, dwDbaseType);
    while (query.Step())
        search->found.push_back(static_cast<CEOID>(query.Integer(0)));
    if (query.error()) {
        delete search;
        return fail(query.error());
    }
    HANDLE handle = NewHandle(HandleKind::DatabaseSearch, search, CloseSearch);
    if (!handle) {
        delete search;
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    return handle;
}

CEOID CeFindNextDatabase(HANDLE hEnum)
{
    DatabaseSearch* search =
        static_cast<DatabaseSearch*>(HandleObject(hEnum, HandleKind::DatabaseSearch));
    if (!search)
        return FailWith(ERROR_INVALID_HANDLE);
    DWORD error = Ready();
    if (error)
        return FailWith(error);
    // A database deleted since the search began is passed over.
    while (search->next < search->found.size()) {
        CEOID oid = search->found[search->next];
        DatabaseRow row;
        error = LoadDatabase(oid, &row);
        if (error && error != ERROR_NOT_FOUND)
            return FailWith(error);
        ++search->next;
        if (!error)
            return oid;
    }
    return FailWith(ERROR_NO_MORE_ITEMS);
}
