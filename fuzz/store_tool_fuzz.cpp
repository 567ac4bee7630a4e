// zentally-store's command line from any bytes: one argument a line, run by the tool's own
// entry against a device folder of the fuzzer's, which starts every run as the same store. A
// --device given is pointed at that folder, and so is the default one, and the FILE of backup,
// restore and import at one file beside it, so that nothing outside the fuzzer's folder is touched.
// A refused command must leave store.db as it was.
#include "device/store_tool/store_tool.h"
#include "fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
std::string device;      // the device folder every command line is run on
std::string copyFile;    // the one FILE backup writes and restore reads
std::string storeBefore; // its store.db, as each run finds it

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Tool(std::vector<std::string> words)
{
    // The options as the tool reads them: while an argument starts with '-'.
    size_t at = 0;
    for (; at < words.size() && words[at].size() && words[at][0] == '-'; ++at) {
        if (words[at] == "--device" && at + 1 < words.size())
            words[++at] = device;
        else if (words[at].rfind("--device=", 0) == 0 && words[at].size() > 9)
            words[at] = "--device=" + device;
    }
    if (at + 1 < words.size() &&
        (words[at] == "backup" || words[at] == "restore" || words[at] == "import"))
        words[at + 1] = copyFile;
    std::vector<const char*> argv = {"zentally-store"};
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    argv.push_back(nullptr);
    return StoreToolMain(static_cast<int>(argv.size() - 1), argv.data());
}

// A store as a person's device has it: the records database with a record and the program's key.
void MakeDevice()
{
    std::string folder = FuzzFolder();
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
    device = folder + "/zentally";
    copyFile = folder + "/copy.db";
    const std::vector<std::vector<std::string>> setup = {
        {"create-database", "Ulmra Zentally"},
        {"put-record", "Ulmra Zentally", "0x00000013=51439", "0x0004001F=Job"},
        {"create-database", "Categories"},
        {"set-value", "Software\\Ulmra\\Zentally", "MajorVersion", "dword", "1"},
        {"set-value", "Software\\Ulmra\\Zentally", "Columns", "binary", "0102"},
    };
    for (const auto& words : setup)
        FUZZ_CHECK(Tool(words) == ExitDone);
    storeBefore = FileText(device + "/store.db");
    FUZZ_CHECK(!storeBefore.empty());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (device.empty())
        MakeDevice();
    {
        std::ofstream out(device + "/store.db", std::ios::binary | std::ios::trunc);
        out.write(storeBefore.data(), static_cast<std::streamsize>(storeBefore.size()));
    }
    std::remove((device + "/store.db-journal").c_str());

    std::vector<std::string> words;
    std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        // An argument of the command line cannot hold a NUL.
        if (text.find('\0', start) < end)
            return -1;
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    int exit = Tool(words);
    FUZZ_CHECK(exit == ExitDone || exit == ExitStoreFailed || exit == ExitBadArguments);
    if (exit != ExitDone)
        FUZZ_CHECK(FileText(device + "/store.db") == storeBefore);
    return 0;
}
