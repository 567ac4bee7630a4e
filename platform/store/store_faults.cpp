#include "platform/fault_queue.h"
#include "platform/faults.h"
#include "platform/store/store_connection.h"
#include "platform/store/store_vfs.h"

namespace
{
FaultQueue<StoreOp>& Faults()
{
    static FaultQueue<StoreOp> faults;
    return faults;
}
} // namespace

void FailStoreOperation(StoreOp op, int nth, DWORD error)
{
    Faults().Add(op, nth, error);
}

void ClearStoreFaults()
{
    Faults().Clear();
    store::ClearWriteFault();
}

bool store::TakeFault(StoreOp op, DWORD* error)
{
    return Faults().Take(op, error);
}
