// CreateProcessW: the device's one other program, the help viewer.
#include "platform/device.h"
#include "platform/process/help_viewer.h"
#include "platform/process/process_record.h"
#include "platform/winbase.h"

namespace
{
struct Processes {
    std::vector<StartedProcess> started;
    PROCESSHOOK hook = nullptr;
    DWORD nextId = 0x100;
};

Processes& P()
{
    static Processes processes;
    return processes;
}

bool IsSpace(char16_t c)
{
    return c == u' ' || c == u'\t';
}

std::u16string Trimmed(std::u16string text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.erase(text.begin());
    while (!text.empty() && IsSpace(text.back()))
        text.pop_back();
    return text;
}

// A command line's first word, quoted or up to white space, and the rest.
void SplitCommandLine(const std::u16string& line, std::u16string* program, std::u16string* rest)
{
    std::u16string text = Trimmed(line);
    size_t end;
    if (!text.empty() && text.front() == u'"') {
        end = text.find(u'"', 1);
        *program = text.substr(1, end == std::u16string::npos ? std::u16string::npos : end - 1);
        end = end == std::u16string::npos ? text.size() : end + 1;
    } else {
        end = 0;
        while (end < text.size() && !IsSpace(text[end]))
            ++end;
        *program = text.substr(0, end);
    }
    *rest = Trimmed(text.substr(end));
}

std::u16string Lower(std::u16string text)
{
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
    }
    return text;
}

// The help viewer, by its name alone or in the folder where the handheld keeps it.
bool IsHelpViewer(const std::u16string& program)
{
    std::u16string name = Lower(Trimmed(program));
    return name == u"peghelp.exe" || name == u"peghelp" || name == u"\\windows\\peghelp.exe" ||
           name == u"\\windows\\peghelp";
}

std::u16string Unquoted(std::u16string text)
{
    text = Trimmed(text);
    if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"')
        text = text.substr(1, text.size() - 2);
    return text;
}

void Record(const StartedProcess& process)
{
    P().started.push_back(process);
    if (P().hook)
        P().hook(process);
}
} // namespace

void SetProcessHook(PROCESSHOOK hook)
{
    P().hook = hook;
}

std::vector<StartedProcess>& RecordedProcesses()
{
    return P().started;
}

BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                    LPPROCESS_INFORMATION process)
{
    std::u16string program;
    std::u16string args = commandLine ? commandLine : u"";
    if (application) {
        program = application;
    } else {
        std::u16string line = args;
        SplitCommandLine(line, &program, &args);
    }
    if (program.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!IsHelpViewer(program)) {
        Record(StartedProcess{program, args, false});
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::u16string file = Unquoted(args);
    OpenHelpViewer(file, file.empty() ? std::string() : DeviceFilesPath(file.c_str()));
    if (process)
        *process = PROCESS_INFORMATION{nullptr, nullptr, P().nextId++, P().nextId++};
    Record(StartedProcess{program, args, true});
    return TRUE;
}
