#include "platform/window/date_picker/date_picker_calendar.h"

#include "platform/window/date_picker/date_picker_widget.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QSpinBox>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
// Where the calendar may go, in global coordinates: the device's screen when the picker is on
// it, else the picker's own window.
QRect Area(const QWidget* picker)
{
    QWidget* screen = ScreenWidget();
    const QWidget* area = screen && screen->isAncestorOf(picker) ? screen : picker->window();
    return QRect(area->mapToGlobal(QPoint(0, 0)), area->size());
}
} // namespace

DatePickerCalendar::DatePickerCalendar(DatePickerWidget* picker)
    : QWidget(picker, Qt::Popup | Qt::FramelessWindowHint), picker_(picker),
      calendar_(new QCalendarWidget(this)),
      yearBox_(calendar_->findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit")))
{
    setAttribute(Qt::WA_WindowPropagation, false);
    setFocusPolicy(Qt::NoFocus);
    QFont font = DatePickerSystemFont();
    setFont(font);
    calendar_->setFont(font);
    calendar_->setFirstDayOfWeek(Qt::Sunday);
    calendar_->setGridVisible(false);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    // Weekends look like the other days, as on the handheld's calendar.
    QTextCharFormat plain;
    plain.setForeground(Qt::black);
    calendar_->setWeekdayTextFormat(Qt::Saturday, plain);
    calendar_->setWeekdayTextFormat(Qt::Sunday, plain);
    calendar_->setMinimumSize(0, 0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(calendar_);
    setStyleSheet(QStringLiteral("DatePickerCalendar { background: white; border: 1px solid "
                                 "black; }"));
    setFixedSize(Width, Height);

    if (yearBox_)
        yearBox_->installEventFilter(this);
    QObject::connect(calendar_, &QCalendarWidget::clicked, this,
                     [this](QDate day) { Choose(day); });
    QObject::connect(calendar_, &QCalendarWidget::activated, this,
                     [this](QDate day) { Choose(day); });
}

void DatePickerCalendar::Open(QDate day, QDate first, QDate last)
{
    calendar_->setDateRange(first, last);
    calendar_->setSelectedDate(day);
    calendar_->setCurrentPage(day.year(), day.month());
    Place();
    show();
    raise();
    calendar_->setFocus(Qt::PopupFocusReason);
}

void DatePickerCalendar::Dismiss()
{
    dismissing_ = true;
    hide();
    dismissing_ = false;
}

void DatePickerCalendar::Place()
{
    QRect area = Area(picker_);
    QPoint box = picker_->mapToGlobal(QPoint(0, 0));
    int x = std::clamp(box.x(), area.left(), std::max(area.left(), area.right() + 1 - Width));
    int below = box.y() + picker_->height();
    int y = below;
    if (below + Height > area.bottom() + 1 && box.y() - Height >= area.top())
        y = box.y() - Height;
    else if (below + Height > area.bottom() + 1)
        y = std::max(area.top(), area.bottom() + 1 - Height);
    move(x, y);
}

void DatePickerCalendar::Choose(QDate day)
{
    if (!isVisible() || !day.isValid())
        return;
    picker_->CloseCalendarPopup(true, day);
}

bool DatePickerCalendar::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the year box sets the year. The box passes the key on to its parents, which would
    // choose the day selected before; it is kept here once the box has taken it.
    if (watched == yearBox_ && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            static_cast<QObject*>(yearBox_)->event(event);
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DatePickerCalendar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        picker_->CloseCalendarPopup(false, QDate());
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Choose(calendar_->selectedDate());
        return;
    }
    QWidget::keyPressEvent(event);
}

void DatePickerCalendar::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Hidden by anything but the picker (a tap outside the pop-up): the picker closes up.
    if (!dismissing_ && picker_->CalendarOpen())
        picker_->CloseCalendarPopup(false, QDate());
}
