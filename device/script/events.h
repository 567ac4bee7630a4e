// The events the scripted user prints: one JSON object a line, "event" first, each written and
// flushed as it happens.
#pragma once

#include "platform/winuser.h"

#include <iosfwd>
#include <string>

struct RecordedMessageBox;
struct PlayedSound;
struct StartedProcess;

// Where events go: standard output unless told otherwise (tests catch them in a string).
void SetScriptOutput(std::ostream* out);
// Writes one event and its line end, and flushes.
void WriteEvent(const std::string& json);

// The names of a message box's icon (stop, exclamation, question, information, none) and
// buttons (ok, okcancel, abortretryignore, yesnocancel, yesno, retrycancel), as JSON: a value
// the device has no name for is given as its number.
std::string IconJson(UINT type);
std::string ButtonsJson(UINT type);
// The name of a MessageBeep type, as JSON: "ok" (MB_OK), "stop", "question", "exclamation",
// "information" (the MB_ICON values), "simple" (0xFFFFFFFF, the plain beep); any other value as
// its number.
std::string BeepJson(UINT type);

// A message box as the state shows it: text, caption, icon and buttons.
std::string MessageBoxJson(const RecordedMessageBox& box);

std::string MessageBoxEvent(const RecordedMessageBox& box);
std::string BeepEvent(UINT type);
std::string SoundEvent(const PlayedSound& sound);
std::string ProcessEvent(const StartedProcess& process);
std::string ErrorEvent(int line, const std::string& text);
std::string ExitEvent(int code);
