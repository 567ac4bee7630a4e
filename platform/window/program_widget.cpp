#include "platform/window/program_widget.h"

#include "platform/window/window_internal.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

ProgramWidget::ProgramWidget(HWND window, QWidget* parent) : QWidget(parent), window(window)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void ProgramWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    WindowObject* object = WindowFromHandle(window);
    QColor background;
    if (object && BrushColor(object->background, &background))
        painter.fillRect(event->rect(), background);
    else
        painter.fillRect(event->rect(), Qt::white);
    if (!object)
        return;
    OpenPaintContext(window, &painter, event->rect());
    SendMessageW(window, WM_PAINT, 0, 0);
    ClosePaintContext(window);
}

void ProgramWidget::resizeEvent(QResizeEvent* event)
{
    // The window manager sends WM_SIZE itself for the sizes it sets; a size set by Qt (a layout
    // of the device) is reported here.
    if (event->oldSize().isValid() && WindowFromHandle(window) && !SizeChangeInProgress(window))
        SendMessageW(window, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(event->size().width(), event->size().height()));
}

void ProgramWidget::mousePressEvent(QMouseEvent* event)
{
    QPoint at = event->position().toPoint();
    SendMessageW(window, WM_LBUTTONDOWN, 0, MAKELPARAM(at.x(), at.y()));
}

void ProgramWidget::mouseReleaseEvent(QMouseEvent* event)
{
    QPoint at = event->position().toPoint();
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x(), at.y()));
}

void ProgramWidget::keyPressEvent(QKeyEvent* event)
{
    UINT key = KeyCodeOf(event);
    if (key)
        SendMessageW(window, WM_KEYDOWN, key, 0);
    else
        QWidget::keyPressEvent(event);
}
