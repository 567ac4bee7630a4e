// How long the program takes from its start to its first wait for input and an orderly exit,
// with 1,000, 10,000 and 100,000 stored records: loading, sorting and filling the list, then
// Shutdown. The real binary runs offscreen, played by a script of one line.
// Then how long one New, one edit, one rename of a category carried into the records and one
// Time Report take:
// a run doing a batch of them is timed against a run that only starts and exits, and the
// difference is shared out.
// Run: build/bench/startup_bench
#include "bench/stored_records.h"

#include "platform/device.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

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

// Times `batch` repetitions of `step` (script lines, each ending with a newline) with
// `count` stored records; `perStep` actions in each repetition. One action per reported
// iteration.
void TimeSteps(benchmark::State& state, const std::string& step, int batch = 20, int perStep = 1)
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
        state.SetIterationTime(std::max(0.0, with - without) / (batch * perStep));
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
// Edit Categories with "Apply Rename and Delete to records" set: every stored record is of
// Reading, so each rename rewrites them all and reloads the list. Renamed there and back.
void RenameCategoryBench(benchmark::State& state)
{
    TimeSteps(state,
              "menu 40019\nclick 1042\npick 1041 \"Reading\"\nclick 1033\ntype 1037 \"Books\"\n"
              "click 1038\npick 1041 \"Books\"\nclick 1033\ntype 1037 \"Reading\"\nclick 1038\n"
              "click 1042\nclick ok\n",
              1, 2);
}

// The Time Report over every stored record's dates (2015 to 2024), opened, reported and closed:
// All totals every category and shows the list; one category gives its total.
const std::string reportRange = "menu 40021\ndate 1053 2015-01-01\ndate 1054 2024-12-31\n";

void TimeReportAllBench(benchmark::State& state)
{
    TimeSteps(state, reportRange + "click 1057\nclick 1058\nclick ok\n");
}

void TimeReportOneCategoryBench(benchmark::State& state)
{
    TimeSteps(state, reportRange + "pick 1056 \"Reading\"\nclick 1058\nclick ok\n");
}

// Delete by Range of every stored record (their dates span 2015 to 2024), Yes: found, asked,
// deleted as one change, reloaded, sorted and refilled. Timed against the same dialog cancelled,
// each run on a fresh copy of the store; the exit after the deletion has no records to free,
// which the difference leaves out.
void DeleteEveryRecordByRangeBench(benchmark::State& state)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string root = MakeStoredRecords(static_cast<int>(state.range(0)));
    CloseDeviceFolder();
    const std::string range = "menu 40052\ndate 1112 2015-01-01\ndate 1114 2024-12-31\n";
    std::string cancel = root + "/cancel.txt", remove = root + "/delete.txt";
    std::ofstream(cancel) << range << "click 1116\nmessage 1023\n";
    std::ofstream(remove) << range << "click 1115\nanswer yes\nmessage 1023\n";
    std::string copy = root + "/copy";
    for (auto _ : state) {
        std::filesystem::remove_all(copy);
        std::filesystem::copy(root + "/device", copy, std::filesystem::copy_options::recursive);
        double without = Seconds(copy, cancel);
        double with = Seconds(copy, remove);
        if (without < 0 || with < 0) {
            state.SkipWithError("the program did not end with code 0");
            break;
        }
        state.SetIterationTime(std::max(0.0, with - without));
    }
    RemoveStoredRecords(root);
}
} // namespace

BENCHMARK(DeleteEveryRecordByRangeBench)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
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
BENCHMARK(RenameCategoryBench)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK(TimeReportAllBench)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK(TimeReportOneCategoryBench)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
BENCHMARK_MAIN();
