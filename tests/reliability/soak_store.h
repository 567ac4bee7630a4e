// What a device folder holds, read after each kill the way the next start meets it: the store
// through the store tool and SQLite's own check, the exported files from the file system.
#pragma once

#include "tests/reliability/soak_process.h"

#include <map>
#include <string>
#include <vector>

// A time record; the campaign gives every record a memo of its own, so the memo names it.
struct Record {
    int day = 1, month = 1, year = 2026;
    std::string category;
    int minutes = 10;
    std::string memo;

    int Date() const { return year * 10000 + month * 100 + day; }
    bool operator==(const Record&) const = default;
};

typedef std::map<std::string, Record> Records; // by memo

// "s17: 03-04-2026 Job 90".
std::string Describe(const Record& record);

// What of a device the campaign keeps a model of.
struct DeviceContents {
    Records records;
    std::vector<std::string> categories; // the categories database in its order; empty: none
    std::map<std::string, int> exports;  // file of the Personal folder -> its line count
    bool operator==(const DeviceContents&) const = default;
};

// A store as read: its contents, the keys in use, and whatever broke a rule of the store.
struct StoreReading {
    bool opened = false;
    std::string failure; // why it could not be read, or what SQLite's check said
    DeviceContents contents;
    unsigned maxKey = 0;
    int catRecsApply = 0;                // the check box as the next start shows it
    std::vector<std::string> ruleBreaks; // records stored twice, keys or oids repeated
    bool journalLeft = false;            // a rollback journal was beside the store
};

class DeviceFolder
{
  public:
    DeviceFolder(std::string folder, ChildSetting setting, std::string storeTool);

    const std::string& Folder() const { return folder_; }
    // Dumps the store with the tool (which recovers a journal left by a kill as the program's
    // start does), then runs PRAGMA integrity_check on it read-only, and reads the exports.
    StoreReading Read() const;
    // Writes records and categories with the tool while no program runs; keys from `firstKey`.
    std::string PutRecords(const std::vector<Record>& records, unsigned firstKey) const;
    std::string PutCategories(const std::vector<std::string>& names) const;

  private:
    std::string Tool(const std::vector<std::string>& args) const;

    std::string folder_;
    ChildSetting setting_;
    std::string tool_;
};
