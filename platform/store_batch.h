// Many changes to the store committed as one: either all of them reach store.db or none does.
// Inside a batch each operation still succeeds or fails alone, and a failed one changes
// nothing; the batch's changes are committed when the outermost batch ends with commit TRUE.
#pragma once

#include "platform/wintypes.h"

// Starts a batch, inside any batch already started. Every call, whatever it returns, must be
// matched by one EndStoreBatch. FALSE (with GetLastError) when the store cannot be opened or is
// locked by another program: every store operation then fails until the matching end.
BOOL BeginStoreBatch();

// Ends the innermost batch: keeps its changes (commit TRUE) or undoes them all. The outermost
// batch commits to store.db with full durability. FALSE (with GetLastError) when the changes
// could not be committed, and were therefore undone, or when no batch was started.
BOOL EndStoreBatch(BOOL commit = TRUE);
