// Reading scripts: words, strings and comments; every verb with its arguments; lines refused
// with their numbers and reasons.
#include "device/script/script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Parsed {
    bool ok;
    std::vector<ScriptLine> lines;
    int badLine = 0;
    std::string reason;
    int lineCount = 0;
};

Parsed Parse(const std::string& text)
{
    Parsed p;
    p.ok = ParseScript(text, &p.lines, &p.badLine, &p.reason, &p.lineCount);
    return p;
}

TEST(ScriptParse, SplitsLinesIntoVerbsAndArguments)
{
    Parsed p = Parse("menu 40003\npick 1003 \"Job\"\n\ntype 1010 \"two words\"\nstate\n");
    ASSERT_TRUE(p.ok) << p.reason;
    ASSERT_EQ(p.lines.size(), 4u);
    EXPECT_EQ(p.lines[0].number, 1);
    EXPECT_EQ(p.lines[0].verb, "menu");
    EXPECT_EQ(p.lines[0].args, std::vector<std::string>{"40003"});
    EXPECT_EQ(p.lines[1].number, 2);
    EXPECT_EQ(p.lines[1].args, (std::vector<std::string>{"1003", "Job"}));
    EXPECT_EQ(p.lines[2].number, 4);
    EXPECT_EQ(p.lines[2].args, (std::vector<std::string>{"1010", "two words"}));
    EXPECT_EQ(p.lines[3].number, 5);
    EXPECT_TRUE(p.lines[3].args.empty());
    EXPECT_EQ(p.lineCount, 5);
}

TEST(ScriptParse, SkipsCommentsAndBlankLinesButCountsThem)
{
    Parsed p = Parse("# a comment\n   \n\t\nrotate   # turn it\nclick ok#no space needed\n");
    ASSERT_TRUE(p.ok) << p.reason;
    ASSERT_EQ(p.lines.size(), 2u);
    EXPECT_EQ(p.lines[0].number, 4);
    EXPECT_EQ(p.lines[0].verb, "rotate");
    EXPECT_EQ(p.lines[1].number, 5);
    EXPECT_EQ(p.lines[1].args, std::vector<std::string>{"ok"});
}

TEST(ScriptParse, StringsTakeEscapedQuotesAndBackslashesAndKeepHashes)
{
    Parsed p = Parse(R"(type 1010 "say \"hi\" \\ # not a comment")");
    ASSERT_TRUE(p.ok) << p.reason;
    ASSERT_EQ(p.lines.size(), 1u);
    EXPECT_EQ(p.lines[0].args[1], "say \"hi\" \\ # not a comment");
}

TEST(ScriptParse, EmptyStringsAndUnicodeTextAreKept)
{
    Parsed p = Parse("type 1010 \"\"\npick 1003 \"Caf\xC3\xA9 \xF0\x9F\x98\x80\"\n");
    ASSERT_TRUE(p.ok) << p.reason;
    EXPECT_EQ(p.lines[0].args[1], "");
    EXPECT_EQ(p.lines[1].args[1], "Caf\xC3\xA9 \xF0\x9F\x98\x80");
}

TEST(ScriptParse, TakesWindowsLineEndsAndAByteOrderMark)
{
    Parsed p = Parse("\xEF\xBB\xBFmenu 40003\r\nstate\r\n");
    ASSERT_TRUE(p.ok) << p.reason;
    ASSERT_EQ(p.lines.size(), 2u);
    EXPECT_EQ(p.lines[0].verb, "menu");
    EXPECT_EQ(p.lines[0].args, std::vector<std::string>{"40003"});
    EXPECT_EQ(p.lines[1].verb, "state");
}

TEST(ScriptParse, AnEmptyScriptHasNoLines)
{
    Parsed p = Parse("");
    EXPECT_TRUE(p.ok);
    EXPECT_TRUE(p.lines.empty());
    EXPECT_EQ(p.lineCount, 0);
}

TEST(ScriptParse, AcceptsEveryVerbInItsForm)
{
    const char* const good[] = {
        "menu 40003",
        "menu 65535",
        "click 1014",
        "click 0",
        "click ok",
        "pick 1003 \"Job\"",
        "type 1010 \"memo\"",
        "date 1005 2026-02-28",
        "date 1005 2024-02-29",
        "date 1005 2000-02-29",
        "row 0",
        "row 12345",
        "header 2",
        "key enter",
        "key escape",
        "key tab",
        "key space",
        "key up",
        "key down",
        "answer yes",
        "answer no",
        "answer ok",
        "answer cancel",
        "rotate",
        "message 1023",
        "clock 2026-12-07T09:30:00",
        "clock 2026-12-31T23:59:59",
        "state",
        "screenshot shot.png",
        "screenshot \"/tmp/with space.png\"",
    };
    for (const char* line : good) {
        Parsed p = Parse(line);
        EXPECT_TRUE(p.ok) << line << ": " << p.reason;
        EXPECT_EQ(p.lines.size(), 1u) << line;
    }
}

struct Refused {
    const char* script;
    int line;
    const char* reason; // a part of the reason
};

TEST(ScriptParse, RefusesBadLinesWithTheirNumberAndReason)
{
    const Refused refused[] = {
        {"fly 12", 1, "unknown action \"fly\""},
        {"state\nMenu 40003", 2, "unknown action \"Menu\""},
        {"\"menu\" 40003", 1, "unknown action \"menu\""},
        {"menu", 1, "menu takes one argument, not 0: menu ID"},
        {"menu 1 2", 1, "menu takes one argument, not 2"},
        {"rotate now", 1, "rotate takes no arguments, not 1"},
        {"state\n\nstate x", 3, "state takes no arguments"},
        {"pick 1003", 1, "pick takes 2 arguments, not 1: pick ID \"TEXT\""},
        {"type 1010 \"a\" \"b\"", 1, "type takes 2 arguments, not 3"},
        {"menu 0", 1, "the command must be a number from 1 to 65535, not \"0\""},
        {"menu 65536", 1, "from 1 to 65535"},
        {"menu -5", 1, "not \"-5\""},
        {"menu +5", 1, "not \"+5\""},
        {"menu 0x10", 1, "not \"0x10\""},
        {"menu 99999999999", 1, "from 1 to 65535"},
        {"menu \"40003\"", 1, "\"40003\" must be written without quotes"},
        {"click okay", 1, "the control must be a number from 0 to 65535, not \"okay\""},
        {"click OK", 1, "not \"OK\""},
        {"pick x \"Job\"", 1, "the control must be a number"},
        {"pick 1003 Job", 1, "the text must be in double quotes"},
        {"type 1010 memo", 1, "the text must be in double quotes"},
        {"date 1005 2026-02-29", 1, "\"2026-02-29\" is not a date of the form YYYY-MM-DD"},
        {"date 1005 1900-02-29", 1, "is not a date"},
        {"date 1005 2026-13-01", 1, "is not a date"},
        {"date 1005 2026-04-31", 1, "is not a date"},
        {"date 1005 2026-00-10", 1, "is not a date"},
        {"date 1005 2026-1-5", 1, "is not a date"},
        {"date 1005 26-01-05", 1, "is not a date"},
        {"date 1005 1600-12-31", 1, "is not a date"},
        {"date 1005 2026/01/05", 1, "is not a date"},
        {"row -1", 1, "N must be a number from 0, not \"-1\""},
        {"row first", 1, "N must be a number"},
        {"header 2147483648", 1, "N must be a number"},
        {"key return", 1, "unknown key \"return\""},
        {"key Enter", 1, "unknown key \"Enter\""},
        {"answer maybe", 1, "unknown answer \"maybe\""},
        {"message 70000", 1, "the message must be a number from 0 to 65535"},
        {"clock 2026-12-07", 1, "is not a time of the form YYYY-MM-DDTHH:MM:SS"},
        {"clock 2026-12-07T24:00:00", 1, "is not a time"},
        {"clock 2026-12-07T09:60:00", 1, "is not a time"},
        {"clock 2026-12-07 09:30:00", 1, "clock takes one argument, not 2"},
        {"clock 2026-02-30T09:30:00", 1, "is not a time"},
        {"screenshot \"\"", 1, "the file name is empty"},
    };
    for (const Refused& r : refused) {
        Parsed p = Parse(r.script);
        EXPECT_FALSE(p.ok) << r.script;
        EXPECT_EQ(p.badLine, r.line) << r.script;
        EXPECT_NE(p.reason.find(r.reason), std::string::npos)
            << r.script << ": got \"" << p.reason << "\"";
    }
}

TEST(ScriptParse, RefusesStringsThatCannotBeRead)
{
    const Refused refused[] = {
        {"pick 1003 \"Job", 1, "a string is not closed with \""},
        {"state\npick 1003 \"Job\\\"", 2, "not closed"},
        {"type 1010 \"a\\nb\"", 1, "a backslash in a string must come before \" or \\"},
        {"type 1010 \"C:\\temp\"", 1, "a backslash in a string"},
        {"type 1010 \"end\\", 1, "a backslash in a string"},
        {"type 1010 \"a\"b", 1, "a string must be followed by a space"},
        {"type 1010\"a\"", 1, "a string must start after a space"},
        {"type 1010 a\"b c\"", 1, "a string must start after a space"},
        {"type 1010 \"tab\there\"", 1, "a string holds a control character"},
        {"state\x01", 1, "the line holds a control character"},
        {"type 1010 \"\xC3\"", 1, "the line is not UTF-8 text"},
        {"type 1010 \"\xED\xA0\x80\"", 1, "not UTF-8"},
        {"type 1010 \"\xC0\xAF\"", 1, "not UTF-8"},
    };
    for (const Refused& r : refused) {
        Parsed p = Parse(r.script);
        EXPECT_FALSE(p.ok) << r.script;
        EXPECT_EQ(p.badLine, r.line) << r.script;
        EXPECT_NE(p.reason.find(r.reason), std::string::npos)
            << r.script << ": got \"" << p.reason << "\"";
    }
}

TEST(ScriptParse, KeepsTheLinesBeforeABadOne)
{
    Parsed p = Parse("menu 40003\nstate\nbogus\nrotate\n");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.badLine, 3);
    ASSERT_EQ(p.lines.size(), 2u);
    EXPECT_EQ(p.lines[1].verb, "state");
}

TEST(ScriptArguments, NumbersAreWholeDecimalsWithinTheirLimit)
{
    unsigned long value = 7;
    EXPECT_TRUE(ScriptNumber("0", 10, &value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(ScriptNumber("0042", 100, &value));
    EXPECT_EQ(value, 42u);
    EXPECT_TRUE(ScriptNumber("4294967295", 4294967295UL, &value));
    EXPECT_EQ(value, 4294967295UL);
    value = 7;
    for (const char* bad : {"", "11", "-1", "1.5", "1e3", " 1", "99999999999", "x"})
        EXPECT_FALSE(ScriptNumber(bad, 10, &value)) << bad;
    EXPECT_EQ(value, 7u);
}

TEST(ScriptArguments, DatesAndClockTimesAreReadIntoTheirParts)
{
    ScriptDate date{};
    ASSERT_TRUE(ScriptDateOf("2024-02-29", &date));
    EXPECT_EQ(date.year, 2024);
    EXPECT_EQ(date.month, 2);
    EXPECT_EQ(date.day, 29);
    ScriptClock clock{};
    ASSERT_TRUE(ScriptClockOf("2026-12-07T09:05:59", &clock));
    EXPECT_EQ(clock.date.year, 2026);
    EXPECT_EQ(clock.date.month, 12);
    EXPECT_EQ(clock.date.day, 7);
    EXPECT_EQ(clock.hour, 9);
    EXPECT_EQ(clock.minute, 5);
    EXPECT_EQ(clock.second, 59);
    EXPECT_FALSE(ScriptDateOf("2024-02-29x", &date));
    EXPECT_FALSE(ScriptClockOf("2026-12-07T09:05:59Z", &clock));
    EXPECT_FALSE(ScriptClockOf("2026-12-07t09:05:59", &clock));
}
} // namespace
