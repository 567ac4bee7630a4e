// Reading a script: lines split into words and strings, each line checked against its verb.
#include "device/script/script.h"

#include <sstream>

namespace
{
// What an argument must look like.
enum class Kind {
    Command,     // a menu command, 1 to 65535
    Control,     // a control id, 0 to 65535
    ControlOrOk, // a control id, or the word ok
    Text,        // a string in double quotes
    Date,        // YYYY-MM-DD
    Index,       // a row or column from 0
    KeyName,
    Answer,
    Message, // a window message, 0 to 65535
    Clock,   // YYYY-MM-DDTHH:MM:SS
    Path,    // a word or a string
};

struct Verb {
    const char* name;
    const char* usage;
    std::vector<Kind> kinds;
};

const std::vector<Verb>& Verbs()
{
    static const std::vector<Verb> verbs = {
        {"menu", "menu ID", {Kind::Command}},
        {"click", "click ID (or click ok)", {Kind::ControlOrOk}},
        {"pick", "pick ID \"TEXT\"", {Kind::Control, Kind::Text}},
        {"type", "type ID \"TEXT\"", {Kind::Control, Kind::Text}},
        {"date", "date ID YYYY-MM-DD", {Kind::Control, Kind::Date}},
        {"row", "row N", {Kind::Index}},
        {"header", "header N", {Kind::Index}},
        {"key", "key NAME", {Kind::KeyName}},
        {"answer", "answer yes|no|ok", {Kind::Answer}},
        {"rotate", "rotate", {}},
        {"message", "message N", {Kind::Message}},
        {"clock", "clock YYYY-MM-DDTHH:MM:SS", {Kind::Clock}},
        {"state", "state", {}},
        {"screenshot", "screenshot FILE", {Kind::Path}},
    };
    return verbs;
}

const char* const keyNames[] = {"enter", "escape", "tab", "space", "up", "down"};
const char* const answers[] = {"yes", "no", "ok", "cancel", "retry", "abort", "ignore"};

struct Word {
    std::string text;
    bool quoted;
};

bool Fail(std::string* reason, const std::string& text)
{
    *reason = text;
    return false;
}

// Splits one line into words and strings; false with a reason for a line that cannot be read.
bool SplitWords(const std::string& line, std::vector<Word>* words, std::string* reason)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (blank(c)) {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            std::string text;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\') {
                    if (i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                        text += line[i++];
                        continue;
                    }
                    return Fail(reason, "a backslash in a string must come before \" or \\ "
                                        "(write \\\\ for a backslash)");
                }
                if (static_cast<unsigned char>(d) < 0x20 || d == 0x7F)
                    return Fail(reason, "a string holds a control character");
                text += d;
            }
            if (!closed)
                return Fail(reason, "a string is not closed with \"");
            if (i < line.size() && !blank(line[i]) && line[i] != '#')
                return Fail(reason, "a string must be followed by a space or the end of the line");
            words->push_back({text, true});
        } else {
            size_t end = i;
            while (end < line.size() && !blank(line[end]) && line[end] != '#') {
                if (line[end] == '"')
                    return Fail(reason, "a string must start after a space");
                if (static_cast<unsigned char>(line[end]) < 0x20 || line[end] == 0x7F)
                    return Fail(reason, "the line holds a control character");
                ++end;
            }
            words->push_back({line.substr(i, end - i), false});
            i = end;
        }
    }
    return true;
}

bool OneOf(const std::string& word, const char* const* names, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (word == names[i])
            return true;
    }
    return false;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

bool CheckArgument(Kind kind, const Word& word, std::string* reason)
{
    unsigned long value = 0;
    if (kind == Kind::Text) {
        if (!word.quoted)
            return Fail(reason, "the text must be in double quotes, as \"" + word.text + "\"");
        return true;
    }
    if (kind == Kind::Path) {
        if (word.text.empty())
            return Fail(reason, "the file name is empty");
        return true;
    }
    if (word.quoted)
        return Fail(reason, Quoted(word.text) + " must be written without quotes");
    switch (kind) {
    case Kind::Command:
        if (!ScriptNumber(word.text, 65535, &value) || value == 0)
            return Fail(reason,
                        "the command must be a number from 1 to 65535, not " + Quoted(word.text));
        return true;
    case Kind::ControlOrOk:
        if (word.text == "ok")
            return true;
        [[fallthrough]];
    case Kind::Control:
        if (!ScriptNumber(word.text, 65535, &value))
            return Fail(reason,
                        "the control must be a number from 0 to 65535, not " + Quoted(word.text));
        return true;
    case Kind::Index:
        if (!ScriptNumber(word.text, 2147483647, &value))
            return Fail(reason, "N must be a number from 0, not " + Quoted(word.text));
        return true;
    case Kind::Message:
        if (!ScriptNumber(word.text, 65535, &value))
            return Fail(reason,
                        "the message must be a number from 0 to 65535, not " + Quoted(word.text));
        return true;
    case Kind::Date: {
        ScriptDate date;
        if (!ScriptDateOf(word.text, &date))
            return Fail(reason, Quoted(word.text) + " is not a date of the form YYYY-MM-DD");
        return true;
    }
    case Kind::Clock: {
        ScriptClock clock;
        if (!ScriptClockOf(word.text, &clock))
            return Fail(reason,
                        Quoted(word.text) + " is not a time of the form YYYY-MM-DDTHH:MM:SS");
        return true;
    }
    case Kind::KeyName:
        if (!OneOf(word.text, keyNames, std::size(keyNames)))
            return Fail(reason, "unknown key " + Quoted(word.text) +
                                    ": the keys are enter, escape, tab, space, up and down");
        return true;
    case Kind::Answer:
        if (!OneOf(word.text, answers, std::size(answers)))
            return Fail(reason, "unknown answer " + Quoted(word.text) +
                                    ": the answers are yes, no, ok, cancel, retry, abort and "
                                    "ignore");
        return true;
    default: return true;
    }
}

bool CheckLine(const std::vector<Word>& words, std::string* reason)
{
    const Verb* verb = nullptr;
    for (const Verb& known : Verbs()) {
        if (!words[0].quoted && words[0].text == known.name)
            verb = &known;
    }
    if (!verb)
        return Fail(reason, "unknown action " + Quoted(words[0].text));
    size_t given = words.size() - 1;
    if (given != verb->kinds.size()) {
        std::string wanted = verb->kinds.empty() ? "no arguments"
                             : verb->kinds.size() == 1
                                 ? "one argument"
                                 : std::to_string(verb->kinds.size()) + " arguments";
        return Fail(reason, std::string(verb->name) + " takes " + wanted + ", not " +
                                std::to_string(given) + ": " + verb->usage);
    }
    for (size_t i = 0; i < given; ++i) {
        if (!CheckArgument(verb->kinds[i], words[i + 1], reason))
            return false;
    }
    return true;
}

bool Digits(const std::string& text, size_t at, size_t count, int* value)
{
    if (at + count > text.size())
        return false;
    int n = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        n = n * 10 + (text[i] - '0');
    }
    *value = n;
    return true;
}

bool RealDate(const ScriptDate& d)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1601 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1)
        return false;
    bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    int last = days[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
    return d.day <= last;
}

bool DatePart(const std::string& text, ScriptDate* date)
{
    ScriptDate d{};
    if (!Digits(text, 0, 4, &d.year) || text[4] != '-' || !Digits(text, 5, 2, &d.month) ||
        text[7] != '-' || !Digits(text, 8, 2, &d.day))
        return false;
    if (!RealDate(d))
        return false;
    *date = d;
    return true;
}
} // namespace

bool ScriptNumber(const std::string& text, unsigned long max, unsigned long* value)
{
    if (text.empty() || text.size() > 10)
        return false;
    unsigned long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    if (n > max)
        return false;
    *value = static_cast<unsigned long>(n);
    return true;
}

bool ScriptDateOf(const std::string& text, ScriptDate* date)
{
    return text.size() == 10 && DatePart(text, date);
}

bool ScriptClockOf(const std::string& text, ScriptClock* clock)
{
    ScriptClock c{};
    if (text.size() != 19 || !DatePart(text, &c.date) || text[10] != 'T' ||
        !Digits(text, 11, 2, &c.hour) || text[13] != ':' || !Digits(text, 14, 2, &c.minute) ||
        text[16] != ':' || !Digits(text, 17, 2, &c.second))
        return false;
    if (c.hour > 23 || c.minute > 59 || c.second > 59)
        return false;
    *clock = c;
    return true;
}

bool ParseScript(const std::string& text, std::vector<ScriptLine>* lines, int* badLine,
                 std::string* reason)
{
    return ParseScript(text, lines, badLine, reason, nullptr);
}

bool ParseScript(const std::string& text, std::vector<ScriptLine>* lines, int* badLine,
                 std::string* reason, int* lineCount)
{
    std::string body = text;
    if (body.compare(0, 3, "\xEF\xBB\xBF") == 0)
        body.erase(0, 3);
    std::istringstream in(body);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (lineCount)
            *lineCount = number;
        std::vector<Word> words;
        bool read = IsUtf8(line) ? SplitWords(line, &words, reason)
                                 : Fail(reason, "the line is not UTF-8 text");
        if (read && !words.empty())
            read = CheckLine(words, reason);
        if (!read) {
            *badLine = number;
            return false;
        }
        if (words.empty())
            continue;
        ScriptLine parsed{number, words[0].text, {}};
        for (size_t i = 1; i < words.size(); ++i)
            parsed.args.push_back(words[i].text);
        lines->push_back(std::move(parsed));
    }
    if (lineCount)
        *lineCount = number;
    return true;
}
