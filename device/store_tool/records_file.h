// A records file as the program's records export writes it, read back: its encoding told by its
// bytes, its duration form by its header line, its date form given, and every line checked
// against what a record may hold before any of it is used.
#pragma once

#include "platform/wintypes.h"

#include <string>
#include <vector>

// The longest category name and memo a person can type.
#define FILE_CATEGORY_MAX 20
#define FILE_MEMO_MAX 29

// One record of the file, checked: a real date the program can show, 1 to 1499 minutes, the
// category as the file names it (1 to 20 characters, the first a letter or a digit, no control
// character) and the memo as the file holds it (at most 29 characters).
struct FileRecord {
    WORD year, month, day;
    DWORD minutes;
    std::u16string category;
    std::u16string memo;
};

struct RecordsFile {
    bool unicode = false; // UTF-16 little-endian rather than Windows-1252
    DWORD timeType = 0;   // the ExportTimeType of the duration column
    std::vector<FileRecord> records;
};

// What makes the file unusable: the line it is on, counted from 1 as an editor counts them, and
// why, as one line for a person. Line 0 is the file as a whole.
struct FileProblem {
    size_t line = 0;
    std::string reason;
};

// The four date forms by DateViewType, as --date-format names them ("dd-mm-yyyy", "dd/mm/yyyy",
// "mm-dd-yyyy", "mm/dd/yyyy"); any other view type reads as the first, as the program shows it.
const char* DateFormName(DWORD dateView);
// The DateViewType of a form's name; false for any other text.
bool DateFormOf(const std::string& name, DWORD* dateView);

// Reads the whole file's `bytes`. UNICODE when the second byte is zero (a file begins with an
// ASCII character), ASCII (Windows-1252) otherwise; a byte-order mark is refused, since the
// program never writes one and a file that has it was saved by another program in a form that
// need not be this one. Fields are separated by commas and may be quoted, a doubled quote in a
// quoted field reading as one and a line break in it belonging to the field; lines end with
// CR LF or LF; an empty line is passed over. The first line must be the header of a records
// file; a duration column in whole hours is refused, as it lost the minutes. Dates are read in
// the form of `dateView`.
// True with every record in `file`; false at the first line that is not one, with `problem`.
bool ReadRecordsFile(const std::string& bytes, DWORD dateView, RecordsFile* file,
                     FileProblem* problem);

// A text from the file as UTF-8 for a message, between double quotes, cut after 40 characters,
// control characters written as \n, \r, \t or \xNN.
std::string QuotedForMessage(const std::u16string& text);
