// A category's rename or deletion carried into many records: the list afterwards is the one a
// reload would give, and a failure part way changes no stored record and tells the user once.
#include "entry/record_format.h"
#include "model/databases.h"
#include "model/sorting.h"
#include "tests/model/list_checks.h"
#include "tests/model/store_fixture.h"

#include <string>

namespace
{
typedef std::vector<std::u16string> Strings;

const int seeded = 60;

struct CategoryRecordsTest : StoreFixture {
    // Records of Reading (two in three) and Job whose keys and dates repeat, written out of key
    // order; one record has no memo property at all.
    void Seed()
    {
        ASSERT_TRUE(OpenDatabases());
        for (int i = 0; i < seeded; ++i) {
            std::u16string minutes = Digits(10 + i), memo = u"m" + Digits(i);
            const CEPROPID ids[7] = {PROP_RECORD_KEY,  PROP_RECORD_DAY,      PROP_RECORD_MONTH,
                                     PROP_RECORD_YEAR, PROP_RECORD_CATEGORY, PROP_RECORD_MINUTES,
                                     PROP_RECORD_MEMO};
            CEPROPVAL props[7] = {};
            for (int p = 0; p < 7; ++p)
                props[p].propid = ids[p];
            props[0].val.ulVal = DWORD(1000 + (i * 7) % 23);
            props[1].val.ulVal = DWORD(1 + i % 5);
            props[2].val.ulVal = 4;
            props[3].val.ulVal = 2026;
            props[4].val.lpwstr = const_cast<LPWSTR>(i % 3 ? u"Reading" : u"Job");
            props[5].val.lpwstr = minutes.data();
            props[6].val.lpwstr = memo.data();
            WORD count = i == 4 ? 6 : 7;
            ASSERT_NE(CeWriteRecordProps(App.Databases.records, 0, count, props), 0u);
        }
        Restart();
        ASSERT_TRUE(OpenDatabases());
        ASSERT_TRUE(LoadRecords());
    }
    // An empty device folder again, for the next case of a table.
    void Fresh()
    {
        StopProgramState();
        CloseDeviceFolder();
        std::filesystem::remove_all(folder);
        std::string reason;
        ASSERT_TRUE(OpenDeviceFolder(folder, &reason)) << reason;
        StartProgramState();
    }
    static std::u16string Digits(int n)
    {
        std::string narrow = std::to_string(n);
        return std::u16string(narrow.begin(), narrow.end());
    }
    // The list as the main window shows it after sorting in `order`: every node's identity and
    // texts, in list order.
    Strings Rows(DWORD order)
    {
        EXPECT_TRUE(SortRecordList(App.MainRecordList, order));
        Strings rows;
        for (RecordNode* node = First(App.MainRecordList); node; node = node->next)
            rows.push_back(Digits(int(node->recordKey)) + u" " + Digits(int(node->storedOid)) +
                           u" " + Text(node->dateDmyDash) + u" " + Text(node->category) + u" " +
                           Text(node->minutesText) + u" " + Text(node->memo));
        return rows;
    }
    // The rows a reload from the store gives.
    Strings ReloadedRows(DWORD order)
    {
        EXPECT_TRUE(LoadRecords());
        return Rows(order);
    }
    // The stored records' categories and memos, as the next start loads them.
    Strings Stored()
    {
        Restart();
        EXPECT_TRUE(OpenDatabases());
        LoadRecords();
        Strings stored;
        for (RecordNode* node = First(App.MainRecordList); node; node = node->next)
            stored.push_back(Text(node->category) + u" " + Text(node->memo));
        Restart();
        return stored;
    }
    int CountOf(LPCWSTR category)
    {
        int count = 0;
        for (RecordNode* node = First(App.MainRecordList); node; node = node->next)
            count += node->category && std::u16string(node->category) == category;
        return count;
    }
    void ExpectOneMessage(LPCWSTR text)
    {
        ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
        EXPECT_EQ(RecordedMessageBoxes()[0].text, text);
        EXPECT_EQ(RecordedMessageBoxes()[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
    }
};

// The list is sorted and a record added at its end first, so that its order is not the store's;
// the record stored without a memo is written with a blank one, in the list as in the store.
TEST_F(CategoryRecordsTest, AfterARenameOrADeletionTheListIsTheOneAReloadGives)
{
    for (DWORD order : {0u, 1u}) {
        for (bool rename : {true, false}) {
            SCOPED_TRACE(std::string(rename ? "rename" : "delete") + ", order " +
                         std::to_string(order));
            Fresh();
            Seed();
            ASSERT_TRUE(SortRecordList(App.MainRecordList, order));
            RecordNode* added = App.ScratchRecord;
            ResetRecordNode(added);
            SetRecordDate(added, SYSTEMTIME{2026, 4, 0, 2, 0, 0, 0, 0});
            SetRecordMinutes(added, u"5");
            SetRecordCategory(added, u"Reading");
            SetRecordMemo(added, u"added");
            DWORD key;
            ASSERT_TRUE(AddRecord(added, &key));
            Append(App.MainRecordList, added);

            EXPECT_TRUE(rename ? RenameRecordsCategory(u"Reading", u"Books")
                               : DeleteRecordsOfCategory(u"Reading"));
            EXPECT_TRUE(RecordedMessageBoxes().empty());
            size_t left = rename ? seeded + 1 : seeded / 3;
            ASSERT_TRUE(ListIsSound(*App.MainRecordList, left));
            EXPECT_EQ(CountOf(u"Reading"), 0);
            EXPECT_EQ(CountOf(u"Books"), rename ? 2 * seeded / 3 + 1 : 0);
            Strings rows = Rows(order);
            EXPECT_EQ(rows, ReloadedRows(order));
            EXPECT_EQ(Stored().size(), left);
        }
    }
}

TEST_F(CategoryRecordsTest, ACategoryNoRecordHasLeavesTheListAndTheStoreAlone)
{
    Seed();
    Strings before = Stored();
    ASSERT_TRUE(OpenDatabases());
    ASSERT_TRUE(LoadRecords());
    RecordNode* first = First(App.MainRecordList);
    EXPECT_FALSE(RenameRecordsCategory(u"reading", u"Books")) << "case counts";
    EXPECT_FALSE(DeleteRecordsOfCategory(u"Sport"));
    EXPECT_EQ(First(App.MainRecordList), first);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    EXPECT_EQ(Stored(), before);
}

// A record deleted from the store behind the list's back is passed over, and the list read
// again shows what the store holds.
TEST_F(CategoryRecordsTest, AListThatNoLongerMatchesTheStoreIsReadAgain)
{
    for (bool rename : {true, false}) {
        SCOPED_TRACE(rename ? "rename" : "delete");
        Fresh();
        Seed();
        RecordNode* gone = First(App.MainRecordList);
        while (!gone->category || std::u16string(gone->category) != u"Job")
            gone = gone->next;
        ASSERT_TRUE(CeDeleteRecord(App.Databases.records, gone->storedOid));
        EXPECT_TRUE(rename ? RenameRecordsCategory(u"Job", u"Work")
                           : DeleteRecordsOfCategory(u"Job"));
        EXPECT_TRUE(RecordedMessageBoxes().empty());
        size_t left = rename ? seeded - 1 : seeded - seeded / 3;
        ASSERT_TRUE(ListIsSound(*App.MainRecordList, left));
        Strings rows = Rows(1);
        EXPECT_EQ(rows, ReloadedRows(1));
    }
}

// All or none: a failure at the first, a middle or the last record's write or deletion, or
// before any, keeps every stored record and every node as it was, with one message.
TEST_F(CategoryRecordsTest, AFailedRenameOrDeletionOfManyChangesNoRecordWithOneMessage)
{
    Seed();
    Strings before = Stored();
    int chosen = 2 * seeded / 3;
    const char16_t* renameMessage = u"Error during edit operation in database: Ulmra Zentally";
    const char16_t* deleteMessage = u"Error during deleting record in database: Ulmra Zentally";
    struct {
        bool rename;
        StoreOp op;
        int nth;
        DWORD error;
        BOOL listChanged;
    } cases[] = {
        {true, StoreOp::Write, 1, ERROR_DISK_FULL, TRUE},
        {true, StoreOp::Write, chosen / 2, ERROR_DISK_FULL, TRUE},
        {true, StoreOp::Write, chosen, ERROR_DISK_FULL, TRUE},
        {true, StoreOp::OpenDatabase, 1, ERROR_DISK_FULL, FALSE},
        {false, StoreOp::DeleteRecord, 1, ERROR_WRITE_FAULT, TRUE},
        {false, StoreOp::DeleteRecord, chosen / 2, ERROR_WRITE_FAULT, TRUE},
        {false, StoreOp::DeleteRecord, chosen, ERROR_WRITE_FAULT, TRUE},
        {false, StoreOp::OpenDatabase, 1, ERROR_WRITE_FAULT, FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rename ? "rename" : "deletion") + ", operation " +
                     std::to_string(int(c.op)) + ", call " + std::to_string(c.nth));
        ASSERT_TRUE(OpenDatabases());
        ASSERT_TRUE(LoadRecords());
        ClearRecordings();
        FailStoreOperation(c.op, c.nth, c.error);
        EXPECT_EQ(c.rename ? RenameRecordsCategory(u"Reading", u"Books")
                           : DeleteRecordsOfCategory(u"Reading"),
                  c.listChanged);
        ExpectOneMessage(c.rename ? renameMessage : deleteMessage);
        ClearStoreFaults();
        EXPECT_TRUE(ListIsSound(*App.MainRecordList, seeded));
        EXPECT_EQ(CountOf(u"Reading"), chosen);
        EXPECT_EQ(CountOf(u"Books"), 0);
        EXPECT_EQ(Stored(), before);
    }
}
} // namespace
