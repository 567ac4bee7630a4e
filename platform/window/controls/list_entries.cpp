// The entries of drop-down lists and list boxes: the messages both classes share and the
// searches.
#include "platform/window/controls/list_entries.h"

#include <QAbstractItemModel>

const EntryMessages ComboEntryMessages = {CB_ADDSTRING,    CB_INSERTSTRING, CB_DELETESTRING,
                                          CB_RESETCONTENT, CB_GETCOUNT,     CB_GETLBTEXT,
                                          CB_GETLBTEXTLEN, CB_FINDSTRING,   CB_FINDSTRINGEXACT,
                                          CB_SELECTSTRING, CB_SETITEMDATA,  CB_GETITEMDATA};
const EntryMessages ListBoxEntryMessages = {LB_ADDSTRING,    LB_INSERTSTRING, LB_DELETESTRING,
                                            LB_RESETCONTENT, LB_GETCOUNT,     LB_GETTEXT,
                                            LB_GETTEXTLEN,   LB_FINDSTRING,   LB_FINDSTRINGEXACT,
                                            LB_SELECTSTRING, LB_SETITEMDATA,  LB_GETITEMDATA};

namespace
{
QString EntryText(const QAbstractItemModel& entries, int at)
{
    return entries.data(entries.index(at, 0)).toString();
}

// ADDSTRING (`add`: in order when sorted, else at the end) and INSERTSTRING (at `at`, -1 for
// the end, never sorted).
LRESULT Insert(ListEntries& list, bool add, int at, LPARAM lParam)
{
    if (!lParam)
        return CB_ERR;
    QString text = QtText(reinterpret_cast<LPCWSTR>(lParam));
    int count = list.EntryModel().rowCount();
    if (add)
        at = list.Sorted() ? SortedPosition(list.EntryModel(), text) : count;
    else if (at == -1)
        at = count;
    if (at < 0 || at > count)
        return CB_ERR;
    list.InsertEntry(at, text);
    return at;
}

LRESULT Find(const QAbstractItemModel& entries, WPARAM start, LPARAM text, bool exact)
{
    if (!text)
        return CB_ERR;
    return FindEntry(entries, SignedIndex(start), QtText(reinterpret_cast<LPCWSTR>(text)), exact);
}
} // namespace

bool EntryMessage(ListEntries& list, const EntryMessages& codes, UINT message, WPARAM wParam,
                  LPARAM lParam, LRESULT* result)
{
    QAbstractItemModel& entries = list.EntryModel();
    int index = SignedIndex(wParam);
    bool inList = index >= 0 && index < entries.rowCount();
    LRESULT answer = CB_ERR;
    if (message == codes.add) {
        answer = Insert(list, true, 0, lParam);
    } else if (message == codes.insert) {
        answer = Insert(list, false, index, lParam);
    } else if (message == codes.remove) {
        if (inList) {
            list.RemoveEntry(index);
            answer = entries.rowCount();
        }
    } else if (message == codes.reset) {
        list.ClearEntries();
        answer = CB_OKAY;
    } else if (message == codes.count) {
        answer = entries.rowCount();
    } else if (message == codes.text) {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (inList && buffer) {
            QString text = EntryText(entries, index);
            answer = CopyTextOut(text, buffer, int(text.size()) + 1);
        }
    } else if (message == codes.textLength) {
        if (inList)
            answer = EntryText(entries, index).size();
    } else if (message == codes.find || message == codes.findExact) {
        answer = Find(entries, wParam, lParam, message == codes.findExact);
    } else if (message == codes.select) {
        answer = Find(entries, wParam, lParam, false);
        if (answer != CB_ERR)
            list.Select(int(answer));
    } else if (message == codes.setData) {
        if (inList) {
            entries.setData(entries.index(index, 0), qlonglong(lParam), Qt::UserRole);
            answer = CB_OKAY;
        }
    } else if (message == codes.getData) {
        if (inList)
            answer = LRESULT(entries.data(entries.index(index, 0), Qt::UserRole).toLongLong());
    } else {
        return false;
    }
    *result = answer;
    return true;
}

int FindEntry(const QAbstractItemModel& entries, int start, const QString& text, bool exact)
{
    int count = entries.rowCount();
    if (count <= 0)
        return -1;
    if (start < -1 || start >= count)
        start = -1;
    for (int n = 0; n < count; ++n) {
        int i = (start + 1 + n) % count;
        QString entry = EntryText(entries, i);
        bool found = exact ? entry.compare(text, Qt::CaseInsensitive) == 0
                           : entry.startsWith(text, Qt::CaseInsensitive);
        if (found)
            return i;
    }
    return -1;
}

int SortedPosition(const QAbstractItemModel& entries, const QString& text)
{
    // A binary search over entries that are in order: the first that sorts after the text.
    int low = 0, high = entries.rowCount();
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (EntryText(entries, middle).compare(text, Qt::CaseInsensitive) > 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}
