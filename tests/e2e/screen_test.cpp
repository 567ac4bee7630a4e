// The screen around the program: its sizes and layouts, turning it, help, and screenshots.
#include "tests/e2e/program_run.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>

namespace
{
QList<int> ColumnWidths(const QJsonObject& state)
{
    QList<int> widths;
    for (const auto& column : state.value("list").toObject().value("columns").toArray())
        widths << column.toObject().value("width").toInt();
    return widths;
}

TEST(Screen, ThePortraitScreenHasTheNarrowColumnsAndOthersTheWideOnes)
{
    struct Case {
        QString size;
        QList<int> widths;
    };
    const Case cases[] = {
        {"240x320", {88, 90, 55}},
        {"320x240", {110, 110, 93}},
        {"480x640", {110, 110, 93}},
    };
    for (const Case& c : cases) {
        DeviceUnderTest device;
        RunOutcome run = device.Run("state\n", {"--screen", c.size});
        ASSERT_EQ(run.ScriptError(), "") << c.size.toStdString();
        EXPECT_EQ(ColumnWidths(run.LastState()), c.widths) << c.size.toStdString();
        QStringList parts = c.size.split('x');
        QJsonObject screen = run.LastState().value("screen").toObject();
        EXPECT_EQ(screen.value("width").toInt(), parts[0].toInt());
        EXPECT_EQ(screen.value("height").toInt(), parts[1].toInt());
    }
}

TEST(Screen, TurningTheScreenRebuildsTheListInItsOrderWithTheNewWidths)
{
    DeviceUnderTest device;
    device.PutRecord(1, 3, 4, 2026, "Job", 90, "");
    device.PutRecord(2, 24, 12, 2025, "Home", 5, "Gifts");
    RunOutcome run = device.Run("header 0\nheader 0\nstate\nrotate\nstate\nrotate\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject before = run.State(0), turned = run.State(1), back = run.State(2);
    EXPECT_EQ(ColumnWidths(before), (QList<int>{88, 90, 55}));
    EXPECT_EQ(ColumnWidths(turned), (QList<int>{110, 110, 93}));
    EXPECT_EQ(ColumnWidths(back), (QList<int>{88, 90, 55}));
    EXPECT_EQ(turned.value("screen").toObject().value("width").toInt(), 320);
    EXPECT_EQ(turned.value("screen").toObject().value("height").toInt(), 240);
    EXPECT_EQ(RowTexts(turned), RowTexts(before));
    EXPECT_EQ(RowTexts(turned).first(), "03-04-2026 | Job | 1:30");
    EXPECT_EQ(turned.value("list")
                  .toObject()
                  .value("columns")
                  .toArray()[0]
                  .toObject()
                  .value("image")
                  .toInt(),
              1);
    for (int command : {40050, 40053})
        EXPECT_EQ(MenuItem(turned, command).value("state").toString(), "grayed") << command;
    EXPECT_EQ(MenuBarEntry(turned, 553).value("state").toString(), "indeterminate");
    EXPECT_EQ(MenuBarEntry(turned, 552).value("state").toString(), "enabled");
}

TEST(Screen, HelpOpensTheUsersGuideInTheHelpViewer)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run("menu 40008\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    std::vector<QJsonObject> processes = run.Of("process");
    ASSERT_EQ(processes.size(), 1u);
    EXPECT_EQ(processes[0].value("program").toString(), "peghelp.exe");
    EXPECT_EQ(processes[0].value("args").toString(), "\\Windows\\zentally.htc");
    EXPECT_TRUE(std::filesystem::exists(device.Folder() + "/files/Windows/zentally.htc"));
}

TEST(Screen, AScreenshotIsThePictureOfTheWholeScreen)
{
    DeviceUnderTest device;
    device.PutRecord(1, 3, 4, 2026, "Job", 90, "Memo");
    std::string shot = device.Folder() + "/../shot.png";
    RunOutcome run = device.Run("screenshot " + shot + "\n", {"--screen", "320x240"});
    ASSERT_EQ(run.ScriptError(), "");
    QImage image(QString::fromStdString(shot));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 320);
    EXPECT_EQ(image.height(), 240);
}

TEST(Screen, AnOpenMenuIsInTheScreenshotAboveItsButton)
{
    DeviceUnderTest device;
    std::string closed = device.Folder() + "/../closed.png",
                open = device.Folder() + "/../open.png";
    RunOutcome run =
        device.Run("screenshot " + closed + "\nmenu 40043\nscreenshot " + open + "\nkey escape\n");
    ASSERT_EQ(run.ScriptError(), "");
    QImage before(QString::fromStdString(closed)), after(QString::fromStdString(open));
    ASSERT_EQ(before.size(), after.size());
    // The Tools menu rises from the bottom bar over the rows of the list.
    int changed = 0;
    for (int y = 160; y < 294; ++y)
        for (int x = 60; x < 200; ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    EXPECT_GT(changed, 1000);
}

TEST(Screen, AScriptLineThatCannotBeDoneEndsTheRunWithCodeTwo)
{
    const char* const scripts[] = {
        "answer yes\n", // no message box is up
        "menu 99999\n", // no such command
        "menu 40021\n", // greyed on an empty list
        "row 0\n",      // no rows
        "click 1014\n", // no dialog
        "frobnicate\n", // no such verb
    };
    for (const char* script : scripts) {
        DeviceUnderTest device;
        RunOutcome run = device.Run(script);
        EXPECT_EQ(run.exitCode, 2) << script;
        ASSERT_EQ(run.Of("error").size(), 1u) << script;
        EXPECT_EQ(run.Of("error")[0].value("line").toInt(), 1) << script;
        EXPECT_FALSE(run.ScriptError().isEmpty()) << script;
    }
}
} // namespace
