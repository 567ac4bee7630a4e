// The fields of the exported lines: durations by each time type and separator, memos cleaned,
// missing texts.
#include "report/csv_lines.h"

#include "entry/view_types.h"
#include "tests/report/report_fixture.h"

#include <cstdint>
#include <string>

namespace
{
std::string Narrow(const std::u16string& text)
{
    std::string narrow;
    for (char16_t c : text)
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '#');
    return narrow;
}

struct LinesTest : ::testing::Test {
    RecordList records = {nullptr};
    void TearDown() override { Clear(&records); }
};
} // namespace

TEST(ExportDuration, EachTimeTypeWithEitherSeparator)
{
    struct Case {
        DWORD timeType;
        LONG minutes;
        LPCWSTR colon, comma;
    } cases[] = {
        {MinutesOnly, 0, u"0", u"0"},
        {MinutesOnly, 125, u"125", u"125"},
        {MinutesOnly, -5, u"-5", u"-5"},
        {MinutesOnly, INT32_MAX, u"2147483647", u"2147483647"},
        {HoursAndMinutes, 0, u"0:0", u"0,0"},
        {HoursAndMinutes, 5, u"0:05", u"0,05"},
        {HoursAndMinutes, 60, u"1:00", u"1,00"},
        {HoursAndMinutes, 125, u"2:05", u"2,05"},
        {HoursAndMinutes, 610, u"10:10", u"10,10"},
        {HoursAndMinutes, 59999, u"999:59", u"999,59"},
        {HoursAndMinutes, 60000, u"1000:00", u"1000,00"},
        {HoursAndMinutes, INT32_MAX, u"35791394:07", u"35791394,07"},
        // A negative total reads only when it is whole hours.
        {HoursAndMinutes, -60, u"-1:00", u"-1,00"},
        {HoursAndMinutes, -125, u"0", u"0"},
        {HoursAndMinutes, INT32_MIN, u"0", u"0"},
        {HoursOnly, 0, u"0", u"0"},
        {HoursOnly, 59, u"0", u"0"},
        {HoursOnly, 119, u"1", u"1"},
        {HoursOnly, 125, u"2", u"2"},
        {HoursOnly, 60000, u"1000", u"1000"},
        {HoursOnly, -125, u"-2", u"-2"},
        {HoursOnly, INT32_MIN, u"-35791394", u"-35791394"},
        {3, 125, u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.timeType) + " " + std::to_string(c.minutes));
        WCHAR text[EXPORT_DURATION_MAX];
        FormatExportDuration(c.minutes, c.timeType, ColonSeparated, text);
        EXPECT_EQ(std::u16string(text), c.colon);
        FormatExportDuration(c.minutes, c.timeType, CommaSeparated, text);
        EXPECT_EQ(std::u16string(text), c.comma);
        FormatExportDuration(c.minutes, c.timeType, 9, text);
        EXPECT_EQ(std::u16string(text), c.comma);
    }
}

TEST(ExportMemo, OnlyLineBreaksAndQuotesChange)
{
    struct Case {
        LPCWSTR memo, written;
    } cases[] = {
        {u"", u""},
        {u"Call Bob, then Ann", u"Call Bob, then Ann"},
        {u"a\"b'c`d", u"a b c d"},
        {u"\"\"", u"  "},
        {u"one\r\ntwo", u"one  two"},
        {u"\r\n\r\n", u"    "},
        {u"lone\rcr", u"lone\rcr"},
        {u"lone\nlf", u"lone\nlf"},
        {u"\n\r", u"\n\r"},
        {u"\r\r\n", u"\r  "},
        {u"end\r", u"end\r"},
        {u"tab\there; semi", u"tab\there; semi"},
        {u"Café ü €", u"Café ü €"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.memo));
        std::u16string line = u"x";
        AppendCleanMemo(c.memo, &line);
        EXPECT_EQ(line, u"x" + std::u16string(c.written));
    }
    std::u16string line;
    AppendCleanMemo(nullptr, &line);
    EXPECT_EQ(line, u"");
}

TEST_F(LinesTest, RecordWithoutMinutesOrMemoHasItsFieldsEmptyOrZero)
{
    RecordNode* record = AddRecord(&records, {2005, 10, 29, nullptr, u"Job", nullptr});
    std::u16string line;
    MakeRecordLine(record, MinutesOnly, DayMonthYearDash, ColonSeparated, &line);
    EXPECT_EQ(line, u"\"29-10-2005\",\"Job\",\"0\",\"\"\r\n");
    MakeRecordLine(record, HoursAndMinutes, DayMonthYearDash, CommaSeparated, &line);
    EXPECT_EQ(line, u"\"29-10-2005\",\"Job\",\"0,0\",\"\"\r\n");
}
