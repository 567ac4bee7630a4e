#include "report/csv_export.h"
