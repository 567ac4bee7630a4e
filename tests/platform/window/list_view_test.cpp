// The list view's messages: columns, items and subitems, states and the search for items, with
// the notifications each sends and the failures bad input gets.
#include "tests/platform/window/list_view_fixture.h"

#include <QAbstractItemView>
#include <QCoreApplication>

using namespace list_view_test;

namespace
{
LVCOLUMNW Column(UINT mask, LPWSTR text = nullptr, int width = 0, int format = 0, int image = 0)
{
    LVCOLUMNW column = {};
    column.mask = mask;
    column.pszText = text;
    column.cx = width;
    column.fmt = format;
    column.iImage = image;
    return column;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, const void* lParam)
{
    return SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(lParam));
}
} // namespace

TEST_F(ListViewTest, InsertedColumnsReadBackAsGiven)
{
    HWND list = MakeList();
    LVCOLUMNW date = Column(LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_IMAGE,
                            const_cast<LPWSTR>(u"Date"), 88, LVCFMT_LEFT | LVCFMT_IMAGE, 2);
    date.iSubItem = 0;
    EXPECT_EQ(Send(list, LVM_INSERTCOLUMNW, 0, &date), 0);
    LVCOLUMNW time = Column(LVCF_WIDTH | LVCF_TEXT, const_cast<LPWSTR>(u"Time"), 55);
    // An index past the last column appends.
    EXPECT_EQ(Send(list, LVM_INSERTCOLUMNW, 7, &time), 1);
    LVCOLUMNW category = Column(LVCF_WIDTH | LVCF_TEXT, const_cast<LPWSTR>(u"Category"), 90);
    EXPECT_EQ(Send(list, LVM_INSERTCOLUMNW, 1, &category), 1);

    WCHAR text[32] = {};
    LVCOLUMNW read = Column(LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_IMAGE, text);
    read.cchTextMax = 32;
    ASSERT_TRUE(Send(list, LVM_GETCOLUMNW, 0, &read));
    EXPECT_EQ(std::u16string(text), u"Date");
    EXPECT_EQ(read.cx, 88);
    EXPECT_EQ(read.fmt, LVCFMT_LEFT | LVCFMT_IMAGE);
    EXPECT_EQ(read.iSubItem, 0);
    EXPECT_EQ(read.iImage, 2);
    ASSERT_TRUE(Send(list, LVM_GETCOLUMNW, 1, &read));
    EXPECT_EQ(std::u16string(text), u"Category");
    ASSERT_TRUE(Send(list, LVM_GETCOLUMNW, 2, &read));
    EXPECT_EQ(std::u16string(text), u"Time");
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0), 55);
}

TEST_F(ListViewTest, ColumnImageAloneChangesOnlyTheImage)
{
    HWND list = MakeList();
    LVCOLUMNW date = Column(LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_IMAGE,
                            const_cast<LPWSTR>(u"Date"), 88, LVCFMT_LEFT | LVCFMT_IMAGE, 2);
    ASSERT_EQ(Send(list, LVM_INSERTCOLUMNW, 0, &date), 0);
    LVCOLUMNW image = Column(LVCF_IMAGE);
    image.iImage = 0;
    ASSERT_TRUE(Send(list, LVM_SETCOLUMNW, 0, &image));

    LVCOLUMNW only = Column(LVCF_IMAGE);
    only.iImage = -7;
    ASSERT_TRUE(Send(list, LVM_GETCOLUMNW, 0, &only));
    EXPECT_EQ(only.iImage, 0);
    WCHAR text[16] = {};
    LVCOLUMNW rest = Column(LVCF_FMT | LVCF_WIDTH | LVCF_TEXT, text);
    rest.cchTextMax = 16;
    ASSERT_TRUE(Send(list, LVM_GETCOLUMNW, 0, &rest));
    EXPECT_EQ(std::u16string(text), u"Date");
    EXPECT_EQ(rest.cx, 88);
    EXPECT_EQ(rest.fmt, LVCFMT_LEFT | LVCFMT_IMAGE);
}

TEST_F(ListViewTest, ColumnTextIsCutToTheBufferAndWidthsChange)
{
    HWND list = MakeList();
    AddColumns(list);
    WCHAR text[4] = {u'x', u'x', u'x', u'x'};
    LVCOLUMNW read = Column(LVCF_TEXT, text);
    read.cchTextMax = 4;
    ASSERT_TRUE(Send(list, LVM_GETCOLUMNW, 1, &read));
    EXPECT_EQ(std::u16string(text), u"Cat");

    LVCOLUMNW caption = Column(LVCF_TEXT | LVCF_WIDTH, const_cast<LPWSTR>(u"Kind"), 70);
    ASSERT_TRUE(Send(list, LVM_SETCOLUMNW, 1, &caption));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 70);
    EXPECT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(40, 0)));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0), 40);
    ASSERT_TRUE(Send(list, LVM_GETCOLUMNW, 1, &read));
    EXPECT_EQ(std::u16string(text), u"Kin");
}

TEST_F(ListViewTest, ColumnsFitTheirCellsOrCaptionOnRequest)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRow(list, 0, u"1", u"A category of some length", u"1,00");
    ASSERT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(LVSCW_AUTOSIZE, 0)));
    int fitted = int(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_GT(fitted, 90);
    ASSERT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0)));
    EXPECT_LT(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), fitted);
    // The last column takes the rest of the list's width.
    ASSERT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(60, 0)));
    ASSERT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0)));
    EXPECT_GE(SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0), 240 - 2 - 13 - 88 - 60);
}

TEST_F(ListViewTest, BadColumnRequestsFailAndChangeNothing)
{
    HWND list = MakeList();
    AddColumns(list);
    WCHAR text[8];
    LVCOLUMNW good = Column(LVCF_WIDTH | LVCF_TEXT, const_cast<LPWSTR>(u"X"), 10);
    LVCOLUMNW negativeWidth = Column(LVCF_WIDTH, nullptr, -5);
    LVCOLUMNW callback = Column(LVCF_TEXT, LPSTR_TEXTCALLBACKW);
    LVCOLUMNW noBuffer = Column(LVCF_TEXT, nullptr);
    noBuffer.cchTextMax = 8;
    LVCOLUMNW noRoom = Column(LVCF_TEXT, text);
    noRoom.cchTextMax = 0;
    const struct {
        const char* what;
        UINT message;
        WPARAM index;
        const LVCOLUMNW* column;
        LRESULT expected;
    } cases[] = {
        {"insert without a column", LVM_INSERTCOLUMNW, 0, nullptr, -1},
        {"insert at a negative index", LVM_INSERTCOLUMNW, WPARAM(-2), &good, -1},
        {"insert of a negative width", LVM_INSERTCOLUMNW, 0, &negativeWidth, -1},
        {"insert of a callback text", LVM_INSERTCOLUMNW, 0, &callback, -1},
        {"get without a column", LVM_GETCOLUMNW, 0, nullptr, FALSE},
        {"get of no column", LVM_GETCOLUMNW, 3, &good, FALSE},
        {"get of a negative column", LVM_GETCOLUMNW, WPARAM(-1), &good, FALSE},
        {"get text without a buffer", LVM_GETCOLUMNW, 0, &noBuffer, FALSE},
        {"get text into no room", LVM_GETCOLUMNW, 0, &noRoom, FALSE},
        {"set of no column", LVM_SETCOLUMNW, 3, &good, FALSE},
        {"set of a negative width", LVM_SETCOLUMNW, 0, &negativeWidth, FALSE},
        {"set of a callback text", LVM_SETCOLUMNW, 0, &callback, FALSE},
    };
    for (const auto& c : cases) {
        LVCOLUMNW copy = c.column ? *c.column : LVCOLUMNW{};
        EXPECT_EQ(Send(list, c.message, c.index, c.column ? &copy : nullptr), c.expected) << c.what;
    }
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 3, 0), 0);
    EXPECT_FALSE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(20, 0)));
    EXPECT_FALSE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(-3, 0)));
    EXPECT_FALSE(SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) << "the first column stays";
    const int widths[] = {88, 90, 55};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW read = Column(LVCF_TEXT | LVCF_WIDTH, text);
        read.cchTextMax = 8;
        ASSERT_TRUE(Send(list, LVM_GETCOLUMNW, WPARAM(i), &read));
        EXPECT_EQ(read.cx, widths[i]);
    }
}

TEST_F(ListViewTest, DeletingAColumnTakesItsCellsAlong)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRow(list, 0, u"1.1.2024", u"Job", u"1,30");
    ASSERT_TRUE(SendMessageW(list, LVM_DELETECOLUMN, 1, 0));
    EXPECT_EQ(CellText(list, 0, 0), u"1.1.2024");
    EXPECT_EQ(CellText(list, 0, 1), u"1,30");
    EXPECT_EQ(CellText(list, 0, 2), u"") << "there is no third column any more";
}

TEST_F(ListViewTest, AColumnInsertedBetweenOthersMovesTheirCells)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRow(list, 0, u"1.1.2024", u"Job", u"1,30");
    LVCOLUMNW memo = Column(LVCF_TEXT | LVCF_WIDTH, const_cast<LPWSTR>(u"Memo"), 40);
    ASSERT_EQ(Send(list, LVM_INSERTCOLUMNW, 1, &memo), 1);
    EXPECT_EQ(CellText(list, 0, 0), u"1.1.2024");
    EXPECT_EQ(CellText(list, 0, 1), u"");
    EXPECT_EQ(CellText(list, 0, 2), u"Job");
    EXPECT_EQ(CellText(list, 0, 3), u"1,30");
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0), 90);
    // A column put first leaves each row's own text in the first cell.
    ASSERT_EQ(Send(list, LVM_INSERTCOLUMNW, 0, &memo), 0);
    EXPECT_EQ(CellText(list, 0, 0), u"1.1.2024");
    EXPECT_EQ(CellText(list, 0, 3), u"Job");
}

TEST_F(ListViewTest, ColumnsStayAsTheyWereWhenTheRowsGo)
{
    HWND list = MakeList();
    AddColumns(list);
    LVCOLUMNW sorted = Column(LVCF_FMT | LVCF_IMAGE, nullptr, 0, LVCFMT_LEFT | LVCFMT_IMAGE, 1);
    ASSERT_TRUE(Send(list, LVM_SETCOLUMNW, 0, &sorted));
    AddRows(list, 10);
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
    const int widths[] = {88, 90, 55};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, WPARAM(i), 0), widths[i]);
    LVCOLUMNW read = Column(LVCF_FMT | LVCF_IMAGE);
    ASSERT_TRUE(Send(list, LVM_GETCOLUMNW, 0, &read));
    EXPECT_EQ(read.iImage, 1);
    EXPECT_EQ(read.fmt, LVCFMT_LEFT | LVCFMT_IMAGE);
}

TEST_F(ListViewTest, ItemsAreInsertedAppendedAndReadBack)
{
    HWND list = MakeList();
    AddColumns(list);
    EXPECT_EQ(AddRow(list, 0, u"b", u"Job", u"1,00"), 0);
    EXPECT_EQ(AddRow(list, 50, u"d", u"Sport", u"2,00"), 1) << "beyond the count appends";
    EXPECT_EQ(AddRow(list, 0, u"a", u"Reading", u"0,10"), 0);
    EXPECT_EQ(AddRow(list, 2, u"c", u"Job", u"0,20"), 2);
    EXPECT_EQ(Count(list), 4);
    const char16_t* dates[] = {u"a", u"b", u"c", u"d"};
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(CellText(list, row, 0), dates[row]);
    EXPECT_EQ(CellText(list, 3, 1), u"Sport");
    EXPECT_EQ(CellText(list, 2, 2), u"0,20");

    WCHAR text[16] = {};
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = 1;
    item.pszText = text;
    item.cchTextMax = 16;
    item.stateMask = 0xFFFF;
    item.iImage = -9;
    ASSERT_TRUE(Send(list, LVM_GETITEMW, 0, &item));
    EXPECT_EQ(std::u16string(text), u"b");
    EXPECT_EQ(item.iImage, 4);
    EXPECT_EQ(item.lParam, 0);
    EXPECT_EQ(item.state, 0u);
}

TEST_F(ListViewTest, SetItemChangesTextPictureDataAndSubitems)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRow(list, 0, u"1.1.2024", u"Job", u"1,00", 4);
    LVITEMW change = {};
    change.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    change.iItem = 0;
    change.pszText = const_cast<LPWSTR>(u"2.1.2024");
    change.iImage = 3;
    change.lParam = 77;
    ASSERT_TRUE(Send(list, LVM_SETITEMW, 0, &change));
    LVITEMW subitem = {};
    subitem.mask = LVIF_TEXT;
    subitem.iItem = 0;
    subitem.iSubItem = 2;
    subitem.pszText = const_cast<LPWSTR>(u"0:05");
    ASSERT_TRUE(Send(list, LVM_SETITEMW, 0, &subitem));

    EXPECT_EQ(CellText(list, 0, 0), u"2.1.2024");
    EXPECT_EQ(CellText(list, 0, 1), u"Job");
    EXPECT_EQ(CellText(list, 0, 2), u"0:05");
    LVITEMW read = {};
    read.mask = LVIF_IMAGE | LVIF_PARAM;
    ASSERT_TRUE(Send(list, LVM_GETITEMW, 0, &read));
    EXPECT_EQ(read.iImage, 3);
    EXPECT_EQ(read.lParam, 77);
    // The item's own change is told; the subitem's is not.
    auto changed = NotesOf({LVN_ITEMCHANGING, LVN_ITEMCHANGED});
    ASSERT_EQ(changed.size(), 2u) << Describe(changed);
    EXPECT_EQ(changed[1].changed, UINT(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM));
    EXPECT_EQ(changed[1].param, 77);
}

TEST_F(ListViewTest, ItemTextIsCutToTheBufferAndCounted)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRow(list, 0, u"12.12.2024", u"Reading");
    WCHAR buffer[5] = {};
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = buffer;
    item.cchTextMax = 5;
    EXPECT_EQ(Send(list, LVM_GETITEMTEXTW, 0, &item), 4);
    EXPECT_EQ(std::u16string(buffer), u"Read");
    item.iSubItem = 0;
    item.cchTextMax = 1;
    EXPECT_EQ(Send(list, LVM_GETITEMTEXTW, 0, &item), 0);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(ListViewTest, BadItemRequestsFailAndChangeNothing)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRow(list, 0, u"only", u"Job", u"1,00");
    WCHAR buffer[8];
    LVITEMW good = {};
    good.mask = LVIF_TEXT;
    good.pszText = const_cast<LPWSTR>(u"new");
    auto with = [&good](int row, int subItem, LPWSTR text = nullptr) {
        LVITEMW item = good;
        item.iItem = row;
        item.iSubItem = subItem;
        if (text)
            item.pszText = text;
        return item;
    };
    LVITEMW noBuffer = with(0, 0);
    noBuffer.pszText = nullptr;
    noBuffer.cchTextMax = 8;
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        LVITEMW item;
        bool hasItem;
        LRESULT expected;
    } cases[] = {
        {"insert without an item", LVM_INSERTITEMW, 0, {}, false, -1},
        {"insert of a subitem", LVM_INSERTITEMW, 0, with(0, 1), true, -1},
        {"insert at a negative row", LVM_INSERTITEMW, 0, with(-1, 0), true, -1},
        {"insert of a callback text", LVM_INSERTITEMW, 0, with(0, 0, LPSTR_TEXTCALLBACKW), true,
         -1},
        {"set without an item", LVM_SETITEMW, 0, {}, false, FALSE},
        {"set of no row", LVM_SETITEMW, 0, with(1, 0), true, FALSE},
        {"set of a negative row", LVM_SETITEMW, 0, with(-1, 0), true, FALSE},
        {"set of no column", LVM_SETITEMW, 0, with(0, 3), true, FALSE},
        {"set of a callback text", LVM_SETITEMW, 0, with(0, 0, LPSTR_TEXTCALLBACKW), true, FALSE},
        {"get of no row", LVM_GETITEMW, 0, with(5, 0, buffer), true, FALSE},
        {"get text without a buffer", LVM_GETITEMW, 0, noBuffer, true, FALSE},
        {"set text of no row", LVM_SETITEMTEXTW, 1, with(0, 0), true, FALSE},
        {"set text of no column", LVM_SETITEMTEXTW, 0, with(0, 4), true, FALSE},
        {"set text of row -1", LVM_SETITEMTEXTW, WPARAM(-1), with(0, 0), true, FALSE},
        {"get text of no row", LVM_GETITEMTEXTW, 3, with(0, 0, buffer), true, 0},
        {"get text of no column", LVM_GETITEMTEXTW, 0, with(0, 3, buffer), true, 0},
        {"delete of no row", LVM_DELETEITEM, 1, {}, false, FALSE},
        {"delete of row -1", LVM_DELETEITEM, WPARAM(-1), {}, false, FALSE},
        {"state of no row", LVM_SETITEMSTATE, 2, with(0, 0), true, FALSE},
        {"state without an item", LVM_SETITEMSTATE, 0, {}, false, FALSE},
    };
    for (auto c : cases) {
        c.item.cchTextMax = c.item.pszText == buffer ? 8 : c.item.cchTextMax;
        EXPECT_EQ(Send(list, c.message, c.wParam, c.hasItem ? &c.item : nullptr), c.expected)
            << c.what;
    }
    EXPECT_EQ(Count(list), 1);
    EXPECT_EQ(CellText(list, 0, 0), u"only");
    EXPECT_EQ(CellText(list, 0, 1), u"Job");
    EXPECT_EQ(State(list, 5), 0u);
}

TEST_F(ListViewTest, InsertingAndDeletingAreToldToTheParent)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 3);
    auto inserted = NotesOf({LVN_INSERTITEM});
    ASSERT_EQ(inserted.size(), 3u);
    EXPECT_EQ(inserted[2].item, 2);
    EXPECT_EQ(inserted[2].from, LIST_ID);

    Notes().clear();
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEITEM, 1, 0));
    auto deleted = NotesOf({LVN_DELETEITEM});
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].item, 1);
    EXPECT_EQ(CellText(list, 1, 0), u"row 2") << "the rows after it move up";

    Notes().clear();
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(Count(list), 0);
    EXPECT_EQ(Describe(Notes()), "DELETEALLITEMS(-1,0,0->0) DELETEITEM(0,0,0->0) "
                                 "DELETEITEM(1,0,0->0) ");

    // A parent that answers TRUE is not told of each row.
    AddRows(list, 2);
    Notes().clear();
    OnNotify() = [](HWND, const NMHDR* header) -> LRESULT {
        return header->code == LVN_DELETEALLITEMS;
    };
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(Describe(Notes()), "DELETEALLITEMS(-1,0,0->0) ");
    EXPECT_EQ(Count(list), 0);
    EXPECT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0)) << "an empty list too";
}

TEST_F(ListViewTest, SelectingARowTakesTheSelectionAndFocusFromTheOther)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 4);
    Select(list, 1);
    Notes().clear();
    // As the program selects a row: state selected and focused under the mask 15.
    Select(list, 3, LVIS_SELECTED | LVIS_FOCUSED, 15);
    auto changes = NotesOf({LVN_ITEMCHANGING, LVN_ITEMCHANGED, NM_CLICK});
    EXPECT_EQ(Describe(changes), "ITEMCHANGING(1,0,3->0) ITEMCHANGED(1,0,3->0) "
                                 "ITEMCHANGING(3,0,0->3) ITEMCHANGED(3,0,0->3) ");
    EXPECT_EQ(changes[3].changed, UINT(LVIF_STATE));
    EXPECT_EQ(State(list, 1), 0u);
    EXPECT_EQ(State(list, 3), UINT(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);

    Notes().clear();
    Select(list, 3, LVIS_SELECTED | LVIS_FOCUSED, 15);
    EXPECT_TRUE(Notes().empty()) << "nothing changed, nothing told: " << Describe(Notes());
}

TEST_F(ListViewTest, StateOfAllRowsAndOfMaskedBits)
{
    HWND list = MakeList(LIST_STYLE & ~DWORD(LVS_SINGLESEL));
    AddColumns(list);
    AddRows(list, 5);
    Select(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 5) << "a list of many selected";
    Select(list, 2, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_EQ(State(list, 2), UINT(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(State(list, 2, LVIS_FOCUSED), UINT(LVIS_FOCUSED));
    Select(list, -1, 0, LVIS_SELECTED);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_EQ(State(list, 2), UINT(LVIS_FOCUSED)) << "bits outside the mask stay";
    EXPECT_EQ(NotesOf({LVN_ITEMCHANGED}).size(), 5u + 1u + 5u);
}

TEST_F(ListViewTest, ASingleSelectionListKeepsOneRowSelected)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 3);
    Select(list, -1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(State(list, 2), UINT(LVIS_SELECTED));
    LVITEMW inserted = {};
    inserted.mask = LVIF_TEXT | LVIF_STATE;
    inserted.pszText = const_cast<LPWSTR>(u"new");
    inserted.state = LVIS_SELECTED | LVIS_FOCUSED;
    inserted.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ASSERT_EQ(Send(list, LVM_INSERTITEMW, 0, &inserted), 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(State(list, 0), UINT(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(State(list, 3), 0u) << "the row selected before, moved down by the insertion";
}

TEST_F(ListViewTest, AParentCanRefuseAStateChange)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 2);
    OnNotify() = [](HWND, const NMHDR* header) -> LRESULT {
        return header->code == LVN_ITEMCHANGING;
    };
    Select(list, 1);
    EXPECT_EQ(State(list, 1), 0u);
    EXPECT_TRUE(NotesOf({LVN_ITEMCHANGED}).empty());
}

TEST_F(ListViewTest, NextItemFindsRowsByState)
{
    HWND list = MakeList(LIST_STYLE & ~DWORD(LVS_SINGLESEL));
    AddColumns(list);
    AddRows(list, 6);
    Select(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    Select(list, 4, LVIS_SELECTED, LVIS_SELECTED);
    Select(list, 4, LVIS_FOCUSED, LVIS_FOCUSED);
    const struct {
        int start;
        UINT flags;
        int expected;
    } cases[] = {
        {-1, LVNI_SELECTED, 1}, {1, LVNI_SELECTED, 4},   {4, LVNI_SELECTED, -1},
        {-1, LVNI_FOCUSED, 4},  {4, LVNI_FOCUSED, -1},   {-1, LVNI_SELECTED | LVNI_FOCUSED, 4},
        {-1, LVNI_ALL, 0},      {2, LVNI_ALL, 3},        {5, LVNI_ALL, -1},
        {3, LVNI_BELOW, 4},     {3, LVNI_ABOVE, 2},      {5, LVNI_ABOVE | LVNI_SELECTED, 4},
        {0, LVNI_ABOVE, -1},    {-1, LVNI_ABOVE, -1},    {2, LVNI_TORIGHT, -1},
        {6, LVNI_ALL, -1},      {-2, LVNI_SELECTED, -1}, {-1, LVNI_CUT, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(c.start), LPARAM(c.flags)), c.expected)
            << "from " << c.start << " with flags " << c.flags;
}

TEST_F(ListViewTest, SelectionFollowsItsRowWhenRowsComeAndGo)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 5);
    Select(list, 2);
    AddRow(list, 0, u"first");
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 3);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 3);
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEITEM, 1, 0));
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 2);
    EXPECT_EQ(CellText(list, 2, 0), u"row 2");
    // Deleting the selected row leaves none selected, and tells nothing of states.
    Notes().clear();
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEITEM, 2, 0));
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), -1);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_TRUE(NotesOf({LVN_ITEMCHANGED}).empty());
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_ALL), -1);
}

TEST_F(ListViewTest, AHundredThousandRowsAreAllThere)
{
    HWND list = MakeList();
    AddColumns(list);
    const int count = 100000;
    for (int i = 0; i < count; ++i) {
        std::u16string text = u"d" + std::u16string(1, char16_t(u'0' + i % 10));
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = text.data();
        item.iImage = i % 2 ? 3 : 4;
        ASSERT_EQ(Send(list, LVM_INSERTITEMW, 0, &item), i);
        LVITEMW cell = {};
        cell.iSubItem = 2;
        cell.pszText = const_cast<LPWSTR>(u"1,00");
        ASSERT_TRUE(Send(list, LVM_SETITEMTEXTW, WPARAM(i), &cell));
    }
    EXPECT_EQ(Count(list), count);
    EXPECT_EQ(CellText(list, 99999, 0), u"d9");
    EXPECT_EQ(CellText(list, 54321, 2), u"1,00");
    Select(list, count - 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), count - 1);
    // Scrolled by the height of all rows, the last row is in view at the bottom.
    RECT first = Rect(list, 0);
    ASSERT_TRUE(SendMessageW(list, LVM_SCROLL, 0, (first.bottom - first.top) * count));
    int page = int(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_EQ(TopIndex(list), count - page);
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(Count(list), 0);
    EXPECT_EQ(TopIndex(list), 0);
}

TEST_F(ListViewTest, CellsReadBackWhateverOrderTheyWereWrittenIn)
{
    HWND list = MakeList();
    AddColumns(list);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<LPWSTR>(u"");
    ASSERT_EQ(Send(list, LVM_INSERTITEMW, 0, &item), 0);
    struct {
        int column;
        const char16_t* text;
    } writes[] = {{2, u"1,30"}, {1, u"Sport"}, {0, u"own"}, {1, u""}, {1, u"Job"}, {2, u""}};
    std::u16string expected[3] = {u"", u"", u""};
    for (const auto& w : writes) {
        LVITEMW cell = {};
        cell.iSubItem = w.column;
        cell.pszText = const_cast<LPWSTR>(w.text);
        ASSERT_TRUE(Send(list, LVM_SETITEMTEXTW, 0, &cell));
        expected[w.column] = w.text;
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(CellText(list, 0, c), expected[c]) << "after writing cell " << w.column;
    }
    // The last column goes with its cell and leaves the others as they were.
    ASSERT_TRUE(SendMessageW(list, LVM_DELETECOLUMN, 2, 0));
    EXPECT_EQ(CellText(list, 0, 0), u"own");
    EXPECT_EQ(CellText(list, 0, 1), u"Job");
}

TEST_F(ListViewTest, RowsAppendedInOneFillReachTheViewBeforeAnythingAsksIt)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 30);
    auto* view = dynamic_cast<QAbstractItemView*>(WidgetOf(list));
    ASSERT_NE(view, nullptr);
    // The program's own questions see every row at once.
    EXPECT_EQ(Count(list), 30);
    EXPECT_EQ(CellText(list, 29, 0), u"row 29");
    // A row put between appended ones, and a question about the view, find every row in place.
    AddRow(list, 10, u"between");
    EXPECT_EQ(view->model()->rowCount(), 31);
    EXPECT_EQ(CellText(list, 10, 0), u"between");
    EXPECT_EQ(CellText(list, 30, 0), u"row 29");
    RECT last = Rect(list, 30);
    EXPECT_GT(last.bottom, last.top);
    // Appends the program leaves behind reach the view when its work returns to the loop.
    AddRows(list, 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->model()->rowCount(), 36);
}
