#include "platform/window/list_view/list_view_items.h"

#include "platform/window/list_view/list_view_widget.h"

#include <QScrollBar>

#include <algorithm>
#include <string_view>

namespace
{
// Row numbers come as WPARAM; -1 and other negative numbers arrive as huge unsigned values.
int RowNumber(WPARAM row)
{
    return int(intptr_t(row));
}

bool IsCell(const ListViewModel& model, int row, int subItem)
{
    return model.IsRow(row) && (subItem == 0 || model.IsColumn(subItem));
}

// Changes the first cell's text, the picture or the item data of a row, with LVN_ITEMCHANGING
// and LVN_ITEMCHANGED naming what changed; false when the parent refused.
bool ChangeItem(ListViewWidget& list, int row, UINT mask, const QString& text, int image,
                LPARAM param)
{
    ListViewModel& model = list.Model();
    const ListViewRow& before = model.Row(row);
    UINT changed = 0;
    if ((mask & LVIF_TEXT) && model.Cell(row, 0) != text)
        changed |= LVIF_TEXT;
    if ((mask & LVIF_IMAGE) && before.image != image)
        changed |= LVIF_IMAGE;
    if ((mask & LVIF_PARAM) && before.param != param)
        changed |= LVIF_PARAM;
    if (!changed)
        return true;
    UINT state = before.state;
    if (list.NotifyItem(LVN_ITEMCHANGING, row, 0, state, state, changed) != 0)
        return false;
    if (list.Destroyed() || !model.IsRow(row))
        return false;
    if (changed & LVIF_TEXT)
        model.SetCell(row, 0,
                      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                          size_t(text.size())));
    if (changed & LVIF_IMAGE)
        model.SetImage(row, image);
    if (changed & LVIF_PARAM)
        model.SetParam(row, param);
    state = model.Row(row).state;
    list.NotifyItem(LVN_ITEMCHANGED, row, 0, state, state, changed);
    return true;
}

bool Matches(const ListViewModel& model, int row, UINT wanted)
{
    return (model.Row(row).state & wanted) == wanted;
}
} // namespace

bool TextOf(LPCWSTR text, QString* out)
{
    if (text == LPSTR_TEXTCALLBACKW)
        return false;
    *out = text ? QString::fromUtf16(text) : QString();
    return true;
}

int CopyText(const QString& text, LPWSTR buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return -1;
    int n = std::min(capacity - 1, int(text.size()));
    std::copy_n(reinterpret_cast<const WCHAR*>(text.utf16()), n, buffer);
    buffer[n] = 0;
    return n;
}

LRESULT InsertItem(ListViewWidget& list, const LVITEMW* item)
{
    // Subitems are given with LVM_SETITEMW once the item exists.
    if (!item || item->iSubItem != 0 || item->iItem < 0)
        return -1;
    ListViewRow row;
    std::u16string_view text;
    if (item->mask & LVIF_TEXT) {
        if (item->pszText == LPSTR_TEXTCALLBACKW)
            return -1;
        if (item->pszText)
            text = item->pszText;
    }
    if (item->mask & LVIF_IMAGE)
        row.image = item->iImage;
    if (item->mask & LVIF_PARAM)
        row.param = item->lParam;
    UINT state = (item->mask & LVIF_STATE) ? (item->state & item->stateMask) : 0;
    UINT chosen = state & (LVIS_SELECTED | LVIS_FOCUSED);
    row.state = state & ~chosen;

    ListViewModel& model = list.Model();
    int at = std::min(item->iItem, model.RowCount());
    model.InsertRow(at, row, text);
    list.NotifyItem(LVN_INSERTITEM, at, 0, 0, 0, 0);
    if (chosen && !list.Destroyed() && model.IsRow(at))
        list.SetRowState(at, chosen, chosen);
    return at;
}

LRESULT DeleteItem(ListViewWidget& list, WPARAM row)
{
    int at = RowNumber(row);
    ListViewModel& model = list.Model();
    if (!model.IsRow(at))
        return FALSE;
    list.NotifyItem(LVN_DELETEITEM, at, 0, 0, 0, 0);
    if (list.Destroyed() || !model.IsRow(at))
        return FALSE;
    model.RemoveRow(at);
    return TRUE;
}

LRESULT DeleteAllItems(ListViewWidget& list)
{
    ListViewModel& model = list.Model();
    if (model.RowCount() == 0)
        return TRUE;
    // A parent that answers TRUE to LVN_DELETEALLITEMS is not told of each row.
    NMLISTVIEW all = {};
    all.iItem = -1;
    bool quiet = list.Notify(LVN_DELETEALLITEMS, &all.hdr) != 0;
    for (int row = 0; !quiet && row < model.RowCount() && !list.Destroyed(); ++row)
        list.NotifyItem(LVN_DELETEITEM, row, 0, 0, 0, 0);
    if (list.Destroyed())
        return TRUE;
    model.RemoveAll();
    // An empty list starts again at its top, as the rows that come next are shown from there.
    list.verticalScrollBar()->setValue(0);
    return TRUE;
}

LRESULT SetItem(ListViewWidget& list, const LVITEMW* item)
{
    ListViewModel& model = list.Model();
    if (!item || !IsCell(model, item->iItem, item->iSubItem))
        return FALSE;
    if ((item->mask & LVIF_TEXT) && item->pszText == LPSTR_TEXTCALLBACKW)
        return FALSE;
    if (item->iSubItem > 0) {
        // A subitem has only its text, taken as it stands: lists of many rows fill them.
        if (item->mask & LVIF_TEXT)
            model.SetCell(item->iItem, item->iSubItem,
                          item->pszText ? std::u16string_view(item->pszText) : u"");
        return TRUE;
    }
    QString text;
    if (item->mask & LVIF_TEXT)
        TextOf(item->pszText, &text);
    if (!ChangeItem(list, item->iItem, item->mask, text, item->iImage, item->lParam))
        return FALSE;
    if ((item->mask & LVIF_STATE) && !list.Destroyed())
        return list.SetRowState(item->iItem, item->state, item->stateMask) ? TRUE : FALSE;
    return TRUE;
}

LRESULT GetItem(ListViewWidget& list, LVITEMW* item)
{
    ListViewModel& model = list.Model();
    if (!item || !IsCell(model, item->iItem, item->iSubItem))
        return FALSE;
    if ((item->mask & LVIF_TEXT) && (!item->pszText || item->cchTextMax <= 0))
        return FALSE;
    const ListViewRow& row = model.Row(item->iItem);
    if (item->mask & LVIF_TEXT)
        CopyText(model.Cell(item->iItem, item->iSubItem), item->pszText, item->cchTextMax);
    if (item->iSubItem == 0) {
        if (item->mask & LVIF_IMAGE)
            item->iImage = row.image;
        if (item->mask & LVIF_PARAM)
            item->lParam = row.param;
        if (item->mask & LVIF_STATE)
            item->state = row.state & item->stateMask;
    }
    return TRUE;
}

LRESULT SetItemText(ListViewWidget& list, WPARAM row, const LVITEMW* item)
{
    if (!item)
        return FALSE;
    LVITEMW change = {};
    change.mask = LVIF_TEXT;
    change.iItem = RowNumber(row);
    change.iSubItem = item->iSubItem;
    change.pszText = item->pszText;
    return SetItem(list, &change);
}

LRESULT GetItemText(ListViewWidget& list, WPARAM row, LVITEMW* item)
{
    ListViewModel& model = list.Model();
    int at = RowNumber(row);
    if (!item || !IsCell(model, at, item->iSubItem))
        return 0;
    return std::max(0, CopyText(model.Cell(at, item->iSubItem), item->pszText, item->cchTextMax));
}

LRESULT SetItemState(ListViewWidget& list, WPARAM row, const LVITEMW* item)
{
    ListViewModel& model = list.Model();
    int at = RowNumber(row);
    if (!item || (at != -1 && !model.IsRow(at)))
        return FALSE;
    if (at != -1)
        return list.SetRowState(at, item->state, item->stateMask) ? TRUE : FALSE;
    for (int each = 0; each < model.RowCount() && !list.Destroyed(); ++each)
        list.SetRowState(each, item->state, item->stateMask);
    return TRUE;
}

LRESULT GetItemState(ListViewWidget& list, WPARAM row, UINT mask)
{
    ListViewModel& model = list.Model();
    int at = RowNumber(row);
    return model.IsRow(at) ? LRESULT(model.Row(at).state & mask) : 0;
}

LRESULT NextItem(ListViewWidget& list, WPARAM start, UINT flags)
{
    const ListViewModel& model = list.Model();
    int from = RowNumber(start);
    if (from < -1 || from >= model.RowCount())
        return -1;
    UINT wanted = flags & (LVNI_FOCUSED | LVNI_SELECTED | LVNI_CUT | LVNI_DROPHILITED);
    if (flags & LVNI_ABOVE) {
        for (int row = from - 1; row >= 0; --row) {
            if (Matches(model, row, wanted))
                return row;
        }
        return -1;
    }
    // A report has one row a line: nothing lies beside a row.
    if (flags & (LVNI_TOLEFT | LVNI_TORIGHT))
        return -1;
    if (wanted & LVNI_FOCUSED) {
        int focused = model.FocusedRow();
        return focused > from && Matches(model, focused, wanted) ? focused : -1;
    }
    if (wanted & LVNI_SELECTED) {
        for (int row = model.NextSelected(from); row >= 0; row = model.NextSelected(row)) {
            if (Matches(model, row, wanted))
                return row;
        }
        return -1;
    }
    for (int row = from + 1; row < model.RowCount(); ++row) {
        if (Matches(model, row, wanted))
            return row;
    }
    return -1;
}
