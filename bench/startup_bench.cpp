// The whole program at 1,000 to 1,000,000 stored records: the real binary runs offscreen on a
// fresh copy of a kept store (stored_records.h), played by a script, once per repetition; five
// repetitions give a median, with their spread as min and max.
//
// Inside a run, marks (program_run.h) time the steps: the script is
//     prelude, mark 0, baseline, mark 1, measured, mark 2, exit
// and a step costs ((mark 2 - mark 1) - (mark 1 - mark 0)) / actions. The baseline takes the
// same dialogs, taps and typing as the measured part without the change itself (cancelled or
// answered No), or nothing where the measured part is bare taps, so the difference is the work
// of the change: store, list, painting. Both intervals hold one mark's own cost, which cancels.
//
// Run: build/bench/startup_bench (about five minutes on two cores; the first run also makes the
// kept stores under /tmp, the 1,000,000 one in about ten seconds).
#include "bench/program_run.h"
#include "bench/stored_records.h"

#include "platform/device.h"
#include "platform/winreg.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
int Count(const benchmark::State& state)
{
    return static_cast<int>(state.range(0));
}

// A device folder copied from the kept store for each run, so that every run starts from the
// same store and settings (the program keeps its sort order and options at exit).
class FreshDevice
{
  public:
    FreshDevice() : device_(fifo_.Path() + ".device") {}
    ~FreshDevice()
    {
        std::error_code ignored;
        std::filesystem::remove_all(device_, ignored);
    }
    const std::string& Make(int count, bool applyCategoryChangesToRecords)
    {
        CopyStoredRecords(count, device_);
        if (applyCategoryChangesToRecords)
            SetApplyToRecords();
        return device_;
    }
    const MarkFifo& Fifo() const { return fifo_; }

  private:
    // "Apply Rename and Delete to records" as the Edit Categories check box leaves it.
    void SetApplyToRecords()
    {
        std::string reason;
        if (!OpenDeviceFolder(device_, &reason, DeviceFolderUse::ExistingOnly))
            return;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Ulmra\\Zentally\\Settings", 0, nullptr,
                            0, 0, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            DWORD on = 1;
            RegSetValueExW(key, u"CatRecsApply", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                           sizeof on);
            RegCloseKey(key);
        }
        CloseDeviceFolder();
    }

    MarkFifo fifo_;
    std::string device_;
};

bool Failed(benchmark::State& state, const ProgramRun& run, size_t marks)
{
    if (run.exitCode == 0 && run.marks.size() == marks)
        return false;
    std::string why = "the program ended with code " + std::to_string(run.exitCode) + " after " +
                      std::to_string(run.marks.size()) + " of " + std::to_string(marks) + " marks";
    state.SkipWithError(why.c_str());
    return true;
}

void CountPeak(benchmark::State& state, const ProgramRun& run)
{
    state.counters["peak_memory"] =
        benchmark::Counter(static_cast<double>(run.peakKibibytes) * 1024,
                           benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
}

// Start, the first wait for input, an orderly exit (message 1023: Shutdown frees every record).
// The reported time is the whole run; `start_ms` is start alone: until the program, done with
// loading, sorting, filling and painting the list, takes its first script line (a mark: its
// cost, a screen grab, is a few milliseconds of it). `peak_memory` is the run's largest
// resident size.
void StartAndExitBench(benchmark::State& state)
{
    FreshDevice fresh;
    std::string script = fresh.Fifo().Mark() + "message 1023\n";
    for (auto _ : state) {
        const std::string& device = fresh.Make(Count(state), false);
        ProgramRun run = RunProgram(device, script, fresh.Fifo());
        if (Failed(state, run, 1))
            break;
        state.SetIterationTime(run.totalSeconds);
        state.counters["start_ms"] = run.marks[0] * 1000;
        CountPeak(state, run);
    }
}

struct Steps {
    std::string prelude;  // before the first mark: what the measured part needs to be there
    std::string baseline; // the same taps without the change
    std::string measured;
    int actions; // how many of the step the measured part holds
    bool applyCategoryChanges = false;
};

void TimeSteps(benchmark::State& state, const Steps& steps)
{
    FreshDevice fresh;
    const std::string mark = fresh.Fifo().Mark();
    std::string script =
        steps.prelude + mark + steps.baseline + mark + steps.measured + mark + "message 1023\n";
    for (auto _ : state) {
        const std::string& device = fresh.Make(Count(state), steps.applyCategoryChanges);
        ProgramRun run = RunProgram(device, script, fresh.Fifo());
        if (Failed(state, run, 3))
            break;
        const std::vector<double>& m = run.marks;
        double spent = (m[2] - m[1]) - (m[1] - m[0]);
        state.SetIterationTime(std::max(0.0, spent) / steps.actions);
        CountPeak(state, run);
    }
}

std::string Repeated(const std::string& lines, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += lines;
    return all;
}

std::string MiddleRow(const benchmark::State& state)
{
    return "row " + std::to_string(Count(state) / 2) + "\n";
}

// Two taps on the Date header: each reverses the order of every record and refills the list.
void DateHeaderBench(benchmark::State& state)
{
    TimeSteps(state, {"", "", "header 0\nheader 0\n", 2});
}

// New, ten minutes of Reading, OK: stored under a fresh key, appended, selected. Ten of them.
void NewRecordBench(benchmark::State& state)
{
    TimeSteps(state,
              {"", "",
               Repeated("menu 40003\npick 1009 \"10\"\npick 1010 \"Reading\"\nclick 1014\n", 10),
               10});
}

// A tap on the record half way down the list, another duration, OK: the store and the row
// change. Ten of them, between two durations.
void EditRecordBench(benchmark::State& state)
{
    std::string row = MiddleRow(state);
    TimeSteps(state, {"", "",
                      Repeated(row + "pick 1009 \"10\"\nclick 1014\n" + row +
                                   "pick 1009 \"20\"\nclick 1014\n",
                               5),
                      10});
}

// Delete in Register Time on the record half way down, Yes: removed from the store and the
// list, kept for Undo. Ten of them (the undo store holds twelve, so nothing asks).
void DeleteRecordBench(benchmark::State& state)
{
    std::string deletion = MiddleRow(state) + "click 1012\nanswer yes\n";
    TimeSteps(state, {"", "", Repeated(deletion, 10), 10});
}

// Undo Deleting ten times after ten deletions: each record is stored again and put back.
void UndoDeletingBench(benchmark::State& state)
{
    std::string deletion = MiddleRow(state) + "click 1012\nanswer yes\n";
    TimeSteps(state, {Repeated(deletion, 10), "", Repeated("menu 40050\n", 10), 10});
}

// Edit Categories with its changes carried into the records: Reading (about an eighth of them)
// renamed Books, which rewrites those records and reloads the list; against the same rename
// cancelled.
void RenameCategoryBench(benchmark::State& state)
{
    const std::string rename =
        "menu 40019\npick 1041 \"Reading\"\nclick 1033\ntype 1037 \"Books\"\n";
    TimeSteps(state,
              {"", rename + "click 1039\nclick ok\n", rename + "click 1038\nclick ok\n", 1, true});
}

// Edit Categories, Meetings (about a tenth of the records) deleted with its records, Yes;
// against the same question answered No.
void DeleteCategoryBench(benchmark::State& state)
{
    const std::string choose = "menu 40019\npick 1041 \"Meetings\"\nclick 1034\n";
    TimeSteps(state,
              {"", choose + "answer no\nclick ok\n", choose + "answer yes\nclick ok\n", 1, true});
}

std::string FirstDay()
{
    return std::to_string(benchFirstYear) + "-01-01";
}
std::string LastDay()
{
    return std::to_string(benchLastYear) + "-12-31";
}

// Delete by Range over every stored date, Yes: every record found, deleted as one change, the
// list emptied; against the dialog cancelled. The exit after it has no records to free, which
// the marks leave out.
void DeleteEveryRecordByRangeBench(benchmark::State& state)
{
    const std::string range =
        "menu 40052\ndate 1112 " + FirstDay() + "\ndate 1114 " + LastDay() + "\n";
    TimeSteps(state, {"", range + "click 1116\n", range + "click 1115\nanswer yes\n", 1});
}

// The Time Report over every stored date, All: every category totalled and listed; against the
// dialog opened, set and closed without reporting.
void TimeReportAllBench(benchmark::State& state)
{
    const std::string range =
        "menu 40021\ndate 1053 " + FirstDay() + "\ndate 1054 " + LastDay() + "\nclick 1057\n";
    TimeSteps(state, {"", range + "click ok\n", range + "click 1058\nclick ok\n", 1});
}

void TimeReportOneCategoryBench(benchmark::State& state)
{
    const std::string range = "menu 40021\ndate 1053 " + FirstDay() + "\ndate 1054 " + LastDay() +
                              "\npick 1056 \"Reading\"\n";
    TimeSteps(state, {"", range + "click ok\n", range + "click 1058\nclick ok\n", 1});
}

// Export Time records as "Bench", told it is done: every record formatted and written to
// \My Documents\Personal\Bench.csv (each run's copy of the store has no such file yet, so
// nothing asks to replace it); against the dialog cancelled.
void ExportRecordsBench(benchmark::State& state)
{
    const std::string options = "menu 40045\ntype 1073 \"Bench\"\n";
    TimeSteps(state, {"", options + "click 1082\n", options + "click 1083\nanswer ok\n", 1});
}

double Smallest(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}
double Largest(const std::vector<double>& v)
{
    return *std::max_element(v.begin(), v.end());
}

// One run of the program a repetition; the median of five, and their spread.
void WithRepetitions(benchmark::internal::Benchmark* bench)
{
    bench->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", Smallest)
        ->ComputeStatistics("max", Largest);
}

void AtEveryCount(benchmark::internal::Benchmark* bench)
{
    WithRepetitions(bench->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000));
}

void AtTheHundredThousand(benchmark::internal::Benchmark* bench)
{
    WithRepetitions(bench->Arg(100000));
}
} // namespace

BENCHMARK(StartAndExitBench)->Apply(AtEveryCount);
BENCHMARK(DateHeaderBench)->Apply(AtEveryCount);
BENCHMARK(NewRecordBench)->Apply(AtTheHundredThousand);
BENCHMARK(EditRecordBench)->Apply(AtTheHundredThousand);
BENCHMARK(DeleteRecordBench)->Apply(AtTheHundredThousand);
BENCHMARK(UndoDeletingBench)->Apply(AtTheHundredThousand);
BENCHMARK(RenameCategoryBench)->Apply(AtTheHundredThousand);
BENCHMARK(DeleteCategoryBench)->Apply(AtTheHundredThousand);
BENCHMARK(DeleteEveryRecordByRangeBench)->Apply(AtTheHundredThousand);
BENCHMARK(TimeReportAllBench)->Apply(AtTheHundredThousand);
BENCHMARK(TimeReportOneCategoryBench)->Apply(AtTheHundredThousand);
BENCHMARK(ExportRecordsBench)->Apply(AtTheHundredThousand);
BENCHMARK_MAIN();
