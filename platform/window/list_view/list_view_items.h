// The list view's item messages (LVM_INSERTITEMW, LVM_SETITEMW, LVM_GETNEXTITEM …), each with
// its documented parameters, results and notifications. Not for the program.
#pragma once

#include "platform/commctrl.h"

#include <QString>

class ListViewWidget;

// A text given by the program: false for LPSTR_TEXTCALLBACKW, which this list does not ask the
// parent for; null is the empty text.
bool TextOf(LPCWSTR text, QString* out);
// Copies as much of `text` as `capacity` holds, always terminated; -1 for no buffer.
int CopyText(const QString& text, LPWSTR buffer, int capacity);

LRESULT InsertItem(ListViewWidget& list, const LVITEMW* item);
LRESULT DeleteItem(ListViewWidget& list, WPARAM row);
LRESULT DeleteAllItems(ListViewWidget& list);
LRESULT SetItem(ListViewWidget& list, const LVITEMW* item);
LRESULT GetItem(ListViewWidget& list, LVITEMW* item);
LRESULT SetItemText(ListViewWidget& list, WPARAM row, const LVITEMW* item);
LRESULT GetItemText(ListViewWidget& list, WPARAM row, LVITEMW* item);
LRESULT SetItemState(ListViewWidget& list, WPARAM row, const LVITEMW* item);
LRESULT GetItemState(ListViewWidget& list, WPARAM row, UINT mask);
LRESULT NextItem(ListViewWidget& list, WPARAM start, UINT flags);
