#include "app/main_window.h"

#include "app/app_context.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "app/menu_bar.h"
#include "app/record_list_view.h"
#include "app/startup.h"
#include "entry/record_format.h"
#include "entry/shared_ui.h"
#include "model/databases.h"
#include "model/sorting.h"
#include "platform/commctrl.h"
#include "platform/mmsystem.h"
#include "platform/resources.h"
#include "platform/winbase.h"

namespace
{
// Loads the records into the list in the order the settings ask for; false when a sort failed
// and the window must close. A load that stopped at a damaged record (and said so) keeps the
// records read before it, and they are shown: every row must be the node of its place, or a tap
// would open, and an edit overwrite, a record the list does not show.
bool LoadAndOrderRecords()
{
    if (!LoadRecords() && !First(App.MainRecordList)) {
        UpdateRecordCommands(App.RecordListView);
        return true;
    }
    if (App.SortOrder == 2) {
        SetHeaderImage(App.RecordListView, IMAGE_NO_ORDER);
        if (!SortRecords())
            return false;
    } else if (App.Sort == 0) {
        SetHeaderImage(App.RecordListView, static_cast<int>(App.SortOrder));
        if (!SortRecords())
            return false;
        App.OrderApplied = TRUE;
    }
    FillRecordListView(App.RecordListView);
    return true;
}

LRESULT OnCreate(HWND window)
{
    App.MainWindow = window;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    GetLocalTime(&App.LastEntryDate);
    App.SharedDateRange.start = App.LastEntryDate;
    App.SharedDateRange.end = App.LastEntryDate;
    App.MenuBar = CreateMenuBar(window);
    App.ActiveDialog = nullptr;
    App.OrderApplied = FALSE;
    LoadSettings(App.Settings, App.MakerName, App.Title);
    App.Sort = App.Settings->Sort;
    App.SortOrder = App.Settings->SortOrder;
    App.RecordListView = CreateRecordListView(window, UseWideLayout());
    if (!App.RecordListView)
        return -1;
    if (!LoadAndOrderRecords())
        return -1;
    UpdateUndoCommands();
    if (App.SortOrder != 2)
        App.OrderApplied = TRUE;
    App.EditMode = FALSE;
    App.CategoriesChanged = FALSE;
    return 0;
}

// The main window has nothing to type into, so coming to the front it lowers the panel and passes
// its activation on to the dialog that is open. Losing the front to a dialog it does nothing:
// the dialog has just raised the panel where it wants it.
LRESULT OnActivate(WORD state)
{
    if (state == WA_INACTIVE)
        return 1;
    HideInputPanel();
    if (App.ActiveDialog)
        SendMessageW(App.ActiveDialog, WM_ACTIVATE, 0, 0);
    return 1;
}

LRESULT OnClose(HWND window)
{
    Shutdown();
    DestroyWindow(window);
    return 0;
}

// The screen turned: the list is made again for the new layout. With no command under way it is
// loaded from the store and put in order. A command under way (a record open in Register Time, a
// question on the screen) still works on the records and rows it started from (ScratchRecord, the
// saved selection, the row it will change), so the list is then made again from the records in
// memory, in the same order, with the same row selected.
void RebuildRecordList(HWND window)
{
    int selected = App.RecordListView ? SelectedRow(App.RecordListView) : -1;
    if (App.ListImages)
        ImageList_Destroy(App.ListImages);
    App.ListImages = nullptr;
    if (App.RecordListView)
        DestroyWindow(App.RecordListView);
    App.RecordListView = CreateRecordListView(window, UseWideLayout());
    if (!App.RecordListView)
        return;
    if (App.CommandsUnderWay > 0) {
        FillRecordListView(App.RecordListView);
        if (selected != -1)
            SelectRow(App.RecordListView, selected);
        return;
    }
    if (!LoadAndOrderRecords())
        DestroyWindow(window);
}

LRESULT OnSettingChange(HWND window, WPARAM setting)
{
    if (setting == SPI_SETWORKAREA)
        RebuildRecordList(window);
    return 0;
}

LRESULT OnNotify(HWND window, const NMHDR* notification)
{
    if (notification->idFrom == IDC_RECORD_LIST) {
        ++App.CommandsUnderWay;
        RememberSelection();
        HandleRecordListNotify(window, notification);
        --App.CommandsUnderWay;
    }
    return 0;
}

void NewRecord()
{
    RememberSelection();
    ResetRecordNode(App.ScratchRecord);
    SetRecordDate(App.ScratchRecord, App.LastEntryDate);
    if (RunDialog(IDD_REGISTER_TIME, RegisterTimeDialog) != IDOK_REGISTER_TIME) {
        RestoreSelection();
        return;
    }
    DWORD key;
    if (!AddRecord(App.ScratchRecord, &key))
        return;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    App.ScratchRecord->recordKey = key;
    Append(App.MainRecordList, App.ScratchRecord);
    AppendRecordRow(App.RecordListView, App.ScratchRecord);
    UpdateRecordCommands(App.RecordListView);
    SetCursor(nullptr);
    SetFocus(App.RecordListView);
    SelectRow(App.RecordListView, RowCount(App.RecordListView) - 1);
    PlayResourceSound(SOUND_TIME_ADDED);
}

void EditCategories()
{
    RememberSelection();
    for (bool open = true; open;) {
        switch (RunDialog(IDD_EDIT_CATEGORIES, EditCategoriesDialog)) {
        case IDNEW_CATEGORY:
            RunDialog(IDD_NEW_CATEGORY, NewCategoryDialog);
            App.CategoriesChanged = TRUE;
            break;
        case IDEDIT_CATEGORY:
            RunDialog(IDD_EDIT_CATEGORY, EditCategoryDialog);
            App.CategoriesChanged = TRUE;
            break;
        case IDDELETED_CATEGORY: App.CategoriesChanged = TRUE; break;
        case IDCLOSE_CATEGORIES:
        // A dialog that cannot be shown ends the loop rather than asking for it forever.
        case -1: open = false; break;
        default: break;
        }
    }
    if (App.CategoryRecordsChanged) {
        SortRecords();
        FillRecordListView(App.RecordListView);
        App.CategoryRecordsChanged = FALSE;
    }
    RestoreSelection();
}

void RunPlainDialog(UINT templateId, DLGPROC procedure)
{
    RememberSelection();
    RunDialog(templateId, procedure);
    RestoreSelection();
}

void ViewOptions()
{
    RememberSelection();
    INT_PTR result = RunDialog(IDD_VIEW_OPTIONS, ViewOptionsDialog);
    if (result == IDOK_VIEW_OPTIONS || result == IDOK) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        if (SortRecords())
            FillRecordListView(App.RecordListView);
        SetCursor(nullptr);
    }
    RestoreSelection();
}

void DeleteByRange()
{
    RememberSelection();
    if (RunDialog(IDD_DELETE_BY_RANGE, DeleteByRangeDialog) == IDDELETED_RANGE) {
        SortRecords();
        FillRecordListView(App.RecordListView);
    }
    RestoreSelection();
}

void Help()
{
    RememberSelection();
    WCHAR program[] = u"peghelp.exe";
    WCHAR file[] = u"\\Windows\\zentally.htc";
    PROCESS_INFORMATION process = {};
    CreateProcessW(program, file, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &process);
    RestoreSelection();
}

void EmptyUndo()
{
    if (First(App.UndoBuffer))
        Clear(App.UndoBuffer);
    UpdateUndoCommands();
}

LRESULT RunCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDM_NEW: NewRecord(); break;
    case IDM_EDIT_CATEGORIES:
    case IDB_EDIT_CATEGORIES: EditCategories(); break;
    case IDM_TIME_REPORT:
    case IDB_TIME_REPORT: RunPlainDialog(IDD_TIME_REPORT, TimeReportDialog); break;
    case IDM_UNDO_DELETING:
    case IDB_UNDO_DELETING: RestoreLastDeleted(); break;
    case IDM_EXPORT:
    case IDB_EXPORT: RunPlainDialog(IDD_EXPORT_RECORDS, ExportRecordsDialog); break;
    case IDM_HELP: Help(); break;
    case IDM_ABOUT: RunPlainDialog(IDD_ABOUT, AboutDialog); break;
    case IDM_VIEW_OPTIONS: ViewOptions(); break;
    case IDM_EXIT: PostMessageW(window, WM_CLOSE, 0, 0); break;
    case IDM_DELETE_BY_RANGE: DeleteByRange(); break;
    case IDM_EMPTY_UNDO: EmptyUndo(); break;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
    return 0;
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++App.CommandsUnderWay;
    LRESULT result = RunCommand(window, message, wParam, lParam);
    --App.CommandsUnderWay;
    return result;
}
} // namespace

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_ACTIVATE: return OnActivate(LOWORD(wParam));
    case WM_CLOSE: return OnClose(window);
    case WM_SETTINGCHANGE: return OnSettingChange(window, wParam);
    case WM_NOTIFY: return OnNotify(window, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND: return OnCommand(window, message, wParam, lParam);
    case WM_CLOSE_PROGRAM: PostMessageW(window, WM_CLOSE, 0, 0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RememberSelection()
{
    App.SavedSelection = SelectedRow(App.RecordListView);
}

void RestoreSelection()
{
    SetFocus(App.RecordListView);
    if (App.SavedSelection != -1)
        SelectRow(App.RecordListView, App.SavedSelection);
}

BOOL PlayResourceSound(LPCWSTR name)
{
    HRSRC found = FindResourceW(App.Instance, name, SOUND_TYPE);
    if (!found)
        return FALSE;
    HGLOBAL sound = LoadResource(App.Instance, found);
    if (!sound)
        return FALSE;
    return sndPlaySoundW(static_cast<LPCWSTR>(LockResource(sound)),
                         SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
}
