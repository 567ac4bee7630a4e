#include "tests/reliability/soak_script.h"

#include <algorithm>
#include <cstdio>

namespace
{
const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The day of 2026 numbered from 0 as year * 10000 + month * 100 + day, and back.
int DateOfDay(int dayOfYear)
{
    dayOfYear = std::clamp(dayOfYear, 0, 364);
    int month = 0;
    while (dayOfYear >= monthDays[month])
        dayOfYear -= monthDays[month++];
    return 20260000 + (month + 1) * 100 + dayOfYear + 1;
}

int DayOfDate(int date)
{
    int day = date % 100 - 1;
    for (int m = 0; m < date / 100 % 100 - 1; ++m)
        day += monthDays[m];
    return day;
}

std::string DateText(int date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date / 10000, date / 100 % 100, date % 100);
    return text;
}

std::string TwoDigits(int n)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

bool Remove(std::vector<std::string>& names, const std::string& name)
{
    auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end())
        return false;
    names.erase(found);
    return true;
}

class Builder
{
  public:
    void Line(const std::string& line) { text += line + "\n"; }
    int State()
    {
        Line("state");
        return states++;
    }
    std::string text;
    int states = 0;
};

// The script of a round, written while the model follows it.
class Writer
{
  public:
    Writer(const Model& start, bool applyChecked, int round, std::mt19937_64& rng)
        : sim_(start), apply_(applyChecked), round_(round), rng_(rng),
          count_(static_cast<int>(start.stored.records.size()))
    {
    }

    Script Write();

  private:
    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    const std::string& AnyCategory() { return sim_.list[Uniform(0, int(sim_.list.size()) - 1)]; }
    std::string Tag() { return std::to_string(round_) + "x" + std::to_string(serial_++); }

    // A record of 2026 with a duration the dialog's lists can give (never zero).
    Record Fresh(const std::string& memo);
    void Fields(const Record& r);
    void SetApply(bool wanted);
    void Finish(Change& c, bool updateSim);

    void NewRecord();
    void EditRecord();
    void DeleteRecord();
    void UndoDeleting();
    void NewCategory();
    void RenameCategory();
    void DeleteCategory();
    void DeleteByRange();
    void Export();

    Model sim_; // exact while no row was tapped
    bool apply_;
    int round_;
    std::mt19937_64& rng_;
    int count_; // records the program holds
    int deletions_ = 0, undoable_ = 0, serial_ = 0;
    Builder b_;
    std::vector<Change> changes_;
};

Record Writer::Fresh(const std::string& memo)
{
    Record r;
    int date = DateOfDay(Uniform(0, 364));
    r.year = date / 10000;
    r.month = date / 100 % 100;
    r.day = date % 100;
    r.category = AnyCategory();
    r.minutes = Uniform(0, 9) * 60 + Uniform(0, 5) * 10;
    if (r.minutes == 0)
        r.minutes = 50;
    r.memo = memo;
    return r;
}

void Writer::Fields(const Record& r)
{
    b_.Line("date 1007 " + DateText(r.Date()));
    b_.Line("pick 1008 \"" + TwoDigits(r.minutes / 60) + "\"");
    b_.Line("pick 1009 \"" + TwoDigits(r.minutes % 60) + "\"");
    b_.Line("pick 1010 \"" + r.category + "\"");
}

void Writer::SetApply(bool wanted)
{
    if (wanted != apply_)
        b_.Line("click 1042");
    apply_ = wanted;
}

void Writer::Finish(Change& c, bool updateSim)
{
    if (updateSim)
        Apply(sim_, c, "");
    changes_.push_back(c);
}

void Writer::NewRecord()
{
    Change c;
    c.kind = ChangeKind::NewRecord;
    c.record = Fresh("n" + Tag());
    b_.Line("menu 40003");
    Fields(c.record);
    b_.Line("type 1011 \"" + c.record.memo + "\"");
    c.preState = b_.State();
    b_.Line("click 1014");
    c.postState = b_.State();
    ++count_;
    Finish(c, true);
}

void Writer::EditRecord()
{
    Change c;
    c.kind = ChangeKind::EditRecord;
    c.record = Fresh("");
    b_.Line("row " + std::to_string(Uniform(0, count_ - 1)));
    c.identifyState = b_.State();
    Fields(c.record);
    c.preState = b_.State();
    b_.Line("click 1014");
    c.postState = b_.State();
    Finish(c, false);
}

void Writer::DeleteRecord()
{
    Change c;
    c.kind = ChangeKind::DeleteRecord;
    b_.Line("row " + std::to_string(Uniform(0, count_ - 1)));
    c.identifyState = b_.State();
    b_.Line("click 1012");
    c.preState = b_.State();
    b_.Line("answer yes");
    c.postState = b_.State();
    --count_;
    ++deletions_;
    ++undoable_;
    Finish(c, false);
}

void Writer::UndoDeleting()
{
    Change c;
    c.kind = ChangeKind::UndoDeleting;
    c.preState = b_.State();
    b_.Line("menu 40050");
    c.postState = b_.State();
    ++count_;
    --undoable_;
    Finish(c, false);
}

void Writer::NewCategory()
{
    Change c;
    c.kind = ChangeKind::NewCategory;
    c.name = "Cat" + Tag();
    b_.Line("menu 40019");
    b_.Line("click 1032");
    b_.Line("type 1044 \"" + c.name + "\"");
    c.preState = b_.State();
    b_.Line("click 1045");
    c.postState = b_.State();
    b_.Line("click ok");
    Finish(c, true);
}

void Writer::RenameCategory()
{
    Change c;
    c.kind = ChangeKind::RenameCategory;
    c.name = AnyCategory();
    c.newName = "Ren" + Tag();
    c.apply = Chance(0.8);
    b_.Line("menu 40019");
    SetApply(c.apply);
    b_.Line("pick 1041 \"" + c.name + "\"");
    b_.Line("click 1033");
    b_.Line("type 1037 \"" + c.newName + "\"");
    c.preState = b_.State();
    b_.Line("click 1038");
    c.postState = b_.State();
    b_.Line("click ok");
    Finish(c, true);
}

void Writer::DeleteCategory()
{
    Change c;
    c.kind = ChangeKind::DeleteCategory;
    c.name = AnyCategory();
    c.apply = Chance(0.6);
    b_.Line("menu 40019");
    SetApply(c.apply);
    b_.Line("pick 1041 \"" + c.name + "\"");
    b_.Line("click 1034");
    c.preState = b_.State();
    b_.Line("answer yes");
    c.postState = b_.State();
    b_.Line("click ok");
    if (c.apply)
        for (const auto& [memo, r] : sim_.stored.records)
            count_ -= r.category == c.name;
    Finish(c, true);
}

// A range around a stored record's date, so that it always finds one at least.
void Writer::DeleteByRange()
{
    Change c;
    c.kind = ChangeKind::DeleteByRange;
    auto at = sim_.stored.records.begin();
    std::advance(at, Uniform(0, count_ - 1));
    int day = DayOfDate(at->second.Date());
    int wide = Chance(0.3) ? 60 : 12;
    c.from = DateOfDay(day - Uniform(0, wide));
    c.to = DateOfDay(day + Uniform(0, wide));
    for (const auto& [memo, r] : sim_.stored.records)
        c.expected += r.Date() >= c.from && r.Date() <= c.to;
    b_.Line("menu 40052");
    b_.Line("date 1112 " + DateText(c.from));
    b_.Line("date 1114 " + DateText(c.to));
    b_.Line("click 1115");
    c.preState = b_.State();
    b_.Line("answer yes");
    c.postState = b_.State();
    count_ -= c.expected;
    Finish(c, true);
}

void Writer::Export()
{
    Change c;
    c.kind = ChangeKind::Export;
    std::string stem = "Soak" + std::to_string(Uniform(1, 3));
    c.name = stem + ".csv";
    c.expected = count_ + 1;
    b_.Line("menu 40045");
    b_.Line("type 1073 \"" + stem + "\"");
    if (sim_.stored.exports.count(c.name)) {
        b_.Line("click 1083");
        c.preState = b_.State();
        b_.Line("answer yes");
    } else {
        c.preState = b_.State();
        b_.Line("click 1083");
    }
    b_.Line("answer ok");
    c.postState = b_.State();
    sim_.stored.exports[c.name] = c.expected;
    changes_.push_back(c);
}

Script Writer::Write()
{
    b_.State(); // the start, checked against the model
    int total = Uniform(3, 8);
    int manyFirst = Uniform(0, total);
    for (int i = 0; i < total; ++i) {
        // The weights of New, Edit, Delete, Undo, New category, Rename, Delete category,
        // Delete by range and Export; a change that cannot be done now weighs nothing.
        bool rows = i >= manyFirst;
        int listSize = static_cast<int>(sim_.list.size());
        double weights[] = {
            rows ? 2.0 : 3.0,
            rows && count_ > 0 ? 3.0 : 0,
            rows && count_ > 0 && deletions_ < 12 ? 2.0 : 0,
            rows && undoable_ > 0 ? 1.5 : 0,
            !rows && listSize < 8 ? 1.0 : 0,
            !rows && listSize > 0 ? 2.0 : 0,
            !rows && listSize >= 3 ? 1.0 : 0,
            !rows && count_ > 0 ? 1.5 : 0,
            count_ > 0 ? (rows ? 0.7 : 1.0) : 0,
        };
        switch (std::discrete_distribution<int>(std::begin(weights), std::end(weights))(rng_)) {
        case 0: NewRecord(); break;
        case 1: EditRecord(); break;
        case 2: DeleteRecord(); break;
        case 3: UndoDeleting(); break;
        case 4: NewCategory(); break;
        case 5: RenameCategory(); break;
        case 6: DeleteCategory(); break;
        case 7: DeleteByRange(); break;
        default: Export(); break;
        }
    }
    return {b_.text, changes_, b_.states};
}
} // namespace

const char* KindName(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::NewRecord: return "new-record";
    case ChangeKind::EditRecord: return "edit";
    case ChangeKind::DeleteRecord: return "delete";
    case ChangeKind::UndoDeleting: return "undo";
    case ChangeKind::NewCategory: return "new-category";
    case ChangeKind::RenameCategory: return "rename";
    case ChangeKind::DeleteCategory: return "delete-category";
    case ChangeKind::DeleteByRange: return "delete-by-range";
    case ChangeKind::Export: return "export";
    }
    return "?";
}

std::string Describe(const Change& c)
{
    std::string carried = c.apply ? " with its records" : " without its records";
    switch (c.kind) {
    case ChangeKind::NewRecord: return "new record " + Describe(c.record);
    case ChangeKind::EditRecord: return "edit of a tapped row to " + Describe(c.record).substr(2);
    case ChangeKind::DeleteRecord: return "deletion of a tapped row";
    case ChangeKind::UndoDeleting: return "undo deleting";
    case ChangeKind::NewCategory: return "new category " + c.name;
    case ChangeKind::RenameCategory: return "rename of " + c.name + " to " + c.newName + carried;
    case ChangeKind::DeleteCategory: return "deletion of category " + c.name + carried;
    case ChangeKind::DeleteByRange:
        return "delete by range " + DateText(c.from) + " to " + DateText(c.to) + " (" +
               std::to_string(c.expected) + " records)";
    case ChangeKind::Export:
        return "export to " + c.name + " (" + std::to_string(c.expected) + " lines)";
    }
    return "?";
}

Model ModelAtStart(const DeviceContents& stored)
{
    Model model;
    model.stored = stored;
    for (const std::string& name : stored.categories)
        if (std::find(model.list.begin(), model.list.end(), name) == model.list.end())
            model.list.push_back(name);
    if (model.list.empty())
        model.list = {"Job", "Reading", "Sport"};
    return model;
}

std::string Apply(Model& m, const Change& c, const std::string& target)
{
    Records& records = m.stored.records;
    switch (c.kind) {
    case ChangeKind::NewRecord: records[c.record.memo] = c.record; break;
    case ChangeKind::EditRecord: {
        auto found = records.find(target);
        if (found == records.end())
            return "the tapped row shows a record the model lacks: " + target;
        Record edited = c.record;
        edited.memo = target;
        found->second = edited;
        break;
    }
    case ChangeKind::DeleteRecord: {
        auto found = records.find(target);
        if (found == records.end())
            return "the tapped row shows a record the model lacks: " + target;
        m.undo.push_back(found->second);
        records.erase(found);
        break;
    }
    case ChangeKind::UndoDeleting:
        if (m.undo.empty())
            return "undo with nothing deleted";
        records[m.undo.back().memo] = m.undo.back();
        m.undo.pop_back();
        break;
    case ChangeKind::NewCategory:
        m.list.push_back(c.name);
        m.stored.categories = m.list;
        break;
    case ChangeKind::RenameCategory:
        if (!Remove(m.list, c.name))
            return "no category " + c.name;
        m.list.push_back(c.newName);
        m.stored.categories = m.list;
        for (auto& [memo, r] : records)
            if (c.apply && r.category == c.name)
                r.category = c.newName;
        break;
    case ChangeKind::DeleteCategory:
        if (!Remove(m.list, c.name))
            return "no category " + c.name;
        m.stored.categories = m.list;
        std::erase_if(records,
                      [&](const auto& r) { return c.apply && r.second.category == c.name; });
        break;
    case ChangeKind::DeleteByRange:
        std::erase_if(records, [&](const auto& r) {
            return r.second.Date() >= c.from && r.second.Date() <= c.to;
        });
        break;
    case ChangeKind::Export: m.stored.exports[c.name] = static_cast<int>(records.size()) + 1; break;
    }
    return "";
}

Script MakeScript(const Model& start, bool applyChecked, int round, std::mt19937_64& rng)
{
    return Writer(start, applyChecked, round, rng).Write();
}
