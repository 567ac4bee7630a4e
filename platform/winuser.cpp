#include "platform/recorder.h"

namespace
{
struct Recorder {
    std::vector<RecordedMessageBox> boxes;
    std::vector<UINT> beeps;
    std::deque<int> answers;
    MESSAGEBOXPRESENTER presenter = nullptr;
    HCURSOR cursor = nullptr;
};

Recorder& State()
{
    static Recorder recorder;
    return recorder;
}

// The system cursors are fixed addresses, so that their handles compare as they do on the
// handheld (two loads of IDC_WAIT give the same handle).
char arrowCursor, waitCursor;

int AnswerFromQueue(const RecordedMessageBox& box)
{
    Recorder& state = State();
    if (!state.answers.empty()) {
        int answer = state.answers.front();
        state.answers.pop_front();
        return answer;
    }
    switch (box.type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}
} // namespace

void SetMessageBoxPresenter(MESSAGEBOXPRESENTER presenter)
{
    State().presenter = presenter;
}

std::vector<RecordedMessageBox>& RecordedMessageBoxes()
{
    return State().boxes;
}
std::vector<UINT>& RecordedBeeps()
{
    return State().beeps;
}
void QueueMessageBoxAnswer(int answer)
{
    State().answers.push_back(answer);
}

void ClearRecordings()
{
    Recorder& state = State();
    state.boxes.clear();
    state.beeps.clear();
    state.answers.clear();
    state.cursor = nullptr;
}

bool WaitCursorShown()
{
    return State().cursor == reinterpret_cast<HCURSOR>(&waitCursor);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    RecordedMessageBox box{text ? text : u"", caption ? caption : u"", type, owner == nullptr,
                           WaitCursorShown()};
    Recorder& state = State();
    state.boxes.push_back(box);
    return state.presenter ? state.presenter(box) : AnswerFromQueue(box);
}

BOOL MessageBeep(UINT type)
{
    State().beeps.push_back(type);
    return TRUE;
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name)
{
    if (!instance && name == IDC_ARROW)
        return reinterpret_cast<HCURSOR>(&arrowCursor);
    if (!instance && name == IDC_WAIT)
        return reinterpret_cast<HCURSOR>(&waitCursor);
    SetLastError(ERROR_NOT_FOUND_RESOURCE);
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = State().cursor;
    State().cursor = cursor;
    return previous;
}
