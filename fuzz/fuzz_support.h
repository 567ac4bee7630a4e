// What the fuzz targets share: a broken promise of the code under test ends the run as a crash,
// so that libFuzzer keeps the input that shows it; and a folder of their own for a device.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// A new empty folder, in memory (/dev/shm) where the machine has it so that the store's syncs
// cost nothing, removed when the fuzzer ends normally.
inline std::string FuzzFolder()
{
    static std::string folder;
    const char* tmp = std::getenv("TMPDIR");
    std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : tmp ? tmp : "/tmp";
    std::string pattern = base + "/zentally-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern.data()));
    folder = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
    return folder;
}
