// The cell texts of the list's rows, kept in one store for all rows: edits of rows anywhere in
// the list, amid appends, deletions and column changes, and the cells they leave unwritten.
#include "platform/window/list_view/list_view_model.h"
#include "tests/platform/window/list_view_fixture.h"

#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

using namespace list_view_test;

namespace
{
enum Op { APPEND, INSERT, SET, REMOVE, REMOVE_ALL, ADD_COLUMN, DROP_COLUMN };

struct Change {
    Op op;
    int row = 0; // the row, or the column of ADD_COLUMN and DROP_COLUMN
    int column = 0;
    const char16_t* text = u"";
};

void Apply(ListViewModel& model, const Change& change)
{
    switch (change.op) {
    case APPEND: model.InsertRow(model.RowCount(), ListViewRow(), change.text); break;
    case INSERT: model.InsertRow(change.row, ListViewRow(), change.text); break;
    case SET: model.SetCell(change.row, change.column, change.text); break;
    case REMOVE: model.RemoveRow(change.row); break;
    case REMOVE_ALL: model.RemoveAll(); break;
    case ADD_COLUMN: model.InsertColumn(change.row, ListViewColumn()); break;
    case DROP_COLUMN: model.RemoveColumn(change.row); break;
    }
}

// A row's cells up to the last one it has, joined by "|": "" for a row of no cells, "||" for
// three empty ones. A cell it does not have reads as a null text, one written empty as empty.
QString Cells(const ListViewModel& model, int row)
{
    QStringList cells;
    for (int column = 0; column < 8; ++column) {
        QString cell = model.Cell(row, column);
        if (cell.isNull())
            break;
        cells << cell;
    }
    return cells.join(u'|');
}

// Three columns and three rows, filled as the program fills its list.
void Fill(ListViewModel& model)
{
    for (int i = 0; i < 3; ++i)
        model.InsertColumn(i, ListViewColumn());
    for (const char16_t* row : {u"a", u"b", u"c"}) {
        std::u16string name(row);
        Apply(model, {APPEND, 0, 0, (name + u"0").c_str()});
        int at = model.RowCount() - 1;
        model.SetCell(at, 1, name + u"1");
        model.SetCell(at, 2, name + u"2");
    }
}
} // namespace

TEST_F(ListViewTest, EditsOfAnyRowKeepEveryCellAmidAppendsDeletionsAndColumnChanges)
{
    struct {
        const char* name;
        std::vector<Change> changes;
        QStringList rows;
    } cases[] = {
        {"the last row grows, empties and shrinks",
         {{SET, 2, 1, u"a longer text"}, {SET, 2, 1, u""}, {SET, 2, 0, u""}, {SET, 2, 2, u"z"}},
         {"a0|a1|a2", "b0|b1|b2", "||z"}},
        {"the first row changes before and after an append",
         {{SET, 0, 1, u"X"},
          {SET, 0, 2, u"Y"},
          {APPEND, 0, 0, u"d0"},
          {SET, 3, 1, u"d1"},
          {SET, 0, 0, u"A"},
          {SET, 3, 2, u"d2"}},
         {"A|X|Y", "b0|b1|b2", "c0|c1|c2", "d0|d1|d2"}},
        {"the middle row changes around a deletion",
         {{SET, 1, 2, u"B2"}, {REMOVE, 2}, {SET, 1, 1, u"B1"}, {SET, 0, 1, u""}, {REMOVE, 0}},
         {"b0|B1|B2"}},
        {"a row put between others and changed",
         {{INSERT, 1, 0, u"m0"}, {SET, 1, 2, u"m2"}, {SET, 0, 1, u"A1"}, {SET, 3, 0, u"C"}},
         {"a0|A1|a2", "m0||m2", "b0|b1|b2", "C|c1|c2"}},
        {"a column put second after edits, then edits of the moved cells",
         {{SET, 1, 1, u"q"},
          {ADD_COLUMN, 1},
          {SET, 1, 1, u"new"},
          {SET, 0, 3, u"a3"},
          {APPEND, 0, 0, u"d0"}},
         {"a0||a1|a3", "b0|new|q|b2", "c0||c1|c2", "d0"}},
        {"a column put first keeps the own texts; rows of fewer cells keep theirs",
         {{APPEND, 0, 0, u"d0"}, {ADD_COLUMN, 0}, {SET, 0, 2, u"x"}, {ADD_COLUMN, 3}},
         {"a0||x||a2", "b0||b1||b2", "c0||c1||c2", "d0"}},
        {"columns dropped from every row, a row's last cell with them",
         {{DROP_COLUMN, 2},
          {SET, 1, 2, u"n"},
          {SET, 2, 1, u""},
          {DROP_COLUMN, 1},
          {SET, 0, 1, u"m"}},
         {"a0|m", "b0|n", "c0"}},
        {"rows of no text and of empty cells",
         {{APPEND, 0, 0, u""},
          {APPEND, 0, 0, u""},
          {SET, 3, 0, u""},
          {SET, 4, 2, u""},
          {APPEND, 0, 0, u"f0"},
          {SET, 3, 1, u"e1"},
          {SET, 3, 1, u""}},
         {"a0|a1|a2", "b0|b1|b2", "c0|c1|c2", "|", "||", "f0"}},
        {"every row goes, and the list fills again",
         {{SET, 0, 1, u"gone"}, {REMOVE_ALL}, {APPEND, 0, 0, u"n0"}, {SET, 0, 2, u"n2"}},
         {"n0||n2"}},
        {"rows deleted from the front and the back, the others changed between",
         {{REMOVE, 0}, {SET, 0, 0, u"B"}, {REMOVE, 1}, {SET, 0, 2, u"B2"}, {APPEND, 0, 0, u"d"}},
         {"B|b1|B2", "d"}},
    };
    for (const auto& c : cases) {
        ListViewModel model(nullptr);
        Fill(model);
        for (const Change& change : c.changes)
            Apply(model, change);
        QStringList rows;
        for (int row = 0; row < model.RowCount(); ++row)
            rows << Cells(model, row);
        EXPECT_EQ(rows, c.rows) << c.name;
    }
}

TEST_F(ListViewTest, ManyEditsOfOlderRowsLoseNoCell)
{
    // Rows edited far from the end move their texts to the end of the store, and the garbage
    // they leave is packed away again and again; every cell must survive each packing.
    ListViewModel model(nullptr);
    for (int i = 0; i < 3; ++i)
        model.InsertColumn(i, ListViewColumn());
    std::vector<std::vector<std::u16string>> expected;
    auto text = [](int n) {
        std::string s = std::to_string(n) + std::string(size_t(n % 7), '.');
        return std::u16string(s.begin(), s.end());
    };
    uint32_t random = 12345;
    for (int step = 0; step < 6000; ++step) {
        random = random * 1103515245u + 12345u;
        int pick = int(random >> 8);
        if (step < 1000 || pick % 50 == 0) {
            model.InsertRow(model.RowCount(), ListViewRow(), text(step));
            model.SetCell(model.RowCount() - 1, 1, text(step + 1));
            model.SetCell(model.RowCount() - 1, 2, text(step + 2));
            expected.push_back({text(step), text(step + 1), text(step + 2)});
        } else if (pick % 50 == 1) {
            int at = (pick >> 6) % model.RowCount();
            model.RemoveRow(at);
            expected.erase(expected.begin() + at);
        } else {
            int at = (pick >> 6) % model.RowCount();
            int column = (pick >> 3) % 3;
            model.SetCell(at, column, text(step));
            expected[size_t(at)][size_t(column)] = text(step);
        }
    }
    ASSERT_EQ(model.RowCount(), int(expected.size()));
    for (int row = 0; row < model.RowCount(); ++row) {
        for (int column = 0; column < 3; ++column)
            ASSERT_EQ(model.Cell(row, column).toStdU16String(),
                      expected[size_t(row)][size_t(column)])
                << "row " << row << ", column " << column;
    }
}

TEST_F(ListViewTest, EditsAndColumnChangesReadBackThroughTheMessages)
{
    HWND list = MakeList();
    AddColumns(list);
    AddRows(list, 200);
    auto setText = [&](int row, int column, const char16_t* text) {
        LVITEMW cell = {};
        cell.iSubItem = column;
        cell.pszText = const_cast<LPWSTR>(text);
        ASSERT_TRUE(SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&cell)));
    };
    setText(0, 1, u"first");
    setText(100, 2, u"middle");
    setText(199, 0, u"last");
    ASSERT_TRUE(SendMessageW(list, LVM_DELETEITEM, 50, 0));
    AddRow(list, 199, u"new", u"Job", u"1,00");
    LVCOLUMNW memo = {};
    memo.mask = LVCF_TEXT;
    memo.pszText = const_cast<LPWSTR>(u"Memo");
    ASSERT_EQ(SendMessageW(list, LVM_INSERTCOLUMNW, 1, LPARAM(&memo)), 1);
    setText(0, 1, u"memo");
    ASSERT_TRUE(SendMessageW(list, LVM_DELETECOLUMN, 2, 0));
    ASSERT_EQ(Count(list), 200);
    for (int row = 0; row < 200; ++row) {
        std::string own = "row " + std::to_string(row < 50 ? row : row + 1);
        std::u16string cells[3] = {std::u16string(own.begin(), own.end()), u"", u""};
        if (row == 0)
            cells[1] = u"memo";
        if (row == 99)
            cells[2] = u"middle";
        if (row == 198)
            cells[0] = u"last";
        if (row == 199)
            cells[0] = u"new", cells[2] = u"1,00";
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(CellText(list, row, column), cells[column])
                << "row " << row << ", column " << column;
    }
}
