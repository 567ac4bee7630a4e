// The scripted user: plays a parsed script as a person using the handheld, one action each
// time the program waits for input (the platform's idle handler), and prints what happens as
// JSON events on standard output.
#pragma once

#include "device/script.h"

#include <string>
#include <vector>

// Installs the idle handler and the hooks that print events (message boxes, beeps, sounds,
// processes). The first action is taken when the program first waits for input.
void StartScriptedUser(std::vector<ScriptLine> lines);

// After the program's message loop ended with `programCode`: prints the `exit` event and returns
// the process's exit code: 2 when a line failed (its `error` event was printed then), else the
// program's code.
int FinishScriptedUser(int programCode);

// True once a line failed: the run then ends the program (WM_CLOSE_PROGRAM, or at once) and
// takes no more actions.
bool ScriptFailed();
