// The process-wide state block: every list, scratch record, setting, handle and run-time value
// that the parts of the program share, owned for the whole run.
#pragma once

#include "entry/settings.h"
#include "model/category_list.h"
#include "model/databases.h"
#include "model/record_list.h"
#include "platform/commctrl.h"
#include "platform/systime.h"

// The screen's size as last read, and whether it calls for the wide layouts.
struct ScreenMetrics {
    INT width;
    INT height;
};

struct DateRange {
    SYSTEMTIME start;
    SYSTEMTIME end;
};

// Buffers of the identity strings hold this many characters.
#define IDENTITY_TEXT_MAX 350

struct AppContext {
    // Identity, loaded from the string table at start.
    LPWSTR Title;
    LPWSTR ClassName;
    LPWSTR MakerName;
    HINSTANCE Instance;

    // Created before start-up, in this order, and destroyed by Shutdown in the same order.
    AppSettings* Settings;
    ScreenMetrics* Screen;
    RecordNode* ScratchRecord;
    RecordList* MainRecordList;
    RecordList* SortScratchRecords;
    RecordList* UndoBuffer;
    RecordList* RangeMatches;
    CategoryList* MainCategoryList;
    CategoryList* SortScratchCategories;
    RecordNode* RangeStartRecord;
    RecordNode* RangeEndRecord;

    // Windows.
    HWND MainWindow;
    HWND RecordListView;
    HIMAGELIST ListImages;
    HWND MenuBar;
    HMENU TimeMenu;
    HMENU ToolsMenu;
    HWND ActiveDialog;

    // Run-time values.
    DWORD Sort;
    DWORD SortOrder;
    BOOL OrderApplied;
    BOOL EditMode;
    BOOL CategoriesChanged;
    BOOL CategoryRecordsChanged;
    INT SavedSelection;
    // How many commands and list notifications of the main window are under way: above 0
    // while one of their dialogs or message boxes is on the screen.
    INT CommandsUnderWay;
    SYSTEMTIME LastEntryDate;
    DateRange SharedDateRange;
    DWORD ReportSortColumn;
    DWORD ReportSortOrder;
    LPWSTR RecordsExportName;
    LPWSTR ReportExportName;

    DatabaseState Databases;
};

extern AppContext App;

// Creates the objects of the state block, each empty, in their order; settings take their
// defaults. A member that cannot be allocated stays absent.
void CreateAppObjects();
// Frees the lists, scratch records and settings in their order, and the identity and export
// names; absent members are skipped. The database handles are not touched.
void DestroyAppObjects();
// Frees the settings object (the first step of freeing the state block at shutdown).
void DestroyAppSettingsObject();
// A node that is initialised and empty, for the scratch records.
RecordNode* NewRecordNode();
