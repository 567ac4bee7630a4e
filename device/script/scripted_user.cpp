// The scripted user's run: the lines in order, one step at each idle round, the events of what
// the program shows and plays, and the end of the run.
#include "device/script/scripted_user.h"

#include "device/script/events.h"
#include "device/script/input.h"
#include "device/script/verbs.h"
#include "platform/process/process_record.h"
#include "platform/recorder.h"
#include "platform/sound/sound_record.h"
#include "platform/window/window_object.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

namespace
{
// The program's WM_CLOSE_PROGRAM: closes it as Exit does.
const UINT closeProgram = 1023;
// Idle rounds a program asked to close may take before it is taken as not closing. Closing
// runs on posted messages, which come before idle rounds, so one round would do.
const int closeRounds = 10;

enum class Phase {
    Ended,   // not started, or over
    Playing, // the lines are being played
    Closing, // the script ended and the program was asked to close
    Failing, // a line failed and the program was asked to close
};

// What is modal on the screen: an action of several steps goes on only while it stays so.
struct ModalMark {
    const RecordedMessageBox* box;
    HWND dialog;
    size_t dialogs;
    bool operator==(const ModalMark&) const = default;
};

void EndProcess(int code)
{
    std::cout.flush();
    std::fflush(stdout);
    std::_Exit(code);
}

struct Runner {
    std::vector<ScriptLine> lines;
    size_t next = 0;
    int endLine = 1;
    Phase phase = Phase::Ended;
    bool failed = false;
    bool exitPrinted = false;
    size_t beepsSeen = 0;
    int waitingRounds = 0;
    std::shared_ptr<ScriptAction> current;
    int currentLine = 0;
    ModalMark mark{};
    std::set<const ScriptAction*> stepping; // actions whose Step has not returned yet
    SCRIPTENDER ender = EndProcess;
};

Runner& R()
{
    static Runner runner;
    return runner;
}

ModalMark MarkNow()
{
    std::vector<OpenDialog> dialogs = OpenDialogs();
    return ModalMark{MessageBoxOnScreen(), dialogs.empty() ? nullptr : dialogs.back().window,
                     dialogs.size()};
}

bool ModalOpen()
{
    return MessageBoxOnScreen() || !OpenDialogs().empty();
}

// What holds the program in a modal loop, for the reasons of errors.
std::string ModalName()
{
    if (const RecordedMessageBox* box = MessageBoxOnScreen()) {
        std::string text = Utf8Of(box->text);
        if (text.size() > 60)
            text = text.substr(0, 57) + "...";
        return "a message box (\"" + text + "\")";
    }
    std::vector<OpenDialog> dialogs = OpenDialogs();
    if (!dialogs.empty())
        return "dialog " + std::to_string(dialogs.back().templateId);
    return "a loop of its own";
}

void PollBeeps()
{
    Runner& r = R();
    const std::vector<UINT>& beeps = RecordedBeeps();
    if (beeps.size() < r.beepsSeen)
        r.beepsSeen = 0; // the recordings were cleared
    while (r.beepsSeen < beeps.size())
        WriteEvent(BeepEvent(beeps[r.beepsSeen++]));
}

// Every event goes out after the beeps that came before it.
void Print(const std::string& json)
{
    PollBeeps();
    WriteEvent(json);
}

void EndNow(int code)
{
    Runner& r = R();
    r.phase = Phase::Ended;
    r.current.reset();
    PollBeeps();
    if (!r.exitPrinted) {
        r.exitPrinted = true;
        WriteEvent(ExitEvent(code));
    }
    r.ender(code);
}

void Fail(int line, const std::string& reason)
{
    Runner& r = R();
    Print(ErrorEvent(line, reason));
    r.failed = true;
    r.current.reset();
    if (ModalOpen() || r.phase != Phase::Playing) {
        EndNow(2);
        return;
    }
    r.phase = Phase::Failing;
    r.waitingRounds = 0;
    HWND main = ProgramMainWindow();
    if (!main || !PostMessageW(main, closeProgram, 0, 0))
        PostQuitMessage(2);
}

void EndOfScript()
{
    Runner& r = R();
    if (ModalOpen()) {
        Fail(r.endLine, "the script ended with " + ModalName() + " still open");
        return;
    }
    HWND main = ProgramMainWindow();
    if (!main) {
        Fail(r.endLine, "the script ended and the program has no main window to close");
        return;
    }
    r.phase = Phase::Closing;
    r.waitingRounds = 0;
    PostMessageW(main, closeProgram, 0, 0);
}

void Run(const std::shared_ptr<ScriptAction>& action)
{
    Runner& r = R();
    std::string reason;
    r.stepping.insert(action.get());
    StepResult result = action->Step(&reason);
    r.stepping.erase(action.get());
    // A round nested in the program's handling of the last input has moved on already.
    if (r.current != action || r.phase != Phase::Playing)
        return;
    if (result == StepResult::Failed)
        Fail(r.currentLine, reason);
    else if (result == StepResult::Done || action->Finishing())
        r.current.reset();
}

void Play()
{
    Runner& r = R();
    if (std::shared_ptr<ScriptAction> action = r.current) {
        if (r.stepping.count(action.get())) {
            // A round inside the program's handling of an input of the current action.
            if (!action->Finishing()) {
                Fail(r.currentLine,
                     "the program opened " + ModalName() + " before this line was done");
                return;
            }
            r.current.reset();
        } else {
            if (!(MarkNow() == r.mark)) {
                Fail(r.currentLine,
                     "the program opened " + ModalName() + " before this line was done");
                return;
            }
            Run(action);
            return;
        }
    }
    if (r.next >= r.lines.size()) {
        EndOfScript();
        return;
    }
    const ScriptLine& line = r.lines[r.next++];
    r.currentLine = line.number;
    r.current = MakeScriptAction(line, Print);
    r.mark = MarkNow();
    Run(r.current);
}

// A round after the program was asked to close: it should be closing, in posted messages.
void WaitForClose()
{
    Runner& r = R();
    if (ModalOpen()) {
        if (r.phase == Phase::Closing)
            Fail(r.endLine, "the program showed " + ModalName() + " while closing");
        else
            EndNow(2);
        return;
    }
    if (++r.waitingRounds <= closeRounds)
        return;
    if (r.phase == Phase::Closing)
        Fail(r.endLine, "the program did not close on message 1023");
    else
        EndNow(2);
}

void Idle()
{
    PollBeeps();
    switch (R().phase) {
    case Phase::Playing: Play(); return;
    case Phase::Closing:
    case Phase::Failing: WaitForClose(); return;
    case Phase::Ended: return;
    }
}

void OnMessageBox(const RecordedMessageBox& box)
{
    Print(MessageBoxEvent(box));
}

void OnSound(const PlayedSound& sound)
{
    Print(SoundEvent(sound));
}

void OnProcess(const StartedProcess& process)
{
    Print(ProcessEvent(process));
}
} // namespace

void StartScriptedUser(std::vector<ScriptLine> lines)
{
    int last = lines.empty() ? 1 : lines.back().number;
    StartScriptedUser(std::move(lines), last);
}

void StartScriptedUser(std::vector<ScriptLine> lines, int lineCount)
{
    Runner& r = R();
    SCRIPTENDER ender = r.ender;
    r = Runner();
    r.ender = ender;
    r.lines = std::move(lines);
    r.endLine = lineCount > 0 ? lineCount : 1;
    r.beepsSeen = RecordedBeeps().size();
    r.phase = Phase::Playing;
    SetAudioOutputEnabled(false);
    SetMessageBoxHook(OnMessageBox);
    SetSoundHook(OnSound);
    SetProcessHook(OnProcess);
    SetIdleHandler(Idle);
    KeepScreenActive(true);
}

int FinishScriptedUser(int programCode)
{
    Runner& r = R();
    SetIdleHandler(nullptr);
    KeepScreenActive(false);
    SetMessageBoxHook(nullptr);
    SetSoundHook(nullptr);
    SetProcessHook(nullptr);
    PollBeeps();
    int code = r.failed ? 2 : programCode;
    if (!r.exitPrinted) {
        r.exitPrinted = true;
        WriteEvent(ExitEvent(code));
    }
    r.phase = Phase::Ended;
    r.current.reset();
    return code;
}

bool ScriptFailed()
{
    return R().failed;
}

bool LoadScript(const std::string& file, std::vector<ScriptLine>* lines, int* lineCount,
                int* badLine, std::string* reason)
{
    std::ostringstream text;
    if (file == "-") {
        text << std::cin.rdbuf();
        if (std::cin.bad()) {
            *badLine = 0;
            *reason = "the script cannot be read from standard input";
            return false;
        }
    } else {
        std::error_code error;
        if (std::filesystem::is_directory(file, error)) {
            *badLine = 0;
            *reason = "the script " + file + " is a folder, not a file";
            return false;
        }
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            *badLine = 0;
            *reason = "the script " + file + " cannot be read: " + std::strerror(errno);
            return false;
        }
        text << in.rdbuf();
        if (in.bad()) {
            *badLine = 0;
            *reason = "the script " + file + " cannot be read";
            return false;
        }
    }
    int count = 0;
    bool parsed = ParseScript(text.str(), lines, badLine, reason, &count);
    if (lineCount)
        *lineCount = count;
    return parsed;
}

int RefuseScript(int line, const std::string& reason)
{
    WriteEvent(ErrorEvent(line, reason));
    WriteEvent(ExitEvent(2));
    return 2;
}

void SetScriptEnder(SCRIPTENDER ender)
{
    R().ender = ender ? ender : EndProcess;
}
