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

// Writes `value` as exactly `digits` decimal digits, leading zeros included.
WCHAR* PutDigits(WCHAR* out, UINT value, int digits)
{
    for (int i = digits - 1; i >= 0; --i, value /= 10)
        out[i] = static_cast<WCHAR>(u'0' + value % 10);
    return out + digits;
}

// Builds a date text of exactly ten characters: two two-digit parts and the four-digit year.
// Dates are made for every record loaded, so the digits are written directly.
BOOL BuildDateText(LPWSTR* field, UINT first, UINT second, UINT year, WCHAR separator)
{
    WCHAR text[11];
    WCHAR* at = PutDigits(text, first, 2);
    *at++ = separator;
    at = PutDigits(at, second, 2);
    *at++ = separator;
    *PutDigits(at, year, 4) = 0;
    return ReplaceText(field, text);
}
// "hours<separator>mm": hours in decimal with its sign, minutes (0 to 59) as two digits.
void DurationText(WCHAR (&text)[24], int hours, WCHAR separator, int minutes)
{
    WCHAR digits[12];
    int count = 0;
    long long magnitude = hours < 0 ? -static_cast<long long>(hours) : hours;
    do {
        digits[count++] = static_cast<WCHAR>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    WCHAR* at = text;
    if (hours < 0)
        *at++ = u'-';
    while (count)
        *at++ = digits[--count];
    *at++ = separator;
    *PutDigits(at, static_cast<UINT>(minutes), 2) = 0;
}
} // namespace

BOOL SetRecordDate(RecordNode* record, SYSTEMTIME date)
{
    record->date = date;
    if (date.wDay > 31 || date.wMonth > 12 || date.wYear > 9999)
        return FALSE;
    UINT day = date.wDay, month = date.wMonth, year = date.wYear;
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
        DurationText(comma, hours, u',', minutes);
        DurationText(colon, hours, u':', minutes);
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
