// Turning the screen while a record or a category is open: what the person then confirms is
// done exactly as without the turn, on the record they opened, in the store and in the list.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const QStringList clock = {"--clock", "2026-01-05T09:30:00"};

// The screens a test starts on: upright, and turned from the start.
const QStringList screens[] = {{}, {"--screen", "320x240"}};

// Three records in date order; row 1 is "Reading" on 2 March.
void PutThreeRecords(const DeviceUnderTest& device)
{
    device.PutRecord(1, 1, 3, 2026, "Job", 60, "one");
    device.PutRecord(2, 2, 3, 2026, "Reading", 30, "two");
    device.PutRecord(3, 3, 3, 2026, "Sport", 90, "three");
}

QStringList With(const QStringList& screen)
{
    return clock + screen;
}

TEST(Rotation, AnEditConfirmedAfterOneOrTwoTurnsChangesThatRecord)
{
    for (const QStringList& screen : screens) {
        for (const char* turns : {"rotate\n", "rotate\nrotate\n"}) {
            SCOPED_TRACE(screen.join(' ').toStdString() + " / " + turns);
            DeviceUnderTest device;
            PutThreeRecords(device);
            RunOutcome run = device.Run(std::string("row 1\n") + turns +
                                            "pick 1009 \"20\"\ntype 1011 \"changed\"\n"
                                            "click 1014\nstate\n",
                                        With(screen));
            ASSERT_EQ(run.ScriptError(), "");
            QStringList rows = RowTexts(run.LastState());
            ASSERT_EQ(rows.size(), 3);
            EXPECT_EQ(rows[1], "02-03-2026 | Reading | 0:20");
            EXPECT_EQ(StoredRecords(device),
                      (QStringList{"1 3 2026 Job 60 one", "2 3 2026 Reading 20 changed",
                                   "3 3 2026 Sport 90 three"}));
        }
    }
}

TEST(Rotation, ADeleteAnsweredAfterATurnDeletesThatRecordAndCanBeUndone)
{
    for (const QStringList& screen : screens) {
        SCOPED_TRACE(screen.join(' ').toStdString());
        DeviceUnderTest device;
        PutThreeRecords(device);
        RunOutcome run = device.Run("row 0\nclick 1012\nrotate\nanswer yes\nstate\n", With(screen));
        ASSERT_EQ(run.ScriptError(), "");
        QJsonObject state = run.LastState();
        EXPECT_EQ(RowTexts(state),
                  (QStringList{"02-03-2026 | Reading | 0:30", "03-03-2026 | Sport | 1:30"}));
        EXPECT_EQ(MenuItem(state, 40050).value("state").toString(), "enabled");
        EXPECT_EQ(StoredRecords(device),
                  (QStringList{"2 3 2026 Reading 30 two", "3 3 2026 Sport 90 three"}));
    }
}

TEST(Rotation, ANewRecordConfirmedAfterATurnIsStoredAndAppended)
{
    for (const QStringList& screen : screens) {
        SCOPED_TRACE(screen.join(' ').toStdString());
        DeviceUnderTest device;
        PutThreeRecords(device);
        RunOutcome run = device.Run("menu 40003\nrotate\npick 1009 \"10\"\npick 1010 \"Job\"\n"
                                    "rotate\nclick 1014\nstate\n",
                                    With(screen));
        ASSERT_EQ(run.ScriptError(), "");
        QStringList rows = RowTexts(run.LastState());
        ASSERT_EQ(rows.size(), 4);
        EXPECT_EQ(rows.last(), "05-01-2026 | Job | 0:10");
        EXPECT_EQ(StoredRecords(device).size(), 4);
        EXPECT_TRUE(StoredRecords(device).contains("5 1 2026 Job 10"));
    }
}

// A new record stays last until the next sort; a turn while it is open must not sort the list
// under the edit, or the edit would land on the row that took its place.
TEST(Rotation, ARecordNotYetInItsPlaceIsTheOneEditedAndDeletedAfterATurn)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    RunOutcome run = device.Run("menu 40003\npick 1009 \"10\"\npick 1010 \"Job\"\nclick 1014\n"
                                "row 3\nrotate\npick 1009 \"40\"\nclick 1014\nstate\n"
                                "row 3\nclick 1012\nrotate\nanswer yes\nstate\n",
                                clock);
    ASSERT_EQ(run.ScriptError(), "");
    QStringList edited = RowTexts(run.State(0));
    ASSERT_EQ(edited.size(), 4);
    EXPECT_EQ(edited[0], "01-03-2026 | Job | 1:00") << "the list was not sorted under the edit";
    EXPECT_EQ(edited[3], "05-01-2026 | Job | 0:40");
    EXPECT_EQ(RowTexts(run.State(1)).size(), 3);
    EXPECT_EQ(StoredRecords(device), (QStringList{"1 3 2026 Job 60 one", "2 3 2026 Reading 30 two",
                                                  "3 3 2026 Sport 90 three"}));

    // With no record open, a turn puts the list in order from the store, as at a start.
    RunOutcome turned = device.Run("menu 40003\npick 1009 \"10\"\npick 1010 \"Job\"\nclick 1014\n"
                                   "rotate\nstate\n",
                                   clock);
    ASSERT_EQ(turned.ScriptError(), "");
    EXPECT_EQ(RowTexts(turned.LastState()).first(), "05-01-2026 | Job | 0:10");
}

TEST(Rotation, ARenameCarriedIntoTheRecordsAfterATurnReachesEveryOne)
{
    for (const QStringList& screen : screens) {
        SCOPED_TRACE(screen.join(' ').toStdString());
        DeviceUnderTest device;
        PutThreeRecords(device);
        device.PutRecord(4, 4, 3, 2026, "Reading", 10, "four");
        RunOutcome run = device.Run("menu 40019\nclick 1042\npick 1041 \"Reading\"\nrotate\n"
                                    "click 1033\nrotate\ntype 1037 \"Books\"\nclick 1038\n"
                                    "click ok\nstate\n",
                                    With(screen));
        ASSERT_EQ(run.ScriptError(), "");
        QStringList rows = RowTexts(run.LastState());
        ASSERT_EQ(rows.size(), 4);
        EXPECT_EQ(rows[1], "02-03-2026 | Books | 0:30");
        EXPECT_EQ(rows[3], "04-03-2026 | Books | 0:10");
        EXPECT_EQ(StoredRecords(device),
                  (QStringList{"1 3 2026 Job 60 one", "2 3 2026 Books 30 two",
                               "3 3 2026 Sport 90 three", "4 3 2026 Books 10 four"}));
    }
}
} // namespace
