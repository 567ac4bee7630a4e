// A program window on a 240 x 320 screen with a date picker as its child (control 1007, at the
// place Register Time gives it); the window's procedure records every WM_NOTIFY.
#pragma once

#include "platform/commctrl.h"
#include "platform/window/window_object.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace date_picker_test
{
const UINT PICKER_ID = 1007;
const DWORD PICKER_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_SHORTDATEFORMAT;

// One notification as the parent saw it, with what could be seen of the picker then.
struct Note {
    UINT code;
    UINT_PTR from = 0;
    DWORD flags = 0;    // DTN_DATETIMECHANGE's dwFlags
    SYSTEMTIME st = {}; // and its date
    bool calendarShown = false;
};

std::vector<Note>& Notes();
// Called for each notification after it is recorded.
std::function<void(HWND parent, const NMHDR*)>& OnNotify();
std::vector<UINT> Codes();

SYSTEMTIME Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

class DatePickerTest : public testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    HWND MakePicker(DWORD style = PICKER_STYLE, int x = 75, int y = 32, int width = 95,
                    int height = 22);
    // DTM_SETSYSTEMTIME with GDT_VALID; its result.
    LRESULT Set(HWND picker, const SYSTEMTIME& time);
    // DTM_GETSYSTEMTIME; its result, the date in `time`.
    LRESULT Get(HWND picker, SYSTEMTIME* time);
    std::u16string Text(HWND picker);

    // A press and release of the pointer at `point` of `widget`, as a person's tap.
    static void Tap(QWidget* widget, const QPoint& point);
    // A tap on the picker's drop-down button.
    void TapButton(HWND picker);
    // The open calendar's pop-up window, or null.
    QWidget* CalendarWindow(HWND picker);
    // Taps day `day` of the month the open calendar shows.
    void TapDay(HWND picker, int day);
    // Presses a key on the widget with the focus inside the open calendar.
    void PressInCalendar(HWND picker, int key);

    std::unique_ptr<QWidget> screen_;
    HWND parent_ = nullptr;
};
} // namespace date_picker_test
