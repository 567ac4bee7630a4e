// The report list view's widget: a QTreeView over the list's own model, painted as the
// handheld's list (white rows of one height, the small pictures in the first column, a thin
// header, the selected row in blue), taking a person's taps and keys and telling the parent what
// they did through WM_NOTIFY, at once, within the Qt event.
#pragma once

#include "platform/window/list_view/list_view_model.h"
#include "platform/window/widget_life.h"

#include <QTreeView>

class ListViewWidget : public QTreeView
{
  public:
    ListViewWidget(HWND window, DWORD style, QWidget* parent);

    HWND Window() const { return window_; }
    // The window's style as it is now (LVS_SINGLESEL, LVS_NOSORTHEADER …).
    DWORD Style() const;
    ListViewModel& Model() const { return *model_; }
    // True once the window had its WM_DESTROY: nothing is sent to the parent any more.
    bool Destroyed() const { return life_.Destroyed(); }
    void OnDestroy() { life_.OnDestroy(); }

    // LVSIL_NORMAL, LVSIL_SMALL and LVSIL_STATE; the report view draws the small pictures.
    HIMAGELIST ImageList(int kind) const;
    HIMAGELIST SetImageList(int kind, HIMAGELIST list);
    // The small list's picture `image`; a null image when there is no such picture.
    QImage Picture(int image) const;
    void SetListFont(const QFont& font);

    // Geometry, in the list's client coordinates: inside the border, the header at the top.
    // Each call first brings Qt's layout up to date, so the answers hold for a hidden list too.
    int RowHeight() const { return rowHeight_; }
    int HeaderHeight() const { return headerHeight_; }
    int TopIndex();
    int CountPerPage();
    // The last row at least partly in view, -1 when none is.
    int LastVisibleRow();
    // The whole row (LVIR_BOUNDS), its picture (LVIR_ICON), its first cell's text (LVIR_LABEL)
    // or both of those (LVIR_SELECTBOUNDS); false for a bad row or code. Rows out of view get
    // rectangles out of the client area.
    bool ItemRect(int row, int code, QRect* rect);
    // Scrolls by dx pixels across and by dy pixels rounded to whole rows down.
    void Scroll(int dx, int dy);
    bool EnsureVisible(int row, bool partialOk);
    // Shows column `column` as far as the list's width allows.
    void EnsureColumnVisible(int column);
    // The row and column under a point; -1 for none.
    int RowAt(const QPoint& client);
    int ColumnAt(const QPoint& client);
    // Where the viewport's top-left corner is in client coordinates.
    QPoint ViewportOrigin() const;

    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // The width that shows every cell of the column, or its caption.
    int FittingWidth(int column, bool caption) const;

    // A person's input, in client coordinates: also what WM_LBUTTONDOWN, WM_LBUTTONUP and
    // WM_KEYDOWN do. Key returns false for a key the list leaves to its parent.
    void Press(const QPoint& client);
    void Release(const QPoint& client);
    void DoubleClick(const QPoint& client);
    bool Key(UINT key);
    void ColumnClicked(int column);

    // Sets the state bits in `mask` of one row to those of `state`, telling the parent with
    // LVN_ITEMCHANGING and LVN_ITEMCHANGED. Selecting a row in a single-selection list (or with
    // `exclusive`) first takes the selection from the others, and focusing it takes the focus
    // from the row that had it; each row losing something is told once, before this row. False
    // for a bad row or when the parent refused.
    bool SetRowState(int row, UINT state, UINT mask, bool exclusive = false);
    // WM_NOTIFY to the parent; 0 once the window is destroyed.
    LRESULT Notify(UINT code, NMHDR* header);
    LRESULT NotifyItem(UINT code, int row, int subItem, UINT newState, UINT oldState, UINT changed);

    // Held while an event handler of the widget runs: a handler's notification may lead the
    // program to destroy the list, and the widget must outlive the handler that is using it.
    class BusyScope : public WidgetLife::Busy
    {
      public:
        explicit BusyScope(ListViewWidget* list) : WidgetLife::Busy(list->life_) {}
    };

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

  private:
    void Sync();
    void UpdateMetrics();
    bool ChangeState(int row, UINT state, UINT mask);
    bool ShowsSelection() const;

    HWND window_;
    WidgetLife life_;
    ListViewModel* model_;
    HIMAGELIST images_[3] = {nullptr, nullptr, nullptr};
    int rowHeight_ = 17;
    int headerHeight_ = 18;
    // The tap in progress: where it went down and what it hit.
    bool pressed_ = false;
    bool doubleClicked_ = false;
    QPoint pressPoint_;
    int pressRow_ = -1;
    int pressColumn_ = -1;
};

// The widget of a list view window, or null for any other window.
ListViewWidget* ListViewOf(HWND window);
// The system font: 8 points of a sans serif at 96 pixels an inch.
QFont ListViewSystemFont();
