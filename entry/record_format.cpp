#include "entry/record_format.h"

#include "model/owned_text.h"
#include "platform/text.h"

namespace
{
// Stores a fresh copy of `text` in `field`. The copy is made before the old text is freed, so
// that a record may be given its own text.
BOOL ReplaceText(LPWSTR* field, LPCWSTR text)
{
    LPWSTR copy = DuplicateText(text);
    ReleaseText(field);
    *field = copy;
    return copy != nullptr;
}

// Builds a date text of exactly ten characters from its three parts.
BOOL BuildDateText(LPWSTR* field, LPCWSTR first, LPCWSTR second, LPCWSTR year, WCHAR separator)
{
    WCHAR text[11];
    wsprintfW(text, u"%s%c%s%c%s", first, separator, second, separator, year);
    return ReplaceText(field, text);
}
} // namespace

BOOL SetRecordDate(RecordNode* record, SYSTEMTIME date)
{
    record->date = date;
    if (date.wDay > 31 || date.wMonth > 12 || date.wYear > 9999)
        return FALSE;
    WCHAR day[3], month[3], year[5];
    wsprintfW(day, u"%02u", static_cast<UINT>(date.wDay));
    wsprintfW(month, u"%02u", static_cast<UINT>(date.wMonth));
    wsprintfW(year, u"%04u", static_cast<UINT>(date.wYear));
    ReleaseText(&record->dateDmyDash);
    ReleaseText(&record->dateDmySlash);
    ReleaseText(&record->dateMdyDash);
    ReleaseText(&record->dateMdySlash);
    if (!BuildDateText(&record->dateDmyDash, day, month, year, u'-') ||
        !BuildDateText(&record->dateDmySlash, day, month, year, u'/') ||
        !BuildDateText(&record->dateMdyDash, month, day, year, u'-') ||
        !BuildDateText(&record->dateMdySlash, month, day, year, u'/'))
        return FALSE;
    record->dateKey = date.wYear * 10000 + date.wMonth * 100 + date.wDay;
    return TRUE;
}

BOOL IsCalendarDate(DWORD year, DWORD month, DWORD day)
{
    static const DWORD daysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1)
        return FALSE;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    DWORD last = daysInMonth[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= last;
}

BOOL SetRecordMinutes(RecordNode* record, LPCWSTR minutesText)
{
    if (IsMissingOrEmpty(minutesText))
        return FALSE;
    if (!ReplaceText(&record->minutesText, minutesText))
        return FALSE;
    ReleaseText(&record->durationComma);
    ReleaseText(&record->durationColon);
    int total = _wtoi(record->minutesText);
    WCHAR comma[24], colon[24];
    if (total == 0) {
        wsprintfW(comma, u"0,0");
        wsprintfW(colon, u"0:0");
    } else {
        int minutes = total % 60;
        int hours = (total - minutes) / 60;
        if (minutes < 0) {
            ReleaseText(&record->minutesText);
            return FALSE;
        }
        wsprintfW(comma, u"%d,%02d", hours, minutes);
        wsprintfW(colon, u"%d:%02d", hours, minutes);
    }
    if (!ReplaceText(&record->durationComma, comma)) {
        ReleaseText(&record->minutesText);
        return FALSE;
    }
    if (!ReplaceText(&record->durationColon, colon)) {
        ReleaseText(&record->minutesText);
        ReleaseText(&record->durationComma);
        return FALSE;
    }
    return TRUE;
}

BOOL SetRecordCategory(RecordNode* record, LPCWSTR category)
{
    if (IsMissingOrEmpty(category))
        return FALSE;
    return ReplaceText(&record->category, category);
}

BOOL SetRecordMemo(RecordNode* record, LPCWSTR memo)
{
    if (!memo)
        return FALSE;
    return ReplaceText(&record->memo, memo);
}
