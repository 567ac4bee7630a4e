#include "platform/systime.h"

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTime>

namespace
{
// A set clock is kept as the value set and the monotonic time at which it was set, so that it
// runs on at the host's pace whatever happens to the host's own clock meanwhile.
struct DeviceClock {
    bool set = false;
    QDateTime base;
    QElapsedTimer since;
};

DeviceClock& Clock()
{
    static DeviceClock clock;
    return clock;
}
} // namespace

void GetLocalTime(LPSYSTEMTIME time)
{
    if (!time)
        return;
    DeviceClock& clock = Clock();
    QDateTime now =
        clock.set ? clock.base.addMSecs(clock.since.elapsed()) : QDateTime::currentDateTime();
    QDate date = now.date();
    QTime moment = now.time();
    time->wYear = static_cast<WORD>(date.year());
    time->wMonth = static_cast<WORD>(date.month());
    time->wDayOfWeek = static_cast<WORD>(date.dayOfWeek() % 7);
    time->wDay = static_cast<WORD>(date.day());
    time->wHour = static_cast<WORD>(moment.hour());
    time->wMinute = static_cast<WORD>(moment.minute());
    time->wSecond = static_cast<WORD>(moment.second());
    time->wMilliseconds = static_cast<WORD>(moment.msec());
}

BOOL SetDeviceClock(const SYSTEMTIME& time)
{
    QDate date(time.wYear, time.wMonth, time.wDay);
    QTime moment(time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
    if (!date.isValid() || !moment.isValid() || time.wYear < 1601 || time.wYear > 9999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DeviceClock& clock = Clock();
    clock.base = QDateTime(date, moment);
    clock.since.start();
    clock.set = true;
    return TRUE;
}

void ResetDeviceClock()
{
    Clock().set = false;
}
