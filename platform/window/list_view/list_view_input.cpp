// A person's input on the list view: a tap selects and focuses the row under it and tells the
// parent of the click when the pointer comes up; keys move the selection, Enter reports
// NM_RETURN; a tap on a column header reports LVN_COLUMNCLICK. Each notification reaches the
// program's procedure during the Qt event that caused it.
#include "platform/window/list_view/list_view_widget.h"
#include "platform/window/window_internal.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace
{
UINT VirtualKeyOf(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    default: return KeyCodeOf(event);
    }
}

const UINT chosen = LVIS_SELECTED | LVIS_FOCUSED;
} // namespace

void ListViewWidget::Press(const QPoint& client)
{
    BusyScope busy(this);
    SetFocus(window_);
    pressed_ = true;
    doubleClicked_ = false;
    pressPoint_ = client;
    pressRow_ = RowAt(client);
    pressColumn_ = ColumnAt(client);
    // A tap on no row takes the selection away, as the handheld's list does: the click that
    // follows then finds no row selected and opens nothing.
    if (pressRow_ < 0) {
        for (int row = model_->NextSelected(-1); row >= 0 && !life_.Destroyed();
             row = model_->NextSelected(-1)) {
            if (!SetRowState(row, 0, LVIS_SELECTED))
                break;
        }
        return;
    }
    SetRowState(pressRow_, chosen, chosen, true);
    if (!life_.Destroyed())
        EnsureVisible(pressRow_, false);
}

void ListViewWidget::Release(const QPoint&)
{
    BusyScope busy(this);
    if (!pressed_)
        return;
    pressed_ = false;
    if (doubleClicked_) {
        doubleClicked_ = false; // the second tap of a double tap was told as NM_DBLCLK
        return;
    }
    NMITEMACTIVATE click = {};
    click.iItem = pressRow_;
    click.iSubItem = pressColumn_;
    click.ptAction = POINT{pressPoint_.x(), pressPoint_.y()};
    Notify(NM_CLICK, &click.hdr);
}

void ListViewWidget::DoubleClick(const QPoint& client)
{
    BusyScope busy(this);
    Press(client);
    if (life_.Destroyed())
        return;
    doubleClicked_ = true;
    NMITEMACTIVATE click = {};
    click.iItem = pressRow_;
    click.iSubItem = pressColumn_;
    click.ptAction = POINT{pressPoint_.x(), pressPoint_.y()};
    Notify(NM_DBLCLK, &click.hdr);
}

bool ListViewWidget::Key(UINT key)
{
    BusyScope busy(this);
    NMLVKEYDOWN down = {};
    down.wVKey = WORD(key);
    Notify(LVN_KEYDOWN, &down.hdr);
    if (life_.Destroyed())
        return true;
    int count = model_->RowCount();
    int focused = model_->FocusedRow();
    int page = std::max(1, CountPerPage() - 1);
    int target;
    switch (key) {
    case VK_RETURN: {
        NMHDR header = {};
        Notify(NM_RETURN, &header);
        return true;
    }
    case VK_UP: target = focused < 0 ? 0 : focused - 1; break;
    case VK_DOWN: target = focused < 0 ? 0 : focused + 1; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_PRIOR: target = focused < 0 ? 0 : focused - page; break;
    case VK_NEXT: target = focused < 0 ? 0 : focused + page; break;
    case VK_SPACE: target = focused < 0 ? 0 : focused; break;
    default: return false;
    }
    if (count == 0)
        return true;
    target = std::clamp(target, 0, count - 1);
    SetRowState(target, chosen, chosen, true);
    if (!life_.Destroyed())
        EnsureVisible(target, false);
    return true;
}

void ListViewWidget::ColumnClicked(int column)
{
    BusyScope busy(this);
    if ((Style() & LVS_NOSORTHEADER) || !model_->IsColumn(column))
        return;
    NMLISTVIEW click = {};
    click.iItem = -1;
    click.iSubItem = column;
    Notify(LVN_COLUMNCLICK, &click.hdr);
}

void ListViewWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    Press(event->position().toPoint() + ViewportOrigin());
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    Release(event->position().toPoint() + ViewportOrigin());
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    DoubleClick(event->position().toPoint() + ViewportOrigin());
}

void ListViewWidget::mouseMoveEvent(QMouseEvent* event)
{
    // A moving pointer neither drags nor extends the selection.
    event->accept();
}

void ListViewWidget::keyPressEvent(QKeyEvent* event)
{
    UINT key = VirtualKeyOf(event);
    if (key && Key(key))
        event->accept();
    else
        event->ignore();
}

void ListViewWidget::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void ListViewWidget::focusOutEvent(QFocusEvent* event)
{
    QTreeView::focusOutEvent(event);
    viewport()->update();
}
