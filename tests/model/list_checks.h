// Consistency checks of both lists, run after every mutation in the tests: one chain in both
// directions, indices 0, 1, 2 … without gaps, the handle on a node of the chain, and the count.
#pragma once

#include "model/category_list.h"
#include "model/record_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

template <typename Node>::testing::AssertionResult ChainIsSound(Node* current, size_t expected)
{
    if (!current)
        return expected == 0 ? ::testing::AssertionSuccess()
                             : ::testing::AssertionFailure() << "empty, expected " << expected;
    Node* first = current;
    size_t guard = 0;
    while (first->prev && guard++ < expected + 1)
        first = first->prev;
    if (first->prev)
        return ::testing::AssertionFailure() << "the chain backwards is longer than expected";
    size_t n = 0;
    bool sawCurrent = false;
    for (Node* node = first; node; node = node->next, ++n) {
        if (n > expected)
            return ::testing::AssertionFailure() << "the chain is longer than " << expected;
        if (node->index != n)
            return ::testing::AssertionFailure() << "node " << n << " has index " << node->index;
        if (node->next && node->next->prev != node)
            return ::testing::AssertionFailure() << "broken back link after " << n;
        sawCurrent |= node == current;
    }
    if (n != expected)
        return ::testing::AssertionFailure() << n << " nodes, expected " << expected;
    if (!sawCurrent)
        return ::testing::AssertionFailure() << "the handle is not on the chain";
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult ListIsSound(const CategoryList& list, size_t expected)
{
    return ChainIsSound(list.current, expected);
}

inline ::testing::AssertionResult ListIsSound(const RecordList& list, size_t expected)
{
    return ChainIsSound(list.current, expected);
}

inline std::u16string Text(LPCWSTR text)
{
    return text ? text : u"(null)";
}

// The names along the chain, read without moving the handle.
inline std::vector<std::u16string> Names(const CategoryList& list)
{
    std::vector<std::u16string> names;
    CategoryNode* node = list.current;
    while (node && node->prev)
        node = node->prev;
    for (; node; node = node->next)
        names.push_back(Text(node->name));
    return names;
}
