#include "app/startup.h"

#include "app/app_context.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "model/databases.h"
#include "platform/commctrl.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "resources/strings.h"

namespace
{
LPWSTR LoadIdentityText(UINT id)
{
    auto* text = static_cast<LPWSTR>(LocalAlloc(LPTR, IDENTITY_TEXT_MAX * sizeof(WCHAR)));
    if (text)
        LoadStringW(App.Instance, id, text, IDENTITY_TEXT_MAX);
    return text;
}

void ReportCannotContinue()
{
    WCHAR text[IDENTITY_TEXT_MAX] = {};
    LoadStringW(App.Instance, IDS_CANNOT_CONTINUE, text, IDENTITY_TEXT_MAX);
    MessageBoxW(nullptr, text, App.Title, MB_OK | MB_ICONHAND);
    SetCursor(nullptr);
}
} // namespace

bool UseWideLayout()
{
    if (!App.Screen)
        return true;
    App.Screen->width = GetSystemMetrics(SM_CXSCREEN);
    App.Screen->height = GetSystemMetrics(SM_CYSCREEN);
    return !(App.Screen->width == 240 && App.Screen->height == 320);
}

ATOM DefineMainClass(HINSTANCE instance)
{
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ZENTALLY));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = App.ClassName;
    return RegisterClassW(&windowClass);
}

BOOL StartInstance(HINSTANCE instance, int showCommand)
{
    App.Instance = instance;
    App.ClassName = LoadIdentityText(IDS_CLASS_NAME);
    App.Title = LoadIdentityText(IDS_APP_TITLE);
    App.MakerName = LoadIdentityText(IDS_MAKER_NAME);
    // Without any of its names the program cannot tell its window or its settings apart.
    if (!App.ClassName || !App.Title || !App.MakerName)
        return FALSE;
    HWND running = FindWindowW(App.ClassName, App.Title);
    if (running) {
        SetForegroundWindow(running);
        return FALSE;
    }
    if (!DefineMainClass(instance))
        return FALSE;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    if (!OpenDatabases()) {
        ReportCannotContinue();
        return FALSE;
    }
    SetCursor(nullptr);
    HWND window = CreateWindowExW(0, App.ClassName, App.Title, WS_VISIBLE, 0, 0, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window)
        return FALSE;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    SetForegroundWindow(window);
    return TRUE;
}

int MessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

int ZentallyMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
{
    if (!StartInstance(instance, showCommand))
        return 0;
    return MessageLoop();
}

void Shutdown()
{
    DropEmptyRecordsDatabase();
    if (App.CategoriesChanged)
        SaveCategories();
    if (App.Databases.categories && App.Databases.categories != INVALID_HANDLE_VALUE)
        CloseHandle(App.Databases.categories);
    App.Databases.categories = 0;
    if (App.Settings) {
        App.Settings->Sort = App.Sort;
        App.Settings->SortOrder = App.SortOrder;
        SaveSettings(App.Settings);
    }
    DestroyAppSettingsObject();
    if (App.ListImages)
        ImageList_Destroy(App.ListImages);
    App.ListImages = nullptr;
    DestroyAppObjects();
}
