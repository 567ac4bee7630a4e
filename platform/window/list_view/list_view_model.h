// The rows and columns of a report list view, as plain vectors behind a Qt table model: a row is
// its picture, its cell texts, its state bits and its item data, never a widget item. Appending
// a row is O(1) amortised; inserting or deleting one in the middle moves the rows after it.
// The model only keeps the data; the notifications that go with a change are the control's.
//
// A list of 100,000 rows is filled a row at a time, so rows are kept small and cost no heap
// block of their own: the cell texts of all rows lie in one store owned by the model, each row
// naming only where its own texts are. Rows appended at the end are announced to the view
// together (FlushAppended) at the latest when the program's work returns to the event loop:
// until then the view knows the rows before them only, which stay as they were, so whatever it
// paints or scrolls is true.
#pragma once

#include "platform/commctrl.h"

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ListViewRow {
    int image = 0;
    UINT state = 0; // LVIS_* bits
    LPARAM param = 0;

  private:
    friend class ListViewModel;
    // The row's cells in the model's text store: their texts one after the other, each but the
    // last ended by a zero; cell 0 is the item's own text, and cells past the end are empty.
    // Texts hold no zero of their own. A row without text starts at 0.
    uint32_t textAt = 0;
    uint32_t textLength = 0;
};

struct ListViewColumn {
    int format = LVCFMT_LEFT;
    QString text;
    int subItem = 0;
    int image = 0;
};

class ListViewModel : public QAbstractTableModel
{
  public:
    explicit ListViewModel(QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int RowCount() const { return int(rows_.size()); }
    int ColumnCount() const { return int(columns_.size()); }
    bool IsRow(int row) const { return row >= 0 && row < RowCount(); }
    bool IsColumn(int column) const { return column >= 0 && column < ColumnCount(); }
    const ListViewRow& Row(int row) const { return rows_[size_t(row)]; }
    const ListViewColumn& Column(int column) const { return columns_[size_t(column)]; }
    // The text of a cell; empty for a cell never written.
    QString Cell(int row, int column) const;

    // Inserts before `at` (0 to ColumnCount()); the cells of every row move with their columns,
    // except cell 0, which stays the item's text whatever column comes first.
    void InsertColumn(int at, const ListViewColumn& column);
    void RemoveColumn(int at); // at > 0
    void SetColumn(int at, const ListViewColumn& column);

    // Inserts before `at` (0 to RowCount()) with `text` as the item's own text and no other
    // cell. The row must come without LVIS_SELECTED and LVIS_FOCUSED; those are given
    // afterwards through SetState.
    void InsertRow(int at, ListViewRow row, std::u16string_view text);
    void RemoveRow(int at);
    void RemoveAll();
    // Costs the length of the row's texts, amortised. `text` holds no zero and does not point
    // into the model.
    void SetCell(int row, int column, std::u16string_view text);
    void SetImage(int row, int image);
    void SetParam(int row, LPARAM param);
    // Stores the state bits; the caller keeps at most one row focused.
    void SetState(int row, UINT state);
    // Announces to the view the rows appended since the last time. Every change other than an
    // append, and every question the view must answer for all rows, comes after it.
    void FlushAppended();

    // The selected rows, kept in order so that the common questions cost no walk of the rows.
    int SelectedCount() const { return int(selected_.size()); }
    const std::vector<int>& SelectedRows() const { return selected_; }
    // The first selected row after `after` (-1 searches from the start), or -1.
    int NextSelected(int after) const;
    int FocusedRow() const { return focused_; }

  private:
    void RowChanged(int row);
    std::u16string_view Texts(const ListViewRow& row) const;
    bool AtEnd(const ListViewRow& row) const;
    void MoveToEnd(ListViewRow& row);
    // Writes every row's texts anew, one row after the other in row order, as `change` gives
    // them from the old ones; what no row names any more is dropped.
    template <typename Change> void Rewrite(Change change);
    void CompactIfWasteful();

    std::vector<ListViewRow> rows_;
    // Every row's texts, and the garbage left where rows' texts were before they moved to the
    // end or went: `garbage_` characters, at most about half of the store but for a moment. A
    // list's texts stay under 4 G characters.
    std::u16string texts_;
    size_t garbage_ = 0;
    size_t announced_ = 0; // rows the view knows of: all but those appended since
    bool flushQueued_ = false;
    std::vector<ListViewColumn> columns_;
    std::vector<int> selected_;
    int focused_ = -1;
};
