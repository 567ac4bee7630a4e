// The dialog manager's template reader on any bytes, as a resource could hold them: it must
// refuse a template that ends early without reading past it, and what it accepts must hold
// every item the template counts, with creation data inside the template.
#include "fuzz/fuzz_support.h"
#include "platform/window/dialog_parse.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{
bool Within(const void* inner, size_t innerSize, const void* outer, size_t outerSize)
{
    auto in = reinterpret_cast<uintptr_t>(inner), out = reinterpret_cast<uintptr_t>(outer);
    return in >= out && innerSize <= outerSize && in - out <= outerSize - innerSize;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DialogTemplate parsed;
    if (!ParseDialogTemplate(data, size, &parsed))
        return 0;
    WORD count;
    FUZZ_CHECK(size >= 10);
    std::memcpy(&count, data + 8, sizeof(count));
    FUZZ_CHECK(parsed.items.size() == count);
    for (const DialogItem& item : parsed.items) {
        FUZZ_CHECK(!item.className.empty());
        if (item.creationData) {
            WORD extra;
            FUZZ_CHECK(Within(item.creationData, sizeof(extra), data, size));
            std::memcpy(&extra, item.creationData, sizeof(extra));
            FUZZ_CHECK(extra && Within(item.creationData, sizeof(extra) + extra, data, size));
        }
    }
    return 0;
}
