// The life of a window's widget whose own handlers send notifications. A notification reaches the
// program's procedure while the handler is on the stack, and the program may destroy the window
// there; the widget must then outlive that handler. Every handler that notifies runs inside a
// Busy scope: a window destroyed meanwhile leaves the window tree at once (hidden, without a
// parent) and its widget is deleted once the outermost scope ends. A window destroyed outside
// any scope leaves its widget to the window manager, which frees it with the window.
#pragma once

#include "platform/windows.h"

class QWidget;

class WidgetLife
{
  public:
    WidgetLife(HWND window, QWidget* widget) : window_(window), widget_(widget) {}

    // True once the window had its WM_DESTROY: nothing is to be sent to the parent any more.
    bool Destroyed() const { return destroyed_; }
    // WM_DESTROY.
    void OnDestroy();

    class Busy
    {
      public:
        explicit Busy(WidgetLife& life);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

      private:
        WidgetLife& life_;
    };

  private:
    HWND window_;
    QWidget* widget_;
    int busy_ = 0;
    bool destroyed_ = false;
};
