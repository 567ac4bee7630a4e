#include "tests/reliability/soak_process.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
typedef std::chrono::steady_clock Clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The campaign's environment with the children's folders and the offscreen screen; no display
// of the desktop is ever reached.
std::vector<std::string> ChildEnvironment(const ChildSetting& setting)
{
    const char* replaced[] = {
        "QT_QPA_PLATFORM=", "XDG_RUNTIME_DIR=", "XDG_DATA_HOME=", "DISPLAY=", "WAYLAND_DISPLAY="};
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        bool keep = true;
        for (const char* prefix : replaced)
            keep = keep && std::strncmp(*entry, prefix, std::strlen(prefix)) != 0;
        if (keep)
            env.emplace_back(*entry);
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("XDG_RUNTIME_DIR=" + setting.runtimeFolder);
    env.push_back("XDG_DATA_HOME=" + setting.dataFolder);
    return env;
}

struct Child {
    pid_t pid = -1;
    int out = -1; // read ends
    int err = -1;
};

// Forks and runs `program`; standard input from `inputFile` (or /dev/null when empty).
Child Start(const ChildSetting& setting, const std::string& program,
            const std::vector<std::string>& args, const std::string& inputFile)
{
    std::vector<std::string> env = ChildEnvironment(setting);
    std::vector<char*> envp, argv;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = program;
    argv.push_back(path.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2], err[2];
    Child child;
    if (pipe2(out, O_CLOEXEC) != 0)
        return child;
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return child;
    }
    int input = open(inputFile.empty() ? "/dev/null" : inputFile.c_str(), O_RDONLY | O_CLOEXEC);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(input, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        execve(path.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(input);
    close(out[1]);
    close(err[1]);
    child.pid = pid;
    child.out = out[0];
    child.err = err[0];
    if (pid < 0) {
        close(out[0]);
        close(err[0]);
        child.out = child.err = -1;
    }
    return child;
}

// Reads what is there; false at the end of the stream.
bool Drain(int fd, std::string* into)
{
    char buffer[65536];
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
        into->append(buffer, static_cast<size_t>(n));
        return true;
    }
    return n < 0 && (errno == EINTR || errno == EAGAIN);
}

bool IsStateLine(const std::string& line)
{
    return line.rfind("{\"event\":\"state\"", 0) == 0;
}

int WaitFor(pid_t pid, bool* signalled)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    *signalled = WIFSIGNALED(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

ProgramRun RunProgram(const ChildSetting& setting, const std::string& program,
                      const std::vector<std::string>& args, const std::string& scriptFile,
                      const KillPlan& plan, double limitMs)
{
    ProgramRun run;
    Clock::time_point start = Clock::now();
    Child child = Start(setting, program, args, scriptFile);
    if (child.pid < 0) {
        run.errors = "the program could not be started";
        return run;
    }
    double killAt = plan.triggerState < 0 ? plan.delayMs : -1;
    int statesSeen = 0;
    bool outOpen = true, errOpen = true, killSent = false;
    std::string pending;
    while (outOpen || errOpen) {
        double waitMs = 1000;
        if (!killSent) {
            double now = MsSince(start);
            bool planned = killAt >= 0 && killAt < limitMs;
            double target = planned ? killAt : limitMs;
            if (now >= target) {
                kill(child.pid, SIGKILL);
                killSent = true;
                run.hung = !planned;
            } else {
                waitMs = target - now;
            }
        }
        pollfd fds[2] = {{outOpen ? child.out : -1, POLLIN, 0},
                         {errOpen ? child.err : -1, POLLIN, 0}};
        timespec wait = {static_cast<time_t>(waitMs / 1000),
                         static_cast<long>((waitMs - 1000 * std::floor(waitMs / 1000)) * 1e6)};
        int ready = ppoll(fds, 2, &wait, nullptr);
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[1].revents)
            errOpen = Drain(child.err, &run.errors);
        if (!fds[0].revents)
            continue;
        size_t before = pending.size();
        outOpen = Drain(child.out, &pending);
        double arrived = MsSince(start);
        size_t from = 0;
        for (size_t nl = pending.find('\n', before); nl != std::string::npos;
             nl = pending.find('\n', from)) {
            std::string line = pending.substr(from, nl - from);
            from = nl + 1;
            if (line.empty())
                continue;
            if (IsStateLine(line) && statesSeen++ == plan.triggerState && !killSent)
                killAt = arrived + plan.delayMs;
            run.lines.push_back({arrived, line});
        }
        pending.erase(0, from);
    }
    close(child.out);
    close(child.err);
    bool signalled = false;
    run.exitCode = WaitFor(child.pid, &signalled);
    run.killed = signalled;
    run.endMs = MsSince(start);
    return run;
}

ToolRun RunTool(const ChildSetting& setting, const std::string& tool,
                const std::vector<std::string>& args)
{
    ToolRun run;
    Child child = Start(setting, tool, args, "");
    if (child.pid < 0) {
        run.errors = "the tool could not be started";
        return run;
    }
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        pollfd fds[2] = {{outOpen ? child.out : -1, POLLIN, 0},
                         {errOpen ? child.err : -1, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        if (fds[0].revents)
            outOpen = Drain(child.out, &run.output);
        if (fds[1].revents)
            errOpen = Drain(child.err, &run.errors);
    }
    close(child.out);
    close(child.err);
    bool signalled = false;
    run.exitCode = WaitFor(child.pid, &signalled);
    return run;
}
