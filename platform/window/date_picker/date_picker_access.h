// The date picker as the device and the scripted user see it: where a person taps to open its
// calendar, the calendar while it is open, and the days it offers. Not for the program.
#pragma once

#include "platform/windows.h"

#include <QDate>
#include <QPoint>

class QCalendarWidget;

// True for a window of the date picker class.
bool IsDatePicker(HWND window);
// True when the picker opens a calendar (DTS_UPDOWN pickers have none).
bool DatePickerHasCalendar(HWND picker);
// The middle of the drop-down button, in the coordinates of the picker's widget.
QPoint DatePickerButtonPoint(HWND picker);
// The calendar while it is open on the screen, else null. Its month arrows are its tool buttons
// "qt_calendar_prevmonth" and "qt_calendar_nextmonth"; its year, the tool button
// "qt_calendar_yearbutton", which a tap turns into the year box "qt_calendar_yearedit".
QCalendarWidget* DatePickerOpenCalendar(HWND picker);
// The first and last day a person may choose.
QDate DatePickerEarliest(HWND picker);
QDate DatePickerLatest(HWND picker);
