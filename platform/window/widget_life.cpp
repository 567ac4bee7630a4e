// A window's widget kept alive while its own handler that notifies is on the stack.
#include "platform/window/widget_life.h"

#include "platform/window/window_object.h"

#include <QWidget>

void WidgetLife::OnDestroy()
{
    destroyed_ = true;
    if (busy_ == 0)
        return;
    // The window manager must not free the widget under the handler: it leaves the window's tree
    // now and goes once the last handler is done.
    if (WindowObject* object = WindowFromHandle(window_))
        object->widget = nullptr;
    widget_->hide();
    widget_->setParent(nullptr);
}

WidgetLife::Busy::Busy(WidgetLife& life) : life_(life)
{
    ++life_.busy_;
}

WidgetLife::Busy::~Busy()
{
    if (--life_.busy_ == 0 && life_.destroyed_ && !life_.widget_->parent())
        life_.widget_->deleteLater();
}
