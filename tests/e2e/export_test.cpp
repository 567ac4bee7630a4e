#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>
