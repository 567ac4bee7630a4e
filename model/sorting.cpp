#include "model/sorting.h"

#include "app/app_context.h"
#include "platform/text.h"

#include <algorithm>
#include <utility>
#include <vector>

// The nodes are gathered into an array, sorted stably there, and relinked in their new order.
// That gives the order of moving each node, first match first, into a scratch list and back,
// at O(n log n) rather than a linear search per node.

namespace
{
template <typename Node> std::vector<Node*> Gather(Node* first)
{
    std::vector<Node*> nodes;
    for (Node* node = first; node; node = node->next)
        nodes.push_back(node);
    return nodes;
}

// Links the nodes in array order, descending reversed, and leaves the handle on the last node
// linked, as appending them one by one would.
template <typename Node, typename List>
void Relink(List* list, std::vector<Node*>& nodes, DWORD sortOrder)
{
    if (sortOrder == 1)
        std::reverse(nodes.begin(), nodes.end());
    Node* prev = nullptr;
    DWORD index = 0;
    for (Node* node : nodes) {
        node->prev = prev;
        node->next = nullptr;
        node->index = index++;
        if (prev)
            prev->next = node;
        prev = node;
    }
    list->current = prev;
}
} // namespace

int CompareNumbers(const void* a, const void* b)
{
    DWORD x = *static_cast<const DWORD*>(a);
    DWORD y = *static_cast<const DWORD*>(b);
    return x > y ? 1 : (x < y ? -1 : 0);
}

int CompareNames(const void* a, const void* b)
{
    return wcscmp(*static_cast<const LPCWSTR*>(a), *static_cast<const LPCWSTR*>(b));
}

// Records are many and their nodes lie all over the heap: each key is read once, beside its
// node, so that the sort compares numbers in one array rather than reaching into the nodes.
BOOL SortRecordList(RecordList* list, DWORD sortOrder)
{
    std::vector<std::pair<DWORD, RecordNode*>> keyed;
    for (RecordNode* node = First(list); node; node = node->next)
        keyed.emplace_back(static_cast<DWORD>(node->dateKey), node);
    if (keyed.empty())
        return TRUE;
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return CompareNumbers(&a.first, &b.first) < 0;
    });
    std::vector<RecordNode*> nodes;
    nodes.reserve(keyed.size());
    for (const auto& entry : keyed)
        nodes.push_back(entry.second);
    Relink(list, nodes, sortOrder);
    return TRUE;
}

BOOL SortCategoryListByValue(CategoryList* list, DWORD sortOrder)
{
    std::vector<CategoryNode*> nodes = Gather(First(list));
    if (nodes.empty())
        return TRUE;
    std::stable_sort(nodes.begin(), nodes.end(), [](const CategoryNode* a, const CategoryNode* b) {
        DWORD x = static_cast<DWORD>(a->value), y = static_cast<DWORD>(b->value);
        return CompareNumbers(&x, &y) < 0;
    });
    Relink(list, nodes, sortOrder);
    return TRUE;
}

BOOL SortCategoryListByName(CategoryList* list, DWORD sortOrder)
{
    std::vector<CategoryNode*> nodes = Gather(First(list));
    for (const CategoryNode* node : nodes) {
        if (!node->name)
            return FALSE;
    }
    if (nodes.empty())
        return TRUE;
    std::stable_sort(nodes.begin(), nodes.end(), [](const CategoryNode* a, const CategoryNode* b) {
        return CompareNames(&a->name, &b->name) < 0;
    });
    Relink(list, nodes, sortOrder);
    return TRUE;
}

BOOL SortRecords()
{
    return SortRecordList(App.MainRecordList, App.SortOrder);
}

BOOL SortCategoriesByName()
{
    return SortCategoryListByName(App.MainCategoryList, App.ReportSortOrder);
}

BOOL SortCategoriesByValue()
{
    return SortCategoryListByValue(App.MainCategoryList, App.ReportSortOrder);
}
