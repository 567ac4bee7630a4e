// Time of day: the host's local time, or the device clock once it has been set.
#pragma once

#include "platform/wintypes.h"

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *LPSYSTEMTIME;

// Fills `time` with the local date and time, the day of week counted from Sunday (0).
void GetLocalTime(LPSYSTEMTIME time);

// Sets the device clock: from now on GetLocalTime runs on from `time` as a clock does. Returns
// FALSE, leaving the clock as it was, when `time` is not a valid date and time.
BOOL SetDeviceClock(const SYSTEMTIME& time);
// Returns the device clock to the host's local time.
void ResetDeviceClock();
