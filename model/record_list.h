// Time records in memory: a doubly linked list of nodes that carry every text a record shows,
// built once when the node is filled, reached through a handle on the current node as the
// category list is. The list also keeps its first and last node, its count and its nodes by
// index, so that a single change at 100,000 records reaches its node at once and touches only
// the nodes it changes.
#pragma once

#include "platform/systime.h"
#include "platform/wintypes.h"

// Where a node's stored record is unknown: a new or reset node.
#define NO_STORED_RECORD 0u
#define RESET_RECORD_KEY 0xFFFFFFFFu

struct RecordNode {
    DWORD index; // position in the list from 0; as wide as the list can grow
    RecordNode* prev;
    RecordNode* next;
    DWORD recordKey; // property 0 of the stored record; RESET_RECORD_KEY once reset
    // Beside the links, so that a sort's walk reads one part of each node.
    LONG dateKey;    // yyyymmdd; 0 in a reset node
    SYSTEMTIME date; // only year, month and day carry meaning
    LPWSTR dateDmyDash;
    LPWSTR dateDmySlash;
    LPWSTR dateMdyDash;
    LPWSTR dateMdySlash;
    LPWSTR minutesText;
    LPWSTR durationComma;
    LPWSTR durationColon;
    LPWSTR category;
    LPWSTR memo;
    // The object identifier of the stored record this node was loaded from or written as, so
    // that an update or delete acts on exactly that record even when keys repeat.
    DWORD storedOid;
};

typedef RecordNode TimeRecord;

struct RecordList {
    RecordNode* current;
    RecordNode* first = nullptr;
    RecordNode* last = nullptr;
    DWORD count = 0;
    // The nodes by index, rows[i] numbered i, room for `capacity`: a node is found at once and
    // a walk over all of them fetches nodes ahead of their use. Null when memory ran short; the
    // chain is walked instead until the rows are made again (at the next sort or reload).
    RecordNode** rows = nullptr;
    DWORD capacity = 0;
    // Set when Current gave the handle out: its holder may walk the chain and relink it by
    // itself (as the store does after a change of many records), so first, last, count and
    // rows are taken again from the chain around the handle at the list's next use.
    mutable BOOL handleLent = FALSE;
};

// A node of no list with nothing in it, or null when memory runs out; and the freeing of such a
// node with its texts. Nodes are small local blocks: a list takes them by the hundred thousand
// and gives them all back at once when it goes.
RecordNode* MakeRecordNode();
void FreeRecordNode(RecordNode* node);

// Appends a copy of `source` (its texts rebuilt from its fields) and moves the handle to it.
RecordNode* Append(RecordList* list, const RecordNode* source);
// Removes the node with `index` and renumbers the nodes after it. The handle moves to the node
// that takes its place, or to the one before it when it was the last: a next change near the
// same row then finds its node at once. FALSE when no node has that index, an empty list
// included.
BOOL RemoveAt(RecordList* list, DWORD index);
// Links `node`, which belongs to no list, after the last node and moves the handle to it; the
// list owns it from then on. For moving nodes between lists without copying them.
void Attach(RecordList* list, RecordNode* node);
// The node with `index`, the handle on it; when absent, null with the handle on the first node.
// Found at once in the rows; without them walked to from the nearest of the first node, the
// last and the handle.
RecordNode* FindAt(RecordList* list, DWORD index);
// The first node whose date key equals `dateKey`, as FindAt.
RecordNode* FindByDateKey(RecordList* list, LONG dateKey);
// Rebuilds the node with `index` from `source`, searching forward from the current node only;
// the node keeps its place and the handle moves to it. Null, nothing changed, when no node at or
// after the current one has that index.
RecordNode* ReplaceAt(RecordList* list, DWORD index, const RecordNode* source);
void Clear(RecordList* list);
void Destroy(RecordList* list);

// The handle, for a caller that walks or relinks the chain by itself (see handleLent).
RecordNode* Current(const RecordList* list);
// First and Count move the handle to the first node; Last leaves it where it is.
RecordNode* First(RecordList* list);
RecordNode* Last(const RecordList* list);
RecordNode* Next(RecordList* list);
RecordNode* Prev(RecordList* list);
DWORD Count(RecordList* list);
// The nodes by index (see RecordList::rows), or null; the handle does not move.
RecordNode* const* Rows(RecordList* list);
// Relinks every node of the list in the order of `nodes` (all of them, each once), numbers them
// from 0 and leaves the handle on the last.
void LinkInOrder(RecordList* list, RecordNode* const* nodes, DWORD count);

// Zeroes a node's links, keys and texts; the date is left alone.
void InitRecordNode(RecordNode* node);
// Empties a filled node for reuse: texts freed, recordKey RESET_RECORD_KEY, dateKey 0.
void ResetRecordNode(RecordNode* node);
// Frees the texts of a node that is about to be discarded.
void FreeRecordTexts(RecordNode* node);
// Makes `destination` an unlinked copy of `source`, rebuilding every derived text from the
// source's date, minutes, category and memo.
void CopyRecord(RecordNode* destination, const RecordNode* source);

// The ready-made date text for a DateViewType (any unknown type reads day-month-year dashes),
// and the duration text for a TimeViewType (0 commas, anything else colons).
LPCWSTR DateText(const RecordNode* node, DWORD dateViewType);
LPCWSTR DurationText(const RecordNode* node, DWORD timeViewType);
