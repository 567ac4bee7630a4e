#include "report/csv_lines.h"

#include "entry/view_types.h"
#include "platform/text.h"
#include "report/report_totals.h"

namespace
{
LPCWSTR TimeTitle(DWORD timeType)
{
    switch (timeType) {
    case MinutesOnly: return u"Time (minutes)";
    case HoursAndMinutes: return u"Time (hours and minutes)";
    case HoursOnly: return u"Time (hours only)";
    default: return u"";
    }
}

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

const WCHAR fieldBreak[] = u"\",\"";
const WCHAR lineEnd[] = u"\"\r\n";
} // namespace

void FormatExportDuration(LONG minutes, DWORD timeType, DWORD timeTypeView,
                          WCHAR (&text)[EXPORT_DURATION_MAX])
{
    // The remainder takes the sign of the minutes, so whole hours are exact for either sign.
    LONG rest = minutes % 60;
    LONG hours = (minutes - rest) / 60;
    bool colon = timeTypeView == ColonSeparated;
    switch (timeType) {
    case MinutesOnly: wsprintfW(text, u"%d", minutes); break;
    case HoursOnly: wsprintfW(text, u"%d", hours); break;
    case HoursAndMinutes:
        if (minutes == 0)
            wsprintfW(text, colon ? u"0:0" : u"0,0");
        else if (rest < 0)
            wsprintfW(text, u"0");
        else
            wsprintfW(text, colon ? u"%d:%02d" : u"%d,%02d", hours, rest);
        break;
    default: text[0] = 0; break;
    }
}

void MakeRecordsHeader(DWORD timeType, std::u16string* line)
{
    line->assign(u"\"Date\",\"Category\",\"");
    line->append(TimeTitle(timeType));
    line->append(u"\",\"Memo\"\r\n");
}

void MakeReportHeader(DWORD timeType, std::u16string* line)
{
    line->assign(u"\"Category\",\"");
    line->append(TimeTitle(timeType));
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
