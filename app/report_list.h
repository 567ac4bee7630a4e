// The Time Report's list of totals per category (control 501): made when an All report is
// shown and destroyed when the report is reset, rebuilt or closed. It shows MainCategoryList in
// its current order, at most REPORT_ROWS_MAX rows, with the totals the last All report left in
// the categories' values; its header marks the sort column with its direction.
#pragma once

#include "platform/windows.h"

#define IDC_REPORT_LIST 501
#define REPORT_ROWS_MAX 100

// Makes the list in `dialog` where the layout the screen calls for puts it, with its pictures
// and its two columns; the header shows the sort of ReportSortColumn and ReportSortOrder.
// False, nothing left behind, when the list or a column cannot be made.
bool BuildReportList(HWND dialog);
// Orders MainCategoryList as ReportSortColumn and ReportSortOrder say and marks the header to
// match; an order not chosen yet sorts by name ascending. False when the sort fails.
bool ApplyReportSort();
// Shows the categories in their order; with more than REPORT_ROWS_MAX the person is told that
// only the first are listed.
void FillReportList();
// A tap on header `column`: the same column turns its direction round, another column becomes
// the sort column in the current direction; the categories are sorted and shown again.
void SortReportListBy(int column);
// Destroys the list and its pictures, when they exist.
void DestroyReportList();
// Whether the list exists: an All report is on the screen.
bool ReportListShown();
