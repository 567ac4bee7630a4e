#include "platform/handle.h"

#include <map>
#include <new>
#include <vector>

namespace
{
struct HandleEntry {
    HandleKind kind;
    void* object;
    HandleCloser close;
    HandleFinisher finish;
};

// Handle values count up in steps of four from here, so they are never 0 or all ones; the
// registry's roots (0x80000000 to 0x80000003) are stepped over.
const uintptr_t firstHandle = 0x10000;
const uintptr_t firstRegistryRoot = 0x80000000;

struct HandleTable {
    std::map<uintptr_t, HandleEntry> live;
    uintptr_t next = firstHandle;
};

HandleTable& Table()
{
    static HandleTable table;
    return table;
}

BOOL Release(std::map<uintptr_t, HandleEntry>::iterator entry)
{
    HandleEntry closing = entry->second;
    Table().live.erase(entry);
    if (closing.finish)
        return closing.finish(closing.object);
    if (closing.close)
        closing.close(closing.object);
    return TRUE;
}

HANDLE AddHandle(const HandleEntry& entry)
{
    HandleTable& table = Table();
    if (table.next == firstRegistryRoot)
        table.next += 4;
    uintptr_t value = table.next;
    try {
        table.live.emplace(value, entry);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    table.next += 4;
    return reinterpret_cast<HANDLE>(value);
}
} // namespace

HANDLE NewHandle(HandleKind kind, void* object, HandleCloser close)
{
    return AddHandle({kind, object, close, nullptr});
}

HANDLE NewHandle(HandleKind kind, void* object, HandleFinisher finish)
{
    return AddHandle({kind, object, nullptr, finish});
}

void* HandleObject(HANDLE handle, HandleKind kind)
{
    HandleTable& table = Table();
    auto found = table.live.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.live.end() || found->second.kind != kind)
        return nullptr;
    return found->second.object;
}

BOOL CloseHandleOfKind(HANDLE handle, HandleKind kind)
{
    HandleTable& table = Table();
    auto found = table.live.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.live.end() || found->second.kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return Release(found);
}

void CloseHandlesOfKind(HandleKind kind)
{
    HandleTable& table = Table();
    std::vector<uintptr_t> closing;
    for (const auto& entry : table.live) {
        if (entry.second.kind == kind)
            closing.push_back(entry.first);
    }
    for (uintptr_t value : closing) {
        auto found = table.live.find(value);
        if (found != table.live.end())
            Release(found);
    }
}

BOOL CloseHandle(HANDLE hObject)
{
    HandleTable& table = Table();
    auto found = table.live.find(reinterpret_cast<uintptr_t>(hObject));
    if (found == table.live.end() || found->second.kind == HandleKind::RegistryKey ||
        found->second.kind == HandleKind::FileSearch) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return Release(found);
}
