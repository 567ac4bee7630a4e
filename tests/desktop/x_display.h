// A virtual X server of the test's own, where the real program runs in a real window and a
// person's pointer and keys come from xdotool (the XTEST extension), as a desktop's do.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct xcb_connection_t;

using XWindowId = unsigned long;

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// Asks `done` every 50 ms for up to `limitMs`; true as soon as it holds. The limit is generous
// for a loaded machine: a working program answers in well under a second.
bool WaitUntil(const std::function<bool()>& done, int limitMs = 10000);

class XDisplay
{
  public:
    // Starts Xvfb on a display number it picks itself (-displayfd), without a window manager.
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // Empty when the display runs and xdotool is at hand; otherwise why the tests cannot run.
    const QString& Unavailable() const { return unavailable_; }
    // ":N", for DISPLAY.
    QString Name() const;

    // xdotool on this display; its standard output trimmed, the exit code in `code`.
    QString Xdo(const QStringList& args, int* code = nullptr) const;
    // The visible top-level windows of process `pid`.
    std::vector<XWindowId> WindowsOf(qint64 pid) const;
    WindowGeometry Geometry(XWindowId window) const;
    // The window with the keyboard focus (0 when none or the pointer's root).
    XWindowId Focus() const;
    // Moves the pointer to (x, y) of `window` and taps there (press and release).
    void Tap(XWindowId window, int x, int y) const;
    void MovePointer(XWindowId window, int x, int y) const;
    // Types text, or presses keys ("ctrl+r", "Left Return" one after the other), where the
    // keyboard focus is.
    void Type(const QString& text) const;
    void Key(const QString& keys) const;
    // Gives the keyboard focus to the root window, so that no program window has it.
    void FocusRoot() const;

    // What a window manager sends when a person closes a window: WM_DELETE_WINDOW of the
    // WM_PROTOCOLS client message. False when the message could not be sent.
    bool RequestClose(XWindowId window) const;
    // A plain window of the test's own, mapped on top of the others over `area`; 0 on failure.
    XWindowId Cover(const WindowGeometry& area);
    // The root's children from the bottom of the stack to the top.
    std::vector<XWindowId> Stacking() const;

  private:
    QProcess server_;
    QString unavailable_;
    QString xdotool_;
    int number_ = -1;
    xcb_connection_t* connection_ = nullptr;
};
