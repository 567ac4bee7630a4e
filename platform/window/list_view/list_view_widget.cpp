// The list view's widget: how it is set up, its measures and geometry, and row states with the
// notifications that go with them. Painting is in list_view_paint.cpp, input in
// list_view_input.cpp.
#include "platform/window/list_view/list_view_widget.h"

#include "platform/window/list_view/list_view_paint.h"
#include "platform/window/window_internal.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QProxyStyle>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace
{
const int systemFontPixels = 11; // 8 points at 96 pixels an inch
const int scrollBarExtent = 13;  // SM_CXVSCROLL and SM_CYHSCROLL

// Scroll bars as narrow as the handheld's.
class ListViewStyle : public QProxyStyle
{
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_ScrollBarExtent)
            return scrollBarExtent;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QStyle* ScrollBarStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new ListViewStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style.data();
}

// Rows are painted by the list itself; the delegate only gives Qt their one height.
class RowHeightDelegate : public QAbstractItemDelegate
{
  public:
    explicit RowHeightDelegate(ListViewWidget* list) : QAbstractItemDelegate(list), list_(list) {}
    void paint(QPainter*, const QStyleOptionViewItem&, const QModelIndex&) const override {}
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(0, list_->RowHeight());
    }

  private:
    ListViewWidget* list_;
};
} // namespace

QFont ListViewSystemFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(systemFontPixels);
    return font;
}

ListViewWidget* ListViewOf(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object || object->control != &ListViewControlClass)
        return nullptr;
    return dynamic_cast<ListViewWidget*>(object->widget.data());
}

ListViewWidget::ListViewWidget(HWND window, DWORD style, QWidget* parent)
    : QTreeView(parent), window_(window), life_(window, this), model_(new ListViewModel(this))
{
    setHeader(MakeListViewHeader(this));
    setModel(model_);
    setItemDelegate(new RowHeightDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(false);
    // The rows' states are the selection: Qt's own selection stays empty, so that nothing but
    // the control's rules (one row in a single-selection list) ever changes it.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAutoScroll(false); // the list scrolls where the program or a person asks, nowhere else
    setTabKeyNavigation(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setStyle(ScrollBarStyle());
    horizontalScrollBar()->setStyle(ScrollBarStyle());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    if (style & WS_BORDER) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }

    QPalette colors = palette();
    colors.setColor(QPalette::Base, Qt::white);
    colors.setColor(QPalette::Window, Qt::white);
    colors.setColor(QPalette::Text, Qt::black);
    colors.setColor(QPalette::WindowText, Qt::black);
    setPalette(colors);

    QHeaderView* top = header();
    top->setStretchLastSection(false);
    top->setSectionsMovable(false);
    top->setMinimumSectionSize(0);
    top->setSectionResizeMode(QHeaderView::Interactive);
    top->setHighlightSections(false);
    top->setSortIndicatorShown(false);
    top->setSectionsClickable((style & LVS_NOSORTHEADER) == 0);
    top->setVisible((style & LVS_NOCOLUMNHEADER) == 0);
    QObject::connect(top, &QHeaderView::sectionClicked, this,
                     [this](int column) { ColumnClicked(column); });
    QObject::connect(top, &QHeaderView::sectionResized, this,
                     [this](int, int, int) { viewport()->update(); });

    SetListFont(ListViewSystemFont());
}

DWORD ListViewWidget::Style() const
{
    WindowObject* object = WindowFromHandle(window_);
    return object ? object->style : 0;
}

HIMAGELIST ListViewWidget::ImageList(int kind) const
{
    return kind >= 0 && kind < 3 ? images_[kind] : nullptr;
}

// The program frees its image lists itself, before or after the list (as with
// LVS_SHAREIMAGELISTS): the list never frees one, so that no list is freed twice.
HIMAGELIST ListViewWidget::SetImageList(int kind, HIMAGELIST list)
{
    if (kind < 0 || kind >= 3)
        return nullptr;
    HIMAGELIST previous = std::exchange(images_[kind], list);
    if (kind == LVSIL_SMALL) {
        UpdateMetrics();
        viewport()->update();
        header()->viewport()->update();
    }
    return previous;
}

QImage ListViewWidget::Picture(int image) const
{
    return ImageListImage(images_[LVSIL_SMALL], image);
}

void ListViewWidget::SetListFont(const QFont& font)
{
    setFont(font);
    header()->setFont(font);
    UpdateMetrics();
}

void ListViewWidget::UpdateMetrics()
{
    int text = QFontMetrics(font()).height();
    int picture = int(ImageListSize(images_[LVSIL_SMALL]).cy);
    rowHeight_ = std::max(text + 4, picture + 1);
    headerHeight_ = std::max(text + 5, picture + 2);
    header()->updateGeometry();
    scheduleDelayedItemsLayout();
}

void ListViewWidget::Sync()
{
    executeDelayedItemsLayout();
    // A scroll bar that comes or goes changes the viewport, which changes the scroll ranges:
    // a few rounds settle it, also while the widget is hidden and gets no resize events.
    // Qt shows and hides scroll bars in a queued call; it is made here and now.
    for (int round = 0; round < 3; ++round) {
        QSize before = viewport()->size();
        updateGeometries();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        if (viewport()->size() == before && round > 0)
            break;
    }
}

QPoint ListViewWidget::ViewportOrigin() const
{
    return viewport()->geometry().topLeft() - contentsRect().topLeft();
}

int ListViewWidget::TopIndex()
{
    Sync();
    if (model_->RowCount() == 0)
        return 0;
    return std::clamp(verticalScrollBar()->value(), 0, model_->RowCount() - 1);
}

int ListViewWidget::CountPerPage()
{
    Sync();
    return std::max(0, viewport()->height() / rowHeight_);
}

int ListViewWidget::LastVisibleRow()
{
    int count = model_->RowCount();
    int top = TopIndex();
    int height = viewport()->height();
    if (count == 0 || height <= 0 || model_->ColumnCount() == 0)
        return -1;
    int shown = (height + rowHeight_ - 1) / rowHeight_;
    return std::min(count - 1, top + shown - 1);
}

bool ListViewWidget::ItemRect(int row, int code, QRect* rect)
{
    if (!model_->IsRow(row) || code < LVIR_BOUNDS || code > LVIR_SELECTBOUNDS)
        return false;
    int top = TopIndex();
    QPoint origin = ViewportOrigin();
    int y = origin.y() + (row - top) * rowHeight_;
    int left = origin.x() - header()->offset();
    if (code == LVIR_BOUNDS) {
        *rect = QRect(left, y, header()->length(), rowHeight_);
        return true;
    }
    int first = model_->ColumnCount() > 0 ? ColumnWidth(0) : 0;
    int x = model_->ColumnCount() > 0 ? origin.x() + header()->sectionViewportPosition(0) : left;
    QRect icon = PictureRect(*this, x, y, first);
    QRect label(icon.right() + 1, y, std::max(0, x + first - icon.right() - 1), rowHeight_);
    if (code == LVIR_ICON)
        *rect = icon;
    else if (code == LVIR_LABEL)
        *rect = label;
    else
        *rect = QRect(icon.left(), y, std::max(0, label.right() - icon.left() + 1), rowHeight_);
    return true;
}

void ListViewWidget::Scroll(int dx, int dy)
{
    Sync();
    // Whole rows only: a part of a row of at least half its height counts as a row.
    int half = rowHeight_ / 2;
    int rows = dy >= 0 ? (dy + half) / rowHeight_ : -((half - dy) / rowHeight_);
    if (rows != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
    if (dx != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
}

bool ListViewWidget::EnsureVisible(int row, bool partialOk)
{
    if (!model_->IsRow(row))
        return false;
    int top = TopIndex();
    int page = CountPerPage();
    if (row < top || page == 0) {
        verticalScrollBar()->setValue(row);
    } else if (row >= top + page) {
        bool partlyShown = row == top + page && viewport()->height() % rowHeight_ != 0;
        if (!(partialOk && partlyShown))
            verticalScrollBar()->setValue(row - page + 1);
    }
    return true;
}

void ListViewWidget::EnsureColumnVisible(int column)
{
    if (!model_->IsColumn(column))
        return;
    Sync();
    int start = header()->sectionPosition(column);
    int end = start + ColumnWidth(column);
    int offset = horizontalScrollBar()->value();
    int width = viewport()->width();
    if (start < offset)
        horizontalScrollBar()->setValue(start);
    else if (end > offset + width)
        horizontalScrollBar()->setValue(std::min(start, end - width));
}

int ListViewWidget::RowAt(const QPoint& client)
{
    Sync();
    QPoint at = client - ViewportOrigin();
    if (!viewport()->rect().contains(at) || at.x() + header()->offset() >= header()->length())
        return -1;
    int row = TopIndex() + at.y() / rowHeight_;
    return model_->IsRow(row) ? row : -1;
}

int ListViewWidget::ColumnAt(const QPoint& client)
{
    Sync();
    QPoint at = client - ViewportOrigin();
    if (at.x() < 0 || at.x() >= viewport()->width())
        return -1;
    return header()->logicalIndexAt(at.x());
}

int ListViewWidget::ColumnWidth(int column) const
{
    return header()->sectionSize(column);
}

void ListViewWidget::SetColumnWidth(int column, int width)
{
    header()->resizeSection(column, std::max(0, width));
}

LRESULT ListViewWidget::Notify(UINT code, NMHDR* header)
{
    if (life_.Destroyed())
        return 0;
    return NotifyParent(window_, code, header);
}

LRESULT ListViewWidget::NotifyItem(UINT code, int row, int subItem, UINT newState, UINT oldState,
                                   UINT changed)
{
    NMLISTVIEW change = {};
    change.iItem = row;
    change.iSubItem = subItem;
    change.uNewState = newState;
    change.uOldState = oldState;
    change.uChanged = changed;
    change.lParam = model_->IsRow(row) ? model_->Row(row).param : 0;
    return Notify(code, &change.hdr);
}

bool ListViewWidget::SetRowState(int row, UINT state, UINT mask, bool exclusive)
{
    if (!model_->IsRow(row))
        return false;
    UINT wanted = state & mask;
    std::vector<std::pair<int, UINT>> losing;
    if ((mask & wanted & LVIS_SELECTED) && (exclusive || (Style() & LVS_SINGLESEL))) {
        for (int other : model_->SelectedRows()) {
            if (other != row)
                losing.emplace_back(other, UINT(LVIS_SELECTED));
        }
    }
    int focused = model_->FocusedRow();
    if ((mask & wanted & LVIS_FOCUSED) && focused >= 0 && focused != row) {
        auto same = std::find_if(losing.begin(), losing.end(),
                                 [focused](const auto& entry) { return entry.first == focused; });
        if (same != losing.end())
            same->second |= LVIS_FOCUSED;
        else
            losing.emplace_back(focused, UINT(LVIS_FOCUSED));
        std::sort(losing.begin(), losing.end());
    }
    for (const auto& [other, bits] : losing) {
        ChangeState(other, 0, bits);
        if (life_.Destroyed())
            return false;
    }
    return ChangeState(row, state, mask);
}

bool ListViewWidget::ChangeState(int row, UINT state, UINT mask)
{
    if (!model_->IsRow(row))
        return false;
    UINT old = model_->Row(row).state;
    UINT now = (old & ~mask) | (state & mask);
    if (now == old)
        return true;
    if (NotifyItem(LVN_ITEMCHANGING, row, 0, now, old, LVIF_STATE) != 0)
        return false; // the parent keeps the row as it is
    if (life_.Destroyed() || !model_->IsRow(row))
        return false;
    // The parent may have moved the selection or focus meanwhile; one focused row, and one
    // selected row in a single-selection list, whatever it did.
    old = model_->Row(row).state;
    now = (old & ~mask) | (state & mask);
    int focused = model_->FocusedRow();
    if ((now & LVIS_FOCUSED) && focused >= 0 && focused != row)
        model_->SetState(focused, model_->Row(focused).state & ~UINT(LVIS_FOCUSED));
    if ((now & LVIS_SELECTED) && (Style() & LVS_SINGLESEL)) {
        std::vector<int> others = model_->SelectedRows();
        for (int other : others) {
            if (other != row)
                model_->SetState(other, model_->Row(other).state & ~UINT(LVIS_SELECTED));
        }
    }
    model_->SetState(row, now);
    NotifyItem(LVN_ITEMCHANGED, row, 0, now, old, LVIF_STATE);
    return true;
}

bool ListViewWidget::ShowsSelection() const
{
    return (Style() & LVS_SHOWSELALWAYS) || hasFocus() || GetFocus() == window_;
}
