// Judging one round: which changes the program confirmed before it was killed, what the store
// must hold after them, what it may hold besides (the one change under way at the kill), and
// whether what it holds is one of the two.
#pragma once

#include "tests/reliability/soak_process.h"
#include "tests/reliability/soak_script.h"
#include "tests/reliability/soak_store.h"

#include <string>
#include <vector>

struct Verdict {
    int confirmed = 0;           // changes whose confirmation was printed
    bool started = false;        // the start's state was printed
    bool inFlight = false;       // a change had reached the action that stores it
    bool inFlightStored = false; // ... and the store held it
    bool partialExport = false;  // a first export was cut short in the file itself
    // Confirmation times after the state just before, by change kind, for the kill timing.
    std::vector<std::pair<ChangeKind, double>> commitMs;
    std::vector<std::string> failures;
};

// `start` is the model the round began from; `reading` the store after the run.
Verdict Judge(const Model& start, const Script& script, const ProgramRun& run,
              const StoreReading& reading);
