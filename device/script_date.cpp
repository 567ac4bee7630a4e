// Choosing a day in a date picker: a tap on its drop-down button opens the calendar, the
// calendar is turned to the month, and a tap on the day chooses it.
//
// The picker is a date edit with a calendar pop-up. Where the control is made otherwise, only
// the functions of this namespace need to change: the widget, the point that opens it, its
// calendar, and the cell of a day.
#include "device/script_input.h"
#include "device/script_verbs.h"
#include "platform/window/window_object.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QPointer>
#include <QStyleOption>
#include <QTableView>

namespace
{
QDateTimeEdit* PickerOf(QWidget* widget)
{
    if (auto* edit = qobject_cast<QDateTimeEdit*>(widget))
        return edit;
    return widget ? widget->findChild<QDateTimeEdit*>() : nullptr;
}

// The drop-down button, found as the edit itself finds it under the pointer.
QPoint OpeningPoint(QDateTimeEdit* edit)
{
    QStyleOptionComboBox option;
    option.initFrom(edit);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    QRect arrow =
        edit->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, edit);
    return arrow.isValid() ? arrow.center() : QPoint(edit->width() - 6, edit->height() / 2);
}

// The calendar when it is open on the screen, else null.
QCalendarWidget* OpenCalendar(QDateTimeEdit* edit)
{
    QCalendarWidget* calendar = edit->calendarPopup() ? edit->calendarWidget() : nullptr;
    return calendar && calendar->isVisible() ? calendar : nullptr;
}

QTableView* DaysOf(QCalendarWidget* calendar)
{
    if (auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview")))
        return days;
    return calendar->findChild<QTableView*>();
}

// The cell of `date` on the calendar's page of its month. The page shows whole weeks, so the
// first cell that reads 1 is the first of the month and the days follow it in order.
QModelIndex CellOf(QCalendarWidget* calendar, QTableView* days, QDate date)
{
    QAbstractItemModel* model = days->model();
    if (!model)
        return QModelIndex();
    int firstRow =
        calendar->horizontalHeaderFormat() == QCalendarWidget::NoHorizontalHeader ? 0 : 1;
    int firstColumn = calendar->verticalHeaderFormat() == QCalendarWidget::ISOWeekNumbers ? 1 : 0;
    auto cell = [&](int k) { return model->index(firstRow + k / 7, firstColumn + k % 7); };
    for (int k = 0; k < 42; ++k) {
        if (model->data(cell(k), Qt::DisplayRole).toInt() != 1)
            continue;
        QModelIndex day = cell(k + date.day() - 1);
        return model->data(day, Qt::DisplayRole).toInt() == date.day() ? day : QModelIndex();
    }
    return QModelIndex();
}

std::string Text(QDate date)
{
    return date.toString(Qt::ISODate).toStdString();
}

class DateAction : public ScriptAction
{
  public:
    explicit DateAction(const ScriptLine& line)
    {
        ScriptNumber(line.args.at(0), 65535, &id_);
        ScriptDate day{};
        ScriptDateOf(line.args.at(1), &day);
        date_ = QDate(day.year, day.month, day.day);
    }

    StepResult Step(std::string* reason) override
    {
        return opened_ ? Choose(reason) : Open(reason);
    }

  private:
    StepResult Fail(std::string* reason, const std::string& text)
    {
        *reason = text;
        return StepResult::Failed;
    }

    std::string Name() const { return ControlName(int(id_)); }

    StepResult Open(std::string* reason)
    {
        HWND control = ReachableControl(int(id_), reason);
        if (!control)
            return StepResult::Failed;
        QDateTimeEdit* edit = PickerOf(WidgetOf(control));
        if (!edit)
            return Fail(reason, Name() + " is not a date picker");
        if (!edit->calendarPopup())
            return Fail(reason, Name() + " has no calendar to open");
        if (edit->isReadOnly())
            return Fail(reason, Name() + " is read-only");
        if (date_ < edit->minimumDate() || date_ > edit->maximumDate())
            return Fail(reason, Name() + " offers the days from " + Text(edit->minimumDate()) +
                                    " to " + Text(edit->maximumDate()) + " only");
        edit_ = edit;
        opened_ = true;
        TapWidget(edit, OpeningPoint(edit));
        return StepResult::More;
    }

    StepResult Choose(std::string* reason)
    {
        if (!edit_)
            return Fail(reason, Name() + " went away while its calendar was open");
        QCalendarWidget* calendar = OpenCalendar(edit_);
        if (!calendar)
            return Fail(reason, "the calendar of " + Name() + " did not open");
        // Turning the pages one by one would end on the same page; this turns to it at once.
        calendar->setCurrentPage(date_.year(), date_.month());
        QTableView* days = DaysOf(calendar);
        QModelIndex cell = days ? CellOf(calendar, days, date_) : QModelIndex();
        QRect rect = cell.isValid() ? days->visualRect(cell) : QRect();
        if (!rect.isValid())
            return Fail(reason, "the calendar of " + Name() + " does not show " + Text(date_));
        LastStep();
        TapWidget(days->viewport(), rect.center());
        return StepResult::Done;
    }

    unsigned long id_ = 0;
    QDate date_;
    bool opened_ = false;
    QPointer<QDateTimeEdit> edit_;
};
} // namespace

std::shared_ptr<ScriptAction> MakeDateAction(const ScriptLine& line)
{
    return std::make_shared<DateAction>(line);
}
