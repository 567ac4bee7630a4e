#include "platform/window/list_view/list_view_model.h"

#include <algorithm>

ListViewModel::ListViewModel(QObject* parent) : QAbstractTableModel(parent) {}

int ListViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
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
    const std::vector<QString>& cells = Row(row).cells;
    return column >= 0 && size_t(column) < cells.size() ? cells[size_t(column)] : QString();
}

void ListViewModel::InsertColumn(int at, const ListViewColumn& column)
{
    beginInsertColumns(QModelIndex(), at, at);
    columns_.insert(columns_.begin() + at, column);
    size_t moved = size_t(std::max(at, 1));
    for (ListViewRow& row : rows_) {
        if (row.cells.size() > moved)
            row.cells.insert(row.cells.begin() + long(moved), QString());
    }
    endInsertColumns();
}

void ListViewModel::RemoveColumn(int at)
{
    beginRemoveColumns(QModelIndex(), at, at);
    columns_.erase(columns_.begin() + at);
    for (ListViewRow& row : rows_) {
        if (row.cells.size() > size_t(at))
            row.cells.erase(row.cells.begin() + at);
    }
    endRemoveColumns();
}

void ListViewModel::SetColumn(int at, const ListViewColumn& column)
{
    columns_[size_t(at)] = column;
    emit headerDataChanged(Qt::Horizontal, at, at);
}

void ListViewModel::InsertRow(int at, ListViewRow row)
{
    row.state &= ~UINT(LVIS_SELECTED | LVIS_FOCUSED);
    beginInsertRows(QModelIndex(), at, at);
    rows_.insert(rows_.begin() + at, std::move(row));
    for (int& selected : selected_) {
        if (selected >= at)
            ++selected;
    }
    if (focused_ >= at)
        ++focused_;
    endInsertRows();
}

void ListViewModel::RemoveRow(int at)
{
    beginRemoveRows(QModelIndex(), at, at);
    rows_.erase(rows_.begin() + at);
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
    selected_.clear();
    focused_ = -1;
    endResetModel();
}

void ListViewModel::SetCell(int row, int column, const QString& text)
{
    std::vector<QString>& cells = rows_[size_t(row)].cells;
    if (size_t(column) >= cells.size())
        cells.resize(size_t(column) + 1);
    cells[size_t(column)] = text;
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

void ListViewModel::RowChanged(int row)
{
    if (columns_.empty())
        return;
    emit dataChanged(index(row, 0), index(row, ColumnCount() - 1), {Qt::DisplayRole});
}
