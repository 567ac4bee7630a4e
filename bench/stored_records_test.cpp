// The benchmarks' stores hold what years of use leave, the program reads every record of them,
// and a kept store is used again only while it is whole.
#include "app/app_context.h"
#include "bench/stored_records.h"
#include "model/databases.h"
#include "platform/device.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/recorder.h"
#include "resources/strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace
{
namespace fs = std::filesystem;

struct Stored {
    std::vector<CEPROPID> ids;
    DWORD key = 0, day = 0, month = 0, year = 0;
    std::u16string category, minutes, memo;
};

std::vector<Stored> ReadAll(LPCWSTR databaseName)
{
    std::u16string name = databaseName;
    CEOID oid = 0;
    HANDLE db = CeOpenDatabase(&oid, name.data(), 0, CEDB_AUTOINCREMENT, nullptr);
    std::vector<Stored> all;
    if (db == INVALID_HANDLE_VALUE)
        return all;
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    WORD count = 0;
    while (CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size)) {
        const CEPROPVAL* values = reinterpret_cast<const CEPROPVAL*>(buffer);
        Stored record;
        for (WORD p = 0; p < count; ++p) {
            record.ids.push_back(values[p].propid);
            switch (values[p].propid) {
            case PROP_RECORD_KEY: record.key = values[p].val.ulVal; break;
            case PROP_RECORD_DAY: record.day = values[p].val.ulVal; break;
            case PROP_RECORD_MONTH: record.month = values[p].val.ulVal; break;
            case PROP_RECORD_YEAR: record.year = values[p].val.ulVal; break;
            case PROP_RECORD_CATEGORY: record.category = values[p].val.lpwstr; break;
            case PROP_RECORD_MINUTES: record.minutes = values[p].val.lpwstr; break;
            case PROP_RECORD_MEMO: record.memo = values[p].val.lpwstr; break;
            case PROP_CATEGORY_NAME: record.category = values[p].val.lpwstr; break;
            default: break;
            }
        }
        all.push_back(record);
    }
    LocalFree(buffer);
    CloseHandle(db);
    return all;
}

bool IsDate(DWORD day, DWORD month, DWORD year)
{
    static const DWORD days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= (month == 2 && leap ? 29 : days[month - 1]);
}

std::u16string Wide(const char* ascii)
{
    std::string narrow = ascii;
    return std::u16string(narrow.begin(), narrow.end());
}

class StoredRecordsTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        std::string reason;
        device = CachedStoredRecords(count);
        ASSERT_TRUE(OpenDeviceFolder(device, &reason, DeviceFolderUse::ExistingOnly)) << reason;
    }
    void TearDown() override { CloseDeviceFolder(); }

    const int count = 1000;
    std::string device;
};

TEST_F(StoredRecordsTest, TheCategoriesAreStoredAsTheProgramSavesThem)
{
    std::vector<Stored> categories = ReadAll(CATEGORIES_DATABASE_NAME);
    ASSERT_EQ(categories.size(), static_cast<size_t>(benchCategoryCount));
    for (int c = 0; c < benchCategoryCount; ++c) {
        SCOPED_TRACE(benchCategories[c]);
        const Stored& stored = categories[static_cast<size_t>(c)];
        EXPECT_EQ(stored.ids, (std::vector<CEPROPID>{PROP_CATEGORY_POSITION, PROP_CATEGORY_NAME}));
        EXPECT_EQ(stored.key, static_cast<DWORD>(c)) << "the position is the sort key";
        EXPECT_EQ(stored.category, Wide(benchCategories[c]));
    }
}

TEST_F(StoredRecordsTest, EveryRecordIsOneTheProgramWouldHaveWritten)
{
    std::vector<Stored> records = ReadAll(RECORDS_DATABASE_NAME);
    ASSERT_EQ(records.size(), static_cast<size_t>(count));
    const std::vector<CEPROPID> order = {
        PROP_RECORD_KEY,      PROP_RECORD_DAY,     PROP_RECORD_MONTH, PROP_RECORD_YEAR,
        PROP_RECORD_CATEGORY, PROP_RECORD_MINUTES, PROP_RECORD_MEMO};
    std::set<std::u16string> known;
    for (const char* name : benchCategories)
        known.insert(Wide(name));
    for (size_t i = 0; i < records.size(); ++i) {
        const Stored& r = records[i];
        SCOPED_TRACE("record " + std::to_string(i) + ", key " + std::to_string(r.key));
        ASSERT_EQ(r.ids, order);
        EXPECT_TRUE(IsDate(r.day, r.month, r.year));
        EXPECT_GE(r.year, static_cast<DWORD>(benchFirstYear));
        EXPECT_LE(r.year, static_cast<DWORD>(benchLastYear));
        EXPECT_TRUE(known.count(r.category));
        ASSERT_FALSE(r.minutes.empty());
        EXPECT_TRUE(std::all_of(r.minutes.begin(), r.minutes.end(),
                                [](char16_t c) { return c >= u'0' && c <= u'9'; }));
        int minutes = std::stoi(std::string(r.minutes.begin(), r.minutes.end()));
        EXPECT_GE(minutes, 1);
        EXPECT_LE(minutes, MAX_RECORD_MINUTES);
        EXPECT_FALSE(r.memo.empty()) << "no memo is stored as one blank";
        EXPECT_LE(r.memo.size(), 29u);
    }
}

// What makes the benches honest: variety where the program's work depends on it.
TEST_F(StoredRecordsTest, TheRecordsVaryAsYearsOfUseDo)
{
    std::vector<Stored> records = ReadAll(RECORDS_DATABASE_NAME);
    ASSERT_EQ(records.size(), static_cast<size_t>(count));
    std::set<DWORD> keys, years;
    std::set<std::u16string> categories, memos, minutes;
    int withMemo = 0, outOfDateOrder = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const Stored& r = records[i];
        keys.insert(r.key);
        years.insert(r.year);
        categories.insert(r.category);
        minutes.insert(r.minutes);
        if (r.memo != u" ") {
            ++withMemo;
            memos.insert(r.memo);
        }
        if (i > 0) {
            const Stored& p = records[i - 1];
            if (std::tie(r.year, r.month, r.day) < std::tie(p.year, p.month, p.day))
                ++outOfDateOrder;
        }
    }
    EXPECT_EQ(keys.size(), records.size()) << "keys are unique";
    EXPECT_EQ(years.size(), static_cast<size_t>(benchLastYear - benchFirstYear + 1));
    EXPECT_EQ(categories.size(), static_cast<size_t>(benchCategoryCount));
    EXPECT_GT(minutes.size(), 100u);
    EXPECT_GT(memos.size(), 50u);
    EXPECT_GT(withMemo, count * 7 / 10);
    EXPECT_LT(withMemo, count * 9 / 10);
    EXPECT_GT(outOfDateOrder, count / 4) << "the key order is not the date order";
}

TEST_F(StoredRecordsTest, TheProgramLoadsEveryRecordAndEveryCategory)
{
    CreateAppObjects();
    App.Instance = RegisterResourceModule(&ZentallyResources);
    ASSERT_TRUE(OpenDatabases());
    EXPECT_TRUE(LoadRecords());
    EXPECT_EQ(Count(App.MainRecordList), static_cast<DWORD>(count));
    std::vector<std::u16string> names;
    for (CategoryNode* c = First(App.MainCategoryList); c; c = c->next)
        names.push_back(c->name);
    std::vector<std::u16string> expected;
    for (const char* name : benchCategories)
        expected.push_back(Wide(name));
    std::sort(expected.begin(), expected.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
    if (App.Databases.records && App.Databases.records != INVALID_HANDLE_VALUE)
        CloseHandle(App.Databases.records);
    App.Databases.records = 0;
    DestroyAppObjects();
}

// A count no bench uses, so that spoiling its kept folder disturbs no run.
TEST(KeptStoredRecords, AreUsedAgainWhileWholeAndMadeAnewWhenSpoilt)
{
    const int count = 7;
    std::string device = CachedStoredRecords(count);
    fs::path store = fs::path(device) / "store.db";
    ASSERT_TRUE(fs::exists(store));
    auto made = fs::last_write_time(store);
    EXPECT_EQ(CachedStoredRecords(count), device);
    EXPECT_EQ(fs::last_write_time(store), made) << "a whole kept folder is not made again";

    struct Case {
        const char* what;
        void (*spoil)(const fs::path& store);
    } cases[] = {
        {"emptied store", [](const fs::path& s) { std::ofstream(s, std::ios::trunc); }},
        {"missing store", [](const fs::path& s) { fs::remove(s); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.spoil(store);
        ASSERT_EQ(CachedStoredRecords(count), device);
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(device, &reason, DeviceFolderUse::ExistingOnly)) << reason;
        EXPECT_EQ(ReadAll(RECORDS_DATABASE_NAME).size(), static_cast<size_t>(count));
        CloseDeviceFolder();
    }

    std::string copy = fs::temp_directory_path() / "zentally-stored-records-test-copy";
    CopyStoredRecords(count, copy);
    std::string reason;
    ASSERT_TRUE(OpenDeviceFolder(copy, &reason, DeviceFolderUse::ExistingOnly)) << reason;
    EXPECT_EQ(ReadAll(RECORDS_DATABASE_NAME).size(), static_cast<size_t>(count));
    CloseDeviceFolder();
    fs::remove_all(copy);
}
} // namespace
