// The real program in a real X window, used with a real pointer and keys: the taps land where
// the screen shows its controls (the dialogs' layout tables, the menu bar at the bottom, the
// drop-down lists as pop-up windows of their own), and the results are read back from the store,
// the window's geometry and the X server's focus and stacking.
#include "tests/desktop/x_display.h"
#include "tests/e2e/program_run.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

namespace
{
const QStringList clock = {"--clock", "2026-12-07T09:30:00"};

// Where things are on a 240 x 320 screen, in the window's pixels. A full-screen dialog starts
// under the 26 rows of the navigation bar; the rectangle beside a control is its narrow one
// from the dialog's layout table, in the dialog's pixels.
const int dialogTop = 26;
struct Point {
    int x, y;
};
const Point newButton = {16, 307};    // the menu bar's New
const Point timeMenu = {51, 307};     // the menu bar's Time drop-down
const Point firstRow = {120, 53};     // row 0 of the record list, under its header
const Point dateArrow = {163, 69};    // Register Time's date picker (75, 32, 95, 22): its button
const Point hoursBox = {97, 95};      // (75, 60, 45, 19)
const Point minutesBox = {147, 95};   // (125, 60, 45, 19)
const Point categoryBox = {154, 125}; // (75, 90, 158, 19)
const Point memoEnd = {228, 152};     // (75, 115, 158, 22), near its right end
const Point okButton = {198, 188};    // (163, 150, 70, 24)

// SQLite's own check of the whole file, read-only: "ok" for a sound store.
std::string IntegrityOf(const std::string& path)
{
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
            sqlite3_step(check) == SQLITE_ROW)
            result = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return result;
}

class RealWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!display.Unavailable().isEmpty())
            GTEST_SKIP() << "no X display for the desktop tests: "
                         << display.Unavailable().toStdString();
    }

    void TearDown() override
    {
        for (QProcess* p : {&program, &second}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->kill();
            p->waitForFinished();
        }
    }

    QProcessEnvironment Environment() const
    {
        std::string root = std::filesystem::path(device.Folder()).parent_path().string();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", display.Name());
        env.insert("XDG_DATA_HOME", QString::fromStdString(root + "/data"));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(root + "/run"));
        env.remove("WAYLAND_DISPLAY");
        // A sanitizer build of the program reports what the desktop's own libraries keep.
        env.insert("LSAN_OPTIONS", "suppressions=" DESKTOP_LSAN_SUPPRESSIONS);
        return env;
    }

    void Launch(QProcess& process, const QStringList& args = clock) const
    {
        process.setProcessEnvironment(Environment());
        process.start(ZENTALLY_PROGRAM,
                      QStringList{"--device", QString::fromStdString(device.Folder())} + args);
        process.waitForStarted();
    }

    // Starts the program as a person does and waits until its main window takes taps: the Time
    // menu, which the program's own menu bar opens, has come up once and gone again.
    XWindowId StartProgram(const QStringList& args = clock)
    {
        Launch(program, args);
        XWindowId window = 0;
        WaitUntil([&] {
            std::vector<XWindowId> windows = display.WindowsOf(program.processId());
            window = windows.empty() ? 0 : windows.front();
            return window != 0 || program.state() == QProcess::NotRunning;
        });
        if (!window)
            return 0;
        for (int tries = 0; tries < 5 && !Popup(window); ++tries) {
            display.Tap(window, timeMenu.x, timeMenu.y);
            WaitUntil([&] { return Popup(window) != 0; }, 2000);
        }
        if (!Popup(window))
            return 0;
        display.Key("Escape");
        return WaitUntil([&] { return Popup(window) == 0; }) ? window : 0;
    }

    // A pop-up window of the program over its main window (a menu, a list, a calendar); 0 when
    // none is up.
    XWindowId Popup(XWindowId main) const
    {
        for (XWindowId w : display.WindowsOf(program.processId()))
            if (w != main)
                return w;
        return 0;
    }

    XWindowId WaitForPopup(XWindowId main) const
    {
        XWindowId popup = 0;
        WaitUntil([&] { return (popup = Popup(main)) != 0; });
        return popup;
    }

    // Taps a drop-down list on the screen and, in the list that pops up, the entry shown at
    // `row` (from the list's top). Rows are as high as the pop-up's height shared by
    // `rowsShown`. False when the list did not open or did not close on the tap.
    bool PickFromList(XWindowId main, Point box, int row, int rowsShown)
    {
        display.Tap(main, box.x, box.y);
        XWindowId list = WaitForPopup(main);
        if (!list)
            return false;
        WindowGeometry g = display.Geometry(list);
        int rowHeight = (g.height - 2) / rowsShown; // a one-pixel frame
        display.Tap(list, g.width / 2, 1 + rowHeight * row + rowHeight / 2);
        return WaitUntil([&] { return Popup(main) == 0; });
    }

    // Waits for the program to end by itself; its exit code, -1 for a crash or no end.
    static int ExitCode(QProcess& process)
    {
        if (!process.waitForFinished(10000))
            return -1;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // Where a window is, for a failure's message.
    std::string Where(XWindowId window) const
    {
        WindowGeometry g = display.Geometry(window);
        return std::to_string(g.width) + "x" + std::to_string(g.height) + " at " +
               std::to_string(g.x) + "," + std::to_string(g.y);
    }

    bool WaitForRecords(const QStringList& wanted) const
    {
        return WaitUntil([&] { return StoredRecords(device) == wanted; });
    }

    XDisplay display;
    DeviceUnderTest device;
    QProcess program;
    QProcess second;
};

TEST_F(RealWindow, NewRecordFromTapsOnEveryListAndTypedMemoIsStored)
{
    XWindowId main = StartProgram();
    ASSERT_NE(main, 0u) << program.readAllStandardError().toStdString();

    display.Tap(main, newButton.x, newButton.y);
    // The calendar opens on the device's day, 7 December; two days back with the arrow key.
    display.Tap(main, dateArrow.x, dateArrow.y);
    ASSERT_NE(WaitForPopup(main), 0u) << "the date picker's calendar did not open";
    display.Key("Left Left Return");
    ASSERT_TRUE(WaitUntil([&] { return Popup(main) == 0; }))
        << "the calendar stayed open: " << Where(Popup(main));

    // Lists open on their chosen entry: 00 at the top of both duration lists.
    ASSERT_TRUE(PickFromList(main, minutesBox, 4, 6)) << "minutes";
    ASSERT_TRUE(PickFromList(main, hoursBox, 2, 6)) << "hours";
    ASSERT_TRUE(PickFromList(main, categoryBox, 2, 3)) << "category";
    display.Tap(main, memoEnd.x, memoEnd.y);
    display.Type("lunch at noon");
    display.Tap(main, okButton.x, okButton.y);

    EXPECT_TRUE(WaitForRecords({"5 12 2026 Sport 160 lunch at noon"}))
        << StoredRecords(device).join("; ").toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
}

TEST_F(RealWindow, TapOnARowOpensItAndTheEditIsStored)
{
    device.PutRecord(1, 3, 4, 2026, "Sport", 90, "Run");
    XWindowId main = StartProgram();
    ASSERT_NE(main, 0u) << program.readAllStandardError().toStdString();

    display.Tap(main, firstRow.x, firstRow.y);
    // 1:30 shown: the minutes list opens with all six entries, 50 the last.
    ASSERT_TRUE(PickFromList(main, minutesBox, 5, 6)) << "the row's tap opened no record";
    display.Tap(main, memoEnd.x, memoEnd.y);
    display.Key("End");
    display.Type(" and swim");
    display.Tap(main, okButton.x, okButton.y);

    EXPECT_TRUE(WaitForRecords({"3 4 2026 Sport 110 Run and swim"}))
        << StoredRecords(device).join("; ").toStdString();
}

TEST_F(RealWindow, CtrlRTurnsTheWindowToLandscapeAndTheProgramLaysItselfOutWide)
{
    XWindowId main = StartProgram();
    ASSERT_NE(main, 0u) << program.readAllStandardError().toStdString();
    WindowGeometry before = display.Geometry(main);
    ASSERT_EQ(before.width, 240);
    ASSERT_EQ(before.height, 320);

    // The pointer rests on the window, so that the key reaches it with or without the focus.
    display.MovePointer(main, 120, 160);
    auto turnsTo = [&](int width, int height) {
        display.Key("ctrl+r");
        WindowGeometry g;
        bool turned = WaitUntil([&] {
            g = display.Geometry(main);
            return g.width == width && g.height == height;
        });
        EXPECT_TRUE(turned) << "the window is " << g.width << "x" << g.height << ", not " << width
                            << "x" << height;
        return turned;
    };
    ASSERT_TRUE(turnsTo(320, 240));

    // The menu bar is at the bottom of the turned screen, and Register Time uses its wide
    // layout: the minutes list (125, 28, 45, 19) is where the narrow date picker would be.
    display.Tap(main, newButton.x, 240 - 13);
    display.Tap(main, 147, dialogTop + 28 + 9);
    XWindowId list = WaitForPopup(main);
    ASSERT_NE(list, 0u) << "no list opened in the turned Register Time";
    WindowGeometry g = display.Geometry(list);
    EXPECT_EQ(g.x, 125) << Where(list);
    EXPECT_NEAR(g.y, dialogTop + 28 + 19, 2) << Where(list);
    EXPECT_EQ(g.width, 45) << Where(list) << ": not the minutes list";
    display.Key("Escape");
    ASSERT_TRUE(WaitUntil([&] { return Popup(main) == 0; }));
    display.Tap(main, 250 + 32, dialogTop + 39 + 12); // Cancel (250, 39, 65, 24)

    turnsTo(240, 320);
}

TEST_F(RealWindow, SecondStartBringsTheFirstToTheFrontAndEnds)
{
    XWindowId main = StartProgram();
    ASSERT_NE(main, 0u) << program.readAllStandardError().toStdString();
    // Without a window manager the server takes a focus request only when its time is newer
    // than the last focus change: the pointer passes over the window after the focus went
    // elsewhere, which gives the program a newer time, before another window covers it.
    display.FocusRoot();
    display.MovePointer(main, 120, 160);
    XWindowId cover = display.Cover(display.Geometry(main));
    ASSERT_NE(cover, 0u);
    ASSERT_EQ(display.Stacking().back(), cover);
    ASSERT_NE(display.Focus(), main);

    Launch(second, {});
    EXPECT_EQ(ExitCode(second), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return display.Stacking().back() == main; }))
        << "the first program's window is not on top";
    EXPECT_TRUE(WaitUntil([&] { return display.Focus() == main; }))
        << "the first program's window has no keyboard focus";
    EXPECT_EQ(program.state(), QProcess::Running);
}

TEST_F(RealWindow, ClosingTheWindowWaitsForTheOpenDialogThenEndsTheProgramWithTheStoreWhole)
{
    device.PutRecord(1, 3, 4, 2026, "Job", 90, "Plan");
    XWindowId main = StartProgram();
    ASSERT_NE(main, 0u) << program.readAllStandardError().toStdString();
    qint64 pid = program.processId();

    // With Register Time open the close is refused: the dialog still takes taps after it.
    display.Tap(main, newButton.x, newButton.y);
    ASSERT_TRUE(display.RequestClose(main));
    display.Tap(main, minutesBox.x, minutesBox.y);
    ASSERT_NE(WaitForPopup(main), 0u) << "Register Time went with the close request";
    display.Key("Escape");
    ASSERT_TRUE(WaitUntil([&] { return Popup(main) == 0; }));
    display.Tap(main, 5 + 35, dialogTop + 150 + 12); // Cancel (5, 150, 70, 24)

    ASSERT_TRUE(display.RequestClose(main));
    EXPECT_EQ(ExitCode(program), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(display.WindowsOf(pid).empty());
    std::string store = device.Folder() + "/store.db";
    EXPECT_FALSE(std::filesystem::exists(store + "-journal")) << "a change was left half done";
    EXPECT_EQ(IntegrityOf(store), "ok");
    EXPECT_EQ(StoredRecords(device), QStringList{"3 4 2026 Job 90 Plan"});
}
} // namespace
