// The two databases of the device's object store that hold everything the user keeps: one
// record per time record in "Ulmra Zentally", one per category in "Ulmra ZentallyCustom".
// Every change is written through at the moment the user confirms it.
#pragma once

#include "model/record_list.h"
#include "platform/windbase.h"

#define RECORDS_DATABASE_NAME u"Ulmra Zentally"
#define CATEGORIES_DATABASE_NAME u"Ulmra ZentallyCustom"

// Properties of a time record, in the order they are written; property 0 is the sort key.
#define PROP_RECORD_KEY 0x00000013u
#define PROP_RECORD_DAY 0x00010013u
#define PROP_RECORD_MONTH 0x00020013u
#define PROP_RECORD_YEAR 0x00030013u
#define PROP_RECORD_CATEGORY 0x0004001Fu
#define PROP_RECORD_MINUTES 0x0005001Fu
#define PROP_RECORD_MEMO 0x0006001Fu
// Properties of a category: its position in the list (the sort key) and its name.
#define PROP_CATEGORY_POSITION 0x00000013u
#define PROP_CATEGORY_NAME 0x0001001Fu

// The longest duration a record may hold, in minutes.
#define MAX_RECORD_MINUTES 1499

struct DatabaseState {
    HANDLE categories;      // 0 when closed
    CEOID categoriesOid;    // 0 while the database does not exist
    CEOID firstCategoryOid; // where reading the categories starts
    HANDLE records;         // INVALID_HANDLE_VALUE after a failed open, 0 after a close
    CEOID recordsOid;
};

// Opens the categories database and loads MainCategoryList from it (Job, Reading and Sport
// when there is none or it is empty), then opens or creates the records database. FALSE when
// the program cannot go on, after any message of its own.
BOOL OpenDatabases();
// Reads every category record into MainCategoryList, skipping names already present.
BOOL LoadCategories();
BOOL CreateRecordsDatabase();
// Replaces MainRecordList by every stored record, in key order. FALSE when there is none (the
// list is then empty) and on failure, which has been reported.
BOOL LoadRecords();
// Writes `node` as a new record under a fresh key built from the local time (the next free one
// when that is taken), returned in `recordKey`; the node learns the record it was written as.
BOOL AddRecord(RecordNode* node, DWORD* recordKey);
// Delete or overwrite exactly the stored record the node was loaded from or written as, found
// by its object identifier, or for a node that never was stored, the first with its key. FALSE,
// without a message, when there is no such record.
BOOL DeleteRecord(const RecordNode* node);
BOOL UpdateRecord(const RecordNode* node);
// Deletes the stored record of every node of `records` (each found as DeleteRecord finds it) as
// one change of the store: all of them, or none when one cannot be deleted or the change cannot
// be kept, which the user is told once. A node whose record the store no longer holds is passed
// over. FALSE when nothing was deleted.
BOOL DeleteRecords(RecordList* records);
// Carry a category's rename or deletion into the records: every record of MainRecordList of
// category `oldName` (exact, case-sensitive) gets `newName`, or every record of `name` is
// deleted, as one change of the store. All of them or none: a failure part way or of the commit
// changes no record, is told once, and the list is read again from the store. After the change
// MainRecordList holds the records LoadRecords would give, in its order: the nodes themselves
// changed and put in the store's key order (the handle on the first) when they were exactly the
// stored records, otherwise the list read again. A record written with no memo gets the blank
// one it is stored with. FALSE when the list is as it was (no record of that category, or a
// store that could not be opened, which has been reported); TRUE when it must be sorted and
// shown anew.
BOOL RenameRecordsCategory(LPCWSTR oldName, LPCWSTR newName);
BOOL DeleteRecordsOfCategory(LPCWSTR name);
// Rewrites the categories database from MainCategoryList and leaves it closed.
BOOL SaveCategories();
// Closes the records database, deleting it when it holds no record.
BOOL DropEmptyRecordsDatabase();
