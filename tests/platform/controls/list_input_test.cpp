// A person's taps and keys on drop-down lists and list boxes, and what they send: the same
// notifications, in the same order, within the same event, as the handheld's lists send.
#include "tests/platform/controls/controls_fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QListView>
#include <QPointer>

using namespace controls_test;

namespace
{
QComboBox* ComboOf(HWND list)
{
    return qobject_cast<QComboBox*>(WidgetOf(list));
}

QListView* ListOf(HWND list)
{
    return qobject_cast<QListView*>(WidgetOf(list));
}

QPoint EntryPoint(QAbstractItemView* view, int row)
{
    return view->visualRect(view->model()->index(row, 0)).center();
}

class DropDownTaps : public ControlsTest
{
  protected:
    HWND MakeMinutes()
    {
        HWND minutes = Make(WC_COMBOBOXW, nullptr, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 1009,
                            125, 60, 45, 110);
        for (LPCWSTR text : {u"00", u"10", u"20", u"30", u"40", u"50"})
            SendMessageW(minutes, CB_ADDSTRING, 0, LPARAM(text));
        return minutes;
    }
    // Opens the list with a tap on the box.
    QAbstractItemView* Open(HWND list)
    {
        QComboBox* combo = ComboOf(list);
        Tap(combo, combo->rect().center());
        return combo->view();
    }
};

TEST_F(DropDownTaps, TheClosedBoxIsOneLineHighAndTheListTakesTheRest)
{
    HWND minutes = MakeMinutes();
    RECT rect = {};
    GetWindowRect(minutes, &rect);
    EXPECT_EQ(rect.right - rect.left, 45);
    EXPECT_GE(rect.bottom - rect.top, 18);
    EXPECT_LE(rect.bottom - rect.top, 22);
    EXPECT_GE(ComboOf(minutes)->maxVisibleItems(), 5);
    MoveWindow(minutes, 125, 28, 45, 40, TRUE);
    GetWindowRect(minutes, &rect);
    EXPECT_LE(rect.bottom - rect.top, 22);
    EXPECT_LE(ComboOf(minutes)->maxVisibleItems(), 2);
    RECT dropped = {};
    EXPECT_TRUE(SendMessageW(minutes, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&dropped)));
    EXPECT_EQ(dropped.bottom - dropped.top, 40);
}

TEST_F(DropDownTaps, ATapOpensTheListAndATapOnAnEntryChoosesIt)
{
    HWND minutes = MakeMinutes();
    QAbstractItemView* view = Open(minutes);
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_DROPDOWN}));
    EXPECT_TRUE(SendMessageW(minutes, CB_GETDROPPEDSTATE, 0, 0));
    ASSERT_TRUE(view->isVisible());
    commands.clear();
    LRESULT seenSelection = -2;
    std::u16string seenText;
    onCommand = [&](const Command& command) {
        if (command.code == CBN_SELCHANGE) {
            seenSelection = SendMessageW(minutes, CB_GETCURSEL, 0, 0);
            seenText = Text(minutes);
        }
    };
    Tap(view->viewport(), EntryPoint(view, 3));
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(seenSelection, 3);
    EXPECT_EQ(seenText, u"30");
    EXPECT_FALSE(SendMessageW(minutes, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_FALSE(view->isVisible());
}

TEST_F(DropDownTaps, ChoosingTheSelectedEntryAgainChangesNothing)
{
    HWND minutes = MakeMinutes();
    SendMessageW(minutes, CB_SETCURSEL, 2, 0);
    QAbstractItemView* view = Open(minutes);
    commands.clear();
    Tap(view->viewport(), EntryPoint(view, 2));
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_SELENDOK, CBN_CLOSEUP}));
}

TEST_F(DropDownTaps, EscapeClosesTheListWithoutAChoice)
{
    HWND minutes = MakeMinutes();
    SendMessageW(minutes, CB_SETCURSEL, 1, 0);
    QAbstractItemView* view = Open(minutes);
    commands.clear();
    Key(view, Qt::Key_Down);
    Key(view, Qt::Key_Escape);
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_EQ(SendMessageW(minutes, CB_GETCURSEL, 0, 0), 1);
}

TEST_F(DropDownTaps, EnterInTheOpenListChoosesTheMarkedEntry)
{
    HWND minutes = MakeMinutes();
    QAbstractItemView* view = Open(minutes);
    view->setCurrentIndex(view->model()->index(4, 0));
    commands.clear();
    Key(view, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(Text(minutes), u"40");
}

TEST_F(DropDownTaps, CbShowDropDownOpensAndClosesTheList)
{
    HWND minutes = MakeMinutes();
    EXPECT_TRUE(SendMessageW(minutes, CB_SHOWDROPDOWN, TRUE, 0));
    EXPECT_TRUE(SendMessageW(minutes, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageW(minutes, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(SendMessageW(minutes, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

TEST_F(DropDownTaps, AListFilledAsItDropsDownShowsItsEntries)
{
    HWND category =
        Make(WC_COMBOBOXW, nullptr, CBS_DROPDOWNLIST | CBS_SORT, 1010, 75, 90, 158, 110);
    onCommand = [&](const Command& command) {
        if (command.code == CBN_DROPDOWN)
            SendMessageW(category, CB_ADDSTRING, 0, LPARAM(u"Job"));
    };
    QAbstractItemView* view = Open(category);
    ASSERT_TRUE(view->isVisible());
    onCommand = nullptr;
    Tap(view->viewport(), EntryPoint(view, 0));
    EXPECT_EQ(Text(category), u"Job");
}

TEST_F(DropDownTaps, KeysOnTheClosedBoxMoveTheSelection)
{
    HWND minutes = MakeMinutes();
    SetFocus(minutes);
    commands.clear();
    Key(ComboOf(minutes), Qt::Key_Down);
    Key(ComboOf(minutes), Qt::Key_Down);
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_SELCHANGE, CBN_SELCHANGE}));
    EXPECT_EQ(SendMessageW(minutes, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Text(minutes), u"10");
}

TEST_F(DropDownTaps, TheProgramsSelectionSendsNothingAndShowsAsTheText)
{
    HWND minutes = MakeMinutes();
    EXPECT_EQ(Text(minutes), u"");
    EXPECT_EQ(SendMessageW(minutes, CB_SETCURSEL, 5, 0), 5);
    EXPECT_EQ(Text(minutes), u"50");
    EXPECT_EQ(SendMessageW(minutes, WM_GETTEXTLENGTH, 0, 0), 2);
    EXPECT_EQ(SendMessageW(minutes, CB_SETCURSEL, 6, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(minutes, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Text(minutes), u"");
    EXPECT_EQ(SendMessageW(minutes, WM_SETTEXT, 0, LPARAM(u"20")), TRUE);
    EXPECT_EQ(SendMessageW(minutes, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(minutes, WM_SETTEXT, 0, LPARAM(u"25")), CB_ERR);
    EXPECT_EQ(SendMessageW(minutes, CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(commands.empty());
}

TEST_F(DropDownTaps, FocusNotifications)
{
    HWND hours = Make(WC_COMBOBOXW, nullptr, CBS_DROPDOWNLIST, 1008, 75, 60, 45, 110);
    HWND minutes = MakeMinutes();
    SetFocus(hours);
    SetFocus(minutes);
    EXPECT_EQ(CodesOf(1008), std::vector<WORD>({CBN_SETFOCUS, CBN_KILLFOCUS}));
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_SETFOCUS}));
}

TEST_F(DropDownTaps, TheBoxKeepsTheFocusWhileItsListIsDown)
{
    HWND hours = Make(WC_COMBOBOXW, nullptr, CBS_DROPDOWNLIST, 1008, 75, 60, 45, 110);
    HWND minutes = MakeMinutes();
    SetFocus(minutes);
    QAbstractItemView* view = Open(minutes);
    EXPECT_EQ(GetFocus(), minutes) << "the open list is the box's own";
    Tap(view->viewport(), EntryPoint(view, 3));
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK,
                                                CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(GetFocus(), minutes);
    commands.clear();
    SetFocus(hours);
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_KILLFOCUS})) << "the focus leaves it now";
    EXPECT_EQ(CodesOf(1008), std::vector<WORD>({CBN_SETFOCUS}));
}

TEST_F(DropDownTaps, AListClosedByItsOwnChoiceIsNotTouchedAfterwards)
{
    HWND minutes = MakeMinutes();
    QPointer<QWidget> widget = WidgetOf(minutes);
    QAbstractItemView* view = Open(minutes);
    QPointer<QWidget> viewport = view->viewport();
    onCommand = [&](const Command& command) {
        if (command.code == CBN_SELENDOK)
            DestroyWindow(parent_);
    };
    Tap(viewport, EntryPoint(view, 1));
    EXPECT_FALSE(IsWindow(minutes));
    EXPECT_EQ(CodesOf(1009), std::vector<WORD>({CBN_DROPDOWN, CBN_SELENDOK}));
    Settle();
    EXPECT_TRUE(widget.isNull());
}

class ListBoxTaps : public ControlsTest
{
  protected:
    HWND MakeCategories(DWORD style = LBS_NOTIFY | LBS_SORT | WS_BORDER | WS_VSCROLL)
    {
        HWND list = Make(WC_LISTBOXW, nullptr, style, 1041, 6, 26, 228, 96);
        for (LPCWSTR text : {u"Sport", u"Job", u"Reading"})
            SendMessageW(list, LB_ADDSTRING, 0, LPARAM(text));
        return list;
    }
};

TEST_F(ListBoxTaps, ATapOnAnEntrySelectsItAndTellsTheParent)
{
    HWND list = MakeCategories();
    QListView* view = ListOf(list);
    LRESULT seen = -2;
    onCommand = [&](const Command& command) {
        if (command.code == LBN_SELCHANGE)
            seen = SendMessageW(list, LB_GETCURSEL, 0, 0);
    };
    Tap(view->viewport(), EntryPoint(view, 1));
    EXPECT_EQ(seen, 1);
    std::vector<WORD> codes = CodesOf(1041);
    codes.erase(std::remove_if(codes.begin(), codes.end(),
                               [](WORD c) { return c == LBN_SETFOCUS || c == LBN_KILLFOCUS; }),
                codes.end());
    EXPECT_EQ(codes, std::vector<WORD>({LBN_SELCHANGE}));
    // The same entry again, and below the last entry: nothing changes.
    commands.clear();
    Tap(view->viewport(), EntryPoint(view, 1));
    Tap(view->viewport(), QPoint(5, view->viewport()->height() - 2));
    EXPECT_TRUE(CodesOf(1041).empty());
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
}

TEST_F(ListBoxTaps, WithoutNotifyATapSelectsSilently)
{
    HWND list = MakeCategories(LBS_SORT | WS_BORDER);
    QListView* view = ListOf(list);
    Tap(view->viewport(), EntryPoint(view, 2));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    for (WORD code : CodesOf(1041))
        EXPECT_TRUE(code == LBN_SETFOCUS || code == LBN_KILLFOCUS) << code;
}

TEST_F(ListBoxTaps, ADoubleTapTellsOfTheDoubleClick)
{
    HWND list = MakeCategories();
    SetFocus(list);
    commands.clear();
    QListView* view = ListOf(list);
    DoubleTap(view->viewport(), EntryPoint(view, 0));
    EXPECT_EQ(CodesOf(1041), std::vector<WORD>({LBN_SELCHANGE, LBN_DBLCLK}));
}

TEST_F(ListBoxTaps, ArrowKeysMoveTheSelection)
{
    HWND list = MakeCategories();
    SetFocus(list);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    commands.clear();
    Key(ListOf(list), Qt::Key_Down);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(CodesOf(1041), std::vector<WORD>({LBN_SELCHANGE}));
    Key(ListOf(list), Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(CodesOf(1041), std::vector<WORD>({LBN_SELCHANGE}));
}

TEST_F(ListBoxTaps, TheTopEntryFollowsSetTopIndex)
{
    HWND list =
        Make(WC_LISTBOXW, nullptr, LBS_NOTIFY | WS_VSCROLL | WS_BORDER, 1041, 6, 26, 228, 60);
    for (int i = 0; i < 30; ++i) {
        std::u16string text = u"entry " + std::u16string(1, char16_t(u'A' + i));
        SendMessageW(list, LB_ADDSTRING, 0, LPARAM(text.c_str()));
    }
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_SETTOPINDEX, 5, 0), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 5);
    EXPECT_EQ(SendMessageW(list, LB_SETTOPINDEX, 30, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETTOPINDEX, WPARAM(-1), 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 5);
    // The selection is brought into view.
    SendMessageW(list, LB_SETCURSEL, 25, 0);
    int top = int(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_GT(top, 5);
    EXPECT_LE(top, 25);
    EXPECT_EQ(SendMessageW(list, LB_GETSEL, 25, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_GETSEL, 24, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETSEL, 30, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), LB_ERR);
}

TEST_F(ListBoxTaps, AListClosedByItsOwnSelectionIsNotTouchedAfterwards)
{
    HWND list = MakeCategories();
    QPointer<QWidget> widget = WidgetOf(list);
    QListView* view = ListOf(list);
    onCommand = [&](const Command& command) {
        if (command.code == LBN_SELCHANGE)
            DestroyWindow(list);
    };
    DoubleTap(view->viewport(), EntryPoint(view, 2));
    EXPECT_FALSE(IsWindow(list));
    Settle();
    EXPECT_TRUE(widget.isNull());
}
} // namespace
