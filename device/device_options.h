// The command line of the device: which device folder, screen and script to run with, and the
// display the desktop window goes to.
#pragma once

#include "platform/systime.h"

#include <string>

struct DeviceOptions {
    bool help = false;        // --help: print the usage and end
    bool version = false;     // --version: print the version and end
    std::string deviceFolder; // empty: the default folder
    int screenWidth = 240;
    int screenHeight = 320;
    int scale = 1;
    std::string script; // empty: a person uses the device; "-" reads standard input
    bool show = false;  // show the screen while a script runs
    bool clockSet = false;
    SYSTEMTIME clock{}; // the device clock to start from, when clockSet
};

// Reads the arguments; false with a one-line reason for anything it does not understand, a
// value out of its range, or an option that needs another one (--show without --script).
bool ParseDeviceOptions(int argc, const char* const* argv, DeviceOptions* options,
                        std::string* reason);

// The usage text printed for --help.
const char* DeviceUsage();

// The line printed for --version: "zentally" and the project's version, such as "zentally 0.1\n".
const char* DeviceVersion();

// Reads YYYY-MM-DDTHH:MM:SS, exactly that, as a valid date and time of the years 1601-30827;
// false for anything else. Seconds are 0-59 and the day exists in its month.
bool ParseClockText(const std::string& text, SYSTEMTIME* time);

// The environment that decides where the desktop window can go.
struct DisplayEnvironment {
    std::string display;        // DISPLAY
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string qpaPlatform;    // QT_QPA_PLATFORM
};

struct DisplayChoice {
    bool possible = false;
    // The value QT_QPA_PLATFORM must have before the application is made; empty to leave it.
    std::string qpaPlatform;
    // True when the list ends with the offscreen platform only as a way not to abort: landing
    // there means the desktop's display could not be opened.
    bool offscreenIsFallback = false;
    std::string reason; // when not possible: one line saying how to run the program
};

// A script without --show runs offscreen; a person needs a desktop display, or a platform the
// user chose with QT_QPA_PLATFORM.
DisplayChoice ChooseDisplay(const DeviceOptions& options, const DisplayEnvironment& environment);
