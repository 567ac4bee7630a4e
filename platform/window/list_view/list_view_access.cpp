// The list view for the device and the scripted user: what it shows, and taps as a person makes
// them, through the same Qt pointer events and so the same code as a real tap.
#include "platform/window/list_view/list_view_access.h"

#include "platform/window/list_view/list_view_widget.h"
#include "platform/window/window_internal.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPointer>

namespace
{
std::u16string Text(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
}

bool Refuse(std::string* reason, const std::string& text)
{
    if (reason)
        *reason = text;
    return false;
}

// A press and a release of the pointer at `point` of the widget, as the screen delivers a tap.
void Tap(QWidget* widget, const QPoint& point)
{
    QPointer<QWidget> target(widget);
    QPointF local(point);
    QPointF global(widget->mapToGlobal(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    // The press may have led the program to close the list.
    if (!target)
        return;
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target.data(), &release);
}

// The list, when a person could tap it now.
ListViewWidget* ReachableList(HWND window, std::string* reason)
{
    ListViewWidget* list = ListViewOf(window);
    if (!list) {
        Refuse(reason, "the window is not a list view");
        return nullptr;
    }
    if (!IsWindowVisible(window)) {
        Refuse(reason, "the list view is hidden");
        return nullptr;
    }
    if (!IsWindowEnabled(window) || !list->isEnabled()) {
        Refuse(reason, "the list view is disabled");
        return nullptr;
    }
    list->Model().FlushAppended();
    return list;
}
} // namespace

bool IsListView(HWND window)
{
    return ListViewOf(window) != nullptr;
}

ListViewView ReadListView(HWND window)
{
    ListViewView view{{}, {}, -1, -1};
    ListViewWidget* list = ListViewOf(window);
    if (!list)
        return view;
    list->Model().FlushAppended();
    const ListViewModel& model = list->Model();
    for (int c = 0; c < model.ColumnCount(); ++c) {
        const ListViewColumn& column = model.Column(c);
        bool pictured = (column.format & LVCFMT_IMAGE) && !list->Picture(column.image).isNull();
        view.columns.push_back(
            {Text(column.text), list->ColumnWidth(c), pictured ? column.image : -1});
    }
    int cells = std::max(1, model.ColumnCount());
    view.rows.reserve(size_t(model.RowCount()));
    for (int r = 0; r < model.RowCount(); ++r) {
        const ListViewRow& row = model.Row(r);
        ListViewRowView shown;
        shown.image = list->Picture(row.image).isNull() ? -1 : row.image;
        for (int c = 0; c < cells; ++c)
            shown.cells.push_back(Text(model.Cell(r, c)));
        shown.selected = (row.state & LVIS_SELECTED) != 0;
        shown.focused = (row.state & LVIS_FOCUSED) != 0;
        view.rows.push_back(std::move(shown));
    }
    view.lastVisible = list->LastVisibleRow();
    view.firstVisible = view.lastVisible < 0 ? -1 : list->TopIndex();
    return view;
}

bool TapListViewRow(HWND window, int row, std::string* reason)
{
    ListViewWidget* list = ReachableList(window, reason);
    if (!list)
        return false;
    int count = list->Model().RowCount();
    if (row < 0 || row >= count)
        return Refuse(reason, "there is no row " + std::to_string(row) + " (the list has " +
                                  std::to_string(count) + " rows)");
    list->EnsureVisible(row, false);
    QRect bounds;
    list->ItemRect(row, LVIR_BOUNDS, &bounds);
    QRect shown = bounds.translated(-list->ViewportOrigin()) & list->viewport()->rect();
    if (shown.isEmpty())
        return Refuse(reason, "row " + std::to_string(row) + " cannot be brought into view");
    Tap(list->viewport(), shown.center());
    return true;
}

bool TapListViewHeader(HWND window, int column, std::string* reason)
{
    ListViewWidget* list = ReachableList(window, reason);
    if (!list)
        return false;
    int count = list->Model().ColumnCount();
    if (column < 0 || column >= count)
        return Refuse(reason, "there is no column " + std::to_string(column) + " (the list has " +
                                  std::to_string(count) + " columns)");
    QHeaderView* header = list->header();
    if (header->isHidden())
        return Refuse(reason, "the list view shows no column headers");
    if (list->ColumnWidth(column) <= 0)
        return Refuse(reason, "column " + std::to_string(column) + " has no width");
    list->EnsureColumnVisible(column);
    int left = header->sectionViewportPosition(column);
    QRect section(left, 0, list->ColumnWidth(column), header->height());
    QRect shown = section & header->viewport()->rect();
    if (shown.isEmpty())
        return Refuse(reason, "column " + std::to_string(column) + " cannot be brought into view");
    Tap(header->viewport(), shown.center());
    return true;
}
