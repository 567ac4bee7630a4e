// How loading and sorting the records scale with their number. Run: build/bench/store_bench
#include "app/app_context.h"
#include "bench/stored_records.h"
#include "model/databases.h"
#include "model/sorting.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/recorder.h"
#include "resources/strings.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
// A device folder holding `count` records, opened by the program's start-up routine.
struct StoredRecords {
    std::string root;

    explicit StoredRecords(int count)
    {
        root = MakeStoredRecords(count);
        CreateAppObjects();
        App.Instance = RegisterResourceModule(&ZentallyResources);
        OpenDatabases();
    }
    ~StoredRecords()
    {
        if (App.Databases.records && App.Databases.records != INVALID_HANDLE_VALUE)
            CloseHandle(App.Databases.records);
        App.Databases.records = 0;
        DestroyAppObjects();
        RemoveStoredRecords(root);
    }
};

void LoadRecordsBench(benchmark::State& state)
{
    StoredRecords stored(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadRecords());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void SortRecordsBench(benchmark::State& state)
{
    StoredRecords stored(static_cast<int>(state.range(0)));
    LoadRecords();
    DWORD order = 0;
    for (auto _ : state) {
        // Alternating directions makes every round reorder the whole list.
        App.SortOrder = order;
        order ^= 1;
        benchmark::DoNotOptimize(SortRecords());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
} // namespace

BENCHMARK(LoadRecordsBench)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SortRecordsBench)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
