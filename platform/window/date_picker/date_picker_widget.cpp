// The date picker's widget: its state, its look and a person's input with the notifications
// that go with it.
#include "platform/window/date_picker/date_picker_widget.h"

#include "platform/commctrl.h"
#include "platform/window/date_picker/date_picker_calendar.h"
#include "platform/window/window_internal.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace
{
const int systemFontPixels = 11; // 8 points at 96 pixels an inch
const int buttonWidth = 13;      // as wide as the handheld's scroll bars
const int checkSize = 11;
const UINT VirtualKeyF4 = 0x73; // F4 opens the calendar, as on the desktop's pickers

const QColor frameColor(0x84, 0x82, 0x84);
const QColor faceColor(0xD6, 0xD3, 0xCE);
const QColor disabledText(0x84, 0x82, 0x84);
const QColor highlight(0x08, 0x24, 0x6B);

PickerTime Today()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    PickerTime today;
    if (!PickerTimeOf(now, &today))
        today.date = QDate(2000, 1, 1);
    // The time of day starts at 0 and is what the program last set.
    today.hour = today.minute = today.second = today.milliseconds = 0;
    return today;
}

// A small triangle pointing down (or up), centred in `box`.
void DrawArrow(QPainter& painter, const QRect& box, bool up, const QColor& color)
{
    QPoint c = box.center();
    int dy = up ? -1 : 1;
    painter.setPen(color);
    for (int row = 0; row < 3; ++row) {
        int y = c.y() + dy * (row - 1);
        painter.drawLine(c.x() - (2 - row), y, c.x() + (2 - row), y);
    }
}
} // namespace

QFont DatePickerSystemFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(systemFontPixels);
    return font;
}

DatePickerWidget* DatePickerOf(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object || object->control != &DatePickerControlClass)
        return nullptr;
    return dynamic_cast<DatePickerWidget*>(object->widget.data());
}

DatePickerWidget::DatePickerWidget(HWND window, QWidget* parent)
    : QWidget(parent), window_(window), life_(window, this), time_(Today()),
      font_(DatePickerSystemFont())
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ShowTime();
}

DWORD DatePickerWidget::Style() const
{
    WindowObject* object = WindowFromHandle(window_);
    return object ? object->style : 0;
}

QDate DatePickerWidget::EarliestChoice() const
{
    return minimum_.isValid() ? minimum_ : EarliestPickerDate();
}

QDate DatePickerWidget::LatestChoice() const
{
    return maximum_.isValid() ? maximum_ : LatestPickerDate();
}

QDate DatePickerWidget::Clamped(QDate date) const
{
    return std::clamp(date, EarliestChoice(), LatestChoice());
}

bool DatePickerWidget::SetTime(const PickerTime& time)
{
    if (!time.date.isValid() || time.date != Clamped(time.date))
        return false;
    time_ = time;
    none_ = false;
    ShowTime();
    return true;
}

bool DatePickerWidget::SetNone()
{
    if (!(Style() & DTS_SHOWNONE))
        return false;
    none_ = true;
    ShowTime();
    return true;
}

bool DatePickerWidget::SetRange(QDate minimum, QDate maximum)
{
    if (minimum.isValid() && maximum.isValid() && minimum > maximum)
        return false;
    minimum_ = minimum;
    maximum_ = maximum;
    time_.date = Clamped(time_.date);
    ShowTime();
    return true;
}

void DatePickerWidget::SetFormat(const std::u16string& format)
{
    format_ = format;
    ShowTime();
}

std::u16string DatePickerWidget::ShownText() const
{
    return FormatPickerTime(format_.empty() ? DefaultPickerFormat(Style()) : format_, time_);
}

void DatePickerWidget::SetPickerFont(const QFont& font)
{
    font_ = font;
    update();
}

// The window's text is what the box shows, so that GetWindowTextW reads the date as a person
// sees it.
void DatePickerWidget::ShowTime()
{
    if (WindowObject* object = WindowFromHandle(window_))
        object->text = ShownText();
    update();
}

QRect DatePickerWidget::ButtonRect() const
{
    if (width() < buttonWidth + 2 || height() < 4)
        return QRect();
    return QRect(width() - 1 - buttonWidth, 1, buttonWidth, height() - 2);
}

QRect DatePickerWidget::CheckRect() const
{
    if (!(Style() & DTS_SHOWNONE))
        return QRect();
    return QRect(3, (height() - checkSize) / 2, checkSize, checkSize);
}

QCalendarWidget* DatePickerWidget::OpenCalendar() const
{
    return open_ && calendar_ && calendar_->isVisible() ? calendar_->Calendar() : nullptr;
}

bool DatePickerWidget::CalendarOpen() const
{
    return open_;
}

void DatePickerWidget::OpenCalendarPopup()
{
    BusyScope busy(this);
    if (open_ || life_.Destroyed() || !isEnabled() || (Style() & DTS_UPDOWN))
        return;
    NMHDR header = {};
    Notify(DTN_DROPDOWN, &header);
    // The parent may have destroyed or disabled the picker, or hidden it, on the way.
    if (life_.Destroyed() || !isEnabled() || !isVisible())
        return;
    if (!calendar_)
        calendar_ = new DatePickerCalendar(this);
    open_ = true;
    calendar_->Open(none_ ? Today().date : time_.date, EarliestChoice(), LatestChoice());
}

void DatePickerWidget::CloseCalendarPopup(bool chosen, QDate day)
{
    BusyScope busy(this);
    if (!open_)
        return;
    open_ = false;
    if (calendar_)
        calendar_->Dismiss();
    bool changed = chosen && day.isValid() && day == Clamped(day) && (none_ || day != time_.date);
    if (changed) {
        time_.date = day;
        none_ = false;
        ShowTime();
    }
    NMHDR header = {};
    Notify(DTN_CLOSEUP, &header);
    if (changed && !life_.Destroyed())
        NotifyChange();
}

void DatePickerWidget::ChangeByPerson(const PickerTime& time, bool none)
{
    if (none == none_ && (none || time.date == time_.date))
        return;
    time_ = time;
    none_ = none;
    ShowTime();
    NotifyChange();
}

void DatePickerWidget::NotifyChange()
{
    NMDATETIMECHANGE change = {};
    change.dwFlags = none_ ? GDT_NONE : GDT_VALID;
    if (!none_)
        change.st = SystemTimeOf(time_);
    Notify(DTN_DATETIMECHANGE, &change.nmhdr);
}

LRESULT DatePickerWidget::Notify(UINT code, NMHDR* header)
{
    if (life_.Destroyed())
        return 0;
    return NotifyParent(window_, code, header);
}

void DatePickerWidget::Press(const QPoint& point)
{
    BusyScope busy(this);
    if (!isEnabled())
        return;
    if (GetFocus() != window_)
        SetFocus(window_);
    if (life_.Destroyed())
        return;
    QRect button = ButtonRect();
    if (CheckRect().adjusted(-2, -2, 2, 2).contains(point)) {
        ChangeByPerson(time_, !none_);
        return;
    }
    if (!button.contains(point))
        return;
    if (Style() & DTS_UPDOWN) {
        // The button's upper half counts up, its lower half down.
        bool up = point.y() < button.center().y();
        Key(up ? VK_UP : VK_DOWN, false);
        return;
    }
    OpenCalendarPopup();
}

bool DatePickerWidget::Key(UINT key, bool alt)
{
    BusyScope busy(this);
    if (!isEnabled() || life_.Destroyed())
        return false;
    switch (key) {
    case VirtualKeyF4: OpenCalendarPopup(); return true;
    case VK_DOWN:
        if (alt) {
            OpenCalendarPopup();
            return true;
        }
        [[fallthrough]];
    case VK_UP: {
        if (none_)
            return true;
        PickerTime moved = time_;
        moved.date = Clamped(time_.date.addDays(key == VK_UP ? 1 : -1));
        ChangeByPerson(moved, false);
        return true;
    }
    default: return false;
    }
}

void DatePickerWidget::OnDestroy()
{
    // The calendar goes quietly (its hiding sends nothing), before the picker leaves the tree.
    if (calendar_) {
        open_ = false;
        calendar_->Dismiss();
    }
    life_.OnDestroy();
}

void DatePickerWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    bool enabled = isEnabled();
    QRect box = rect();
    painter.fillRect(box, enabled ? QColor(Qt::white) : faceColor);
    painter.setPen(frameColor);
    painter.drawRect(box.adjusted(0, 0, -1, -1));

    int left = 3;
    QRect check = CheckRect();
    if (check.isValid()) {
        painter.fillRect(check, Qt::white);
        painter.setPen(enabled ? QColor(Qt::black) : disabledText);
        painter.drawRect(check.adjusted(0, 0, -1, -1));
        if (!none_) {
            // A tick, as the check boxes draw it.
            QPoint a(check.left() + 2, check.center().y());
            QPoint b(check.left() + 4, check.bottom() - 3);
            QPoint c(check.right() - 2, check.top() + 2);
            painter.drawLine(a, b);
            painter.drawLine(b, c);
        }
        left = check.right() + 4;
    }

    QRect button = ButtonRect();
    QRect textArea(left, 1, (button.isValid() ? button.left() : width() - 1) - left - 1,
                   height() - 2);
    painter.setFont(font_);
    QString text = QString::fromStdU16String(ShownText());
    bool focused = hasFocus() || (GetFocus() == window_ && !life_.Destroyed());
    if (focused && enabled && !none_ && !open_) {
        QRect marked = painter.boundingRect(textArea, Qt::AlignLeft | Qt::AlignVCenter, text);
        painter.fillRect(marked.intersected(textArea), highlight);
        painter.setPen(Qt::white);
    } else {
        painter.setPen(enabled && !none_ ? QColor(Qt::black) : disabledText);
    }
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, text);

    if (button.isValid()) {
        painter.fillRect(button, faceColor);
        painter.setPen(frameColor);
        painter.drawLine(button.topLeft() - QPoint(1, 0), button.bottomLeft() - QPoint(1, 0));
        QColor arrow = enabled ? QColor(Qt::black) : disabledText;
        if (Style() & DTS_UPDOWN) {
            int middle = button.center().y();
            painter.setPen(frameColor);
            painter.drawLine(button.left(), middle, button.right(), middle);
            DrawArrow(painter,
                      QRect(button.left(), button.top(), button.width(), middle - button.top()),
                      true, arrow);
            DrawArrow(painter,
                      QRect(button.left(), middle + 1, button.width(), button.bottom() - middle),
                      false, arrow);
        } else {
            DrawArrow(painter, button, false, arrow);
        }
    }
}

void DatePickerWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    Press(event->position().toPoint());
}

void DatePickerWidget::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void DatePickerWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second tap of a quick double tap is one more tap.
    mousePressEvent(event);
}

void DatePickerWidget::keyPressEvent(QKeyEvent* event)
{
    UINT key = event->key() == Qt::Key_F4 ? UINT(VirtualKeyF4) : KeyCodeOf(event);
    if (key && Key(key, (event->modifiers() & Qt::AltModifier) != 0))
        event->accept();
    else
        event->ignore();
}

void DatePickerWidget::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void DatePickerWidget::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void DatePickerWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled() && open_)
            CloseCalendarPopup(false, QDate());
        update();
    }
}
