// zentally-store import: which files it reads and how, shown by --dry-run, and every file or
// command line it refuses, with the line and the reason, leaving the store as it was.
#include "tests/device/store_tool_fixture.h"

namespace
{
const std::string header = "\"Date\",\"Category\",\"Time (hours and minutes)\",\"Memo\"\r\n";
const std::string minutesHeader = "\"Date\",\"Category\",\"Time (minutes)\",\"Memo\"\r\n";

std::string Utf16(const std::string& ascii)
{
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string Added(const char* date, const char* category, int minutes, const char* memo)
{
    return std::string("{\"add\": \"record\", \"date\": \"") + date + "\", \"category\": \"" +
           category + "\", \"minutes\": " + std::to_string(minutes) + ", \"memo\": \"" + memo +
           "\"}\n";
}

std::string NewCategory(const char* name)
{
    return std::string("{\"add\": \"category\", \"name\": \"") + name + "\"}\n";
}

struct StoreToolImportTest : StoreToolTest {
    std::string file;

    void SetUp() override
    {
        StoreToolTest::SetUp();
        file = root + "/records.csv";
    }
    void Write(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
};
} // namespace

TEST_F(StoreToolImportTest, ReadsEachFormTheFileMayTakeAsTheRecordsItHolds)
{
    struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> options;
        std::string added;
    } cases[] = {
        {"ASCII, hours and minutes with either separator",
         header + "\"08-12-2026\",\"Job\",\"1:30\",\"Report\"\r\n\"09-12-2026\",\"Job\",\"0,05\","
                  "\"\"\r\n",
         {},
         Added("2026-12-08", "Job", 90, "Report") + Added("2026-12-09", "Job", 5, "")},
        {"UNICODE, minutes",
         Utf16(minutesHeader + "\"31-12-9999\",\"Sport\",\"1499\",\"a,b\"\r\n"),
         {},
         Added("9999-12-31", "Sport", 1499, "a,b")},
        {"Windows-1252 bytes",
         header + "\"01-01-1601\",\"Caf\xe9\",\"0:01\",\"\x80 \x93x\x94\"\r\n",
         {},
         Added("1601-01-01", "Caf\u00e9", 1, "\u20ac \u201cx\u201d") + NewCategory("Caf\u00e9")},
        {"doubled quotes, a line break inside a memo, LF endings, unquoted fields, empty lines",
         minutesHeader + "\n\"29-02-2024\",\"Say \"\"hi\"\"\",\"60\",\"two\r\nlines\"\n\r\n" +
             "01-03-2024,Job,61,\n",
         {},
         Added("2024-02-29", "Say \\\"hi\\\"", 60, "two\\r\\nlines") +
             Added("2024-03-01", "Job", 61, "") + NewCategory("Say \\\"hi\\\"")},
        {"the date form asked for",
         minutesHeader + "\"12/31/2026\",\"Job\",\"30\",\"\"\r\n",
         {"--date-format", "mm/dd/yyyy"},
         Added("2026-12-31", "Job", 30, "")},
        {"a category normalised as the program stores a typed one",
         minutesHeader + "\"02-01-2026\",\"poetry CLUB  \",\"30\",\"\"\r\n",
         {"--date-format=dd-mm-yyyy"},
         Added("2026-01-02", "Poetry club", 30, "") + NewCategory("Poetry club")},
        {"a memo of 29 characters",
         minutesHeader + "\"02-01-2026\",\"Job\",\"1\",\"" + std::string(29, 'm') + "\"\r\n",
         {},
         Added("2026-01-02", "Job", 1, std::string(29, 'm').c_str())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write(c.bytes);
        std::vector<std::string> args = {"import", file, "--dry-run"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        Outcome outcome = Tool(args);
        EXPECT_EQ(outcome.exit, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(outcome.out, c.added);
        // A dry run on a device not made yet leaves it unmade.
        EXPECT_FALSE(fs::exists(device));
    }
}

TEST_F(StoreToolImportTest, RefusesAFileWithTheFirstBadLineAndLeavesTheStoreAsItWas)
{
    const std::string good = "\"08-12-2026\",\"Job\",\"1:30\",\"\"\r\n";
    struct {
        std::string bytes;
        std::string where; // after the file's name: ":LINE: " or ": "
        std::string reason;
    } cases[] = {
        {"", ": ", "the file is empty"},
        {"\xEF\xBB\xBF" + header, ": ", "byte-order mark"},
        {"\xFF\xFE" + Utf16(header), ": ", "byte-order mark"},
        {Utf16(header) + "\"", ": ", "ends in half a character"},
        {"\r\n\r\n", ": ", "holds no line"},
        {"\r\n" + header, ":1: ", "begins with an empty line"},
        {"hello world\n", ":1: ", "\"hello world\" is not the header of a records file"},
        {"\"Date\",\"Category\",\"Time\",\"Memo\"\r\n", ":1: ", "is not the header"},
        {"\"Da\nte\",\"Category\"\r\n", ":1: ", "\"Da\\nte\",\"Category\" is not the header"},
        {"\"Category\",\"Time (minutes)\"\r\n\"Job\",\"90\"\r\n", ":1: ", "Time Report file"},
        {"\"Date\",\"Category\",\"Time (hours only)\",\"Memo\"\r\n" + good, ":1: ", "whole hours"},
        {header + good + "\"31-02-2026\",\"Job\",\"1:30\",\"\"\r\n",
         ":3: ", "the date \"31-02-2026\" is not a day of the calendar"},
        {header + "\"2026-12-08\",\"Job\",\"1:30\",\"\"\r\n",
         ":2: ", "the date \"2026-12-08\" is not written dd-mm-yyyy"},
        {header + "\"8-12-2026\",\"Job\",\"1:30\",\"\"\r\n", ":2: ", "is not written dd-mm-yyyy"},
        {header + "\"08-12-1600\",\"Job\",\"1:30\",\"\"\r\n", ":2: ", "not a day of the calendar"},
        {header + "\"08-12-2026\",\"Job\",\"0:00\",\"\"\r\n", ":2: ", "is 0 minutes"},
        {header + "\"08-12-2026\",\"Job\",\"0:0\",\"\"\r\n", ":2: ", "is 0 minutes"},
        {header + "\"08-12-2026\",\"Job\",\"25:00\",\"\"\r\n", ":2: ", "is 1500 minutes"},
        {header + "\"08-12-2026\",\"Job\",\"1:5\",\"\"\r\n", ":2: ", "is not hours and minutes"},
        {header + "\"08-12-2026\",\"Job\",\"1:60\",\"\"\r\n", ":2: ", "is not hours and minutes"},
        {header + "\"08-12-2026\",\"Job\",\"90\",\"\"\r\n", ":2: ", "is not hours and minutes"},
        {minutesHeader + "\"08-12-2026\",\"Job\",\"1:30\",\"\"\r\n",
         ":2: ", "is not a number of minutes"},
        {minutesHeader + "\"08-12-2026\",\"Job\",\"-5\",\"\"\r\n",
         ":2: ", "is not a number of minutes"},
        {header + "\"08-12-2026\",\"\",\"1:30\",\"\"\r\n", ":2: ", "the category is empty"},
        {header + "\"08-12-2026\",\"_x\",\"1:30\",\"\"\r\n",
         ":2: ", "does not begin with a letter or a digit"},
        {header + "\"08-12-2026\",\" Job\",\"1:30\",\"\"\r\n",
         ":2: ", "does not begin with a letter or a digit"},
        {header + "\"08-12-2026\",\"" + std::string(21, 'a') + "\",\"1:30\",\"\"\r\n",
         ":2: ", "longer than 20 characters"},
        {header + "\"08-12-2026\",\"Job\tx\",\"1:30\",\"\"\r\n", ":2: ", "control character"},
        {header + "\"08-12-2026\",\"Job\",\"1:30\",\"" + std::string(30, 'm') + "\"\r\n",
         ":2: ", "longer than 29 characters"},
        {header + "\"08-12-2026\",\"Job\",\"1:30\"\r\n", ":2: ", "the line has 3 fields"},
        {header + "\"08-12-2026\",\"Job\",\"1:30\",\"\",\"\"\r\n", ":2: ", "has 5 fields"},
        {header + "\"08-12-2026\",\"Job\",\"1:30\",\"a\"b\"\r\n",
         ":2: ", "goes on after its closing quote"},
        {header + "\"08-12-2026\",Jo\"b,\"1:30\",\"\"\r\n", ":2: ", "does not begin with one"},
        {header + good + "\"08-12-2026\",\"Job\",\"1:30\",\"two\nlines\r\n",
         ":3: ", "not closed by the end of the file"},
        {header + "\"08-12-2026\",\"Job\",\"1:30\",\"a\nb\"\r\n\"x\"\r\n",
         ":4: ", "the line has 1 field"},
        {header + good + std::string("\"08-12-2026\",\"Job\",\"1:30\",\"a\0b\"\r\n", 33),
         ":3: ", "zero character"},
    };
    Do({"create-database", recordsName});
    Do({"put-record", recordsName, "0x00000013=51439", "0x0004001F=Job"});
    std::string store = Store();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        Write(c.bytes);
        Outcome outcome = Tool({"import", file});
        ExpectRefusal(outcome, 1, c.reason);
        EXPECT_EQ(outcome.err.rfind("zentally-store: " + file + c.where, 0), 0u) << outcome.err;
        EXPECT_NE(outcome.err.find(c.reason), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find("nothing was imported"), std::string::npos) << outcome.err;
        EXPECT_TRUE(Store() == store) << "store.db changed";
    }
}

TEST_F(StoreToolImportTest, RefusesAWrongCommandLineBeforeTouchingTheDevice)
{
    Write(header);
    fs::create_directory(root + "/folder");
    struct {
        std::vector<std::string> args;
        int exit;
        const char* reason;
    } cases[] = {
        {{"import"}, 2, "import takes one FILE"},
        {{"import", file, file}, 2, "import takes one FILE"},
        {{"import", file, "--quiet"}, 2, "not --quiet"},
        {{"import", file, "--date-format"}, 2, "--date-format needs a form"},
        {{"import", file, "--date-format", "yyyy-mm-dd"}, 2, "not \"yyyy-mm-dd\""},
        {{"import", file, "--date-format=dd.mm.yyyy"}, 2, "not \"dd.mm.yyyy\""},
        {{"import", root + "/missing.csv"}, 1, "cannot read"},
        {{"import", root + "/folder"}, 1, "it is not a file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        Outcome outcome = Tool(c.args);
        ExpectRefusal(outcome, c.exit, c.reason);
        EXPECT_NE(outcome.err.find(c.reason), std::string::npos) << outcome.err;
        EXPECT_FALSE(fs::exists(device));
    }
}
