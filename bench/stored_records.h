// Device folders holding many records as years of use leave them, for the benchmarks: a dozen
// categories (also in the categories database), memos on four records in five, dates over 2014
// to 2024, durations from 1 to 1499 minutes, keys in no order of date. A folder is made once per
// number of records and kept under /tmp for later runs.
#pragma once

#include <string>

// The stored categories, in their stored order.
constexpr int benchCategoryCount = 12;
extern const char* const benchCategories[benchCategoryCount];

// The first and last year of the records' dates.
constexpr int benchFirstYear = 2014;
constexpr int benchLastYear = 2024;

// The device folder kept for `count` records, made when missing, unreadable or holding another
// number of records. No device folder is open when it returns. A bench that changes the store
// works on a copy (CopyStoredRecords), never on this folder.
std::string CachedStoredRecords(int count);

// Replaces the folder `to` by a copy of the kept device folder of `count` records.
void CopyStoredRecords(int count, const std::string& to);

// Makes <root>/device, a copy of the kept folder of `count` records, in a new temporary
// directory, and leaves it open as the device folder. Returns the root, to be removed by
// RemoveStoredRecords.
std::string MakeStoredRecords(int count);
void RemoveStoredRecords(const std::string& root);
