// The date picker's calendar: a pop-up window of its own with a month calendar, about 180 x 150
// pixels so that it fits the handheld's screen, placed under the picker's box (above it when
// there is no room below). Arrows turn the months; a tap on the year opens a box in its place
// where the year is typed (or turned with its arrows), and Enter there turns the calendar to that
// year and leaves it open; a tap on a day chooses it and closes the calendar; Escape or a tap
// outside closes it without a change (Escape in the year box only gives up the year).
#pragma once

#include <QWidget>

class DatePickerWidget;
class QCalendarWidget;
class QSpinBox;

class DatePickerCalendar : public QWidget
{
  public:
    explicit DatePickerCalendar(DatePickerWidget* picker);

    QCalendarWidget* Calendar() const { return calendar_; }
    // Shows the month of `day` with `day` selected, the days outside [first, last] refused,
    // placed by the picker's box on the screen.
    void Open(QDate day, QDate first, QDate last);
    // Hides the calendar without telling the picker (the picker is closing it).
    void Dismiss();

    static const int Width = 180;
    static const int Height = 150;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void Place();
    void Choose(QDate day);

    DatePickerWidget* picker_;
    QCalendarWidget* calendar_;
    QSpinBox* yearBox_;
    bool dismissing_ = false;
};
