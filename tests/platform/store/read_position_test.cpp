#include "platform/store_batch.h"
#include "tests/platform/store/store_fixture.h"

namespace
{
typedef std::vector<std::string> Records;

// A database holding records with the keys 10, 20, 20, 30 (written in that order, the two 20s
// told apart by their text).
struct ReadPositionTest : StoreTest {
    HANDLE db = 0;
    std::vector<CEOID> oids;

    void SetUp() override
    {
        StoreTest::SetUp();
        db = CreateAndOpen(u"Positions");
        ASSERT_TRUE(db);
        oids.push_back(Write(db, {Number(keyProp, 20), Text(textProp, u"a")}));
        oids.push_back(Write(db, {Number(keyProp, 30)}));
        oids.push_back(Write(db, {Number(keyProp, 10)}));
        oids.push_back(Write(db, {Number(keyProp, 20), Text(textProp, u"b")}));
    }
    void TearDown() override
    {
        CloseHandle(db);
        StoreTest::TearDown();
    }
    CEOID Seek(DWORD type, DWORD_PTR value, DWORD* index)
    {
        *index = 0xDEAD;
        return CeSeekDatabase(db, type, value, index);
    }
    CEOID SeekValue(DWORD type, DWORD key, DWORD* index)
    {
        CEPROPVAL value = Number(keyProp, key);
        return Seek(type, reinterpret_cast<DWORD_PTR>(&value), index);
    }
};

const std::string r10 = "0x00000013=10";
const std::string r20a = "0x00000013=20 0x0002001F='a'";
const std::string r20b = "0x00000013=20 0x0002001F='b'";
const std::string r30 = "0x00000013=30";
} // namespace

TEST_F(ReadPositionTest, ANewHandleReadsFromTheFirstRecord)
{
    EXPECT_EQ(ReadRest(db), (Records{r10, r20a, r20b, r30}));
}

TEST_F(ReadPositionTest, SeeksByPlaceFindTheRecordAndItsIndex)
{
    struct {
        DWORD type;
        DWORD_PTR value;
        CEOID expected; // index into oids
        DWORD index;
    } cases[] = {
        {CEDB_SEEK_BEGINNING, 0, 2, 0}, {CEDB_SEEK_BEGINNING, 2, 3, 2}, {CEDB_SEEK_END, 0, 1, 3},
        {CEDB_SEEK_END, 3, 2, 0},       {CEDB_SEEK_CEOID, 0, 3, 2}, // value filled below
    };
    cases[4].value = oids[3];
    for (const auto& c : cases) {
        DWORD index;
        EXPECT_EQ(Seek(c.type, c.value, &index), oids[c.expected]) << c.type << " " << c.value;
        EXPECT_EQ(index, c.index) << c.type << " " << c.value;
        CEOID read;
        ReadOne(db, &read);
        EXPECT_EQ(read, oids[c.expected]);
    }
}

TEST_F(ReadPositionTest, SeeksFromTheCurrentRecordCountBothWays)
{
    DWORD index;
    ASSERT_EQ(Seek(CEDB_SEEK_BEGINNING, 1, &index), oids[0]);
    EXPECT_EQ(Seek(CEDB_SEEK_CURRENT, 2, &index), oids[1]);
    EXPECT_EQ(index, 3u);
    // A negative count comes as a 32-bit value, whatever the width of the argument.
    EXPECT_EQ(Seek(CEDB_SEEK_CURRENT, static_cast<DWORD>(-3), &index), oids[2]);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(Seek(CEDB_SEEK_CURRENT, static_cast<DWORD_PTR>(-1), &index), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_FOUND));
}

TEST_F(ReadPositionTest, SeeksByValueFollowTheSortOrder)
{
    DWORD index;
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUEFIRSTEQUAL, 20, &index), oids[0]);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUENEXTEQUAL, 20, &index), oids[3]);
    EXPECT_EQ(index, 2u);
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUENEXTEQUAL, 20, &index), 0u);

    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUEGREATER, 10, &index), oids[0]);
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUEGREATER, 20, &index), oids[1]);
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUEGREATER, 30, &index), 0u);
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUESMALLER, 30, &index), oids[3]);
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUESMALLER, 11, &index), oids[2]);
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUESMALLER, 10, &index), 0u);
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUEFIRSTEQUAL, 25, &index), 0u);
}

TEST_F(ReadPositionTest, ASeekThatFindsNothingLeavesThePositionPastTheLastRecord)
{
    DWORD index;
    struct {
        DWORD type;
        DWORD_PTR value;
    } cases[] = {
        {CEDB_SEEK_BEGINNING, 4},
        {CEDB_SEEK_END, 4},
        {CEDB_SEEK_CEOID, 0xFFFFFF00},
        {CEDB_SEEK_CEOID, 0},
    };
    for (const auto& c : cases) {
        Seek(CEDB_SEEK_BEGINNING, 0, &index);
        EXPECT_EQ(Seek(c.type, c.value, &index), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_FOUND));
        EXPECT_TRUE(ReadRest(db).empty());
    }
    EXPECT_EQ(SeekValue(CEDB_SEEK_VALUEFIRSTEQUAL, 99, &index), 0u);
    EXPECT_TRUE(ReadRest(db).empty());
}

TEST_F(ReadPositionTest, BadSeeksAreRefusedAndKeepThePosition)
{
    DWORD index;
    ASSERT_EQ(Seek(CEDB_SEEK_BEGINNING, 2, &index), oids[3]);
    CEPROPVAL wrongProperty = Number(numberProp, 20);
    struct {
        DWORD type;
        DWORD_PTR value;
    } cases[] = {
        {0x1000, 0},
        {0, 0},
        {CEDB_SEEK_VALUEFIRSTEQUAL, 0},
        {CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&wrongProperty)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Seek(c.type, c.value, &index), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(CeSeekDatabase(nullptr, CEDB_SEEK_BEGINNING, 0, &index), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ReadRest(db), (Records{r20b, r30}));
}

TEST_F(ReadPositionTest, WithoutAutoIncrementEveryReadIsOfTheSameRecord)
{
    HANDLE still = Open(u"Positions", 0);
    ASSERT_TRUE(still);
    CEOID first, second;
    EXPECT_EQ(ReadOne(still, &first), r10);
    EXPECT_EQ(ReadOne(still, &second), r10);
    EXPECT_EQ(first, second);
    DWORD index;
    CeSeekDatabase(still, CEDB_SEEK_CURRENT, 1, &index);
    EXPECT_EQ(ReadOne(still), r20a);
    CloseHandle(still);
}

TEST_F(ReadPositionTest, ChangesMadeWhileReadingAreSeenByTheNextRead)
{
    EXPECT_EQ(ReadOne(db), r10);
    HANDLE writer = Open(u"Positions");
    // Deleting the record due next moves the position to the one after it.
    ASSERT_TRUE(CeDeleteRecord(writer, oids[0]));
    Write(writer, {Number(keyProp, 25)});
    Write(writer, {Number(keyProp, 5)});
    EXPECT_EQ(ReadRest(db), (Records{r20b, "0x00000013=25", r30}));
    CloseHandle(writer);
}

TEST_F(ReadPositionTest, ThePositionStaysOnARecordThatIsOverwritten)
{
    DWORD index;
    ASSERT_EQ(Seek(CEDB_SEEK_CEOID, oids[0], &index), oids[0]);
    CEPROPVAL text = Text(textProp, u"changed");
    ASSERT_EQ(CeWriteRecordProps(db, oids[0], 1, &text), oids[0]);
    EXPECT_EQ(ReadOne(db), "0x00000013=20 0x0002001F='changed'");
}

TEST_F(StoreTest, ManyRecordsReadInOrderAcrossEveryReadAhead)
{
    HANDLE db = CreateAndOpen(u"Many");
    ASSERT_TRUE(db);
    const DWORD count = 3000;
    ASSERT_TRUE(BeginStoreBatch());
    for (DWORD i = 0; i < count; ++i)
        ASSERT_TRUE(Write(db, {Number(keyProp, (i * 7919u) % count), Number(numberProp, i)}));
    ASSERT_TRUE(EndStoreBatch(TRUE));
    DWORD index;
    CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 0, &index);
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    DWORD read = 0;
    WORD props = 0;
    while (CeReadRecordProps(db, CEDB_ALLOWREALLOC, &props, nullptr, &buffer, &size)) {
        EXPECT_EQ(reinterpret_cast<CEPROPVAL*>(buffer)->val.ulVal, read);
        ++read;
    }
    EXPECT_EQ(read, count);
    LocalFree(buffer);
    CloseHandle(db);
}
