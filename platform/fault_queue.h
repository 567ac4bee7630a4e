// Failures waiting to happen, as tests ask for them: the `nth` call of an operation from now
// fails with a given error. Each faulty subsystem (the store, the file system) keeps one queue.
#pragma once

#include "platform/wintypes.h"

#include <vector>

template <typename Op> class FaultQueue
{
  public:
    // The `nth` call of `op` from now (1: the next one) fails with `error`; nth below 1 adds
    // nothing.
    void Add(Op op, int nth, DWORD error)
    {
        if (nth >= 1)
            pending_.push_back({op, nth, error});
    }
    void Clear() { pending_.clear(); }

    // Counts a call of `op`: true, with the error, when a fault falls due on it. Every fault
    // waiting on `op` counts the call, so two asked for the same call both fall due on it and
    // the first one asked for gives the error.
    bool Take(Op op, DWORD* error)
    {
        bool due = false;
        for (auto fault = pending_.begin(); fault != pending_.end();) {
            if (fault->op != op || --fault->callsLeft > 0) {
                ++fault;
                continue;
            }
            if (!due)
                *error = fault->error;
            due = true;
            fault = pending_.erase(fault);
        }
        return due;
    }

  private:
    struct Pending {
        Op op;
        int callsLeft;
        DWORD error;
    };
    std::vector<Pending> pending_;
};
