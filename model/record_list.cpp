#include "model/record_list.h"

#include "entry/record_format.h"
#include "model/chain.h"
#include "model/owned_text.h"
#include "platform/memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace
{

LPWSTR* TextsOf(RecordNode* node, int i)
{
    LPWSTR* texts[] = {&node->dateDmyDash,   &node->dateDmySlash, &node->dateMdyDash,
                       &node->dateMdySlash,  &node->minutesText,  &node->durationComma,
                       &node->durationColon, &node->category,     &node->memo};
    return texts[i];
}
const int textCount = 9;

// Makes room for `count` rows. On failure the rows are dropped and false returned.
bool ReserveRows(RecordList* list, DWORD count)
{
    if (list->rows && count <= list->capacity)
        return true;
    size_t capacity = list->rows && list->capacity ? list->capacity : 64;
    while (capacity < count)
        capacity *= 2;
    void* rows = list->rows ? std::realloc(list->rows, capacity * sizeof(RecordNode*))
                            : std::malloc(capacity * sizeof(RecordNode*));
    if (!rows) {
        std::free(list->rows);
        list->rows = nullptr;
        list->capacity = 0;
        return false;
    }
    list->rows = static_cast<RecordNode**>(rows);
    list->capacity = static_cast<DWORD>(capacity);
    return true;
}

// Takes first, last, count and rows again from the chain around the handle, numbering the
// nodes on the way, once the handle was lent to a caller that may have relinked the chain.
void Resync(RecordList* list)
{
    if (!list->handleLent)
        return;
    list->handleLent = FALSE;
    list->first = ChainFirst(list->current);
    list->last = nullptr;
    list->count = 0;
    for (RecordNode* node = list->first; node; node = node->next) {
        node->index = list->count++;
        list->last = node;
    }
    if (!ReserveRows(list, list->count))
        return;
    for (RecordNode* node = list->first; node; node = node->next)
        list->rows[node->index] = node;
}

// The node with `index`: from the rows, or walked to from the nearest of the first node, the
// last and the handle. The handle does not move.
RecordNode* NodeAt(RecordList* list, DWORD index)
{
    if (index >= list->count)
        return nullptr;
    if (list->rows)
        return list->rows[index];
    DWORD fromFirst = index;
    DWORD fromLast = list->count - 1 - index;
    RecordNode* current = list->current;
    DWORD fromCurrent = !current                 ? list->count
                        : current->index > index ? current->index - index
                                                 : index - current->index;
    RecordNode* node;
    if (fromCurrent <= fromFirst && fromCurrent <= fromLast)
        node = current;
    else
        node = fromFirst <= fromLast ? list->first : list->last;
    while (node->index < index)
        node = node->next;
    while (node->index > index)
        node = node->prev;
    return node;
}

// How many nodes ahead a walk over the rows fetches.
const DWORD FETCH_AHEAD = 8;
} // namespace

RecordNode* MakeRecordNode()
{
    void* block = LocalAlloc(LMEM_FIXED, sizeof(RecordNode));
    if (!block)
        return nullptr;
    auto* node = new (block) RecordNode;
    node->date = {};
    InitRecordNode(node);
    return node;
}

void FreeRecordNode(RecordNode* node)
{
    if (!node)
        return;
    FreeRecordTexts(node);
    node->~RecordNode();
    LocalFree(node);
}

RecordNode* Append(RecordList* list, const RecordNode* source)
{
    // Its callers take a node for granted, as they did one made by `new`.
    RecordNode* node = MakeRecordNode();
    if (!node)
        throw std::bad_alloc();
    CopyRecord(node, source);
    Attach(list, node);
    return node;
}

void Attach(RecordList* list, RecordNode* node)
{
    Resync(list);
    node->prev = list->last;
    node->next = nullptr;
    node->index = list->count;
    if (list->last)
        list->last->next = node;
    else
        list->first = node;
    // Rows dropped for want of memory stay dropped until they can be made whole again.
    if ((list->rows || list->count == 0) && ReserveRows(list, list->count + 1))
        list->rows[list->count] = node;
    list->last = node;
    ++list->count;
    list->current = node;
}

BOOL RemoveAt(RecordList* list, DWORD index)
{
    Resync(list);
    RecordNode* node = NodeAt(list, index);
    if (!node)
        return FALSE;
    if (node->prev)
        node->prev->next = node->next;
    else
        list->first = node->next;
    if (node->next)
        node->next->prev = node->prev;
    else
        list->last = node->prev;
    --list->count;
    list->current = node->next ? node->next : node->prev;
    if (list->rows) {
        RecordNode** rows = list->rows;
        std::memmove(rows + index, rows + index + 1, (list->count - index) * sizeof(*rows));
        for (DWORD i = index; i < list->count; ++i) {
            if (i + FETCH_AHEAD < list->count)
                __builtin_prefetch(rows[i + FETCH_AHEAD], 1);
            rows[i]->index = i;
        }
    } else {
        for (RecordNode* after = node->next; after; after = after->next)
            after->index = index++;
    }
    FreeRecordNode(node);
    return TRUE;
}

RecordNode* FindAt(RecordList* list, DWORD index)
{
    Resync(list);
    RecordNode* node = NodeAt(list, index);
    list->current = node ? node : list->first;
    return node;
}

RecordNode* FindByDateKey(RecordList* list, LONG dateKey)
{
    for (RecordNode* node = First(list); node; node = node->next) {
        if (node->dateKey == dateKey) {
            list->current = node;
            return node;
        }
    }
    return nullptr;
}

RecordNode* ReplaceAt(RecordList* list, DWORD index, const RecordNode* source)
{
    Resync(list);
    RecordNode* node = list->current;
    while (node && node->index != index)
        node = node->next;
    if (!node)
        return nullptr;
    if (node != source) {
        RecordNode* prev = node->prev;
        RecordNode* next = node->next;
        CopyRecord(node, source);
        node->index = index;
        node->prev = prev;
        node->next = next;
    }
    list->current = node;
    return node;
}

void Clear(RecordList* list)
{
    Destroy(list);
    *list = {nullptr, nullptr, nullptr, 0, nullptr, 0, FALSE};
}

void Destroy(RecordList* list)
{
    Resync(list);
    RecordNode* node = list->last;
    while (node) {
        RecordNode* prev = node->prev;
        FreeRecordNode(node);
        node = prev;
    }
    std::free(list->rows);
    list->rows = nullptr;
    list->capacity = 0;
}

RecordNode* Current(const RecordList* list)
{
    list->handleLent = TRUE;
    return list->current;
}

RecordNode* First(RecordList* list)
{
    Resync(list);
    list->current = list->first;
    return list->first;
}

RecordNode* Last(const RecordList* list)
{
    return list->handleLent ? ChainLast(list->current) : list->last;
}

RecordNode* Next(RecordList* list)
{
    return MoveToNext(list);
}

RecordNode* Prev(RecordList* list)
{
    return MoveToPrev(list);
}

DWORD Count(RecordList* list)
{
    First(list);
    return list->count;
}

RecordNode* const* Rows(RecordList* list)
{
    Resync(list);
    return list->rows;
}

void LinkInOrder(RecordList* list, RecordNode* const* nodes, DWORD count)
{
    // The nodes lie all over the heap: each is fetched a few nodes ahead of its linking.
    RecordNode* prev = nullptr;
    for (DWORD i = 0; i < count; ++i) {
        if (i + FETCH_AHEAD < count)
            __builtin_prefetch(nodes[i + FETCH_AHEAD], 1);
        RecordNode* node = nodes[i];
        node->prev = prev;
        node->next = nullptr;
        node->index = i;
        if (prev)
            prev->next = node;
        prev = node;
    }
    if (nodes != list->rows && ReserveRows(list, count))
        std::memcpy(list->rows, nodes, count * sizeof(*nodes));
    list->first = count ? nodes[0] : nullptr;
    list->last = prev;
    list->count = count;
    list->current = prev;
    list->handleLent = FALSE;
}

void InitRecordNode(RecordNode* node)
{
    node->index = 0;
    node->prev = nullptr;
    node->next = nullptr;
    node->recordKey = 0;
    node->dateKey = 0;
    node->storedOid = NO_STORED_RECORD;
    for (int i = 0; i < textCount; ++i)
        *TextsOf(node, i) = nullptr;
}

void ResetRecordNode(RecordNode* node)
{
    node->recordKey = RESET_RECORD_KEY;
    node->dateKey = 0;
    node->storedOid = NO_STORED_RECORD;
    FreeRecordTexts(node);
}

void FreeRecordTexts(RecordNode* node)
{
    for (int i = 0; i < textCount; ++i)
        ReleaseText(TextsOf(node, i));
}

void CopyRecord(RecordNode* destination, const RecordNode* source)
{
    destination->index = 0;
    destination->prev = nullptr;
    destination->next = nullptr;
    destination->recordKey = source->recordKey;
    destination->storedOid = source->storedOid;
    SetRecordDate(destination, source->date);
    SetRecordCategory(destination, source->category);
    SetRecordMemo(destination, source->memo);
    SetRecordMinutes(destination, source->minutesText);
}

LPCWSTR DateText(const RecordNode* node, DWORD dateViewType)
{
    switch (dateViewType) {
    case 1: return node->dateDmySlash;
    case 2: return node->dateMdyDash;
    case 3: return node->dateMdySlash;
    default: return node->dateDmyDash;
    }
}

LPCWSTR DurationText(const RecordNode* node, DWORD timeViewType)
{
    return timeViewType == 0 ? node->durationComma : node->durationColon;
}
