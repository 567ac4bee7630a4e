// The walking and numbering that both hand-made lists share: a list is a handle on one node of
// a chain of nodes linked by `prev` and `next` and numbered by `index`.
#pragma once

#include "platform/wintypes.h"

template <typename Node> Node* ChainFirst(Node* node)
{
    while (node && node->prev)
        node = node->prev;
    return node;
}

template <typename Node> Node* ChainLast(Node* node)
{
    while (node && node->next)
        node = node->next;
    return node;
}

// Moves the handle to the first node and returns it.
template <typename List> auto MoveToFirst(List* list)
{
    list->current = ChainFirst(list->current);
    return list->current;
}

// Moves the handle one node on (or back) when there is one; null, the handle kept, otherwise.
template <typename List> auto MoveToNext(List* list) -> decltype(list->current)
{
    if (!list->current || !list->current->next)
        return nullptr;
    list->current = list->current->next;
    return list->current;
}

template <typename List> auto MoveToPrev(List* list) -> decltype(list->current)
{
    if (!list->current || !list->current->prev)
        return nullptr;
    list->current = list->current->prev;
    return list->current;
}

// Numbers the nodes 0, 1, 2 … from the first, leaving the handle on the first node.
template <typename List> void RenumberChain(List* list)
{
    DWORD index = 0;
    for (auto* node = MoveToFirst(list); node; node = node->next)
        node->index = index++;
}

// Counts the nodes, leaving the handle on the first node.
template <typename List> DWORD CountChain(List* list)
{
    DWORD count = 0;
    for (auto* node = MoveToFirst(list); node; node = node->next)
        ++count;
    return count;
}
