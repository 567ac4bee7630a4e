#include "model/category_list.h"

#include "model/chain.h"
#include "model/owned_text.h"
#include "platform/text.h"

namespace
{
bool SameName(LPCWSTR a, LPCWSTR b)
{
    return a && b && wcscmp(a, b) == 0;
}

void FreeNode(CategoryNode* node)
{
    ReleaseText(&node->name);
    delete node;
}

// Unlinks `node` and frees it; the handle is left on the first node after renumbering.
void Unlink(CategoryList* list, CategoryNode* node)
{
    if (node->prev)
        node->prev->next = node->next;
    if (node->next)
        node->next->prev = node->prev;
    list->current = node->next ? node->next : node->prev;
    FreeNode(node);
    RenumberChain(list);
}
} // namespace

CategoryNode* Insert(CategoryList* list, const CategoryNode* source)
{
    if (IsMissingOrEmpty(source->name)) {
        First(list);
        return nullptr;
    }
    for (CategoryNode* node = First(list); node; node = node->next) {
        if (SameName(node->name, source->name))
            return nullptr;
    }
    auto* node = new CategoryNode;
    InitNode(node);
    CopyNode(node, source);
    CategoryNode* last = ChainLast(list->current);
    if (last) {
        last->next = node;
        node->prev = last;
        node->index = last->index + 1;
    }
    list->current = node;
    return node;
}

BOOL RemoveAt(CategoryList* list, DWORD index)
{
    for (CategoryNode* node = First(list); node; node = node->next) {
        if (node->index == index) {
            Unlink(list, node);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL RemoveByName(CategoryList* list, LPCWSTR name)
{
    if (!list->current || IsMissingOrEmpty(name))
        return FALSE;
    for (CategoryNode* node = First(list); node; node = node->next) {
        if (SameName(node->name, name)) {
            Unlink(list, node);
            return TRUE;
        }
    }
    return FALSE;
}

void Clear(CategoryList* list)
{
    Destroy(list);
    list->current = nullptr;
}

void Destroy(CategoryList* list)
{
    CategoryNode* node = ChainLast(list->current);
    while (node) {
        CategoryNode* prev = node->prev;
        FreeNode(node);
        node = prev;
    }
}

CategoryNode* Current(const CategoryList* list)
{
    return list->current;
}

CategoryNode* First(CategoryList* list)
{
    return MoveToFirst(list);
}

CategoryNode* Last(const CategoryList* list)
{
    return ChainLast(list->current);
}

CategoryNode* Next(CategoryList* list)
{
    return MoveToNext(list);
}

CategoryNode* Prev(CategoryList* list)
{
    return MoveToPrev(list);
}

CategoryNode* FindByName(CategoryList* list, LPCWSTR name)
{
    if (!list->current || IsMissingOrEmpty(name))
        return nullptr;
    for (CategoryNode* node = First(list); node; node = node->next) {
        if (SameName(node->name, name)) {
            list->current = node;
            return node;
        }
    }
    return nullptr;
}

CategoryNode* FindByValue(CategoryList* list, LONG value)
{
    for (CategoryNode* node = First(list); node; node = node->next) {
        if (node->value == value) {
            list->current = node;
            return node;
        }
    }
    return nullptr;
}

DWORD Count(CategoryList* list)
{
    return CountChain(list);
}

void InitNode(CategoryNode* node)
{
    node->index = 0;
    node->prev = nullptr;
    node->next = nullptr;
    node->name = nullptr;
    node->value = 0;
}

void CopyNode(CategoryNode* destination, const CategoryNode* source)
{
    destination->index = 0;
    destination->prev = nullptr;
    destination->next = nullptr;
    SetName(destination, source->name);
    destination->value = source->value;
}

BOOL SetName(CategoryNode* node, LPCWSTR name)
{
    if (IsMissingOrEmpty(name))
        return FALSE;
    ReleaseText(&node->name);
    node->name = DuplicateText(name);
    return node->name != nullptr;
}

void FreeName(CategoryNode* node)
{
    ReleaseText(&node->name);
}
