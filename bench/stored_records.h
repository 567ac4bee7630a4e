// A device folder in a temporary directory holding a number of records, for the benchmarks.
#pragma once

#include <string>

// Makes <root>/device with `count` records whose dates spread over ten years, and leaves it
// open as the device folder. Returns the root, to be removed by RemoveStoredRecords.
std::string MakeStoredRecords(int count);
void RemoveStoredRecords(const std::string& root);
