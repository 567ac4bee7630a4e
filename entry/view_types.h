// How dates and durations are written, and the unit in which exports write durations. The
// values are stored in the settings and must never change.
#pragma once

#include "platform/wintypes.h"

enum DateViewType : DWORD {
    DayMonthYearDash = 0,
    DayMonthYearSlash = 1,
    MonthDayYearDash = 2,
    MonthDayYearSlash = 3,
};

enum TimeViewType : DWORD {
    CommaSeparated = 0,
    ColonSeparated = 1,
};

enum ExportTimeType : DWORD {
    MinutesOnly = 0,
    HoursAndMinutes = 1,
    HoursOnly = 2,
};

#define DEFAULT_DATE_VIEW DayMonthYearDash
#define DEFAULT_TIME_VIEW ColonSeparated
#define DEFAULT_EXPORT_TIME HoursAndMinutes
