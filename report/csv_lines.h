// The lines of the exported files as text, before they are encoded: the header lines, a line
// per record and per category, and the fields' rules (durations by export time type, memos
// cleaned, category names quoted).
#pragma once

#include "model/category_list.h"
#include "model/record_list.h"

#include <string>

// The title of the duration column for an ExportTimeType ("Time (minutes)"), the empty text
// for an unknown one.
LPCWSTR ExportTimeTitle(DWORD timeType);

// Room for any export duration text, its terminator included.
#define EXPORT_DURATION_MAX 16

// The duration text of `minutes` for an ExportTimeType: MinutesOnly the minutes ("125");
// HoursOnly the whole hours, the minutes dropped ("2"); HoursAndMinutes hours and two-digit
// minutes joined by ':' when `timeTypeView` is ColonSeparated and by ',' otherwise ("2:05",
// "1000,00"), "0:0" or "0,0" for 0, and "0" for a negative total that is not whole hours. An
// unknown time type gives the empty text.
void FormatExportDuration(LONG minutes, DWORD timeType, DWORD timeTypeView,
                          WCHAR (&text)[EXPORT_DURATION_MAX]);

// Each makes `line` the text of one line, CR LF included, reusing its room: a line grows the
// string only when it is longer than every line before it. They throw std::bad_alloc when
// even that room cannot be had. The time type must be an ExportTimeType.
void MakeRecordsHeader(DWORD timeType, std::u16string* line);
void MakeReportHeader(DWORD timeType, std::u16string* line);
// The record's date as `dateTypeView` shows it, its category, its minutes by `timeType` and
// its cleaned memo. A missing text gives an empty field.
void MakeRecordLine(const RecordNode* record, DWORD timeType, DWORD dateTypeView,
                    DWORD timeTypeView, std::u16string* line);
// The category's name and its total (`value`) by `timeType`.
void MakeReportLine(const CategoryNode* category, DWORD timeType, DWORD timeTypeView,
                    std::u16string* line);

// Appends the memo as a file holds it: each CR followed by LF becomes two blanks, so that the
// record stays on one line, and each " ' ` one blank; everything else is kept as it is.
void AppendCleanMemo(LPCWSTR memo, std::u16string* line);
// Appends a name to go between double quotes, each double quote in it doubled, so that a
// reader of the file reads the name back whole.
void AppendQuotedText(LPCWSTR text, std::u16string* line);
