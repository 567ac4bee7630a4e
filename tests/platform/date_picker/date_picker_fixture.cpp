#include "tests/platform/date_picker/date_picker_fixture.h"

#include "platform/window/date_picker/date_picker_access.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>

namespace date_picker_test
{
namespace
{
LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_NOTIFY)
        return DefWindowProcW(window, message, wParam, lParam);
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    Note note{header->code};
    note.from = header->idFrom;
    note.calendarShown = DatePickerOpenCalendar(header->hwndFrom) != nullptr;
    if (header->code == DTN_DATETIMECHANGE) {
        const auto* change = reinterpret_cast<const NMDATETIMECHANGE*>(header);
        note.flags = change->dwFlags;
        note.st = change->st;
    }
    Notes().push_back(note);
    if (OnNotify())
        OnNotify()(window, header);
    return 0;
}

void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& point, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(point), QPointF(widget->mapToGlobal(point)), Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
} // namespace

std::vector<Note>& Notes()
{
    static std::vector<Note> notes;
    return notes;
}

std::function<void(HWND, const NMHDR*)>& OnNotify()
{
    static std::function<void(HWND, const NMHDR*)> handler;
    return handler;
}

std::vector<UINT> Codes()
{
    std::vector<UINT> codes;
    for (const Note& note : Notes())
        codes.push_back(note.code);
    return codes;
}

SYSTEMTIME Date(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME st = {};
    st.wYear = WORD(year);
    st.wMonth = WORD(month);
    st.wDay = WORD(day);
    st.wHour = WORD(hour);
    st.wMinute = WORD(minute);
    st.wSecond = WORD(second);
    return st;
}

void DatePickerTest::SetUp()
{
    ASSERT_TRUE(EnsureApplication());
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = u"DatePickerTestParent";
        ASSERT_NE(RegisterClassW(&wc), 0);
        registered = true;
    }
    screen_ = std::make_unique<QWidget>();
    screen_->resize(240, 320);
    screen_->show();
    SetScreenSize(240, 320);
    SetScreenWidget(screen_.get());
    parent_ = CreateWindowExW(0, u"DatePickerTestParent", u"Register Time", WS_VISIBLE, 0, 26, 240,
                              268, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    Notes().clear();
    OnNotify() = nullptr;
}

void DatePickerTest::TearDown()
{
    OnNotify() = nullptr;
    if (IsWindow(parent_))
        DestroyWindow(parent_);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetScreenWidget(nullptr);
    screen_.reset();
    Notes().clear();
}

HWND DatePickerTest::MakePicker(DWORD style, int x, int y, int width, int height)
{
    HWND picker = CreateWindowExW(0, DATETIMEPICK_CLASSW, u"", style, x, y, width, height, parent_,
                                  reinterpret_cast<HMENU>(uintptr_t(PICKER_ID)), nullptr, nullptr);
    EXPECT_NE(picker, nullptr);
    return picker;
}

LRESULT DatePickerTest::Set(HWND picker, const SYSTEMTIME& time)
{
    return SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&time));
}

LRESULT DatePickerTest::Get(HWND picker, SYSTEMTIME* time)
{
    return SendMessageW(picker, DTM_GETSYSTEMTIME, 0, LPARAM(time));
}

std::u16string DatePickerTest::Text(HWND picker)
{
    WCHAR buffer[64] = {};
    int n = GetWindowTextW(picker, buffer, 64);
    return std::u16string(buffer, size_t(n));
}

void DatePickerTest::Tap(QWidget* widget, const QPoint& point)
{
    QWidget* target = widget->childAt(point) ? widget->childAt(point) : widget;
    QPoint local = target == widget ? point : target->mapFrom(widget, point);
    QPointer<QWidget> alive(target);
    SendMouse(target, QEvent::MouseButtonPress, local, Qt::LeftButton);
    if (alive)
        SendMouse(target, QEvent::MouseButtonRelease, local, Qt::NoButton);
}

void DatePickerTest::TapButton(HWND picker)
{
    Tap(WidgetOf(picker), DatePickerButtonPoint(picker));
}

QWidget* DatePickerTest::CalendarWindow(HWND picker)
{
    QCalendarWidget* calendar = DatePickerOpenCalendar(picker);
    return calendar ? calendar->window() : nullptr;
}

void DatePickerTest::TapDay(HWND picker, int day)
{
    QCalendarWidget* calendar = DatePickerOpenCalendar(picker);
    ASSERT_NE(calendar, nullptr);
    auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(days, nullptr);
    QAbstractItemModel* model = days->model();
    // The first cell reading 1 is the first of the shown month; the header row comes first.
    for (int k = 0; k < 42; ++k) {
        QModelIndex cell = model->index(1 + k / 7, k % 7);
        if (model->data(cell, Qt::DisplayRole).toInt() != 1)
            continue;
        QModelIndex target = model->index(1 + (k + day - 1) / 7, (k + day - 1) % 7);
        ASSERT_EQ(model->data(target, Qt::DisplayRole).toInt(), day);
        Tap(days->viewport(), days->visualRect(target).center());
        return;
    }
    FAIL() << "no first of the month on the calendar";
}

void DatePickerTest::PressInCalendar(HWND picker, int key)
{
    QCalendarWidget* calendar = DatePickerOpenCalendar(picker);
    ASSERT_NE(calendar, nullptr);
    QWidget* target = QApplication::focusWidget();
    if (!target || !calendar->window()->isAncestorOf(target))
        target = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}
} // namespace date_picker_test
