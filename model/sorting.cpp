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

namespace
{
typedef std::vector<std::pair<DWORD, RecordNode*>> KeyedNodes;

// The nodes of `keyed` in the order a stable ascending sort gives. A list that is in order
// already, as it is after every sort, needs no sorting: ascending it stays as it is, and
// descending its runs of equal dates come in the other order, each run as it is.
std::vector<RecordNode*> StablyAscending(KeyedNodes& keyed)
{
    bool ascending = true, descending = true;
    for (size_t i = 1; i < keyed.size(); ++i) {
        ascending = ascending && keyed[i - 1].first <= keyed[i].first;
        descending = descending && keyed[i - 1].first >= keyed[i].first;
    }
    std::vector<RecordNode*> nodes;
    nodes.reserve(keyed.size());
    if (!ascending && descending) {
        for (size_t end = keyed.size(); end > 0;) {
            size_t begin = end - 1;
            while (begin > 0 && keyed[begin - 1].first == keyed[end - 1].first)
                --begin;
            for (size_t i = begin; i < end; ++i)
                nodes.push_back(keyed[i].second);
            end = begin;
        }
        return nodes;
    }
    if (!ascending)
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
            return CompareNumbers(&a.first, &b.first) < 0;
        });
    for (const auto& entry : keyed)
        nodes.push_back(entry.second);
    return nodes;
}
} // namespace

// Records are many and their nodes lie all over the heap: each key is read once, beside its
// node, so that the sort compares numbers in one array rather than reaching into the nodes.
BOOL SortRecordList(RecordList* list, DWORD sortOrder)
{
    DWORD count = Count(list);
    if (count == 0)
        return TRUE;
    KeyedNodes keyed;
    keyed.reserve(count);
    if (RecordNode* const* rows = Rows(list)) {
        const DWORD ahead = 16;
        for (DWORD i = 0; i < count; ++i) {
            if (i + ahead < count)
                __builtin_prefetch(&rows[i + ahead]->dateKey);
            keyed.emplace_back(static_cast<DWORD>(rows[i]->dateKey), rows[i]);
        }
    } else {
        for (RecordNode* node = First(list); node; node = node->next)
            keyed.emplace_back(static_cast<DWORD>(node->dateKey), node);
    }
    std::vector<RecordNode*> nodes = StablyAscending(keyed);
    if (sortOrder == 1)
        std::reverse(nodes.begin(), nodes.end());
    LinkInOrder(list, nodes.data(), static_cast<DWORD>(nodes.size()));
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
