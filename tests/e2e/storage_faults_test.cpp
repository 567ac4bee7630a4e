// The store failing under the running program: full disk, read-only or removed store, a lock
// held by another program, a journal left by a crash.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>
