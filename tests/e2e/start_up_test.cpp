// Starting Zentally on a device: a new device, a device with records, a second start, a damaged
// store, and the ways the program ends.
#include "tests/e2e/program_run.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>

namespace
{
TEST(FirstStart, ShowsAnEmptyListWithoutOrderAndGreysTheRecordAndUndoCommands)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run("state\nmenu 40049\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(run.exitCode, 0);
    QJsonObject state = run.LastState();
    EXPECT_EQ(state.value("title").toString(), "Zentally");
    QJsonArray columns = state.value("list").toObject().value("columns").toArray();
    ASSERT_EQ(columns.size(), 3);
    EXPECT_EQ(columns[0].toObject().value("text").toString(), "Date");
    EXPECT_EQ(columns[1].toObject().value("text").toString(), "Category");
    EXPECT_EQ(columns[2].toObject().value("text").toString(), "Time");
    EXPECT_EQ(columns[0].toObject().value("image").toInt(), 2) << "no arrow before an order";
    EXPECT_TRUE(columns[1].toObject().value("image").isNull()) << "no picture on other headers";
    EXPECT_TRUE(RowTexts(state).isEmpty());

    for (int command : {40021, 40045, 40052, 40050, 40053})
        EXPECT_EQ(MenuItem(state, command).value("state").toString(), "grayed") << command;
    for (int command : {552, 553, 554})
        EXPECT_EQ(MenuBarEntry(state, command).value("state").toString(), "indeterminate")
            << command;
    for (int command : {40003, 40019, 40046, 40008, 40009, 40049})
        EXPECT_EQ(MenuItem(state, command).value("state").toString(), "enabled") << command;
    EXPECT_EQ(MenuBarEntry(state, 551).value("state").toString(), "enabled");
}

TEST(FirstStart, LeavesBothSettingsKeysWithAllTheirValuesAtExit)
{
    DeviceUnderTest device;
    ASSERT_EQ(device.Run("menu 40049\n").exitCode, 0);
    QJsonObject dump = device.Dump();
    QJsonObject version = RegistryKey(dump, "Software\\Ulmra\\Zentally");
    QJsonObject settings = RegistryKey(dump, "Software\\Ulmra\\Zentally\\Settings");
    QStringList settingNames = ValueNames(settings);
    settingNames.sort();
    EXPECT_EQ(ValueNames(version), (QStringList{"MajorVersion", "MinorVersion"}));
    EXPECT_EQ(settingNames,
              (QStringList{"CatRecsApply", "DateTypeExport", "DateTypeView", "ExportFileFolder",
                           "ExportFileType", "Sort", "SortOrder", "SortOrderRapport", "SortRapport",
                           "TimeTypeExport", "TimeTypeView"}));
    EXPECT_EQ(DwordValue(settings, "SortOrder"), 2);
    EXPECT_EQ(DwordValue(settings, "Sort"), 0);
}

TEST(FirstStart, LeavesNoDatabaseBehindWhenNothingWasStoredOrChanged)
{
    DeviceUnderTest device;
    ASSERT_EQ(device.Run("menu 40049\n").exitCode, 0);
    QStringList names;
    for (const auto& db : device.Dump().value("databases").toArray())
        names << db.toObject().value("name").toString();
    // The empty records database is dropped at exit; the default categories live in memory
    // until a category is changed.
    EXPECT_TRUE(names.isEmpty()) << names.join(", ").toStdString();
}

TEST(Ending, MessageTenTwentyThreeClosesTheProgramAsExitDoes)
{
    DeviceUnderTest device;
    device.PutRecord(1, 3, 4, 2026, "Job", 90, "");
    RunOutcome run = device.Run("header 0\nmessage 1023\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(run.exitCode, 0);
    // Shutdown ran: the order chosen by the tap was saved.
    QJsonObject settings = RegistryKey(device.Dump(), "Software\\Ulmra\\Zentally\\Settings");
    EXPECT_EQ(DwordValue(settings, "SortOrder"), 0);
}

TEST(Ending, AScriptThatEndsWithTheProgramRunningClosesItInOrder)
{
    DeviceUnderTest device;
    device.PutRecord(1, 3, 4, 2026, "Job", 90, "");
    RunOutcome run = device.Run("header 0\nheader 0\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.Of("exit").size(), 1u);
    QJsonObject settings = RegistryKey(device.Dump(), "Software\\Ulmra\\Zentally\\Settings");
    EXPECT_EQ(DwordValue(settings, "SortOrder"), 1);
}

TEST(Ending, LinesAfterTheProgramEndedAreNotPlayed)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run("menu 40049\nstate\nstate\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.Of("state").empty());
}

TEST(DamagedStore, EndsWithTheStorageMessageAndThenCannotContinue)
{
    DeviceUnderTest device;
    ASSERT_EQ(device.Run("menu 40049\n").exitCode, 0);
    {
        std::fstream store(device.Folder() + "/store.db",
                           std::ios::in | std::ios::out | std::ios::binary);
        store.seekp(0);
        store << "this is no store at all, only a damaged file of the device";
    }
    RunOutcome run = device.Run("answer ok\nanswer ok\n");
    EXPECT_EQ(run.exitCode, 0);
    std::vector<QJsonObject> boxes = run.Of("messagebox");
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes.back().value("text").toString(), "The Zentally program cannot continue!");
    EXPECT_EQ(boxes.back().value("icon").toString(), "stop");
    EXPECT_EQ(boxes.back().value("caption").toString(), "Zentally");
    EXPECT_NE(boxes.front().value("text").toString(), boxes.back().value("text").toString());
}

TEST(SecondStart, BringsTheRunningProgramForwardAndEndsWithCodeZero)
{
    DeviceUnderTest device;
    ASSERT_EQ(device.Run("menu 40049\n").exitCode, 0);
    // A person's run, offscreen, that stays until it is ended.
    QProcess first;
    device.StartPerson(first);
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(device.WaitUntilListening(first));
    // A scripted start plays nothing of its script and says why.
    RunOutcome scripted = device.Run("state\n");
    EXPECT_TRUE(scripted.Of("state").empty());
    EXPECT_TRUE(scripted.errors.contains("already runs")) << scripted.errors.toStdString();
    QProcess second;
    device.StartPerson(second);
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running) << "the first program must go on";
    first.terminate();
    first.waitForFinished(30000);
}
} // namespace

namespace
{
TEST(OrdinaryRun, PrintsNothingOnStandardErrorFromStartToExit)
{
    // A new device, a record stored with its sound, and the run's own exit: whatever the
    // toolkit, the audio backend or the headless screen would say has no place on the console.
    DeviceUnderTest device;
    RunOutcome run = device.Run("menu 40003\npick 1009 \"10\"\npick 1010 \"Job\"\nclick 1014\n"
                                "state\nmenu 40049\n",
                                {"--clock", "2026-12-07T09:30:00"});
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.Of("sound").size(), 1u) << "the record was stored and announced";
    EXPECT_EQ(run.errors, QString()) << run.errors.toStdString();
}
} // namespace
