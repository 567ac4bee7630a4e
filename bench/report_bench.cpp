// The Time Report's totals and the exports over 100,000 records in memory: a dozen categories,
// memos, a decade of dates. Run: build/bench/report_bench
#include "app/app_context.h"
#include "entry/record_format.h"
#include "entry/view_types.h"
#include "platform/device.h"
#include "platform/memory.h"
#include "platform/recorder.h"
#include "platform/resource.h"
#include "report/csv_export.h"
#include "report/report_totals.h"
#include "resources/strings.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
const LPCWSTR categoryNames[] = {u"Job",     u"Meetings", u"Travel",   u"Reading",
                                 u"Sport",   u"Family",   u"Shopping", u"Garden",
                                 u"Cooking", u"Music",    u"Language", u"Volunteer"};
const LPCWSTR memos[] = {u"",
                         u"Chapter notes",
                         u"Call \"Bob\" back",
                         u"Weekly review",
                         u"Bus, then train",
                         u"Line one\r\nline two",
                         u"Tom's party"};

// The program's state holding `count` records, over a device folder in a temporary directory.
struct RecordsInMemory {
    std::string root;

    explicit RecordsInMemory(int count)
    {
        char pattern[] = "/tmp/zentally-report-bench-XXXXXX";
        root = mkdtemp(pattern);
        std::string reason;
        if (!OpenDeviceFolder(root + "/device", &reason))
            std::fprintf(stderr, "%s\n", reason.c_str());
        CreateAppObjects();
        App.Instance = RegisterResourceModule(&ZentallyResources);
        App.Title = static_cast<LPWSTR>(LocalAlloc(LPTR, IDENTITY_TEXT_MAX * sizeof(WCHAR)));
        LoadStringW(App.Instance, IDS_APP_TITLE, App.Title, IDENTITY_TEXT_MAX);
        for (LPCWSTR name : categoryNames) {
            CategoryNode category;
            InitNode(&category);
            SetName(&category, name);
            Insert(App.MainCategoryList, &category);
            FreeName(&category);
        }
        RecordNode scratch;
        scratch.date = {};
        InitRecordNode(&scratch);
        for (int i = 0; i < count; ++i) {
            unsigned spread = static_cast<unsigned>(i) * 2654435761u;
            SYSTEMTIME date = {WORD(2015 + (spread >> 16) % 10),
                               WORD(1 + (spread >> 8) % 12),
                               0,
                               WORD(1 + spread % 28),
                               0,
                               0,
                               0,
                               0};
            std::u16string minutes = std::u16string(1, u'1' + spread % 9) + u"5";
            SetRecordDate(&scratch, date);
            SetRecordMinutes(&scratch, minutes.c_str());
            SetRecordCategory(&scratch, categoryNames[(spread >> 4) % std::size(categoryNames)]);
            SetRecordMemo(&scratch, memos[(spread >> 12) % std::size(memos)]);
            Append(App.MainRecordList, &scratch);
        }
        FreeRecordTexts(&scratch);
    }
    ~RecordsInMemory()
    {
        DestroyAppObjects();
        CloseDeviceFolder();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
};

void AllCategoryTotalsBench(benchmark::State& state)
{
    RecordsInMemory records(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ComputeCategoryTotals(App.MainRecordList, App.MainCategoryList, 20150101, 20241231));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void OneCategoryTotalBench(benchmark::State& state)
{
    RecordsInMemory records(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(CategoryTotal(App.MainRecordList, u"Reading", 20150101, 20241231));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// range(1): 0 ASCII, 1 UNICODE. Each round writes a new file; the old one is removed untimed.
void ExportRecordsBench(benchmark::State& state)
{
    RecordsInMemory records(static_cast<int>(state.range(0)));
    App.Settings->TimeTypeView = ColonSeparated;
    DWORD unicode = static_cast<DWORD>(state.range(1));
    std::string file = DeviceFilesPath(u"\\My Documents\\Business\\Bench.csv");
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        ClearRecordings();
        state.ResumeTiming();
        if (!ExportRecordsFile(u"Bench", HoursAndMinutes, unicode, 0))
            state.SkipWithError("the export failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
} // namespace

BENCHMARK(AllCategoryTotalsBench)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(OneCategoryTotalBench)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportRecordsBench)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
