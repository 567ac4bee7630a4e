// Messages: sent at once, posted to the queue, fetched by the loop, and the modal rounds that
// dialogs and message boxes run.
#include "platform/window/window_internal.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QKeyEvent>

#include <deque>

namespace
{
struct Queue {
    std::deque<MSG> posted;
    bool quit = false;
    int quitCode = 0;
    int depth = 0;
    IDLEHANDLER idle = nullptr;
};

Queue& Q()
{
    static Queue queue;
    return queue;
}

// Procedures run inside this guard, so that widgets of windows destroyed meanwhile are freed
// only once no procedure of theirs is on the stack.
struct ProcedureGuard {
    ProcedureGuard() { ++Q().depth; }
    ~ProcedureGuard()
    {
        if (--Q().depth == 0)
            FreeDestroyedWidgets();
    }
};

bool TakePosted(MSG* message)
{
    Queue& q = Q();
    if (q.posted.empty())
        return false;
    *message = q.posted.front();
    q.posted.pop_front();
    return true;
}
} // namespace

int ProcedureDepth()
{
    return Q().depth;
}

void DropPostedMessages(HWND window)
{
    auto& posted = Q().posted;
    for (auto it = posted.begin(); it != posted.end();)
        it = it->hwnd == window ? posted.erase(it) : it + 1;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowObject* object = WindowFromHandle(window);
    if (!object || !object->proc) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    ProcedureGuard guard;
    return object->proc(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !WindowFromHandle(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Q().posted.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    WakeMessageLoop();
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    Q().quit = true;
    Q().quitCode = exitCode;
    WakeMessageLoop();
}

bool QuitPosted()
{
    return Q().quit;
}

void WakeMessageLoop()
{
    if (QCoreApplication::instance())
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
            dispatcher->wakeUp();
}

void SetIdleHandler(IDLEHANDLER handler)
{
    Q().idle = handler;
}

// One round: posted messages first, then the toolkit's events; when neither had anything, the
// idle handler takes its step, or the loop sleeps until an event arrives.
void PumpMessages()
{
    MSG message;
    if (TakePosted(&message)) {
        DispatchMessageW(&message);
        return;
    }
    if (!QCoreApplication::instance())
        return;
    QCoreApplication::sendPostedEvents();
    if (QCoreApplication::instance()->eventDispatcher()->processEvents(QEventLoop::AllEvents))
        return;
    if (!Q().posted.empty() || Q().quit)
        return;
    if (Q().idle) {
        Q().idle();
        return;
    }
    QCoreApplication::instance()->eventDispatcher()->processEvents(QEventLoop::WaitForMoreEvents);
}

BOOL GetMessageW(LPMSG message, HWND, UINT, UINT)
{
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (;;) {
        if (TakePosted(message))
            return TRUE;
        Queue& q = Q();
        if (q.quit) {
            q.quit = false;
            *message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, 0, {0, 0}};
            return FALSE;
        }
        if (!QCoreApplication::instance()) {
            // Without a toolkit nothing can arrive: a loop with an empty queue would never end.
            *message = MSG{nullptr, WM_QUIT, 0, 0, 0, {0, 0}};
            return FALSE;
        }
        PumpMessages();
    }
}

BOOL TranslateMessage(const MSG*)
{
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* message)
{
    if (!message || !message->hwnd)
        return 0;
    return SendMessageW(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT NotifyParent(HWND control, UINT code, NMHDR* header)
{
    WindowObject* object = WindowFromHandle(control);
    if (!object || !object->parent || !header)
        return 0;
    header->hwndFrom = control;
    header->idFrom = object->id;
    header->code = code;
    return SendMessageW(object->parent, WM_NOTIFY, object->id, reinterpret_cast<LPARAM>(header));
}

LRESULT CommandParent(HWND control, WORD code)
{
    WindowObject* object = WindowFromHandle(control);
    if (!object || !object->parent)
        return 0;
    return SendMessageW(object->parent, WM_COMMAND, MAKEWPARAM(object->id, code),
                        reinterpret_cast<LPARAM>(control));
}

UINT KeyCodeOf(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    default: return 0;
    }
}
