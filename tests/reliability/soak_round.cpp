#include "tests/reliability/soak_round.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <set>

namespace
{
// The program's own questions and its word after an export; any other box is a fault (a
// storage message, a damaged store at the start).
const char* const expectedBoxes[] = {
    "Selected record will be deleted. Continue?",
    "Selected item will be permanently deleted. Continue?",
    "File already exists - do you want replace existing file?",
    "OK !",
};

struct Event {
    QJsonObject object;
    int afterStates; // state events printed before it
    double ms;
};

struct Events {
    std::vector<Event> states;
    std::vector<Event> others;
};

Events Parse(const ProgramRun& run, std::vector<std::string>* failures)
{
    Events events;
    for (const TimedLine& line : run.lines) {
        QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line.text));
        if (!doc.isObject()) {
            failures->push_back("not a JSON event: " + line.text.substr(0, 200));
            continue;
        }
        QJsonObject e = doc.object();
        QString kind = e.value("event").toString();
        int seen = static_cast<int>(events.states.size());
        (kind == "state" ? events.states : events.others).push_back({e, seen, line.ms});
        QString text = e.value("text").toString();
        if (kind == "error")
            failures->push_back("script line " + std::to_string(e.value("line").toInt()) +
                                " could not be done: " + text.toStdString());
        bool known = text.endsWith(" records will be deleted. Continue?");
        for (const char* box : expectedBoxes)
            known = known || text == box;
        if (kind == "messagebox" && !known)
            failures->push_back("unexpected message box: " + text.toStdString());
    }
    return events;
}

// When the change's confirmation was printed, or a negative number when it was not.
double ConfirmedAt(const Change& c, const Events& events)
{
    if (static_cast<int>(events.states.size()) > c.postState)
        return events.states[c.postState].ms;
    for (const Event& e : events.others) {
        if (e.afterStates <= c.preState)
            continue;
        QString kind = e.object.value("event").toString();
        if (c.kind == ChangeKind::NewRecord && kind == "sound" &&
            e.object.value("name").toString() == "IDW_TIME_ADDED")
            return e.ms;
        if (c.kind == ChangeKind::Export && kind == "messagebox" &&
            e.object.value("text").toString() == "OK !")
            return e.ms;
    }
    return -1;
}

std::string Dated(const Record& r, const char* form)
{
    char text[32];
    std::snprintf(text, sizeof text, form, r.day, r.month, r.year);
    return text;
}

// The list's row for a record as the program shows it by default: date, category, h:mm.
std::string RowOf(const Record& r)
{
    char time[32];
    std::snprintf(time, sizeof time, "%d:%02d", r.minutes / 60, r.minutes % 60);
    return Dated(r, "%02d-%02d-%04d") + " | " + r.category + " | " + time;
}

std::vector<std::string> Rows(const QJsonObject& state)
{
    std::vector<std::string> rows;
    for (const QJsonValue& row : state.value("list").toObject().value("rows").toArray()) {
        std::string text;
        for (const QJsonValue& cell : row.toObject().value("cells").toArray())
            text += (text.empty() ? "" : " | ") + cell.toString().toStdString();
        rows.push_back(text);
    }
    return rows;
}

std::string ControlText(const QJsonObject& state, int id)
{
    for (const QJsonValue& control : state.value("controls").toArray())
        if (control.toObject().value("id").toInt() == id)
            return control.toObject().value("text").toString().toStdString();
    return "";
}

// The start shows every stored record and nothing else.
void CheckStart(const Model& start, const QJsonObject& state, std::vector<std::string>* failures)
{
    std::vector<std::string> shown = Rows(state), stored;
    for (const auto& [memo, r] : start.stored.records)
        stored.push_back(RowOf(r));
    std::sort(shown.begin(), shown.end());
    std::sort(stored.begin(), stored.end());
    if (shown == stored)
        return;
    std::vector<std::string> missing, extra;
    std::set_difference(stored.begin(), stored.end(), shown.begin(), shown.end(),
                        std::back_inserter(missing));
    std::set_difference(shown.begin(), shown.end(), stored.begin(), stored.end(),
                        std::back_inserter(extra));
    failures->push_back("the start shows " + std::to_string(shown.size()) + " rows for " +
                        std::to_string(stored.size()) + " stored records; first not shown: " +
                        (missing.empty() ? "-" : missing[0]) +
                        "; first shown unstored: " + (extra.empty() ? "-" : extra[0]));
}

// The record the tapped row opened, checked against the model; empty with a failure when the
// dialog shows no record of the model.
std::string Tapped(const Model& m, const QJsonObject& state, std::vector<std::string>* failures)
{
    std::string memo = ControlText(state, 1011);
    auto found = m.stored.records.find(memo);
    if (state.value("dialogs").toArray() != QJsonArray{108} || found == m.stored.records.end()) {
        failures->push_back("the tapped row opened no record of the model (memo \"" + memo + "\")");
        return "";
    }
    std::string date = ControlText(state, 1007);
    if (date != Dated(found->second, "%02d/%02d/%04d"))
        failures->push_back("the record dialog of " + Describe(found->second) + " shows date " +
                            date);
    return memo;
}

void CheckRangeQuestion(const Model& m, const Change& c, const QJsonObject& state,
                        std::vector<std::string>* failures)
{
    int count = 0;
    for (const auto& [memo, r] : m.stored.records)
        count += r.Date() >= c.from && r.Date() <= c.to;
    QString asked = state.value("messagebox").toObject().value("text").toString();
    QString expected = QString("%1 records will be deleted. Continue?").arg(count);
    if (asked != expected)
        failures->push_back(Describe(c) + " asked \"" + asked.toStdString() + "\", expected \"" +
                            expected.toStdString() + "\"");
}

std::string Diff(const Records& want, const Records& found)
{
    std::vector<std::string> missing, extra, changed;
    for (const auto& [memo, r] : want) {
        auto f = found.find(memo);
        if (f == found.end())
            missing.push_back(Describe(r));
        else if (!(f->second == r))
            changed.push_back(Describe(r) + " stored as " + Describe(f->second));
    }
    for (const auto& [memo, r] : found)
        if (!want.count(memo))
            extra.push_back(Describe(r));
    auto list = [](const char* what, const std::vector<std::string>& items) {
        std::string text = std::to_string(items.size()) + " " + what;
        for (size_t i = 0; i < items.size() && i < 4; ++i)
            text += (i ? ", " : ": ") + items[i];
        return text;
    };
    return list("missing", missing) + "; " + list("unexpected", extra) + "; " +
           list("changed", changed);
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& n : names)
        text += (text.empty() ? "" : ",") + n;
    return "[" + text + "]";
}

// The stored contents against the model after the confirmed changes (`must`) and, with a change
// under way, after it too (`may`). True when the store took the change under way.
bool Compare(const Model& must, const Model* may, const Change* underWay,
             const DeviceContents& found, Verdict* verdict)
{
    bool tookIt = false;
    const Records& records = found.records;
    if (records != must.stored.records) {
        if (may && records == may->stored.records)
            tookIt = true;
        else
            verdict->failures.push_back(
                "stored records differ from the confirmed changes: " +
                Diff(must.stored.records, records) +
                (may ? " | from the change under way: " + Diff(may->stored.records, records) : ""));
    }
    if (found.categories != must.stored.categories) {
        if (may && found.categories == may->stored.categories)
            tookIt = true;
        else
            verdict->failures.push_back("stored categories " + Joined(found.categories) +
                                        ", expected " + Joined(must.stored.categories) +
                                        (may ? " or " + Joined(may->stored.categories) : ""));
    }
    std::set<std::string> files;
    for (const auto* exports : {&found.exports, &must.stored.exports})
        for (const auto& [name, lines] : *exports)
            files.insert(name);
    for (const std::string& name : files) {
        auto lines = [&name](const DeviceContents& d) {
            auto at = d.exports.find(name);
            return at == d.exports.end() ? 0 : at->second; // 0: no such file
        };
        int now = lines(found), before = lines(must.stored);
        int after = may ? lines(may->stored) : before;
        if (now == before)
            continue;
        if (may && now == after) {
            tookIt = true;
            continue;
        }
        // A first export writes the file itself: cut short it holds some of the records.
        if (underWay && underWay->kind == ChangeKind::Export && underWay->name == name &&
            before == 0) {
            verdict->partialExport = true;
            continue;
        }
        verdict->failures.push_back(
            name + " has " + std::to_string(now) + " lines (-1: no whole export), expected " +
            std::to_string(before) + (may ? " or " + std::to_string(after) : "") + " (0: no file)");
    }
    return tookIt;
}
} // namespace

Verdict Judge(const Model& start, const Script& script, const ProgramRun& run,
              const StoreReading& reading)
{
    Verdict verdict;
    std::vector<std::string>& failures = verdict.failures;
    if (run.hung)
        failures.push_back("the program neither ended nor printed on within its limit");
    if (!run.killed && !run.hung && run.exitCode != 0)
        failures.push_back("the program ended by itself with exit code " +
                           std::to_string(run.exitCode) +
                           "; standard error: " + run.errors.substr(0, 400));
    Events events = Parse(run, &failures);
    verdict.started = !events.states.empty();
    if (verdict.started)
        CheckStart(start, events.states[0].object, &failures);
    else if (run.endMs > 5000)
        failures.push_back("no start within 5 s");

    Model must = start, may;
    const Change* underWay = nullptr;
    int states = static_cast<int>(events.states.size());
    for (const Change& c : script.changes) {
        if (states <= c.preState)
            break;
        std::string target;
        if (c.identifyState >= 0)
            target = Tapped(must, events.states[c.identifyState].object, &failures);
        if (c.kind == ChangeKind::DeleteByRange)
            CheckRangeQuestion(must, c, events.states[c.preState].object, &failures);
        if (!failures.empty())
            break;
        Model next = must;
        std::string refused = Apply(next, c, target);
        if (!refused.empty()) {
            failures.push_back(Describe(c) + ": " + refused);
            break;
        }
        double at = ConfirmedAt(c, events);
        if (at < 0) {
            underWay = &c;
            may = next;
            break;
        }
        verdict.commitMs.push_back({c.kind, at - events.states[c.preState].ms});
        must = next;
        ++verdict.confirmed;
    }
    verdict.inFlight = underWay != nullptr;
    if (!run.killed && failures.empty() &&
        verdict.confirmed != static_cast<int>(script.changes.size()))
        failures.push_back("the program ended by itself after " +
                           std::to_string(verdict.confirmed) + " of " +
                           std::to_string(script.changes.size()) + " changes");
    if (!reading.opened) {
        failures.push_back("the store after the run: " + reading.failure);
        return verdict;
    }
    failures.insert(failures.end(), reading.ruleBreaks.begin(), reading.ruleBreaks.end());
    verdict.inFlightStored =
        Compare(must, underWay ? &may : nullptr, underWay, reading.contents, &verdict);
    return verdict;
}
