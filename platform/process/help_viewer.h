// The help viewer's window. Not for the program.
#pragma once

#include <string>

// Opens the viewer over the whole screen on the file at `devicePath` (its host file is
// `hostPath`, empty when the path cannot be on the device), or brings the open viewer to the
// front on that file. A missing or unreadable file is shown as a short note.
void OpenHelpViewer(const std::u16string& devicePath, const std::string& hostPath);
