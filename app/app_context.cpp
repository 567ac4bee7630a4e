#include "app/app_context.h"

#include "model/owned_text.h"
#include "platform/memory.h"
#include "platform/windows.h"

#include <new>

AppContext App;

RecordNode* NewRecordNode()
{
    return MakeRecordNode();
}

namespace
{
template <typename List> List* NewList()
{
    return new (std::nothrow) List{nullptr};
}

void FreeNode(RecordNode** node)
{
    FreeRecordNode(*node);
    *node = nullptr;
}

template <typename List> void FreeList(List** list)
{
    if (*list) {
        Destroy(*list);
        delete *list;
    }
    *list = nullptr;
}

void FreeIdentity(LPWSTR* text)
{
    if (*text)
        LocalFree(*text);
    *text = nullptr;
}
} // namespace

void CreateAppObjects()
{
    App.Settings = new (std::nothrow) AppSettings;
    if (App.Settings)
        InitAppSettings(App.Settings);
    App.Screen = new (std::nothrow)
        ScreenMetrics{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    App.ScratchRecord = NewRecordNode();
    App.MainRecordList = NewList<RecordList>();
    App.SortScratchRecords = NewList<RecordList>();
    App.UndoBuffer = NewList<RecordList>();
    App.RangeMatches = NewList<RecordList>();
    App.MainCategoryList = NewList<CategoryList>();
    App.SortScratchCategories = NewList<CategoryList>();
    App.RangeStartRecord = NewRecordNode();
    App.RangeEndRecord = NewRecordNode();
    App.SortOrder = 2;
    App.Databases = {};
}

void DestroyAppSettingsObject()
{
    if (App.Settings) {
        DestroyAppSettings(App.Settings);
        delete App.Settings;
        App.Settings = nullptr;
    }
}

void DestroyAppObjects()
{
    DestroyAppSettingsObject();
    delete App.Screen;
    App.Screen = nullptr;
    FreeNode(&App.ScratchRecord);
    FreeList(&App.MainRecordList);
    FreeList(&App.SortScratchRecords);
    FreeList(&App.UndoBuffer);
    FreeList(&App.RangeMatches);
    FreeList(&App.MainCategoryList);
    FreeList(&App.SortScratchCategories);
    FreeNode(&App.RangeStartRecord);
    FreeNode(&App.RangeEndRecord);
    FreeIdentity(&App.Title);
    FreeIdentity(&App.ClassName);
    FreeIdentity(&App.MakerName);
    ReleaseText(&App.RecordsExportName);
    ReleaseText(&App.ReportExportName);
}
