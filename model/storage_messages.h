// How the storage operations tell the user of a failure: a message box with no owner, the
// program's title as caption, a text of the string table alone or followed by the database's
// name, and only an OK button. The wait cursor is removed first where the caller asks.
#pragma once

#include "platform/winuser.h"

// Message texts are loaded into buffers of this many characters.
#define MESSAGE_TEXT_MAX 350

enum class Cursor { Keep, Remove };
enum class Beep { None, Default };

// Shows text `textId`, followed by a blank and `databaseName` when one is given.
void ShowStorageMessage(UINT textId, LPCWSTR databaseName, UINT icon, Cursor cursor, Beep beep);
