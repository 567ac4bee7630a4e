#include "report/report_totals.h"
