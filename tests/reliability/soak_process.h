// The real program and the store tool run as child processes of the campaign: the program fed a
// script on standard input and killed with SIGKILL at a chosen moment, its events read as they
// arrive, each stamped with the time it came.
#pragma once

#include <string>
#include <vector>

// Where the children run: their environment points at folders of the campaign's own.
struct ChildSetting {
    std::string runtimeFolder; // XDG_RUNTIME_DIR: the single-instance socket lands here
    std::string dataFolder;    // XDG_DATA_HOME, never used while --device is given
};

// When to kill: `delayMs` after the program started, or, with `triggerState` at 0 or more,
// `delayMs` after the state event of that ordinal (from 0) was read.
struct KillPlan {
    int triggerState = -1;
    double delayMs = 0;
};

struct TimedLine {
    double ms; // since the start
    std::string text;
};

struct ProgramRun {
    std::vector<TimedLine> lines; // standard output, one event a line
    bool killed = false;          // SIGKILL ended it (not an exit of its own)
    bool hung = false;            // it outlived the run's limit and was killed for it
    int exitCode = -1;            // when it ended by itself
    double endMs = 0;
    std::string errors; // standard error
};

// Starts `program` with `args`, standard input read from `scriptFile`, and kills it by plan;
// a program still running after `limitMs` is killed and marked hung.
ProgramRun RunProgram(const ChildSetting& setting, const std::string& program,
                      const std::vector<std::string>& args, const std::string& scriptFile,
                      const KillPlan& plan, double limitMs);

struct ToolRun {
    int exitCode = -1;
    std::string output;
    std::string errors;
};

// Runs a program to its end with these arguments (the store tool), its output collected.
ToolRun RunTool(const ChildSetting& setting, const std::string& tool,
                const std::vector<std::string>& args);
