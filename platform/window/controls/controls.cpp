// The dialog controls' classes, made known to CreateWindowExW.
#include "platform/controls.h"
#include "platform/window/window_internal.h"

void RegisterDialogControlClasses() {}
