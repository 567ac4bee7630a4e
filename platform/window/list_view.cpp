// The report list view ("SysListView32").
#include "platform/window/window_internal.h"

namespace
{
QWidget* CreateListView(HWND, const CREATESTRUCTW&, QWidget* parent)
{
    return new QWidget(parent);
}
LRESULT ListViewMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

const ControlClass ListViewControlClass = {WC_LISTVIEWW, CreateListView, ListViewMessage};
