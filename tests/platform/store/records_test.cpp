#include "tests/platform/store/store_fixture.h"

#include <sqlite3.h>

#include <cstring>

namespace
{
typedef StoreTest RecordsTest;
typedef std::vector<std::string> Records;

// One property in the stored form: its id and length (32-bit little-endian), then its bytes.
std::string StoredProp(CEPROPID id, const std::string& bytes)
{
    std::string out;
    for (uint32_t word : {id, static_cast<uint32_t>(bytes.size())}) {
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<char>(word >> shift));
    }
    return out + bytes;
}

// Writes `props` as the stored properties of every record, as a damaged store.db may hold them.
void DamageRecords(const std::string& store, const std::string& props)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(store.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* update = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "UPDATE records SET props = ?1", -1, &update, nullptr),
              SQLITE_OK);
    sqlite3_bind_blob(update, 1, props.data(), static_cast<int>(props.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(update), SQLITE_DONE);
    sqlite3_finalize(update);
    sqlite3_close(db);
}
} // namespace

TEST_F(RecordsTest, RecordsReadInSortOrderWithTheirPropertiesInStoredOrder)
{
    HANDLE db = CreateAndOpen(u"Ulmra Zentally");
    ASSERT_TRUE(db);
    Write(db, {Number(keyProp, 51439), Number(numberProp, 5), Text(textProp, u"Job")});
    Write(db, {Text(textProp, u"Sport"), Number(keyProp, 102)});
    Write(db, {Number(keyProp, 4000000000u)});
    EXPECT_EQ(ReadAll(db),
              (Records{"0x0002001F='Sport' 0x00000013=102",
                       "0x00000013=51439 0x00010013=5 0x0002001F='Job'", "0x00000013=4000000000"}));
    CloseHandle(db);
}

TEST_F(RecordsTest, RecordsOfEqualValueKeepTheOrderTheyWereWrittenIn)
{
    HANDLE db = CreateAndOpen(u"Equal");
    ASSERT_TRUE(db);
    for (const char16_t* name : {u"c", u"a", u"b"})
        Write(db, {Number(keyProp, 7), Text(textProp, name)});
    Write(db, {Number(keyProp, 3), Text(textProp, u"first")});
    EXPECT_EQ(ReadAll(db),
              (Records{"0x00000013=3 0x0002001F='first'", "0x00000013=7 0x0002001F='c'",
                       "0x00000013=7 0x0002001F='a'", "0x00000013=7 0x0002001F='b'"}));
    CloseHandle(db);
}

TEST_F(RecordsTest, RecordsLackingTheSortPropertyComeLastUnlessAskedFirst)
{
    struct {
        DWORD flags;
        Records expected;
    } cases[] = {
        {0, {"0x00000013=1", "0x00000013=2", "0x0002001F='none'"}},
        {CEDB_SORT_UNKNOWNFIRST, {"0x0002001F='none'", "0x00000013=1", "0x00000013=2"}},
        {CEDB_SORT_DESCENDING, {"0x00000013=2", "0x00000013=1", "0x0002001F='none'"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        std::u16string name = u"Unknown " + std::u16string(1, char16_t(u'0' + n++));
        HANDLE db = CreateAndOpen(name.c_str(), keyProp, c.flags);
        ASSERT_TRUE(db);
        Write(db, {Number(keyProp, 2)});
        Write(db, {Text(textProp, u"none")});
        Write(db, {Number(keyProp, 1)});
        EXPECT_EQ(ReadAll(db), c.expected) << "flags " << c.flags;
        CloseHandle(db);
    }
}

TEST_F(RecordsTest, TextAndSignedOrdersFollowTheirFlags)
{
    struct {
        CEPROPID prop;
        DWORD flags;
        std::vector<CEPROPVAL> values;
        Records expected;
    } cases[] = {
        {textProp,
         0,
         {Text(textProp, u"b"), Text(textProp, u"B"), Text(textProp, u"ab"), Text(textProp, u"a")},
         {"0x0002001F='B'", "0x0002001F='a'", "0x0002001F='ab'", "0x0002001F='b'"}},
        {textProp,
         CEDB_SORT_CASEINSENSITIVE,
         {Text(textProp, u"b"), Text(textProp, u"A"), Text(textProp, u"a"), Text(textProp, u"B")},
         {"0x0002001F='A'", "0x0002001F='a'", "0x0002001F='b'", "0x0002001F='B'"}},
        {textProp,
         CEDB_SORT_DESCENDING,
         {Text(textProp, u"a"), Text(textProp, u"abc"), Text(textProp, u"ab")},
         {"0x0002001F='abc'", "0x0002001F='ab'", "0x0002001F='a'"}},
    };
    int n = 0;
    for (auto& c : cases) {
        std::u16string name = u"Texts " + std::u16string(1, char16_t(u'0' + n++));
        HANDLE db = CreateAndOpen(name.c_str(), c.prop, c.flags);
        ASSERT_TRUE(db);
        for (CEPROPVAL& value : c.values)
            Write(db, {value});
        EXPECT_EQ(ReadAll(db), c.expected) << "flags " << c.flags;
        CloseHandle(db);
    }

    const CEPROPID signedProp = 0x00000003;
    HANDLE db = CreateAndOpen(u"Signed", signedProp);
    for (LONG value : {5, -3, 0, -2147483647 - 1}) {
        CEPROPVAL prop = {};
        prop.propid = signedProp;
        prop.val.lVal = value;
        Write(db, {prop});
    }
    EXPECT_EQ(ReadAll(db),
              (Records{"0x00000003=-2147483648", "0x00000003=-3", "0x00000003=0", "0x00000003=5"}));
    CloseHandle(db);
}

TEST_F(RecordsTest, EveryTypeReadsBackAsWritten)
{
    HANDLE db = CreateAndOpen(u"Types", 0);
    ASSERT_TRUE(db);
    BYTE bytes[] = {0, 255, 7};
    CEPROPVAL props[10] = {};
    props[0].propid = 0x00010002;
    props[0].val.iVal = -12;
    props[1].propid = 0x00020012;
    props[1].val.uiVal = 65535;
    props[2].propid = 0x00030003;
    props[2].val.lVal = -70000;
    props[3].propid = 0x00040013;
    props[3].val.ulVal = 4294967295u;
    props[4].propid = 0x0005000B;
    props[4].val.boolVal = TRUE;
    props[5].propid = 0x00060005;
    props[5].val.dblVal = -2.5;
    props[6].propid = 0x00070040;
    props[6].val.filetime = {0x89ABCDEF, 0x01234567};
    props[7] = Text(0x0008001F, u"\u00e9t\u00e9 \U0001F600");
    props[8].propid = 0x00090041;
    props[8].val.blob = {3, bytes};
    props[9].propid = 0x000A0041;
    props[9].val.blob = {0, nullptr};
    ASSERT_TRUE(CeWriteRecordProps(db, 0, 10, props));
    EXPECT_EQ(ReadAll(db), Records{"0x00010002=-12 0x00020012=65535 0x00030003=-70000 "
                                   "0x00040013=4294967295 0x0005000B=1 0x00060005=-2.500000 "
                                   "0x00070040=19088743:2309737967 "
                                   "0x0008001F='\\u00E9t\\u00E9 \\uD83D\\uDE00' "
                                   "0x00090041=[0,255,7] 0x000A0041=[]"});
    CloseHandle(db);
}

TEST_F(RecordsTest, ANullTextIsStoredAsEmptyText)
{
    HANDLE db = CreateAndOpen(u"Empty");
    Write(db, {Number(keyProp, 1), Text(textProp, nullptr), Text(otherTextProp, u"")});
    EXPECT_EQ(ReadAll(db), Records{"0x00000013=1 0x0002001F='' 0x0003001F=''"});
    CloseHandle(db);
}

TEST_F(RecordsTest, OverwritingKeepsTheIdentifierAndMergesTheProperties)
{
    HANDLE db = CreateAndOpen(u"Merged");
    CEOID first = Write(db, {Number(keyProp, 1), Text(textProp, u"old"), Number(numberProp, 9)});
    CEOID second = Write(db, {Number(keyProp, 5)});
    ASSERT_TRUE(first && second);

    CEPROPVAL change[] = {Text(textProp, u"new"), Removal(numberProp),
                          Text(otherTextProp, u"added")};
    EXPECT_EQ(CeWriteRecordProps(db, first, 3, change), first);
    EXPECT_EQ(ReadAll(db),
              (Records{"0x00000013=1 0x0002001F='new' 0x0003001F='added'", "0x00000013=5"}));

    // A new sort value moves the record to its new place.
    CEPROPVAL later = Number(keyProp, 9);
    EXPECT_EQ(CeWriteRecordProps(db, first, 1, &later), first);
    EXPECT_EQ(ReadAll(db),
              (Records{"0x00000013=5", "0x00000013=9 0x0002001F='new' 0x0003001F='added'"}));
    CloseHandle(db);
}

// An overwrite that keeps the sort value rewrites the record where it stands: it stays in its
// place and is found by its value, as one that changes the value is found by the new one only.
TEST_F(RecordsTest, AnOverwriteIsFoundByTheSortValueItLeaves)
{
    struct {
        CEPROPID sortProp;
        CEPROPVAL kept, moved;
        const char* keptOrder;
        const char* movedOrder;
    } cases[] = {
        {keyProp, Number(keyProp, 5), Number(keyProp, 9), "1 5 7", "1 7 9"},
        {textProp, Text(textProp, u"m"), Text(textProp, u"z"), "a m q", "a q z"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(Describe(c.kept));
        HANDLE db = CreateAndOpen(c.sortProp == keyProp ? u"Numbers" : u"Texts", c.sortProp);
        ASSERT_TRUE(db);
        bool numbers = c.sortProp == keyProp;
        Write(db, {numbers ? Number(keyProp, 1) : Text(textProp, u"a")});
        CEOID middle = Write(db, {c.kept, Text(otherTextProp, u"old")});
        Write(db, {numbers ? Number(keyProp, 7) : Text(textProp, u"q")});
        auto order = [&] {
            std::string keys;
            for (const std::string& record : ReadAll(db)) {
                size_t at = record.find('=') + 1;
                std::string value = record.substr(at, record.find(' ', at) - at);
                keys += (keys.empty() ? "" : " ") +
                        (numbers ? value : value.substr(1, value.size() - 2));
            }
            return keys;
        };
        auto found = [&](CEPROPVAL value) {
            return CeSeekDatabase(db, CEDB_SEEK_VALUEFIRSTEQUAL, DWORD_PTR(&value), nullptr);
        };

        CEPROPVAL rewrite[] = {c.kept, Text(otherTextProp, u"a longer text than before")};
        EXPECT_EQ(CeWriteRecordProps(db, middle, 2, rewrite), middle);
        EXPECT_EQ(order(), c.keptOrder);
        EXPECT_EQ(found(c.kept), middle);

        EXPECT_EQ(CeWriteRecordProps(db, middle, 1, &c.moved), middle);
        EXPECT_EQ(order(), c.movedOrder);
        EXPECT_EQ(found(c.moved), middle);
        EXPECT_EQ(found(c.kept), 0u);
        CloseHandle(db);
    }
}

TEST_F(RecordsTest, PropertiesAskedForComeInTheOrderAskedWithMissingOnesMarked)
{
    HANDLE db = CreateAndOpen(u"Asked");
    Write(db, {Number(keyProp, 3), Text(textProp, u"Job"), Number(numberProp, 12)});
    CEPROPID asked[] = {numberProp, otherTextProp, keyProp};
    WORD count = 3;
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, asked, &buffer, &size));
    EXPECT_EQ(count, 3);
    const CEPROPVAL* props = reinterpret_cast<const CEPROPVAL*>(buffer);
    EXPECT_EQ(Describe(props[0]), "0x00010013=12");
    EXPECT_EQ(Describe(props[1]), "0x0003001F=absent");
    EXPECT_EQ(props[1].wFlags, CEDB_PROPNOTFOUND);
    EXPECT_EQ(Describe(props[2]), "0x00000013=3");
    LocalFree(buffer);
    CloseHandle(db);
}

TEST_F(RecordsTest, TheReadBufferGrowsOnlyWhenAllowed)
{
    HANDLE db = CreateAndOpen(u"Buffers");
    std::u16string longText(3000, u'x');
    Write(db, {Number(keyProp, 1), Text(textProp, longText.c_str())});
    Write(db, {Number(keyProp, 2)});

    DWORD size = 16;
    LPBYTE buffer = static_cast<LPBYTE>(LocalAlloc(LPTR, size));
    WORD count = 0;
    EXPECT_EQ(CeReadRecordProps(db, 0, &count, nullptr, &buffer, &size), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_GE(size, 2 * sizeof(CEPROPVAL) + 6002);
    EXPECT_EQ(LocalSize(buffer), 16u);

    // The failed read did not move on: the long record is still the one read.
    size = 16;
    CEOID oid = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size);
    ASSERT_NE(oid, 0u);
    EXPECT_EQ(count, 2);
    EXPECT_GE(LocalSize(buffer), size);
    const CEPROPVAL* props = reinterpret_cast<const CEPROPVAL*>(buffer);
    EXPECT_EQ(std::u16string(props[1].val.lpwstr), longText);
    // The text lies inside the buffer.
    EXPECT_GE(reinterpret_cast<LPBYTE>(props[1].val.lpwstr), buffer);
    EXPECT_LE(reinterpret_cast<LPBYTE>(props[1].val.lpwstr + 3001), buffer + size);

    DWORD grown = size;
    ASSERT_NE(CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size), 0u);
    EXPECT_EQ(size, grown) << "a big enough buffer is kept";
    LocalFree(buffer);

    buffer = nullptr;
    size = 0;
    DWORD index;
    CeSeekDatabase(db, CEDB_SEEK_BEGINNING, 1, &index);
    ASSERT_NE(CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size), 0u);
    EXPECT_NE(buffer, nullptr);
    EXPECT_EQ(Describe(*reinterpret_cast<CEPROPVAL*>(buffer)), "0x00000013=2");
    LocalFree(buffer);
    CloseHandle(db);
}

TEST_F(RecordsTest, BadWritesAreRefusedAndChangeNothing)
{
    HANDLE db = CreateAndOpen(u"Refusing");
    HANDLE other = CreateAndOpen(u"Other");
    CEOID record = Write(db, {Number(keyProp, 1), Text(textProp, u"kept")});
    CEOID foreign = Write(other, {Number(keyProp, 1)});
    ASSERT_TRUE(record && foreign);
    std::string before = FileBytes(StorePath());

    CEPROPVAL unknownType = Number(0x00050007, 1);
    CEPROPVAL nullBlob = {};
    nullBlob.propid = 0x00060041;
    nullBlob.val.blob = {4, nullptr};
    std::u16string huge(CEDB_MAXRECORDSIZE / 2 + 1, u'h');
    CEPROPVAL tooLarge = Text(textProp, huge.c_str());
    CEPROPVAL twice[] = {Number(keyProp, 2), Number(keyProp, 3)};
    CEPROPVAL fine = Number(keyProp, 2);
    struct {
        const char* what;
        HANDLE db;
        CEOID oid;
        WORD count;
        CEPROPVAL* props;
        DWORD error;
    } cases[] = {
        {"no properties", db, 0, 0, &fine, ERROR_INVALID_PARAMETER},
        {"no array", db, 0, 1, nullptr, ERROR_INVALID_PARAMETER},
        {"unknown type", db, 0, 1, &unknownType, ERROR_INVALID_PARAMETER},
        {"BLOB without bytes", db, 0, 1, &nullBlob, ERROR_INVALID_PARAMETER},
        {"record too large", db, 0, 1, &tooLarge, ERROR_INVALID_PARAMETER},
        {"same property twice", db, 0, 2, twice, ERROR_INVALID_PARAMETER},
        {"record of another database", db, foreign, 1, &fine, ERROR_INVALID_PARAMETER},
        {"no such record", db, 0xFFFFFF00, 1, &fine, ERROR_INVALID_PARAMETER},
        {"not a handle", reinterpret_cast<HANDLE>(0x4242), 0, 1, &fine, ERROR_INVALID_HANDLE},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(CeWriteRecordProps(c.db, c.oid, c.count, c.props), 0u) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    EXPECT_FALSE(CeDeleteRecord(db, foreign));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(FileBytes(StorePath()), before);
    EXPECT_EQ(ReadAll(db), Records{"0x00000013=1 0x0002001F='kept'"});
    CloseHandle(db);
    CloseHandle(other);
}

TEST_F(RecordsTest, ADeletedRecordIsGoneForGood)
{
    HANDLE db = CreateAndOpen(u"Deleting");
    CEOID first = Write(db, {Number(keyProp, 1)});
    Write(db, {Number(keyProp, 2)});
    ASSERT_TRUE(CeDeleteRecord(db, first));
    EXPECT_EQ(ReadAll(db), Records{"0x00000013=2"});
    EXPECT_FALSE(CeDeleteRecord(db, first));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DWORD index;
    EXPECT_EQ(CeSeekDatabase(db, CEDB_SEEK_CEOID, first, &index), 0u);
    CloseHandle(db);
}

TEST_F(RecordsTest, BadReadsAreRefusedAndKeepThePosition)
{
    HANDLE db = CreateAndOpen(u"Reading");
    Write(db, {Number(keyProp, 1)});
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    WORD count = 0;
    EXPECT_EQ(CeReadRecordProps(db, 0x8, &count, nullptr, &buffer, &size), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CeReadRecordProps(db, CEDB_ALLOWREALLOC, nullptr, nullptr, &buffer, &size), 0u);
    EXPECT_EQ(CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, nullptr, &size), 0u);
    EXPECT_EQ(CeReadRecordProps(nullptr, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ReadRest(db), Records{"0x00000013=1"});
    CloseHandle(db);
}

TEST_F(RecordsTest, StoredPropertiesNotInTheStoredFormAreReadAsADamagedRecord)
{
    std::string empties;
    for (int i = 0; i < 0xFFFF; ++i)
        empties += StoredProp(0x0001001F, "");
    const struct {
        const char* what;
        std::string props;
        DWORD error;
        WORD count;
    } cases[] = {
        {"nothing", "", ERROR_DISK_CORRUPT, 0},
        {"another format", "\x02", ERROR_DISK_CORRUPT, 0},
        {"a cut property header", std::string("\x01\x13\x00\x00\x00\x04", 6), ERROR_DISK_CORRUPT,
         0},
        {"an unknown type", "\x01" + StoredProp(0x00010099, "ab"), ERROR_DISK_CORRUPT, 0},
        {"a number of three bytes", "\x01" + StoredProp(keyProp, "abc"), ERROR_DISK_CORRUPT, 0},
        {"a text of an odd length", "\x01" + StoredProp(textProp, "abc"), ERROR_DISK_CORRUPT, 0},
        {"a length past the end", "\x01" + StoredProp(textProp, "ab").substr(0, 9),
         ERROR_DISK_CORRUPT, 0},
        // More than the WORD of a read counts: it would read as a record of none.
        {"65536 properties", "\x01" + empties + StoredProp(textProp, ""), ERROR_DISK_CORRUPT, 0},
        {"65535 properties", "\x01" + empties, ERROR_SUCCESS, 0xFFFF},
        {"no property", "\x01", ERROR_SUCCESS, 0},
    };
    HANDLE db = CreateAndOpen(u"Damaged");
    ASSERT_TRUE(db);
    ASSERT_TRUE(Write(db, {Number(keyProp, 1)}));
    CloseHandle(db);
    for (const auto& c : cases) {
        CloseDeviceFolder();
        DamageRecords(StorePath(), c.props);
        Reopen();
        db = Open(u"Damaged");
        ASSERT_TRUE(db) << c.what;
        LPBYTE buffer = nullptr;
        DWORD size = 0;
        WORD count = 0;
        SetLastError(ERROR_SUCCESS);
        CEOID oid = CeReadRecordProps(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size);
        EXPECT_EQ(oid != 0, c.error == ERROR_SUCCESS) << c.what;
        if (c.error)
            EXPECT_EQ(GetLastError(), c.error) << c.what;
        else
            EXPECT_EQ(count, c.count) << c.what;
        LocalFree(buffer);
        CloseHandle(db);
    }
}
