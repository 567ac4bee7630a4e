// The report list view as the device and the scripted user see it: what it shows, and taps on
// its rows and headers as a person makes them. Not for the program.
#pragma once

#include "platform/windows.h"

#include <string>
#include <vector>

struct ListViewColumnView {
    std::u16string text;
    int width;
    int image; // the header's picture, -1 when it has none
};

struct ListViewRowView {
    int image; // -1 when the row has none
    std::vector<std::u16string> cells;
    bool selected;
    bool focused;
};

struct ListViewView {
    std::vector<ListViewColumnView> columns;
    std::vector<ListViewRowView> rows;
    int firstVisible; // the first and last row at least partly in view; -1 when there are none
    int lastVisible;
};

// True for a window of the list view class.
bool IsListView(HWND window);
// Everything the list shows, rows in order.
ListViewView ReadListView(HWND list);
// Scrolls row `row` into view and taps it with the pointer, as a person does: the control
// selects and focuses it and sends its notifications. False with a plain reason when there is
// no such row or the list is hidden or disabled.
bool TapListViewRow(HWND list, int row, std::string* reason);
// Taps the header of column `column` with the pointer; false with a reason as above.
bool TapListViewHeader(HWND list, int column, std::string* reason);
