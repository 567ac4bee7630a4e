// Reordering the record list by date and the category list by name or by total. Every sort is
// stable: equal keys keep their previous relative order ascending and come out reversed
// descending. Orders: 0 ascending, 1 descending, 2 not chosen yet (ascending).
#pragma once

#include "model/category_list.h"
#include "model/record_list.h"

// Sorts MainRecordList by dateKey in the application's SortOrder. TRUE, an empty list included.
BOOL SortRecords();
// Sort MainCategoryList by name (ordinal, case-sensitive) or by value (as unsigned numbers) in
// the application's ReportSortOrder. FALSE, the list unchanged, when a node has no name.
BOOL SortCategoriesByName();
BOOL SortCategoriesByValue();

// The same sorts on any list, for callers that keep their own lists.
BOOL SortRecordList(RecordList* list, DWORD sortOrder);
BOOL SortCategoryListByName(CategoryList* list, DWORD sortOrder);
BOOL SortCategoryListByValue(CategoryList* list, DWORD sortOrder);

// Comparison functions in the platform's quicksort form: each gets pointers to two entries.
// CompareNumbers compares 32-bit entries as unsigned numbers (1, -1 or 0); CompareNames
// compares two pointers to names code unit by code unit.
int CompareNumbers(const void* a, const void* b);
int CompareNames(const void* a, const void* b);
