#include "platform/store/store_connection.h"
#include "platform/store/database_cursor.h"
#include "platform/store/store_identity.h"
#include "platform/store/store_vfs.h"

#include "platform/store_batch.h"

#include <sqlite3.h>

#include <cerrno>
#include <chrono>
#include <iterator>
#include <sys/stat.h>
#include <unordered_map>

namespace store
{
namespace
{
// The application id marks a file as this program's store, so that another program's SQLite
// file is refused rather than written into. Version 2 keeps the records in their databases'
// order (see `schema`); a version 1 store, whose records lay in the order they were made with an
// index beside them, is brought to it when opened.
const int storeApplicationId = StoreApplicationId();
const int storeSchemaVersion = StoreSchemaVersion();
const int firstSchemaVersion = FirstStoreSchemaVersion();

// The records table of the present layout, made by the schema and by the upgrade to it.
#define RECORDS_TABLE                                                                              \
    "CREATE TABLE records("                                                                        \
    "    oid INTEGER NOT NULL,"                                                                    \
    "    db INTEGER NOT NULL,"                                                                     \
    "    rank INTEGER NOT NULL,"                                                                   \
    "    sort_value NOT NULL,"                                                                     \
    "    props BLOB NOT NULL,"                                                                     \
    "    PRIMARY KEY (db, rank, sort_value, oid)) WITHOUT ROWID;\n"

// The rollback journal (DELETE mode) keeps store.db a complete store of its own after every
// commit: a copy of that one file is a whole backup, and nothing lives in side files the way
// a write-ahead log would keep committed changes. One fsync'ed commit per confirmed change is
// cheap at the pace a person works, and batches make bulk writes one commit.
const char* const schema = R"(
CREATE TABLE store_counters(
    id INTEGER PRIMARY KEY CHECK (id = 1),
    next_oid INTEGER NOT NULL);
INSERT INTO store_counters VALUES (1, 1);
CREATE TABLE databases(
    oid INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    folded TEXT NOT NULL UNIQUE,
    type INTEGER NOT NULL,
    sort_prop INTEGER,
    sort_flags INTEGER NOT NULL,
    record_count INTEGER NOT NULL,
    data_size INTEGER NOT NULL,
    modified INTEGER NOT NULL);
)" RECORDS_TABLE R"(CREATE UNIQUE INDEX records_by_oid ON records(oid);
CREATE TABLE registry_keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    UNIQUE (parent, folded));
INSERT INTO registry_keys VALUES (1, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');
CREATE TABLE registry_values(
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY (key, folded)) WITHOUT ROWID;
)";

// Records kept in their databases' order: reading a database from its start is a walk along the
// table, where the first version's rows were each looked up from its index.
const char* const clusteredRecords = R"(
ALTER TABLE records RENAME TO records_by_creation;
)" RECORDS_TABLE R"(INSERT INTO records (oid, db, rank, sort_value, props)
    SELECT oid, db, rank, sort_value, props FROM records_by_creation;
DROP TABLE records_by_creation;
CREATE UNIQUE INDEX records_by_oid ON records(oid);
PRAGMA user_version = 2;
)";

// Outside a batch the cache stays small: a database read from its start touches each page once,
// and a single change a few. A batch, which may change every record, has a cache that holds a
// large store's pages, so that they are not spilled to the file and read back before the
// commit; its end gives that memory back.
const char* const smallCache = "PRAGMA cache_size = -2048";
const char* const batchCache = "PRAGMA cache_size = -32768";

const char* const storeTables[] = {"store_counters", "databases", "records", "registry_keys",
                                   "registry_values"};

struct Connection {
    std::string path;
    sqlite3* db = nullptr;
    std::unordered_map<const char*, sqlite3_stmt*> statements;
    int busyMilliseconds = 3000;
    int batchDepth = 0;
    // Set when a batch could not begin or lost its transaction: the whole batch fails.
    DWORD batchError = ERROR_SUCCESS;
    DWORD lastFailure = ERROR_SUCCESS;
    uint64_t changes = 0;
};

Connection& Store()
{
    static Connection connection;
    return connection;
}

DWORD Exec(const char* sql)
{
    int result = sqlite3_exec(Store().db, sql, nullptr, nullptr, nullptr);
    if (result == SQLITE_OK)
        return ERROR_SUCCESS;
    Store().lastFailure = ErrorFromSqlite(result);
    return Store().lastFailure;
}

void Disconnect()
{
    Connection& store = Store();
    for (auto& entry : store.statements)
        sqlite3_finalize(entry.second);
    store.statements.clear();
    if (store.db)
        sqlite3_close(store.db);
    store.db = nullptr;
    store.batchDepth = 0;
    DropKeptCounts();
    store.batchError = ERROR_SUCCESS;
    ++store.changes;
}

// One integer from a statement without parameters.
DWORD ReadInteger(const char* sql, int64_t* value)
{
    sqlite3_stmt* statement = nullptr;
    int result = sqlite3_prepare_v2(Store().db, sql, -1, &statement, nullptr);
    if (result == SQLITE_OK) {
        result = sqlite3_step(statement);
        if (result == SQLITE_ROW) {
            *value = sqlite3_column_int64(statement, 0);
            result = SQLITE_OK;
        }
    }
    sqlite3_finalize(statement);
    return result == SQLITE_OK ? ERROR_SUCCESS : ErrorFromSqlite(result);
}

// Runs `sql` as one transaction when `stillToDo` says so once the store is locked: another
// program may have done the same while this one waited for the lock. On failure nothing of it
// is kept.
template <typename Check> DWORD RunLocked(Check stillToDo, const std::string& sql)
{
    DWORD error = Exec("BEGIN IMMEDIATE");
    if (error)
        return error;
    bool toDo = false;
    error = stillToDo(&toDo);
    if (!error && toDo)
        error = Exec(sql.c_str());
    if (!error)
        error = Exec("COMMIT");
    if (error && !sqlite3_get_autocommit(Store().db))
        sqlite3_exec(Store().db, "ROLLBACK", nullptr, nullptr, nullptr);
    return error;
}

DWORD CreateSchema()
{
    std::string sql = schema;
    sql += "PRAGMA application_id = " + std::to_string(storeApplicationId) + ";";
    sql += "PRAGMA user_version = " + std::to_string(storeSchemaVersion) + ";";
    auto isEmpty = [](bool* toDo) {
        int64_t objects = 0;
        DWORD error = ReadInteger("SELECT count(*) FROM sqlite_schema", &objects);
        *toDo = objects == 0;
        return error;
    };
    return RunLocked(isEmpty, sql);
}

// Brings a first-version store to the current one in one transaction: the store is either
// upgraded whole or left as it was.
DWORD UpgradeStore()
{
    auto isFirstVersion = [](bool* toDo) {
        int64_t version = 0;
        DWORD error = ReadInteger("PRAGMA user_version", &version);
        *toDo = version == firstSchemaVersion;
        return error;
    };
    DWORD error = RunLocked(isFirstVersion, clusteredRecords);
    // The first version's rows leave as much free space in the file as the records take; giving
    // it back is worth one rewrite of the file, and a store that keeps it (a full disk, say)
    // is as sound.
    if (!error)
        sqlite3_exec(Store().db, "VACUUM", nullptr, nullptr, nullptr);
    return error;
}

// Makes sure the open file is this program's store, giving an empty file its tables. Never
// changes a file that holds anything else.
DWORD CheckStore()
{
    int64_t applicationId = 0;
    int64_t objects = 0;
    DWORD error = ReadInteger("PRAGMA application_id", &applicationId);
    if (!error)
        error = ReadInteger("SELECT count(*) FROM sqlite_schema", &objects);
    if (error)
        return error;
    if (objects == 0 && (applicationId == 0 || applicationId == storeApplicationId))
        return CreateSchema();
    if (applicationId != storeApplicationId)
        return ERROR_BADDB;
    int64_t version = 0;
    error = ReadInteger("PRAGMA user_version", &version);
    if (error)
        return error;
    if (version == firstSchemaVersion)
        error = UpgradeStore();
    else if (version != storeSchemaVersion)
        return ERROR_BADDB;
    if (error)
        return error;
    std::string sql = "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN (";
    for (const char* table : storeTables)
        sql += std::string(table == storeTables[0] ? "'" : ", '") + table + "'";
    sql += ")";
    int64_t tables = 0;
    error = ReadInteger(sql.c_str(), &tables);
    if (error)
        return error;
    return tables == static_cast<int64_t>(std::size(storeTables)) ? ERROR_SUCCESS
                                                                  : ERROR_DISK_CORRUPT;
}

DWORD Connect()
{
    Connection& store = Store();
    if (store.db)
        return ERROR_SUCCESS;
    if (store.path.empty())
        return ERROR_CANTOPEN;
    struct stat info;
    if (stat(store.path.c_str(), &info) != 0)
        return errno == ENOENT   ? ERROR_FILE_NOT_FOUND
               : errno == EACCES ? ERROR_ACCESS_DENIED
                                 : ERROR_CANTOPEN;
    if (!S_ISREG(info.st_mode))
        return ERROR_CANTOPEN;
    // Without SQLITE_OPEN_CREATE: a store file that vanished is reported, not made anew. Only
    // the program's one thread uses the connection, so it takes no lock at every call.
    int result = sqlite3_open_v2(store.path.c_str(), &store.db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, StoreFileSystem());
    DWORD error = ERROR_SUCCESS;
    if (result != SQLITE_OK) {
        error = ErrorFromSqlite(result);
    } else {
        sqlite3_extended_result_codes(store.db, 1);
        sqlite3_busy_timeout(store.db, store.busyMilliseconds);
        sqlite3_db_config(store.db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(store.db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        error = Exec("PRAGMA synchronous = FULL");
        if (!error)
            error = Exec("PRAGMA cell_size_check = ON");
        // A change inside a batch is a savepoint whose undo pages need no disk: the batch's own
        // journal on disk is what keeps the store whole through a crash.
        if (!error)
            error = Exec("PRAGMA temp_store = MEMORY");
        if (!error)
            error = Exec(smallCache);
        if (!error)
            error = CheckStore();
    }
    if (error) {
        sqlite3_close(store.db);
        store.db = nullptr;
    }
    return error;
}

sqlite3_stmt* Prepared(const char* sql, DWORD* error)
{
    Connection& store = Store();
    auto found = store.statements.find(sql);
    if (found != store.statements.end())
        return found->second;
    sqlite3_stmt* statement = nullptr;
    int result =
        sqlite3_prepare_v3(store.db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_finalize(statement);
        *error = ErrorFromSqlite(result);
        return nullptr;
    }
    store.statements.emplace(sql, statement);
    return statement;
}

// Runs one statement of the transaction texts, kept prepared: they run around every change.
DWORD Run(const char* sql)
{
    DWORD error = ERROR_SUCCESS;
    sqlite3_stmt* statement = Prepared(sql, &error);
    if (!statement)
        return error;
    int result = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (result == SQLITE_DONE || result == SQLITE_ROW)
        return ERROR_SUCCESS;
    Store().lastFailure = ErrorFromSqlite(result);
    return Store().lastFailure;
}

// True when the batch's transaction is still there to work in.
bool BatchIntact()
{
    Connection& store = Store();
    if (store.batchError)
        return false;
    if (sqlite3_get_autocommit(store.db)) {
        // SQLite undid the whole transaction after a failure (a full disk, an I/O error).
        store.batchError = store.lastFailure ? store.lastFailure : ERROR_WRITE_FAULT;
        return false;
    }
    return true;
}
} // namespace

void UseStoreFile(const std::string& path)
{
    Disconnect();
    Store().path = path;
}

DWORD Ready()
{
    DWORD error = Connect();
    if (error)
        return error;
    if (Store().batchDepth > 0 && !BatchIntact())
        return Store().batchError;
    return ERROR_SUCCESS;
}

DWORD ErrorFromSqlite(int result)
{
    switch (result & 0xff) {
    case SQLITE_OK: return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERROR_SHARING_VIOLATION;
    case SQLITE_CORRUPT: return ERROR_DISK_CORRUPT;
    case SQLITE_NOTADB: return ERROR_BADDB;
    case SQLITE_FULL: return ERROR_DISK_FULL;
    case SQLITE_CANTOPEN: return ERROR_CANTOPEN;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return ERROR_ACCESS_DENIED;
    case SQLITE_NOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
    case SQLITE_MISMATCH: return ERROR_INVALID_PARAMETER;
    case SQLITE_IOERR:
        return result == SQLITE_IOERR_READ || result == SQLITE_IOERR_SHORT_READ ? ERROR_READ_FAULT
                                                                                : ERROR_WRITE_FAULT;
    default: return ERROR_BADDB;
    }
}

Query::Query(const char* sql)
{
    error_ = Connect();
    if (!error_)
        statement_ = Prepared(sql, &error_);
}

Query::~Query()
{
    if (statement_) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
}

void Query::Bind(int index, int64_t value)
{
    if (!error_)
        error_ = ErrorFromSqlite(sqlite3_bind_int64(statement_, index, value));
}

void Query::BindBlob(int index, const void* data, size_t bytes)
{
    // A zero-length blob still binds as a blob, never as NULL.
    static const char none = 0;
    if (!error_)
        error_ = ErrorFromSqlite(
            sqlite3_bind_blob64(statement_, index, bytes ? data : &none, bytes, SQLITE_TRANSIENT));
}

void Query::BindText(int index, const std::string& utf8)
{
    if (!error_)
        error_ = ErrorFromSqlite(sqlite3_bind_text64(statement_, index, utf8.data(), utf8.size(),
                                                     SQLITE_TRANSIENT, SQLITE_UTF8));
}

bool Query::Step()
{
    if (error_)
        return false;
    int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE) {
        error_ = ErrorFromSqlite(result);
        Store().lastFailure = error_;
    }
    return false;
}

DWORD Query::Run()
{
    while (Step()) {
    }
    return error_;
}

int Query::Type(int column) const
{
    return sqlite3_column_type(statement_, column);
}

bool Query::IsNull(int column) const
{
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

int64_t Query::Integer(int column) const
{
    return sqlite3_column_int64(statement_, column);
}

const void* Query::BlobData(int column) const
{
    return sqlite3_column_blob(statement_, column);
}

size_t Query::BlobSize(int column) const
{
    return static_cast<size_t>(sqlite3_column_bytes(statement_, column));
}

std::string Query::Text(int column) const
{
    const unsigned char* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string();
}

Change::Change()
{
    error_ = Ready();
    if (error_)
        return;
    savepoint_ = Store().batchDepth > 0;
    error_ = Run(savepoint_ ? "SAVEPOINT change" : "BEGIN IMMEDIATE");
    if (error_)
        return;
    active_ = true;
    ++Store().changes;
}

Change::~Change()
{
    if (active_)
        Undo();
}

void Change::Undo()
{
    sqlite3* db = Store().db;
    active_ = false;
    ++Store().changes;
    if (savepoint_) {
        DropChangeCounts();
        if (BatchIntact()) {
            Run("ROLLBACK TO change");
            Run("RELEASE change");
        }
    } else if (!sqlite3_get_autocommit(db)) {
        Run("ROLLBACK");
    }
}

DWORD Change::Commit()
{
    if (!active_)
        return error_ ? error_ : ERROR_INVALID_PARAMETER;
    DWORD error = Run(savepoint_ ? "RELEASE change" : "COMMIT");
    if (error) {
        Undo();
        return error;
    }
    active_ = false;
    ++Store().changes;
    if (savepoint_)
        KeepChangeCounts();
    return ERROR_SUCCESS;
}

bool InBatch()
{
    return Store().batchDepth > 0;
}

int64_t ChangedRows()
{
    return Store().db ? sqlite3_changes64(Store().db) : 0;
}

uint64_t ChangeCount()
{
    return Store().changes;
}

uint64_t FileTimeNow()
{
    using namespace std::chrono;
    // 1601-01-01 to 1970-01-01 in seconds.
    const int64_t epochDifference = 11644473600;
    int64_t hundreds =
        duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    return static_cast<uint64_t>(hundreds + epochDifference * 10000000);
}
} // namespace store

void SetStoreBusyTimeout(int milliseconds)
{
    store::Store().busyMilliseconds = milliseconds < 0 ? 0 : milliseconds;
    if (store::Store().db)
        sqlite3_busy_timeout(store::Store().db, store::Store().busyMilliseconds);
}

BOOL BeginStoreBatch()
{
    using namespace store;
    Connection& state = Store();
    ++state.batchDepth;
    DWORD error = ERROR_SUCCESS;
    if (state.batchDepth == 1) {
        state.batchError = ERROR_SUCCESS;
        error = Connect();
        if (!error)
            error = Exec(batchCache);
        if (!error)
            error = Exec("BEGIN IMMEDIATE");
    } else if (!BatchIntact()) {
        error = state.batchError;
    } else {
        // An inner batch undone takes back its own counts only.
        error = WriteKeptCounts();
        if (!error)
            error = Exec("SAVEPOINT batch");
    }
    if (error) {
        state.batchError = error;
        SetLastError(error);
        return FALSE;
    }
    ++state.changes;
    return TRUE;
}

BOOL EndStoreBatch(BOOL commit)
{
    using namespace store;
    Connection& state = Store();
    if (state.batchDepth == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    --state.batchDepth;
    ++state.changes;
    bool intact =
        state.db && (state.batchError == ERROR_SUCCESS) && !sqlite3_get_autocommit(state.db);
    if (!intact) {
        DWORD error = state.batchError ? state.batchError : ERROR_WRITE_FAULT;
        DropKeptCounts();
        if (state.batchDepth == 0) {
            if (state.db && !sqlite3_get_autocommit(state.db))
                sqlite3_exec(state.db, "ROLLBACK", nullptr, nullptr, nullptr);
            if (state.db)
                sqlite3_exec(state.db, smallCache, nullptr, nullptr, nullptr);
            state.batchError = ERROR_SUCCESS;
        } else {
            state.batchError = error;
        }
        SetLastError(error);
        return FALSE;
    }
    // Counts that cannot be written undo the level whole, as a failed commit would.
    DWORD error = commit ? WriteKeptCounts() : ERROR_SUCCESS;
    DropKeptCounts();
    bool keep = commit && !error;
    if (state.batchDepth > 0) {
        DWORD ended = keep ? ERROR_SUCCESS : Exec("ROLLBACK TO batch");
        if (!ended)
            ended = Exec("RELEASE batch");
        if (!error)
            error = ended;
        if (error)
            state.batchError = error;
    } else {
        DWORD ended = Exec(keep ? "COMMIT" : "ROLLBACK");
        if (!error)
            error = ended;
        if (error && !sqlite3_get_autocommit(state.db))
            sqlite3_exec(state.db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_exec(state.db, smallCache, nullptr, nullptr, nullptr);
    }
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
