#include "tests/platform/controls/controls_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace controls_test
{
namespace
{
std::function<void(const Command&)>* recorder = nullptr;

LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && recorder)
        (*recorder)(Command{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
    return DefWindowProcW(window, message, wParam, lParam);
}

void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& at, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

std::function<void(const Command&)> record;
} // namespace

void ControlsTest::SetUp()
{
    ASSERT_TRUE(EnsureApplication());
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = u"ControlsTestParent";
        ASSERT_NE(RegisterClassW(&wc), 0);
        registered = true;
    }
    record = [this](const Command& command) {
        commands.push_back(command);
        if (onCommand)
            onCommand(command);
    };
    recorder = &record;
    screen_ = std::make_unique<QWidget>();
    screen_->resize(240, 320);
    screen_->show();
    screen_->activateWindow();
    SetScreenSize(240, 320);
    SetScreenWidget(screen_.get());
    parent_ = CreateWindowExW(0, u"ControlsTestParent", u"Parent", WS_VISIBLE, 0, 26, 240, 268,
                              nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    Settle();
}

void ControlsTest::TearDown()
{
    onCommand = nullptr;
    if (IsWindow(parent_))
        DestroyWindow(parent_);
    SetScreenWidget(nullptr);
    screen_.reset();
    recorder = nullptr;
    Settle();
}

HWND ControlsTest::Make(LPCWSTR className, LPCWSTR text, DWORD style, int id, int x, int y,
                        int width, int height)
{
    HWND control =
        CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                        parent_, reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
    EXPECT_NE(control, nullptr);
    return control;
}

std::vector<WORD> ControlsTest::CodesOf(int id) const
{
    std::vector<WORD> codes;
    for (const Command& command : commands) {
        if (command.id == id)
            codes.push_back(command.code);
    }
    return codes;
}

std::u16string ControlsTest::Text(HWND control) const
{
    WCHAR buffer[256] = {};
    int n = GetWindowTextW(control, buffer, 256);
    return std::u16string(buffer, size_t(n));
}

void Press(QWidget* widget, const QPoint& at)
{
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
}

void Release(QWidget* widget, const QPoint& at)
{
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

void Tap(QWidget* widget, const QPoint& at)
{
    Press(widget, at);
    Release(widget, at);
}

void DoubleTap(QWidget* widget, const QPoint& at)
{
    Tap(widget, at);
    SendMouse(widget, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    Release(widget, at);
}

void Key(QWidget* widget, int key, const QString& text, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

void Type(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        Key(widget, c.toUpper().unicode(), QString(c));
}

void Settle()
{
    for (int round = 0; round < 3; ++round) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
} // namespace controls_test
