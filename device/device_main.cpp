// zentally: the handheld on the desktop, with the time manager running on it; or, with --script,
// a person's actions played on it without a window.
#include "app/app_context.h"
#include "app/startup.h"
#include "device/device_options.h"
#include "device/screen/screen.h"
#include "device/script/script.h"
#include "device/script/scripted_user.h"
#include "device/single_instance.h"
#include "platform/device.h"
#include "platform/window/window_object.h"
#include "resources/data/resource_data.h"
#include "resources/strings.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageLogContext>
#include <QSocketNotifier>
#include <QString>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace
{
void Fail(const std::string& line)
{
    std::fprintf(stderr, "zentally: %s\n", line.c_str());
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The running program's front: the innermost dialog when one is open, else its main window.
void BringProgramToFront()
{
    RaiseDeviceScreen();
    std::vector<OpenDialog> dialogs = OpenDialogs();
    HWND front = dialogs.empty() ? FindWindowW(u"Zentally", u"Zentally") : dialogs.back().window;
    if (front)
        SetForegroundWindow(front);
}

// Swallows the toolkit's complaints while it tries the display's platforms: when none opens,
// one line of our own says so.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// The toolkit's notices that tell the user nothing: the headless screen cannot raise a window
// or grab the keyboard, which a script's run never needs, and a missing runtime folder, for
// which the toolkit and the single-instance check each take the temporary folder. Everything
// else goes on to the handler before.
QtMessageHandler toolkitHandler = nullptr;

bool IdleNotice(const QString& text)
{
    return text.startsWith(QLatin1String("This plugin does not support")) ||
           text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

void DropIdleNotices(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && IdleNotice(text))
        return;
    if (toolkitHandler)
        toolkitHandler(type, context, text);
}

// Each message ends with what the user can do about it.
const char* const seeHelp = "see zentally --help";
const char* const chooseFolder = "choose another folder with --device DIR";

// A terminal's Ctrl+C, a hang-up or a kill ends the program as its Exit does, so that the settings
// are saved: the signal is written to a pipe, and the loop closes the main window when it reads
// it. With a dialog or a message box open the program cannot close in order; it ends at once,
// having lost nothing that was confirmed, as every confirmed change is already in the store.
int signalPipe[2] = {-1, -1};

void OnSignal(int number)
{
    unsigned char byte = static_cast<unsigned char>(number);
    if (write(signalPipe[1], &byte, 1) != 1)
        _exit(128 + number);
}

void EndOnSignals()
{
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their usual effect
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        unsigned char number = 0;
        if (read(signalPipe[0], &number, 1) != 1)
            return;
        HWND main = FindWindowW(u"Zentally", u"Zentally");
        if (!main || !OpenDialogs().empty() || MessageBoxOnScreen())
            _exit(128 + number);
        PostMessageW(main, WM_CLOSE, 0, 0);
    });
    struct sigaction action {
    };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}

// The device folder's one name, whatever path it was given by: links resolved.
std::string FolderKey()
{
    QString canonical = QFileInfo(QString::fromStdString(DeviceFolder())).canonicalFilePath();
    return canonical.isEmpty() ? DeviceFolder() : canonical.toStdString();
}
} // namespace

int main(int argc, char** argv)
{
    DeviceOptions options;
    std::string reason;
    if (!ParseDeviceOptions(argc, argv, &options, &reason)) {
        Fail(reason.find(seeHelp) == std::string::npos ? reason + "; " + seeHelp : reason);
        return 2;
    }
    if (options.help) {
        std::fputs(DeviceUsage(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(DeviceVersion(), stdout);
        return 0;
    }
    bool scripted = !options.script.empty();

    // The whole script is read before the device starts: a script that cannot be played changes
    // nothing on the device.
    std::vector<ScriptLine> lines;
    int lineCount = 0;
    if (scripted) {
        int badLine = 0;
        if (!LoadScript(options.script, &lines, &lineCount, &badLine, &reason))
            return RefuseScript(badLine, reason);
    }

    DisplayChoice display =
        ChooseDisplay(options, {Environment("DISPLAY"), Environment("WAYLAND_DISPLAY"),
                                Environment("QT_QPA_PLATFORM")});
    if (!display.possible) {
        Fail(display.reason);
        return 1;
    }

    std::string folder =
        options.deviceFolder.empty() ? DefaultDeviceFolder() : options.deviceFolder;
    if (!OpenDeviceFolder(folder, &reason)) {
        Fail(reason + "; " + chooseFolder);
        return 1;
    }
    if (!InstallHelpFile(DeviceFolder() + "/files", &reason)) // the program runs without it
        Fail("the user's guide is not on the device (" + reason + "); Help shows it once " +
             DeviceFolder() + "/files/Windows can be written");

    if (!display.qpaPlatform.empty())
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(display.qpaPlatform));
    if (options.scale > 1 && display.qpaPlatform != "offscreen")
        qputenv("QT_SCALE_FACTOR", QByteArray::number(options.scale));
    // The toolkit gets no arguments of ours to read.
    static int toolkitArgc = 1;
    static char toolkitName[] = "zentally";
    static char* toolkitArgv[] = {toolkitName, nullptr};
    toolkitHandler = qInstallMessageHandler(DropIdleNotices);
    QtMessageHandler loud = display.offscreenIsFallback ? qInstallMessageHandler(Quiet) : nullptr;
    QApplication application(toolkitArgc, toolkitArgv);
    if (display.offscreenIsFallback)
        qInstallMessageHandler(loud);
    if (display.offscreenIsFallback && QGuiApplication::platformName() == "offscreen") {
        Fail("cannot open the desktop display (DISPLAY=" + Environment("DISPLAY") +
             ", WAYLAND_DISPLAY=" + Environment("WAYLAND_DISPLAY") +
             "); play a script headless with --script FILE");
        return 1;
    }

    // Before the socket says the program runs: a signal from then on waits in the pipe until the
    // program's loop takes it, with the main window up.
    EndOnSignals();
    SingleInstance instance(FolderKey());
    switch (instance.Claim(&reason)) {
    case InstanceClaim::Handed:
        // A person's second start ends quietly, the running one in front; a script that was
        // not played must not pass for one that was.
        if (!scripted)
            return 0;
        Fail("zentally already runs on " + DeviceFolder() +
             "; the script was not played: end that program first, or " + chooseFolder);
        return 1;
    case InstanceClaim::Failed:
        Fail(reason + "; going on, but a second start on this folder will not find this one "
                      "(set XDG_RUNTIME_DIR to a folder of your own)");
        break;
    case InstanceClaim::First: instance.SetRaiseHandler(BringProgramToFront); break;
    }

    if (options.clockSet)
        SetDeviceClock(options.clock);
    if (!CreateDeviceScreen(options, &reason)) {
        Fail(reason);
        return 1;
    }
    HINSTANCE module = RegisterResourceModule(&ZentallyResources);
    if (scripted)
        StartScriptedUser(std::move(lines), lineCount); // the audio goes off with it

    // The state block is filled before the program's entry runs, as the process starts.
    CreateAppObjects();
    WCHAR commandLine[1] = {0};
    int code = ZentallyMain(module, nullptr, commandLine, SW_SHOW);
    if (scripted)
        code = FinishScriptedUser(code);

    for (HWND window : AllWindows()) {
        if (IsWindow(window) && !GetParent(window))
            DestroyWindow(window);
    }
    DestroyDeviceScreen();
    CloseDeviceFolder();
    return code;
}
