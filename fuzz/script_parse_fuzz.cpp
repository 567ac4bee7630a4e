// The script reader on any bytes: ParseScript and the value readers it checks arguments with.
// Besides running clean under the sanitizers, what it accepts must be what its contract says.
#include "device/script/script.h"
#include "fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace
{
bool IsDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The readers on one word: an accepted value is in range and is the word's own value.
void CheckValueReaders(const std::string& word)
{
    unsigned long number = 0;
    if (ScriptNumber(word, 65535, &number)) {
        FUZZ_CHECK(IsDigits(word) && number <= 65535);
        FUZZ_CHECK(std::stoul(word) == number);
    }
    ScriptDate date{};
    if (ScriptDateOf(word, &date)) {
        FUZZ_CHECK(word.size() == 10);
        FUZZ_CHECK(date.year >= 1601 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
                   date.day >= 1 && date.day <= 31);
    }
    ScriptClock clock{};
    if (ScriptClockOf(word, &clock)) {
        FUZZ_CHECK(word.size() == 19 && word[10] == 'T');
        FUZZ_CHECK(ScriptDateOf(word.substr(0, 10), &date));
        FUZZ_CHECK(clock.hour <= 23 && clock.minute <= 59 && clock.second <= 59);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptLine> lines;
    int badLine = 0, lineCount = -1;
    std::string reason;
    bool read = ParseScript(text, &lines, &badLine, &reason, &lineCount);
    FUZZ_CHECK(lineCount >= 0);
    if (!read) {
        FUZZ_CHECK(badLine >= 1 && badLine <= lineCount);
        FUZZ_CHECK(!reason.empty());
    }
    int last = 0;
    for (const ScriptLine& line : lines) {
        FUZZ_CHECK(line.number > last && line.number <= lineCount);
        FUZZ_CHECK(read || line.number < badLine);
        FUZZ_CHECK(!line.verb.empty() && IsUtf8(line.verb));
        last = line.number;
        for (const std::string& arg : line.args) {
            FUZZ_CHECK(IsUtf8(arg));
            FUZZ_CHECK(Utf8Of(Utf16Of(arg)) == arg);
        }
        // The arguments a played line reads again must read as ParseScript checked them.
        ScriptDate date{};
        ScriptClock clock{};
        unsigned long number = 0;
        if (line.verb == "date")
            FUZZ_CHECK(line.args.size() == 2 && ScriptDateOf(line.args[1], &date));
        if (line.verb == "clock")
            FUZZ_CHECK(line.args.size() == 1 && ScriptClockOf(line.args[0], &clock));
        if (line.verb == "row" || line.verb == "header")
            FUZZ_CHECK(line.args.size() == 1 && ScriptNumber(line.args[0], 2147483647, &number));
        if (line.verb == "menu")
            FUZZ_CHECK(line.args.size() == 1 && ScriptNumber(line.args[0], 65535, &number) &&
                       number > 0);
        for (const std::string& arg : line.args)
            CheckValueReaders(arg);
    }
    CheckValueReaders(text);
    return 0;
}
