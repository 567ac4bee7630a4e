// A records file for import from any bytes, the first byte choosing the date form. What the
// reader accepts must be records the program can hold, and written again as the export writes
// a file (every field quoted, quotes doubled), it must read back as the same records.
#include "device/store_tool/records_file.h"
#include "entry/record_format.h"
#include "entry/text_checks.h"
#include "fuzz/fuzz_support.h"
#include "platform/winnls.h"
#include "report/csv_lines.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{
std::u16string Quoted(const std::u16string& text)
{
    std::u16string field = u"\"";
    for (char16_t c : text) {
        field += c;
        if (c == u'"')
            field += c;
    }
    return field + u"\"";
}

std::u16string Number(unsigned value, int digits)
{
    std::u16string text;
    for (int i = 0; i < digits || value; ++i, value /= 10)
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
    return text;
}

std::u16string DateField(const FileRecord& record, DWORD dateView)
{
    std::string form = DateFormName(dateView);
    std::u16string separator(1, static_cast<char16_t>(form[2]));
    std::u16string day = Number(record.day, 2), month = Number(record.month, 2);
    return (form[0] == 'd' ? day : month) + separator + (form[0] == 'd' ? month : day) + separator +
           Number(record.year, 4);
}

std::u16string DurationField(DWORD minutes, DWORD timeType)
{
    if (timeType == 0)
        return Number(minutes, 1);
    return Number(minutes / 60, 1) + u":" + Number(minutes % 60, 2);
}

// The records as the export writes them, in the file's encoding.
std::string Written(const RecordsFile& file, DWORD dateView)
{
    std::u16string text = u"\"Date\",\"Category\",\"";
    text += ExportTimeTitle(file.timeType);
    text += u"\",\"Memo\"\r\n";
    for (const FileRecord& record : file.records)
        text += u"\"" + DateField(record, dateView) + u"\"," + Quoted(record.category) + u",\"" +
                DurationField(record.minutes, file.timeType) + u"\"," + Quoted(record.memo) +
                u"\r\n";
    std::string bytes;
    if (!file.unicode) {
        // Every character of an ASCII file came from one Windows-1252 byte, and goes back to it.
        bytes.resize(text.size());
        FUZZ_CHECK(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                       bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                       nullptr) == static_cast<int>(text.size()));
        return bytes;
    }
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

bool Same(const FileRecord& a, const FileRecord& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.minutes == b.minutes &&
           a.category == b.category && a.memo == b.memo;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    DWORD dateView = data[0] % 4;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    RecordsFile file;
    FileProblem problem;
    if (!ReadRecordsFile(bytes, dateView, &file, &problem)) {
        FUZZ_CHECK(!problem.reason.empty() && problem.reason.find('\n') == std::string::npos);
        return 0;
    }
    FUZZ_CHECK(file.timeType == 0 || file.timeType == 1);
    for (const FileRecord& record : file.records) {
        FUZZ_CHECK(IsCalendarDate(record.year, record.month, record.day));
        FUZZ_CHECK(record.minutes >= 1 && record.minutes <= 1499);
        FUZZ_CHECK(!record.category.empty() && record.category.size() <= FILE_CATEGORY_MAX);
        FUZZ_CHECK(StartsAlphanumeric(record.category.c_str()));
        FUZZ_CHECK(record.memo.size() <= FILE_MEMO_MAX);
        FUZZ_CHECK(record.memo.find(u'\0') == std::u16string::npos);
    }
    RecordsFile again;
    FUZZ_CHECK(ReadRecordsFile(Written(file, dateView), dateView, &again, &problem));
    FUZZ_CHECK(again.unicode == file.unicode && again.timeType == file.timeType);
    FUZZ_CHECK(again.records.size() == file.records.size());
    for (size_t i = 0; i < file.records.size(); ++i)
        FUZZ_CHECK(Same(again.records[i], file.records[i]));
    return 0;
}
