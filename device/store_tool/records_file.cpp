#include "device/store_tool/records_file.h"

#include "entry/record_format.h"
#include "entry/text_checks.h"
#include "entry/view_types.h"
#include "model/databases.h"
#include "platform/winnls.h"
#include "report/csv_lines.h"

#include <climits>

namespace
{
const char* const dateForms[] = {"dd-mm-yyyy", "dd/mm/yyyy", "mm-dd-yyyy", "mm/dd/yyyy"};

typedef std::vector<std::u16string> Fields;

std::string Utf8(const std::u16string& text)
{
    if (text.empty() || text.size() > INT_MAX / 4)
        return "";
    std::string bytes(text.size() * 3, '\0');
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(size > 0 ? static_cast<size_t>(size) : 0);
    return bytes;
}

bool Problem(FileProblem* problem, size_t line, const std::string& reason)
{
    problem->line = line;
    problem->reason = reason;
    return false;
}

// The file's bytes as text. UNICODE files start with an ASCII character's low byte and a zero.
bool Decode(const std::string& bytes, std::u16string* text, bool* unicode, FileProblem* problem)
{
    if (bytes.empty())
        return Problem(problem, 0, "the file is empty: a records file begins with its header line");
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 || bytes.compare(0, 2, "\xFF\xFE") == 0 ||
        bytes.compare(0, 2, "\xFE\xFF") == 0)
        return Problem(problem, 0,
                       "the file begins with a byte-order mark, which Zentally's files never "
                       "have: it was saved by another program, not exported by Zentally");
    *unicode = bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0;
    if (*unicode) {
        if (bytes.size() % 2)
            return Problem(problem, 0, "the file is UTF-16 text but ends in half a character");
        text->resize(bytes.size() / 2);
        for (size_t i = 0; i < text->size(); ++i)
            (*text)[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                               static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    } else {
        if (bytes.size() > INT_MAX)
            return Problem(problem, 0, "the file is too large to read");
        text->resize(bytes.size());
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &(*text)[0],
                            static_cast<int>(text->size()));
    }
    size_t zero = text->find(u'\0');
    if (zero != std::u16string::npos) {
        size_t line = 1;
        for (size_t i = 0; i < zero; ++i)
            line += (*text)[i] == u'\n';
        return Problem(problem, line, "the line holds a zero character: this is not a text file");
    }
    return true;
}

// Reads the file's text a line of fields at a time, counting the lines it passes, those inside
// quoted fields included, so that a problem is named by the line an editor shows it on.
class LineReader
{
  public:
    explicit LineReader(const std::u16string& text) : text_(text) {}

    bool AtEnd()
    {
        // Empty lines stand for nothing.
        while (at_ < text_.size()) {
            size_t end = LineEndLength(at_);
            if (!end)
                return false;
            at_ += end;
            ++line_;
        }
        return true;
    }
    size_t Line() const { return line_; }

    bool Read(Fields* fields, FileProblem* problem)
    {
        fields->clear();
        size_t start = line_;
        for (;;) {
            fields->emplace_back();
            std::u16string& field = fields->back();
            if (at_ < text_.size() && text_[at_] == u'"') {
                if (!ReadQuoted(&field, start, problem))
                    return false;
            } else {
                while (at_ < text_.size() && text_[at_] != u',' && !LineEndLength(at_)) {
                    if (text_[at_] == u'"')
                        return Problem(problem, line_,
                                       "field " + std::to_string(fields->size()) +
                                           " holds a quote but does not begin with one: a quote "
                                           "belongs in a quoted field, written twice");
                    field.push_back(text_[at_++]);
                }
            }
            if (at_ == text_.size())
                return true;
            if (text_[at_] == u',') {
                ++at_;
                continue;
            }
            size_t end = LineEndLength(at_);
            if (!end)
                return Problem(problem, line_,
                               "field " + std::to_string(fields->size()) +
                                   " goes on after its closing quote: a quote inside a field is "
                                   "written twice");
            at_ += end;
            ++line_;
            return true;
        }
    }

  private:
    size_t LineEndLength(size_t at) const
    {
        if (text_[at] == u'\n')
            return 1;
        if (text_[at] == u'\r' && at + 1 < text_.size() && text_[at + 1] == u'\n')
            return 2;
        return 0;
    }

    bool ReadQuoted(std::u16string* field, size_t start, FileProblem* problem)
    {
        ++at_;
        for (;;) {
            if (at_ == text_.size())
                return Problem(problem, start,
                               "a quoted field is not closed by the end of the file");
            char16_t c = text_[at_++];
            if (c == u'"') {
                if (at_ == text_.size() || text_[at_] != u'"')
                    return true;
                ++at_;
            } else if (c == u'\n') {
                ++line_;
            }
            field->push_back(c);
        }
    }

    const std::u16string& text_;
    size_t at_ = 0;
    size_t line_ = 1;
};

std::string Joined(const Fields& fields)
{
    std::string text;
    for (const std::u16string& field : fields)
        text += (text.empty() ? "" : ",") + QuotedForMessage(field);
    return text;
}

// The ExportTimeType of a header line's time title, or false.
bool TimeTypeOf(const std::u16string& title, DWORD* timeType)
{
    for (DWORD type : {MinutesOnly, HoursAndMinutes, HoursOnly}) {
        if (title == ExportTimeTitle(type)) {
            *timeType = type;
            return true;
        }
    }
    return false;
}

bool ReadHeader(const Fields& fields, DWORD* timeType, FileProblem* problem)
{
    if (fields.size() == 2 && fields[0] == u"Category" && TimeTypeOf(fields[1], timeType))
        return Problem(problem, 1,
                       "this is a Time Report file (categories and their totals), not a records "
                       "file");
    if (fields.size() != 4 || fields[0] != u"Date" || fields[1] != u"Category" ||
        fields[3] != u"Memo" || !TimeTypeOf(fields[2], timeType))
        return Problem(problem, 1,
                       Joined(fields) +
                           " is not the header of a records file Zentally writes, such as "
                           "\"Date\",\"Category\",\"Time (minutes)\",\"Memo\"");
    if (*timeType == HoursOnly)
        return Problem(problem, 1,
                       "the durations are in whole hours (\"Time (hours only)\"), which dropped "
                       "the minutes: export the records again in minutes or in hours and minutes");
    return true;
}

bool Digits(const std::u16string& text, size_t from, size_t count, DWORD* value)
{
    *value = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return false;
        *value = *value * 10 + static_cast<DWORD>(text[i] - u'0');
    }
    return true;
}

std::string ReadDate(const std::u16string& text, DWORD dateView, FileRecord* record)
{
    const char* form = DateFormName(dateView);
    char16_t separator = static_cast<char16_t>(form[2]);
    bool dayFirst = form[0] == 'd';
    DWORD first, second, year;
    if (text.size() != 10 || text[2] != separator || text[5] != separator ||
        !Digits(text, 0, 2, &first) || !Digits(text, 3, 2, &second) || !Digits(text, 6, 4, &year))
        return "the date " + QuotedForMessage(text) + " is not written " + form +
               " (--date-format names the form the file was written in)";
    DWORD day = dayFirst ? first : second, month = dayFirst ? second : first;
    if (!IsCalendarDate(year, month, day))
        return "the date " + QuotedForMessage(text) + " is not a day of the calendar (read as " +
               form + "; the program keeps days of 1601 to 9999)";
    record->year = static_cast<WORD>(year);
    record->month = static_cast<WORD>(month);
    record->day = static_cast<WORD>(day);
    return "";
}

// Minutes ("90"), or hours and two-digit minutes joined by ':' or ',' ("1:30", "1,30"; the
// export writes nothing else, its zero text "0:0" aside).
bool ReadMinutes(const std::u16string& text, DWORD timeType, DWORD* minutes)
{
    const size_t digitsMax = 6;
    if (timeType == MinutesOnly)
        return !text.empty() && text.size() <= digitsMax && Digits(text, 0, text.size(), minutes);
    size_t separator = text.find_first_of(u":,");
    if (separator == std::u16string::npos || separator == 0 || separator > digitsMax)
        return false;
    DWORD hours, rest;
    if (!Digits(text, 0, separator, &hours))
        return false;
    size_t restLength = text.size() - separator - 1;
    bool zeroText = hours == 0 && restLength == 1 && text.back() == u'0';
    if (!zeroText && (restLength != 2 || !Digits(text, separator + 1, 2, &rest) || rest > 59))
        return false;
    *minutes = zeroText ? 0 : hours * 60 + rest;
    return true;
}

std::string ReadDuration(const std::u16string& text, DWORD timeType, FileRecord* record)
{
    if (!ReadMinutes(text, timeType, &record->minutes))
        return "the time " + QuotedForMessage(text) + " is not " +
               (timeType == MinutesOnly ? "a number of minutes, such as 90"
                                        : "hours and minutes, such as 1:30 or 1,30");
    if (record->minutes < 1 || record->minutes > MAX_RECORD_MINUTES)
        return "the time " + QuotedForMessage(text) + " is " + std::to_string(record->minutes) +
               " minutes; a record holds 1 to " + std::to_string(MAX_RECORD_MINUTES);
    return "";
}

bool HoldsControl(const std::u16string& text)
{
    for (char16_t c : text) {
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

std::string CheckCategory(const std::u16string& category)
{
    if (category.empty())
        return "the category is empty";
    if (category.size() > FILE_CATEGORY_MAX)
        return "the category " + QuotedForMessage(category) + " is longer than " +
               std::to_string(FILE_CATEGORY_MAX) + " characters";
    if (HoldsControl(category))
        return "the category " + QuotedForMessage(category) +
               " holds a line break, a tab or another control character";
    if (!StartsAlphanumeric(category.c_str()))
        return "the category " + QuotedForMessage(category) +
               " does not begin with a letter or a digit";
    return "";
}

std::string ReadRecord(const Fields& fields, DWORD dateView, DWORD timeType, FileRecord* record)
{
    if (fields.size() != 4)
        return "the line has " + std::to_string(fields.size()) +
               (fields.size() == 1 ? " field" : " fields") +
               "; a record has 4: date, category, time and memo";
    std::string reason = ReadDate(fields[0], dateView, record);
    if (reason.empty())
        reason = CheckCategory(fields[1]);
    if (reason.empty())
        reason = ReadDuration(fields[2], timeType, record);
    if (reason.empty() && fields[3].size() > FILE_MEMO_MAX)
        reason = "the memo " + QuotedForMessage(fields[3]) + " is longer than " +
                 std::to_string(FILE_MEMO_MAX) + " characters";
    if (reason.empty()) {
        record->category = fields[1];
        record->memo = fields[3];
    }
    return reason;
}
} // namespace

const char* DateFormName(DWORD dateView)
{
    return dateForms[dateView <= MonthDayYearSlash ? dateView : DayMonthYearDash];
}

bool DateFormOf(const std::string& name, DWORD* dateView)
{
    for (DWORD view = DayMonthYearDash; view <= MonthDayYearSlash; ++view) {
        if (name == dateForms[view]) {
            *dateView = view;
            return true;
        }
    }
    return false;
}

std::string QuotedForMessage(const std::u16string& text)
{
    const size_t shown = 40;
    // Control characters written as escapes keep the message on one line.
    std::u16string visible;
    for (size_t i = 0; i < text.size() && i < shown; ++i) {
        char16_t c = text[i];
        if (c == u'\n')
            visible += u"\\n";
        else if (c == u'\r')
            visible += u"\\r";
        else if (c == u'\t')
            visible += u"\\t";
        else if (c < 0x20 || c == 0x7F)
            visible += u"\\x" + std::u16string(1, u"0123456789abcdef"[c >> 4]) +
                       u"0123456789abcdef"[c & 15];
        else
            visible += c;
    }
    return "\"" + Utf8(visible) + (text.size() > shown ? "...\"" : "\"");
}

bool ReadRecordsFile(const std::string& bytes, DWORD dateView, RecordsFile* file,
                     FileProblem* problem)
{
    file->records.clear();
    std::u16string text;
    if (!Decode(bytes, &text, &file->unicode, problem))
        return false;
    LineReader reader(text);
    Fields fields;
    if (reader.AtEnd())
        return Problem(problem, 0, "the file holds no line: a records file begins with its header");
    if (reader.Line() != 1)
        return Problem(problem, 1, "the file begins with an empty line, not its header");
    if (!reader.Read(&fields, problem) || !ReadHeader(fields, &file->timeType, problem))
        return false;
    while (!reader.AtEnd()) {
        size_t line = reader.Line();
        if (!reader.Read(&fields, problem))
            return false;
        FileRecord record = {};
        std::string reason = ReadRecord(fields, dateView, file->timeType, &record);
        if (!reason.empty())
            return Problem(problem, line, reason);
        file->records.push_back(std::move(record));
    }
    return true;
}
