// The real program and the store tool, run as processes on a device folder of the test's own,
// with the scripted user playing a person. Events come back as JSON objects.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

class QProcess;

#include <string>
#include <vector>

struct RunOutcome {
    int exitCode = -1;
    std::vector<QJsonObject> events;
    QString errors; // standard error

    // The events of one kind, in order.
    std::vector<QJsonObject> Of(const QString& kind) const;
    // The last `state` event; an empty object when there is none.
    QJsonObject LastState() const;
    // The n-th `state` event from 0.
    QJsonObject State(size_t n) const;
    // The first `error` event's text, empty when the script ran through.
    QString ScriptError() const;
};

class DeviceUnderTest
{
  public:
    DeviceUnderTest();
    ~DeviceUnderTest();

    const std::string& Folder() const { return device_; }

    // Plays `script` on the program with these extra arguments (--screen 320x240, --clock …).
    RunOutcome Run(const std::string& script, const QStringList& args = {}) const;
    // Starts the program as a person uses it (no script), offscreen, in the test's environment.
    void StartPerson(QProcess& process) const;
    // Waits until the program started by StartPerson listens for later starts (its socket is
    // in the test's runtime folder); false when it ended first.
    bool WaitUntilListening(QProcess& process) const;
    // Runs zentally-store on the device; its standard output, and the exit code in `code`.
    QString Store(const QStringList& args, int* code = nullptr) const;
    // The whole store, as zentally-store dump prints it.
    QJsonObject Dump() const;

    // Puts a record into the records database (created when missing), as the program stores
    // it: key, day, month, year, category, minutes, memo.
    void PutRecord(int key, int day, int month, int year, const QString& category, int minutes,
                   const QString& memo) const;
    // Puts a category into the categories database (created when missing) at `position`.
    void PutCategory(int position, const QString& name) const;

  private:
    std::string root_;
    std::string device_;
};

// The rows' cells of a state's list, each row joined with " | ".
QStringList RowTexts(const QJsonObject& state);
// The entry of the menu bar with `command`, and the menu item with `command`.
QJsonObject MenuBarEntry(const QJsonObject& state, int command);
QJsonObject MenuItem(const QJsonObject& state, int command);

// A control of a state's front dialog by its identifier (an empty object when absent), and
// its text; the front dialogs' template numbers, the innermost last.
QJsonObject Control(const QJsonObject& state, int id);
QString ControlText(const QJsonObject& state, int id);
QJsonArray Dialogs(const QJsonObject& state);

// The stored records as "day month year category minutes memo", in the store's order, and the
// stored category names in their order.
QStringList StoredRecords(const DeviceUnderTest& device);
QStringList StoredCategories(const DeviceUnderTest& device);

// A registry key of a dump by its path under HKEY_LOCAL_MACHINE, the names of its values, and
// a DWORD value (-1 when absent).
QJsonObject RegistryKey(const QJsonObject& dump, const QString& path);
QStringList ValueNames(const QJsonObject& key);
int DwordValue(const QJsonObject& key, const QString& name);

// The program started on `script` without waiting for its end, so that a test can change the
// device's conditions between its events (StartPerson's environment; a child-process modifier
// set on `process` beforehand applies). Its events are read from `process` as they come.
void StartScripted(const DeviceUnderTest& device, QProcess& process, const std::string& script,
                   const QStringList& args = {});
