// The scripted user: a file of actions, one a line, played as a person would take them, each
// when the program waits for input. What happens is printed as JSON events, one a line.
#pragma once

#include <string>
#include <vector>

struct ScriptLine {
    int number;                    // from 1, as in the file
    std::string verb;              // menu, click, pick, type, date, row, header, key, answer,
                                   // rotate, message, clock, state, screenshot
    std::vector<std::string> args; // words and quoted strings, unquoted, UTF-8
};

// Splits a script into its lines of action: blank lines and comments (from '#' outside a
// string) are skipped; strings are in double quotes with \" and \\. Each line is checked
// whole before anything is played: a known verb, the number of its arguments and their form
// (numbers in range, real dates, known key names …). False with the line number and a plain
// reason for the first line that cannot be read; `lines` then holds the lines before it.
// `lineCount`, when given, receives the number of lines of the text.
bool ParseScript(const std::string& text, std::vector<ScriptLine>* lines, int* badLine,
                 std::string* reason);
bool ParseScript(const std::string& text, std::vector<ScriptLine>* lines, int* badLine,
                 std::string* reason, int* lineCount);

// The values of arguments that ParseScript accepted. Each is false for text it would refuse.
// A whole decimal number from 0 to `max`, without sign.
bool ScriptNumber(const std::string& text, unsigned long max, unsigned long* value);
// YYYY-MM-DD, a day that exists (years 1601 to 9999, as the device's dates).
struct ScriptDate {
    int year, month, day;
};
bool ScriptDateOf(const std::string& text, ScriptDate* date);
// YYYY-MM-DDTHH:MM:SS, a moment that exists.
struct ScriptClock {
    ScriptDate date;
    int hour, minute, second;
};
bool ScriptClockOf(const std::string& text, ScriptClock* clock);

// A JSON string literal of text: UTF-8 (bytes that are not UTF-8 become U+FFFD) or UTF-16
// (unpaired surrogates become U+FFFD); quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text);
std::string JsonString(const std::u16string& text);
// UTF-8 of UTF-16 text, unpaired surrogates as U+FFFD; and the reverse, for valid UTF-8.
std::string Utf8Of(const std::u16string& text);
std::u16string Utf16Of(const std::string& utf8);
// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(const std::string& text);
