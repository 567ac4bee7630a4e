#include "device/script/state.h"

#include "device/screen/screen.h"
#include "device/script/events.h"
#include "device/script/input.h"
#include "device/script/json.h"
#include "device/script/script.h"
#include "platform/controls.h"
#include "platform/recorder.h"
#include "platform/window/window_object.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace
{
const char* StateName(MenuBarEntryState state)
{
    switch (state) {
    case MenuBarEntryState::Enabled: return "enabled";
    case MenuBarEntryState::Indeterminate: return "indeterminate";
    default: return "grayed";
    }
}

std::string PictureJson(int image)
{
    return image < 0 ? "null" : std::to_string(image);
}

std::u16string Utf16(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
}

std::string ColumnsJson(const ListViewView& list)
{
    JsonArray columns;
    for (const ListViewColumnView& column : list.columns) {
        columns.Raw(JsonObject()
                        .Text("text", column.text)
                        .Number("width", column.width)
                        .Raw("image", PictureJson(column.image))
                        .Json());
    }
    return columns.Json();
}

std::string RowsJson(const ListViewView& list)
{
    JsonArray rows;
    for (const ListViewRowView& row : list.rows) {
        JsonArray cells;
        for (const std::u16string& cell : row.cells)
            cells.Text(cell);
        rows.Raw(JsonObject()
                     .Raw("image", PictureJson(row.image))
                     .Raw("cells", cells.Json())
                     .Bool("selected", row.selected)
                     .Bool("focused", row.focused)
                     .Json());
    }
    return rows.Json();
}

bool HasFocusWithin(HWND control)
{
    for (HWND w = GetFocus(); w; w = WindowFromHandle(w) ? WindowFromHandle(w)->parent : nullptr) {
        if (w == control)
            return true;
    }
    return false;
}

// The text the control shows: what was typed or chosen where the widget holds it, else the
// window's text.
std::u16string ControlText(const WindowObject& object, QWidget* widget)
{
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return Utf16(edit->text());
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        return Utf16(spin->text());
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return Utf16(combo->currentText());
    if (auto* text = qobject_cast<QTextEdit*>(widget))
        return Utf16(text->toPlainText());
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        return Utf16(plain->toPlainText());
    return object.text;
}

void AddListFields(JsonObject* control, QWidget* widget)
{
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        JsonArray items;
        for (int i = 0; i < combo->count(); ++i)
            items.Text(Utf16(combo->itemText(i)));
        control->Raw("items", items.Json());
        if (combo->currentIndex() >= 0)
            control->Number("selected", combo->currentIndex());
        else
            control->Null("selected");
        if (combo->lineEdit())
            control->Number("limit", combo->lineEdit()->maxLength());
        return;
    }
    auto* list = qobject_cast<QListView*>(widget);
    if (!list || !list->model())
        return;
    QAbstractItemModel* model = list->model();
    JsonArray items;
    for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
        QModelIndex index = model->index(row, list->modelColumn(), list->rootIndex());
        items.Text(Utf16(model->data(index, Qt::DisplayRole).toString()));
    }
    control->Raw("items", items.Json());
    QModelIndexList chosen =
        list->selectionModel() ? list->selectionModel()->selectedIndexes() : QModelIndexList();
    if (chosen.isEmpty())
        control->Null("selected");
    else
        control->Number("selected", chosen.front().row());
}

std::string ControlJson(HWND dialog, HWND window)
{
    WindowObject* object = WindowFromHandle(window);
    QWidget* widget = WidgetOf(window);
    QWidget* area = WidgetOf(dialog);
    JsonObject control;
    control.Number("id", static_cast<int>(object->id))
        .Text("class", object->className)
        .Text("text", ControlText(*object, widget))
        .Bool("visible", ControlShown(window))
        .Bool("enabled", ControlEnabled(window))
        .Bool("focused", !MessageBoxOnScreen() && HasFocusWithin(window));
    QRect rect;
    if (widget && area) {
        QPoint origin = area->isAncestorOf(widget)
                            ? widget->mapTo(area, QPoint(0, 0))
                            : widget->mapToGlobal(QPoint(0, 0)) - area->mapToGlobal(QPoint(0, 0));
        rect = QRect(origin - area->contentsRect().topLeft(), widget->size());
    }
    control.Raw("rect", JsonArray()
                            .Number(rect.x())
                            .Number(rect.y())
                            .Number(rect.width())
                            .Number(rect.height())
                            .Json());
    if (IsListView(window)) {
        ListViewView list = ReadListView(window);
        control.Raw("columns", ColumnsJson(list)).Raw("rows", RowsJson(list));
        return control.Json();
    }
    AddListFields(&control, widget);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (button->isCheckable())
            control.Bool("checked", button->isChecked());
        if (auto* push = qobject_cast<QPushButton*>(widget))
            control.Bool("default", push->isDefault());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        // The limit the program set: Qt's own length grows to hold a longer text the program
        // put in. A widget that is no edit control of the platform answers 0.
        LRESULT limit = SendMessageW(window, EM_GETLIMITTEXT, 0, 0);
        control.Number("limit", limit > 0 ? static_cast<int>(limit) : edit->maxLength());
        int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        control.Raw("selection",
                    JsonArray().Number(start).Number(start + edit->selectionLength()).Json());
    }
    return control.Json();
}
} // namespace

std::string MenuBarJson(const std::vector<MenuBarEntryView>& entries)
{
    JsonArray bar;
    for (const MenuBarEntryView& entry : entries) {
        JsonObject item;
        switch (entry.kind) {
        case MenuBarEntryKind::Separator: bar.Raw(item.Text("kind", "separator").Json()); continue;
        case MenuBarEntryKind::Text: item.Text("kind", "text"); break;
        case MenuBarEntryKind::DropDown: item.Text("kind", "dropdown"); break;
        case MenuBarEntryKind::Picture: item.Text("kind", "picture"); break;
        }
        item.Number("command", entry.command);
        if (entry.kind == MenuBarEntryKind::Picture)
            item.Raw("image", PictureJson(entry.image));
        else
            item.Text("text", entry.text);
        if (entry.kind != MenuBarEntryKind::DropDown && !entry.tooltip.empty())
            item.Text("tooltip", entry.tooltip);
        item.Text("state", StateName(entry.state));
        bar.Raw(item.Json());
    }
    return bar.Json();
}

std::string MenusJson(const std::vector<MenuBarMenuView>& menus)
{
    JsonObject all;
    for (const MenuBarMenuView& menu : menus) {
        JsonArray items;
        for (const MenuItemView& item : menu.items) {
            if (item.separator) {
                items.Raw(JsonObject().Bool("separator", true).Json());
                continue;
            }
            items.Raw(JsonObject()
                          .Number("command", item.command)
                          .Text("text", item.text)
                          .Text("state", item.grayed ? "grayed" : "enabled")
                          .Json());
        }
        std::string title = Utf8Of(menu.title);
        all.Raw(title.c_str(), items.Json());
    }
    return all.Json();
}

std::string ListJson(const ListViewView& list)
{
    JsonObject json;
    json.Raw("columns", ColumnsJson(list)).Raw("rows", RowsJson(list));
    if (list.firstVisible < 0 || list.lastVisible < 0)
        json.Null("visible");
    else
        json.Raw("visible", JsonArray().Number(list.firstVisible).Number(list.lastVisible).Json());
    return json.Json();
}

std::string ControlsJson(HWND dialog)
{
    JsonArray controls;
    for (HWND child : ChildWindows(dialog)) {
        if (WindowFromHandle(child))
            controls.Raw(ControlJson(dialog, child));
    }
    return controls.Json();
}

std::string StateEvent()
{
    JsonObject state;
    state.Text("event", "state");
    SIZE screen = ScreenSize();
    state.Raw("screen", JsonObject().Number("width", screen.cx).Number("height", screen.cy).Json());
    state.Bool("sip", InputPanelUp());
    state.Text("cursor", WaitCursorShown() ? "wait" : "normal");
    state.Text("title", NavigationBarTitle());

    JsonArray dialogs;
    for (const OpenDialog& dialog : OpenDialogs())
        dialogs.Number(dialog.templateId);
    state.Raw("dialogs", dialogs.Json());

    const RecordedMessageBox* box = MessageBoxOnScreen();
    state.Raw("messagebox", box ? MessageBoxJson(*box) : "null");

    HWND focus = box ? nullptr : GetFocus();
    WindowObject* focused = WindowFromHandle(focus);
    if (focused && focused->parent)
        state.Number("focus", static_cast<int>(focused->id));
    else
        state.Null("focus");

    HWND bar = ActiveMenuBar();
    state.Raw("menubar", MenuBarJson(bar ? ReadMenuBar(bar) : std::vector<MenuBarEntryView>()));
    state.Raw("menus", MenusJson(bar ? ReadMenuBarMenus(bar) : std::vector<MenuBarMenuView>()));

    HWND main = ProgramMainWindow();
    HWND list = main ? ListViewChild(main) : nullptr;
    state.Raw("list", list ? ListJson(ReadListView(list)) : "null");

    HWND dialog = InnermostDialog();
    state.Raw("controls", dialog ? ControlsJson(dialog) : "[]");
    return state.Json();
}
