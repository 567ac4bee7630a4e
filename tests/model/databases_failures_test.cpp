// Each failure of the store reports its message and leaves the store as it was.
#include "entry/record_format.h"
#include "model/databases.h"
#include "tests/model/list_checks.h"
#include "tests/model/store_fixture.h"

#include <fstream>
#include <iterator>

namespace
{
typedef std::vector<std::u16string> Strings;

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct FailuresTest : StoreFixture {
    // A store holding two records and two saved categories.
    void Seed()
    {
        ASSERT_TRUE(OpenDatabases());
        RemoveByName(App.MainCategoryList, u"Reading");
        ASSERT_TRUE(SaveCategories());
        for (LPCWSTR memo : {u"one", u"two"}) {
            RecordNode* node = App.ScratchRecord;
            ResetRecordNode(node);
            SetRecordDate(node, SYSTEMTIME{2006, 3, 0, 5, 0, 0, 0, 0});
            SetRecordMinutes(node, u"10");
            SetRecordCategory(node, u"Job");
            SetRecordMemo(node, memo);
            DWORD key;
            ASSERT_TRUE(AddRecord(node, &key));
        }
        Restart();
    }
    Strings Memos()
    {
        Strings memos;
        for (RecordNode* node = First(App.MainRecordList); node; node = node->next)
            memos.push_back(Text(node->memo));
        return memos;
    }
    // The records and categories as the program would load them at its next start.
    std::pair<Strings, Strings> StoredState()
    {
        Restart();
        EXPECT_TRUE(OpenDatabases());
        LoadRecords();
        auto state = std::make_pair(Memos(), Names(*App.MainCategoryList));
        Restart();
        return state;
    }
    void ExpectOneMessage(LPCWSTR text, UINT icon)
    {
        ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
        const RecordedMessageBox& box = RecordedMessageBoxes()[0];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, u"Zentally");
        EXPECT_EQ(box.type, UINT(MB_OK) | icon);
        EXPECT_TRUE(box.ownerless);
    }
};
} // namespace

TEST_F(FailuresTest, AFailedAddShowsItsMessageAndWritesNothing)
{
    Seed();
    auto before = StoredState();
    ASSERT_TRUE(OpenDatabases());
    ASSERT_TRUE(LoadRecords());
    FailStoreOperation(StoreOp::Write, 1, ERROR_DISK_FULL);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    DWORD key;
    EXPECT_FALSE(AddRecord(First(App.MainRecordList), &key));
    ExpectOneMessage(u"Error during adding record to database: Ulmra Zentally", MB_ICONEXCLAMATION);
    EXPECT_FALSE(RecordedMessageBoxes()[0].waitCursor) << "the wait cursor goes first";
    EXPECT_EQ(StoredState(), before);
}

TEST_F(FailuresTest, AFailedDeleteShowsItsMessageAndKeepsTheRecord)
{
    Seed();
    auto before = StoredState();
    for (StoreOp op : {StoreOp::OpenDatabase, StoreOp::DeleteRecord}) {
        ASSERT_TRUE(OpenDatabases());
        ASSERT_TRUE(LoadRecords());
        ClearRecordings();
        FailStoreOperation(op, 1, ERROR_WRITE_FAULT);
        EXPECT_FALSE(DeleteRecord(First(App.MainRecordList)));
        ExpectOneMessage(u"Error during deleting record in database: Ulmra Zentally",
                         MB_ICONEXCLAMATION);
        ClearStoreFaults();
        EXPECT_EQ(StoredState(), before);
    }
}

// Deleting many records is one change: a failure at the first or the last of them, or of the
// commit itself, keeps every record, with one message.
TEST_F(FailuresTest, AFailedDeletionOfManyKeepsEveryRecordWithOneMessage)
{
    Seed();
    auto before = StoredState();
    struct {
        StoreOp op;
        int nth;
    } cases[] = {
        {StoreOp::OpenDatabase, 1},
        {StoreOp::DeleteRecord, 1},
        {StoreOp::DeleteRecord, 2},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(OpenDatabases());
        ASSERT_TRUE(LoadRecords());
        ClearRecordings();
        FailStoreOperation(c.op, c.nth, ERROR_WRITE_FAULT);
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        EXPECT_FALSE(DeleteRecords(App.MainRecordList));
        ExpectOneMessage(u"Error during deleting record in database: Ulmra Zentally",
                         MB_ICONEXCLAMATION);
        EXPECT_FALSE(RecordedMessageBoxes()[0].waitCursor) << "the wait cursor goes first";
        ClearStoreFaults();
        EXPECT_EQ(StoredState(), before);
    }
    ASSERT_TRUE(OpenDatabases());
    ASSERT_TRUE(LoadRecords());
    ClearRecordings();
    EXPECT_TRUE(DeleteRecords(App.MainRecordList));
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    EXPECT_TRUE(StoredState().first.empty());
}

TEST_F(FailuresTest, AFailedUpdateShowsItsMessageAndKeepsTheStoredRecord)
{
    Seed();
    auto before = StoredState();
    for (StoreOp op : {StoreOp::OpenDatabase, StoreOp::Write}) {
        ASSERT_TRUE(OpenDatabases());
        ASSERT_TRUE(LoadRecords());
        ClearRecordings();
        RecordNode* node = First(App.MainRecordList);
        SetRecordMemo(node, u"changed");
        FailStoreOperation(op, 1, ERROR_WRITE_FAULT);
        EXPECT_FALSE(UpdateRecord(node));
        ExpectOneMessage(u"Error during edit operation in database: Ulmra Zentally",
                         MB_ICONEXCLAMATION);
        ClearStoreFaults();
        EXPECT_EQ(StoredState(), before);
    }
}

TEST_F(FailuresTest, AFailedCategorySaveKeepsEveryStoredCategory)
{
    Seed();
    auto before = StoredState();
    ASSERT_TRUE(OpenDatabases());
    CategoryNode scratch;
    InitNode(&scratch);
    SetName(&scratch, u"Walks");
    Insert(App.MainCategoryList, &scratch);
    FreeName(&scratch);
    FailStoreOperation(StoreOp::Write, 2, ERROR_DISK_FULL);
    EXPECT_FALSE(SaveCategories());
    ExpectOneMessage(u"Error during edit operation in database: Ulmra ZentallyCustom",
                     MB_ICONEXCLAMATION);
    ClearStoreFaults();
    EXPECT_EQ(StoredState(), before);
}

TEST_F(FailuresTest, AFailedReadStopsTheLoadWithItsMessage)
{
    Seed();
    ASSERT_TRUE(OpenDatabases());
    FailStoreOperation(StoreOp::Read, 2, ERROR_READ_FAULT);
    EXPECT_FALSE(LoadRecords());
    ExpectOneMessage(u"There are problems with Zentally database!", MB_ICONHAND);
    EXPECT_EQ(RecordedBeeps().size(), 1u);
    EXPECT_EQ(Memos(), (Strings{u"one"}));
}

TEST_F(FailuresTest, AnUnreadableRecordsDatabaseLeavesTheListAsItWas)
{
    Seed();
    ASSERT_TRUE(OpenDatabases());
    ASSERT_TRUE(LoadRecords());
    for (StoreOp op : {StoreOp::OpenDatabase, StoreOp::OidGetInfo}) {
        ClearRecordings();
        FailStoreOperation(op, 1, ERROR_CANTREAD);
        EXPECT_FALSE(LoadRecords());
        ExpectOneMessage(u"There are problems with Zentally database!", MB_ICONHAND);
        EXPECT_EQ(Memos(), (Strings{u"one", u"two"}));
        ClearStoreFaults();
    }
}

TEST_F(FailuresTest, StartFailsWithItsMessageWhenTheCategoriesCannotBeRead)
{
    Seed();
    FailStoreOperation(StoreOp::OidGetInfo, 1, ERROR_CANTREAD);
    EXPECT_FALSE(OpenDatabases());
    ExpectOneMessage(u"Error during building database:", MB_ICONHAND);
    EXPECT_EQ(RecordedBeeps().size(), 1u);
    ClearStoreFaults();

    Restart();
    FailStoreOperation(StoreOp::Seek, 1, ERROR_CANTREAD);
    EXPECT_FALSE(OpenDatabases());
    ExpectOneMessage(u"Error during building database: Ulmra ZentallyCustom", MB_ICONEXCLAMATION);
}

TEST_F(FailuresTest, StartFailsWithItsMessageWhenNoRecordsDatabaseCanBeMade)
{
    FailStoreOperation(StoreOp::CreateDatabase, 1, ERROR_DISK_FULL);
    EXPECT_FALSE(OpenDatabases());
    ExpectOneMessage(u"Error during building database: Ulmra Zentally", MB_ICONEXCLAMATION);
}

TEST_F(FailuresTest, ADamagedStoreIsReportedAndLeftAsItIs)
{
    Seed();
    StopProgramState();
    CloseDeviceFolder();
    std::string store = folder + "/store.db";
    std::string bytes = FileBytes(store);
    ASSERT_GT(bytes.size(), 4096u);
    // Spoil the pages after the header, as a torn copy would.
    for (size_t i = 100; i < bytes.size(); i += 7)
        bytes[i] = char(0x5A ^ bytes[i]);
    {
        std::ofstream out(store, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string reason;
    OpenDeviceFolder(folder, &reason);
    StartProgramState();
    EXPECT_FALSE(OpenDatabases());
    EXPECT_FALSE(RecordedMessageBoxes().empty());
    StopProgramState();
    CloseDeviceFolder();
    EXPECT_EQ(FileBytes(store), bytes) << "nothing is rewritten or deleted";
    OpenDeviceFolder(folder, &reason);
    StartProgramState();
}

TEST_F(FailuresTest, AStoreThatIsNotADatabaseIsReportedAndLeftAsItIs)
{
    StopProgramState();
    CloseDeviceFolder();
    std::string store = folder + "/store.db";
    std::string text = "these are my notes, not a database\n";
    {
        std::ofstream out(store, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::string reason;
    OpenDeviceFolder(folder, &reason);
    StartProgramState();
    EXPECT_FALSE(OpenDatabases());
    EXPECT_FALSE(RecordedMessageBoxes().empty());
    StopProgramState();
    CloseDeviceFolder();
    EXPECT_EQ(FileBytes(store), text);
    OpenDeviceFolder(folder, &reason);
    StartProgramState();
}
