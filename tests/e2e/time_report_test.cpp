// The Time Report as a person uses it: a range of dates and a category give one total, All gives
// the list of totals per category, sorted by a tap on either header; Reset goes back to the range.
// The sort outlives the dialog and the program; the range is kept for the next report.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const QStringList clock = {"--clock", "2026-03-02T09:30:00"};
const QString settingsKey = "Software\\Ulmra\\Zentally\\Settings";

// Seven records over four days around 2 March, under the default categories Job, Reading and
// Sport; one under "job", which is not "Job", and one under a category nobody listed.
void PutRecords(const DeviceUnderTest& device)
{
    device.PutRecord(1, 28, 2, 2026, "Job", 60, "feb");
    device.PutRecord(2, 1, 3, 2026, "Job", 30, "first");
    device.PutRecord(3, 2, 3, 2026, "Sport", 90, "second a");
    device.PutRecord(4, 2, 3, 2026, "Reading", 20, "second b");
    device.PutRecord(5, 5, 3, 2026, "Job", 10, "fifth");
    device.PutRecord(6, 2, 3, 2026, "job", 45, "lower case");
    device.PutRecord(7, 2, 3, 2026, "Golf", 15, "unlisted");
}

void SetSetting(const DeviceUnderTest& device, const QString& name, int value)
{
    device.Store({"set-value", settingsKey, name, "dword", QString::number(value)});
}

std::string Range(const char* start, const char* end)
{
    return std::string("menu 40021\ndate 1053 ") + start + "\ndate 1054 " + end + "\n";
}

// "All" checked and Report pressed over a range.
std::string AllReport(const char* start, const char* end)
{
    return Range(start, end) + "click 1057\nclick 1058\n";
}

QJsonObject ReportList(const QJsonObject& state)
{
    return Control(state, 501);
}

// The list's rows as "name total".
QStringList ReportRows(const QJsonObject& state)
{
    QStringList rows;
    for (const auto& row : ReportList(state).value("rows").toArray()) {
        QJsonArray cells = row.toObject().value("cells").toArray();
        rows << cells[0].toString() + " " + cells[1].toString();
    }
    return rows;
}

// The header pictures of the two columns, "category time".
QString HeaderImages(const QJsonObject& state)
{
    QJsonArray columns = ReportList(state).value("columns").toArray();
    return QString("%1 %2")
        .arg(columns[0].toObject().value("image").toInt())
        .arg(columns[1].toObject().value("image").toInt());
}

bool Shown(const QJsonObject& state, int id)
{
    return Control(state, id).value("visible").toBool();
}

bool Enabled(const QJsonObject& state, int id)
{
    return Control(state, id).value("enabled").toBool();
}

TEST(TimeReport, OpensOnTheRangeWithEveryCategorySortedAndNoneChosen)
{
    DeviceUnderTest device;
    PutRecords(device);
    device.PutCategory(0, "Sport");
    device.PutCategory(1, "Apples");
    device.PutCategory(2, "Job");
    RunOutcome run = device.Run("menu 40021\nstate\nclick ok\n", clock);
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject state = run.State(0);
    EXPECT_EQ(Dialogs(state), QJsonArray{127});
    EXPECT_EQ(state.value("title").toString(), "Define time range");
    EXPECT_EQ(ControlText(state, 1053), "02/03/2026");
    EXPECT_EQ(ControlText(state, 1054), "02/03/2026");
    QJsonObject categories = Control(state, 1056);
    EXPECT_EQ(categories.value("items").toArray(), (QJsonArray{"Apples", "Job", "Sport"}));
    EXPECT_TRUE(categories.value("selected").isNull());
    EXPECT_FALSE(Control(state, 1057).value("checked").toBool());
    EXPECT_FALSE(Enabled(state, 1058));
    for (int hidden : {1059, 1060, 1061, 1062, 1063})
        EXPECT_FALSE(Shown(state, hidden)) << hidden;
    EXPECT_TRUE(ReportList(state).isEmpty());
    EXPECT_EQ(state.value("focus").toInt(), 1053);
    EXPECT_FALSE(state.value("sip").toBool());
}

TEST(TimeReport, OneCategoryTotalsItsRecordsOfTheRangeBothEndsIncluded)
{
    struct {
        const char* start;
        const char* end;
        const char* category;
        int timeView;
        const char* total;
    } cases[] = {
        {"2026-03-02", "2026-03-02", "Sport", 1, "1:30"},
        {"2026-03-02", "2026-03-02", "Sport", 0, "1,30"},
        {"2026-03-01", "2026-03-05", "Job", 1, "0:40"},
        {"2026-02-28", "2026-03-05", "Job", 1, "1:40"},
        {"2026-02-28", "2026-03-05", "Job", 0, "1,40"},
        {"2026-03-02", "2026-03-02", "Reading", 1, "0:20"},
        {"2026-03-02", "2026-03-02", "Job", 1, "0:0"}, // "job" is another category
        {"2026-03-03", "2026-03-04", "Job", 0, "0,0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.category) + " " + c.start + " to " + c.end);
        DeviceUnderTest device;
        PutRecords(device);
        SetSetting(device, "TimeTypeView", c.timeView);
        RunOutcome run = device.Run(Range(c.start, c.end) + "pick 1056 \"" + c.category +
                                        "\"\nclick 1058\nstate\nclick ok\n",
                                    clock);
        ASSERT_EQ(run.ScriptError(), "");
        EXPECT_TRUE(run.Of("messagebox").empty()) << "a total never comes with a message";
        QJsonObject state = run.LastState();
        EXPECT_EQ(ControlText(state, 1063), c.total);
        for (int shown : {1060, 1061, 1062, 1063})
            EXPECT_TRUE(Shown(state, shown)) << shown;
        for (int locked : {1053, 1054, 1056, 1057, 1058})
            EXPECT_FALSE(Enabled(state, locked)) << locked;
        EXPECT_TRUE(Control(state, 1060).value("default").toBool());
        EXPECT_FALSE(Shown(state, 1059));
    }
}

TEST(TimeReport, TotalsOfAThousandHoursAndMoreAreShownInFull)
{
    struct {
        int records; // of 1,000 minutes each, on 2 March
        int lastMinutes;
        const char* total;
    } cases[] = {
        {59, 999, "999:59"}, // 59,999 minutes
        {60, 0, "1000:00"},  // 60,000
        {100, 0, "1666:40"}, // 100,000
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        DeviceUnderTest device;
        // Stored minutes stay within a day: 1,000 each, and the rest in one more record.
        for (int i = 0; i < c.records; ++i)
            device.PutRecord(i + 1, 2, 3, 2026, "Job", 1000, "");
        if (c.lastMinutes)
            device.PutRecord(c.records + 1, 2, 3, 2026, "Job", c.lastMinutes, "");
        RunOutcome run =
            device.Run(Range("2026-03-02", "2026-03-02") +
                           "pick 1056 \"Job\"\nclick 1058\nstate\nclick 1060\nclick 1057\n"
                           "click 1058\nstate\nclick ok\n",
                       clock);
        ASSERT_EQ(run.ScriptError(), "");
        EXPECT_EQ(ControlText(run.State(0), 1063), c.total);
        EXPECT_EQ(ReportRows(run.State(1)).first(), QString("Job ") + c.total);
    }
}

TEST(TimeReport, AllListsEveryCategoryWithItsTotalAndTheZeroTextForNone)
{
    DeviceUnderTest device;
    PutRecords(device);
    RunOutcome run = device.Run(AllReport("2026-03-01", "2026-03-02") + "state\nclick ok\n", clock);
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_TRUE(run.Of("messagebox").empty());
    QJsonObject state = run.LastState();
    // "job" and "Golf" belong to no listed category.
    EXPECT_EQ(ReportRows(state), (QStringList{"Job 0:30", "Reading 0:20", "Sport 1:30"}));
    QJsonObject list = ReportList(state);
    EXPECT_TRUE(list.value("visible").toBool());
    QJsonArray columns = list.value("columns").toArray();
    EXPECT_EQ(columns[0].toObject().value("text").toString(), "Category");
    EXPECT_EQ(columns[1].toObject().value("text").toString(), "Time");
    EXPECT_EQ(columns[0].toObject().value("width").toInt(), 110);
    EXPECT_EQ(columns[1].toObject().value("width").toInt(), 95);
    EXPECT_EQ(HeaderImages(state), "0 2") << "sorted by name, ascending, as a first start has it";
    EXPECT_EQ(list.value("rows").toArray()[0].toObject().value("image").toInt(), 5);
    EXPECT_EQ(list.value("rect").toArray(), (QJsonArray{7, 160, 223, 92}));
    EXPECT_TRUE(Shown(state, 1059));
    EXPECT_FALSE(Shown(state, 1058));
    EXPECT_TRUE(Control(state, 1060).value("default").toBool());
    for (int locked : {1053, 1054, 1057})
        EXPECT_FALSE(Enabled(state, locked)) << locked;
}

TEST(TimeReport, RefusedRangesTellWhyAndKeepTheRangeView)
{
    struct {
        const char* start;
        const char* end;
        const char* message;
        const char* keptStart; // what the next Time Report opens on
    } cases[] = {
        {"2026-03-03", "2026-03-02", "Starts date must be earlier than Ends date!", "02/03/2026"},
        {"2026-03-03", "2026-03-04", "No Records found !", "03/03/2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        DeviceUnderTest device;
        PutRecords(device);
        RunOutcome run = device.Run(AllReport(c.start, c.end) +
                                        "answer ok\nstate\nclick ok\nmenu 40021\nstate\nclick ok\n",
                                    clock);
        ASSERT_EQ(run.ScriptError(), "");
        ASSERT_EQ(run.Of("messagebox").size(), 1u);
        EXPECT_EQ(run.Of("messagebox")[0].value("text").toString(), c.message);
        EXPECT_EQ(run.Of("messagebox")[0].value("icon").toString(), "exclamation");
        QJsonObject state = run.State(0);
        EXPECT_TRUE(ReportList(state).isEmpty());
        EXPECT_TRUE(Shown(state, 1058));
        EXPECT_TRUE(Enabled(state, 1053));
        EXPECT_EQ(state.value("focus").toInt(), 1053);
        EXPECT_EQ(ControlText(run.State(1), 1053), c.keptStart);
    }
}

TEST(TimeReport, ACategoryUnchosenBeepsAndTheRangeIsKeptForTheNextReport)
{
    DeviceUnderTest device;
    PutRecords(device);
    RunOutcome run = device.Run(Range("2026-02-28", "2026-03-05") +
                                    "click 1057\nclick 1057\nkey enter\nstate\nclick ok\n"
                                    "menu 40021\nstate\nclick ok\n",
                                clock);
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(run.Of("beep").size(), 1u) << "Report is greyed again once All is unchecked";
    EXPECT_TRUE(run.Of("messagebox").empty());
    EXPECT_FALSE(Enabled(run.State(0), 1058));
    EXPECT_TRUE(Shown(run.State(0), 1056));
    // Nothing was reported, so the next report opens on the program's start date.
    EXPECT_EQ(ControlText(run.State(1), 1053), "02/03/2026");
}

TEST(TimeReport, ResetGoesBackToTheRangeFromEitherResult)
{
    for (bool all : {false, true}) {
        SCOPED_TRACE(all ? "All" : "one category");
        DeviceUnderTest device;
        PutRecords(device);
        std::string script = Range("2026-03-01", "2026-03-02") +
                             (all ? "click 1057\n" : "pick 1056 \"Sport\"\n") +
                             "click 1058\nclick 1060\nstate\nclick ok\n";
        RunOutcome run = device.Run(script, clock);
        ASSERT_EQ(run.ScriptError(), "");
        QJsonObject state = run.LastState();
        EXPECT_TRUE(ReportList(state).isEmpty());
        for (int hidden : {1059, 1060, 1061, 1062, 1063})
            EXPECT_FALSE(Shown(state, hidden)) << hidden;
        for (int open : {1053, 1054, 1056, 1057, 1058})
            EXPECT_TRUE(Shown(state, open) && Enabled(state, open)) << open;
        EXPECT_FALSE(Control(state, 1057).value("checked").toBool());
        EXPECT_TRUE(Control(state, 1058).value("default").toBool());
        EXPECT_EQ(ControlText(state, 1053), "01/03/2026") << "the range stays as it was";
    }
}

TEST(TimeReport, HeaderTapsSortByEitherColumnAndTheSortOutlivesTheProgram)
{
    DeviceUnderTest device;
    PutRecords(device);
    // Totals on 1-2 March: Job 30, Reading 20, Sport 90.
    RunOutcome run = device.Run(AllReport("2026-03-01", "2026-03-02") +
                                    "header 0\nstate\n" // name, descending
                                    "header 1\nstate\n" // time keeps the direction
                                    "header 1\nstate\n" // time, ascending
                                    "header 0\nstate\n" // name, ascending again
                                    "header 1\nstate\n" // time, ascending
                                    "click ok\n",
                                clock);
    ASSERT_EQ(run.ScriptError(), "");
    struct {
        QStringList rows;
        const char* images;
    } expected[] = {
        {{"Sport 1:30", "Reading 0:20", "Job 0:30"}, "1 2"},
        {{"Sport 1:30", "Job 0:30", "Reading 0:20"}, "2 1"},
        {{"Reading 0:20", "Job 0:30", "Sport 1:30"}, "2 0"},
        {{"Job 0:30", "Reading 0:20", "Sport 1:30"}, "0 2"},
        {{"Reading 0:20", "Job 0:30", "Sport 1:30"}, "2 0"},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ReportRows(run.State(i)), expected[i].rows);
        EXPECT_EQ(HeaderImages(run.State(i)), expected[i].images);
    }
    QJsonObject settings = RegistryKey(device.Dump(), settingsKey);
    EXPECT_EQ(DwordValue(settings, "SortRapport"), 1);
    EXPECT_EQ(DwordValue(settings, "SortOrderRapport"), 0);

    RunOutcome again = device.Run(AllReport("2026-03-01", "2026-03-02") + "state\nclick ok\n");
    ASSERT_EQ(again.ScriptError(), "");
    EXPECT_EQ(ReportRows(again.LastState()), expected[4].rows);
    EXPECT_EQ(HeaderImages(again.LastState()), "2 0");
}

TEST(TimeReport, StoredSortsAreAppliedAsTheyStand)
{
    struct {
        int column;
        int order;
        const char* images;
        QStringList rows;
    } cases[] = {
        {0, 1, "1 2", {"Sport 1:30", "Reading 0:20", "Job 0:30"}},
        {0, 2, "0 2", {"Job 0:30", "Reading 0:20", "Sport 1:30"}},
        {1, 1, "2 1", {"Sport 1:30", "Job 0:30", "Reading 0:20"}},
        {1, 2, "0 2", {"Job 0:30", "Reading 0:20", "Sport 1:30"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.images);
        DeviceUnderTest device;
        PutRecords(device);
        SetSetting(device, "SortRapport", c.column);
        SetSetting(device, "SortOrderRapport", c.order);
        RunOutcome run =
            device.Run(AllReport("2026-03-01", "2026-03-02") + "state\nclick ok\n", clock);
        ASSERT_EQ(run.ScriptError(), "");
        EXPECT_EQ(HeaderImages(run.LastState()), c.images);
        EXPECT_EQ(ReportRows(run.LastState()), c.rows);
    }
}

TEST(TimeReport, ClosingBeforeAnyAllReportOfTheRunWritesNameAscending)
{
    DeviceUnderTest device;
    PutRecords(device);
    SetSetting(device, "SortRapport", 1);
    SetSetting(device, "SortOrderRapport", 1);
    RunOutcome run = device.Run("menu 40021\nclick ok\n", clock);
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject settings = RegistryKey(device.Dump(), settingsKey);
    EXPECT_EQ(DwordValue(settings, "SortRapport"), 0);
    EXPECT_EQ(DwordValue(settings, "SortOrderRapport"), 0);
}

TEST(TimeReport, OnlyAHundredCategoriesAreListedAndThePersonIsToldAtEveryFill)
{
    DeviceUnderTest device;
    for (int i = 0; i < 101; ++i)
        device.PutCategory(i, QString("C%1").arg(i, 3, 10, QChar('0')));
    device.PutRecord(1, 2, 3, 2026, "C100", 5, "");
    RunOutcome run = device.Run(AllReport("2026-03-02", "2026-03-02") +
                                    "answer ok\nstate\nheader 1\nanswer ok\nheader 1\nanswer ok\n"
                                    "state\nclick ok\n",
                                clock);
    ASSERT_EQ(run.ScriptError(), "");
    ASSERT_EQ(run.Of("messagebox").size(), 3u);
    EXPECT_TRUE(run.Of("messagebox")[0].value("text").toString().startsWith(
        "Current version Zentally supports only 100 category items."));
    QStringList byName = ReportRows(run.State(0));
    ASSERT_EQ(byName.size(), 100);
    EXPECT_EQ(byName.last(), "C099 0:0");
    // By time, descending (the second tap): the one category with time comes first.
    QStringList byTime = ReportRows(run.State(1));
    ASSERT_EQ(byTime.size(), 100);
    EXPECT_EQ(byTime.first(), "C100 0:05");
}

TEST(TimeReport, TurningTheScreenPlacesTheListAnewWithItsSortAndTotals)
{
    DeviceUnderTest device;
    PutRecords(device);
    RunOutcome run = device.Run(AllReport("2026-03-01", "2026-03-02") +
                                    "header 1\nrotate\nstate\nrotate\nstate\nclick ok\n",
                                clock);
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject wide = run.State(0);
    QJsonObject list = ReportList(wide);
    EXPECT_EQ(list.value("rect").toArray(), (QJsonArray{172, 13, 142, 110}));
    QJsonArray columns = list.value("columns").toArray();
    EXPECT_EQ(columns[0].toObject().value("width").toInt(), 78);
    EXPECT_EQ(columns[1].toObject().value("width").toInt(), 60);
    EXPECT_EQ(ReportRows(wide), (QStringList{"Reading 0:20", "Job 0:30", "Sport 1:30"}));
    EXPECT_EQ(HeaderImages(wide), "2 0");
    EXPECT_EQ(Control(wide, 1060).value("rect").toArray(), (QJsonArray{91, 133, 77, 21}));
    EXPECT_TRUE(Shown(wide, 1059));
    QJsonObject narrow = run.State(1);
    EXPECT_EQ(ReportList(narrow).value("rect").toArray(), (QJsonArray{7, 160, 223, 92}));
    EXPECT_EQ(ReportRows(narrow), ReportRows(wide));
}

TEST(TimeReport, TheWideLayoutPutsTheSingleTotalBesideTheRange)
{
    DeviceUnderTest device;
    PutRecords(device);
    RunOutcome run = device.Run(Range("2026-03-02", "2026-03-02") +
                                    "pick 1056 \"Sport\"\nclick 1058\nstate\nclick ok\n",
                                QStringList(clock) << "--screen"
                                                   << "320x240");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject state = run.LastState();
    EXPECT_EQ(Control(state, 1061).value("rect").toArray(), (QJsonArray{194, 5, 120, 80}));
    EXPECT_EQ(Control(state, 1063).value("rect").toArray(), (QJsonArray{211, 50, 80, 18}));
    EXPECT_EQ(Control(state, 1050).value("rect").toArray(), (QJsonArray{6, 5, 163, 70}));
    EXPECT_EQ(ControlText(state, 1063), "1:30");
}

TEST(TimeReport, ExportOpensTheReportsOwnOptionsAndComesBackToTheList)
{
    DeviceUnderTest device;
    PutRecords(device);
    RunOutcome run = device.Run(AllReport("2026-03-01", "2026-03-02") +
                                    "click 1059\nstate\nclick 1103\nstate\nclick ok\n",
                                clock);
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(Dialogs(run.State(0)), (QJsonArray{127, 1091}));
    EXPECT_TRUE(run.State(0).value("sip").toBool()) << "the options raise the panel for the name";
    QJsonObject back = run.State(1);
    EXPECT_EQ(Dialogs(back), QJsonArray{127});
    EXPECT_TRUE(Control(back, 1060).value("default").toBool());
    EXPECT_EQ(ReportRows(back).size(), 3);
}
} // namespace
