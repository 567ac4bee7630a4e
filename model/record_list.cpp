#include "model/record_list.h"

#include "entry/record_format.h"
#include "model/chain.h"
#include "model/owned_text.h"

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
} // namespace

RecordNode* Append(RecordList* list, const RecordNode* source)
{
    auto* node = new RecordNode;
    node->date = {};
    InitRecordNode(node);
    CopyRecord(node, source);
    Attach(list, node);
    return node;
}

void Attach(RecordList* list, RecordNode* node)
{
    RecordNode* last = ChainLast(list->current);
    node->prev = last;
    node->next = nullptr;
    node->index = last ? last->index + 1 : 0;
    if (last)
        last->next = node;
    list->current = node;
}

namespace
{
void Detach(RecordList* list, RecordNode* node)
{
    if (node->prev)
        node->prev->next = node->next;
    if (node->next)
        node->next->prev = node->prev;
    list->current = node->next ? node->next : node->prev;
    node->prev = nullptr;
    node->next = nullptr;
    node->index = 0;
    RenumberChain(list);
}
} // namespace

BOOL RemoveAt(RecordList* list, DWORD index)
{
    for (RecordNode* node = First(list); node; node = node->next) {
        if (node->index == index) {
            Detach(list, node);
            FreeRecordTexts(node);
            delete node;
            return TRUE;
        }
    }
    return FALSE;
}

RecordNode* FindAt(RecordList* list, DWORD index)
{
    for (RecordNode* node = First(list); node; node = node->next) {
        if (node->index == index) {
            list->current = node;
            return node;
        }
    }
    return nullptr;
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
    list->current = nullptr;
}

void Destroy(RecordList* list)
{
    RecordNode* node = ChainLast(list->current);
    while (node) {
        RecordNode* prev = node->prev;
        FreeRecordTexts(node);
        delete node;
        node = prev;
    }
}

RecordNode* Current(const RecordList* list)
{
    return list->current;
}

RecordNode* First(RecordList* list)
{
    return MoveToFirst(list);
}

RecordNode* Last(const RecordList* list)
{
    return ChainLast(list->current);
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
    return CountChain(list);
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
