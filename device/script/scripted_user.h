// The scripted user: plays a parsed script as a person using the handheld, one action each
// time the program waits for input (the platform's idle handler), and prints what happens as
// JSON events on standard output.
//
// How a run ends:
// - The program ends first (Exit, message 1023 …): the lines left are not played and the run
//   ends with the program's exit code.
// - The script ends with no dialog and no message box open: message 1023 is posted to the main
//   window, so that the program shuts down in order and saves what it keeps.
// - A line cannot be done as asked, or the script ends with a dialog or message box open: an
//   `error` event, and the run ends with exit code 2. With no dialog or message box open the
//   program is closed in order with message 1023 as above; with one open (the program is inside
//   its modal loop, which no close reaches), the `exit` event is printed and the process ends at
//   once. Nothing is lost then: the store commits every change when it is made; only what the
//   program saves at shutdown (its settings) is not saved.
// - The program, asked to close, shows a message box or dialog, or does not close: an `error`
//   event (after the script's end) and the process ends at once with exit code 2.
#pragma once

#include "device/script/script.h"

#include <iosfwd>
#include <string>
#include <vector>

// Installs the idle handler and the hooks that print events (message boxes, beeps, sounds,
// processes), turns the audio output off and keeps the screen's window active (headless, as a
// desktop keeps it; see KeepScreenActive). The first action is taken when the program first
// waits for input. `lineCount` is the number of lines of the file, the line errors at the end
// of the script refer to; without it, the last line played.
void StartScriptedUser(std::vector<ScriptLine> lines);
void StartScriptedUser(std::vector<ScriptLine> lines, int lineCount);

// After the program's message loop ended with `programCode`: prints the `exit` event and returns
// the process's exit code: 2 when a line failed (its `error` event was printed then), else the
// program's code. Removes the idle handler and the hooks.
int FinishScriptedUser(int programCode);

// True once a line failed: the run then ends the program (WM_CLOSE_PROGRAM, or at once) and
// takes no more actions.
bool ScriptFailed();

// Reads and parses the script FILE, or standard input for "-". False with the line (0 when the
// file cannot be read) and a plain reason; `lineCount` receives the number of lines.
bool LoadScript(const std::string& file, std::vector<ScriptLine>* lines, int* lineCount,
                int* badLine, std::string* reason);
// Prints the `error` event of a script that cannot be played and the `exit` event; returns 2,
// the exit code of the run.
int RefuseScript(int line, const std::string& reason);

// For tests: where the events go (standard output by default), and how the run ends at once
// (by default: flush standard output and end the process with the code, without shutdown).
void SetScriptOutput(std::ostream* out);
typedef void (*SCRIPTENDER)(int code);
void SetScriptEnder(SCRIPTENDER ender);
