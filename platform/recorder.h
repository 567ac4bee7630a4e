// What the program asked the user to see and hear, for tests and for the device that shows it.
#pragma once

#include "platform/winuser.h"

#include <deque>
#include <string>
#include <vector>

struct RecordedMessageBox {
    std::u16string text;
    std::u16string caption;
    UINT type;
    bool ownerless;
    bool waitCursor; // the wait cursor was showing when the box came up
};

// Shows a message box and returns the button pressed. The device installs one with the screen;
// until then the recorder answers from the queue, and with the first button of the box's kind
// (IDOK, or IDYES for Yes/No) when the queue is empty.
typedef int (*MESSAGEBOXPRESENTER)(const RecordedMessageBox& box);
void SetMessageBoxPresenter(MESSAGEBOXPRESENTER presenter);

std::vector<RecordedMessageBox>& RecordedMessageBoxes();
std::vector<UINT>& RecordedBeeps();
void QueueMessageBoxAnswer(int answer);
// Forgets what was recorded and queued, and removes the cursor.
void ClearRecordings();

// True while the wait cursor is showing.
bool WaitCursorShown();
