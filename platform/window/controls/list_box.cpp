// The list box class ("ListBox"), single selection: entries (kept in order with LBS_SORT),
// selection, searches, scrolling and item data by the LB_* messages (those on the entries alone
// as the drop-down list has them, in list_entries.cpp). A person's tap on an entry and the arrow
// keys select; with LBS_NOTIFY that sends LBN_SELCHANGE (when the selection moved) and a double
// tap LBN_DBLCLK. LBN_SETFOCUS and LBN_KILLFOCUS are always sent. The program's own changes
// (LB_SETCURSEL, LB_SELECTSTRING …) send nothing.
#include "platform/window/controls/list_entries.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace
{
class ListBoxWidget : public QListWidget, public ListEntries
{
  public:
    ListBoxWidget(HWND window, DWORD style, QWidget* parent)
        : QListWidget(parent), life_(window, this)
    {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setDragEnabled(false);
        setUniformItemSizes(true);
        setTabKeyNavigation(false);
        setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        setItemDelegate(MakeRowDelegate(this));
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_MacShowFocusRect, false);
        verticalScrollBar()->setStyle(ControlStyle());
        horizontalScrollBar()->setStyle(ControlStyle());
        setVerticalScrollBarPolicy(!(style & WS_VSCROLL)           ? Qt::ScrollBarAlwaysOff
                                   : (style & LBS_DISABLENOSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded
                                                          : Qt::ScrollBarAlwaysOff);
        if (style & WS_BORDER) {
            setFrameStyle(QFrame::Box | QFrame::Plain);
            setLineWidth(1);
        } else {
            setFrameStyle(QFrame::NoFrame);
        }
    }

    ControlLife& Life() { return life_; }
    QAbstractItemModel& EntryModel() const override { return *model(); }
    bool Sorted() const override { return (life_.Style() & LBS_SORT) != 0; }

    int Selected() const
    {
        QModelIndexList chosen = selectionModel()->selectedIndexes();
        return chosen.isEmpty() ? -1 : chosen.front().row();
    }

    void Select(int row) override
    {
        if (row < 0) {
            clearSelection();
            return;
        }
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        scrollToItem(item(row));
    }

    void InsertEntry(int at, const QString& text) override { insertItem(at, text); }

    // Qt selects the next entry when the selected one goes; the handheld selects none.
    void RemoveEntry(int row) override
    {
        bool selected = row == Selected();
        delete takeItem(row);
        if (selected)
            clearSelection();
    }

    void ClearEntries() override { clear(); }

    // The layout as it is now, also while the widget waits to be shown.
    void Sync()
    {
        executeDelayedItemsLayout();
        updateGeometries();
    }

    int TopIndex()
    {
        Sync();
        return count() == 0 ? 0 : std::clamp(verticalScrollBar()->value(), 0, count() - 1);
    }

    void SetTopIndex(int row)
    {
        Sync();
        verticalScrollBar()->setValue(row);
    }

  protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (IsDialogKey(key) && ForwardDialogKey(life_.Window(), key))
                return true;
        }
        return QListWidget::event(event);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept();
        if (event->button() != Qt::LeftButton)
            return;
        ControlLife::Busy busy(life_);
        Tap(event->position().toPoint());
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        event->accept();
        if (event->button() != Qt::LeftButton)
            return;
        ControlLife::Busy busy(life_);
        if (!Tap(event->position().toPoint()))
            return;
        if (Notifies())
            life_.Command(LBN_DBLCLK);
    }
    // Neither dragging nor the release changes what the press chose.
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (IsDialogKey(event)) {
            if (!ForwardDialogKey(life_.Window(), event))
                event->ignore();
            return;
        }
        ControlLife::Busy busy(life_);
        int before = Selected();
        QListWidget::keyPressEvent(event);
        if (!life_.Destroyed() && Selected() != before && Notifies())
            life_.Command(LBN_SELCHANGE);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QListWidget::focusInEvent(event);
        life_.FocusEvent(event, true, LBN_SETFOCUS, LBN_KILLFOCUS);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QListWidget::focusOutEvent(event);
        life_.FocusEvent(event, false, LBN_SETFOCUS, LBN_KILLFOCUS);
    }

  private:
    bool Notifies() const { return (life_.Style() & LBS_NOTIFY) != 0; }

    // Selects the entry under the point; false when the control went away meanwhile.
    bool Tap(const QPoint& at)
    {
        QModelIndex index = indexAt(at);
        if (!index.isValid() || !(index.flags() & Qt::ItemIsEnabled))
            return true;
        int before = Selected();
        Select(index.row());
        if (index.row() != before && Notifies())
            return life_.Command(LBN_SELCHANGE);
        return !life_.Destroyed();
    }

    ControlLife life_;
};

ListBoxWidget* ListBoxOf(HWND window)
{
    return dynamic_cast<ListBoxWidget*>(WidgetOf(window));
}

QWidget* CreateListBox(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    auto* list = new ListBoxWidget(window, DWORD(create.style), parent);
    list->setFont(SystemControlFont());
    SetControlPalette(list);
    return list;
}

LRESULT ListBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ListBoxWidget* found = ListBoxOf(window);
    if (!found)
        return DefWindowProcW(window, message, wParam, lParam);
    ListBoxWidget& list = *found;
    LRESULT result = LB_ERR;
    if (EntryMessage(list, ListBoxEntryMessages, message, wParam, lParam, &result))
        return result;
    int index = SignedIndex(wParam);
    bool inList = index >= 0 && index < list.count();
    switch (message) {
    case LB_GETCURSEL: return list.Selected();
    case LB_SETCURSEL:
        // -1 takes the selection away and still answers LB_ERR; an index past the end changes
        // nothing.
        if (index == -1)
            list.Select(-1);
        else if (inList)
            list.Select(index);
        return inList ? index : LB_ERR;
    case LB_GETSEL: return inList ? (list.Selected() == index ? 1 : 0) : LB_ERR;
    case LB_SETSEL:
    case LB_GETSELCOUNT: return LB_ERR; // for lists of several selections only
    case LB_GETTOPINDEX: return list.TopIndex();
    case LB_SETTOPINDEX:
        if (!inList && !(index == 0 && list.count() == 0))
            return LB_ERR;
        list.SetTopIndex(index);
        return LB_OKAY;
    case WM_SETFONT: ApplyControlFont(window, &list, wParam, lParam); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: list.Life().Focus(true, LBN_SETFOCUS, LBN_KILLFOCUS); return 0;
    case WM_KILLFOCUS: list.Life().Focus(false, LBN_SETFOCUS, LBN_KILLFOCUS); return 0;
    case WM_KEYDOWN:
        return KeyDownToDialog(window, wParam) ? 0
                                               : DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        list.Life().OnDestroy();
        return DefWindowProcW(window, message, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

const ControlClass ListBoxControlClass = {WC_LISTBOXW, CreateListBox, ListBoxMessage};
