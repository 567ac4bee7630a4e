#include "platform/window/list_view/list_view_model.h"

#include <QTimer>

#include <algorithm>

namespace
{
const char16_t CELL_END = 0;

// Where cell `column` of `cells` starts; npos when the row has fewer cells.
size_t CellStart(const std::u16string& cells, size_t column)
{
    if (cells.empty())
        return column == 0 ? 0 : std::u16string::npos;
    size_t at = 0;
    for (size_t c = 0; c < column; ++c) {
        at = cells.find(CELL_END, at);
        if (at == std::u16string::npos)
            return at;
        ++at;
    }
    return at;
}

size_t CellEnd(const std::u16string& cells, size_t start)
{
    size_t end = cells.find(CELL_END, start);
    return end == std::u16string::npos ? cells.size() : end;
}

size_t CellCount(const std::u16string& cells)
{
    return cells.empty() ? 0 : size_t(std::count(cells.begin(), cells.end(), CELL_END)) + 1;
}

void PutCell(std::u16string& cells, size_t column, std::u16string_view text)
{
    size_t count = CellCount(cells);
    if (count == 0 && column == 0 && text.empty())
        return;
    if (count == 0)
        count = 1; // an empty string is one empty cell from here on
    if (column >= count)
        cells.append(column - count + 1, CELL_END);
    size_t start = CellStart(cells, column);
    size_t end = CellEnd(cells, start);
    cells.replace(start, end - start, text);
}
} // namespace

ListViewModel::ListViewModel(QObject* parent) : QAbstractTableModel(parent) {}

int ListViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(announced_);
}

int ListViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || !IsRow(index.row()))
        return QVariant();
    return Cell(index.row(), index.column());
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !IsColumn(section))
        return QVariant();
    return Column(section).text;
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const
{
    // The control keeps the selection in its rows' states; Qt neither selects nor edits.
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

QString ListViewModel::Cell(int row, int column) const
{
    const std::u16string& cells = Row(row).cells;
    size_t start = column >= 0 ? CellStart(cells, size_t(column)) : std::u16string::npos;
    if (start == std::u16string::npos)
        return QString();
    size_t end = CellEnd(cells, start);
    return QString::fromUtf16(cells.data() + start, qsizetype(end - start));
}

void ListViewModel::InsertColumn(int at, const ListViewColumn& column)
{
    FlushAppended();
    beginInsertColumns(QModelIndex(), at, at);
    columns_.insert(columns_.begin() + at, column);
    size_t moved = size_t(std::max(at, 1));
    for (ListViewRow& row : rows_) {
        if (CellCount(row.cells) > moved)
            row.cells.insert(CellStart(row.cells, moved), 1, CELL_END);
    }
    endInsertColumns();
}

void ListViewModel::RemoveColumn(int at)
{
    FlushAppended();
    beginRemoveColumns(QModelIndex(), at, at);
    columns_.erase(columns_.begin() + at);
    for (ListViewRow& row : rows_) {
        size_t count = CellCount(row.cells);
        if (count <= size_t(at))
            continue;
        size_t start = CellStart(row.cells, size_t(at));
        size_t end = CellEnd(row.cells, start);
        // The cell goes with the zero that ends it, or for the last cell the one before it.
        if (end < row.cells.size())
            row.cells.erase(start, end - start + 1);
        else
            row.cells.erase(start - 1, end - start + 1);
    }
    endRemoveColumns();
}

void ListViewModel::SetColumn(int at, const ListViewColumn& column)
{
    FlushAppended();
    columns_[size_t(at)] = column;
    emit headerDataChanged(Qt::Horizontal, at, at);
}

void ListViewModel::InsertRow(int at, ListViewRow row)
{
    row.state &= ~UINT(LVIS_SELECTED | LVIS_FOCUSED);
    row.cells.shrink_to_fit();
    if (size_t(at) == rows_.size()) {
        rows_.push_back(std::move(row));
        if (!flushQueued_) {
            flushQueued_ = true;
            QTimer::singleShot(0, this, [this] { FlushAppended(); });
        }
        return;
    }
    FlushAppended();
    beginInsertRows(QModelIndex(), at, at);
    rows_.insert(rows_.begin() + at, std::move(row));
    for (int& selected : selected_) {
        if (selected >= at)
            ++selected;
    }
    if (focused_ >= at)
        ++focused_;
    ++announced_;
    endInsertRows();
}

void ListViewModel::RemoveRow(int at)
{
    FlushAppended();
    beginRemoveRows(QModelIndex(), at, at);
    rows_.erase(rows_.begin() + at);
    --announced_;
    selected_.erase(std::remove(selected_.begin(), selected_.end(), at), selected_.end());
    for (int& selected : selected_) {
        if (selected > at)
            --selected;
    }
    if (focused_ == at)
        focused_ = -1;
    else if (focused_ > at)
        --focused_;
    endRemoveRows();
}

void ListViewModel::RemoveAll()
{
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    announced_ = 0;
    selected_.clear();
    focused_ = -1;
    endResetModel();
}

void ListViewModel::SetCell(int row, int column, std::u16string_view text)
{
    PutCell(rows_[size_t(row)].cells, size_t(column), text);
    RowChanged(row);
}

void ListViewModel::SetImage(int row, int image)
{
    rows_[size_t(row)].image = image;
    RowChanged(row);
}

void ListViewModel::SetParam(int row, LPARAM param)
{
    rows_[size_t(row)].param = param;
}

void ListViewModel::SetState(int row, UINT state)
{
    ListViewRow& r = rows_[size_t(row)];
    bool wasSelected = (r.state & LVIS_SELECTED) != 0;
    bool isSelected = (state & LVIS_SELECTED) != 0;
    r.state = state;
    if (wasSelected != isSelected) {
        auto place = std::lower_bound(selected_.begin(), selected_.end(), row);
        if (isSelected)
            selected_.insert(place, row);
        else
            selected_.erase(place);
    }
    if (state & LVIS_FOCUSED)
        focused_ = row;
    else if (focused_ == row)
        focused_ = -1;
    RowChanged(row);
}

int ListViewModel::NextSelected(int after) const
{
    auto next = std::upper_bound(selected_.begin(), selected_.end(), after);
    return next == selected_.end() ? -1 : *next;
}

void ListViewModel::FlushAppended()
{
    flushQueued_ = false;
    if (announced_ >= rows_.size())
        return;
    // The rows are in place already; the view is told of them as if they came now.
    beginInsertRows(QModelIndex(), int(announced_), int(rows_.size()) - 1);
    announced_ = rows_.size();
    endInsertRows();
}

void ListViewModel::RowChanged(int row)
{
    // A row the view does not know of yet is shown as it is when it is announced.
    if (columns_.empty() || size_t(row) >= announced_)
        return;
    emit dataChanged(index(row, 0), index(row, ColumnCount() - 1), {Qt::DisplayRole});
}
