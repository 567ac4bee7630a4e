#include "report/csv_lines.h"

#include "entry/view_types.h"
#include "report/report_totals.h"

#include <cstdint>

namespace
{
void AppendText(LPCWSTR text, std::u16string* line)
{
    if (text)
        line->append(text);
}

void AppendDuration(LONG minutes, DWORD timeType, DWORD timeTypeView, std::u16string* line)
{
    WCHAR text[EXPORT_DURATION_MAX];
    FormatExportDuration(minutes, timeType, timeTypeView, text);
    line->append(text);
}

WCHAR Separator(DWORD timeTypeView)
{
    return timeTypeView == ColonSeparated ? u':' : u',';
}

// Writes `value` in decimal at `out` and returns the end; at most 11 characters. The export
// writes a duration for every record, so this spares the general formatter.
WCHAR* PutDecimal(LONG value, WCHAR* out)
{
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : uint32_t(value);
    WCHAR digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<WCHAR>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        *out++ = u'-';
    while (count)
        *out++ = digits[--count];
    return out;
}

const WCHAR fieldBreak[] = u"\",\"";
const WCHAR lineEnd[] = u"\"\r\n";
} // namespace

LPCWSTR ExportTimeTitle(DWORD timeType)
{
    switch (timeType) {
    case MinutesOnly: return u"Time (minutes)";
    case HoursAndMinutes: return u"Time (hours and minutes)";
    case HoursOnly: return u"Time (hours only)";
    default: return u"";
    }
}

void FormatExportDuration(LONG minutes, DWORD timeType, DWORD timeTypeView,
                          WCHAR (&text)[EXPORT_DURATION_MAX])
{
    // The remainder takes the sign of the minutes, so whole hours are exact for either sign.
    LONG rest = minutes % 60;
    LONG hours = (minutes - rest) / 60;
    WCHAR* end = text;
    switch (timeType) {
    case MinutesOnly: end = PutDecimal(minutes, end); break;
    case HoursOnly: end = PutDecimal(hours, end); break;
    case HoursAndMinutes:
        if (rest < 0) { // a negative total that is not whole hours
            end = PutDecimal(0, end);
            break;
        }
        end = PutDecimal(hours, end);
        *end++ = Separator(timeTypeView);
        // The zero text "0:0" has one digit after the separator; every other total two.
        if (minutes != 0)
            *end++ = static_cast<WCHAR>(u'0' + rest / 10);
        *end++ = static_cast<WCHAR>(u'0' + rest % 10);
        break;
    default: break;
    }
    *end = 0;
}

void MakeRecordsHeader(DWORD timeType, std::u16string* line)
{
    line->assign(u"\"Date\",\"Category\",\"");
    line->append(ExportTimeTitle(timeType));
    line->append(u"\",\"Memo\"\r\n");
}

void MakeReportHeader(DWORD timeType, std::u16string* line)
{
    line->assign(u"\"Category\",\"");
    line->append(ExportTimeTitle(timeType));
    line->append(lineEnd);
}

void MakeRecordLine(const RecordNode* record, DWORD timeType, DWORD dateTypeView,
                    DWORD timeTypeView, std::u16string* line)
{
    line->assign(u"\"");
    AppendText(DateText(record, dateTypeView), line);
    line->append(fieldBreak);
    AppendQuotedText(record->category, line);
    line->append(fieldBreak);
    AppendDuration(RecordMinutes(record), timeType, timeTypeView, line);
    line->append(fieldBreak);
    AppendCleanMemo(record->memo, line);
    line->append(lineEnd);
}

void MakeReportLine(const CategoryNode* category, DWORD timeType, DWORD timeTypeView,
                    std::u16string* line)
{
    line->assign(u"\"");
    AppendQuotedText(category->name, line);
    line->append(fieldBreak);
    AppendDuration(category->value, timeType, timeTypeView, line);
    line->append(lineEnd);
}

void AppendCleanMemo(LPCWSTR memo, std::u16string* line)
{
    if (!memo)
        return;
    for (LPCWSTR c = memo; *c; ++c) {
        if (c[0] == u'\r' && c[1] == u'\n') {
            line->append(u"  ");
            ++c;
        } else if (*c == u'"' || *c == u'\'' || *c == u'`') {
            line->push_back(u' ');
        } else {
            line->push_back(*c);
        }
    }
}

void AppendQuotedText(LPCWSTR text, std::u16string* line)
{
    if (!text)
        return;
    for (LPCWSTR c = text; *c; ++c) {
        line->push_back(*c);
        if (*c == u'"')
            line->push_back(u'"');
    }
}
