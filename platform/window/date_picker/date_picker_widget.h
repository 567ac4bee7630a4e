// The date picker's widget: a closed box showing the date in the picker's format, white with a
// thin frame, and a small drop-down button at its right that opens a month calendar under the
// box. A person's taps and keys change the date and tell the parent through WM_NOTIFY, at once,
// within the Qt event: DTN_DROPDOWN just before the calendar shows, DTN_CLOSEUP as it goes, and
// DTN_DATETIMECHANGE when a person changed the date (never for the program's own changes).
#pragma once

#include "platform/window/date_picker/date_picker_format.h"
#include "platform/window/widget_life.h"
#include "platform/window/window_object.h"
#include "platform/windows.h"

#include <QFont>
#include <QWidget>

#include <string>

class QCalendarWidget;
class DatePickerCalendar;

class DatePickerWidget : public QWidget
{
  public:
    DatePickerWidget(HWND window, QWidget* parent);

    HWND Window() const { return window_; }
    // The window's style as it is now (DTS_SHOWNONE, DTS_UPDOWN …).
    DWORD Style() const;

    // The date and time as set; `None` is true while a DTS_SHOWNONE picker holds no date.
    const PickerTime& Time() const { return time_; }
    bool None() const { return none_; }
    // Sets the date as the program does: no notification. False, changing nothing, for a date
    // outside the picker's range.
    bool SetTime(const PickerTime& time);
    bool SetNone();

    // The range of days a person may choose; a null date is no limit on that side.
    QDate Minimum() const { return minimum_; }
    QDate Maximum() const { return maximum_; }
    // Sets the limits (a null date for none); a date outside them is moved inside, without a
    // notification. False, changing nothing, when the minimum is after the maximum.
    bool SetRange(QDate minimum, QDate maximum);
    QDate EarliestChoice() const;
    QDate LatestChoice() const;

    // The picker's own format, or empty for the style's default.
    void SetFormat(const std::u16string& format);
    // What the box shows: the date in the picker's format (kept as the window's text too).
    std::u16string ShownText() const;
    void SetPickerFont(const QFont& font);

    // The drop-down button and the box's check box (DTS_SHOWNONE), in widget coordinates.
    QRect ButtonRect() const;
    QRect CheckRect() const;
    // The calendar while it is open on the screen, else null.
    QCalendarWidget* OpenCalendar() const;
    bool CalendarOpen() const;

    // A person's input, in widget coordinates: also what WM_LBUTTONDOWN and WM_KEYDOWN do.
    void Press(const QPoint& point);
    // True for a key the picker used.
    bool Key(UINT key, bool alt);
    // Opens the calendar as a tap on the button does: DTN_DROPDOWN first, then the calendar.
    void OpenCalendarPopup();
    // Closes the calendar: with a day chosen that becomes the date; DTN_CLOSEUP, then
    // DTN_DATETIMECHANGE when the date changed. Called by the calendar as it goes in any way.
    void CloseCalendarPopup(bool chosen, QDate day);

    // True once the window had its WM_DESTROY: nothing is sent to the parent any more.
    bool Destroyed() const { return life_.Destroyed(); }
    void OnDestroy();

    // Held while a handler of the widget or of its calendar runs: a notification may lead the
    // program to destroy the picker, which must outlive the handler that is using it.
    class BusyScope : public WidgetLife::Busy
    {
      public:
        explicit BusyScope(DatePickerWidget* picker) : WidgetLife::Busy(picker->life_) {}
    };

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // A person's change of the date: stores it, shows it and sends DTN_DATETIMECHANGE.
    void ChangeByPerson(const PickerTime& time, bool none);
    void NotifyChange();
    LRESULT Notify(UINT code, NMHDR* header);
    void ShowTime();
    QDate Clamped(QDate date) const;

    HWND window_;
    WidgetLife life_;
    PickerTime time_;
    bool none_ = false;
    QDate minimum_;
    QDate maximum_;
    std::u16string format_;
    QFont font_;
    DatePickerCalendar* calendar_ = nullptr;
    bool open_ = false;
};

// The date picker class (date_picker.cpp).
extern const ControlClass DatePickerControlClass;

// The widget of a date picker window, or null for any other window.
DatePickerWidget* DatePickerOf(HWND window);
// The system font: 8 points of a sans serif at 96 pixels an inch.
QFont DatePickerSystemFont();
