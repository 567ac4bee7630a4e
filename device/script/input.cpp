#include "device/script/input.h"

#include "device/screen/screen.h"
#include "platform/recorder.h"
#include "platform/window/list_view/list_view_access.h"
#include "platform/window/window_object.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QWindow>

#include <deque>

namespace
{
void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& point, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QPointF local(point);
    QPointF global(widget->mapToGlobal(point));
    QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Gives the focus as the toolkit does for a tap: to the nearest widget under the pointer, from
// the one tapped outwards, that takes the focus on a click. Where the toolkit cannot give it
// (the screen is not shown), the platform is told, so the program sees it all the same.
void GiveTapFocus(QWidget* widget, QPoint point)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        QWidget* taker = w->focusProxy() ? w->focusProxy() : w;
        if (w->isEnabled() && w->rect().contains(point) &&
            (taker->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus) {
            taker->setFocus(Qt::MouseFocusReason);
            if (QApplication::focusWidget() != taker) {
                for (QWidget* up = w; up; up = up->parentWidget()) {
                    if (HWND window = WindowOfWidget(up)) {
                        SetFocus(window);
                        break;
                    }
                    // A pop-up (a drop-down's list) is a window of its own, not its control.
                    if (up->isWindow())
                        break;
                }
            }
            return;
        }
        if (w->isWindow())
            return;
        point += w->pos();
    }
}

// True while the toolkit's activation is on another window than the screen's with no pop-up up:
// no person's desktop puts it there.
bool ActivationAstray()
{
    QWidget* desktop = DeviceDesktopWindow();
    return desktop && desktop->isVisible() && !QApplication::activePopupWidget() &&
           QApplication::activeWindow() != desktop;
}

class ScreenActivation : public QObject
{
  public:
    explicit ScreenActivation(QObject* parent) : QObject(parent)
    {
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, this, [] {
            // Asked of the platform, which hands it over with the events still to come in this
            // round: before the program's next input is taken.
            if (ActivationAstray())
                DeviceDesktopWindow()->activateWindow();
        });
        parent->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        // The focus leaving a control for a stray activation (and coming back with the screen's
        // own) is no change a person made: the control still has the focus for the program.
        if ((event->type() == QEvent::FocusOut || event->type() == QEvent::FocusIn) &&
            target->isWidgetType() &&
            static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason)
            return ActivationAstray();
        return false;
    }
};

// The button a message box focuses when it comes up: its first.
int FirstAnswer(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}
} // namespace

HWND ProgramMainWindow()
{
    return FindWindowW(u"Zentally", nullptr);
}

HWND InnermostDialog()
{
    std::vector<OpenDialog> dialogs = OpenDialogs();
    return dialogs.empty() ? nullptr : dialogs.back().window;
}

HWND ActiveWindowForInput()
{
    if (HWND dialog = InnermostDialog())
        return dialog;
    if (HWND foreground = GetForegroundWindow())
        return foreground;
    return ProgramMainWindow();
}

HWND FindControl(HWND window, int id)
{
    std::deque<HWND> pending(1, window);
    while (!pending.empty()) {
        HWND parent = pending.front();
        pending.pop_front();
        for (HWND child : ChildWindows(parent)) {
            if (GetDlgCtrlID(child) == id)
                return child;
            pending.push_back(child);
        }
    }
    return nullptr;
}

HWND ListViewChild(HWND window)
{
    std::deque<HWND> pending(1, window);
    while (!pending.empty()) {
        HWND parent = pending.front();
        pending.pop_front();
        for (HWND child : ChildWindows(parent)) {
            if (IsListView(child))
                return child;
            pending.push_back(child);
        }
    }
    return nullptr;
}

bool ControlShown(HWND control)
{
    return IsWindowVisible(control) && WidgetOf(control);
}

bool ControlEnabled(HWND control)
{
    QWidget* widget = WidgetOf(control);
    return widget && IsWindowEnabled(control) && widget->isEnabled();
}

void TapWidget(QWidget* widget, const QPoint& point)
{
    QWidget* target = widget->childAt(point);
    if (!target)
        target = widget;
    QPoint local = target == widget ? point : target->mapFrom(widget, point);
    QPointer<QWidget> alive(target);
    GiveTapFocus(target, local);
    if (!alive)
        return;
    SendMouse(target, QEvent::MouseButtonPress, local, Qt::LeftButton, Qt::LeftButton);
    // The press may have closed the window the widget was on; a finger lifted there then
    // touches nothing.
    if (alive)
        SendMouse(target, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton);
}

void MovePointer(QWidget* widget, const QPoint& point)
{
    SendMouse(widget, QEvent::MouseMove, point, Qt::NoButton, Qt::NoButton);
}

void PressKey(QWidget* widget, int key, const QString& text, Qt::KeyboardModifiers modifiers)
{
    QPointer<QWidget> alive(widget);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    if (!alive)
        return;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

QPoint TapPointOf(QWidget* widget)
{
    QStyle::SubElement box;
    if (qobject_cast<QCheckBox*>(widget))
        box = QStyle::SE_CheckBoxIndicator;
    else if (qobject_cast<QRadioButton*>(widget))
        box = QStyle::SE_RadioButtonIndicator;
    else
        return widget->rect().center();
    QStyleOptionButton option;
    option.initFrom(widget);
    option.text = static_cast<QAbstractButton*>(widget)->text();
    QRect rect = widget->style()->subElementRect(box, &option, widget);
    return rect.isValid() ? rect.center() : widget->rect().center();
}

QWidget* MessageBoxWidget()
{
    const RecordedMessageBox* box = MessageBoxOnScreen();
    if (!box)
        return nullptr;
    QWidget* button = MessageBoxButton(FirstAnswer(box->type));
    QWidget* screen = ScreenWidget();
    for (QWidget* w = button; w; w = w->parentWidget()) {
        if (w->parentWidget() == screen || !w->parentWidget())
            return w;
    }
    return nullptr;
}

QWidget* KeyTarget()
{
    QWidget* focused = QApplication::focusWidget();
    if (const RecordedMessageBox* box = MessageBoxOnScreen()) {
        QWidget* shown = MessageBoxWidget();
        if (focused && shown && shown->isAncestorOf(focused))
            return focused;
        return MessageBoxButton(FirstAnswer(box->type));
    }
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    if (focused)
        return focused;
    if (QWidget* widget = WidgetOf(GetFocus()))
        return widget;
    return WidgetOf(ActiveWindowForInput());
}

void KeepScreenActive(bool keep)
{
    static QPointer<ScreenActivation> keeper;
    if (!keep || !qApp || QGuiApplication::platformName() != QLatin1String("offscreen")) {
        delete keeper.data();
        return;
    }
    if (!keeper)
        keeper = new ScreenActivation(qApp);
    if (ActivationAstray())
        DeviceDesktopWindow()->activateWindow();
}

std::string ControlName(int id)
{
    std::vector<OpenDialog> dialogs = OpenDialogs();
    std::string name = "control " + std::to_string(id);
    if (!dialogs.empty())
        name += " of dialog " + std::to_string(dialogs.back().templateId);
    return name;
}
