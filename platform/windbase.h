// The object store's record databases: named databases of records, each record an ordered list
// of typed properties, read in the order of one sort property. Kept in the device's store.db.
//
// What this store keeps of the handheld's service:
// - A database has a name (1 to 31 characters, compared without regard to case), a type, and
//   no sort order or one; a database with more than one sort order is refused.
// - Records are read in sort order. Records with equal sort values keep the order they were
//   first written in. Records that lack the sort property come after all others, unless the
//   order has CEDB_SORT_UNKNOWNFIRST, which puts them before.
// - Object identifiers of databases and records come from one sequence and are never given
//   out twice, so an identifier kept from an earlier read never names another record.
// - Every change is committed to store.db before the call returns (see store_batch.h for
//   grouping many changes into one commit).
// - Failures return 0 (or INVALID_HANDLE_VALUE, FALSE) and set GetLastError: ERROR_DISK_CORRUPT
//   for a damaged store, ERROR_BADDB for a file that is not a store, ERROR_SHARING_VIOLATION
//   for a store another program keeps locked, ERROR_DISK_FULL, ERROR_ACCESS_DENIED,
//   ERROR_CANTOPEN when no device folder is open, ERROR_INVALID_PARAMETER for bad arguments.
//   A failed call changes nothing, the read position included.
// - Database change notifications are not sent; a notification window is accepted and unused.
#pragma once

#include "platform/wintypes.h"

typedef DWORD CEOID;
typedef CEOID* PCEOID;
typedef DWORD CEPROPID;
typedef CEPROPID* PCEPROPID;

// A property identifier is (number << 16 | type): the low word names the value's type.
#define TypeFromPropID(propid) LOWORD(propid)

#define CEVT_I2 2
#define CEVT_I4 3
#define CEVT_R8 5
#define CEVT_BOOL 11
#define CEVT_UI2 18
#define CEVT_UI4 19
#define CEVT_LPWSTR 31
#define CEVT_FILETIME 64
#define CEVT_BLOB 65

typedef struct _CEBLOB {
    DWORD dwCount;
    LPBYTE lpb;
} CEBLOB, *PCEBLOB;

typedef union _CEVALUNION {
    SHORT iVal;
    USHORT uiVal;
    LONG lVal;
    ULONG ulVal;
    FILETIME filetime;
    LPWSTR lpwstr;
    CEBLOB blob;
    BOOL boolVal;
    double dblVal;
} CEVALUNION, *PCEVALUNION;

typedef struct _CEPROPVAL {
    CEPROPID propid;
    WORD wLenData; // unused, 0 on read
    WORD wFlags;
    CEVALUNION val;
} CEPROPVAL, *PCEPROPVAL;

// wFlags: set on read for a requested property the record lacks; given on write to remove one.
#define CEDB_PROPNOTFOUND 0x0100
#define CEDB_PROPDELETE 0x0200

// The largest record, counting every property's value bytes.
#define CEDB_MAXRECORDSIZE (128 * 1024)

#define CEDB_MAXDBASENAMELEN 32
#define CEDB_MAXSORTORDER 4

// Sort flags. CEDB_SORT_CASEINSENSITIVE applies to text only.
#define CEDB_SORT_DESCENDING 0x00000001
#define CEDB_SORT_CASEINSENSITIVE 0x00000002
#define CEDB_SORT_UNKNOWNFIRST 0x00000004

typedef struct _SORTORDERSPEC {
    CEPROPID propid;
    DWORD dwFlags;
} SORTORDERSPEC;

// Which members of CEDBASEINFO are filled.
#define CEDB_VALIDNAME 0x0001
#define CEDB_VALIDTYPE 0x0002
#define CEDB_VALIDSORTSPEC 0x0004
#define CEDB_VALIDMODTIME 0x0008

typedef struct _CEDBASEINFO {
    DWORD dwFlags;
    WCHAR szDbaseName[CEDB_MAXDBASENAMELEN];
    DWORD dwDbaseType;
    // Keeps its name but holds 32 bits: a 16-bit count would wrap at 65,536 records.
    DWORD wNumRecords;
    WORD wNumSortOrder;
    DWORD dwSize; // bytes of property data held by the records
    FILETIME ftLastModified;
    SORTORDERSPEC rgSortSpecs[CEDB_MAXSORTORDER];
} CEDBASEINFO;

#ifndef MAX_PATH
#define MAX_PATH 260
#endif

typedef struct _CEFILEINFO {
    DWORD dwAttributes;
    CEOID oidParent;
    WCHAR szFileName[MAX_PATH];
    FILETIME ftLastChanged;
    DWORD dwLength;
} CEFILEINFO;

typedef struct _CEDIRINFO {
    DWORD dwAttributes;
    CEOID oidParent;
    WCHAR szDirName[MAX_PATH];
} CEDIRINFO;

typedef struct _CERECORDINFO {
    CEOID oidParent;
} CERECORDINFO;

#define OBJTYPE_INVALID 0
#define OBJTYPE_FILE 1
#define OBJTYPE_DIRECTORY 2
#define OBJTYPE_DATABASE 3
#define OBJTYPE_RECORD 4

typedef struct _CEOIDINFO {
    WORD wObjType;
    WORD wPad;
    union {
        CEFILEINFO infFile;
        CEDIRINFO infDirectory;
        CEDBASEINFO infDatabase;
        CERECORDINFO infRecord;
    };
} CEOIDINFO;

// CeOpenDatabase: each read moves the read position to the next record.
#define CEDB_AUTOINCREMENT 0x00000001
// CeReadRecordProps: the buffer may be grown (or allocated when null) with LocalReAlloc.
#define CEDB_ALLOWREALLOC 0x00000001

#define CEDB_SEEK_CEOID 0x00000001
#define CEDB_SEEK_BEGINNING 0x00000002
#define CEDB_SEEK_END 0x00000004
#define CEDB_SEEK_CURRENT 0x00000008
#define CEDB_SEEK_VALUESMALLER 0x00000010
#define CEDB_SEEK_VALUEFIRSTEQUAL 0x00000020
#define CEDB_SEEK_VALUEGREATER 0x00000040
#define CEDB_SEEK_VALUENEXTEQUAL 0x00000080

#ifndef ERROR_DUP_NAME
#define ERROR_DUP_NAME 52L
#endif
#ifndef ERROR_NOT_FOUND
#define ERROR_NOT_FOUND 1168L
#endif

// Creates an empty database. Returns its identifier; 0 with ERROR_DUP_NAME when a database of
// that name exists, ERROR_INVALID_PARAMETER for a bad name, more than one sort order, a sort on
// a BLOB property or unknown sort flags.
CEOID CeCreateDatabase(LPWSTR lpszName, DWORD dwDbaseType, WORD wNumSortOrder,
                       SORTORDERSPEC* rgSortSpecs);

// Opens a database by name when *poid is 0 (and then stores its identifier there), by
// identifier otherwise. `propid` is 0 or the database's sort property. The read position starts
// at the first record. INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND when there is no database
// of that name, ERROR_INVALID_PARAMETER when *poid is not a database.
HANDLE CeOpenDatabase(PCEOID poid, LPWSTR lpszName, CEPROPID propid, DWORD dwFlags,
                      HWND hwndNotify);

// Deletes a database with all its records. Fails with ERROR_SHARING_VIOLATION while this
// program holds it open.
BOOL CeDeleteDatabase(CEOID oid);

// Describes a database (OBJTYPE_DATABASE with infDatabase) or a record (OBJTYPE_RECORD with the
// database as infRecord.oidParent).
BOOL CeOidGetInfo(CEOID oid, CEOIDINFO* poidInfo);

// Moves the read position and returns the identifier of the record found there, with its place
// in sort order (from 0) in *lpdwIndex when that is not null.
// - CEDB_SEEK_CEOID: the record `dwValue`.
// - CEDB_SEEK_BEGINNING / CEDB_SEEK_END: the record `dwValue` places from the first / last one
//   (CEDB_SEEK_END with 0 is the last record).
// - CEDB_SEEK_CURRENT: `dwValue` places (a signed 32-bit count) from the current record.
// - CEDB_SEEK_VALUE*: `dwValue` points at a CEPROPVAL of the sort property. FIRSTEQUAL: the
//   first record with that value; NEXTEQUAL: the record after the current one, if its value is
//   that; GREATER: the first record whose value comes after it in sort order; SMALLER: the
//   last record whose value comes before it.
// When there is no such record the position moves past the last record and the result is 0
// with ERROR_NOT_FOUND.
CEOID CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, LPDWORD lpdwIndex);

// Reads the record at the read position (and with CEDB_AUTOINCREMENT moves to the next one):
// all its properties in stored order when `rgPropID` is null, with their count in *lpcPropID;
// otherwise the *lpcPropID properties asked for, in that order, CEDB_PROPNOTFOUND marking those
// it lacks. *lplpBuffer receives the CEPROPVAL array followed by the texts and BLOBs it points
// into; a buffer smaller than *lpcbBuffer needs is grown with CEDB_ALLOWREALLOC (allocated when
// null) and *lpcbBuffer updated, else the call fails with ERROR_INSUFFICIENT_BUFFER and
// *lpcbBuffer says the size needed. Returns the record's identifier; 0 with ERROR_NO_MORE_ITEMS
// past the last record.
CEOID CeReadRecordProps(HANDLE hDbase, DWORD dwFlags, LPWORD lpcPropID, CEPROPID* rgPropID,
                        LPBYTE* lplpBuffer, LPDWORD lpcbBuffer);

// Writes a new record (oidRecord 0) with these properties in this order, or changes an existing
// one in place: a property it has is given the new value where it stands, a new one is added
// at the end, one with CEDB_PROPDELETE is removed. A null text is stored as empty text. Returns
// the record's identifier. The read position does not move.
CEOID CeWriteRecordProps(HANDLE hDbase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal);

BOOL CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord);

// Lists the databases of a type (0: all), by name; close the search with CloseHandle.
// CeFindNextDatabase returns 0 with ERROR_NO_MORE_ITEMS after the last one.
HANDLE CeFindFirstDatabase(DWORD dwDbaseType);
CEOID CeFindNextDatabase(HANDLE hEnum);
