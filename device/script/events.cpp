#include "device/script/events.h"

#include "device/script/json.h"
#include "device/script/script.h"
#include "platform/process/process_record.h"
#include "platform/recorder.h"
#include "platform/sound/sound_record.h"

#include <iostream>

namespace
{
std::ostream*& Output()
{
    static std::ostream* out = &std::cout;
    return out;
}

std::string Name(const char* name)
{
    return JsonString(std::string(name));
}

JsonObject Event(const char* name)
{
    JsonObject event;
    event.Text("event", std::string(name));
    return event;
}
} // namespace

void SetScriptOutput(std::ostream* out)
{
    Output() = out ? out : &std::cout;
}

void WriteEvent(const std::string& json)
{
    std::ostream& out = *Output();
    out << json << '\n';
    out.flush();
}

std::string IconJson(UINT type)
{
    switch (type & MB_ICONMASK) {
    case 0: return Name("none");
    case MB_ICONHAND: return Name("stop");
    case MB_ICONQUESTION: return Name("question");
    case MB_ICONEXCLAMATION: return Name("exclamation");
    case MB_ICONASTERISK: return Name("information");
    default: return std::to_string(type & MB_ICONMASK);
    }
}

std::string ButtonsJson(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK: return Name("ok");
    case MB_OKCANCEL: return Name("okcancel");
    case MB_ABORTRETRYIGNORE: return Name("abortretryignore");
    case MB_YESNOCANCEL: return Name("yesnocancel");
    case MB_YESNO: return Name("yesno");
    case MB_RETRYCANCEL: return Name("retrycancel");
    default: return std::to_string(type & MB_TYPEMASK);
    }
}

std::string BeepJson(UINT type)
{
    switch (type) {
    case MB_OK: return Name("ok");
    case MB_ICONHAND: return Name("stop");
    case MB_ICONQUESTION: return Name("question");
    case MB_ICONEXCLAMATION: return Name("exclamation");
    case MB_ICONASTERISK: return Name("information");
    case 0xFFFFFFFF: return Name("simple");
    default: return std::to_string(type);
    }
}

std::string MessageBoxJson(const RecordedMessageBox& box)
{
    return JsonObject()
        .Text("text", box.text)
        .Text("caption", box.caption)
        .Raw("icon", IconJson(box.type))
        .Raw("buttons", ButtonsJson(box.type))
        .Json();
}

std::string MessageBoxEvent(const RecordedMessageBox& box)
{
    return Event("messagebox")
        .Text("text", box.text)
        .Text("caption", box.caption)
        .Raw("icon", IconJson(box.type))
        .Raw("buttons", ButtonsJson(box.type))
        .Json();
}

std::string BeepEvent(UINT type)
{
    return Event("beep").Raw("type", BeepJson(type)).Json();
}

std::string SoundEvent(const PlayedSound& sound)
{
    return Event("sound")
        .Text("name", sound.name)
        .Number("bytes", static_cast<long long>(sound.bytes))
        .Json();
}

std::string ProcessEvent(const StartedProcess& process)
{
    return Event("process").Text("program", process.program).Text("args", process.args).Json();
}

std::string ErrorEvent(int line, const std::string& text)
{
    return Event("error").Number("line", line).Text("text", text).Json();
}

std::string ExitEvent(int code)
{
    return Event("exit").Number("code", code).Json();
}
