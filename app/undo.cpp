// The undo store: copies of the last records deleted one by one, oldest first.
#include "app/app_context.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/record_list_view.h"
#include "model/databases.h"
#include "platform/commctrl.h"
#include "resources/strings.h"

BOOL UndoHasRoomOrUserAgrees()
{
    if (Count(App.UndoBuffer) < UNDO_CAPACITY)
        return TRUE;
    WCHAR question[IDENTITY_TEXT_MAX];
    LoadStringW(App.Instance, IDS_UNDO_FULL, question, IDENTITY_TEXT_MAX);
    return MessageBoxW(nullptr, question, App.Title, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

void KeepDeletedRecord(const RecordNode* record)
{
    if (Count(App.UndoBuffer) >= UNDO_CAPACITY)
        RemoveAt(App.UndoBuffer, First(App.UndoBuffer)->index);
    Append(App.UndoBuffer, record);
    UpdateUndoCommands();
}

BOOL PushDeletedRecord(const RecordNode* record)
{
    if (!UndoHasRoomOrUserAgrees())
        return FALSE;
    KeepDeletedRecord(record);
    return TRUE;
}

void RestoreLastDeleted()
{
    RecordNode* newest = Last(App.UndoBuffer);
    if (newest) {
        ResetRecordNode(App.ScratchRecord);
        CopyRecord(App.ScratchRecord, newest);
        // The restored record is stored anew, under a fresh key of its own.
        App.ScratchRecord->storedOid = NO_STORED_RECORD;
        DWORD key;
        if (AddRecord(App.ScratchRecord, &key)) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            App.ScratchRecord->recordKey = key;
            Append(App.MainRecordList, App.ScratchRecord);
            AppendRecordRow(App.RecordListView, App.ScratchRecord);
            UpdateRecordCommands(App.RecordListView);
            RemoveAt(App.UndoBuffer, Last(App.UndoBuffer)->index);
            SetCursor(nullptr);
            SetFocus(App.RecordListView);
            SelectRow(App.RecordListView, RowCount(App.RecordListView) - 1);
        }
    }
    UpdateUndoCommands();
}

void UpdateUndoCommands()
{
    bool any = First(App.UndoBuffer) != nullptr;
    SendMessageW(App.MenuBar, TB_SETSTATE, IDB_UNDO_DELETING,
                 MAKELONG(any ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE, 0));
    UINT state = MF_BYCOMMAND | (any ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(App.TimeMenu, IDM_UNDO_DELETING, state);
    EnableMenuItem(App.ToolsMenu, IDM_EMPTY_UNDO, state);
}
