// The actions of the script's verbs. An action takes one step each time the program waits for
// input; most have one step, some a few (open a drop-down, then tap its entry).
#pragma once

#include "device/script/script.h"
#include "platform/windows.h"

#include <memory>
#include <string>

enum class StepResult { Done, More, Failed };

class ScriptAction
{
  public:
    virtual ~ScriptAction() = default;
    // Takes the next step; Failed with a plain reason when it cannot be done as asked.
    virtual StepResult Step(std::string* reason) = 0;
    // True once the action gives its last input. The program may take that input into a modal
    // loop of its own (a message box, a dialog), in which the next line is played while this
    // step has not returned yet.
    bool Finishing() const { return finishing_; }

  protected:
    void LastStep() { finishing_ = true; }

  private:
    bool finishing_ = false;
};

// Prints an event (the `state` verb's).
typedef void (*EVENTPRINTER)(const std::string& json);

// The action of a line that ParseScript accepted.
std::shared_ptr<ScriptAction> MakeScriptAction(const ScriptLine& line, EVENTPRINTER print);

// The actions on controls (script_controls.cpp, script_pick.cpp, script_date.cpp).
std::shared_ptr<ScriptAction> MakeClickAction(const ScriptLine& line);
std::shared_ptr<ScriptAction> MakeTypeAction(const ScriptLine& line);
std::shared_ptr<ScriptAction> MakePickAction(const ScriptLine& line);
std::shared_ptr<ScriptAction> MakeDateAction(const ScriptLine& line);

// Shared by the actions on controls: false with a reason while a message box is up (its
// shield keeps taps from the windows below); the control `id` of the active window when a
// person could work it now.
bool NoMessageBoxUp(std::string* reason);
HWND ReachableControl(int id, std::string* reason);
