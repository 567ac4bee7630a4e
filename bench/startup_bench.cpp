// How long the program takes from its start to its first wait for input and an orderly exit,
// with 1,000, 10,000 and 100,000 stored records: loading, sorting and filling the list, then
// Shutdown. The real binary runs offscreen, played by a script of one line.
// Run: build/bench/startup_bench
#include "bench/stored_records.h"

#include "platform/device.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace
{
int RunProgram(const std::string& device, const std::string& script)
{
    std::string program = ZENTALLY_PROGRAM;
    std::string deviceFlag = "--device", scriptFlag = "--script";
    char* argv[] = {program.data(),
                    deviceFlag.data(),
                    const_cast<char*>(device.c_str()),
                    scriptFlag.data(),
                    const_cast<char*>(script.c_str()),
                    nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0)
        waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void StartAndExitBench(benchmark::State& state)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string root = MakeStoredRecords(static_cast<int>(state.range(0)));
    CloseDeviceFolder();
    std::string script = root + "/exit.txt";
    std::ofstream(script) << "message 1023\n";
    for (auto _ : state) {
        if (RunProgram(root + "/device", script) != 0) {
            state.SkipWithError("the program did not end with code 0");
            break;
        }
    }
    RemoveStoredRecords(root);
}
} // namespace

BENCHMARK(StartAndExitBench)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_MAIN();
