// The list box class ("ListBox"), single selection: entries (kept in order with LBS_SORT),
// selection, searches, scrolling and item data by the LB_* messages. A person's tap on an entry
// and the arrow keys select; with LBS_NOTIFY that sends LBN_SELCHANGE (when the selection
// moved) and a double tap LBN_DBLCLK. LBN_SETFOCUS and LBN_KILLFOCUS are always sent. The
// program's own changes (LB_SETCURSEL, LB_SELECTSTRING …) send nothing.
#include "platform/window/controls/controls_internal.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace
{
int Signed(WPARAM value)
{
    return int(intptr_t(value));
}

class ListBoxWidget : public QListWidget
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
    bool Sorted() const { return (life_.Style() & LBS_SORT) != 0; }

    int Selected() const
    {
        QModelIndexList chosen = selectionModel()->selectedIndexes();
        return chosen.isEmpty() ? -1 : chosen.front().row();
    }

    void Select(int row)
    {
        if (row < 0) {
            clearSelection();
            return;
        }
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        scrollToItem(item(row));
    }

    // Qt selects the next entry when the selected one goes; the handheld selects none.
    void Remove(int row)
    {
        bool selected = row == Selected();
        delete takeItem(row);
        if (selected)
            clearSelection();
    }

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

EntryList EntriesOf(ListBoxWidget& list)
{
    return {list.count(), [&list](int i) { return list.item(i)->text(); }};
}

LRESULT Find(ListBoxWidget& list, WPARAM start, LPARAM text, bool exact)
{
    if (!text)
        return LB_ERR;
    return FindEntry(EntriesOf(list), Signed(start), QtText(reinterpret_cast<LPCWSTR>(text)),
                     exact);
}

// LB_ADDSTRING (`add`: in order when sorted, else at the end) and LB_INSERTSTRING (at `at`,
// -1 for the end, never sorted).
LRESULT Insert(ListBoxWidget& list, bool add, int at, LPARAM lParam)
{
    if (!lParam)
        return LB_ERR;
    QString text = QtText(reinterpret_cast<LPCWSTR>(lParam));
    if (add)
        at = list.Sorted() ? SortedPosition(EntriesOf(list), text) : list.count();
    else if (at == -1)
        at = list.count();
    if (at < 0 || at > list.count())
        return LB_ERR;
    list.insertItem(at, text);
    return at;
}

LRESULT ListBoxMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ListBoxWidget* found = ListBoxOf(window);
    if (!found)
        return DefWindowProcW(window, message, wParam, lParam);
    ListBoxWidget& list = *found;
    int index = Signed(wParam);
    bool inList = index >= 0 && index < list.count();
    switch (message) {
    case LB_ADDSTRING: return Insert(list, true, 0, lParam);
    case LB_INSERTSTRING: return Insert(list, false, index, lParam);
    case LB_DELETESTRING:
        if (!inList)
            return LB_ERR;
        list.Remove(index);
        return list.count();
    case LB_RESETCONTENT: list.clear(); return LB_OKAY;
    case LB_GETCOUNT: return list.count();
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
    case LB_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (!inList || !buffer)
            return LB_ERR;
        QString text = list.item(index)->text();
        return CopyTextOut(text, buffer, int(text.size()) + 1);
    }
    case LB_GETTEXTLEN: return inList ? list.item(index)->text().size() : LB_ERR;
    case LB_FINDSTRING: return Find(list, wParam, lParam, false);
    case LB_FINDSTRINGEXACT: return Find(list, wParam, lParam, true);
    case LB_SELECTSTRING: {
        LRESULT at = Find(list, wParam, lParam, false);
        if (at != LB_ERR)
            list.Select(int(at));
        return at;
    }
    case LB_GETTOPINDEX: return list.TopIndex();
    case LB_SETTOPINDEX:
        if (!inList && !(index == 0 && list.count() == 0))
            return LB_ERR;
        list.SetTopIndex(index);
        return LB_OKAY;
    case LB_SETITEMDATA:
        if (!inList)
            return LB_ERR;
        list.item(index)->setData(Qt::UserRole, qlonglong(lParam));
        return LB_OKAY;
    case LB_GETITEMDATA:
        return inList ? LRESULT(list.item(index)->data(Qt::UserRole).toLongLong()) : LB_ERR;
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
