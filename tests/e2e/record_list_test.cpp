// The record list of the main window: stored records in date order, their texts and pictures,
// the order chosen with the Date header, and taps on rows.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

namespace
{
QJsonArray Rows(const QJsonObject& state)
{
    return state.value("list").toObject().value("rows").toArray();
}

int HeaderImage(const QJsonObject& state)
{
    return state.value("list")
        .toObject()
        .value("columns")
        .toArray()[0]
        .toObject()
        .value("image")
        .toInt();
}

// Three records stored out of date order, with a memo, none, and one of spaces only.
void PutThreeRecords(const DeviceUnderTest& device)
{
    device.PutRecord(301, 3, 4, 2026, "Job", 90, " ");
    device.PutRecord(302, 24, 12, 2025, "Home", 5, "Gifts");
    device.PutRecord(303, 15, 1, 2026, "Job", 600, "   ");
}

const QStringList ascending = {"24-12-2025 | Home | 0:05", "15-01-2026 | Job | 10:00",
                               "03-04-2026 | Job | 1:30"};
const QStringList descending = {"03-04-2026 | Job | 1:30", "15-01-2026 | Job | 10:00",
                                "24-12-2025 | Home | 0:05"};

TEST(RecordList, ShowsStoredRecordsInDateOrderWithTheirTextsAndMemoPictures)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    RunOutcome run = device.Run("state\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject state = run.LastState();
    EXPECT_EQ(RowTexts(state), ascending);
    QJsonArray rows = Rows(state);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].toObject().value("image").toInt(), 3) << "a memo shows the note pad";
    EXPECT_EQ(rows[1].toObject().value("image").toInt(), 4) << "spaces alone are no memo";
    EXPECT_EQ(rows[2].toObject().value("image").toInt(), 4);
    EXPECT_EQ(HeaderImage(state), 2) << "sorted, but no order chosen yet";
    for (int command : {40021, 40045, 40052})
        EXPECT_EQ(MenuItem(state, command).value("state").toString(), "enabled") << command;
    for (int command : {552, 554})
        EXPECT_EQ(MenuBarEntry(state, command).value("state").toString(), "enabled") << command;
    EXPECT_EQ(MenuBarEntry(state, 553).value("state").toString(), "indeterminate");
}

TEST(RecordList, DateHeaderTapsCycleTheOrderAndOtherHeadersChangeNothing)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    RunOutcome run = device.Run("header 0\nstate\nheader 0\nstate\nheader 1\nheader 2\nstate\n"
                                "header 0\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(HeaderImage(run.State(0)), 0);
    EXPECT_EQ(RowTexts(run.State(0)), ascending);
    EXPECT_EQ(HeaderImage(run.State(1)), 1);
    EXPECT_EQ(RowTexts(run.State(1)), descending);
    EXPECT_EQ(HeaderImage(run.State(2)), 1);
    EXPECT_EQ(RowTexts(run.State(2)), descending);
    EXPECT_EQ(HeaderImage(run.State(3)), 0);
    EXPECT_EQ(RowTexts(run.State(3)), ascending);
}

TEST(RecordList, TheChosenOrderIsFoundAgainAtTheNextStart)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    ASSERT_EQ(device.Run("header 0\nheader 0\nmenu 40049\n").exitCode, 0);
    RunOutcome run = device.Run("state\n");
    EXPECT_EQ(HeaderImage(run.LastState()), 1);
    EXPECT_EQ(RowTexts(run.LastState()), descending);
    // The first tap after a restart with an order applied goes on from it.
    RunOutcome again = device.Run("header 0\nstate\n");
    EXPECT_EQ(HeaderImage(again.LastState()), 0);
    EXPECT_EQ(RowTexts(again.LastState()), ascending);
}

TEST(RecordList, AnAscendingListIsScrolledToItsLastRowAndADescendingOneStaysAtTheTop)
{
    DeviceUnderTest device;
    for (int i = 0; i < 30; ++i)
        device.PutRecord(1000 + i, 1 + i % 28, 1 + i / 28, 2026, "Job", 30 + i, "");
    RunOutcome run = device.Run("state\nheader 0\nheader 0\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonArray visible = run.State(0).value("list").toObject().value("visible").toArray();
    ASSERT_EQ(visible.size(), 2);
    EXPECT_EQ(visible[1].toInt(), 29);
    EXPECT_GT(visible[0].toInt(), 0);
    QJsonArray top = run.State(1).value("list").toObject().value("visible").toArray();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0].toInt(), 0);
}

TEST(RecordList, ATapOnARowOpensItsRecordAndCancelLeavesEverythingAsItWas)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    QJsonObject before = device.Dump();
    RunOutcome run = device.Run("row 1\nstate\nclick 1013\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject open = run.State(0);
    EXPECT_EQ(open.value("dialogs").toArray(), QJsonArray{108});
    QJsonArray rows = Rows(open);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[1].toObject().value("selected").toBool()) << "the list under the dialog";
    EXPECT_FALSE(rows[0].toObject().value("selected").toBool());
    QJsonObject closed = run.State(1);
    EXPECT_TRUE(closed.value("dialogs").toArray().isEmpty());
    EXPECT_EQ(RowTexts(closed), ascending);
    EXPECT_TRUE(Rows(closed)[1].toObject().value("selected").toBool());
    EXPECT_EQ(device.Dump().value("databases"), before.value("databases"));
}

TEST(RecordList, AStoredDurationOutOfRangeStopsTheLoadWithAMessageAndDeletesNothing)
{
    DeviceUnderTest device;
    device.PutRecord(1, 3, 4, 2026, "Job", 90, "");
    device.Store({"put-record", "Ulmra Zentally", "0x00000013=2", "0x00010013=4", "0x00020013=4",
                  "0x00030013=2026", "0x0004001F=Job", "0x0005001F=-7", "0x0006001F= "});
    QJsonObject before = device.Dump();
    RunOutcome run = device.Run("answer ok\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    ASSERT_FALSE(run.Of("messagebox").empty());
    EXPECT_EQ(device.Dump().value("databases"), before.value("databases"));
}
} // namespace
