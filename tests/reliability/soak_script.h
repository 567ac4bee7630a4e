// The changes a round makes and the script the scripted user plays them with, and the model of
// what the program holds after each: the store's records and categories, the exported files,
// the program's own category list and its undo store.
#pragma once

#include "tests/reliability/soak_store.h"

#include <random>
#include <string>
#include <vector>

enum class ChangeKind {
    NewRecord,
    EditRecord,
    DeleteRecord,
    UndoDeleting,
    NewCategory,
    RenameCategory,
    DeleteCategory,
    DeleteByRange,
    Export,
};

struct Change {
    ChangeKind kind = ChangeKind::NewRecord;
    Record record;        // a new record; an edit's new values (the memo stays the record's)
    std::string name;     // the category, or the exported file ("Soak1.csv")
    std::string newName;  // a rename's new name
    bool apply = false;   // the rename or deletion is carried into the records
    int from = 0, to = 0; // a range of dates, as year * 10000 + month * 100 + day
    int expected = 0;     // records a range finds; lines an export writes
    // Ordinals of the script's state lines: the record dialog of the tapped row (edits and
    // deletions), the screen just before the action that stores the change, and just after.
    int identifyState = -1, preState = -1, postState = -1;
};

// "rename Job to Ren4x1 with its records"; the kind alone: "rename".
std::string Describe(const Change& change);
const char* KindName(ChangeKind kind);

// What the program holds while a round plays.
struct Model {
    DeviceContents stored;
    std::vector<std::string> list; // the program's categories
    std::vector<Record> undo;      // records deleted one by one this run, newest last
};

// The model of a program started on a store holding `stored`: the stored categories, or the
// three the program starts with when there are none; an empty undo store.
Model ModelAtStart(const DeviceContents& stored);

// Makes the change in the model; `target` is the memo of the record an edit or deletion took.
// Empty, or why the change cannot be what the program did.
std::string Apply(Model& model, const Change& change, const std::string& target);

struct Script {
    std::string text;
    std::vector<Change> changes;
    int states = 0;
};

// A round of 3 to 8 changes. Changes of many records at once (categories, ranges) come first,
// while the model knows each record; then changes of tapped rows, whose records are known only
// once the program shows them, so that every line can be done as written.
Script MakeScript(const Model& start, bool applyChecked, int round, std::mt19937_64& rng);
