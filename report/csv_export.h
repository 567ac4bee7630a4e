// The comma-separated values files Zentally exports: every time record of MainRecordList, and
// every category of MainCategoryList with the total the last All report gave it. Both are
// written as <name>.csv into "\My Documents\Business" (folder 0) or "\My Documents\Personal"
// (folder 1), which on the desktop are below the device folder's files/.
//
// A file holds a header line and one line per record (date, category, duration, memo) or per
// category (name, total), every field in double quotes, fields joined by single commas, every
// line ended by CR LF. ASCII files (unicode 0) hold one byte per character in the device's ANSI
// code page, Windows-1252, where a character outside it becomes '?'; UNICODE files (unicode 1)
// hold UTF-16LE. Neither has a byte-order mark.
//
// Durations are written by `timeType` (ExportTimeType): minutes, hours and minutes joined by the
// separator of the TimeTypeView setting, or whole hours. Dates follow the DateTypeView setting.
// In memos a CR LF becomes two blanks and each of " ' ` one blank; a double quote in a category
// name is doubled, so that a reader of the file reads the name back as it is.
#pragma once

#include "platform/wintypes.h"

// Each returns 1 when the file was written whole, and 0 otherwise:
// - at once, without a message and without touching any file, for an absent or empty name, a
//   time type that is no ExportTimeType, an encoding or a folder other than 0 or 1, and
//   (report) an empty category list;
// - after a message box, its caption the program's title, the cursor set back to normal
//   before it: the folder missing or not a plain writable folder (40031 Business, 40032
//   Personal); the file there and the person not answering Yes to replacing it (40041); an old
//   file that is read-only or in use (40029); a file that cannot be created, a name the device
//   cannot hold included (40030); no memory for the lines, a failed write, or the new file not
//   taking its name (40044).
// Replacing a file never leaves the person without either the old or the new one, and no
// partial or temporary file is left behind: on any failure the old file stays byte for byte.
BOOL ExportRecordsFile(LPCWSTR name, DWORD timeType, DWORD unicode, DWORD folder);
BOOL ExportReportFile(LPCWSTR name, DWORD timeType, DWORD unicode, DWORD folder);
