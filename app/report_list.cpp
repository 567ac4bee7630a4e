#include "app/report_list.h"

#include "app/app_context.h"
#include "app/startup.h"
#include "entry/view_types.h"
#include "model/sorting.h"
#include "platform/commctrl.h"
#include "report/report_totals.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"

namespace
{
enum : DWORD { SORT_BY_NAME = 0, SORT_BY_TIME = 1 };
enum : DWORD { ORDER_ASCENDING = 0, ORDER_DESCENDING = 1, ORDER_NOT_CHOSEN = 2 };

// The image every row shows: plain white.
const int ROW_IMAGE = 5;

struct ListPlace {
    int x, y, width, height;
    int categoryWidth, timeWidth;
};
const ListPlace narrowPlace = {7, 160, 223, 92, 110, 95};
const ListPlace widePlace = {172, 13, 142, 110, 78, 60};

const UINT columnCaptions[] = {IDS_REPORT_COLUMN_CATEGORY, IDS_REPORT_COLUMN_TIME};

// The list exists only while an All report is shown; so do its pictures.
struct ReportList {
    HWND list;
    HIMAGELIST images;
};
ReportList report;

void SetHeaderImages(int categoryImage, int timeImage)
{
    const int images[] = {categoryImage, timeImage};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_IMAGE;
        column.iImage = images[i];
        SendMessageW(report.list, LVM_SETCOLUMNW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }
}

int HeaderImage(int column)
{
    LVCOLUMNW header = {};
    header.mask = LVCF_IMAGE;
    SendMessageW(report.list, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&header));
    return header.iImage;
}

bool InsertColumn(int index, int width)
{
    WCHAR caption[IDENTITY_TEXT_MAX] = {};
    LoadStringW(App.Instance, columnCaptions[index], caption, IDENTITY_TEXT_MAX);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_IMAGE;
    column.fmt = LVCFMT_LEFT | LVCFMT_IMAGE;
    column.cx = width;
    column.pszText = caption;
    column.iSubItem = index;
    column.iImage = static_cast<DWORD>(index) == App.ReportSortColumn
                        ? static_cast<int>(App.ReportSortOrder)
                        : IMAGE_NO_ORDER;
    return SendMessageW(report.list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&column)) != -1;
}

bool AppendRow(int row, const CategoryNode* category, DWORD timeView)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = category->name;
    item.iImage = ROW_IMAGE;
    if (SendMessageW(report.list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) == -1)
        return false;
    WCHAR total[TOTAL_TEXT_MAX];
    FormatTotalText(category->value, timeView, total);
    LVITEMW cell = {};
    cell.iSubItem = 1;
    cell.pszText = total;
    SendMessageW(report.list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cell));
    return true;
}

void WarnOfTooManyCategories()
{
    WCHAR text[IDENTITY_TEXT_MAX];
    if (LoadStringW(App.Instance, IDS_TOO_MANY_CATEGORIES, text, IDENTITY_TEXT_MAX) > 0)
        MessageBoxW(nullptr, text, App.Title, MB_OK | MB_ICONEXCLAMATION);
}

bool SortByName(bool waitCursor)
{
    if (waitCursor)
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    bool sorted = SortCategoriesByName();
    if (waitCursor)
        SetCursor(nullptr);
    return sorted;
}
} // namespace

bool BuildReportList(HWND dialog)
{
    const ListPlace& place = UseWideLayout() ? widePlace : narrowPlace;
    report.list = CreateWindowExW(
        0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LVS_REPORT, place.x,
        place.y, place.width, place.height, dialog,
        reinterpret_cast<HMENU>(static_cast<uintptr_t>(IDC_REPORT_LIST)), App.Instance, nullptr);
    if (!report.list)
        return false;
    report.images = ImageList_Create(PICTURE_PIXELS, PICTURE_PIXELS, ILC_COLORDDB, 6, 0);
    HBITMAP pictures = LoadBitmapW(App.Instance, MAKEINTRESOURCEW(IDB_LIST_IMAGES));
    ImageList_Add(report.images, pictures, pictures);
    DeleteObject(pictures);
    SendMessageW(report.list, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(report.images));
    if (!InsertColumn(0, place.categoryWidth) || !InsertColumn(1, place.timeWidth)) {
        DestroyReportList();
        return false;
    }
    return true;
}

bool ApplyReportSort()
{
    DWORD column = App.ReportSortColumn;
    DWORD order = App.ReportSortOrder;
    if (order == ORDER_NOT_CHOSEN) {
        SetHeaderImages(IMAGE_ASCENDING, IMAGE_NO_ORDER);
        return SortCategoriesByName();
    }
    if (order != ORDER_ASCENDING && order != ORDER_DESCENDING)
        return true;
    switch (column) {
    case SORT_BY_NAME:
        SetHeaderImages(static_cast<int>(order), IMAGE_NO_ORDER);
        return SortCategoriesByName();
    case SORT_BY_TIME:
        SetHeaderImages(IMAGE_NO_ORDER, static_cast<int>(order));
        return SortCategoriesByValue();
    default: return true; // an unknown column keeps the list's order and an unmarked header
    }
}

void FillReportList()
{
    SendMessageW(report.list, LVM_DELETEALLITEMS, 0, 0);
    if (!First(App.MainCategoryList))
        return;
    if (Count(App.MainCategoryList) > REPORT_ROWS_MAX)
        WarnOfTooManyCategories();
    DWORD timeView = App.Settings ? App.Settings->TimeTypeView : ColonSeparated;
    int row = 0;
    for (CategoryNode* category = First(App.MainCategoryList); category && row < REPORT_ROWS_MAX;
         category = category->next, ++row) {
        if (!AppendRow(row, category, timeView))
            return;
    }
}

void SortReportListBy(int column)
{
    if (column != 0 && column != 1)
        return;
    int image = HeaderImage(column);
    switch (image) {
    case IMAGE_ASCENDING:
        image = IMAGE_DESCENDING;
        App.ReportSortOrder = ORDER_DESCENDING;
        break;
    case IMAGE_DESCENDING:
        image = IMAGE_ASCENDING;
        App.ReportSortOrder = ORDER_ASCENDING;
        break;
    case IMAGE_NO_ORDER:
        image = static_cast<int>(App.ReportSortOrder);
        App.ReportSortColumn = static_cast<DWORD>(column);
        break;
    default: break;
    }
    if (column == 0)
        SetHeaderImages(image, IMAGE_NO_ORDER);
    else
        SetHeaderImages(IMAGE_NO_ORDER, image);
    if (!First(App.MainCategoryList))
        return;
    bool sorted = column == 0 ? SortByName(true) : SortCategoriesByValue();
    if (sorted)
        FillReportList();
}

void DestroyReportList()
{
    if (report.images)
        ImageList_Destroy(report.images);
    if (report.list)
        DestroyWindow(report.list);
    report = {};
}

bool ReportListShown()
{
    return report.list != nullptr;
}
