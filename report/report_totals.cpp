#include "report/report_totals.h"

#include "entry/view_types.h"
#include "model/sorting.h"
#include "platform/memory.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace
{
// What the records of one category in the range come to. A sum of 64 bits cannot overflow for
// any number of records a list can hold, so it is exact until it is brought into LONG range.
struct Tally {
    int64_t sum = 0;
    bool matched = false;
};

LONG Saturated(int64_t sum)
{
    return static_cast<LONG>(std::clamp<int64_t>(sum, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

bool InRange(const RecordNode* record, LONG startKey, LONG endKey)
{
    return record->dateKey >= startKey && record->dateKey <= endKey;
}

void Add(const RecordNode* record, Tally* tally)
{
    tally->matched = true;
    tally->sum += RecordMinutes(record);
}

void AddIfMatching(const RecordNode* record, LPCWSTR name, LONG startKey, LONG endKey, Tally* tally)
{
    if (InRange(record, startKey, endKey) && record->category &&
        wcscmp(record->category, name) == 0)
        Add(record, tally);
}

// One category's records, from the handle's node forwards and then backwards from it, so that
// the handle never moves.
Tally TallyCategory(const RecordList* records, LPCWSTR name, LONG startKey, LONG endKey)
{
    Tally tally;
    RecordNode* current = Current(records);
    for (const RecordNode* record = current; record; record = record->next)
        AddIfMatching(record, name, startKey, endKey, &tally);
    for (const RecordNode* record = current ? current->prev : nullptr; record;
         record = record->prev)
        AddIfMatching(record, name, startKey, endKey, &tally);
    return tally;
}

bool NameBefore(const CategoryNode* a, const CategoryNode* b)
{
    return CompareNames(&a->name, &b->name) < 0;
}

// The position of the category called `name` among `sorted` (ordered by NameBefore), or -1.
int64_t FindSorted(CategoryNode* const* sorted, DWORD count, LPCWSTR name)
{
    CategoryNode key = {};
    key.name = const_cast<LPWSTR>(name);
    CategoryNode* const* end = sorted + count;
    CategoryNode* const* found = std::lower_bound(sorted, end, &key, NameBefore);
    return found != end && wcscmp((*found)->name, name) == 0 ? found - sorted : -1;
}

// For when there is no memory for the index of names: one pass over the records per category.
BOOL TotalEachCategory(RecordList* records, CategoryList* categories, LONG startKey, LONG endKey)
{
    bool matched = false;
    First(records);
    for (CategoryNode* category = First(categories); category; category = category->next) {
        Tally tally;
        if (category->name)
            tally = TallyCategory(records, category->name, startKey, endKey);
        category->value = Saturated(tally.sum);
        matched = matched || tally.matched;
    }
    First(categories);
    return matched;
}
} // namespace

LONG RecordMinutes(const RecordNode* record)
{
    return record && record->minutesText ? _wtoi(record->minutesText) : 0;
}

LONG CategoryTotal(const RecordList* records, LPCWSTR name, LONG startKey, LONG endKey)
{
    if (!records || !name || !name[0])
        return 0;
    return Saturated(TallyCategory(records, name, startKey, endKey).sum);
}

BOOL ComputeCategoryTotals(RecordList* records, CategoryList* categories, LONG startKey,
                           LONG endKey)
{
    if (!records || !categories || !First(records) || !First(categories))
        return FALSE;
    RecordNode* firstRecord = Current(records);
    DWORD count = 0;
    for (CategoryNode* category = First(categories); category; category = category->next)
        ++count;

    // The categories ordered by name, each with its tally at the same position, so that a
    // record finds its category by a binary search of the names.
    auto* sorted = static_cast<CategoryNode**>(LocalAlloc(LMEM_FIXED, count * sizeof(void*)));
    auto* tallies = static_cast<Tally*>(LocalAlloc(LPTR, count * sizeof(Tally)));
    if (!sorted || !tallies) {
        LocalFree(sorted);
        LocalFree(tallies);
        return TotalEachCategory(records, categories, startKey, endKey);
    }
    DWORD named = 0;
    for (CategoryNode* category = First(categories); category; category = category->next) {
        category->value = 0;
        if (category->name)
            sorted[named++] = category;
    }
    std::sort(sorted, sorted + named, NameBefore);

    bool matched = false;
    for (const RecordNode* record = firstRecord; record; record = record->next) {
        if (!InRange(record, startKey, endKey) || !record->category)
            continue;
        int64_t at = FindSorted(sorted, named, record->category);
        if (at >= 0) {
            Add(record, &tallies[at]);
            matched = true;
        }
    }
    for (DWORD at = 0; at < named; ++at)
        sorted[at]->value = Saturated(tallies[at].sum);
    First(categories);
    LocalFree(sorted);
    LocalFree(tallies);
    return matched;
}

void FormatTotalText(LONG minutes, DWORD timeTypeView, WCHAR (&text)[TOTAL_TEXT_MAX])
{
    bool colon = timeTypeView == ColonSeparated;
    if (minutes <= 0)
        wsprintfW(text, colon ? u"0:0" : u"0,0");
    else
        wsprintfW(text, colon ? u"%d:%02d" : u"%d,%02d", minutes / 60, minutes % 60);
}
