#include "model/storage_messages.h"

#include "app/app_context.h"
#include "platform/text.h"
#include "platform/winuser.h"

void ShowStorageMessage(UINT textId, LPCWSTR databaseName, UINT icon, Cursor cursor, Beep beep)
{
    WCHAR text[MESSAGE_TEXT_MAX];
    LoadStringW(App.Instance, textId, text, MESSAGE_TEXT_MAX);
    WCHAR message[MESSAGE_TEXT_MAX];
    if (databaseName)
        wsprintfW(message, u"%s %s", text, databaseName);
    else
        wsprintfW(message, u"%s", text);
    if (cursor == Cursor::Remove)
        SetCursor(nullptr);
    if (beep == Beep::Default)
        MessageBeep(MB_OK);
    MessageBoxW(nullptr, message, App.Title, MB_OK | icon);
}
