// The exported files on the device: their bytes in both encodings, the folder and the file
// looked for, the person asked before a file is replaced, and every failure leaving the folder
// as it was with the person told why.
#include "report/csv_export.h"

#include "entry/view_types.h"
#include "platform/fileapi.h"
#include "tests/report/report_fixture.h"

#include <sys/stat.h>

#include <string>
#include <vector>

namespace
{
const WCHAR weekPath[] = u"\\My Documents\\Business\\Week.csv";

struct Box {
    UINT text;
    UINT type;
};

std::string LittleEndian(const std::u16string& text)
{
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

struct CsvExportTest : ExportTest {
    std::string week; // Week.csv in the Business folder, on the host

    void SetUp() override
    {
        ExportTest::SetUp();
        week = business + "/Week.csv";
    }
    void Add(const RecordValues& values) { AddRecord(App.MainRecordList, values); }
    // The four records of most tests, in list order (not date order).
    void AddWeek()
    {
        Add({2005, 10, 29, u"125", u"Job", u"Call \"Bob\""});
        Add({2006, 1, 2, u"0", u"Home", u""});
        Add({2006, 1, 3, u"60000", u"Job", u"a\r\nb"});
        Add({2004, 2, 29, u"59", u"Say \"hi\", now", u"x`y'z"});
    }
    // As the export dialog calls the writers: with the wait cursor showing.
    BOOL Records(LPCWSTR name, DWORD timeType, DWORD unicode, DWORD folder)
    {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return ExportRecordsFile(name, timeType, unicode, folder);
    }
    BOOL Report(LPCWSTR name, DWORD timeType, DWORD unicode, DWORD folder)
    {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return ExportReportFile(name, timeType, unicode, folder);
    }
    // The message boxes shown since the last ClearRecordings, each with the program's caption
    // and the normal cursor.
    void ExpectBoxes(const std::vector<Box>& expected)
    {
        const std::vector<RecordedMessageBox>& boxes = RecordedMessageBoxes();
        ASSERT_EQ(boxes.size(), expected.size());
        for (size_t i = 0; i < boxes.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(boxes[i].text, Text(expected[i].text));
            EXPECT_EQ(boxes[i].type, expected[i].type);
            EXPECT_EQ(boxes[i].caption, u"Zentally");
            EXPECT_FALSE(boxes[i].waitCursor);
        }
    }
};

const Box fileExists = {IDS_FILE_EXISTS_QUESTION, MB_YESNO | MB_ICONEXCLAMATION};
const Box cannotReplace = {IDS_CANNOT_DELETE_FILE, MB_OK | MB_ICONHAND};
const Box cannotCreate = {IDS_CANNOT_CREATE_FILE, MB_OK | MB_ICONHAND};
const Box cannotWrite = {IDS_CANNOT_WRITE_FILE, MB_OK | MB_ICONHAND};
} // namespace

TEST_F(CsvExportTest, RecordsFileByteForByteForEachDurationAndSeparator)
{
    AddWeek();
    struct Case {
        DWORD timeType, timeView, dateView;
        const char* title;
        const char* durations[4];
        const char* dates[4];
    } cases[] = {
        {MinutesOnly,
         ColonSeparated,
         DayMonthYearDash,
         "Time (minutes)",
         {"125", "0", "60000", "59"},
         {"29-10-2005", "02-01-2006", "03-01-2006", "29-02-2004"}},
        {HoursAndMinutes,
         ColonSeparated,
         DayMonthYearDash,
         "Time (hours and minutes)",
         {"2:05", "0:0", "1000:00", "0:59"},
         {"29-10-2005", "02-01-2006", "03-01-2006", "29-02-2004"}},
        {HoursAndMinutes,
         CommaSeparated,
         MonthDayYearSlash,
         "Time (hours and minutes)",
         {"2,05", "0,0", "1000,00", "0,59"},
         {"10/29/2005", "01/02/2006", "01/03/2006", "02/29/2004"}},
        {HoursOnly,
         CommaSeparated,
         DayMonthYearSlash,
         "Time (hours only)",
         {"2", "0", "1000", "0"},
         {"29/10/2005", "02/01/2006", "03/01/2006", "29/02/2004"}},
    };
    const char* rest[4] = {"Job\",\"%\",\"Call  Bob \"\r\n", "Home\",\"%\",\"\"\r\n",
                           "Job\",\"%\",\"a  b\"\r\n", "Say \"\"hi\"\", now\",\"%\",\"x y z\"\r\n"};
    for (const Case& c : cases) {
        std::string expected =
            std::string("\"Date\",\"Category\",\"") + c.title + "\",\"Memo\"\r\n";
        for (int i = 0; i < 4; ++i) {
            std::string line = std::string("\"") + c.dates[i] + "\",\"" + rest[i];
            line.replace(line.find('%'), 1, c.durations[i]);
            expected += line;
        }
        App.Settings->TimeTypeView = c.timeView;
        App.Settings->DateTypeView = c.dateView;
        for (DWORD unicode : {0u, 1u}) {
            SCOPED_TRACE(std::string(c.title) + " view " + std::to_string(c.timeView) +
                         (unicode ? " UNICODE" : " ASCII"));
            std::filesystem::remove(week);
            ClearRecordings();
            EXPECT_TRUE(Records(u"Week", c.timeType, unicode, 0));
            EXPECT_EQ(Bytes(week), unicode ? Widened(expected) : expected);
            ExpectBoxes({});
            EXPECT_EQ(Current(App.MainRecordList), Last(App.MainRecordList));
        }
    }
    EXPECT_EQ(Names(business), std::set<std::string>{"Week.csv"});
    EXPECT_TRUE(Names(personal).empty());
}

TEST_F(CsvExportTest, ReportFileByteForByteInCategoryListOrder)
{
    AddCategory(App.MainCategoryList, u"Job", 185);
    AddCategory(App.MainCategoryList, u"Say \"x\", y", 0);
    AddCategory(App.MainCategoryList, u"Home", 60000);
    struct Case {
        DWORD timeType, timeView;
        const char* bytes;
    } cases[] = {
        {MinutesOnly, ColonSeparated,
         "\"Category\",\"Time (minutes)\"\r\n\"Job\",\"185\"\r\n\"Say \"\"x\"\", y\",\"0\"\r\n"
         "\"Home\",\"60000\"\r\n"},
        {HoursAndMinutes, ColonSeparated,
         "\"Category\",\"Time (hours and minutes)\"\r\n\"Job\",\"3:05\"\r\n"
         "\"Say \"\"x\"\", y\",\"0:0\"\r\n\"Home\",\"1000:00\"\r\n"},
        {HoursAndMinutes, CommaSeparated,
         "\"Category\",\"Time (hours and minutes)\"\r\n\"Job\",\"3,05\"\r\n"
         "\"Say \"\"x\"\", y\",\"0,0\"\r\n\"Home\",\"1000,00\"\r\n"},
        {HoursOnly, ColonSeparated,
         "\"Category\",\"Time (hours only)\"\r\n\"Job\",\"3\"\r\n\"Say \"\"x\"\", y\",\"0\"\r\n"
         "\"Home\",\"1000\"\r\n"},
    };
    std::string personalReport = personal + "/Report.csv";
    for (const Case& c : cases) {
        App.Settings->TimeTypeView = c.timeView;
        for (DWORD unicode : {0u, 1u}) {
            SCOPED_TRACE(std::to_string(c.timeType) + " view " + std::to_string(c.timeView) +
                         (unicode ? " UNICODE" : " ASCII"));
            std::filesystem::remove(personalReport);
            ClearRecordings();
            EXPECT_TRUE(Report(u"Report", c.timeType, unicode, 1));
            EXPECT_EQ(Bytes(personalReport), unicode ? Widened(c.bytes) : std::string(c.bytes));
            ExpectBoxes({});
        }
    }
    EXPECT_TRUE(Names(business).empty());
}

TEST_F(CsvExportTest, HeaderLinesHaveTheirSizesAndNoByteOrderMark)
{
    AddCategory(App.MainCategoryList, u"A", 0);
    struct Case {
        DWORD timeType;
        size_t records, report;
    } cases[] = {{MinutesOnly, 43, 29}, {HoursAndMinutes, 53, 39}, {HoursOnly, 46, 32}};
    for (const Case& c : cases) {
        for (DWORD unicode : {0u, 1u}) {
            SCOPED_TRACE(std::to_string(c.timeType) + (unicode ? " UNICODE" : " ASCII"));
            size_t width = unicode ? 2 : 1;
            std::filesystem::remove(week);
            ASSERT_TRUE(Records(u"Week", c.timeType, unicode, 0));
            std::string bytes = Bytes(week);
            EXPECT_EQ(bytes.size(), c.records * width);
            EXPECT_EQ(bytes.substr(0, width), unicode ? std::string("\x22\0", 2) : "\x22");

            std::filesystem::remove(week);
            ASSERT_TRUE(Report(u"Week", c.timeType, unicode, 0));
            bytes = Bytes(week);
            size_t header = bytes.find(unicode ? Widened("\r\n") : "\r\n") + 2 * width;
            EXPECT_EQ(header, c.report * width);
            EXPECT_EQ(bytes.substr(0, width), unicode ? std::string("\x22\0", 2) : "\x22");
        }
    }
}

TEST_F(CsvExportTest, AsciiHoldsWindows1252AndAQuestionMarkForAnyOtherCharacter)
{
    std::u16string category = u"Café € Š";
    std::u16string memo = u"Ωmega 😀 ü";
    Add({2005, 10, 29, u"5", category.c_str(), memo.c_str()});
    std::u16string line = u"\"29-10-2005\",\"" + category + u"\",\"5\",\"" + memo + u"\"\r\n";
    std::string header = "\"Date\",\"Category\",\"Time (minutes)\",\"Memo\"\r\n";

    ASSERT_TRUE(Records(u"Week", MinutesOnly, 0, 0));
    // One byte per code unit: each half of the pair outside the basic plane is one '?'.
    EXPECT_EQ(Bytes(week),
              header + "\"29-10-2005\",\"Caf\xE9 \x80 \x8A\",\"5\",\"?mega ?? \xFC\"\r\n");

    ASSERT_TRUE(Records(u"Week", MinutesOnly, 1, 0));
    EXPECT_EQ(Bytes(week), Widened(header) + LittleEndian(line));
}

TEST_F(CsvExportTest, EveryCategoryIsWrittenBeyondTheHundredTheListShows)
{
    for (int i = 0; i < 150; ++i) {
        std::u16string name = u"C" + std::u16string(1, u'0' + i / 100) +
                              std::u16string(1, u'0' + i / 10 % 10) +
                              std::u16string(1, u'0' + i % 10);
        AddCategory(App.MainCategoryList, name.c_str(), i);
    }
    ASSERT_TRUE(Report(u"Week", MinutesOnly, 0, 0));
    std::string bytes = Bytes(week);
    size_t lines = 0;
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 151u);
    EXPECT_NE(bytes.find("\r\n\"C100\",\"100\"\r\n"), std::string::npos);
    EXPECT_TRUE(bytes.ends_with("\r\n\"C149\",\"149\"\r\n"));
}

TEST_F(CsvExportTest, LongLinesAreWrittenWhole)
{
    std::u16string name = std::u16string(300, u'"') + u"end";
    std::u16string memo(400, u'm');
    Add({2005, 10, 29, u"5", name.c_str(), memo.c_str()});
    ASSERT_TRUE(Records(u"Week", MinutesOnly, 0, 0));
    std::string expected =
        "\"Date\",\"Category\",\"Time (minutes)\",\"Memo\"\r\n\"29-10-2005\",\"" +
        std::string(600, '"') + "end\",\"5\",\"" + std::string(400, 'm') + "\"\r\n";
    EXPECT_EQ(Bytes(week), expected);
}

TEST_F(CsvExportTest, AMissingFolderIsReportedAndNothingIsWritten)
{
    AddWeek();
    AddCategory(App.MainCategoryList, u"Job", 5);
    enum How { Removed, ReadOnly, AFile };
    struct Case {
        How how;
        DWORD folder;
    } cases[] = {{Removed, 0}, {Removed, 1}, {ReadOnly, 0}, {ReadOnly, 1}, {AFile, 0}, {AFile, 1}};
    for (const Case& c : cases) {
        for (bool report : {false, true}) {
            SCOPED_TRACE(std::to_string(c.how) + " folder " + std::to_string(c.folder) +
                         (report ? " report" : " records"));
            TearDown();
            SetUp();
            AddWeek();
            AddCategory(App.MainCategoryList, u"Job", 5);
            const std::string& target = c.folder == 0 ? business : personal;
            if (c.how == Removed || c.how == AFile)
                std::filesystem::remove(target);
            if (c.how == AFile)
                Put(target, "not a folder");
            if (c.how == ReadOnly)
                chmod(target.c_str(), 0500);
            std::set<std::string> before = Names(folder + "/files/My Documents");

            BOOL done = report ? Report(u"Week", HoursAndMinutes, 0, c.folder)
                               : Records(u"Week", HoursAndMinutes, 0, c.folder);
            EXPECT_FALSE(done);
            ExpectBoxes(
                {{c.folder == 0 ? UINT(IDS_NO_BUSINESS_FOLDER) : UINT(IDS_NO_PERSONAL_FOLDER),
                  MB_OK | MB_ICONEXCLAMATION}});
            EXPECT_EQ(Names(folder + "/files/My Documents"), before);
            EXPECT_TRUE(Names(business).empty());
            EXPECT_TRUE(Names(personal).empty());
            if (c.how == AFile) {
                EXPECT_EQ(Bytes(target), "not a folder");
            }
        }
    }
}

TEST_F(CsvExportTest, AFileIsReplacedOnlyWhenThePersonSaysYes)
{
    AddWeek();
    Put(week, "old bytes");
    QueueMessageBoxAnswer(IDNO);
    EXPECT_FALSE(Records(u"Week", MinutesOnly, 0, 0));
    ExpectBoxes({fileExists});
    EXPECT_EQ(Bytes(week), "old bytes");
    EXPECT_EQ(Names(business), std::set<std::string>{"Week.csv"});

    // The device matches names without regard to case, and keeps the old file's name.
    ClearRecordings();
    QueueMessageBoxAnswer(IDYES);
    EXPECT_TRUE(Records(u"WEEK", MinutesOnly, 0, 0));
    ExpectBoxes({fileExists});
    EXPECT_TRUE(Bytes(week).starts_with("\"Date\",\"Category\",\"Time (minutes)\""));
    EXPECT_TRUE(
        Bytes(week).ends_with("\"29-02-2004\",\"Say \"\"hi\"\", now\",\"59\",\"x y z\"\r\n"));
    EXPECT_EQ(Names(business), std::set<std::string>{"Week.csv"});
}

TEST_F(CsvExportTest, AFailureAtAnyStepLeavesTheOldFileAndNothingBesideIt)
{
    AddWeek();
    struct Case {
        const char* what;
        FileOp op;
        int nth;
        DWORD error;
        Box replacing, fresh; // the message with an old file, and without one
    } cases[] = {
        {"first write", FileOp::Write, 1, ERROR_DISK_FULL, cannotWrite, cannotWrite},
        {"third write", FileOp::Write, 3, ERROR_WRITE_FAULT, cannotWrite, cannotWrite},
        {"last write", FileOp::Write, 5, ERROR_DISK_FULL, cannotWrite, cannotWrite},
        {"sync", FileOp::Sync, 1, ERROR_WRITE_FAULT, cannotWrite, cannotWrite},
        {"rename", FileOp::Rename, 1, ERROR_ACCESS_DENIED, cannotWrite, cannotWrite},
        {"create, no room", FileOp::Create, 1, ERROR_DISK_FULL, cannotCreate, cannotCreate},
        {"create, in use", FileOp::Create, 1, ERROR_SHARING_VIOLATION, cannotReplace, cannotCreate},
        {"create, denied", FileOp::Create, 1, ERROR_ACCESS_DENIED, cannotReplace, cannotCreate},
    };
    for (const Case& c : cases) {
        for (bool old : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (old ? " replacing" : " new"));
            std::filesystem::remove(week);
            if (old)
                Put(week, "old bytes");
            ClearRecordings();
            ClearFileFaults();
            FailFileOperation(c.op, c.nth, c.error);
            EXPECT_FALSE(Records(u"Week", HoursAndMinutes, 1, 0));
            if (old) {
                ExpectBoxes({fileExists, c.replacing});
                EXPECT_EQ(Bytes(week), "old bytes");
                EXPECT_EQ(Names(business), std::set<std::string>{"Week.csv"});
            } else {
                ExpectBoxes({c.fresh});
                EXPECT_TRUE(Names(business).empty());
            }
        }
    }
}

TEST_F(CsvExportTest, AnOldFileThatCannotBeReplacedIsKept)
{
    AddWeek();
    struct Case {
        const char* what;
        bool readOnly, open;
    } cases[] = {{"read-only", true, false}, {"open", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(week);
        Put(week, "old bytes");
        if (c.readOnly)
            chmod(week.c_str(), 0400);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.open)
            held = CreateFileW(weekPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ClearRecordings();
        EXPECT_FALSE(Records(u"Week", MinutesOnly, 0, 0));
        ExpectBoxes({fileExists, cannotReplace});
        EXPECT_EQ(Bytes(week), "old bytes");
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        chmod(week.c_str(), 0600);
    }
}

TEST_F(CsvExportTest, ANameTheDeviceCannotHoldIsReported)
{
    AddWeek();
    std::u16string longName(300, u'n');
    const LPCWSTR names[] = {u"a:b", u"what?", u"a\"b", longName.c_str()};
    for (LPCWSTR name : names) {
        SCOPED_TRACE(std::u16string(name).size());
        ClearRecordings();
        EXPECT_FALSE(Records(name, MinutesOnly, 0, 0));
        ExpectBoxes({cannotCreate});
        EXPECT_TRUE(Names(business).empty());
    }
}

TEST_F(CsvExportTest, UnusableArgumentsFailWithoutAWordOrATouch)
{
    AddWeek();
    AddCategory(App.MainCategoryList, u"Job", 5);
    Put(week, "old bytes");
    struct Case {
        const char* what;
        LPCWSTR name;
        DWORD timeType, unicode, folder;
    } cases[] = {
        {"no name", nullptr, MinutesOnly, 0, 0},    {"empty name", u"", MinutesOnly, 0, 0},
        {"folder 2", u"Week", MinutesOnly, 0, 2},   {"time type 3", u"Week", 3, 0, 0},
        {"encoding 2", u"Week", MinutesOnly, 2, 0},
    };
    for (const Case& c : cases) {
        for (bool report : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (report ? " report" : " records"));
            ClearRecordings();
            EXPECT_FALSE(report ? Report(c.name, c.timeType, c.unicode, c.folder)
                                : Records(c.name, c.timeType, c.unicode, c.folder));
            ExpectBoxes({});
            EXPECT_EQ(Bytes(week), "old bytes");
            EXPECT_EQ(Names(business), std::set<std::string>{"Week.csv"});
            EXPECT_TRUE(Names(personal).empty());
        }
    }
    // The report of no categories is no report.
    Clear(App.MainCategoryList);
    ClearRecordings();
    EXPECT_FALSE(Report(u"Other", MinutesOnly, 0, 0));
    ExpectBoxes({});
    EXPECT_EQ(Names(business), std::set<std::string>{"Week.csv"});
}

TEST_F(CsvExportTest, AnEmptyRecordListGivesTheHeaderAlone)
{
    ASSERT_TRUE(Records(u"Week", HoursOnly, 0, 1));
    EXPECT_EQ(Bytes(personal + "/Week.csv"),
              "\"Date\",\"Category\",\"Time (hours only)\",\"Memo\"\r\n");
}
