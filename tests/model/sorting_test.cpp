#include "model/sorting.h"

#include "app/app_context.h"
#include "entry/record_format.h"
#include "tests/model/list_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
typedef std::vector<std::u16string> Strings;

struct SortingTest : ::testing::Test {
    void SetUp() override { CreateAppObjects(); }
    void TearDown() override { DestroyAppObjects(); }

    void AddRecord(LPCWSTR memo, LONG dateKey)
    {
        RecordNode node;
        node.date = {
            WORD(dateKey / 10000), WORD(dateKey / 100 % 100), 0, WORD(dateKey % 100), 0, 0, 0, 0};
        InitRecordNode(&node);
        SetRecordDate(&node, node.date);
        SetRecordMinutes(&node, u"10");
        SetRecordCategory(&node, u"Job");
        SetRecordMemo(&node, memo);
        Append(App.MainRecordList, &node);
        FreeRecordTexts(&node);
    }
    void AddCategory(LPCWSTR name, LONG value)
    {
        CategoryNode node;
        InitNode(&node);
        SetName(&node, name);
        node.value = value;
        Insert(App.MainCategoryList, &node);
        FreeName(&node);
    }
    Strings Memos() const
    {
        Strings memos;
        RecordNode* node = App.MainRecordList->current;
        while (node && node->prev)
            node = node->prev;
        for (; node; node = node->next)
            memos.push_back(Text(node->memo));
        return memos;
    }
};
} // namespace

TEST_F(SortingTest, RecordsWithEqualDatesKeepTheirOrderAscendingAndReverseDescending)
{
    AddRecord(u"A", 20030415);
    AddRecord(u"B", 20030101);
    AddRecord(u"C", 20030415);
    App.SortOrder = 0;
    ASSERT_TRUE(SortRecords());
    ASSERT_TRUE(ListIsSound(*App.MainRecordList, 3));
    EXPECT_EQ(Memos(), (Strings{u"B", u"A", u"C"}));
    EXPECT_EQ(Text(Current(App.MainRecordList)->memo), u"C") << "the handle ends on the last";

    App.SortOrder = 1;
    ASSERT_TRUE(SortRecords());
    ASSERT_TRUE(ListIsSound(*App.MainRecordList, 3));
    EXPECT_EQ(Memos(), (Strings{u"C", u"A", u"B"}));
}

TEST_F(SortingTest, NoOrderChosenYetSortsAscending)
{
    AddRecord(u"late", 20051029);
    AddRecord(u"early", 9990101);
    AddRecord(u"mid", 20030415);
    App.SortOrder = 2;
    ASSERT_TRUE(SortRecords());
    EXPECT_EQ(Memos(), (Strings{u"early", u"mid", u"late"}));
    EXPECT_EQ(First(App.MainRecordList)->index, 0u);
}

TEST_F(SortingTest, AnEmptyRecordListSortsToNothing)
{
    EXPECT_TRUE(SortRecords());
    EXPECT_EQ(App.MainRecordList->current, nullptr);
}

TEST_F(SortingTest, ManyRecordsSortStablyAgainstAReference)
{
    // A stable reference over many repeated dates catches any tie-break that is not the
    // previous order.
    std::vector<std::pair<LONG, std::u16string>> expected;
    for (int i = 0; i < 2000; ++i) {
        LONG key = 20000101 + (i * 7919) % 28;
        std::u16string memo = u"m";
        for (int n = i; n; n /= 10)
            memo += char16_t(u'0' + n % 10);
        AddRecord(memo.c_str(), key);
        expected.push_back({key, memo});
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    App.SortOrder = 0;
    ASSERT_TRUE(SortRecords());
    ASSERT_TRUE(ListIsSound(*App.MainRecordList, 2000));
    Strings memos = Memos();
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(memos[i], expected[i].second) << "at " << i;
}

// Taps on the Date header, with records added between some of them, against a stable sort of
// the order each tap starts from: a list in order already is reordered without sorting, and
// must come out exactly as the sort would, runs of equal dates included.
TEST_F(SortingTest, EachSortMatchesAStableSortOfTheOrderBefore)
{
    struct Tap {
        DWORD order;
        LONG added; // a record dated so is appended before the tap; 0 for none
    };
    const Tap taps[] = {{1, 0},        {0, 0}, {1, 0}, {1, 0}, {0, 20030103}, {0, 0},
                        {1, 20030101}, {0, 0}, {2, 0}, {1, 0}, {0, 20030109}, {1, 0}};
    std::vector<std::pair<LONG, std::u16string>> model;
    auto add = [&](LONG key) {
        std::u16string memo = u"r" + std::u16string(1, char16_t(u'a' + model.size()));
        AddRecord(memo.c_str(), key);
        model.push_back({key, memo});
    };
    for (int i = 0; i < 12; ++i)
        add(20030101 + (i * 7) % 4);
    int tap = 0;
    for (const Tap& t : taps) {
        SCOPED_TRACE("tap " + std::to_string(tap++));
        if (t.added)
            add(t.added);
        std::stable_sort(model.begin(), model.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        if (t.order == 1)
            std::reverse(model.begin(), model.end());
        App.SortOrder = t.order;
        ASSERT_TRUE(SortRecords());
        ASSERT_TRUE(ListIsSound(*App.MainRecordList, model.size()));
        Strings expected;
        for (const auto& entry : model)
            expected.push_back(entry.second);
        EXPECT_EQ(Memos(), expected);
        EXPECT_EQ(Count(App.MainRecordList), model.size());
        EXPECT_EQ(Text(Last(App.MainRecordList)->memo), model.back().second);
        EXPECT_EQ(Text(First(App.MainRecordList)->memo), model.front().second);
    }
}

TEST_F(SortingTest, CategoriesSortByNameOrdinally)
{
    AddCategory(u"Sport", 0);
    AddCategory(u"sport", 0);
    AddCategory(u"Job", 0);
    AddCategory(u"2nd job", 0);
    App.ReportSortOrder = 0;
    ASSERT_TRUE(SortCategoriesByName());
    ASSERT_TRUE(ListIsSound(*App.MainCategoryList, 4));
    EXPECT_EQ(Names(*App.MainCategoryList), (Strings{u"2nd job", u"Job", u"Sport", u"sport"}));
    App.ReportSortOrder = 1;
    ASSERT_TRUE(SortCategoriesByName());
    EXPECT_EQ(Names(*App.MainCategoryList), (Strings{u"sport", u"Sport", u"Job", u"2nd job"}));
}

TEST_F(SortingTest, CategoriesSortByTotalKeepingEqualTotalsInOrder)
{
    AddCategory(u"Job", 90);
    AddCategory(u"Reading", 0);
    AddCategory(u"Sport", 90);
    App.ReportSortOrder = 0;
    ASSERT_TRUE(SortCategoriesByValue());
    EXPECT_EQ(Names(*App.MainCategoryList), (Strings{u"Reading", u"Job", u"Sport"}));
    // Sort the original order again, descending.
    App.ReportSortOrder = 2;
    ASSERT_TRUE(SortCategoriesByName());
    App.ReportSortOrder = 1;
    ASSERT_TRUE(SortCategoriesByValue());
    ASSERT_TRUE(ListIsSound(*App.MainCategoryList, 3));
    EXPECT_EQ(Names(*App.MainCategoryList), (Strings{u"Sport", u"Job", u"Reading"}));
}

TEST_F(SortingTest, ACategoryWithoutANameFailsTheNameSortAndChangesNothing)
{
    AddCategory(u"Sport", 0);
    AddCategory(u"Job", 0);
    FreeName(Last(App.MainCategoryList));
    EXPECT_FALSE(SortCategoriesByName());
    ASSERT_TRUE(ListIsSound(*App.MainCategoryList, 2));
    EXPECT_EQ(Names(*App.MainCategoryList), (Strings{u"Sport", u"(null)"}));
}

TEST(CompareFunctions, CompareAsUnsignedNumbersAndOrdinalNames)
{
    DWORD small = 1, big = 0x80000000u;
    EXPECT_EQ(CompareNumbers(&small, &big), -1);
    EXPECT_EQ(CompareNumbers(&big, &small), 1);
    EXPECT_EQ(CompareNumbers(&big, &big), 0);
    LPCWSTR digit = u"2nd", upper = u"Job", lower = u"job";
    EXPECT_LT(CompareNames(&digit, &upper), 0);
    EXPECT_LT(CompareNames(&upper, &lower), 0);
    EXPECT_EQ(CompareNames(&lower, &lower), 0);
}
