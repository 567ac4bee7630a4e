// The programs the program started, for the device's `process` event and for tests, and the help
// viewer that "peghelp.exe" opens. Not for the program.
#pragma once

#include <string>
#include <vector>

class QWidget;

struct StartedProcess {
    std::u16string program; // as the program named it
    std::u16string args;    // the rest of the command line
    bool started;           // false when there is no such program on the device
};

// Called for every CreateProcessW, after the program started or was refused.
typedef void (*PROCESSHOOK)(const StartedProcess& process);
void SetProcessHook(PROCESSHOOK hook);

std::vector<StartedProcess>& RecordedProcesses();

// The help viewer on the screen, or null when it is closed.
QWidget* HelpViewerWidget();
// The device path of the file the viewer shows, empty when it is closed.
std::u16string HelpViewerFile();
// The text the viewer shows, as plain text (the file's, or the note that it was not found).
std::u16string HelpViewerText();
// Taps the viewer's close button as a person does; false when no viewer is open.
bool TapHelpViewerClose();
