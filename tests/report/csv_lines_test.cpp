// The texts of the exported lines: durations by each time type and separator, memos cleaned,
// names quoted, and lines made whole however long their fields.
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

TEST(ExportName, DoubleQuotesDoubledAndNothingElse)
{
    struct Case {
        LPCWSTR name, written;
    } cases[] = {
        {u"Job", u"Job"}, {u"Say \"hi\"", u"Say \"\"hi\"\""}, {u"\"", u"\"\""},
        {u"a,b", u"a,b"}, {u"it's `x`", u"it's `x`"},         {u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        std::u16string line;
        AppendQuotedText(c.name, &line);
        EXPECT_EQ(line, c.written);
    }
}

TEST(ExportHeader, TitlesByTimeType)
{
    struct Case {
        DWORD timeType;
        LPCWSTR records, report;
    } cases[] = {
        {MinutesOnly, u"\"Date\",\"Category\",\"Time (minutes)\",\"Memo\"\r\n",
         u"\"Category\",\"Time (minutes)\"\r\n"},
        {HoursAndMinutes, u"\"Date\",\"Category\",\"Time (hours and minutes)\",\"Memo\"\r\n",
         u"\"Category\",\"Time (hours and minutes)\"\r\n"},
        {HoursOnly, u"\"Date\",\"Category\",\"Time (hours only)\",\"Memo\"\r\n",
         u"\"Category\",\"Time (hours only)\"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.timeType);
        std::u16string line = u"left over from before";
        MakeRecordsHeader(c.timeType, &line);
        EXPECT_EQ(line, c.records);
        MakeReportHeader(c.timeType, &line);
        EXPECT_EQ(line, c.report);
    }
}

TEST_F(LinesTest, RecordLineByDateView)
{
    RecordNode* record = AddRecord(&records, {2005, 3, 7, u"125", u"Job, \"A\"", u"Bob's"});
    struct Case {
        DWORD dateView;
        LPCWSTR line;
    } cases[] = {
        {DayMonthYearDash, u"\"07-03-2005\",\"Job, \"\"A\"\"\",\"2:05\",\"Bob s\"\r\n"},
        {DayMonthYearSlash, u"\"07/03/2005\",\"Job, \"\"A\"\"\",\"2:05\",\"Bob s\"\r\n"},
        {MonthDayYearDash, u"\"03-07-2005\",\"Job, \"\"A\"\"\",\"2:05\",\"Bob s\"\r\n"},
        {MonthDayYearSlash, u"\"03/07/2005\",\"Job, \"\"A\"\"\",\"2:05\",\"Bob s\"\r\n"},
        {17, u"\"07-03-2005\",\"Job, \"\"A\"\"\",\"2:05\",\"Bob s\"\r\n"},
    };
    std::u16string line;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dateView);
        MakeRecordLine(record, HoursAndMinutes, c.dateView, ColonSeparated, &line);
        EXPECT_EQ(line, c.line);
    }
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

TEST_F(LinesTest, LongFieldsMakeLongLinesWhole)
{
    // Far beyond what the dialogs let a person type: a name of quotes doubles in the line.
    std::u16string name(400, u'"');
    std::u16string memo(500, u'm');
    RecordNode* record = AddRecord(&records, {2005, 10, 29, u"1", name.c_str(), memo.c_str()});
    std::u16string line;
    MakeRecordLine(record, MinutesOnly, DayMonthYearDash, ColonSeparated, &line);
    EXPECT_EQ(line,
              u"\"29-10-2005\",\"" + std::u16string(800, u'"') + u"\",\"1\",\"" + memo + u"\"\r\n");

    CategoryNode category = {};
    category.name = name.data();
    category.value = 60000;
    MakeReportLine(&category, HoursAndMinutes, CommaSeparated, &line);
    EXPECT_EQ(line, u"\"" + std::u16string(800, u'"') + u"\",\"1000,00\"\r\n");
}
