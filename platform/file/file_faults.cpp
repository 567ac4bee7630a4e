// Failures of the file system waiting to happen, as tests ask for them.
#include "platform/fault_queue.h"
#include "platform/file/file_system.h"

namespace
{
FaultQueue<FileOp>& Faults()
{
    static FaultQueue<FileOp> faults;
    return faults;
}
} // namespace

void FailFileOperation(FileOp op, int nth, DWORD error)
{
    Faults().Add(op, nth, error);
}

void ClearFileFaults()
{
    Faults().Clear();
}

bool file::TakeFault(FileOp op, DWORD* error)
{
    return Faults().Take(op, error);
}
