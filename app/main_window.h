// The program's one top-level window: it builds the menu bar and the record list, turns every
// command into a dialog or an action on the records, and closes the program in order.
#pragma once

#include "model/record_list.h"
#include "platform/windows.h"

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets SavedSelection to the selected row of the record list, -1 when none.
void RememberSelection();
// Focuses the record list and selects SavedSelection again.
void RestoreSelection();
// Plays the WAVE resource `name` from memory; 0 when it cannot be found or loaded.
BOOL PlayResourceSound(LPCWSTR name);

// The undo store of the last 12 records deleted one by one.
#define UNDO_CAPACITY 12
// Stores a copy of a deleted record for Undo Deleting; 0 when the store is full and the user
// would rather keep the record. The two halves serve a caller that must delete in between: the
// question first, then, once the record is really gone, the copy (dropping the oldest when full).
BOOL PushDeletedRecord(const RecordNode* record);
BOOL UndoHasRoomOrUserAgrees();
void KeepDeletedRecord(const RecordNode* record);
void RestoreLastDeleted();
void UpdateUndoCommands();
