// The one SQLite connection to the device's store.db, shared by the record databases and the
// registry: opening and checking the file, cached statements, changes as transactions, batches.
// One thread uses the store; nothing here is locked.
#pragma once

#include "platform/faults.h"
#include "platform/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace store
{
// The store file to use from now on; an empty path closes the store. Closing undoes a batch
// left open.
void UseStoreFile(const std::string& path);

// ERROR_SUCCESS when the store can be used now: the file is open and holds this store's tables
// (an empty file is given them), and no broken batch is pending. Otherwise the reason, and the
// file is left as it was.
DWORD Ready();

// The failure code that stands for an SQLite result.
DWORD ErrorFromSqlite(int result);

// A cached prepared statement, reset and unbound again when the Query ends. Statements of one
// text are shared, so a Query must not be nested inside another of the same text.
class Query
{
  public:
    explicit Query(const char* sql);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // Why the statement cannot be prepared, bound or stepped; ERROR_SUCCESS while it can.
    DWORD error() const { return error_; }

    void Bind(int index, int64_t value);
    void BindBlob(int index, const void* data, size_t bytes);
    void BindText(int index, const std::string& utf8);

    // True with a row to read; false when done or failed (error() tells which).
    bool Step();
    // Steps a statement that returns no row; its error, if any.
    DWORD Run();

    int Type(int column) const;
    bool IsNull(int column) const;
    int64_t Integer(int column) const;
    const void* BlobData(int column) const;
    size_t BlobSize(int column) const;
    std::string Text(int column) const;

  private:
    sqlite3_stmt* statement_ = nullptr;
    DWORD error_ = ERROR_SUCCESS;
};

// One change to the store: a transaction of its own, or a savepoint inside a batch. The change
// is undone unless Commit succeeds.
class Change
{
  public:
    Change();
    ~Change();
    Change(const Change&) = delete;
    Change& operator=(const Change&) = delete;

    // Why the change could not begin; ERROR_SUCCESS when it began.
    DWORD error() const { return error_; }
    // Commits (or, inside a batch, keeps) the change; on failure it is undone.
    DWORD Commit();

  private:
    void Undo();
    DWORD error_ = ERROR_SUCCESS;
    bool active_ = false;
    bool savepoint_ = false;
};

// True while a batch is open.
bool InBatch();

// How many rows the last INSERT, UPDATE or DELETE that ended changed.
int64_t ChangedRows();

// Grows with every change begun, kept or undone in this process, so that what was read before
// can be known to be out of date.
uint64_t ChangeCount();

// True (and the error to report) when a failure was asked for the current call of `op`.
bool TakeFault(StoreOp op, DWORD* error);

// FILETIME of the host's clock (UTC), as 100 ns steps since 1601.
uint64_t FileTimeNow();
} // namespace store
