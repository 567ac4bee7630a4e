// The report list of the main window: one row per record of MainRecordList, in list order,
// with the date, category and duration and a picture telling whether the record has a memo.
// A row's number is its record's index in the list.
#pragma once

#include "model/record_list.h"
#include "platform/windows.h"

// Creates the list (control 500) under the main window's menu-free client area, with its image
// list and three columns sized for the narrow or the wide layout. Null on failure.
HWND CreateRecordListView(HWND mainWindow, bool wide);
// Replaces every row by the records of MainRecordList and sets the record commands.
void FillRecordListView(HWND listView);
// Adds a row for `record` at the end and scrolls it into view.
void AppendRecordRow(HWND listView, const RecordNode* record);
// Rewrites the cells and picture of `row`.
void UpdateRecordRow(HWND listView, int row, const RecordNode* record);
// Enables the commands that need records when the list has rows, greys them otherwise.
void UpdateRecordCommands(HWND listView);
// Every notification of control 500, after the main window remembered the selection.
void HandleRecordListNotify(HWND mainWindow, const NMHDR* notification);
// Opens the selected record in Register Time and writes back what the user confirmed.
void EditSelectedRecord(HWND mainWindow);
// The number of rows.
int RowCount(HWND listView);
// The first selected row, -1 when none.
int SelectedRow(HWND listView);
// Shows `image` (an order picture) in the Date header.
void SetHeaderImage(HWND listView, int image);
// Selects and focuses `row` as the only selected row.
void SelectRow(HWND listView, int row);
