// Failures of the file system waiting to happen, as tests ask for them.
#include "platform/file/file_system.h"

#include <vector>

namespace
{
struct PendingFault {
    FileOp op;
    int callsLeft; // 1: the next call of op fails
    DWORD error;
};

std::vector<PendingFault>& Pending()
{
    static std::vector<PendingFault> faults;
    return faults;
}
} // namespace

void FailFileOperation(FileOp op, int nth, DWORD error)
{
    if (nth >= 1)
        Pending().push_back({op, nth, error});
}

void ClearFileFaults()
{
    Pending().clear();
}

namespace file
{
// Every fault waiting on `op` counts this call, so two faults asked for the same call both
// fall due on it and the first one asked for gives the error.
bool TakeFault(FileOp op, DWORD* error)
{
    bool due = false;
    std::vector<PendingFault>& faults = Pending();
    for (auto fault = faults.begin(); fault != faults.end();) {
        if (fault->op != op || --fault->callsLeft > 0) {
            ++fault;
            continue;
        }
        if (!due)
            *error = fault->error;
        due = true;
        fault = faults.erase(fault);
    }
    return due;
}
} // namespace file
