// The device's storage: one folder holding store.db (the object store and the registry) and
// files/, the handheld's file system. Only the standard library is used here, so that the
// program may include it.
#pragma once

#include "platform/wintypes.h"

#include <string>

enum class DeviceFolderUse {
    CreateIfMissing, // a new folder is made as a new device has it
    ExistingOnly,    // a folder without its store.db is refused, and nothing is created
};

// Makes `dir` the device folder, closing any folder open before. A missing folder is created
// (mode 0700, with missing parents). A folder without store.db is a new device: it gets an empty
// store.db (mode 0600) and the folders \My Documents\Business, \My Documents\Personal and
// \Windows. A device that has its store is left as it is, so a folder its user removed stays
// removed. Returns false with a one-line reason when the folder cannot be made,
// is not a folder or cannot be written. The store itself is opened at its first use, so that a
// damaged store.db is reported by the store's operations, not here.
bool OpenDeviceFolder(const std::string& dir, std::string* reason,
                      DeviceFolderUse use = DeviceFolderUse::CreateIfMissing);

// Closes the store and every database, search and registry key handle on it, and every file
// and file search handle, each file as CloseHandle closes it.
void CloseDeviceFolder();

// The open device folder, as an absolute path; empty when none is open.
std::string DeviceFolder();

// $XDG_DATA_HOME/zentally when that is set to an absolute path, else ~/.local/share/zentally.
std::string DefaultDeviceFolder();

// The host path of the store file of the open device folder; empty when none is open.
std::string DeviceStorePath();

// The host path of a device path: "\My Documents\Personal\Sales.csv" is
// "<folder>/files/My Documents/Personal/Sales.csv". As on the handheld, names match without
// regard to case: an existing entry whose name differs only in case is used. '/' also
// separates. Empty for a null path, a path with "." or ".." in it, text that is not valid
// UTF-16, or when no folder is open.
std::string DeviceFilesPath(LPCWSTR devicePath);
