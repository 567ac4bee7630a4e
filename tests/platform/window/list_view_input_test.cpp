// A person's taps and keys on the list view, and the notifications they send to the parent: the
// same ones, in the same order, within the same event, as the handheld's list sends.
#include "platform/window/list_view/list_view_access.h"
#include "platform/window/list_view/list_view_widget.h"
#include "tests/platform/window/list_view_fixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

using namespace list_view_test;

namespace
{
void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& at)
{
    Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A tap at a point of the list's client area, through its viewport as the screen delivers it.
void TapAt(HWND list, POINT client)
{
    ListViewWidget* widget = ListViewOf(list);
    ASSERT_NE(widget, nullptr);
    QPoint at = QPoint(client.x, client.y) - widget->ViewportOrigin();
    SendMouse(widget->viewport(), QEvent::MouseButtonPress, at);
    SendMouse(widget->viewport(), QEvent::MouseButtonRelease, at);
}

void PressKey(HWND list, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(WidgetOf(list), &press);
}

class ListViewTaps : public ListViewTest
{
  protected:
    HWND MakeFilledList(int rows, DWORD style = LIST_STYLE)
    {
        HWND list = MakeList(style);
        AddColumns(list);
        AddRows(list, rows);
        Notes().clear();
        return list;
    }
};
} // namespace

TEST_F(ListViewTaps, ATapSelectsAndFocusesTheRowThenClicks)
{
    HWND list = MakeFilledList(5);
    std::string reason;
    ASSERT_TRUE(TapListViewRow(list, 2, &reason)) << reason;
    auto notes = NotesOf({LVN_ITEMCHANGING, LVN_ITEMCHANGED, NM_CLICK});
    EXPECT_EQ(Describe(notes), "ITEMCHANGING(2,0,0->3) ITEMCHANGED(2,0,0->3) CLICK(2,1,0->0) ")
        << "the row's centre is in the Category column";
    RECT row = Rect(list, 2);
    EXPECT_GE(notes[2].point.y, row.top);
    EXPECT_LT(notes[2].point.y, row.bottom);
    EXPECT_EQ(notes[2].from, LIST_ID);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 2);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 2);
    EXPECT_EQ(GetFocus(), list) << "a tap gives the list the focus";
}

TEST_F(ListViewTaps, ATapOnAnotherRowMovesTheSelection)
{
    HWND list = MakeFilledList(5);
    ASSERT_TRUE(TapListViewRow(list, 1, nullptr));
    Notes().clear();
    ASSERT_TRUE(TapListViewRow(list, 3, nullptr));
    EXPECT_EQ(Describe(NotesOf({LVN_ITEMCHANGED, NM_CLICK})),
              "ITEMCHANGED(1,0,3->0) ITEMCHANGED(3,0,0->3) CLICK(3,1,0->0) ");
    // Tapping the selected row again changes nothing and still clicks.
    Notes().clear();
    ASSERT_TRUE(TapListViewRow(list, 3, nullptr));
    EXPECT_EQ(Describe(Notes()), "CLICK(3,1,0->0) ");
}

TEST_F(ListViewTaps, TheStatesAreSetBeforeTheClickIsTold)
{
    HWND list = MakeFilledList(4);
    int selectedAtClick = -2;
    OnNotify() = [&selectedAtClick](HWND, const NMHDR* header) -> LRESULT {
        if (header->code == NM_CLICK)
            selectedAtClick =
                int(SendMessageW(header->hwndFrom, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
        return 0;
    };
    ASSERT_TRUE(TapListViewRow(list, 3, nullptr));
    EXPECT_EQ(selectedAtClick, 3);
}

TEST_F(ListViewTaps, EachCellOfARowTellsItsColumn)
{
    HWND list = MakeFilledList(3);
    RECT row = Rect(list, 1);
    const struct {
        int x;
        int column;
    } taps[] = {{10, 0}, {100, 1}, {200, 2}};
    for (const auto& tap : taps) {
        Notes().clear();
        TapAt(list, POINT{tap.x, (row.top + row.bottom) / 2});
        auto clicks = NotesOf({NM_CLICK});
        ASSERT_EQ(clicks.size(), 1u);
        EXPECT_EQ(clicks[0].item, 1);
        EXPECT_EQ(clicks[0].subItem, tap.column) << "at x " << tap.x;
        EXPECT_EQ(clicks[0].point.x, tap.x);
    }
}

TEST_F(ListViewTaps, ATapBelowTheLastRowTakesTheSelectionAwayAndClicksNoRow)
{
    HWND list = MakeFilledList(3);
    Select(list, 1);
    Notes().clear();
    RECT last = Rect(list, 2);
    TapAt(list, POINT{40, last.bottom + 30});
    auto clicks = NotesOf({NM_CLICK});
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].item, -1);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), -1)
        << "the click finds no row selected";
    auto changes = NotesOf({LVN_ITEMCHANGED});
    ASSERT_EQ(changes.size(), 1u) << "row 1 is told it lost the selection";
    EXPECT_EQ(changes[0].item, 1);
    // Right of the last column is no row either.
    Notes().clear();
    RECT first = Rect(list, 0);
    TapAt(list, POINT{236, (first.top + first.bottom) / 2});
    EXPECT_EQ(Describe(NotesOf({NM_CLICK, LVN_ITEMCHANGED})), "CLICK(-1,-1,0->0) ");
}

TEST_F(ListViewTaps, ProgrammaticSelectionTellsTheChangeButNoClick)
{
    HWND list = MakeFilledList(3);
    Select(list, 2);
    EXPECT_EQ(NotesOf({LVN_ITEMCHANGED}).size(), 1u);
    EXPECT_TRUE(NotesOf({NM_CLICK, NM_RETURN}).empty());
}

TEST_F(ListViewTaps, ATapOnARowOutOfViewScrollsToItFirst)
{
    HWND list = MakeFilledList(60);
    ASSERT_TRUE(TapListViewRow(list, 45, nullptr));
    int top = TopIndex(list);
    int page = int(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_LE(top, 45);
    EXPECT_GT(top + page, 45);
    auto clicks = NotesOf({NM_CLICK});
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].item, 45);
    EXPECT_EQ(State(list, 45), UINT(LVIS_SELECTED | LVIS_FOCUSED));
}

TEST_F(ListViewTaps, AHeaderTapTellsItsColumn)
{
    HWND list = MakeFilledList(3);
    for (int column = 0; column < 3; ++column) {
        Notes().clear();
        std::string reason;
        ASSERT_TRUE(TapListViewHeader(list, column, &reason)) << reason;
        auto notes = Notes();
        ASSERT_EQ(notes.size(), 1u) << Describe(notes);
        EXPECT_EQ(notes[0].code, LVN_COLUMNCLICK);
        EXPECT_EQ(notes[0].item, -1);
        EXPECT_EQ(notes[0].subItem, column);
    }
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0) << "rows are not touched";
}

TEST_F(ListViewTaps, AHeaderThatDoesNotSortTellsNothing)
{
    HWND list = MakeFilledList(3, LIST_STYLE | LVS_NOSORTHEADER);
    ASSERT_TRUE(TapListViewHeader(list, 0, nullptr));
    EXPECT_TRUE(Notes().empty()) << Describe(Notes());
}

TEST_F(ListViewTaps, EnterTellsReturnAndArrowsMoveTheSelection)
{
    HWND list = MakeFilledList(4);
    SetFocus(list);
    PressKey(list, Qt::Key_Return);
    auto notes = Notes();
    ASSERT_EQ(notes.size(), 2u) << Describe(notes);
    EXPECT_EQ(notes[0].code, LVN_KEYDOWN);
    EXPECT_EQ(notes[0].key, VK_RETURN);
    EXPECT_EQ(notes[1].code, NM_RETURN);
    EXPECT_EQ(notes[1].from, LIST_ID);

    PressKey(list, Qt::Key_Down);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 0)
        << "the first arrow focuses the first row";
    PressKey(list, Qt::Key_Down);
    PressKey(list, Qt::Key_Down);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 2);
    PressKey(list, Qt::Key_Up);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 1);
    PressKey(list, Qt::Key_End);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 3);
    PressKey(list, Qt::Key_Down);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 3)
        << "the last row stays";
    EXPECT_TRUE(NotesOf({NM_CLICK}).empty());
}

TEST_F(ListViewTaps, KeySentAsAMessageActsAsAPress)
{
    HWND list = MakeFilledList(2);
    SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(NotesOf({NM_RETURN}).size(), 1u);
    RECT row = Rect(list, 1);
    Notes().clear();
    SendMessageW(list, WM_LBUTTONDOWN, 0, MAKELPARAM(20, row.top + 2));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, row.top + 2));
    EXPECT_EQ(Describe(NotesOf({LVN_ITEMCHANGED, NM_CLICK})),
              "ITEMCHANGED(1,0,0->3) CLICK(1,0,0->0) ");
}

TEST_F(ListViewTaps, ADoubleTapTellsADoubleClickInsteadOfASecondClick)
{
    HWND list = MakeFilledList(3);
    ListViewWidget* widget = ListViewOf(list);
    RECT row = Rect(list, 0);
    QPoint at = QPoint(20, row.top + 3) - widget->ViewportOrigin();
    SendMouse(widget->viewport(), QEvent::MouseButtonPress, at);
    SendMouse(widget->viewport(), QEvent::MouseButtonRelease, at);
    SendMouse(widget->viewport(), QEvent::MouseButtonDblClick, at);
    SendMouse(widget->viewport(), QEvent::MouseButtonRelease, at);
    EXPECT_EQ(Describe(NotesOf({NM_CLICK, NM_DBLCLK})), "CLICK(0,0,0->0) DBLCLK(0,0,0->0) ");
}

TEST_F(ListViewTaps, TapsThatCannotBeMadeAreRefusedWithAReason)
{
    HWND list = MakeFilledList(3);
    std::string reason;
    EXPECT_FALSE(TapListViewRow(list, 3, &reason));
    EXPECT_EQ(reason, "there is no row 3 (the list has 3 rows)");
    EXPECT_FALSE(TapListViewRow(list, -1, &reason));
    EXPECT_FALSE(TapListViewHeader(list, 3, &reason));
    EXPECT_EQ(reason, "there is no column 3 (the list has 3 columns)");
    EXPECT_FALSE(TapListViewRow(parent_, 0, &reason));
    EXPECT_EQ(reason, "the window is not a list view");

    EnableWindow(list, FALSE);
    EXPECT_FALSE(TapListViewRow(list, 0, &reason));
    EXPECT_EQ(reason, "the list view is disabled");
    EnableWindow(list, TRUE);
    ShowWindow(list, SW_HIDE);
    EXPECT_FALSE(TapListViewHeader(list, 0, &reason));
    EXPECT_EQ(reason, "the list view is hidden");
    ShowWindow(list, SW_SHOW);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(0, 0));
    EXPECT_FALSE(TapListViewHeader(list, 1, &reason));
    EXPECT_EQ(reason, "column 1 has no width");
    EXPECT_TRUE(Notes().empty()) << Describe(Notes());
}

TEST_F(ListViewTaps, AListWithoutHeadersRefusesHeaderTaps)
{
    HWND list = MakeFilledList(2, LIST_STYLE | LVS_NOCOLUMNHEADER);
    std::string reason;
    EXPECT_FALSE(TapListViewHeader(list, 0, &reason));
    EXPECT_EQ(reason, "the list view shows no column headers");
    RECT first = Rect(list, 0);
    EXPECT_LT(first.top, 3) << "rows start at the top";
}

TEST_F(ListViewTaps, TheParentMayDestroyTheListWhenTold)
{
    HWND list = MakeFilledList(3);
    OnNotify() = [](HWND, const NMHDR* header) -> LRESULT {
        if (header->code == NM_CLICK || header->code == LVN_COLUMNCLICK)
            DestroyWindow(header->hwndFrom);
        return 0;
    };
    ASSERT_TRUE(TapListViewRow(list, 1, nullptr));
    EXPECT_FALSE(IsWindow(list));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    HWND again = MakeFilledList(3);
    ASSERT_TRUE(TapListViewHeader(again, 0, nullptr));
    EXPECT_FALSE(IsWindow(again));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Destroyed while a row is being selected: the tap tells nothing more.
    HWND third = MakeFilledList(3);
    OnNotify() = [](HWND, const NMHDR* header) -> LRESULT {
        if (header->code == LVN_ITEMCHANGED)
            DestroyWindow(header->hwndFrom);
        return 0;
    };
    ASSERT_TRUE(TapListViewRow(third, 2, nullptr));
    EXPECT_FALSE(IsWindow(third));
    EXPECT_TRUE(NotesOf({NM_CLICK}).empty());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ListViewTaps, TheParentsWindowMayGoWithTheList)
{
    HWND list = MakeFilledList(3);
    OnNotify() = [](HWND parent, const NMHDR* header) -> LRESULT {
        if (header->code == NM_CLICK)
            DestroyWindow(parent);
        return 0;
    };
    ASSERT_TRUE(TapListViewRow(list, 0, nullptr));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_FALSE(IsWindow(parent_));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
