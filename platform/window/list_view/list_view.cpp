// The report list view ("SysListView32"): its messages. Columns, pictures, the font and the
// geometry are answered here; the item messages are in list_view_items.cpp.
#include "platform/gdi.h"
#include "platform/window/list_view/list_view_items.h"
#include "platform/window/list_view/list_view_widget.h"
#include "platform/window/window_internal.h"

#include <algorithm>

namespace
{
const int defaultColumnWidth = 50; // a column inserted without LVCF_WIDTH

int Number(WPARAM value)
{
    return int(intptr_t(value));
}

LRESULT InsertColumn(ListViewWidget& list, WPARAM index, const LVCOLUMNW* info)
{
    ListViewModel& model = list.Model();
    int at = Number(index);
    if (!info || at < 0 || ((info->mask & LVCF_WIDTH) && info->cx < 0))
        return -1;
    ListViewColumn column;
    if ((info->mask & LVCF_TEXT) && !TextOf(info->pszText, &column.text))
        return -1;
    at = std::min(at, model.ColumnCount());
    if (info->mask & LVCF_FMT)
        column.format = info->fmt;
    column.subItem = (info->mask & LVCF_SUBITEM) ? info->iSubItem : at;
    if (info->mask & LVCF_IMAGE)
        column.image = info->iImage;
    model.InsertColumn(at, column);
    list.SetColumnWidth(at, (info->mask & LVCF_WIDTH) ? info->cx : defaultColumnWidth);
    return at;
}

LRESULT DeleteColumn(ListViewWidget& list, WPARAM index)
{
    // The first column holds the items' own texts and stays.
    int at = Number(index);
    if (at <= 0 || !list.Model().IsColumn(at))
        return FALSE;
    list.Model().RemoveColumn(at);
    return TRUE;
}

LRESULT GetColumn(ListViewWidget& list, WPARAM index, LVCOLUMNW* info)
{
    const ListViewModel& model = list.Model();
    int at = Number(index);
    if (!info || !model.IsColumn(at))
        return FALSE;
    if ((info->mask & LVCF_TEXT) && (!info->pszText || info->cchTextMax <= 0))
        return FALSE;
    const ListViewColumn& column = model.Column(at);
    if (info->mask & LVCF_FMT)
        info->fmt = column.format;
    if (info->mask & LVCF_WIDTH)
        info->cx = list.ColumnWidth(at);
    if (info->mask & LVCF_TEXT)
        CopyText(column.text, info->pszText, info->cchTextMax);
    if (info->mask & LVCF_SUBITEM)
        info->iSubItem = column.subItem;
    if (info->mask & LVCF_IMAGE)
        info->iImage = column.image;
    if (info->mask & LVCF_ORDER)
        info->iOrder = at; // columns are never moved
    return TRUE;
}

LRESULT SetColumn(ListViewWidget& list, WPARAM index, const LVCOLUMNW* info)
{
    ListViewModel& model = list.Model();
    int at = Number(index);
    if (!info || !model.IsColumn(at) || ((info->mask & LVCF_WIDTH) && info->cx < 0))
        return FALSE;
    ListViewColumn column = model.Column(at);
    if ((info->mask & LVCF_TEXT) && !TextOf(info->pszText, &column.text))
        return FALSE;
    if (info->mask & LVCF_FMT)
        column.format = info->fmt;
    if (info->mask & LVCF_SUBITEM)
        column.subItem = info->iSubItem;
    if (info->mask & LVCF_IMAGE)
        column.image = info->iImage;
    model.SetColumn(at, column);
    if (info->mask & LVCF_WIDTH)
        list.SetColumnWidth(at, info->cx);
    return TRUE;
}

LRESULT SetColumnWidth(ListViewWidget& list, WPARAM index, LPARAM value)
{
    const ListViewModel& model = list.Model();
    int at = Number(index);
    int width = short(LOWORD(value));
    if (!model.IsColumn(at) || width < LVSCW_AUTOSIZE_USEHEADER)
        return FALSE;
    if (width == LVSCW_AUTOSIZE) {
        width = list.FittingWidth(at, false);
    } else if (width == LVSCW_AUTOSIZE_USEHEADER) {
        width = list.FittingWidth(at, true);
        if (at == model.ColumnCount() - 1) {
            // The last column takes what the others leave of the list's width.
            int others = 0;
            for (int column = 0; column < at; ++column)
                others += list.ColumnWidth(column);
            width = std::max(width, list.viewport()->width() - others);
        }
    }
    list.SetColumnWidth(at, width);
    return TRUE;
}

LRESULT ItemRect(ListViewWidget& list, WPARAM row, RECT* rect)
{
    QRect area;
    if (!rect || !list.ItemRect(Number(row), int(rect->left), &area))
        return FALSE;
    *rect = RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    return TRUE;
}

void SetFont(ListViewWidget& list, HFONT font)
{
    LOGFONTW description = {};
    if (!font || GetObjectW(font, sizeof(description), &description) != int(sizeof(description))) {
        list.SetListFont(ListViewSystemFont());
        return;
    }
    QFont chosen = ListViewSystemFont();
    if (description.lfFaceName[0])
        chosen.setFamilies({QString::fromUtf16(description.lfFaceName),
                            QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    int height = description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
    if (height > 0)
        chosen.setPixelSize(height);
    if (description.lfWeight > 0)
        chosen.setWeight(QFont::Weight(std::clamp(int(description.lfWeight), 1, 1000)));
    chosen.setItalic(description.lfItalic != 0);
    list.SetListFont(chosen);
}

QWidget* CreateListView(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    return new ListViewWidget(window, DWORD(create.style), parent);
}

namespace
{
// The messages a program fills its rows with, and the questions only the rows answer: they
// leave appended rows to be announced to the view together. Any other may ask the view about
// every row.
bool FillsRows(UINT message)
{
    switch (message) {
    case LVM_INSERTITEMW:
    case LVM_SETITEMW:
    case LVM_SETITEMTEXTW:
    case LVM_GETITEMCOUNT:
    case LVM_GETITEMW:
    case LVM_GETITEMTEXTW:
    case LVM_GETITEMSTATE:
    case LVM_GETSELECTEDCOUNT:
    case LVM_GETNEXTITEM: return true;
    default: return false;
    }
}
} // namespace

LRESULT ListViewMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ListViewWidget* found = ListViewOf(window);
    if (!found)
        return DefWindowProcW(window, message, wParam, lParam);
    ListViewWidget& list = *found;
    auto* item = reinterpret_cast<LVITEMW*>(lParam);
    auto* column = reinterpret_cast<LVCOLUMNW*>(lParam);
    if (!FillsRows(message))
        list.Model().FlushAppended();
    switch (message) {
    case LVM_SETIMAGELIST:
        return reinterpret_cast<LRESULT>(
            list.SetImageList(Number(wParam), reinterpret_cast<HIMAGELIST>(lParam)));
    case LVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(list.ImageList(Number(wParam)));
    case LVM_INSERTCOLUMNW: return InsertColumn(list, wParam, column);
    case LVM_DELETECOLUMN: return DeleteColumn(list, wParam);
    case LVM_GETCOLUMNW: return GetColumn(list, wParam, column);
    case LVM_SETCOLUMNW: return SetColumn(list, wParam, column);
    case LVM_GETCOLUMNWIDTH:
        return list.Model().IsColumn(Number(wParam)) ? list.ColumnWidth(Number(wParam)) : 0;
    case LVM_SETCOLUMNWIDTH: return SetColumnWidth(list, wParam, lParam);
    case LVM_GETITEMCOUNT: return list.Model().RowCount();
    case LVM_INSERTITEMW: return InsertItem(list, item);
    case LVM_DELETEITEM: return DeleteItem(list, wParam);
    case LVM_DELETEALLITEMS: return DeleteAllItems(list);
    case LVM_SETITEMW: return SetItem(list, item);
    case LVM_GETITEMW: return GetItem(list, item);
    case LVM_SETITEMTEXTW: return SetItemText(list, wParam, item);
    case LVM_GETITEMTEXTW: return GetItemText(list, wParam, item);
    case LVM_SETITEMSTATE: return SetItemState(list, wParam, item);
    case LVM_GETITEMSTATE: return GetItemState(list, wParam, UINT(lParam));
    case LVM_GETSELECTEDCOUNT: return list.Model().SelectedCount();
    case LVM_GETNEXTITEM: return NextItem(list, wParam, UINT(LOWORD(lParam)));
    case LVM_GETITEMRECT: return ItemRect(list, wParam, reinterpret_cast<RECT*>(lParam));
    case LVM_SCROLL: list.Scroll(Number(wParam), int(lParam)); return TRUE;
    case LVM_ENSUREVISIBLE: return list.EnsureVisible(Number(wParam), lParam != 0) ? TRUE : FALSE;
    case LVM_GETTOPINDEX: return list.TopIndex();
    case LVM_GETCOUNTPERPAGE: return list.CountPerPage();
    case WM_SETFONT:
        SetFont(list, reinterpret_cast<HFONT>(wParam));
        if (LOWORD(lParam))
            list.viewport()->update();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_KEYDOWN: list.Key(UINT(wParam)); return 0;
    case WM_LBUTTONDOWN: list.Press(QPoint(short(LOWORD(lParam)), short(HIWORD(lParam)))); return 0;
    case WM_LBUTTONUP: list.Release(QPoint(short(LOWORD(lParam)), short(HIWORD(lParam)))); return 0;
    case WM_DESTROY: list.OnDestroy(); return DefWindowProcW(window, message, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

const ControlClass ListViewControlClass = {WC_LISTVIEWW, CreateListView, ListViewMessage};
