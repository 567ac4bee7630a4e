// Choosing a day in a date picker as a person does, a tap or a key at each step: a tap on its
// drop-down button opens the calendar; for another year than the one shown, a tap on the
// calendar's year opens its year box, the year is typed there a digit at a time and Enter sets
// it; taps on the month arrows turn the calendar to the month, and a tap on the day chooses it.
// The control sends what it sends for a person's taps (DTN_DROPDOWN, DTN_DATETIMECHANGE,
// DTN_CLOSEUP).
//
// The platform's date picker is reached through date_picker_access.h; a date edit of the
// toolkit with a calendar pop-up (a test's own control class) is worked the same way.
#include "device/script/input.h"
#include "device/script/verbs.h"
#include "platform/window/date_picker/date_picker_access.h"
#include "platform/window/window_object.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QPointer>
#include <QSpinBox>
#include <QStyleOption>
#include <QTableView>
#include <QToolButton>

namespace
{
QDateTimeEdit* DateEditOf(QWidget* widget)
{
    if (auto* edit = qobject_cast<QDateTimeEdit*>(widget))
        return edit;
    return widget ? widget->findChild<QDateTimeEdit*>() : nullptr;
}

// The drop-down button of a date edit, found as the edit itself finds it under the pointer.
QPoint EditOpeningPoint(QDateTimeEdit* edit)
{
    QStyleOptionComboBox option;
    option.initFrom(edit);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    QRect arrow =
        edit->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, edit);
    return arrow.isValid() ? arrow.center() : QPoint(edit->width() - 6, edit->height() / 2);
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

// The calendar's year, which a tap opens for typing, and the box it opens; null where the
// calendar has none.
QToolButton* YearButtonOf(QCalendarWidget* calendar)
{
    auto* year = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    return year && year->isVisible() && year->isEnabled() ? year : nullptr;
}

QSpinBox* YearBoxOf(QCalendarWidget* calendar)
{
    return calendar->findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"));
}

int MonthNumber(int year, int month)
{
    return year * 12 + month - 1;
}

// Taps the calendar's month arrows until it shows the month of `date`: a few taps once the year
// is set. A calendar without arrows (or one whose arrow does not turn it) is turned to the month
// directly, as its arrows would.
void TurnTo(QCalendarWidget* calendar, QDate date)
{
    auto* back = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_prevmonth"));
    auto* forward = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_nextmonth"));
    int target = MonthNumber(date.year(), date.month());
    for (;;) {
        int shown = MonthNumber(calendar->yearShown(), calendar->monthShown());
        if (shown == target)
            return;
        QToolButton* arrow = shown < target ? forward : back;
        if (!arrow || !arrow->isVisible() || !arrow->isEnabled())
            break;
        TapWidget(arrow, arrow->rect().center());
        if (MonthNumber(calendar->yearShown(), calendar->monthShown()) == shown)
            break;
    }
    calendar->setCurrentPage(date.year(), date.month());
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
        switch (phase_) {
        case Phase::Open: return Open(reason);
        case Phase::Year: return OpenYear(reason);
        case Phase::Digits: return TypeYear(reason);
        case Phase::Day: break;
        }
        return Choose(reason);
    }

  private:
    enum class Phase { Open, Year, Digits, Day };

    StepResult Fail(std::string* reason, const std::string& text)
    {
        *reason = text;
        return StepResult::Failed;
    }

    std::string Name() const { return ControlName(int(id_)); }

    StepResult OutOfRange(std::string* reason, QDate first, QDate last)
    {
        return Fail(reason, Name() + " offers the days from " + Text(first) + " to " + Text(last) +
                                " only");
    }

    StepResult Open(std::string* reason)
    {
        HWND control = ReachableControl(int(id_), reason);
        if (!control)
            return StepResult::Failed;
        control_ = control;
        if (IsDatePicker(control)) {
            if (!DatePickerHasCalendar(control))
                return Fail(reason, Name() + " has no calendar to open");
            QDate first = DatePickerEarliest(control), last = DatePickerLatest(control);
            if (date_ < first || date_ > last)
                return OutOfRange(reason, first, last);
            picker_ = WidgetOf(control);
            phase_ = Phase::Year;
            TapWidget(picker_, DatePickerButtonPoint(control));
            return StepResult::More;
        }
        QDateTimeEdit* edit = DateEditOf(WidgetOf(control));
        if (!edit)
            return Fail(reason, Name() + " is not a date picker");
        if (!edit->calendarPopup())
            return Fail(reason, Name() + " has no calendar to open");
        if (edit->isReadOnly())
            return Fail(reason, Name() + " is read-only");
        if (date_ < edit->minimumDate() || date_ > edit->maximumDate())
            return OutOfRange(reason, edit->minimumDate(), edit->maximumDate());
        edit_ = edit;
        picker_ = edit;
        phase_ = Phase::Year;
        TapWidget(edit, EditOpeningPoint(edit));
        return StepResult::More;
    }

    // The calendar of the control when it is open on the screen, else null.
    QCalendarWidget* OpenCalendar() const
    {
        if (!edit_)
            return IsWindow(control_) ? DatePickerOpenCalendar(control_) : nullptr;
        QCalendarWidget* calendar = edit_->calendarPopup() ? edit_->calendarWidget() : nullptr;
        return calendar && calendar->isVisible() ? calendar : nullptr;
    }

    // The open calendar, or null with the reason.
    QCalendarWidget* Calendar(std::string* reason)
    {
        if (!picker_) {
            Fail(reason, Name() + " went away while its calendar was open");
            return nullptr;
        }
        QCalendarWidget* calendar = OpenCalendar();
        if (!calendar)
            Fail(reason, "the calendar of " + Name() +
                             (seen_ ? " closed before a day was chosen" : " did not open"));
        seen_ = calendar != nullptr;
        return calendar;
    }

    // Another year than the one shown is typed into the calendar's year box, which a tap on the
    // year opens; a calendar without one is turned with its arrows.
    StepResult OpenYear(std::string* reason)
    {
        QCalendarWidget* calendar = Calendar(reason);
        if (!calendar)
            return StepResult::Failed;
        QToolButton* year = YearButtonOf(calendar);
        if (calendar->yearShown() == date_.year() || !year || !YearBoxOf(calendar))
            return Choose(reason);
        digits_ = QString::number(date_.year());
        phase_ = Phase::Digits;
        TapWidget(year, year->rect().center());
        return StepResult::More;
    }

    // A digit of the year at each step, then Enter, pressed where a person's keys go.
    StepResult TypeYear(std::string* reason)
    {
        QCalendarWidget* calendar = Calendar(reason);
        if (!calendar)
            return StepResult::Failed;
        QSpinBox* box = YearBoxOf(calendar);
        QWidget* keys = KeyTarget();
        if (!box || !box->isVisible() || !keys || (keys != box && !box->isAncestorOf(keys)))
            return Fail(reason,
                        "the year of the calendar of " + Name() + " did not open for typing");
        if (typed_ < digits_.size()) {
            QChar digit = digits_.at(typed_++);
            PressKey(keys, Qt::Key_0 + digit.digitValue(), QString(digit));
            return StepResult::More;
        }
        PressKey(keys, Qt::Key_Return, QStringLiteral("\r"));
        phase_ = Phase::Day;
        return StepResult::More;
    }

    StepResult Choose(std::string* reason)
    {
        QCalendarWidget* calendar = Calendar(reason);
        if (!calendar)
            return StepResult::Failed;
        if (!digits_.isEmpty() && calendar->yearShown() != date_.year())
            return Fail(reason, "the calendar of " + Name() + " did not turn to the year " +
                                    digits_.toStdString());
        QPointer<QCalendarWidget> alive(calendar);
        TurnTo(calendar, date_);
        if (!alive || !calendar->isVisible())
            return Fail(reason, "the calendar of " + Name() + " closed while it was turned");
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
    Phase phase_ = Phase::Open;
    QString digits_; // the year typed into the calendar's year box, when it was
    qsizetype typed_ = 0;
    bool seen_ = false; // the calendar was seen open
    HWND control_ = nullptr;
    QPointer<QWidget> picker_;
    QPointer<QDateTimeEdit> edit_;
};
} // namespace

std::shared_ptr<ScriptAction> MakeDateAction(const ScriptLine& line)
{
    return std::make_shared<DateAction>(line);
}
