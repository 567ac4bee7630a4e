// Totals of registered time over an inclusive range of date keys (yyyymmdd, as RecordNode's
// dateKey): for one category, and for every category at once. A record belongs to a category
// when its category text equals the category's name code unit by code unit (letter case
// counts); the time of day never enters a date key.
#pragma once

#include "model/category_list.h"
#include "model/record_list.h"

// The minutes a record's minutesText holds, read as a decimal whole number with an optional
// sign; 0 for a record without minutesText. Digits past the first non-digit are not read.
LONG RecordMinutes(const RecordNode* record);

// The sum of the minutes of every record of `records` dated from `startKey` to `endKey`, both
// included, whose category is `name`; 0 when none is, for a null or empty name and for an empty
// list. The list's handle is left where it was. Sums are exact while they fit in 32 bits and
// stop at the largest (or smallest) LONG beyond.
LONG CategoryTotal(const RecordList* records, LPCWSTR name, LONG startKey, LONG endKey);

// Gives every category of `categories` the total of its records in the range (as CategoryTotal)
// in its `value`, 0 for a category without any, in one pass over the records whatever the
// number of categories. TRUE when at least one record in the range belongs to a listed
// category, one without minutesText included. When either list is empty: FALSE, and no value
// changes. Both handles end on their first node.
BOOL ComputeCategoryTotals(RecordList* records, CategoryList* categories, LONG startKey,
                           LONG endKey);

// Room for any total text, its terminator included.
#define TOTAL_TEXT_MAX 16

// The Time Report's text for a total of `minutes`: hours and two-digit minutes joined by ':'
// when `timeTypeView` is ColonSeparated and by ',' for any other value ("2:05", "10,00",
// "1000:00"); the zero text "0:0" or "0,0" for 0 and for a negative total.
void FormatTotalText(LONG minutes, DWORD timeTypeView, WCHAR (&text)[TOTAL_TEXT_MAX]);
