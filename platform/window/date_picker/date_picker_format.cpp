#include "platform/window/date_picker/date_picker_format.h"

#include "platform/commctrl.h"

#include <algorithm>

namespace
{
const char16_t* const dayNames[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                    u"Thursday", u"Friday", u"Saturday"};
const char16_t* const monthNames[] = {u"January",   u"February", u"March",    u"April",
                                      u"May",       u"June",     u"July",     u"August",
                                      u"September", u"October",  u"November", u"December"};

std::u16string Digits(int value, int width)
{
    std::u16string text;
    do {
        text.insert(text.begin(), char16_t(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    while (int(text.size()) < width)
        text.insert(text.begin(), u'0');
    return text;
}

int DayOfWeek(QDate date)
{
    return date.dayOfWeek() % 7; // Qt counts Monday 1 … Sunday 7
}

// One run of a format letter, `count` long, written for `time`.
std::u16string Field(char16_t letter, int count, const PickerTime& time)
{
    const QDate& date = time.date;
    switch (letter) {
    case u'd':
        if (count <= 2)
            return Digits(date.day(), count);
        return count == 3 ? std::u16string(dayNames[DayOfWeek(date)]).substr(0, 3)
                          : std::u16string(dayNames[DayOfWeek(date)]);
    case u'M':
        if (count <= 2)
            return Digits(date.month(), count);
        return count == 3 ? std::u16string(monthNames[date.month() - 1]).substr(0, 3)
                          : std::u16string(monthNames[date.month() - 1]);
    case u'y':
        if (count == 1)
            return Digits(date.year() % 10, 1);
        if (count == 2)
            return Digits(date.year() % 100, 2);
        return Digits(date.year(), 4);
    case u'h': return Digits(time.hour % 12 == 0 ? 12 : time.hour % 12, std::min(count, 2));
    case u'H': return Digits(time.hour, std::min(count, 2));
    case u'm': return Digits(time.minute, std::min(count, 2));
    case u's': return Digits(time.second, std::min(count, 2));
    case u't': {
        std::u16string marker = time.hour < 12 ? u"AM" : u"PM";
        return count == 1 ? marker.substr(0, 1) : marker;
    }
    default: return std::u16string(size_t(count), letter);
    }
}

int LongestRun(char16_t letter)
{
    switch (letter) {
    case u'd':
    case u'M':
    case u'y': return 4;
    default: return 2;
    }
}
} // namespace

const char16_t DefaultShortDateFormat[] = u"dd/MM/yyyy";

QDate EarliestPickerDate()
{
    return QDate(1601, 1, 1);
}

QDate LatestPickerDate()
{
    return QDate(9999, 12, 31);
}

bool PickerTimeOf(const SYSTEMTIME& time, PickerTime* out)
{
    if (time.wMonth < 1 || time.wMonth > 12 || time.wDay < 1 || time.wHour > 23 ||
        time.wMinute > 59 || time.wSecond > 59 || time.wMilliseconds > 999)
        return false;
    QDate date(time.wYear, time.wMonth, time.wDay);
    if (!date.isValid() || date < EarliestPickerDate() || date > LatestPickerDate())
        return false;
    if (out)
        *out = PickerTime{date, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
    return true;
}

SYSTEMTIME SystemTimeOf(const PickerTime& time)
{
    SYSTEMTIME st = {};
    st.wYear = WORD(time.date.year());
    st.wMonth = WORD(time.date.month());
    st.wDay = WORD(time.date.day());
    st.wDayOfWeek = WORD(DayOfWeek(time.date));
    st.wHour = time.hour;
    st.wMinute = time.minute;
    st.wSecond = time.second;
    st.wMilliseconds = time.milliseconds;
    return st;
}

std::u16string DefaultPickerFormat(unsigned long style)
{
    if ((style & DTS_TIMEFORMAT) == DTS_TIMEFORMAT)
        return u"HH:mm:ss";
    if (style & DTS_LONGDATEFORMAT)
        return u"dddd, d MMMM yyyy";
    return DefaultShortDateFormat;
}

std::u16string FormatPickerTime(const std::u16string& format, const PickerTime& time)
{
    std::u16string text;
    size_t i = 0;
    while (i < format.size()) {
        char16_t c = format[i];
        if (c == u'\'') {
            // Quoted text; '' inside or outside quotes is one quote.
            ++i;
            if (i < format.size() && format[i] == u'\'') {
                text += u'\'';
                ++i;
                continue;
            }
            while (i < format.size()) {
                if (format[i] == u'\'') {
                    if (i + 1 < format.size() && format[i + 1] == u'\'') {
                        text += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += format[i++];
            }
            continue;
        }
        if (c != u'd' && c != u'M' && c != u'y' && c != u'h' && c != u'H' && c != u'm' &&
            c != u's' && c != u't') {
            text += c;
            ++i;
            continue;
        }
        size_t run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        i += run;
        // A run longer than the longest field repeats it (ddddd is dddd then d).
        int longest = LongestRun(c);
        int left = int(run);
        while (left > 0) {
            int count = std::min(left, longest);
            if (c == u'y' && count == 3)
                count = 4; // yyy is the full year
            text += Field(c, count, time);
            left -= std::min(left, longest);
        }
    }
    return text;
}
