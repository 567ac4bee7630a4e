#include "entry/record_format.h"
#include "model/databases.h"
#include "tests/model/list_checks.h"
#include "tests/model/store_fixture.h"

#include <fstream>
#include <iterator>

namespace
{
typedef std::vector<std::u16string> Strings;

// A stored property: a number or a text, by the type in its identifier.
struct Prop {
    CEPROPID id;
    DWORD number;
    std::u16string text;
};
typedef std::vector<Prop> Props;

HANDLE OpenNamed(LPCWSTR name, CEOID* oid)
{
    std::u16string writable = name;
    *oid = 0;
    return CeOpenDatabase(oid, writable.data(), 0x13, CEDB_AUTOINCREMENT, nullptr);
}

CEOID CreateNamed(LPCWSTR name)
{
    std::u16string writable = name;
    SORTORDERSPEC order = {0x13, 0};
    return CeCreateDatabase(writable.data(), 0, 1, &order);
}

CEOID Put(LPCWSTR database, Props props)
{
    CEOID oid;
    HANDLE handle = OpenNamed(database, &oid);
    if (handle == INVALID_HANDLE_VALUE) {
        CreateNamed(database);
        handle = OpenNamed(database, &oid);
    }
    std::vector<CEPROPVAL> values(props.size());
    for (size_t i = 0; i < props.size(); ++i) {
        values[i].propid = props[i].id;
        if ((props[i].id & 0xFFFF) == CEVT_LPWSTR)
            values[i].val.lpwstr = props[i].text.data();
        else
            values[i].val.ulVal = props[i].number;
    }
    CEOID written = CeWriteRecordProps(handle, 0, WORD(values.size()), values.data());
    CloseHandle(handle);
    return written;
}

Props RecordProps(DWORD key, DWORD day, DWORD month, DWORD year, LPCWSTR category, LPCWSTR minutes,
                  LPCWSTR memo)
{
    return {{PROP_RECORD_KEY, key, u""},         {PROP_RECORD_DAY, day, u""},
            {PROP_RECORD_MONTH, month, u""},     {PROP_RECORD_YEAR, year, u""},
            {PROP_RECORD_CATEGORY, 0, category}, {PROP_RECORD_MINUTES, 0, minutes},
            {PROP_RECORD_MEMO, 0, memo}};
}

// Every stored record of a database in sort order, each as its properties.
std::vector<Props> Dump(LPCWSTR database)
{
    std::vector<Props> records;
    CEOID oid;
    HANDLE handle = OpenNamed(database, &oid);
    if (handle == INVALID_HANDLE_VALUE)
        return records;
    DWORD size = 0;
    LPBYTE buffer = nullptr;
    WORD count = 0;
    while (CeReadRecordProps(handle, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size)) {
        Props props;
        auto* values = reinterpret_cast<CEPROPVAL*>(buffer);
        for (WORD i = 0; i < count; ++i) {
            bool text = (values[i].propid & 0xFFFF) == CEVT_LPWSTR;
            props.push_back({values[i].propid, text ? 0 : values[i].val.ulVal,
                             text && values[i].val.lpwstr ? values[i].val.lpwstr : u""});
        }
        records.push_back(props);
    }
    if (buffer)
        LocalFree(buffer);
    CloseHandle(handle);
    return records;
}

bool Exists(LPCWSTR database)
{
    CEOID oid;
    HANDLE handle = OpenNamed(database, &oid);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

std::u16string Memo(const Props& props)
{
    return props[6].text;
}

struct DatabasesTest : StoreFixture {
    void FillScratch(WORD year, WORD month, WORD day, LPCWSTR minutes, LPCWSTR category,
                     LPCWSTR memo)
    {
        RecordNode* node = App.ScratchRecord;
        ResetRecordNode(node);
        SetRecordDate(node, SYSTEMTIME{year, month, 0, day, 0, 0, 0, 0});
        SetRecordMinutes(node, minutes);
        SetRecordCategory(node, category);
        if (memo)
            SetRecordMemo(node, memo);
    }
    Strings Memos()
    {
        Strings memos;
        for (RecordNode* node = First(App.MainRecordList); node; node = node->next)
            memos.push_back(Text(node->memo));
        return memos;
    }
    void SetClock(WORD day, WORD hour, WORD minute, WORD second)
    {
        ASSERT_TRUE(SetDeviceClock(SYSTEMTIME{2026, 3, 0, day, hour, minute, second, 0}));
    }
};
} // namespace

TEST_F(DatabasesTest, AFirstStartSeedsTheDefaultCategoriesAndAnEmptyRecordsDatabase)
{
    ASSERT_TRUE(OpenDatabases());
    EXPECT_EQ(Names(*App.MainCategoryList), (Strings{u"Job", u"Reading", u"Sport"}));
    EXPECT_FALSE(Exists(CATEGORIES_DATABASE_NAME)) << "defaults live in memory until changed";
    EXPECT_TRUE(Exists(RECORDS_DATABASE_NAME));
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    EXPECT_FALSE(LoadRecords());
    EXPECT_EQ(App.MainRecordList->current, nullptr);
    EXPECT_TRUE(DropEmptyRecordsDatabase());
    EXPECT_FALSE(Exists(RECORDS_DATABASE_NAME));
}

TEST_F(DatabasesTest, SavedCategoriesLoadBackInTheirOrder)
{
    ASSERT_TRUE(OpenDatabases());
    RemoveByName(App.MainCategoryList, u"Reading");
    ASSERT_TRUE(SaveCategories());
    std::vector<Props> stored = Dump(CATEGORIES_DATABASE_NAME);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][0].number, 0u);
    EXPECT_EQ(stored[0][1].text, u"Job");
    EXPECT_EQ(stored[1][0].number, 1u);
    EXPECT_EQ(stored[1][1].text, u"Sport");
    EXPECT_EQ(App.Databases.categories, HANDLE(0)) << "saving leaves the database closed";

    Restart();
    ASSERT_TRUE(OpenDatabases());
    EXPECT_EQ(Names(*App.MainCategoryList), (Strings{u"Job", u"Sport"}));
}

TEST_F(DatabasesTest, AnEmptyCategoriesDatabaseGivesTheDefaults)
{
    CreateNamed(CATEGORIES_DATABASE_NAME);
    ASSERT_TRUE(OpenDatabases());
    EXPECT_EQ(Names(*App.MainCategoryList), (Strings{u"Job", u"Reading", u"Sport"}));
}

TEST_F(DatabasesTest, StoredCategoriesSkipRepeatedAndEmptyNames)
{
    Put(CATEGORIES_DATABASE_NAME,
        {{PROP_CATEGORY_POSITION, 0, u""}, {PROP_CATEGORY_NAME, 0, u"Job"}});
    Put(CATEGORIES_DATABASE_NAME, {{PROP_CATEGORY_POSITION, 1, u""}, {PROP_CATEGORY_NAME, 0, u""}});
    Put(CATEGORIES_DATABASE_NAME,
        {{PROP_CATEGORY_POSITION, 2, u""}, {PROP_CATEGORY_NAME, 0, u"Job"}});
    Put(CATEGORIES_DATABASE_NAME,
        {{PROP_CATEGORY_POSITION, 3, u""}, {PROP_CATEGORY_NAME, 0, u"Walks"}});
    ASSERT_TRUE(OpenDatabases());
    EXPECT_EQ(Names(*App.MainCategoryList), (Strings{u"Job", u"Walks"}));
}

TEST_F(DatabasesTest, DurationsLoadAsWholeMinutesWithinTheirRange)
{
    Put(RECORDS_DATABASE_NAME, RecordProps(1, 5, 3, 2006, u"Job", u"0075", u"a"));
    Put(RECORDS_DATABASE_NAME, RecordProps(2, 5, 3, 2006, u"Job", u"", u"b"));
    Put(RECORDS_DATABASE_NAME, RecordProps(3, 5, 3, 2006, u"Job", u"1499", u"c"));
    ASSERT_TRUE(OpenDatabases());
    ASSERT_TRUE(LoadRecords());
    ASSERT_TRUE(ListIsSound(*App.MainRecordList, 3));
    RecordNode* node = First(App.MainRecordList);
    EXPECT_EQ(Text(node->minutesText), u"75");
    EXPECT_EQ(Text(node->durationColon), u"1:15");
    EXPECT_EQ(Text(node->next->minutesText), u"0");
    EXPECT_EQ(Text(node->next->durationComma), u"0,0");
    EXPECT_EQ(Text(node->next->next->durationColon), u"24:59");
    EXPECT_EQ(Text(node->dateDmyDash), u"05-03-2006");
    EXPECT_EQ(node->recordKey, 1u);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(DatabasesTest, AnOutOfRangeStoredValueStopsTheLoadWithAMessageAndKeepsTheStore)
{
    struct {
        Props bad;
    } cases[] = {
        {RecordProps(2, 5, 3, 2006, u"Job", u"1500", u"bad")},
        {RecordProps(2, 5, 3, 2006, u"Job", u"-1", u"bad")},
        {RecordProps(2, 45, 3, 2006, u"Job", u"10", u"bad")},
        {RecordProps(2, 5, 13, 2006, u"Job", u"10", u"bad")},
        {RecordProps(2, 5, 3, 70000, u"Job", u"10", u"bad")},
        // Dates that are not real ones, though each part is in its range.
        {RecordProps(2, 31, 2, 2026, u"Job", u"10", u"bad")},
        {RecordProps(2, 29, 2, 2100, u"Job", u"10", u"bad")},
        {RecordProps(2, 31, 4, 2026, u"Job", u"10", u"bad")},
        {RecordProps(2, 0, 3, 2006, u"Job", u"10", u"bad")},
        {RecordProps(2, 5, 0, 2006, u"Job", u"10", u"bad")},
        {RecordProps(2, 5, 3, 0, u"Job", u"10", u"bad")},
        {RecordProps(2, 31, 12, 1600, u"Job", u"10", u"bad")},
        {RecordProps(2, 1, 1, 10000, u"Job", u"10", u"bad")},
        {{{PROP_RECORD_KEY, 2, u""}, {PROP_RECORD_MEMO, 0, u"no date"}}},
    };
    for (const auto& c : cases) {
        Restart();
        CEOID oid;
        HANDLE handle = OpenNamed(RECORDS_DATABASE_NAME, &oid);
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
            CeDeleteDatabase(oid);
        }
        Put(RECORDS_DATABASE_NAME, RecordProps(1, 5, 3, 2006, u"Job", u"10", u"good"));
        Put(RECORDS_DATABASE_NAME, c.bad);
        Put(RECORDS_DATABASE_NAME, RecordProps(3, 5, 3, 2006, u"Job", u"10", u"after"));
        ASSERT_TRUE(OpenDatabases());
        EXPECT_FALSE(LoadRecords());
        EXPECT_EQ(Memos(), (Strings{u"good"})) << "the records read before stay";
        ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
        const RecordedMessageBox& box = RecordedMessageBoxes()[0];
        EXPECT_EQ(box.text, u"There are problems with Zentally database!");
        EXPECT_EQ(box.caption, u"Zentally");
        EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONHAND));
        EXPECT_TRUE(box.ownerless);
        EXPECT_EQ(RecordedBeeps().size(), 1u);
        EXPECT_EQ(Dump(RECORDS_DATABASE_NAME).size(), 3u) << "nothing is deleted";
    }
}

TEST_F(DatabasesTest, ARecordLackingPropertiesLoadsWithoutTheRecordBeforesValues)
{
    Put(RECORDS_DATABASE_NAME, RecordProps(1, 5, 3, 2006, u"Job", u"10", u"full"));
    Put(RECORDS_DATABASE_NAME, {{PROP_RECORD_KEY, 2, u""},
                                {PROP_RECORD_DAY, 29, u""},
                                {PROP_RECORD_MONTH, 2, u""},
                                {PROP_RECORD_YEAR, 2000, u""},
                                {PROP_RECORD_MEMO, 0, u"bare"}});
    ASSERT_TRUE(OpenDatabases());
    ASSERT_TRUE(LoadRecords());
    RecordNode* bare = Last(App.MainRecordList);
    EXPECT_EQ(Text(bare->memo), u"bare");
    EXPECT_EQ(bare->dateKey, 20000229) << "29 February of a leap year is a real date";
    EXPECT_EQ(Text(bare->minutesText), u"0");
    EXPECT_EQ(bare->category, nullptr);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(DatabasesTest, AddedRecordsAreStoredWithTheirSevenPropertiesAndABlankForNoMemo)
{
    ASSERT_TRUE(OpenDatabases());
    SetClock(5, 14, 3, 9);
    FillScratch(2003, 4, 15, u"135", u"Job", nullptr);
    DWORD key = 0;
    ASSERT_TRUE(AddRecord(App.ScratchRecord, &key));
    EXPECT_EQ(key, 51439u);
    ResetDeviceClock();
    std::vector<Props> stored = Dump(RECORDS_DATABASE_NAME);
    ASSERT_EQ(stored.size(), 1u);
    ASSERT_EQ(stored[0].size(), 7u);
    const CEPROPID ids[] = {PROP_RECORD_KEY,  PROP_RECORD_DAY,      PROP_RECORD_MONTH,
                            PROP_RECORD_YEAR, PROP_RECORD_CATEGORY, PROP_RECORD_MINUTES,
                            PROP_RECORD_MEMO};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(stored[0][i].id, ids[i]);
    EXPECT_EQ(stored[0][0].number, 51439u);
    EXPECT_EQ(stored[0][1].number, 15u);
    EXPECT_EQ(stored[0][2].number, 4u);
    EXPECT_EQ(stored[0][3].number, 2003u);
    EXPECT_EQ(stored[0][4].text, u"Job");
    EXPECT_EQ(stored[0][5].text, u"135");
    EXPECT_EQ(Memo(stored[0]), u" ");

    Restart();
    ASSERT_TRUE(OpenDatabases());
    ASSERT_TRUE(LoadRecords());
    EXPECT_EQ(Memos(), (Strings{u" "}));
}

TEST_F(DatabasesTest, RecordsAddedInTheSameSecondGetDifferentKeys)
{
    ASSERT_TRUE(OpenDatabases());
    FillScratch(2003, 4, 15, u"10", u"Job", u"first");
    DWORD first = 0, second = 0, third = 0;
    SetClock(5, 14, 3, 9);
    ASSERT_TRUE(AddRecord(App.ScratchRecord, &first));
    SetClock(5, 14, 3, 9);
    ASSERT_TRUE(AddRecord(App.ScratchRecord, &second));
    // Day 1 at 14:03:09 builds the digits of key 11439 too, which is taken by then.
    SetClock(1, 14, 3, 9);
    ASSERT_TRUE(AddRecord(App.ScratchRecord, &third));
    ResetDeviceClock();
    EXPECT_EQ(first, 51439u);
    EXPECT_EQ(second, 51440u);
    EXPECT_EQ(third, 11439u);
    EXPECT_EQ(Dump(RECORDS_DATABASE_NAME).size(), 3u);
}

TEST_F(DatabasesTest, UpdateAndDeleteActOnExactlyTheirOwnRecordWhenKeysRepeat)
{
    // Stores written before keys were kept unique hold equal keys; each record stays its own.
    Put(RECORDS_DATABASE_NAME, RecordProps(7, 1, 1, 2006, u"Job", u"10", u"one"));
    Put(RECORDS_DATABASE_NAME, RecordProps(7, 2, 1, 2006, u"Job", u"20", u"two"));
    Put(RECORDS_DATABASE_NAME, RecordProps(7, 3, 1, 2006, u"Job", u"30", u"three"));
    ASSERT_TRUE(OpenDatabases());
    ASSERT_TRUE(LoadRecords());
    ASSERT_EQ(Memos(), (Strings{u"one", u"two", u"three"})) << "equal keys keep write order";

    RecordNode* two = FindAt(App.MainRecordList, 1);
    ResetRecordNode(App.ScratchRecord);
    CopyRecord(App.ScratchRecord, two);
    SetRecordMemo(App.ScratchRecord, u"edited");
    ASSERT_TRUE(UpdateRecord(App.ScratchRecord));
    std::vector<Props> stored = Dump(RECORDS_DATABASE_NAME);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(Memo(stored[0]), u"one");
    EXPECT_EQ(Memo(stored[1]), u"edited");
    EXPECT_EQ(Memo(stored[2]), u"three");

    ASSERT_TRUE(DeleteRecord(FindAt(App.MainRecordList, 2)));
    stored = Dump(RECORDS_DATABASE_NAME);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(Memo(stored[0]), u"one");
    EXPECT_EQ(Memo(stored[1]), u"edited");
    EXPECT_FALSE(DeleteRecord(FindAt(App.MainRecordList, 2))) << "already gone";
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(DatabasesTest, AnAddedRecordCanBeUpdatedAndDeletedThroughItsCopy)
{
    ASSERT_TRUE(OpenDatabases());
    FillScratch(2003, 4, 15, u"10", u"Job", u"new");
    DWORD key;
    ASSERT_TRUE(AddRecord(App.ScratchRecord, &key));
    App.ScratchRecord->recordKey = key;
    RecordNode* node = Append(App.MainRecordList, App.ScratchRecord);
    SetRecordMinutes(node, u"99");
    ASSERT_TRUE(UpdateRecord(node));
    EXPECT_EQ(Dump(RECORDS_DATABASE_NAME)[0][5].text, u"99");
    ASSERT_TRUE(DeleteRecord(node));
    EXPECT_TRUE(Dump(RECORDS_DATABASE_NAME).empty());
}

TEST_F(DatabasesTest, DeletingAKeyThatNoRecordHasShowsNothing)
{
    Put(RECORDS_DATABASE_NAME, RecordProps(7, 1, 1, 2006, u"Job", u"10", u"one"));
    ASSERT_TRUE(OpenDatabases());
    ResetRecordNode(App.ScratchRecord);
    App.ScratchRecord->recordKey = 8;
    EXPECT_FALSE(DeleteRecord(App.ScratchRecord));
    EXPECT_FALSE(UpdateRecord(App.ScratchRecord));
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    EXPECT_EQ(Dump(RECORDS_DATABASE_NAME).size(), 1u);
}

TEST_F(DatabasesTest, EmptyingTheStoreOfRecordsEmptiesTheList)
{
    Put(RECORDS_DATABASE_NAME, RecordProps(7, 1, 1, 2006, u"Job", u"10", u"one"));
    ASSERT_TRUE(OpenDatabases());
    ASSERT_TRUE(LoadRecords());
    ASSERT_TRUE(DeleteRecord(First(App.MainRecordList)));
    EXPECT_FALSE(LoadRecords());
    EXPECT_EQ(App.MainRecordList->current, nullptr);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}
