// Register Time: entering, editing, deleting and undoing records as a person does, checked on
// the screen's state and in the store after the program ended.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

namespace
{
const QStringList clock = {"--clock", "2026-12-07T09:30:00"};

TEST(RegisterTime, ANewRecordOpensEmptyAndOkAtOnceBeepsOnTheMinutes)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run("menu 40003\nstate\nclick 1014\nstate\nclick 1013\nstate\n", clock);
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject open = run.State(0);
    EXPECT_EQ(Dialogs(open), QJsonArray{108});
    EXPECT_EQ(ControlText(open, 1008), "00");
    EXPECT_EQ(ControlText(open, 1009), "00");
    EXPECT_EQ(ControlText(open, 1011), "");
    EXPECT_EQ(Control(open, 1011).value("limit").toInt(), 29);
    EXPECT_FALSE(Control(open, 1012).value("visible").toBool()) << "no Delete for a new record";
    EXPECT_EQ(open.value("focus").toInt(), 1009);
    EXPECT_FALSE(open.value("sip").toBool());

    QJsonObject refused = run.State(1);
    EXPECT_EQ(Dialogs(refused), QJsonArray{108}) << "a zero duration keeps the dialog open";
    EXPECT_EQ(refused.value("focus").toInt(), 1009);
    EXPECT_EQ(run.Of("beep").size(), 1u);
    EXPECT_TRUE(run.Of("messagebox").empty());

    EXPECT_TRUE(Dialogs(run.State(2)).isEmpty());
    EXPECT_TRUE(run.Of("sound").empty());
    EXPECT_TRUE(StoredRecords(device).isEmpty());
}

TEST(RegisterTime, ANewRecordIsStoredShownLastSelectedAndAnnouncedBySound)
{
    DeviceUnderTest device;
    device.PutRecord(1, 3, 4, 2026, "Job", 90, "");
    RunOutcome run =
        device.Run("menu 40003\ndate 1007 2025-01-02\npick 1009 \"10\"\n"
                   "pick 1010 \"Reading\"\ntype 1011 \"  lunch  \"\nclick 1014\nstate\n",
                   clock);
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject state = run.LastState();
    QStringList rows = RowTexts(state);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.last(), "02-01-2025 | Reading | 0:10") << "an early date still goes last";
    QJsonArray listRows = state.value("list").toObject().value("rows").toArray();
    EXPECT_TRUE(listRows.last().toObject().value("selected").toBool());
    EXPECT_EQ(listRows.last().toObject().value("image").toInt(), 3);
    ASSERT_EQ(run.Of("sound").size(), 1u);
    EXPECT_EQ(run.Of("sound")[0].value("name").toString(), "IDW_TIME_ADDED");
    EXPECT_TRUE(StoredRecords(device).contains("2 1 2025 Reading 10 lunch"))
        << StoredRecords(device).join("; ").toStdString();

    // At the next start the record takes its place by date.
    RunOutcome again = device.Run("state\n");
    EXPECT_EQ(RowTexts(again.LastState()).first(), "02-01-2025 | Reading | 0:10");
}

TEST(RegisterTime, TheLargestDurationTheListsOfferIsAccepted)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run(
        "menu 40003\npick 1008 \"23\"\npick 1009 \"50\"\npick 1010 \"Job\"\nclick 1014\nstate\n",
        clock);
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(RowTexts(run.LastState()), QStringList{"07-12-2026 | Job | 23:50"});
    EXPECT_EQ(StoredRecords(device), QStringList{"7 12 2026 Job 1430"});
}

TEST(RegisterTime, AnEditedRecordOfNinetyFiveMinutesShowsOneHourAndNoMinuteUntilOneIsChosen)
{
    DeviceUnderTest device;
    device.PutRecord(1, 3, 4, 2026, "Sport", 95, "Run");
    RunOutcome run = device.Run("row 0\nstate\nclick 1014\nstate\npick 1009 \"40\"\nclick 1014\n"
                                "state\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject open = run.State(0);
    EXPECT_EQ(ControlText(open, 1008), "01");
    EXPECT_TRUE(Control(open, 1009).value("selected").isNull());
    EXPECT_TRUE(Control(open, 1012).value("visible").toBool()) << "Delete shows in edit mode";
    EXPECT_EQ(ControlText(open, 1011), "Run");
    EXPECT_EQ(ControlText(open, 1010), "Sport");
    EXPECT_EQ(Dialogs(run.State(1)), QJsonArray{108});
    EXPECT_EQ(RowTexts(run.State(2)), QStringList{"03-04-2026 | Sport | 1:40"});
    EXPECT_TRUE(run.Of("sound").empty()) << "editing makes no sound";
    EXPECT_EQ(StoredRecords(device), QStringList{"3 4 2026 Sport 100 Run"});
}

// A stored duration above 24 hours 59 minutes never reaches the dialog: the load refuses it.
// The longest a record can hold, 24:59, opens with neither list showing it and must be re-entered.
TEST(RegisterTime, TheLongestStoredDurationOpensWithNothingChosenAndOkBeeps)
{
    DeviceUnderTest device;
    device.PutRecord(1, 3, 4, 2026, "Job", 1499, "Keep me");
    RunOutcome run = device.Run("row 0\nstate\nclick 1014\nstate\nclick 1013\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_TRUE(run.Of("messagebox").empty());
    QJsonObject state = run.State(0);
    EXPECT_TRUE(Control(state, 1008).value("selected").isNull()) << "no hour 24 is offered";
    EXPECT_TRUE(Control(state, 1009).value("selected").isNull());
    EXPECT_EQ(ControlText(state, 1011), "Keep me");
    EXPECT_EQ(Dialogs(run.State(1)), QJsonArray{108});
    EXPECT_EQ(run.Of("beep").size(), 1u);
    EXPECT_EQ(StoredRecords(device), QStringList{"3 4 2026 Job 1499 Keep me"});
}

TEST(RegisterTime, TheRecordsOwnCategoryIsShownWhenAnotherNameStartsWithIt)
{
    DeviceUnderTest device;
    device.PutRecord(1, 3, 4, 2026, "Job", 90, "");
    int code = 0;
    device.Store({"create-database", "Ulmra ZentallyCustom"}, &code);
    const char* const names[] = {"Job2", "Job", "Reading"};
    for (int i = 0; i < 3; ++i)
        device.Store({"put-record", "Ulmra ZentallyCustom", QString("0x00000013=%1").arg(i),
                      QString("0x0001001F=") + names[i]});
    RunOutcome run = device.Run("row 0\nstate\nclick 1014\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(ControlText(run.LastState(), 1010), "Job");
    EXPECT_EQ(StoredRecords(device), QStringList{"3 4 2026 Job 90"});
}

TEST(RegisterTime, DeletedRecordsComeBackNewestFirstWithoutSound)
{
    DeviceUnderTest device;
    device.PutRecord(1, 1, 1, 2026, "Job", 10, "A");
    device.PutRecord(2, 2, 1, 2026, "Job", 20, "B");
    device.PutRecord(3, 3, 1, 2026, "Job", 30, "C");
    std::string deleteFirstRow = "row 0\nclick 1012\nanswer yes\n";
    RunOutcome run = device.Run(deleteFirstRow + deleteFirstRow + deleteFirstRow +
                                "state\nmenu 40050\nmenu 40050\nstate\nmenu 40050\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject empty = run.State(0);
    EXPECT_TRUE(RowTexts(empty).isEmpty());
    EXPECT_EQ(MenuItem(empty, 40050).value("state").toString(), "enabled");
    EXPECT_EQ(MenuItem(empty, 40021).value("state").toString(), "grayed");
    EXPECT_EQ(RowTexts(run.State(1)),
              (QStringList{"03-01-2026 | Job | 0:30", "02-01-2026 | Job | 0:20"}));
    QJsonObject restored = run.State(2);
    EXPECT_EQ(RowTexts(restored).last(), "01-01-2026 | Job | 0:10");
    EXPECT_EQ(MenuItem(restored, 40050).value("state").toString(), "grayed");
    EXPECT_EQ(MenuItem(restored, 40053).value("state").toString(), "grayed");
    EXPECT_EQ(MenuBarEntry(restored, 553).value("state").toString(), "indeterminate");
    EXPECT_TRUE(run.Of("sound").empty());
    EXPECT_EQ(StoredRecords(device).size(), 3);
}

TEST(RegisterTime, DeclinedDeletionsLeaveTheRecordEverywhere)
{
    DeviceUnderTest device;
    device.PutRecord(1, 1, 1, 2026, "Job", 10, "A");
    RunOutcome run = device.Run("row 0\nclick 1012\nanswer no\nstate\nclick 1013\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(Dialogs(run.State(0)), QJsonArray{108});
    EXPECT_EQ(run.State(0).value("focus").toInt(), 1009);
    EXPECT_EQ(RowTexts(run.State(1)).size(), 1);
    EXPECT_EQ(MenuItem(run.State(1), 40050).value("state").toString(), "grayed");
    EXPECT_EQ(StoredRecords(device).size(), 1);
}

TEST(RegisterTime, TheThirteenthDeletionAsksAndNoKeepsTheRecordYesDropsTheOldestCopy)
{
    DeviceUnderTest device;
    for (int i = 0; i < 13; ++i)
        device.PutRecord(100 + i, 1 + i, 1, 2026, "Job", 10 + i, "");
    std::string script;
    for (int i = 0; i < 12; ++i)
        script += "row 0\nclick 1012\nanswer yes\n";
    script += "row 0\nclick 1012\nanswer yes\nanswer no\nstate\nclick 1013\nstate\n";
    script += "row 0\nclick 1012\nanswer yes\nanswer yes\nstate\n";
    RunOutcome run = device.Run(script);
    ASSERT_EQ(run.ScriptError(), "");
    std::vector<QJsonObject> boxes = run.Of("messagebox");
    ASSERT_EQ(boxes.size(), 16u);
    EXPECT_EQ(boxes[13].value("text").toString(),
              "The Undo can hold only 12 records. Deleting this record will add it to the end "
              "and discard the first record. Do you want to delete it anyway?");
    EXPECT_EQ(Dialogs(run.State(0)), QJsonArray{108}) << "No abandons the deletion";
    EXPECT_EQ(RowTexts(run.State(1)).size(), 1);
    EXPECT_TRUE(RowTexts(run.State(2)).isEmpty());
    EXPECT_TRUE(StoredRecords(device).isEmpty());
}

TEST(RegisterTime, EmptyUndoForgetsTheDeletedRecords)
{
    DeviceUnderTest device;
    device.PutRecord(1, 1, 1, 2026, "Job", 10, "A");
    RunOutcome run = device.Run("row 0\nclick 1012\nanswer yes\nmenu 40053\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(MenuItem(run.LastState(), 40050).value("state").toString(), "grayed");
    EXPECT_EQ(MenuItem(run.LastState(), 40053).value("state").toString(), "grayed");
    RunOutcome refused = device.Run("menu 40053\n");
    EXPECT_EQ(refused.exitCode, 2) << "greyed on an empty undo store";
}

TEST(RegisterTime, TheWideLayoutPutsTheButtonsInAColumnOnTheRight)
{
    struct Case {
        QString screen;
        QList<int> ok;
        QList<int> cancel;
    };
    const Case cases[] = {
        {"240x320", {163, 150, 70, 24}, {5, 150, 70, 24}},
        {"320x240", {250, 77, 65, 24}, {250, 39, 65, 24}},
    };
    for (const Case& c : cases) {
        DeviceUnderTest device;
        RunOutcome run = device.Run("menu 40003\nstate\nclick 1013\n", {"--screen", c.screen});
        ASSERT_EQ(run.ScriptError(), "") << c.screen.toStdString();
        auto rect = [&](int id) {
            QList<int> r;
            for (const auto& v : Control(run.LastState(), id).value("rect").toArray())
                r << v.toInt();
            return r;
        };
        EXPECT_EQ(rect(1014), c.ok) << c.screen.toStdString();
        EXPECT_EQ(rect(1013), c.cancel) << c.screen.toStdString();
    }
}
} // namespace
