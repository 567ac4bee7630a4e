// The verbs that act on the screen as a whole: the menu bar, list rows and headers, keys,
// message boxes, turning, messages, the clock, the state and screenshots.
#include "device/script/verbs.h"

#include "device/screen/screen.h"
#include "device/script/input.h"
#include "device/script/state.h"
#include "platform/menubar/menu_bar_access.h"
#include "platform/recorder.h"
#include "platform/systime.h"
#include "platform/window/list_view/list_view_access.h"
#include "platform/window/window_object.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace
{
// An action of one step, which gives its input as it is taken.
class OneStep : public ScriptAction
{
  public:
    explicit OneStep(std::function<bool(std::string*)> act) : act_(std::move(act)) {}
    StepResult Step(std::string* reason) override
    {
        LastStep();
        return act_(reason) ? StepResult::Done : StepResult::Failed;
    }

  private:
    std::function<bool(std::string*)> act_;
};

bool Refuse(std::string* reason, const std::string& text)
{
    *reason = text;
    return false;
}

unsigned long NumberOf(const std::string& text)
{
    unsigned long value = 0;
    ScriptNumber(text, 4294967295UL, &value);
    return value;
}

std::string DialogName(HWND dialog)
{
    for (const OpenDialog& open : OpenDialogs()) {
        if (open.window == dialog)
            return "dialog " + std::to_string(open.templateId);
    }
    return "the window";
}

bool ChooseMenuCommand(UINT command, std::string* reason)
{
    if (!NoMessageBoxUp(reason))
        return false;
    HWND bar = ActiveMenuBar();
    if (!bar)
        return Refuse(reason, "there is no menu bar on the screen");
    // The bar of a window under a modal dialog is out of reach, as the window is disabled.
    HWND dialog = InnermostDialog();
    if (dialog && GetParent(bar) != dialog)
        return Refuse(reason,
                      "the menu bar cannot be reached while " + DialogName(dialog) + " is open");
    return TapMenuBarCommand(bar, command, reason);
}

HWND ActiveListView(std::string* reason)
{
    if (!NoMessageBoxUp(reason))
        return nullptr;
    HWND window = InnermostDialog();
    if (!window)
        window = ProgramMainWindow();
    if (!window) {
        Refuse(reason, "the program has no main window");
        return nullptr;
    }
    HWND list = ListViewChild(window);
    if (!list)
        Refuse(reason, (InnermostDialog() ? DialogName(window) : std::string("the main window")) +
                           " has no list view");
    return list;
}

bool TapRow(int row, std::string* reason)
{
    HWND list = ActiveListView(reason);
    return list && TapListViewRow(list, row, reason);
}

bool TapHeader(int column, std::string* reason)
{
    HWND list = ActiveListView(reason);
    return list && TapListViewHeader(list, column, reason);
}

bool Press(const std::string& name, std::string* reason)
{
    struct Key {
        const char* name;
        int key;
        const char* text;
    };
    static const Key keys[] = {
        {"enter", Qt::Key_Return, "\r"}, {"escape", Qt::Key_Escape, "\x1b"},
        {"tab", Qt::Key_Tab, "\t"},      {"space", Qt::Key_Space, " "},
        {"up", Qt::Key_Up, ""},          {"down", Qt::Key_Down, ""},
    };
    QWidget* target = KeyTarget();
    if (!target)
        return Refuse(reason, "nothing on the screen takes keys");
    for (const Key& key : keys) {
        if (name == key.name) {
            PressKey(target, key.key, QString::fromLatin1(key.text));
            return true;
        }
    }
    return Refuse(reason, "unknown key \"" + name + "\"");
}

bool Answer(const std::string& name, std::string* reason)
{
    struct Button {
        const char* name;
        int answer;
        const char* label;
    };
    static const Button buttons[] = {
        {"yes", IDYES, "Yes"},          {"no", IDNO, "No"},          {"ok", IDOK, "OK"},
        {"cancel", IDCANCEL, "Cancel"}, {"retry", IDRETRY, "Retry"}, {"abort", IDABORT, "Abort"},
        {"ignore", IDIGNORE, "Ignore"},
    };
    if (!MessageBoxOnScreen())
        return Refuse(reason, "no message box is on the screen");
    for (const Button& button : buttons) {
        if (name != button.name)
            continue;
        QWidget* widget = MessageBoxButton(button.answer);
        if (!widget)
            return Refuse(reason,
                          std::string("the message box has no ") + button.label + " button");
        TapWidget(widget, widget->rect().center());
        return true;
    }
    return Refuse(reason, "unknown answer \"" + name + "\"");
}

bool SendToMainWindow(UINT message, std::string* reason)
{
    HWND main = ProgramMainWindow();
    if (!main)
        return Refuse(reason, "the program has no main window");
    if (!PostMessageW(main, message, 0, 0))
        return Refuse(reason, "message " + std::to_string(message) + " could not be sent");
    return true;
}

bool SetClock(const std::string& text, std::string* reason)
{
    ScriptClock clock;
    if (!ScriptClockOf(text, &clock))
        return Refuse(reason, "\"" + text + "\" is not a time of the form YYYY-MM-DDTHH:MM:SS");
    SYSTEMTIME time{};
    time.wYear = WORD(clock.date.year);
    time.wMonth = WORD(clock.date.month);
    time.wDay = WORD(clock.date.day);
    time.wHour = WORD(clock.hour);
    time.wMinute = WORD(clock.minute);
    time.wSecond = WORD(clock.second);
    if (!SetDeviceClock(time))
        return Refuse(reason, "the device clock cannot be set to " + text);
    return true;
}

bool Screenshot(const std::string& file, std::string* reason)
{
    QImage image = GrabScreen();
    if (image.isNull())
        return Refuse(reason, "the screen cannot be grabbed");
    if (!image.save(QString::fromUtf8(file.data(), qsizetype(file.size())), "PNG"))
        return Refuse(reason, "the screenshot cannot be written to " + file);
    return true;
}
} // namespace

bool NoMessageBoxUp(std::string* reason)
{
    if (MessageBoxOnScreen())
        return Refuse(reason, "a message box is on the screen: answer it first");
    return true;
}

HWND ReachableControl(int id, std::string* reason)
{
    if (!NoMessageBoxUp(reason))
        return nullptr;
    HWND window = ActiveWindowForInput();
    if (!window) {
        Refuse(reason, "there is no window on the screen");
        return nullptr;
    }
    HWND control = FindControl(window, id);
    if (!control) {
        Refuse(reason, DialogName(window) + " has no control " + std::to_string(id));
        return nullptr;
    }
    if (!ControlShown(control)) {
        Refuse(reason, ControlName(id) + " is hidden");
        return nullptr;
    }
    if (!ControlEnabled(control)) {
        Refuse(reason, ControlName(id) + " is greyed");
        return nullptr;
    }
    return control;
}

std::shared_ptr<ScriptAction> MakeScriptAction(const ScriptLine& line, EVENTPRINTER print)
{
    const std::string& verb = line.verb;
    std::string first = line.args.empty() ? std::string() : line.args[0];
    auto one = [](std::function<bool(std::string*)> act) {
        return std::make_shared<OneStep>(std::move(act));
    };
    if (verb == "menu")
        return one([first](std::string* r) { return ChooseMenuCommand(NumberOf(first), r); });
    if (verb == "click")
        return MakeClickAction(line);
    if (verb == "pick")
        return MakePickAction(line);
    if (verb == "type")
        return MakeTypeAction(line);
    if (verb == "date")
        return MakeDateAction(line);
    if (verb == "row")
        return one([first](std::string* r) { return TapRow(int(NumberOf(first)), r); });
    if (verb == "header")
        return one([first](std::string* r) { return TapHeader(int(NumberOf(first)), r); });
    if (verb == "key")
        return one([first](std::string* r) { return Press(first, r); });
    if (verb == "answer")
        return one([first](std::string* r) { return Answer(first, r); });
    if (verb == "rotate")
        return one([](std::string*) {
            TurnScreen();
            return true;
        });
    if (verb == "message")
        return one([first](std::string* r) { return SendToMainWindow(NumberOf(first), r); });
    if (verb == "clock")
        return one([first](std::string* r) { return SetClock(first, r); });
    if (verb == "state")
        return one([print](std::string*) {
            print(StateEvent());
            return true;
        });
    if (verb == "screenshot")
        return one([first](std::string* r) { return Screenshot(first, r); });
    return one([verb](std::string* r) { return Refuse(r, "unknown action \"" + verb + "\""); });
}
