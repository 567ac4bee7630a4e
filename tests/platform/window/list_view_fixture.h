// A program window on a 240 x 320 screen with a report list view as its child (control 500),
// as the program makes its record list; the window's procedure records every WM_NOTIFY.
#pragma once

#include "platform/commctrl.h"
#include "platform/window/window_object.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace list_view_test
{
const UINT LIST_ID = 500;
const DWORD LIST_STYLE =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL;

// One notification as the parent saw it.
struct Note {
    UINT code;
    int item = 0;
    int subItem = 0;
    UINT newState = 0;
    UINT oldState = 0;
    UINT changed = 0;
    POINT point{0, 0};
    WORD key = 0;
    UINT_PTR from = 0;
    LPARAM param = 0;
};

std::vector<Note>& Notes();
// Called for each notification after it is recorded; its result is the parent's answer.
std::function<LRESULT(HWND parent, const NMHDR*)>& OnNotify();

// Notes of these codes only, in order.
std::vector<Note> NotesOf(std::initializer_list<UINT> codes);
std::string Describe(const std::vector<Note>& notes);

class ListViewTest : public testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // A list of the given style on the parent, at the record list's place.
    HWND MakeList(DWORD style = LIST_STYLE, int width = 240, int height = 267);
    // Three columns as the program makes them: "Date" 88, "Category" 90, "Time" 55.
    void AddColumns(HWND list);
    // Inserts a row at `at` with texts for the first three cells; returns its index.
    int AddRow(HWND list, int at, const std::u16string& date, const std::u16string& category = u"",
               const std::u16string& time = u"", int image = 4);
    // Fills `count` rows "row 0" … at the end.
    void AddRows(HWND list, int count);
    std::u16string CellText(HWND list, int row, int column);
    UINT State(HWND list, int row, UINT mask = 0xFFFF);
    void Select(HWND list, int row, UINT state = LVIS_SELECTED | LVIS_FOCUSED,
                UINT mask = LVIS_SELECTED | LVIS_FOCUSED);
    RECT Rect(HWND list, int row, int code = LVIR_BOUNDS);
    int TopIndex(HWND list);
    int Count(HWND list);

    std::unique_ptr<QWidget> screen_;
    HWND parent_ = nullptr;
    HWND list_ = nullptr;
};
} // namespace list_view_test
