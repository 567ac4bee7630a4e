// The way store.db and its journal reach the disk: SQLite's own file system, with a full disk
// that tests can ask for (FailStoreWritesAfter) between SQLite and the host's files.
#pragma once

namespace store
{
// The name to open the store with: SQLite's default file system under this program's name,
// registered at the first call. Files opened through it behave exactly as through the default
// one until a test asks for a full disk.
const char* StoreFileSystem();

// Frees the disk again, as ClearStoreFaults does.
void ClearWriteFault();
} // namespace store
