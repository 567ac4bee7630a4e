// zentally-store: reads and writes a device's store while the program is not running.
#pragma once

#include "platform/wintypes.h"

#include <string>
#include <vector>

// Exit codes: done; the store could not be read or written, or lacks what was named; the
// command line is wrong.
enum StoreToolExit { ExitDone = 0, ExitStoreFailed = 1, ExitBadArguments = 2 };

// The whole command line, argv[0] the tool's own name: runs the verb it names and returns the
// exit code. What a verb prints goes to standard output, a failure's reason to standard error as
// one line. The device folder is closed again before it returns, so it may be called once a
// command line, as often as needed, within one process.
int StoreToolMain(int argc, const char* const* argv);

// What a verb did not do, as one line for standard error, and the exit code to end with.
struct ToolFailure {
    int exit;
    std::string reason;
};

// Each verb checks all its arguments before it touches the device folder, so that a wrong
// command changes nothing. Returns ExitDone, or the failure in `failure`.
int DumpStore(const std::string& device, const std::vector<std::string>& args,
              ToolFailure* failure);
int CreateDatabase(const std::string& device, const std::vector<std::string>& args,
                   ToolFailure* failure);
int DeleteDatabase(const std::string& device, const std::vector<std::string>& args,
                   ToolFailure* failure);
int PutRecord(const std::string& device, const std::vector<std::string>& args,
              ToolFailure* failure);
int SetValue(const std::string& device, const std::vector<std::string>& args, ToolFailure* failure);
int DeleteKey(const std::string& device, const std::vector<std::string>& args,
              ToolFailure* failure);
// backup FILE: a consistent copy of the store, safe while the program runs, that replaces FILE
// whole or not at all. restore FILE: FILE checked to be a sound store the program reads, then put
// in the store's place in one rename, refused while the program runs or the store is in use.
int BackupStore(const std::string& device, const std::vector<std::string>& args,
                ToolFailure* failure);
int RestoreStore(const std::string& device, const std::vector<std::string>& args,
                 ToolFailure* failure);

// import FILE [--date-format F] [--dry-run]: the records of a records file the program exported,
// every line checked first, then added as one change of the store with the categories they
// need; refused while the program runs. --dry-run prints what would be added, as JSON lines.
int ImportRecords(const std::string& device, const std::vector<std::string>& args,
                  ToolFailure* failure);

// Shared by the verbs.
int Fail(ToolFailure* failure, int exit, const std::string& reason);
// UTF-8 text of the command line as UTF-16; false when it is not valid UTF-8.
bool ArgumentText(const std::string& argument, std::u16string* text);
// What a store failure code means, for a reason line.
std::string StoreProblem(DWORD error);
// True when zentally runs on the open device folder: the socket the program listens on, keyed
// by the folder as the program keys it, answers from a process of this user.
bool ProgramRuns();
// Opens the device folder for a verb; on failure fills `failure` and returns false.
bool OpenDevice(const std::string& device, bool create, ToolFailure* failure);

// JSON output: a text as a string with every character that needs it escaped (surrogate
// pairs joined, a lone surrogate escaped as \uXXXX), bytes as lower-case hex, identifiers as
// "0x" and eight upper-case hex digits.
void AppendJsonText(std::string* out, const char16_t* text, size_t length);
void AppendHex(std::string* out, const BYTE* bytes, size_t count);
std::string HexId(DWORD id);
