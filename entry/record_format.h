// The setters that fill a record's date, duration, category and memo, building every text the
// record shows at once, so that lists and exports only pick a ready-made text.
#pragma once

#include "model/record_list.h"

// Copies `date` into the record, then builds its four date texts (day and month of two digits,
// the year of four) and its dateKey. Returns 0 for a day above 31, a month above 12 or a year
// above 9999: the date is then stored but the texts and dateKey keep their previous contents.
BOOL SetRecordDate(RecordNode* record, SYSTEMTIME date);
// True for a real calendar date that the date picker can show: 1601-01-01 to 9999-12-31, with
// the month's own number of days (29 February in leap years only). A date outside it could not
// be shown for editing, and an edit would replace it with a date the person never chose.
BOOL IsCalendarDate(DWORD year, DWORD month, DWORD day);
// Stores the duration given as decimal text of whole minutes and builds its hours,minutes and
// hours:minutes texts (0 reads "0,0" and "0:0"; otherwise two-digit minutes). A missing or empty
// text fails and changes nothing; a negative total fails and leaves no duration at all.
BOOL SetRecordMinutes(RecordNode* record, LPCWSTR minutesText);
// Stores a copy of the category name; a missing or empty name fails and changes nothing.
BOOL SetRecordCategory(RecordNode* record, LPCWSTR category);
// Stores a copy of the memo; the empty memo is valid, a missing one fails and changes nothing.
BOOL SetRecordMemo(RecordNode* record, LPCWSTR memo);
