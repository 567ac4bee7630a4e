#include "platform/wintypes.h"

// One user-interface thread calls the platform; the last error is kept per thread all the same,
// as the handheld does.
namespace
{
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError()
{
    return lastError;
}
void SetLastError(DWORD error)
{
    lastError = error;
}
