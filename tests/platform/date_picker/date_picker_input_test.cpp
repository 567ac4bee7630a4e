// A person's taps and keys on the date picker and its calendar, and the notifications they send
// to the parent; the picker destroyed by the parent from within a notification.
#include "tests/platform/date_picker/date_picker_fixture.h"

#include "platform/window/date_picker/date_picker_access.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QToolButton>

namespace date_picker_test
{
namespace
{
TEST_F(DatePickerTest, ATapOnTheButtonSaysDropDownBeforeTheCalendarShows)
{
    HWND picker = MakePicker();
    Set(picker, Date(2026, 12, 7));
    TapButton(picker);
    ASSERT_EQ(Codes(), std::vector<UINT>{DTN_DROPDOWN});
    EXPECT_EQ(Notes()[0].from, PICKER_ID);
    EXPECT_FALSE(Notes()[0].calendarShown) << "the parent hears of it before the calendar shows";
    QCalendarWidget* calendar = DatePickerOpenCalendar(picker);
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 12, 7));
    EXPECT_EQ(calendar->monthShown(), 12);
    EXPECT_EQ(calendar->yearShown(), 2026);
    EXPECT_EQ(GetFocus(), picker) << "the tap gives the picker the focus";
}

TEST_F(DatePickerTest, ATapOnTheDateItselfOpensNothing)
{
    HWND picker = MakePicker();
    Tap(WidgetOf(picker), QPoint(20, 11));
    EXPECT_TRUE(Notes().empty());
    EXPECT_EQ(DatePickerOpenCalendar(picker), nullptr);
}

TEST_F(DatePickerTest, TheCalendarFitsTheScreenBelowTheBox)
{
    HWND picker = MakePicker();
    TapButton(picker);
    QWidget* popup = CalendarWindow(picker);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->size(), QSize(180, 150));
    QRect onScreen(popup->mapToGlobal(QPoint(0, 0)) - screen_->mapToGlobal(QPoint(0, 0)),
                   popup->size());
    EXPECT_EQ(onScreen.top(), 26 + 32 + 22) << "just under the box";
    EXPECT_EQ(onScreen.left(), 240 - 180) << "pushed in from the right edge";
    EXPECT_TRUE(QRect(0, 0, 240, 320).contains(onScreen));
}

TEST_F(DatePickerTest, TheCalendarOpensAboveABoxNearTheBottom)
{
    HWND picker = MakePicker(PICKER_STYLE, 10, 230);
    TapButton(picker);
    QWidget* popup = CalendarWindow(picker);
    ASSERT_NE(popup, nullptr);
    QRect onScreen(popup->mapToGlobal(QPoint(0, 0)) - screen_->mapToGlobal(QPoint(0, 0)),
                   popup->size());
    EXPECT_EQ(onScreen.bottom() + 1, 26 + 230) << "it ends where the box begins";
    EXPECT_EQ(onScreen.left(), 10);
    EXPECT_TRUE(QRect(0, 0, 240, 320).contains(onScreen));
}

TEST_F(DatePickerTest, ATapOnADayChoosesItClosesTheCalendarAndTellsTheParent)
{
    HWND picker = MakePicker();
    Set(picker, Date(2026, 12, 7, 8, 30));
    TapButton(picker);
    TapDay(picker, 15);
    ASSERT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP, DTN_DATETIMECHANGE}));
    const Note& change = Notes()[2];
    EXPECT_EQ(change.flags, DWORD(GDT_VALID));
    EXPECT_EQ(change.st.wYear, 2026);
    EXPECT_EQ(change.st.wMonth, 12);
    EXPECT_EQ(change.st.wDay, 15);
    EXPECT_EQ(change.st.wDayOfWeek, 2) << "a Tuesday";
    EXPECT_FALSE(Notes()[1].calendarShown) << "the calendar is gone when it says so";
    EXPECT_EQ(DatePickerOpenCalendar(picker), nullptr);
    SYSTEMTIME got = {};
    ASSERT_EQ(Get(picker, &got), GDT_VALID);
    EXPECT_EQ(got.wDay, 15);
    EXPECT_EQ(got.wHour, 8) << "the time of day stays";
    EXPECT_EQ(got.wMinute, 30);
    EXPECT_EQ(Text(picker), u"15/12/2026");
}

TEST_F(DatePickerTest, TheMonthArrowsTurnTheCalendar)
{
    HWND picker = MakePicker();
    Set(picker, Date(2026, 12, 7));
    TapButton(picker);
    QCalendarWidget* calendar = DatePickerOpenCalendar(picker);
    ASSERT_NE(calendar, nullptr);
    auto* next = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_nextmonth"));
    auto* back = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_prevmonth"));
    ASSERT_NE(next, nullptr);
    ASSERT_NE(back, nullptr);
    Tap(next, next->rect().center());
    EXPECT_EQ(calendar->monthShown(), 1);
    EXPECT_EQ(calendar->yearShown(), 2027);
    Tap(back, back->rect().center());
    Tap(back, back->rect().center());
    EXPECT_EQ(calendar->monthShown(), 11);
    TapDay(picker, 3);
    SYSTEMTIME got = {};
    Get(picker, &got);
    EXPECT_EQ(got.wMonth, 11);
    EXPECT_EQ(got.wDay, 3);
}

TEST_F(DatePickerTest, TheYearIsTypedIntoTheCalendarsYearBox)
{
    struct Case {
        const char* what;
        int key;       // that ends the typing
        int yearShown; // then
    };
    const Case cases[] = {
        {"Enter sets the year and keeps the calendar open", Qt::Key_Return, 2150},
        {"Escape gives up the year only", Qt::Key_Escape, 2026},
    };
    for (const Case& c : cases) {
        Notes().clear();
        HWND picker = MakePicker();
        Set(picker, Date(2026, 12, 7));
        TapButton(picker);
        QCalendarWidget* calendar = DatePickerOpenCalendar(picker);
        ASSERT_NE(calendar, nullptr) << c.what;
        auto* year = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
        ASSERT_NE(year, nullptr) << c.what;
        Tap(year, year->rect().center());
        QWidget* box = QApplication::focusWidget();
        ASSERT_NE(box, nullptr) << c.what;
        ASSERT_EQ(box->objectName(), QStringLiteral("qt_calendar_yearedit")) << c.what;
        for (QChar digit : QStringLiteral("2150")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + digit.digitValue(), Qt::NoModifier,
                            QString(digit));
            QApplication::sendEvent(box, &press);
        }
        QKeyEvent end(QEvent::KeyPress, c.key, Qt::NoModifier);
        QApplication::sendEvent(box, &end);
        ASSERT_EQ(DatePickerOpenCalendar(picker), calendar) << c.what;
        EXPECT_EQ(calendar->yearShown(), c.yearShown) << c.what;
        EXPECT_EQ(calendar->monthShown(), 12) << c.what;
        EXPECT_EQ(Codes(), std::vector<UINT>{DTN_DROPDOWN}) << c.what << ": no day chosen yet";
        TapDay(picker, 25);
        SYSTEMTIME got = {};
        Get(picker, &got);
        EXPECT_EQ(got.wYear, c.yearShown) << c.what;
        EXPECT_EQ(got.wDay, 25) << c.what;
        DestroyWindow(picker);
    }
}

TEST_F(DatePickerTest, ChoosingTheSameDayClosesWithoutAChange)
{
    HWND picker = MakePicker();
    Set(picker, Date(2026, 12, 7));
    TapButton(picker);
    TapDay(picker, 7);
    EXPECT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP}));
}

TEST_F(DatePickerTest, EscapeClosesTheCalendarWithoutAChange)
{
    HWND picker = MakePicker();
    Set(picker, Date(2026, 12, 7));
    TapButton(picker);
    PressInCalendar(picker, Qt::Key_Right); // moves the calendar's selection only
    PressInCalendar(picker, Qt::Key_Escape);
    EXPECT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP}));
    EXPECT_EQ(DatePickerOpenCalendar(picker), nullptr);
    SYSTEMTIME got = {};
    Get(picker, &got);
    EXPECT_EQ(got.wDay, 7);
    // The next opening starts from the picker's date again.
    TapButton(picker);
    ASSERT_NE(DatePickerOpenCalendar(picker), nullptr);
    EXPECT_EQ(DatePickerOpenCalendar(picker)->selectedDate(), QDate(2026, 12, 7));
}

TEST_F(DatePickerTest, EnterInTheCalendarChoosesTheSelectedDay)
{
    HWND picker = MakePicker();
    Set(picker, Date(2026, 12, 7));
    TapButton(picker);
    PressInCalendar(picker, Qt::Key_Right);
    PressInCalendar(picker, Qt::Key_Return);
    EXPECT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP, DTN_DATETIMECHANGE}));
    SYSTEMTIME got = {};
    Get(picker, &got);
    EXPECT_EQ(got.wDay, 8);
}

TEST_F(DatePickerTest, ACalendarClosedFromOutsideSaysCloseUp)
{
    HWND picker = MakePicker();
    TapButton(picker);
    QWidget* popup = CalendarWindow(picker);
    ASSERT_NE(popup, nullptr);
    popup->close(); // as a tap outside the pop-up closes it
    EXPECT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP}));
    EXPECT_EQ(DatePickerOpenCalendar(picker), nullptr);
}

TEST_F(DatePickerTest, ADayOutsideTheRangeCannotBeChosen)
{
    HWND picker = MakePicker();
    Set(picker, Date(2026, 12, 15));
    SYSTEMTIME limits[2] = {Date(2026, 12, 10), Date(2026, 12, 20)};
    SendMessageW(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, LPARAM(limits));
    TapButton(picker);
    TapDay(picker, 5);
    SYSTEMTIME got = {};
    Get(picker, &got);
    EXPECT_EQ(got.wDay, 15);
    for (const Note& note : Notes())
        EXPECT_NE(note.code, UINT(DTN_DATETIMECHANGE));
}

TEST_F(DatePickerTest, ADisabledPickerTakesNoTap)
{
    HWND picker = MakePicker();
    EnableWindow(picker, FALSE);
    TapButton(picker);
    EXPECT_TRUE(Notes().empty());
    EXPECT_EQ(DatePickerOpenCalendar(picker), nullptr);
}

TEST_F(DatePickerTest, DisablingThePickerClosesItsCalendar)
{
    HWND picker = MakePicker();
    TapButton(picker);
    EnableWindow(picker, FALSE);
    EXPECT_EQ(Codes(), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP}));
    EXPECT_EQ(CalendarWindow(picker), nullptr);
}

TEST_F(DatePickerTest, TheArrowKeysMoveTheDayAndF4OpensTheCalendar)
{
    HWND picker = MakePicker();
    Set(picker, Date(2026, 12, 31));
    SetFocus(picker);
    SendMessageW(picker, WM_KEYDOWN, VK_UP, 0);
    ASSERT_EQ(Codes(), std::vector<UINT>{DTN_DATETIMECHANGE});
    EXPECT_EQ(Notes()[0].st.wYear, 2027);
    EXPECT_EQ(Notes()[0].st.wDay, 1);
    SendMessageW(picker, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Text(picker), u"31/12/2026");
    QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
    QApplication::sendEvent(WidgetOf(picker), &f4);
    EXPECT_NE(DatePickerOpenCalendar(picker), nullptr);
}

TEST_F(DatePickerTest, TheShowNoneBoxTurnsTheDateOffAndOn)
{
    HWND picker = MakePicker(PICKER_STYLE | DTS_SHOWNONE);
    Set(picker, Date(2026, 12, 7));
    Tap(WidgetOf(picker), QPoint(8, 11));
    ASSERT_EQ(Codes(), std::vector<UINT>{DTN_DATETIMECHANGE});
    EXPECT_EQ(Notes()[0].flags, DWORD(GDT_NONE));
    SYSTEMTIME got = {};
    EXPECT_EQ(Get(picker, &got), GDT_NONE);
    Tap(WidgetOf(picker), QPoint(8, 11));
    ASSERT_EQ(Notes().size(), 2u);
    EXPECT_EQ(Notes()[1].flags, DWORD(GDT_VALID));
    EXPECT_EQ(Notes()[1].st.wDay, 7);
    EXPECT_EQ(Get(picker, &got), GDT_VALID);
}

TEST_F(DatePickerTest, AnUpDownPickerCountsWithItsButtonAndHasNoCalendar)
{
    HWND picker = MakePicker(PICKER_STYLE | DTS_UPDOWN);
    Set(picker, Date(2026, 12, 7));
    EXPECT_FALSE(DatePickerHasCalendar(picker));
    QWidget* widget = WidgetOf(picker);
    QPoint middle = DatePickerButtonPoint(picker);
    Tap(widget, middle - QPoint(0, 5));
    EXPECT_EQ(Text(picker), u"08/12/2026");
    Tap(widget, middle + QPoint(0, 5));
    Tap(widget, middle + QPoint(0, 5));
    EXPECT_EQ(Text(picker), u"06/12/2026");
    EXPECT_EQ(Codes(),
              (std::vector<UINT>{DTN_DATETIMECHANGE, DTN_DATETIMECHANGE, DTN_DATETIMECHANGE}));
}

// The parent destroys the picker, or the whole dialog, while the picker tells it something.
struct Destruction {
    UINT code;
    bool wholeDialog;
    std::vector<UINT> heard;
};

TEST_F(DatePickerTest, ThePickerSurvivesItsDestructionFromANotification)
{
    const Destruction cases[] = {
        {DTN_DROPDOWN, false, {DTN_DROPDOWN}},
        {DTN_DROPDOWN, true, {DTN_DROPDOWN}},
        {DTN_CLOSEUP, false, {DTN_DROPDOWN, DTN_CLOSEUP}},
        {DTN_CLOSEUP, true, {DTN_DROPDOWN, DTN_CLOSEUP}},
        {DTN_DATETIMECHANGE, false, {DTN_DROPDOWN, DTN_CLOSEUP, DTN_DATETIMECHANGE}},
        {DTN_DATETIMECHANGE, true, {DTN_DROPDOWN, DTN_CLOSEUP, DTN_DATETIMECHANGE}},
    };
    for (const Destruction& c : cases) {
        if (!IsWindow(parent_))
            SetUp();
        Notes().clear();
        HWND picker = MakePicker();
        Set(picker, Date(2026, 12, 7));
        QPointer<QWidget> widget(WidgetOf(picker));
        OnNotify() = [&](HWND parent, const NMHDR* header) {
            if (header->code == c.code)
                DestroyWindow(c.wholeDialog ? parent : header->hwndFrom);
        };
        TapButton(picker);
        if (IsWindow(picker))
            TapDay(picker, 20);
        OnNotify() = nullptr;
        EXPECT_FALSE(IsWindow(picker)) << c.code;
        EXPECT_EQ(Codes(), c.heard) << c.code << (c.wholeDialog ? " dialog" : " picker");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(widget.isNull()) << "the widget is freed once its handlers are done";
    }
}
} // namespace
} // namespace date_picker_test
