// Totals over a range of dates: which records count for a category, what the sums come to at
// their limits, one category's total against every category's at once, and the text shown.
#include "report/report_totals.h"

#include "entry/view_types.h"
#include "tests/report/report_fixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace
{
struct TotalsTest : ::testing::Test {
    RecordList records = {nullptr};
    CategoryList categories = {nullptr};

    void TearDown() override
    {
        Clear(&records);
        Clear(&categories);
    }
    void Add(WORD year, WORD month, WORD day, LPCWSTR minutes, LPCWSTR category)
    {
        AddRecord(&records, {year, month, day, minutes, category, u""});
    }
    LONG Total(LPCWSTR name, LONG startKey, LONG endKey)
    {
        return CategoryTotal(&records, name, startKey, endKey);
    }
};
} // namespace

TEST_F(TotalsTest, OneCategoryCountsItsRecordsOfTheRangeBothEndsIncluded)
{
    Add(2005, 10, 28, u"1", u"Job");
    Add(2005, 10, 29, u"10", u"Job");
    Add(2005, 10, 30, u"100", u"Job");
    Add(2005, 10, 31, u"1000", u"Job");
    Add(2005, 11, 1, u"10000", u"Job");
    struct Case {
        LONG start, end, total;
    } cases[] = {
        {20051029, 20051031, 1110},  {20051029, 20051029, 10}, {20051031, 20051031, 1000},
        {20051101, 20051101, 10000}, {20051102, 20991231, 0},  {20051030, 20051029, 0},
        {0, 99991231, 11111},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " to " + std::to_string(c.end));
        EXPECT_EQ(Total(u"Job", c.start, c.end), c.total);
    }
}

TEST_F(TotalsTest, OneCategoryMatchesItsNameExactlyAndNothingElse)
{
    Add(2005, 10, 29, u"10", u"Job");
    Add(2005, 10, 29, u"20", u"job");
    Add(2005, 10, 29, u"40", u"Jobs");
    Add(2005, 10, 29, u"80", u"Jo");
    Add(2005, 10, 29, u"160", u"Job ");
    struct Case {
        LPCWSTR name;
        LONG total;
    } cases[] = {
        {u"Job", 10}, {u"job", 20},   {u"JOB", 0}, {u"Jobs", 40},
        {u"Jo", 80},  {u"Job ", 160}, {u"", 0},    {nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name
                         ? std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name))
                         : "null");
        EXPECT_EQ(Total(c.name, 20050101, 20051231), c.total);
    }
}

TEST_F(TotalsTest, OneCategoryLeavesTheHandleWhereItWas)
{
    for (WORD day = 1; day <= 5; ++day)
        Add(2005, 10, day, u"1", u"Job");
    RecordNode* middle = FindAt(&records, 2);
    EXPECT_EQ(Total(u"Job", 20051001, 20051031), 5);
    EXPECT_EQ(Current(&records), middle);
    RecordList empty = {nullptr};
    EXPECT_EQ(CategoryTotal(&empty, u"Job", 0, 99991231), 0);
}

TEST_F(TotalsTest, RecordsWithoutMinutesMatchButAddNothing)
{
    Add(2005, 10, 29, nullptr, u"Job");
    Add(2005, 10, 29, nullptr, u"Home");
    Add(2005, 10, 29, u"30", u"Home");
    CategoryNode* job = AddCategory(&categories, u"Job", 77);
    CategoryNode* home = AddCategory(&categories, u"Home", 77);
    EXPECT_EQ(RecordMinutes(First(&records)), 0);
    EXPECT_TRUE(ComputeCategoryTotals(&records, &categories, 20051029, 20051029));
    EXPECT_EQ(job->value, 0);
    EXPECT_EQ(home->value, 30);
}

TEST_F(TotalsTest, AllCategoriesGetAFreshTotalAndSayWhetherAnyRecordMatched)
{
    Add(2005, 10, 29, u"30", u"Job");
    Add(2005, 10, 30, u"45", u"Job");
    Add(2005, 10, 30, u"50", u"Unlisted");
    Add(2005, 10, 30, u"60", u"home");
    CategoryNode* job = AddCategory(&categories, u"Job", 5);
    CategoryNode* home = AddCategory(&categories, u"Home", 5);
    CategoryNode* idle = AddCategory(&categories, u"Idle", 5);
    struct Case {
        LONG start, end;
        BOOL matched;
        LONG job, home, idle;
    } cases[] = {
        {20051029, 20051030, TRUE, 75, 0, 0},
        {20051030, 20051030, TRUE, 45, 0, 0},
        // Only records of categories not in the list lie in this range.
        {20051031, 20051031, FALSE, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " to " + std::to_string(c.end));
        EXPECT_EQ(ComputeCategoryTotals(&records, &categories, c.start, c.end), c.matched);
        EXPECT_EQ(job->value, c.job);
        EXPECT_EQ(home->value, c.home);
        EXPECT_EQ(idle->value, c.idle);
        EXPECT_EQ(Current(&records), First(&records));
        EXPECT_EQ(Current(&categories), job);
    }
    // A range holding only unlisted records matches nothing either, and still zeroes.
    job->value = 9;
    Add(2005, 11, 1, u"5", u"Unlisted");
    EXPECT_FALSE(ComputeCategoryTotals(&records, &categories, 20051101, 20051101));
    EXPECT_EQ(job->value, 0);
}

TEST_F(TotalsTest, EmptyListsChangeNoTotal)
{
    CategoryNode* job = AddCategory(&categories, u"Job", 42);
    EXPECT_FALSE(ComputeCategoryTotals(&records, &categories, 0, 99991231));
    EXPECT_EQ(job->value, 42);

    CategoryList none = {nullptr};
    Add(2005, 10, 29, u"30", u"Job");
    EXPECT_FALSE(ComputeCategoryTotals(&records, &none, 0, 99991231));
    EXPECT_EQ(job->value, 42);
}

TEST_F(TotalsTest, SumsStopAtTheLimitsOfLong)
{
    for (int i = 0; i < 3; ++i)
        Add(2005, 10, 29, u"2147483647", u"Big");
    // A minutes text that reads negative, as only a damaged record could carry.
    for (int i = 0; i < 3; ++i) {
        RecordNode* node = AddRecord(&records, {2005, 10, 29, u"1000000000", u"Low", u""});
        std::char_traits<char16_t>::copy(node->minutesText, u"-999999999", 10);
    }
    Add(2005, 10, 29, u"4294967296", u"Read");
    CategoryNode* big = AddCategory(&categories, u"Big");
    CategoryNode* low = AddCategory(&categories, u"Low");
    EXPECT_EQ(Total(u"Big", 0, 99991231), INT32_MAX);
    EXPECT_EQ(Total(u"Low", 0, 99991231), INT32_MIN);
    EXPECT_EQ(Total(u"Read", 0, 99991231), INT32_MAX) << "a text beyond LONG reads as its bound";
    EXPECT_TRUE(ComputeCategoryTotals(&records, &categories, 0, 99991231));
    EXPECT_EQ(big->value, INT32_MAX);
    EXPECT_EQ(low->value, INT32_MIN);
}

TEST_F(TotalsTest, AllCategoriesAtOnceEqualEachCategoryAlone)
{
    // Names that sort next to each other, differ in case or are prefixes of one another, and
    // records of names that are not listed.
    const LPCWSTR names[] = {u"Job",     u"job", u"JOB",   u"Jo",      u"Jobs",
                             u"A",       u"Z",   u"Ä",     u"Meeting", u"Travel",
                             u"Travel ", u"x",   u"Sport", u"Reading"};
    const LPCWSTR unlisted[] = {u"Unlisted", u"jOb", u"B"};
    for (LPCWSTR name : names)
        AddCategory(&categories, name);
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int i = 0; i < 3000; ++i) {
        bool listed = next(10) != 0;
        LPCWSTR category = listed ? names[next(std::size(names))] : unlisted[next(3)];
        std::u16string minutes =
            u"" + std::u16string(1, u'0' + next(10)) + std::u16string(1, u'0' + next(10));
        bool withMinutes = next(20) != 0;
        AddRecord(&records, {WORD(2000 + next(10)), WORD(1 + next(12)), WORD(1 + next(28)),
                             withMinutes ? minutes.c_str() : nullptr, category, u""});
    }
    struct Range {
        LONG start, end;
    } ranges[] = {{0, 99991231}, {20030101, 20051231}, {20040229, 20040229}, {20100101, 20101231}};
    for (const Range& range : ranges) {
        SCOPED_TRACE(std::to_string(range.start) + " to " + std::to_string(range.end));
        bool anyListed = false;
        for (RecordNode* record = First(&records); record; record = record->next) {
            bool inRange = record->dateKey >= range.start && record->dateKey <= range.end;
            for (LPCWSTR name : names)
                anyListed = anyListed || (inRange && std::u16string(record->category) == name);
        }
        EXPECT_EQ(ComputeCategoryTotals(&records, &categories, range.start, range.end),
                  anyListed ? TRUE : FALSE);
        for (CategoryNode* category = First(&categories); category; category = category->next)
            EXPECT_EQ(category->value, Total(category->name, range.start, range.end));
    }
}

TEST(TotalText, HoursAndTwoDigitMinutesWithTheViewsSeparator)
{
    struct Case {
        LONG minutes;
        LPCWSTR colon, comma;
    } cases[] = {
        {0, u"0:0", u"0,0"},
        {5, u"0:05", u"0,05"},
        {59, u"0:59", u"0,59"},
        {60, u"1:00", u"1,00"},
        {125, u"2:05", u"2,05"},
        {600, u"10:00", u"10,00"},
        {59999, u"999:59", u"999,59"},
        {60000, u"1000:00", u"1000,00"},
        {100000, u"1666:40", u"1666,40"},
        {INT32_MAX, u"35791394:07", u"35791394,07"},
        {-1, u"0:0", u"0,0"},
        {-125, u"0:0", u"0,0"},
        {INT32_MIN, u"0:0", u"0,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.minutes);
        WCHAR text[TOTAL_TEXT_MAX];
        FormatTotalText(c.minutes, ColonSeparated, text);
        EXPECT_EQ(std::u16string(text), c.colon);
        FormatTotalText(c.minutes, CommaSeparated, text);
        EXPECT_EQ(std::u16string(text), c.comma);
        FormatTotalText(c.minutes, 7, text);
        EXPECT_EQ(std::u16string(text), c.comma) << "any other view separates with a comma";
    }
}
