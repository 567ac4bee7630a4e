// What the list view shows: row rectangles, scrolling by whole rows, pictures from image lists,
// the font, what the device reads of it and how it is painted.
#include "platform/gdi.h"
#include "platform/resources.h"
#include "platform/window/list_view/list_view_access.h"
#include "platform/window/list_view/list_view_widget.h"
#include "tests/platform/window/list_view_fixture.h"

#include <QImage>

#include <iterator>
#include <string>

using namespace list_view_test;

namespace
{
// Bitmap 128 as the program's: six 16 x 16 pictures side by side; picture 3 is red, the others
// white with a black dot at (8, 8).
const PIXELCOLOR palette[] = {
    {'.', 255, 255, 255, 255}, {'x', 0, 0, 0, 255}, {'r', 255, 0, 0, 255}};
const std::string whiteRow(16, '.');
const std::string dotRow = std::string(8, '.') + "x" + std::string(7, '.');
const std::string redRow(16, 'r');
const char* const dotted[16] = {
    whiteRow.c_str(), whiteRow.c_str(), whiteRow.c_str(), whiteRow.c_str(),
    whiteRow.c_str(), whiteRow.c_str(), whiteRow.c_str(), whiteRow.c_str(),
    dotRow.c_str(),   whiteRow.c_str(), whiteRow.c_str(), whiteRow.c_str(),
    whiteRow.c_str(), whiteRow.c_str(), whiteRow.c_str(), whiteRow.c_str(),
};
const char* const red[16] = {
    redRow.c_str(), redRow.c_str(), redRow.c_str(), redRow.c_str(), redRow.c_str(), redRow.c_str(),
    redRow.c_str(), redRow.c_str(), redRow.c_str(), redRow.c_str(), redRow.c_str(), redRow.c_str(),
    redRow.c_str(), redRow.c_str(), redRow.c_str(), redRow.c_str(),
};
const PICTURERESOURCE pictures[] = {{16, 16, dotted}, {16, 16, dotted}, {16, 16, dotted},
                                    {16, 16, red},    {16, 16, dotted}, {16, 16, dotted}};
const PICTURERESOURCE narrow[] = {{8, 16, nullptr}};
const BITMAPRESOURCE bitmaps[] = {
    {128, palette, std::size(palette), pictures, std::size(pictures)},
    {129, palette, std::size(palette), narrow, std::size(narrow)},
};
const RESOURCEMODULE module = {
    .strings = nullptr, .stringCount = 0, .bitmaps = bitmaps, .bitmapCount = std::size(bitmaps)};

HIMAGELIST MakeImages()
{
    HINSTANCE instance = RegisterResourceModule(&module);
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLORDDB, 5, 0);
    HBITMAP strip = LoadBitmapW(instance, MAKEINTRESOURCEW(128));
    EXPECT_EQ(ImageList_Add(images, strip, strip), 0);
    DeleteObject(strip);
    return images;
}

class ListViewShows : public ListViewTest
{
  protected:
    void TearDown() override
    {
        ListViewTest::TearDown();
        if (images_)
            ImageList_Destroy(images_);
    }
    HIMAGELIST images_ = nullptr;
};
} // namespace

TEST(ImageLists, ABitmapOfSixPicturesGivesSix)
{
    ASSERT_TRUE(EnsureApplication());
    HIMAGELIST images = MakeImages();
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 6);
    HINSTANCE instance = RegisterResourceModule(&module);
    HBITMAP again = LoadBitmapW(instance, MAKEINTRESOURCEW(128));
    EXPECT_EQ(ImageList_Add(images, again, nullptr), 6) << "the index of the first one added";
    EXPECT_EQ(ImageList_GetImageCount(images), 12);
    HBITMAP small = LoadBitmapW(instance, MAKEINTRESOURCEW(129));
    EXPECT_EQ(ImageList_Add(images, small, nullptr), -1) << "narrower than one picture";
    EXPECT_EQ(ImageList_Add(images, nullptr, nullptr), -1);
    EXPECT_EQ(ImageList_GetImageCount(images), 12);
    DeleteObject(again);
    DeleteObject(small);
    EXPECT_TRUE(ImageList_Destroy(images));
}

TEST(ImageLists, BadSizesAndHandlesAreRefused)
{
    EXPECT_EQ(ImageList_Create(0, 16, ILC_COLORDDB, 5, 0), nullptr);
    EXPECT_EQ(ImageList_Create(16, -1, ILC_COLORDDB, 5, 0), nullptr);
    EXPECT_EQ(ImageList_Create(16, 16, ILC_COLORDDB, -1, 0), nullptr);
    EXPECT_EQ(ImageList_Add(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(ImageList_GetImageCount(nullptr), 0);
    EXPECT_FALSE(ImageList_Destroy(nullptr));
}

TEST_F(ListViewShows, TheSmallImageListIsSwappedAndReturned)
{
    HWND list = MakeList();
    images_ = MakeImages();
    EXPECT_EQ(SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(images_)), 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), LPARAM(images_));
    EXPECT_EQ(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);
    EXPECT_EQ(SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0), LPARAM(images_));
    EXPECT_EQ(SendMessageW(list, LVM_SETIMAGELIST, 9, LPARAM(images_)), 0) << "no such kind";
    EXPECT_EQ(SendMessageW(list, LVM_GETIMAGELIST, 9, 0), 0);
}

TEST_F(ListViewShows, RowsAreOneHeightBelowTheHeader)
{
    HWND list = MakeList();
    images_ = MakeImages();
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(images_));
    AddColumns(list);
    AddRows(list, 3);
    RECT first = Rect(list, 0);
    RECT second = Rect(list, 1);
    int height = first.bottom - first.top;
    EXPECT_GE(height, 16);
    EXPECT_LE(height, 18);
    EXPECT_EQ(second.top, first.bottom);
    EXPECT_GT(first.top, 14) << "the header is above the first row";
    EXPECT_LT(first.top, 24);
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.right, 88 + 90 + 55);
    RECT icon = Rect(list, 1, LVIR_ICON);
    RECT label = Rect(list, 1, LVIR_LABEL);
    EXPECT_EQ(icon.right - icon.left, 16);
    EXPECT_EQ(icon.top, second.top);
    EXPECT_EQ(label.left, icon.right);
    EXPECT_EQ(label.right, 88);
    RECT both = Rect(list, 1, LVIR_SELECTBOUNDS);
    EXPECT_EQ(both.left, icon.left);
    EXPECT_EQ(both.right, label.right);

    RECT bad = {};
    bad.left = LVIR_BOUNDS;
    EXPECT_FALSE(SendMessageW(list, LVM_GETITEMRECT, 3, LPARAM(&bad)));
    EXPECT_FALSE(SendMessageW(list, LVM_GETITEMRECT, WPARAM(-1), LPARAM(&bad)));
    bad.left = 9;
    EXPECT_FALSE(SendMessageW(list, LVM_GETITEMRECT, 0, LPARAM(&bad)));
    EXPECT_FALSE(SendMessageW(list, LVM_GETITEMRECT, 0, 0));
}

TEST_F(ListViewShows, ScrollingMovesTheTopRowByWholeRows)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 40);
    RECT first = Rect(list, 0);
    int height = first.bottom - first.top;
    int page = int(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GE(page, 12);
    EXPECT_LE(page, 15);
    const struct {
        int dy;
        int top;
    } steps[] = {
        {height * 3, 3},     {height / 2 - 1, 3}, // less than half a row does not move
        {height / 2 + 1, 4}, {-height * 2, 2},    {-height * 100, 0}, {height * 1000, 40 - page},
    };
    for (const auto& step : steps) {
        EXPECT_TRUE(SendMessageW(list, LVM_SCROLL, 0, step.dy));
        EXPECT_EQ(TopIndex(list), step.top) << "after scrolling by " << step.dy;
    }
    RECT moved = Rect(list, 40 - page);
    EXPECT_EQ(moved.top, first.top) << "the top row is where row 0 was";
    EXPECT_LT(Rect(list, 0).top, 0) << "rows above are out of the client area";
}

TEST_F(ListViewShows, ARefilledListStartsAtItsTop)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 40);
    ASSERT_TRUE(SendMessageW(list, LVM_SCROLL, 0, 17 * 40));
    ASSERT_GT(TopIndex(list), 20);
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
    AddRows(list, 40);
    EXPECT_EQ(TopIndex(list), 0);
}

TEST_F(ListViewShows, EnsureVisibleScrollsAsLittleAsNeeded)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 40);
    int page = int(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_TRUE(SendMessageW(list, LVM_ENSUREVISIBLE, 30, FALSE));
    EXPECT_EQ(TopIndex(list), 30 - page + 1) << "the row comes in at the bottom";
    EXPECT_TRUE(SendMessageW(list, LVM_ENSUREVISIBLE, 25, FALSE));
    EXPECT_EQ(TopIndex(list), 30 - page + 1) << "a row in view moves nothing";
    EXPECT_TRUE(SendMessageW(list, LVM_ENSUREVISIBLE, 2, FALSE));
    EXPECT_EQ(TopIndex(list), 2) << "the row comes in at the top";
    EXPECT_FALSE(SendMessageW(list, LVM_ENSUREVISIBLE, 40, FALSE));
    EXPECT_FALSE(SendMessageW(list, LVM_ENSUREVISIBLE, WPARAM(-1), FALSE));
    EXPECT_EQ(TopIndex(list), 2);
}

TEST_F(ListViewShows, AHiddenListKnowsItsGeometryToo)
{
    ShowWindow(parent_, SW_HIDE);
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 30);
    int page = int(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GE(page, 12);
    ASSERT_TRUE(SendMessageW(list, LVM_SCROLL, 0, 17 * 30));
    EXPECT_EQ(TopIndex(list), 30 - page);
}

TEST_F(ListViewShows, TheDeviceReadsColumnsRowsAndWhatIsInView)
{
    HWND list = MakeList();
    images_ = MakeImages();
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(images_));
    AddColumns(list);
    LVCOLUMNW sorted = {};
    sorted.mask = LVCF_FMT | LVCF_IMAGE;
    sorted.fmt = LVCFMT_LEFT | LVCFMT_IMAGE;
    sorted.iImage = 1;
    ASSERT_TRUE(SendMessageW(list, LVM_SETCOLUMNW, 0, LPARAM(&sorted)));
    AddRow(list, 0, u"1.2.2024", u"Job", u"1,05", 3);
    AddRow(list, 1, u"2.2.2024", u"Sport", u"0,30", 4);
    AddRow(list, 2, u"3.2.2024", u"", u"", 17); // a picture the list does not have
    AddRows(list, 27);
    Select(list, 1);

    ListViewView view = ReadListView(list);
    ASSERT_EQ(view.columns.size(), 3u);
    EXPECT_EQ(view.columns[0].text, u"Date");
    EXPECT_EQ(view.columns[0].width, 88);
    EXPECT_EQ(view.columns[0].image, 1);
    EXPECT_EQ(view.columns[2].image, -1);
    ASSERT_EQ(view.rows.size(), 30u);
    EXPECT_EQ(view.rows[0].image, 3);
    EXPECT_EQ(view.rows[0].cells, (std::vector<std::u16string>{u"1.2.2024", u"Job", u"1,05"}));
    EXPECT_EQ(view.rows[2].image, -1);
    EXPECT_TRUE(view.rows[1].selected);
    EXPECT_TRUE(view.rows[1].focused);
    EXPECT_FALSE(view.rows[0].selected);
    EXPECT_EQ(view.firstVisible, 0);
    int page = int(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GE(view.lastVisible, page - 1);
    EXPECT_LE(view.lastVisible, page);

    SendMessageW(list, LVM_ENSUREVISIBLE, 29, FALSE);
    view = ReadListView(list);
    EXPECT_EQ(view.lastVisible, 29);
    EXPECT_EQ(view.firstVisible, 30 - page);
    EXPECT_TRUE(IsListView(list));
    EXPECT_FALSE(IsListView(parent_));
    EXPECT_TRUE(ReadListView(parent_).rows.empty());
    EXPECT_EQ(ReadListView(parent_).firstVisible, -1);
}

TEST_F(ListViewShows, AnEmptyListShowsNoRowsInView)
{
    HWND list = MakeList();
    AddColumns(list);
    ListViewView view = ReadListView(list);
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.firstVisible, -1);
    EXPECT_EQ(view.lastVisible, -1);
    EXPECT_EQ(TopIndex(list), 0);
}

TEST_F(ListViewShows, ALargerFontMakesTallerRows)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 2);
    RECT before = Rect(list, 0);
    EXPECT_EQ(SendMessageW(list, WM_GETFONT, 0, 0), 0);
    LOGFONTW description = {};
    description.lfHeight = -24;
    HFONT large = CreateFontIndirectW(&description);
    SendMessageW(list, WM_SETFONT, WPARAM(large), TRUE);
    EXPECT_EQ(SendMessageW(list, WM_GETFONT, 0, 0), LRESULT(large));
    RECT after = Rect(list, 0);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
    SendMessageW(list, WM_SETFONT, 0, TRUE);
    RECT back = Rect(list, 0);
    EXPECT_EQ(back.bottom - back.top, before.bottom - before.top);
    DeleteObject(large);
}

TEST_F(ListViewShows, TheSelectedRowIsBlueWhileTheListHasTheFocus)
{
    HWND list = MakeList();
    images_ = MakeImages();
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(images_));
    AddColumns(list);
    AddRow(list, 0, u"1.2.2024", u"Job", u"1,05", 3);
    AddRow(list, 1, u"2.2.2024", u"Sport", u"0,30", 4);
    Select(list, 1);
    SetFocus(list);
    QWidget* widget = WidgetOf(list);
    ASSERT_NE(widget, nullptr);
    QImage picture = widget->grab().toImage();
    RECT row0 = Rect(list, 0);
    RECT row1 = Rect(list, 1);
    RECT icon0 = Rect(list, 0, LVIR_ICON);
    // Client coordinates are inside the one-pixel border.
    auto at = [&picture](int x, int y) { return QColor(picture.pixel(x + 1, y + 1)); };
    int middle1 = (row1.top + row1.bottom) / 2;
    QColor selected = at(225, middle1);
    EXPECT_LT(selected.red(), 60);
    EXPECT_GT(selected.blue(), 100) << "the selected row is highlighted";
    EXPECT_EQ(at(225, (row0.top + row0.bottom) / 2), QColor(Qt::white));
    EXPECT_EQ(at(icon0.left + 4, (row0.top + row0.bottom) / 2), QColor(Qt::red))
        << "row 0 shows picture 3";
    EXPECT_EQ(at(236, middle1), QColor(Qt::white)) << "past the last column nothing is drawn";
    QColor header = at(50, 2);
    EXPECT_GT(header.red(), 200);
    EXPECT_LT(header.red(), 255) << "the header is a light grey";
}
