// Managing the categories as a person does: Edit Categories and its two name dialogs, checked on
// the screen's state and in the store after the program ended.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

namespace
{
const QString settingsKey = "Software\\Ulmra\\Zentally\\Settings";

QStringList Items(const QJsonObject& state, int id)
{
    QStringList items;
    for (const auto& item : Control(state, id).value("items").toArray())
        items << item.toString();
    return items;
}

bool IsDefault(const QJsonObject& state, int id)
{
    return Control(state, id).value("default").toBool();
}

bool IsEnabled(const QJsonObject& state, int id)
{
    return Control(state, id).value("enabled").toBool();
}

QJsonArray Rect(int x, int y, int width, int height)
{
    return QJsonArray{x, y, width, height};
}

void SetApplyToRecords(const DeviceUnderTest& device, int value)
{
    device.Store({"set-value", settingsKey, "CatRecsApply", "dword", QString::number(value)});
}

// Three records of Reading, Job and Sport, each with a memo naming it.
void PutThreeRecords(const DeviceUnderTest& device)
{
    device.PutRecord(1, 3, 4, 2026, "Reading", 30, "a");
    device.PutRecord(2, 4, 4, 2026, "Job", 60, "b");
    device.PutRecord(3, 5, 4, 2026, "Sport", 90, "c");
}

TEST(EditCategories, OpensWithTheNamesSortedNewAsDefaultAndNothingToRenameOrDelete)
{
    DeviceUnderTest device;
    device.PutCategory(0, "Zoo");
    device.PutCategory(1, "Alpha");
    device.PutCategory(2, "Mid");
    SetApplyToRecords(device, 1);
    RunOutcome run = device.Run("menu 40019\nstate\nclick ok\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject open = run.State(0);
    EXPECT_EQ(Dialogs(open), QJsonArray{124});
    EXPECT_EQ(Items(open, 1041), (QStringList{"Alpha", "Mid", "Zoo"}));
    EXPECT_TRUE(IsDefault(open, 1032));
    EXPECT_FALSE(IsEnabled(open, 1033));
    EXPECT_FALSE(IsEnabled(open, 1034));
    EXPECT_TRUE(Control(open, 1042).value("checked").toBool()) << "the check box shows the setting";
    EXPECT_EQ(open.value("focus").toInt(), 1041);
    EXPECT_FALSE(open.value("sip").toBool());
    EXPECT_TRUE(Dialogs(run.State(1)).isEmpty()) << "Done closes it";
    // Nothing changed: the store keeps the list in its own order.
    EXPECT_EQ(StoredCategories(device), (QStringList{"Zoo", "Alpha", "Mid"}));
}

TEST(EditCategories, EnterChoosesNewAtFirstAndRenameOnceANameIsChosen)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run("menu 40019\nkey enter\nstate\nclick 1046\npick 1041 \"Job\"\n"
                                "state\nkey enter\nstate\nclick 1039\nstate\nclick ok\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(Dialogs(run.State(0)), QJsonArray{125});
    QJsonObject chosen = run.State(1);
    EXPECT_EQ(Dialogs(chosen), QJsonArray{124});
    EXPECT_TRUE(IsEnabled(chosen, 1033));
    EXPECT_TRUE(IsEnabled(chosen, 1034));
    EXPECT_TRUE(IsDefault(chosen, 1033));
    EXPECT_FALSE(IsDefault(chosen, 1032)) << "only one button looks like the default";
    QJsonObject rename = run.State(2);
    EXPECT_EQ(Dialogs(rename), QJsonArray{126});
    EXPECT_EQ(ControlText(rename, 1037), "Job");
    EXPECT_EQ(Control(rename, 1037).value("selection").toArray(), (QJsonArray{0, 3}));
    EXPECT_EQ(Control(rename, 1037).value("limit").toInt(), 20);
    EXPECT_EQ(rename.value("focus").toInt(), 1037);
    EXPECT_TRUE(rename.value("sip").toBool());
    // After a cancelled rename the list opens again with nothing chosen.
    QJsonObject back = run.State(3);
    EXPECT_EQ(Dialogs(back), QJsonArray{124});
    EXPECT_FALSE(IsEnabled(back, 1033));
    EXPECT_EQ(Items(back, 1041), (QStringList{"Job", "Reading", "Sport"}));
}

TEST(NewCategory, OpensWithTheKeyboardUpAndOkWaitingForText)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run("menu 40019\nclick 1032\nstate\ntype 1044 \"a\"\nstate\n"
                                "type 1044 \"\"\nstate\nclick ok\nstate\nclick 1046\nclick ok\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject open = run.State(0);
    EXPECT_EQ(ControlText(open, 1043), "Enter a new category name:");
    EXPECT_EQ(Control(open, 1044).value("limit").toInt(), 20);
    EXPECT_EQ(open.value("focus").toInt(), 1044);
    EXPECT_TRUE(open.value("sip").toBool());
    EXPECT_FALSE(IsEnabled(open, 1045));
    EXPECT_TRUE(IsDefault(open, 1046));

    QJsonObject typed = run.State(1);
    EXPECT_TRUE(IsEnabled(typed, 1045));
    EXPECT_TRUE(IsDefault(typed, 1045));
    EXPECT_FALSE(IsDefault(typed, 1046));

    QJsonObject cleared = run.State(2);
    EXPECT_FALSE(IsEnabled(cleared, 1045));
    EXPECT_TRUE(IsEnabled(cleared, 1046));
    EXPECT_TRUE(IsDefault(cleared, 1046));

    // Done with no name keeps the dialog open, the field focused and the keyboard up.
    QJsonObject done = run.State(3);
    EXPECT_EQ(Dialogs(done), QJsonArray{125});
    EXPECT_EQ(done.value("focus").toInt(), 1044);
    EXPECT_TRUE(done.value("sip").toBool());
    EXPECT_TRUE(run.Of("messagebox").empty());
    // Leaving Edit Categories after a name dialog stores the list as it is, unchanged.
    EXPECT_EQ(StoredCategories(device), (QStringList{"Job", "Reading", "Sport"}));
}

TEST(NewCategory, NamesAreTrimmedAndCasedBeforeTheyAreStoredLast)
{
    struct Case {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"  hELLO wORLD  ", "Hello world"},
        {"9 to 5", "9 to 5"},
        {"\xC3\xA9LAN", "\xC3\x89lan"}, // a letter outside A to Z is cased too
        {"x", "X"},
    };
    DeviceUnderTest device;
    std::string script;
    QStringList expected = {"Job", "Reading", "Sport"};
    for (const Case& c : cases) {
        script += "menu 40019\nclick 1032\ntype 1044 \"" + std::string(c.typed) +
                  "\"\nclick 1045\nclick ok\n";
        expected << QString::fromUtf8(c.stored);
    }
    RunOutcome run = device.Run(script + "menu 40019\nstate\nclick ok\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_TRUE(run.Of("messagebox").empty());
    EXPECT_EQ(StoredCategories(device), expected);
    EXPECT_EQ(Items(run.LastState(), 1041).size(), expected.size());
}

TEST(NewCategory, AFirstCharacterThatIsNeitherLetterNorDigitIsRefusedWithItsMessage)
{
    for (const char* typed : {"_x", "   ", " -job", "."}) {
        DeviceUnderTest device;
        RunOutcome run = device.Run("menu 40019\nclick 1032\ntype 1044 \"" + std::string(typed) +
                                    "\"\nclick 1045\nanswer ok\nstate\nclick 1046\nclick ok\n");
        ASSERT_EQ(run.ScriptError(), "") << typed;
        ASSERT_EQ(run.Of("messagebox").size(), 1u) << typed;
        QJsonObject box = run.Of("messagebox")[0];
        EXPECT_EQ(box.value("text").toString(),
                  "The first letter must be alphabetic character within the ranges A - Z or a - z "
                  "or decimal digit (0 - 9).");
        EXPECT_EQ(box.value("icon").toString(), "exclamation");
        QJsonObject after = run.LastState();
        EXPECT_EQ(Dialogs(after), QJsonArray{125}) << typed;
        EXPECT_EQ(after.value("focus").toInt(), 1044);
        EXPECT_EQ(ControlText(after, 1044), QString(typed)) << "the text is kept to be mended";
        int length = static_cast<int>(strlen(typed));
        EXPECT_EQ(Control(after, 1044).value("selection").toArray(), (QJsonArray{0, length}));
        EXPECT_TRUE(after.value("sip").toBool());
        EXPECT_EQ(StoredCategories(device), (QStringList{"Job", "Reading", "Sport"})) << typed;
    }
}

TEST(NewCategory, ANameTheListHoldsClosesWithoutAWordAndAddsNothing)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run("menu 40019\nclick 1032\ntype 1044 \"  rEADING\"\nclick 1045\n"
                                "state\nclick ok\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_TRUE(run.Of("messagebox").empty());
    EXPECT_EQ(Dialogs(run.State(0)), QJsonArray{124});
    EXPECT_EQ(Items(run.State(0), 1041), (QStringList{"Job", "Reading", "Sport"}));
    EXPECT_EQ(StoredCategories(device), (QStringList{"Job", "Reading", "Sport"}));
}

TEST(EditCategory, WithTheCheckBoxSetTheRecordsFollowAndTheNameGoesLast)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    device.PutRecord(4, 6, 4, 2026, "Reading", 40, "d");
    RunOutcome run = device.Run("menu 40019\nclick 1042\npick 1041 \"Reading\"\nclick 1033\n"
                                "type 1037 \"  bOOKS \"\nclick 1038\nstate\nclick ok\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(Items(run.State(0), 1041), (QStringList{"Books", "Job", "Sport"}));
    QStringList rows = RowTexts(run.State(1));
    ASSERT_EQ(rows.size(), 4);
    EXPECT_TRUE(rows[0].startsWith("03-04-2026 | Books")) << rows.join("; ").toStdString();
    EXPECT_TRUE(rows[3].startsWith("06-04-2026 | Books")) << rows.join("; ").toStdString();
    EXPECT_EQ(StoredCategories(device), (QStringList{"Job", "Sport", "Books"}));
    EXPECT_EQ(StoredRecords(device), (QStringList{"3 4 2026 Books 30 a", "4 4 2026 Job 60 b",
                                                  "5 4 2026 Sport 90 c", "6 4 2026 Books 40 d"}));
    EXPECT_EQ(DwordValue(RegistryKey(device.Dump(), settingsKey), "CatRecsApply"), 1)
        << "the check box is kept for the next start";
}

TEST(EditCategory, WithTheCheckBoxClearTheRecordsKeepTheOldName)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    SetApplyToRecords(device, 1);
    RunOutcome run = device.Run("menu 40019\nclick 1042\npick 1041 \"Reading\"\nclick 1033\n"
                                "type 1037 \"Books\"\nclick 1038\nclick ok\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_TRUE(RowTexts(run.LastState())[0].startsWith("03-04-2026 | Reading"));
    EXPECT_EQ(StoredCategories(device), (QStringList{"Job", "Sport", "Books"}));
    EXPECT_EQ(StoredRecords(device)[0], "3 4 2026 Reading 30 a");
    EXPECT_EQ(DwordValue(RegistryKey(device.Dump(), settingsKey), "CatRecsApply"), 0);
}

TEST(EditCategory, ANameAnotherCategoryHasMergesTheTwo)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    SetApplyToRecords(device, 1);
    RunOutcome run = device.Run("menu 40019\npick 1041 \"Job\"\nclick 1033\n"
                                "type 1037 \"sport\"\nclick 1038\nstate\nclick ok\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_TRUE(run.Of("messagebox").empty());
    EXPECT_EQ(Items(run.State(0), 1041), (QStringList{"Reading", "Sport"}));
    EXPECT_EQ(StoredCategories(device), (QStringList{"Reading", "Sport"}));
    EXPECT_EQ(StoredRecords(device)[1], "4 4 2026 Sport 60 b");
}

TEST(EditCategory, CancelLeavesEverythingAsItWas)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    SetApplyToRecords(device, 1);
    RunOutcome run = device.Run("menu 40019\npick 1041 \"Job\"\nclick 1033\n"
                                "type 1037 \"Work\"\nclick 1039\nclick ok\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(StoredRecords(device)[1], "4 4 2026 Job 60 b");
    EXPECT_EQ(StoredCategories(device), (QStringList{"Job", "Reading", "Sport"}));
}

// A name longer than a person can type (written by another program, or by an earlier version)
// is shown whole and kept whole when OK is pressed on it.
TEST(EditCategory, ALongStoredNameIsShownAndKeptWhole)
{
    const QString longName = "Gardening and other outdoor work"; // 32 characters
    DeviceUnderTest device;
    device.PutCategory(0, longName);
    device.PutCategory(1, "Job");
    device.PutRecord(1, 3, 4, 2026, longName, 30, "a");
    SetApplyToRecords(device, 1);
    RunOutcome run = device.Run("menu 40019\npick 1041 \"Gardening and other outdoor work\"\n"
                                "click 1033\nstate\nclick 1038\nclick ok\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(ControlText(run.State(0), 1037), longName);
    EXPECT_EQ(StoredCategories(device), (QStringList{"Job", longName}));
    EXPECT_EQ(StoredRecords(device), QStringList{"3 4 2026 " + longName + " 30 a"});
}

TEST(EditCategories, DeletingWithTheCheckBoxClearKeepsTheRecords)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    RunOutcome run = device.Run("menu 40019\npick 1041 \"Sport\"\nclick 1034\nanswer yes\n"
                                "state\nclick ok\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    ASSERT_EQ(run.Of("messagebox").size(), 1u);
    QJsonObject question = run.Of("messagebox")[0];
    EXPECT_EQ(question.value("text").toString(),
              "Selected item will be permanently deleted. Continue?");
    EXPECT_EQ(question.value("buttons").toString(), "yesno");
    EXPECT_EQ(question.value("icon").toString(), "exclamation");
    EXPECT_EQ(Items(run.State(0), 1041), (QStringList{"Job", "Reading"}));
    EXPECT_EQ(RowTexts(run.State(1)).size(), 3);
    EXPECT_EQ(StoredCategories(device), (QStringList{"Job", "Reading"}));
    EXPECT_EQ(StoredRecords(device).size(), 3);
}

TEST(EditCategories, DeletingWithTheCheckBoxSetDeletesTheRecordsForGood)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    device.PutRecord(4, 6, 4, 2026, "Sport", 20, "d");
    device.PutRecord(5, 7, 4, 2026, "sport", 20, "e"); // another name: case counts
    SetApplyToRecords(device, 1);
    RunOutcome run = device.Run("menu 40019\npick 1041 \"Sport\"\nclick 1034\nanswer yes\n"
                                "click ok\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject state = run.LastState();
    QStringList rows = RowTexts(state);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[2].startsWith("07-04-2026 | sport"));
    EXPECT_EQ(MenuItem(state, 40050).value("state").toString(), "grayed")
        << "records deleted with their category cannot be restored";
    EXPECT_EQ(StoredRecords(device),
              (QStringList{"3 4 2026 Reading 30 a", "4 4 2026 Job 60 b", "7 4 2026 sport 20 e"}));
}

TEST(EditCategories, DeleteAnsweredNoChangesNothing)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    SetApplyToRecords(device, 1);
    RunOutcome run = device.Run("menu 40019\npick 1041 \"Sport\"\nclick 1034\nanswer no\n"
                                "state\nclick ok\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(Dialogs(run.State(0)), QJsonArray{124});
    EXPECT_EQ(Items(run.State(0), 1041), (QStringList{"Job", "Reading", "Sport"}));
    EXPECT_EQ(StoredCategories(device), QStringList{});
    EXPECT_EQ(StoredRecords(device).size(), 3);
}

TEST(CategoryDialogs, TheNameDialogsPlaceTheirControlsForEachScreen)
{
    struct Case {
        const char* screen;
        QJsonArray label, edit, ok, cancel;
    } cases[] = {
        {"240x320", Rect(6, 20, 160, 18), Rect(6, 43, 227, 21), Rect(6, 80, 90, 20),
         Rect(142, 80, 90, 20)},
        {"320x240", Rect(26, 5, 160, 18), Rect(26, 28, 227, 21), Rect(26, 65, 90, 20),
         Rect(162, 65, 90, 20)},
    };
    for (const Case& c : cases) {
        DeviceUnderTest device;
        RunOutcome run = device.Run("menu 40019\nclick 1032\nstate\nclick 1046\npick 1041 "
                                    "\"Job\"\nclick 1033\nstate\nclick 1039\nclick ok\n",
                                    {"--screen", c.screen});
        ASSERT_EQ(run.ScriptError(), "") << c.screen;
        QJsonObject added = run.State(0), renamed = run.State(1);
        EXPECT_EQ(Control(added, 1043).value("rect").toArray(), c.label) << c.screen;
        EXPECT_EQ(Control(added, 1044).value("rect").toArray(), c.edit) << c.screen;
        EXPECT_EQ(Control(added, 1045).value("rect").toArray(), c.ok) << c.screen;
        EXPECT_EQ(Control(added, 1046).value("rect").toArray(), c.cancel) << c.screen;
        QJsonArray label = c.label;
        label[2] = 150; // the shorter label of Edit category
        EXPECT_EQ(Control(renamed, 1036).value("rect").toArray(), label) << c.screen;
        EXPECT_EQ(Control(renamed, 1037).value("rect").toArray(), c.edit) << c.screen;
    }
}
} // namespace
