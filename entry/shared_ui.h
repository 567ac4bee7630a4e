// What several dialogs share: the header font and the soft input panel.
#pragma once

#include "platform/gdi.h"

// A font of `points` at the device's vertical resolution (a negative height asks for the
// character height), with the weight and italic flag given. The caller deletes it after use.
HFONT CreateDialogFont(HDC dc, LPCWSTR face, int points, LONG weight, BOOL italic);

// Lower and raise the soft input panel.
void HideInputPanel();
void ShowInputPanel();
