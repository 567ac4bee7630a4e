// Stored data the program did not write: records, categories and settings damaged in every
// way the store can hold, read by the real program.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>
