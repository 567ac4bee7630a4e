// What the date picker accepts and how it writes a date: checks of SYSTEMTIME values and the
// picker's display formats. Not for the program.
#pragma once

#include "platform/systime.h"

#include <QDate>

#include <string>

// The picker's date and time of day; the day of the week follows from the date.
struct PickerTime {
    QDate date;
    WORD hour = 0;
    WORD minute = 0;
    WORD second = 0;
    WORD milliseconds = 0;
};

// The earliest and latest days a SYSTEMTIME can name for the picker.
QDate EarliestPickerDate();
QDate LatestPickerDate();

// True when every field of `time` names a real moment (the day of the week is ignored, as the
// handheld ignores it on input): month 1..12, a day of that month, hour < 24, minute and second
// < 60, milliseconds < 1000, the year within the picker's days. `out` receives it when given.
bool PickerTimeOf(const SYSTEMTIME& time, PickerTime* out);
// The SYSTEMTIME of a picker time, wDayOfWeek counted from Sunday (0).
SYSTEMTIME SystemTimeOf(const PickerTime& time);

// The format of the handheld's short date in the picker: day, month and four-digit year, each
// of two digits at least, with "/" ("07/12/2026" is the 7th of December 2026).
extern const char16_t DefaultShortDateFormat[];
// The format a picker of `style` shows without a format of its own (DTS_SHORTDATEFORMAT,
// DTS_LONGDATEFORMAT, DTS_TIMEFORMAT).
std::u16string DefaultPickerFormat(unsigned long style);

// Writes `time` in a picker format: d dd ddd dddd (day, two digits, short and full day name),
// M MM MMM MMMM (month likewise), y yy yyyy (year: last digit, two digits, four), h hh H HH
// (12- and 24-hour clock), m mm s ss, t tt (A/P, AM/PM); text between single quotes as it
// stands ('' is a quote); any other character as it stands.
std::u16string FormatPickerTime(const std::u16string& format, const PickerTime& time);
