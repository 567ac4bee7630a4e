// How long the program takes from its start to its first wait for input and an orderly exit,
// with 1,000, 10,000 and 100,000 stored records: loading, sorting and filling the list, then
// Shutdown. The real binary runs offscreen, played by a script of one line.
// Then how long one New and one edit take at those numbers: a run doing a batch of them is
// timed against a run that only starts and exits, and the difference is shared out.
// Run: build/bench/startup_bench
#include "bench/stored_records.h"

#include "platform/device.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

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
double Seconds(const std::string& device, const std::string& script)
{
    auto start = std::chrono::steady_clock::now();
    int code = RunProgram(device, script);
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return code == 0 ? spent.count() : -1;
}

constexpr int batch = 20;

// Times `batch` repetitions of `step` (script lines, each ending with a newline) with
// `count` stored records, one repetition per reported iteration.
void TimeSteps(benchmark::State& state, const std::string& step)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string root = MakeStoredRecords(static_cast<int>(state.range(0)));
    CloseDeviceFolder();
    std::string bare = root + "/exit.txt", steps = root + "/steps.txt";
    std::ofstream(bare) << "message 1023\n";
    std::ofstream out(steps);
    for (int i = 0; i < batch; i++)
        out << step;
    out << "message 1023\n";
    out.close();
    for (auto _ : state) {
        double without = Seconds(root + "/device", bare);
        double with = Seconds(root + "/device", steps);
        if (without < 0 || with < 0) {
            state.SkipWithError("the program did not end with code 0");
            break;
        }
        state.SetIterationTime(std::max(0.0, with - without) / batch);
    }
    RemoveStoredRecords(root);
}

// New, ten minutes of Reading, OK: the record is stored, appended, selected and announced.
void NewRecordBench(benchmark::State& state)
{
    TimeSteps(state, "menu 40003\npick 1009 \"10\"\npick 1010 \"Reading\"\nclick 1014\n");
}

// A tap on a record half way down the list, a new duration, OK: the store and the row change.
void EditRecordBench(benchmark::State& state)
{
    TimeSteps(state,
              "row " + std::to_string(state.range(0) / 2) + "\npick 1009 \"20\"\nclick 1014\n");
}
} // namespace

BENCHMARK(StartAndExitBench)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(NewRecordBench)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK(EditRecordBench)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK_MAIN();
