#include "report/report_totals.h"

#include <gtest/gtest.h>
