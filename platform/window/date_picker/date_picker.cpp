// The date picker ("SysDateTimePick32").
#include "platform/commctrl.h"
#include "platform/window/window_internal.h"

void RegisterDatePickerClass() {}
