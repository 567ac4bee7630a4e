#include "entry/record_format.h"

#include "tests/model/list_checks.h"

#include <gtest/gtest.h>

namespace
{
struct RecordFormatTest : ::testing::Test {
    RecordNode record;
    void SetUp() override
    {
        record.date = {};
        InitRecordNode(&record);
    }
    void TearDown() override { FreeRecordTexts(&record); }

    BOOL SetDate(WORD year, WORD month, WORD day)
    {
        SYSTEMTIME date = {year, month, 3, day, 10, 20, 30, 400};
        return SetRecordDate(&record, date);
    }
    std::vector<std::u16string> DateTexts() const
    {
        return {Text(record.dateDmyDash), Text(record.dateDmySlash), Text(record.dateMdyDash),
                Text(record.dateMdySlash)};
    }
};
typedef std::vector<std::u16string> Strings;
} // namespace

TEST_F(RecordFormatTest, DatesAreWrittenWithTwoDigitDayAndMonthAndFourDigitYear)
{
    struct {
        WORD year, month, day;
        Strings texts;
        LONG key;
    } cases[] = {
        {2006, 3, 5, {u"05-03-2006", u"05/03/2006", u"03-05-2006", u"03/05/2006"}, 20060305},
        {2005, 10, 29, {u"29-10-2005", u"29/10/2005", u"10-29-2005", u"10/29/2005"}, 20051029},
        {999, 1, 1, {u"01-01-0999", u"01/01/0999", u"01-01-0999", u"01/01/0999"}, 9990101},
        {5, 12, 31, {u"31-12-0005", u"31/12/0005", u"12-31-0005", u"12/31/0005"}, 51231},
        {42, 9, 9, {u"09-09-0042", u"09/09/0042", u"09-09-0042", u"09/09/0042"}, 420909},
        {9999, 12, 31, {u"31-12-9999", u"31/12/9999", u"12-31-9999", u"12/31/9999"}, 99991231},
        {2000, 0, 0, {u"00-00-2000", u"00/00/2000", u"00-00-2000", u"00/00/2000"}, 20000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(SetDate(c.year, c.month, c.day));
        EXPECT_EQ(DateTexts(), c.texts);
        EXPECT_EQ(record.dateKey, c.key);
    }
}

TEST_F(RecordFormatTest, AnOutOfRangeDateFailsButKeepsThePreviousTexts)
{
    ASSERT_TRUE(SetDate(2006, 3, 5));
    Strings before = DateTexts();
    for (auto bad : {SYSTEMTIME{2006, 3, 0, 32, 0, 0, 0, 0}, SYSTEMTIME{2006, 13, 0, 1, 0, 0, 0, 0},
                     SYSTEMTIME{10000, 1, 0, 1, 0, 0, 0, 0}}) {
        EXPECT_FALSE(SetRecordDate(&record, bad));
        EXPECT_EQ(DateTexts(), before);
        EXPECT_EQ(record.dateKey, 20060305);
        EXPECT_EQ(record.date.wYear, bad.wYear) << "the date itself is stored first";
    }
}

TEST_F(RecordFormatTest, TheWholeDateIsCopied)
{
    ASSERT_TRUE(SetDate(2006, 3, 5));
    EXPECT_EQ(record.date.wHour, 10);
    EXPECT_EQ(record.date.wMilliseconds, 400);
}

TEST_F(RecordFormatTest, DurationsReadHoursAndTwoDigitMinutes)
{
    struct {
        LPCWSTR minutes, comma, colon;
    } cases[] = {
        {u"0", u"0,0", u"0:0"},
        {u"5", u"0,05", u"0:05"},
        {u"60", u"1,00", u"1:00"},
        {u"65", u"1,05", u"1:05"},
        {u"90", u"1,30", u"1:30"},
        {u"120", u"2,00", u"2:00"},
        {u"135", u"2,15", u"2:15"},
        {u"600", u"10,00", u"10:00"},
        {u"1439", u"23,59", u"23:59"},
        {u"1499", u"24,59", u"24:59"},
        {u"0075", u"1,15", u"1:15"},
        {u"abc", u"0,0", u"0:0"},
        {u"2147483647", u"35791394,07", u"35791394:07"},
        {u"-120", u"-2,00", u"-2:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.minutes).size());
        ASSERT_TRUE(SetRecordMinutes(&record, c.minutes));
        EXPECT_EQ(Text(record.minutesText), c.minutes);
        EXPECT_EQ(Text(record.durationComma), c.comma);
        EXPECT_EQ(Text(record.durationColon), c.colon);
    }
}

TEST_F(RecordFormatTest, AnEmptyDurationFailsAndKeepsThePreviousOne)
{
    ASSERT_TRUE(SetRecordMinutes(&record, u"90"));
    EXPECT_FALSE(SetRecordMinutes(&record, u""));
    EXPECT_FALSE(SetRecordMinutes(&record, nullptr));
    EXPECT_EQ(Text(record.minutesText), u"90");
    EXPECT_EQ(Text(record.durationColon), u"1:30");
}

TEST_F(RecordFormatTest, ANegativeDurationFailsAndLeavesNoDurationAtAll)
{
    ASSERT_TRUE(SetRecordMinutes(&record, u"90"));
    EXPECT_FALSE(SetRecordMinutes(&record, u"-30"));
    EXPECT_EQ(record.minutesText, nullptr);
    EXPECT_EQ(record.durationComma, nullptr);
    EXPECT_EQ(record.durationColon, nullptr);
}

TEST_F(RecordFormatTest, CategoryRefusesEmptyTextsButTheMemoTakesThem)
{
    EXPECT_FALSE(SetRecordCategory(&record, u""));
    EXPECT_EQ(record.category, nullptr);
    ASSERT_TRUE(SetRecordCategory(&record, u"Job"));
    EXPECT_FALSE(SetRecordCategory(&record, nullptr));
    EXPECT_EQ(Text(record.category), u"Job");

    EXPECT_FALSE(SetRecordMemo(&record, nullptr));
    EXPECT_EQ(record.memo, nullptr);
    ASSERT_TRUE(SetRecordMemo(&record, u""));
    ASSERT_NE(record.memo, nullptr) << "an empty memo is not an absent one";
    EXPECT_EQ(Text(record.memo), u"");
}

TEST_F(RecordFormatTest, ASetterMayBeGivenTheRecordsOwnText)
{
    ASSERT_TRUE(SetRecordCategory(&record, u"Reading"));
    ASSERT_TRUE(SetRecordCategory(&record, record.category));
    EXPECT_EQ(Text(record.category), u"Reading");
    ASSERT_TRUE(SetRecordMinutes(&record, u"61"));
    ASSERT_TRUE(SetRecordMinutes(&record, record.minutesText));
    EXPECT_EQ(Text(record.durationComma), u"1,01");
}
