// The entries of the two list controls, the drop-down list and the list box, and the messages
// on them that both classes answer alike, each under its own numbers: adding (in order when
// sorted), inserting, deleting, counting, texts, the documented searches and item data. The
// entries live in the widget's own model, one row an entry: its text, and its item data under
// Qt::UserRole. The control makes the changes itself, so that its selection and its window's
// text follow as the handheld has them.
#pragma once

#include "platform/window/controls/controls_internal.h"

class QAbstractItemModel;

// Both classes answer a failure with -1 and a success without a value with 0.
static_assert(CB_ERR == LB_ERR && CB_OKAY == LB_OKAY);

// A message's index or start (WPARAM) as the program meant it: -1 stays -1.
inline int SignedIndex(WPARAM value)
{
    return int(intptr_t(value));
}

// The numbers of the shared messages in one class.
struct EntryMessages {
    UINT add, insert, remove, reset, count, text, textLength, find, findExact, select, setData,
        getData;
};
extern const EntryMessages ComboEntryMessages;
extern const EntryMessages ListBoxEntryMessages;

// A list control's side of its entries.
class ListEntries
{
  public:
    virtual QAbstractItemModel& EntryModel() const = 0;
    // The class's sort style (CBS_SORT, LBS_SORT) as the window has it now.
    virtual bool Sorted() const = 0;
    // `at` is always an index from 0 to the count (the end).
    virtual void InsertEntry(int at, const QString& text) = 0;
    // `at` is always an entry's index.
    virtual void RemoveEntry(int at) = 0;
    virtual void ClearEntries() = 0;
    // The program's own choice (SELECTSTRING): sends nothing.
    virtual void Select(int at) = 0;

  protected:
    ~ListEntries() = default;
};

// Answers `message` when it is one of the class's shared messages, into `result`; false for any
// other message, leaving `result` alone.
bool EntryMessage(ListEntries& entries, const EntryMessages& codes, UINT message, WPARAM wParam,
                  LPARAM lParam, LRESULT* result);

// FINDSTRING (prefix) and FINDSTRINGEXACT (whole text), both case-insensitive: from the entry
// after `start` (-1, or any index outside the list: from the top), wrapping round to `start`
// itself. The index found, or -1.
int FindEntry(const QAbstractItemModel& entries, int start, const QString& text, bool exact);
// Where a sorted list puts a new entry: after every entry that does not sort after it, without
// case.
int SortedPosition(const QAbstractItemModel& entries, const QString& text);
