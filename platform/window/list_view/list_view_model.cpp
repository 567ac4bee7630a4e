#include "platform/window/list_view/list_view_model.h"

#include <QTimer>

#include <algorithm>

namespace
{
const char16_t CELL_END = 0;
const size_t NONE = std::u16string_view::npos;

// Where cell `column` of `cells` starts; NONE when the row has fewer cells.
size_t CellStart(std::u16string_view cells, size_t column)
{
    if (cells.empty())
        return column == 0 ? 0 : NONE;
    size_t at = 0;
    for (size_t c = 0; c < column; ++c) {
        at = cells.find(CELL_END, at);
        if (at == NONE)
            return at;
        ++at;
    }
    return at;
}

size_t CellEnd(std::u16string_view cells, size_t start)
{
    size_t end = cells.find(CELL_END, start);
    return end == NONE ? cells.size() : end;
}

size_t CellCount(std::u16string_view cells)
{
    return cells.empty() ? 0 : size_t(std::count(cells.begin(), cells.end(), CELL_END)) + 1;
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
    std::u16string_view cells = Texts(Row(row));
    size_t start = column >= 0 ? CellStart(cells, size_t(column)) : NONE;
    if (start == NONE)
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
    Rewrite([moved](std::u16string_view cells, std::u16string& out) {
        if (CellCount(cells) <= moved) {
            out.append(cells);
            return;
        }
        size_t start = CellStart(cells, moved);
        out.append(cells.substr(0, start));
        out.push_back(CELL_END);
        out.append(cells.substr(start));
    });
    endInsertColumns();
}

void ListViewModel::RemoveColumn(int at)
{
    FlushAppended();
    beginRemoveColumns(QModelIndex(), at, at);
    columns_.erase(columns_.begin() + at);
    size_t removed = size_t(at);
    Rewrite([removed](std::u16string_view cells, std::u16string& out) {
        if (CellCount(cells) <= removed) {
            out.append(cells);
            return;
        }
        size_t start = CellStart(cells, removed);
        size_t end = CellEnd(cells, start);
        // The cell goes with the zero that ends it, or for the last cell the one before it.
        if (end < cells.size()) {
            out.append(cells.substr(0, start));
            out.append(cells.substr(end + 1));
        } else {
            out.append(cells.substr(0, start - 1));
        }
    });
    endRemoveColumns();
}

void ListViewModel::SetColumn(int at, const ListViewColumn& column)
{
    FlushAppended();
    columns_[size_t(at)] = column;
    emit headerDataChanged(Qt::Horizontal, at, at);
}

void ListViewModel::InsertRow(int at, ListViewRow row, std::u16string_view text)
{
    row.state &= ~UINT(LVIS_SELECTED | LVIS_FOCUSED);
    row.textAt = text.empty() ? 0 : uint32_t(texts_.size());
    row.textLength = uint32_t(text.size());
    texts_.append(text);
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
    const ListViewRow& gone = rows_[size_t(at)];
    if (AtEnd(gone))
        texts_.resize(gone.textAt);
    else
        garbage_ += gone.textLength;
    rows_.erase(rows_.begin() + at);
    CompactIfWasteful();
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
    // The memory stays with the list: emptied, a list is most often filled again at once (a
    // new order, a reload), and memory already touched costs the refill no page faults.
    rows_.clear();
    texts_.clear();
    garbage_ = 0;
    announced_ = 0;
    selected_.clear();
    focused_ = -1;
    endResetModel();
}

void ListViewModel::SetCell(int row, int column, std::u16string_view text)
{
    ListViewRow& r = rows_[size_t(row)];
    std::u16string_view cells = Texts(r);
    size_t count = CellCount(cells);
    size_t wanted = size_t(column);
    size_t start = NONE;
    size_t end = NONE;
    // An empty text is one empty cell from here on.
    if (wanted < std::max<size_t>(count, 1)) {
        start = CellStart(cells, wanted);
        end = CellEnd(cells, start);
        if (cells.substr(start, end - start) == text) {
            RowChanged(row);
            return;
        }
    }
    // Only the texts at the end of the store change in place; a row further back moves there,
    // leaving garbage that compaction takes back.
    if (!AtEnd(r))
        MoveToEnd(r);
    if (start == NONE) {
        texts_.append(wanted - std::max<size_t>(count, 1) + 1, CELL_END);
        texts_.append(text);
    } else if (end == r.textLength) {
        texts_.resize(r.textAt + start);
        texts_.append(text);
    } else {
        texts_.replace(r.textAt + start, end - start, text);
    }
    r.textLength = uint32_t(texts_.size() - r.textAt);
    if (r.textLength == 0)
        r.textAt = 0;
    CompactIfWasteful();
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

std::u16string_view ListViewModel::Texts(const ListViewRow& row) const
{
    return std::u16string_view(texts_.data() + row.textAt, row.textLength);
}

bool ListViewModel::AtEnd(const ListViewRow& row) const
{
    return size_t(row.textAt) + row.textLength == texts_.size();
}

void ListViewModel::MoveToEnd(ListViewRow& row)
{
    size_t from = row.textAt;
    garbage_ += row.textLength;
    row.textAt = uint32_t(texts_.size());
    // Appending a part of the string itself is well defined, also when the string grows.
    texts_.append(texts_.data() + from, row.textLength);
}

template <typename Change> void ListViewModel::Rewrite(Change change)
{
    std::u16string rewritten;
    rewritten.reserve(texts_.size() - garbage_ + rows_.size());
    for (ListViewRow& row : rows_) {
        size_t at = rewritten.size();
        change(Texts(row), rewritten);
        row.textLength = uint32_t(rewritten.size() - at);
        row.textAt = row.textLength == 0 ? 0 : uint32_t(at);
    }
    texts_ = std::move(rewritten);
    garbage_ = 0;
}

void ListViewModel::CompactIfWasteful()
{
    // Each compaction follows as much garbage as there are texts left, so an edit costs its
    // row's length amortised however many rows the list has.
    if (garbage_ <= texts_.size() / 2)
        return;
    Rewrite([](std::u16string_view cells, std::u16string& out) { out.append(cells); });
}
