// The keys of dialogs as a person presses them: Enter, Escape and Tab on any widget of a running
// dialog reach the dialog (DialogKey) before the widget's own handling, which would otherwise
// keep them (Tab moves the toolkit's own focus, Enter and Escape are lost on most widgets).
#include "platform/window/dialog_internal.h"

#include <QApplication>
#include <QKeyEvent>

namespace
{
class DialogKeyFilter : public QObject
{
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || RunningDialogs().empty() ||
            !target->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        UINT vk;
        bool shift = (key->modifiers() & Qt::ShiftModifier) != 0;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: vk = VK_RETURN; break;
        case Qt::Key_Escape: vk = VK_ESCAPE; break;
        case Qt::Key_Tab: vk = VK_TAB; break;
        case Qt::Key_Backtab:
            vk = VK_TAB;
            shift = true;
            break;
        default: return false;
        }
        // The window the widget belongs to; a pop-up of a control (an open list, a calendar) is
        // a window of the toolkit's own and keeps its keys.
        HWND window = nullptr;
        for (auto* w = static_cast<QWidget*>(target); w && !window; w = w->parentWidget()) {
            window = WindowOfWidget(w);
            if (w->isWindow())
                break;
        }
        return window && DialogKey(window, vk, shift);
    }
};
} // namespace

void InstallDialogKeys()
{
    static QPointer<DialogKeyFilter> filter;
    if (filter || !QCoreApplication::instance())
        return;
    filter = new DialogKeyFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}
