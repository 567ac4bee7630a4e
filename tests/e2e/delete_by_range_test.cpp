// Delete by Range as a person uses it: the records of a range of dates found, counted, and after
// a Yes deleted for good, checked on the screen and in the store after the program ended.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const QStringList clock = {"--clock", "2026-03-02T09:30:00"};

// Five records over four days; two on 2 March.
void PutRecords(const DeviceUnderTest& device)
{
    device.PutRecord(1, 28, 2, 2026, "Job", 60, "feb");
    device.PutRecord(2, 1, 3, 2026, "Job", 30, "first");
    device.PutRecord(3, 2, 3, 2026, "Sport", 90, "second a");
    device.PutRecord(4, 2, 3, 2026, "Reading", 20, "second b");
    device.PutRecord(5, 5, 3, 2026, "Job", 10, "fifth");
}

std::string Range(const char* start, const char* end)
{
    return std::string("menu 40052\ndate 1112 ") + start + "\ndate 1114 " + end + "\n";
}

QStringList Memos(const DeviceUnderTest& device)
{
    QStringList memos;
    for (const QString& record : StoredRecords(device))
        memos << record.section(' ', 5, -1);
    return memos;
}

TEST(DeleteByRange, OpensOnTodayWithTheStartPickerFocusedAndKeepsNoDateItWasGiven)
{
    DeviceUnderTest device;
    PutRecords(device);
    RunOutcome run = device.Run(Range("2026-01-01", "2026-01-31") + "click 1116\nmenu 40052\n"
                                                                    "state\nclick 1116\n",
                                clock);
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject state = run.LastState();
    EXPECT_EQ(Dialogs(state), QJsonArray{129});
    EXPECT_EQ(ControlText(state, 1112), "02/03/2026");
    EXPECT_EQ(ControlText(state, 1114), "02/03/2026");
    EXPECT_EQ(state.value("focus").toInt(), 1112);
    EXPECT_FALSE(state.value("sip").toBool());
    EXPECT_EQ(StoredRecords(device).size(), 5);
}

TEST(DeleteByRange, TheRangeIncludesBothEndsAndTheQuestionCountsTheRecordsFound)
{
    struct {
        const char* start;
        const char* end;
        const char* question;
        QStringList kept;
    } cases[] = {
        {"2026-03-02",
         "2026-03-02",
         "2 records will be deleted. Continue?",
         {"feb", "first", "fifth"}},
        {"2026-03-01", "2026-03-04", "3 records will be deleted. Continue?", {"feb", "fifth"}},
        {"2026-03-05",
         "2026-03-31",
         "1 records will be deleted. Continue?",
         {"feb", "first", "second a", "second b"}},
        {"2026-02-01", "2026-04-30", "5 records will be deleted. Continue?", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " to " + c.end);
        DeviceUnderTest device;
        PutRecords(device);
        RunOutcome run =
            device.Run(Range(c.start, c.end) + "click 1115\nanswer yes\nstate\n", clock);
        ASSERT_EQ(run.ScriptError(), "");
        ASSERT_EQ(run.Of("messagebox").size(), 1u);
        QJsonObject box = run.Of("messagebox")[0];
        EXPECT_EQ(box.value("text").toString(), c.question);
        EXPECT_EQ(box.value("icon").toString(), "exclamation");
        EXPECT_EQ(box.value("buttons").toString(), "yesno");
        QJsonObject state = run.LastState();
        EXPECT_TRUE(Dialogs(state).isEmpty());
        EXPECT_EQ(RowTexts(state).size(), c.kept.size());
        EXPECT_EQ(Memos(device), c.kept);
    }
}

TEST(DeleteByRange, RefusedRangesTellWhyAndDeleteNothing)
{
    struct {
        const char* start;
        const char* end;
        const char* message;
    } cases[] = {
        {"2026-03-03", "2026-03-02", "Starts date must be earlier than Ends date!"},
        {"2026-03-03", "2026-03-04", "No Records found !"},
        {"2026-04-01", "2026-04-01", "No Records found !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " to " + c.end);
        DeviceUnderTest device;
        PutRecords(device);
        RunOutcome run = device.Run(Range(c.start, c.end) + "click 1115\nanswer ok\nstate\n"
                                                            "click 1116\n",
                                    clock);
        ASSERT_EQ(run.ScriptError(), "");
        ASSERT_EQ(run.Of("messagebox").size(), 1u);
        EXPECT_EQ(run.Of("messagebox")[0].value("text").toString(), c.message);
        EXPECT_EQ(run.Of("messagebox")[0].value("icon").toString(), "exclamation");
        QJsonObject state = run.LastState();
        EXPECT_EQ(Dialogs(state), QJsonArray{129}) << "the dialog stays open";
        EXPECT_EQ(state.value("focus").toInt(), 1112);
        EXPECT_EQ(StoredRecords(device).size(), 5);
    }
}

TEST(DeleteByRange, NoKeepsTheDialogAsItWasAndASecondFindAsksAgain)
{
    DeviceUnderTest device;
    PutRecords(device);
    RunOutcome run = device.Run(Range("2026-03-01", "2026-03-02") +
                                    "click 1115\nanswer no\nstate\ndate 1114 2026-03-01\n"
                                    "click 1115\nanswer yes\nstate\n",
                                clock);
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject after = run.State(0);
    EXPECT_EQ(Dialogs(after), QJsonArray{129});
    EXPECT_EQ(ControlText(after, 1112), "01/03/2026");
    EXPECT_EQ(ControlText(after, 1114), "02/03/2026");
    ASSERT_EQ(run.Of("messagebox").size(), 2u);
    EXPECT_EQ(run.Of("messagebox")[1].value("text").toString(),
              "1 records will be deleted. Continue?");
    EXPECT_EQ(Memos(device), (QStringList{"feb", "second a", "second b", "fifth"}));
}

TEST(DeleteByRange, CancelAndTheOkButtonCloseWithoutDeleting)
{
    for (const char* close : {"click 1116\n", "click ok\n"}) {
        SCOPED_TRACE(close);
        DeviceUnderTest device;
        PutRecords(device);
        RunOutcome run = device.Run(Range("2026-02-01", "2026-04-30") + close + "state\n", clock);
        ASSERT_EQ(run.ScriptError(), "");
        EXPECT_TRUE(Dialogs(run.LastState()).isEmpty());
        EXPECT_TRUE(run.Of("messagebox").empty());
        EXPECT_EQ(RowTexts(run.LastState()).size(), 5);
        EXPECT_EQ(StoredRecords(device).size(), 5);
    }
}

// The deleted records are gone for good: Undo Deleting keeps what it held before, and with no
// record left the commands that need records are greyed.
TEST(DeleteByRange, DeletingEveryRecordGreysTheRecordCommandsAndLeavesUndoAsItWas)
{
    DeviceUnderTest device;
    PutRecords(device);
    RunOutcome run =
        device.Run("row 0\nclick 1012\nanswer yes\n" + Range("2026-02-01", "2026-04-30") +
                       "click 1115\nanswer yes\nstate\nmenu 40050\nstate\n",
                   clock);
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject emptied = run.State(0);
    EXPECT_TRUE(RowTexts(emptied).isEmpty());
    for (int command : {40021, 40045, 40052})
        EXPECT_EQ(MenuItem(emptied, command).value("state").toString(), "grayed") << command;
    EXPECT_EQ(MenuItem(emptied, 40050).value("state").toString(), "enabled");
    EXPECT_EQ(RowTexts(run.State(1)), QStringList{"28-02-2026 | Job | 1:00"})
        << "only the record deleted on its own comes back";
    EXPECT_EQ(Memos(device), QStringList{"feb"});
}

// Two stored records may share a key; each found record is deleted as itself.
TEST(DeleteByRange, OfTwoRecordsWithOneKeyOnlyTheOneInTheRangeGoes)
{
    DeviceUnderTest device;
    device.PutRecord(7, 1, 3, 2026, "Job", 30, "outside");
    device.PutRecord(7, 2, 3, 2026, "Job", 30, "inside");
    device.PutRecord(8, 3, 3, 2026, "Job", 30, "after");
    RunOutcome run =
        device.Run(Range("2026-03-02", "2026-03-02") + "click 1115\nanswer yes\nstate\n", clock);
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(Memos(device), (QStringList{"outside", "after"}));
    EXPECT_EQ(RowTexts(run.LastState()),
              (QStringList{"01-03-2026 | Job | 0:30", "03-03-2026 | Job | 0:30"}));
}

TEST(DeleteByRange, TheWideLayoutIsTheNarrowOneTwentyPixelsToTheRight)
{
    const int ids[] = {1110, 1111, 1112, 1113, 1114, 1115, 1116};
    DeviceUnderTest device;
    PutRecords(device);
    RunOutcome narrow = device.Run("menu 40052\nstate\nclick 1116\n", clock);
    RunOutcome wide =
        device.Run("menu 40052\nstate\nclick 1116\n", clock + QStringList{"--screen", "320x240"});
    ASSERT_EQ(narrow.ScriptError(), "");
    ASSERT_EQ(wide.ScriptError(), "");
    EXPECT_EQ(Control(narrow.LastState(), 1110).value("rect").toArray(),
              (QJsonArray{6, 35, 228, 70}));
    EXPECT_EQ(Control(narrow.LastState(), 1116).value("rect").toArray(),
              (QJsonArray{131, 115, 100, 21}));
    for (int id : ids) {
        QJsonArray n = Control(narrow.LastState(), id).value("rect").toArray();
        QJsonArray w = Control(wide.LastState(), id).value("rect").toArray();
        ASSERT_EQ(n.size(), 4) << id;
        EXPECT_EQ(w, (QJsonArray{n[0].toInt() + 20, n[1], n[2], n[3]})) << id;
    }
}
} // namespace
