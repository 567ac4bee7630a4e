// The life of the process: start-up, the message loop and the orderly shutdown.
#pragma once

#include "platform/windows.h"

// The program's entry: returns the exit code. The previous instance and the command line are
// not used.
int ZentallyMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);

// 1 when the main window is up, 0 when the program must end (another instance runs, the class
// or window cannot be made, the databases cannot be opened).
BOOL StartInstance(HINSTANCE instance, int showCommand);
ATOM DefineMainClass(HINSTANCE instance);
int MessageLoop();
// Saves what must outlast the run and frees every object, in order; run once on WM_CLOSE.
void Shutdown();

// False only for a screen of exactly 240 x 320 pixels.
bool UseWideLayout();
