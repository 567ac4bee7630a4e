// What a database handle holds, and the database rows shared by the database and record
// operations.
#pragma once

#include "platform/store/record_codec.h"
#include "platform/store/store_connection.h"

#include <string>
#include <vector>

namespace store
{
// A record as read from the store, with its place in sort order.
struct Row {
    CEOID oid = 0;
    SortKey key;
    std::string props;
};

// An open database: its order and its read position. The position is kept as a place relative
// to a record's key rather than as the record itself, so that it stays meaningful when that
// record is deleted: the read position is then the record after it.
struct DatabaseCursor {
    CEOID database = 0;
    SortOrder order = {};
    bool autoIncrement = false;

    enum class Place {
        Beginning, // the first record
        AtOrAfter, // the first record at or after `key`, `oid`
        After,     // the first record after `key`, `oid`
        End,       // past the last record
    };
    Place place = Place::Beginning;
    SortKey key;
    CEOID oid = 0;

    // Records read ahead from the place: ahead[next] is the record at the read position, as
    // long as the store has not changed since they were read (aheadAt).
    std::vector<Row> ahead;
    size_t next = 0;
    bool aheadReachesEnd = false;
    uint64_t aheadAt = 0;
    bool aheadValid = false;
    size_t window = 0;
};

// The cursor behind a database handle; null for any other handle.
DatabaseCursor* CursorOf(HANDLE handle);

struct DatabaseRow {
    CEOID oid = 0;
    std::string name;
    DWORD type = 0;
    SortOrder order = {};
    int64_t records = 0;
    int64_t bytes = 0;
    uint64_t modified = 0;
};

// Reads the database `oid`: ERROR_NOT_FOUND when there is none, ERROR_DISK_CORRUPT when its
// row makes no sense.
DWORD LoadDatabase(CEOID oid, DatabaseRow* row);

// Takes the next object identifier; only inside a Change.
DWORD NewObjectId(CEOID* oid);

// Records the count and size change of a database and its time of change; only inside a
// Change. ERROR_NOT_FOUND when the database is gone.
//
// Inside a batch the databases' rows are not written at every change: what each change notes is
// kept in memory, taken back with the change or kept with it, and written when the batch's level
// ends (a batch that changes 100,000 records writes each database's row once). LoadDatabase
// answers with the counts as they stand, written or not.
DWORD NoteDatabaseChange(CEOID database, int64_t records, int64_t bytes);
// The change under way inside a batch was kept, or undone.
void KeepChangeCounts();
void DropChangeCounts();
// Writes the counts kept in memory into the databases' rows; before a batch's level ends kept
// and before anything else writes those rows. On failure the counts stay unwritten.
DWORD WriteKeptCounts();
// Forgets the counts kept in memory: the batch's level they belong to was undone.
void DropKeptCounts();

inline CEOID FailWith(DWORD error)
{
    SetLastError(error);
    return 0;
}
} // namespace store
