// zentally-store import of a records file of 100,000 lines, as the records export writes one:
// checked only (--dry-run), into a new device, and into a device that holds 100,000 records
// already. The tool's command line runs in this process, its output thrown away; each
// repetition starts from a fresh device folder.
//
// Run: build/bench/import_bench (about a minute; the first run also makes the kept store of
// 100,000 records under /tmp).
#include "bench/stored_records.h"
#include "device/store_tool/store_tool.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
const int fileLines = 100000;

// A records file as years of use give it: dates over 2014 to 2024, a dozen categories, memos on
// four records in five, durations of 1 to 1499 minutes; hours and minutes with a colon, or
// minutes, in Windows-1252 or UTF-16.
std::string RecordsFile(bool unicode, bool minutes)
{
    std::mt19937 random(20261209);
    std::string text = std::string("\"Date\",\"Category\",\"Time (") +
                       (minutes ? "minutes" : "hours and minutes") + ")\",\"Memo\"\r\n";
    char line[128];
    for (int i = 0; i < fileLines; ++i) {
        int year =
            benchFirstYear + static_cast<int>(random() % (benchLastYear - benchFirstYear + 1));
        int month = 1 + static_cast<int>(random() % 12), day = 1 + static_cast<int>(random() % 28);
        int total = 1 + static_cast<int>(random() % 1499);
        char duration[16];
        if (minutes)
            std::snprintf(duration, sizeof duration, "%d", total);
        else
            std::snprintf(duration, sizeof duration, "%d:%02d", total / 60, total % 60);
        std::snprintf(line, sizeof line, "\"%02d-%02d-%04d\",\"%s\",\"%s\",\"%s\"\r\n", day, month,
                      year, benchCategories[random() % benchCategoryCount], duration,
                      random() % 5 ? "met the team, notes" : "");
        text += line;
    }
    if (!unicode)
        return text;
    std::string wide;
    for (char c : text) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

struct ImportFile {
    std::string path;
    explicit ImportFile(bool unicode, bool minutes)
        : path(fs::temp_directory_path() /
               ("zentally-import-bench-" + std::to_string(getpid()) + (unicode ? "-u" : "-a") +
                (minutes ? "m" : "h") + ".csv"))
    {
        std::ofstream(path, std::ios::binary) << RecordsFile(unicode, minutes);
    }
    ~ImportFile() { fs::remove(path); }
};

int RunImport(const std::string& device, const std::string& file, bool dryRun)
{
    std::vector<const char*> argv = {"zentally-store", "--device", device.c_str(), "import",
                                     file.c_str()};
    if (dryRun)
        argv.push_back("--dry-run");
    // What the tool prints is not what is timed.
    std::fflush(stdout);
    int saved = dup(1), null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    int code = StoreToolMain(static_cast<int>(argv.size()), argv.data());
    std::fflush(stdout);
    dup2(saved, 1);
    close(null);
    close(saved);
    return code;
}

// range(0): 0 checked only, 1 into a new device, 2 beside 100,000 stored records;
// range(1): 0 ASCII hours and minutes, 1 UNICODE minutes.
void BM_Import(benchmark::State& state)
{
    int into = static_cast<int>(state.range(0));
    bool unicode = state.range(1) == 1;
    ImportFile file(unicode, unicode);
    std::string root = fs::temp_directory_path() /
                       ("zentally-import-bench-" + std::to_string(getpid()) + "-device");
    if (into == 2)
        CachedStoredRecords(100000);
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(root);
        if (into == 2)
            CopyStoredRecords(100000, root);
        state.ResumeTiming();
        if (RunImport(root, file.path, into == 0) != 0)
            state.SkipWithError("the import failed");
    }
    fs::remove_all(root);
    state.SetItemsProcessed(state.iterations() * fileLines);
}
} // namespace

BENCHMARK(BM_Import)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"into", "unicode"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

BENCHMARK_MAIN();
