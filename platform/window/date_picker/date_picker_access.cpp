#include "platform/window/date_picker/date_picker_access.h"

#include "platform/commctrl.h"
#include "platform/window/date_picker/date_picker_widget.h"

bool IsDatePicker(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    return object && object->control == &DatePickerControlClass;
}

bool DatePickerHasCalendar(HWND picker)
{
    DatePickerWidget* widget = DatePickerOf(picker);
    return widget && !(widget->Style() & DTS_UPDOWN);
}

QPoint DatePickerButtonPoint(HWND picker)
{
    DatePickerWidget* widget = DatePickerOf(picker);
    return widget ? widget->ButtonRect().center() : QPoint();
}

QCalendarWidget* DatePickerOpenCalendar(HWND picker)
{
    DatePickerWidget* widget = DatePickerOf(picker);
    return widget ? widget->OpenCalendar() : nullptr;
}

QDate DatePickerEarliest(HWND picker)
{
    DatePickerWidget* widget = DatePickerOf(picker);
    return widget ? widget->EarliestChoice() : QDate();
}

QDate DatePickerLatest(HWND picker)
{
    DatePickerWidget* widget = DatePickerOf(picker);
    return widget ? widget->LatestChoice() : QDate();
}
