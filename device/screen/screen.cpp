// The desktop window that shows the handheld's screen, and the screen's own parts: the
// navigation bar, the input panel, turning and grabbing.
#include "device/screen/screen.h"

#include "device/screen/input_panel.h"
#include "device/screen/navigation_bar.h"
#include "platform/aygshell.h"
#include "platform/menubar/menu_bar_access.h"
#include "platform/window/window_object.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QToolButton>

namespace
{
// The desktop window: the screen fills it; a right click offers to turn the screen, and closing
// it closes the program as the handheld's Exit would.
class DesktopWindow : public QWidget
{
  public:
    DesktopWindow()
    {
        setWindowTitle(QStringLiteral("Zentally"));
        setAttribute(Qt::WA_DeleteOnClose, false);
    }

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Turn the screen"), [] { TurnScreen(); });
        menu.exec(event->globalPos());
    }
    void closeEvent(QCloseEvent* event) override;
};

// The screen's area: white where no window covers it, as the handheld's is.
class ScreenArea : public QWidget
{
  public:
    explicit ScreenArea(QWidget* desktop) : QWidget(desktop)
    {
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, Qt::white);
        setPalette(colours);
    }
};

struct Device {
    QPointer<DesktopWindow> desktop;
    ScreenArea* screen = nullptr;
    NavigationBar* navigation = nullptr;
    InputPanel* panel = nullptr;
    HWND okTarget = nullptr; // the dialog the ok button was shown for
    QMetaObject::Connection idle;
};

Device& D()
{
    static Device device;
    return device;
}

std::u16string CaptionOf(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    return object ? object->text : std::u16string();
}

// A window on the screen itself, not a control inside another window.
bool OnScreen(HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    return object && !object->parent && !object->destroying;
}

// The dialog a tap on ok or a Done button is meant for: the innermost one open, else the
// foreground window.
HWND FrontDialog()
{
    std::vector<OpenDialog> dialogs = OpenDialogs();
    for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it) {
        if (IsWindow(it->window))
            return it->window;
    }
    return GetForegroundWindow();
}

void HideStaleOk()
{
    Device& d = D();
    if (d.okTarget && !IsWindow(d.okTarget)) {
        d.okTarget = nullptr;
        d.navigation->ShowOk(false);
    }
}

// A bar goes just above the topmost program window: below what the platform lays over the
// whole screen (message boxes, the help viewer), which must stay above it. Nothing moves when it
// is there already, so that this can run each time the loop rests without repainting.
void StackAboveWindows(QWidget* bar)
{
    std::vector<QWidget*> stack; // bottom to top
    for (QObject* child : D().screen->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            stack.push_back(widget);
    }
    int topWindow = -1, at = -1;
    for (int i = 0; i < int(stack.size()); ++i) {
        if (stack[i] == bar)
            at = i;
        else if (WindowOfWidget(stack[i]))
            topWindow = i;
    }
    if (at > topWindow)
        return;
    for (int i = topWindow + 1; i < int(stack.size()); ++i) {
        if (stack[i] != bar && !WindowOfWidget(stack[i])) {
            bar->stackUnder(stack[i]);
            return;
        }
    }
    bar->raise();
}

// The bars stay above the program's windows, which raise themselves when they are shown or
// come to the front.
void KeepBarsOnTop()
{
    Device& d = D();
    StackAboveWindows(d.navigation);
    if (d.panel->Follow())
        StackAboveWindows(d.panel);
}

void OnForeground(HWND window)
{
    Device& d = D();
    if (!d.desktop)
        return;
    d.navigation->SetCaption(CaptionOf(window));
    HideStaleOk();
    KeepBarsOnTop();
}

void OnWindowText(HWND window)
{
    Device& d = D();
    if (d.desktop && window && window == GetForegroundWindow())
        d.navigation->SetCaption(CaptionOf(window));
}

// A dialog made with the Done button came to the front, or such a dialog ended.
void OnDoneButton(HWND, bool show)
{
    ShowNavigationBarOk(show);
}

void OnOkTapped()
{
    Device& d = D();
    HWND target = d.okTarget && IsWindow(d.okTarget) ? d.okTarget : FrontDialog();
    if (target)
        SendMessageW(target, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); // 0: a button's click
}

// What the screen shows that no message announces: the input panel's state and the clock.
void Refresh()
{
    Device& d = D();
    if (!d.desktop)
        return;
    KeepBarsOnTop();
    d.navigation->RefreshClock();
    HideStaleOk();
}

HWND MainWindowOfProgram()
{
    return FindWindowW(u"Zentally", u"Zentally");
}

void DesktopWindow::closeEvent(QCloseEvent* event)
{
    // The desktop's close is the program's Exit, taken only when a person could choose Exit:
    // with no dialog and no message box in the way, which would be left with nobody to answer.
    if (!OpenDialogs().empty() || MessageBoxOnScreen()) {
        event->ignore();
        QApplication::beep();
        return;
    }
    HWND main = MainWindowOfProgram();
    if (!main) {
        event->accept();
        return;
    }
    event->ignore();
    PostMessageW(main, WM_CLOSE, 0, 0);
}

// Places the screen's parts at the screen's size.
void Lay(int width, int height)
{
    Device& d = D();
    d.desktop->setFixedSize(width, height);
    d.screen->setGeometry(0, 0, width, height);
    d.navigation->Place();
    d.panel->Place();
}

// A window that spanned the old screen's width keeps its distances from the top and the bottom
// on the turned one.
void RefitWindow(HWND window, SIZE before, SIZE after)
{
    if (MenuBarWidgetOf(window))
        return; // the bars place themselves
    RECT r{};
    if (!GetWindowRect(window, &r) || r.left != 0 || r.right != before.cx)
        return;
    int top = r.top;
    int below = before.cy - r.bottom;
    int height = after.cy - top - below;
    if (top < 0 || below < 0 || height <= 0)
        return;
    MoveWindow(window, 0, top, after.cx, height, TRUE);
}
} // namespace

bool CreateDeviceScreen(const DeviceOptions& options, std::string* reason)
{
    if (!EnsureApplication()) {
        *reason = "the screen needs a widget application, and another kind exists";
        return false;
    }
    if (options.screenWidth <= 0 || options.screenHeight <= 0) {
        *reason = "the screen needs a width and a height";
        return false;
    }
    DestroyDeviceScreen();
    Device& d = D();
    d.desktop = new DesktopWindow();
    d.screen = new ScreenArea(d.desktop);
    d.navigation = new NavigationBar(d.screen);
    d.navigation->SetOkHandler(OnOkTapped);
    d.panel = new InputPanel(d.screen);
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), d.desktop, [] { TurnScreen(); });

    SetScreenSize(options.screenWidth, options.screenHeight);
    Lay(options.screenWidth, options.screenHeight);
    SetScreenWidget(d.screen);
    SetForegroundHook(OnForeground);
    SetWindowTextHook(OnWindowText);
    SetDoneButtonHook(OnDoneButton);
    if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance())
        d.idle = QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, d.desktop,
                                  [] { Refresh(); });
    d.desktop->show();
    return true;
}

void DestroyDeviceScreen()
{
    Device& d = D();
    if (!d.desktop)
        return;
    SetForegroundHook(nullptr);
    SetWindowTextHook(nullptr);
    SetDoneButtonHook(nullptr);
    SetScreenWidget(nullptr);
    QObject::disconnect(d.idle);
    delete d.desktop.data();
    d = Device();
}

void TurnScreen()
{
    Device& d = D();
    if (!d.desktop)
        return;
    SIZE before = ScreenSize();
    SIZE after{before.cy, before.cx};
    SetScreenSize(after.cx, after.cy);
    Lay(after.cx, after.cy);
    PlaceMenuBars();
    std::vector<HWND> windows;
    for (HWND window : AllWindows()) {
        if (OnScreen(window))
            windows.push_back(window);
    }
    for (HWND window : windows) {
        if (OnScreen(window))
            RefitWindow(window, before, after);
    }
    PlaceMessageBoxes();
    KeepBarsOnTop();
    // The windows hear of it last, when everything is where the new work area says.
    for (HWND window : windows) {
        if (OnScreen(window))
            SendMessageW(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    }
}

QImage GrabScreen()
{
    Device& d = D();
    if (!d.desktop)
        return QImage();
    Refresh();
    QImage image(d.screen->size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    image.fill(Qt::white);
    QPainter painter(&image);
    d.screen->render(&painter, QPoint(), QRegion(),
                     QWidget::DrawWindowBackground | QWidget::DrawChildren);
    // Menus, drop-down lists and calendars open as pop-up windows of their own over the
    // screen; a person sees them on it, so the picture shows them where they are.
    QPoint origin = d.screen->mapToGlobal(QPoint(0, 0));
    for (QWidget* popup : QApplication::topLevelWidgets()) {
        if (popup == d.desktop || !popup->isVisible() || !(popup->windowType() == Qt::Popup))
            continue;
        popup->render(&painter, popup->mapToGlobal(QPoint(0, 0)) - origin, QRegion(),
                      QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    painter.end();
    return image;
}

std::u16string NavigationBarTitle()
{
    Device& d = D();
    return d.desktop ? d.navigation->Caption() : std::u16string();
}

void ShowNavigationBarOk(bool show)
{
    Device& d = D();
    if (!d.desktop)
        return;
    d.okTarget = show ? FrontDialog() : nullptr;
    d.navigation->ShowOk(show);
}

QWidget* NavigationBarOkButton()
{
    Device& d = D();
    if (!d.desktop)
        return nullptr;
    HideStaleOk();
    QToolButton* ok = d.navigation->OkButton();
    return ok->isVisibleTo(d.desktop) ? ok : nullptr;
}

std::u16string NavigationBarClock()
{
    Device& d = D();
    if (!d.desktop)
        return std::u16string();
    d.navigation->RefreshClock();
    return d.navigation->ClockText().toStdU16String();
}

QWidget* DeviceScreenWidget()
{
    return D().screen;
}

bool InputPanelUp()
{
    Device& d = D();
    if (!d.desktop)
        return IsInputPanelUp() != FALSE;
    KeepBarsOnTop();
    return d.panel->isVisibleTo(d.screen);
}

void RaiseDeviceScreen()
{
    Device& d = D();
    if (!d.desktop)
        return;
    if (d.desktop->isMinimized())
        d.desktop->showNormal();
    d.desktop->show();
    d.desktop->raise();
    d.desktop->activateWindow();
}

QWidget* DeviceDesktopWindow()
{
    return D().desktop.data();
}
