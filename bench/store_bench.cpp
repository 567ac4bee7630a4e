// How loading and sorting the records scale with their number. Run: build/bench/store_bench
#include "app/app_context.h"
#include "model/databases.h"
#include "model/sorting.h"
#include "platform/device.h"
#include "platform/handle.h"
#include "platform/memory.h"
#include "platform/recorder.h"
#include "platform/store_batch.h"
#include "resources/strings.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
// A device folder holding `count` records with dates spread over ten years.
struct StoredRecords {
    std::string root;

    explicit StoredRecords(int count)
    {
        char pattern[] = "/tmp/zentally-bench-XXXXXX";
        root = mkdtemp(pattern);
        std::string reason;
        OpenDeviceFolder(root + "/device", &reason);
        WCHAR name[] = RECORDS_DATABASE_NAME;
        SORTORDERSPEC order = {PROP_RECORD_KEY, 0};
        CeCreateDatabase(name, 0, 1, &order);
        CEOID oid = 0;
        HANDLE db = CeOpenDatabase(&oid, name, PROP_RECORD_KEY, CEDB_AUTOINCREMENT, nullptr);
        BeginStoreBatch();
        WCHAR category[] = u"Reading";
        WCHAR minutes[] = u"135";
        WCHAR memo[] = u"Chapter notes";
        for (int i = 0; i < count; ++i) {
            CEPROPVAL props[7] = {};
            const CEPROPID ids[] = {PROP_RECORD_KEY,  PROP_RECORD_DAY,      PROP_RECORD_MONTH,
                                    PROP_RECORD_YEAR, PROP_RECORD_CATEGORY, PROP_RECORD_MINUTES,
                                    PROP_RECORD_MEMO};
            for (int p = 0; p < 7; ++p)
                props[p].propid = ids[p];
            unsigned spread = static_cast<unsigned>(i) * 2654435761u;
            props[0].val.ulVal = 10000 + static_cast<DWORD>(i);
            props[1].val.ulVal = 1 + spread % 28;
            props[2].val.ulVal = 1 + (spread >> 8) % 12;
            props[3].val.ulVal = 2015 + (spread >> 16) % 10;
            props[4].val.lpwstr = category;
            props[5].val.lpwstr = minutes;
            props[6].val.lpwstr = memo;
            CeWriteRecordProps(db, 0, 7, props);
        }
        EndStoreBatch(TRUE);
        CloseHandle(db);
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
        CloseDeviceFolder();
        std::filesystem::remove_all(root);
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
