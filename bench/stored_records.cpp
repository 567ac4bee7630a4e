#include "bench/stored_records.h"

#include "model/databases.h"
#include "platform/device.h"
#include "platform/handle.h"
#include "platform/store_batch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

const char* const benchCategories[benchCategoryCount] = {
    "Job",    "Meetings", "Travel",  "Reading", "Sport",    "Family",
    "Garden", "Shopping", "Cooking", "Music",   "Language", "Volunteer"};

namespace
{
// Raised whenever the records made here or the store's layout change, so that folders kept by
// an older version are made anew rather than measured (or upgraded at every run).
const char* const formatVersion = "v3";

// How often each category occurs, in hundredths: work dominates, as in a real diary.
const int categoryWeights[benchCategoryCount] = {30, 10, 6, 12, 8, 8, 5, 5, 5, 4, 4, 3};

// Memos as people type them: short notes, names, punctuation a CSV export must quote, letters
// beyond ASCII, the longest the Register Time dialog takes (29 characters).
const char16_t* const memoTexts[] = {u"Chapter notes",
                                     u"Call \"Bob\" back",
                                     u"Weekly review",
                                     u"Bus, then train",
                                     u"Tom's party",
                                     u"Budget 2024; draft",
                                     u"Café with Zoë",
                                     u"Report for Müller & Söhne",
                                     u"Slides",
                                     u"Gym",
                                     u"Piano practice, scales",
                                     u"Fixed the fence",
                                     u"Standup",
                                     u"Airport → hotel",
                                     u"Read 40 pages",
                                     u"Code review #",
                                     u"Dentist",
                                     u"Plan the garden beds; seeds",
                                     u"Spanish lesson 3",
                                     u"Helped at the food bank today",
                                     u"Groceries",
                                     u"1:1 with Anna",
                                     u"Lunch",
                                     u"x"};
constexpr int memoTextCount = sizeof memoTexts / sizeof memoTexts[0];
constexpr size_t memoMax = 29;

// A small generator whose sequence is the same on every machine and library, so that every
// kept folder of one count holds the same records.
struct SplitMix {
    std::uint64_t state;
    std::uint64_t Next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
};

bool IsLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysIn(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

struct Date {
    int day, month, year;
};

// Every day from 1 January of the first year to 31 December of the last.
std::vector<Date> AllDays()
{
    std::vector<Date> days;
    for (int year = benchFirstYear; year <= benchLastYear; ++year)
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysIn(year, month); ++day)
                days.push_back({day, month, year});
    return days;
}

int PickCategory(SplitMix& random)
{
    int roll = random.Below(100);
    for (int c = 0; c < benchCategoryCount; ++c) {
        if (roll < categoryWeights[c])
            return c;
        roll -= categoryWeights[c];
    }
    return 0;
}

// Mostly a quarter-hour multiple up to four hours, sometimes any length up to ten hours, now and
// then up to the longest a record holds.
int PickMinutes(SplitMix& random)
{
    int roll = random.Below(100);
    if (roll < 60)
        return 15 * (1 + random.Below(16));
    if (roll < 92)
        return 1 + random.Below(600);
    return 1 + random.Below(MAX_RECORD_MINUTES);
}

// Four records in five have a memo; the program stores "no memo" as one blank.
std::u16string PickMemo(SplitMix& random)
{
    if (random.Below(5) == 0)
        return u" ";
    std::u16string memo = memoTexts[random.Below(memoTextCount)];
    if (random.Below(3) == 0) {
        std::string number = " " + std::to_string(1 + random.Below(999));
        if (memo.size() + number.size() <= memoMax)
            memo.append(number.begin(), number.end());
    }
    return memo;
}

std::u16string Wide(const char* ascii)
{
    std::string narrow = ascii;
    return std::u16string(narrow.begin(), narrow.end());
}

std::string KeptFolder(int count)
{
    return "/tmp/zentally-bench-records-" + std::string(formatVersion) + "/" +
           std::to_string(count);
}

WCHAR recordsName[] = RECORDS_DATABASE_NAME;
WCHAR categoriesName[] = CATEGORIES_DATABASE_NAME;

HANDLE CreateAndOpen(LPWSTR name)
{
    SORTORDERSPEC order = {PROP_RECORD_KEY, 0};
    CEOID oid = CeCreateDatabase(name, 0, 1, &order);
    return oid ? CeOpenDatabase(&oid, name, PROP_RECORD_KEY, CEDB_AUTOINCREMENT, nullptr)
               : INVALID_HANDLE_VALUE;
}

// The categories as the program saves them: position (the sort key) and name.
bool WriteCategories()
{
    HANDLE db = CreateAndOpen(categoriesName);
    if (db == INVALID_HANDLE_VALUE)
        return false;
    bool written = true;
    for (int c = 0; c < benchCategoryCount; ++c) {
        std::u16string name = Wide(benchCategories[c]);
        CEPROPVAL props[2] = {};
        props[0].propid = PROP_CATEGORY_POSITION;
        props[0].val.ulVal = static_cast<ULONG>(c);
        props[1].propid = PROP_CATEGORY_NAME;
        props[1].val.lpwstr = name.data();
        written = written && CeWriteRecordProps(db, 0, 2, props) != 0;
    }
    CloseHandle(db);
    return written;
}

// Records in the order the program writes their properties. Keys are a shuffled run of
// numbers, written in that shuffled order, so neither the key order nor the order of writing
// follows the dates: loading reads them in key order, and sorting has real work to do.
bool WriteRecords(int count)
{
    HANDLE db = CreateAndOpen(recordsName);
    if (db == INVALID_HANDLE_VALUE)
        return false;
    SplitMix random{0x5EED0000u + static_cast<std::uint64_t>(count)};
    std::vector<DWORD> keys(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        keys[static_cast<size_t>(i)] = 100000 + static_cast<DWORD>(i);
    for (int i = count - 1; i > 0; --i)
        std::swap(keys[static_cast<size_t>(i)], keys[static_cast<size_t>(random.Below(i + 1))]);
    const std::vector<Date> days = AllDays();
    const CEPROPID ids[7] = {PROP_RECORD_KEY,  PROP_RECORD_DAY,      PROP_RECORD_MONTH,
                             PROP_RECORD_YEAR, PROP_RECORD_CATEGORY, PROP_RECORD_MINUTES,
                             PROP_RECORD_MEMO};
    std::vector<std::u16string> categories;
    for (const char* name : benchCategories)
        categories.push_back(Wide(name));
    bool written = true;
    for (int i = 0; i < count && written; ++i) {
        const Date& date = days[static_cast<size_t>(random.Below(static_cast<int>(days.size())))];
        std::u16string& category = categories[static_cast<size_t>(PickCategory(random))];
        std::string digits = std::to_string(PickMinutes(random));
        std::u16string minutes(digits.begin(), digits.end());
        std::u16string memo = PickMemo(random);
        CEPROPVAL props[7] = {};
        for (int p = 0; p < 7; ++p)
            props[p].propid = ids[p];
        props[0].val.ulVal = keys[static_cast<size_t>(i)];
        props[1].val.ulVal = static_cast<ULONG>(date.day);
        props[2].val.ulVal = static_cast<ULONG>(date.month);
        props[3].val.ulVal = static_cast<ULONG>(date.year);
        props[4].val.lpwstr = category.data();
        props[5].val.lpwstr = minutes.data();
        props[6].val.lpwstr = memo.data();
        written = CeWriteRecordProps(db, 0, 7, props) != 0;
    }
    CloseHandle(db);
    return written;
}

// Makes a new device folder at `device` holding the categories and `count` records, all
// committed as one change.
bool MakeDevice(const std::string& device, int count)
{
    std::string reason;
    if (!OpenDeviceFolder(device, &reason)) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return false;
    }
    bool made = BeginStoreBatch();
    made = made && WriteCategories() && WriteRecords(count);
    made = EndStoreBatch(made ? TRUE : FALSE) && made;
    CloseDeviceFolder();
    return made;
}

DWORD RecordCount(LPWSTR name)
{
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    if (db == INVALID_HANDLE_VALUE)
        return 0;
    CEOIDINFO info = {};
    BOOL known = CeOidGetInfo(oid, &info);
    CloseHandle(db);
    return known && info.wObjType == OBJTYPE_DATABASE ? info.infDatabase.wNumRecords : 0;
}

// A kept folder is used only when its store opens and holds what this file makes.
bool HoldsRecords(const std::string& device, int count)
{
    std::string reason;
    if (!OpenDeviceFolder(device, &reason, DeviceFolderUse::ExistingOnly))
        return false;
    bool holds = RecordCount(recordsName) == static_cast<DWORD>(count) &&
                 RecordCount(categoriesName) == static_cast<DWORD>(benchCategoryCount);
    CloseDeviceFolder();
    return holds;
}
} // namespace

std::string CachedStoredRecords(int count)
{
    std::string kept = KeptFolder(count);
    std::string device = kept + "/device";
    if (HoldsRecords(device, count))
        return device;
    std::error_code ignored;
    const std::string mine = "-" + std::to_string(getpid());
    // A spoilt folder is moved out of the way before it is removed, and a missing one is never
    // removed, so that a folder another process has just put in place stays whole for it.
    if (fs::exists(kept)) {
        fs::rename(kept, kept + ".spoilt" + mine, ignored);
        fs::remove_all(kept + ".spoilt" + mine, ignored);
    }
    // Made beside its place and moved there whole, so that a bench stopped half way, or another
    // one making the same folder at the same time, never leaves a folder with part of the
    // records; when the other one is first, its folder is used.
    std::string making = kept + ".making" + mine;
    fs::remove_all(making, ignored);
    fs::create_directories(making, ignored);
    if (!MakeDevice(making + "/device", count)) {
        std::fprintf(stderr, "could not make %d stored records in %s\n", count, making.c_str());
        std::exit(1);
    }
    fs::rename(making, kept, ignored);
    fs::remove_all(making, ignored);
    return device;
}

void CopyStoredRecords(int count, const std::string& to)
{
    std::string from = CachedStoredRecords(count);
    std::error_code ignored;
    fs::remove_all(to, ignored);
    fs::copy(from, to, fs::copy_options::recursive);
}

std::string MakeStoredRecords(int count)
{
    char pattern[] = "/tmp/zentally-bench-XXXXXX";
    std::string root = mkdtemp(pattern);
    CopyStoredRecords(count, root + "/device");
    std::string reason;
    if (!OpenDeviceFolder(root + "/device", &reason, DeviceFolderUse::ExistingOnly))
        std::fprintf(stderr, "%s\n", reason.c_str());
    return root;
}

void RemoveStoredRecords(const std::string& root)
{
    CloseDeviceFolder();
    std::error_code ignored;
    fs::remove_all(root, ignored);
}
