// The user's categories: a doubly linked list of uniquely named nodes, reached through a handle
// on one node, the current node. Most operations move the handle; each says where it leaves it.
#pragma once

#include "platform/wintypes.h"

struct CategoryNode {
    DWORD index; // position in the list from 0; as wide as the list can grow
    CategoryNode* prev;
    CategoryNode* next;
    LPWSTR name; // owned copy, or null
    LONG value;  // the Time Report's total of minutes; never stored
};

// The handle: the current node, null when the list is empty.
struct CategoryList {
    CategoryNode* current;
};

// Appends a private copy of `source`, which must have a name. Returns the new node, the handle
// on it; null when a node of that name exists or `source` has no name (the handle then on the
// first node).
CategoryNode* Insert(CategoryList* list, const CategoryNode* source);
// Remove the node with `index` (or `name`), renumber from 0 and leave the handle on the first
// node. FALSE when no node matches, the list is empty or the name is null or empty.
BOOL RemoveAt(CategoryList* list, DWORD index);
BOOL RemoveByName(CategoryList* list, LPCWSTR name);
// Frees every node and empties the handle.
void Clear(CategoryList* list);
// Frees every node but leaves the handle dangling: only just before the list itself is freed.
void Destroy(CategoryList* list);

CategoryNode* Current(const CategoryList* list);
CategoryNode* First(CategoryList* list);      // moves to the first node
CategoryNode* Last(const CategoryList* list); // does not move
CategoryNode* Next(CategoryList* list);       // moves; null and stays at the last node
CategoryNode* Prev(CategoryList* list);       // moves; null and stays at the first node
// The node named `name`, the handle on it; when absent, null with the handle on the first node.
// A null or empty name, or an empty list, returns null and leaves the handle untouched.
CategoryNode* FindByName(CategoryList* list, LPCWSTR name);
// The first node whose value equals `value`, the handle on it; when absent, null with the handle
// on the first node.
CategoryNode* FindByValue(CategoryList* list, LONG value);
// The number of nodes; the handle ends on the first node.
DWORD Count(CategoryList* list);

// Zeroes every field of a scratch node.
void InitNode(CategoryNode* node);
// Makes `destination` an unlinked copy of `source`'s name and value.
void CopyNode(CategoryNode* destination, const CategoryNode* source);
// Replaces the node's name with a copy of `name`. FALSE, node unchanged, for a null or empty
// name; FALSE with no name when the copy cannot be allocated.
BOOL SetName(CategoryNode* node, LPCWSTR name);
// Releases the name of a scratch node that is about to be discarded.
void FreeName(CategoryNode* node);
