#include "device/device_options.h"

#include <cstring>

namespace
{
// Screens from the smallest handheld side to a large tablet; magnifications a desktop can show.
constexpr int MinScreenSide = 160;
constexpr int MaxScreenSide = 2048;
constexpr int MaxScale = 8;

// A whole number of at most `maxDigits` digits and nothing else: no sign, no spaces.
bool ParseDigits(const std::string& text, size_t maxDigits, int* value)
{
    if (text.empty() || text.size() > maxDigits)
        return false;
    int result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    *value = result;
    return true;
}

bool ParseSize(const std::string& text, int* width, int* height)
{
    size_t cross = text.find('x');
    int w = 0, h = 0;
    if (cross == std::string::npos || !ParseDigits(text.substr(0, cross), 4, &w) ||
        !ParseDigits(text.substr(cross + 1), 4, &h))
        return false;
    if (w < MinScreenSide || h < MinScreenSide || w > MaxScreenSide || h > MaxScreenSide)
        return false;
    *width = w;
    *height = h;
    return true;
}

bool ParseScale(const std::string& text, int* scale)
{
    int value = 0;
    if (!ParseDigits(text, 1, &value) || value < 1 || value > MaxScale)
        return false;
    *scale = value;
    return true;
}

bool LeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : days[month - 1];
}

// Zeller's rule for the day of the week, counted from Sunday (0).
int DayOfWeek(int year, int month, int day)
{
    if (month < 3) {
        month += 12;
        --year;
    }
    int k = year % 100, j = year / 100;
    int h = (day + 13 * (month + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7; // 0 is Saturday
    return (h + 6) % 7;
}

bool Blank(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}
} // namespace

bool ParseClockText(const std::string& text, SYSTEMTIME* time)
{
    // YYYY-MM-DDTHH:MM:SS: separators at fixed places, digits everywhere else.
    static const char pattern[] = "dddd-dd-ddTdd:dd:dd";
    if (text.size() != std::strlen(pattern))
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == 'd' ? !digit : text[i] != pattern[i])
            return false;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    ParseDigits(text.substr(0, 4), 4, &year);
    ParseDigits(text.substr(5, 2), 2, &month);
    ParseDigits(text.substr(8, 2), 2, &day);
    ParseDigits(text.substr(11, 2), 2, &hour);
    ParseDigits(text.substr(14, 2), 2, &minute);
    ParseDigits(text.substr(17, 2), 2, &second);
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 59)
        return false;
    *time = SYSTEMTIME{WORD(year),   WORD(month), WORD(DayOfWeek(year, month, day)),
                       WORD(day),    WORD(hour),  WORD(minute),
                       WORD(second), WORD(0)};
    return true;
}

const char* DeviceUsage()
{
    return "usage: zentally [--device DIR] [--screen WxH] [--scale N]\n"
           "                [--clock YYYY-MM-DDTHH:MM:SS] [--script FILE|- [--show]]\n"
           "\n"
           "  --device DIR    the device's storage folder (default ~/.local/share/zentally)\n"
           "  --screen WxH    the screen's size in pixels: 240x320 (default), 320x240, 480x640\n"
           "  --scale N       magnify the desktop window N times (1 to 8)\n"
           "  --clock TIME    start the device clock at TIME instead of the host's local time\n"
           "  --script FILE   play the actions of FILE (- for standard input) as a person\n"
           "                  would, printing what happens as JSON lines; no window is shown\n"
           "  --show          show the screen while the script plays\n"
           "  --version       print the program's version\n"
           "  --help          print this text\n"
           "\n"
           "Ctrl+R, or the window's context menu, turns the screen.\n";
}

const char* DeviceVersion()
{
    return "zentally " ZENTALLY_VERSION "\n";
}

bool ParseDeviceOptions(int argc, const char* const* argv, DeviceOptions* options,
                        std::string* reason)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i] ? argv[i] : "";
        bool hasValue = i + 1 < argc && argv[i + 1];
        std::string value = hasValue ? argv[i + 1] : "";
        auto need = [&](const char* what) {
            if (!hasValue || Blank(value)) {
                *reason = arg + " needs " + what;
                return false;
            }
            ++i;
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--version") {
            options->version = true;
        } else if (arg == "--device") {
            if (!need("a folder"))
                return false;
            options->deviceFolder = value;
        } else if (arg == "--screen") {
            if (!need("a size such as 320x240"))
                return false;
            if (!ParseSize(value, &options->screenWidth, &options->screenHeight)) {
                *reason =
                    "--screen takes WIDTHxHEIGHT, each from 160 to 2048, such as 240x320: " + value;
                return false;
            }
        } else if (arg == "--scale") {
            if (!need("a factor from 1 to 8"))
                return false;
            if (!ParseScale(value, &options->scale)) {
                *reason = "--scale takes a whole factor from 1 to 8: " + value;
                return false;
            }
        } else if (arg == "--clock") {
            if (!need("a time such as 2026-12-07T09:30:00"))
                return false;
            if (!ParseClockText(value, &options->clock)) {
                *reason = "--clock takes a valid YYYY-MM-DDTHH:MM:SS: " + value;
                return false;
            }
            options->clockSet = true;
        } else if (arg == "--script") {
            if (!need("a file, or - for standard input"))
                return false;
            options->script = value;
        } else if (arg == "--show") {
            options->show = true;
        } else {
            *reason = "unknown argument " + arg + " (see zentally --help)";
            return false;
        }
    }
    if (options->show && options->script.empty() && !options->help && !options->version) {
        *reason = "--show goes with --script: without a script the screen is always shown";
        return false;
    }
    return true;
}

DisplayChoice ChooseDisplay(const DeviceOptions& options, const DisplayEnvironment& environment)
{
    DisplayChoice choice;
    bool scripted = !options.script.empty();
    if (scripted && !options.show) {
        choice.possible = true;
        choice.qpaPlatform = "offscreen";
        return choice;
    }
    if (!environment.qpaPlatform.empty()) {
        // The user chose the platform; Qt reports it if it cannot be had.
        choice.possible = true;
        return choice;
    }
    std::string platforms;
    if (!environment.waylandDisplay.empty())
        platforms = "wayland;";
    if (!environment.display.empty())
        platforms += "xcb;";
    if (platforms.empty()) {
        choice.reason =
            scripted
                ? "--show needs a desktop display (neither DISPLAY nor WAYLAND_DISPLAY is "
                  "set); leave it out to play the script without a window"
                : "this program needs a desktop display (neither DISPLAY nor WAYLAND_DISPLAY is "
                  "set); play a script headless with --script FILE, or set "
                  "QT_QPA_PLATFORM=offscreen";
        return choice;
    }
    // A display that is named but cannot be opened lands on offscreen, which the caller turns
    // into a plain message instead of the toolkit's abort.
    choice.possible = true;
    choice.qpaPlatform = platforms + "offscreen";
    choice.offscreenIsFallback = true;
    return choice;
}
