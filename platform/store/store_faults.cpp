#include "platform/faults.h"
#include "platform/store/store_connection.h"

#include <vector>

namespace
{
struct PendingFault {
    StoreOp op;
    int callsLeft; // 1: the next call of op fails
    DWORD error;
};

std::vector<PendingFault>& Pending()
{
    static std::vector<PendingFault> faults;
    return faults;
}
} // namespace

void FailStoreOperation(StoreOp op, int nth, DWORD error)
{
    if (nth >= 1)
        Pending().push_back({op, nth, error});
}

void ClearStoreFaults()
{
    Pending().clear();
}

bool store::TakeFault(StoreOp op, DWORD* error)
{
    bool fails = false;
    std::vector<PendingFault>& faults = Pending();
    for (auto fault = faults.begin(); fault != faults.end();) {
        if (fault->op == op && --fault->callsLeft == 0) {
            if (!fails)
                *error = fault->error;
            fails = true;
            fault = faults.erase(fault);
        } else {
            ++fault;
        }
    }
    return fails;
}
