// The scripted user's keys after the drop-down lists and the calendar of Register Time: they go
// where a person's keys go, the state reports the focus where the program put it, and `date`
// reaches the first and the last day the picker offers as a person does, by the calendar's year.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

namespace
{
const QStringList clock = {"--clock", "2026-12-07T09:30:00"};

TEST(ScriptKeys, GoWhereAPersonsKeysGoAfterAListOrTheCalendar)
{
    struct Case {
        const char* what;
        const char* script;
        int focus; // the control focused at the end, 0 when the dialog went
        QStringList stored;
    };
    const Case cases[] = {
        {"Enter after choosing the category adds the record",
         "pick 1009 \"10\"\npick 1010 \"Sport\"\nkey enter\n",
         0,
         {"7 12 2026 Sport 10"}},
        {"Enter after choosing a day adds the record",
         "pick 1009 \"10\"\npick 1010 \"Job\"\ndate 1007 2025-01-02\nkey enter\n",
         0,
         {"2 1 2025 Job 10"}},
        {"Escape after a pick closes the dialog without a record",
         "pick 1009 \"10\"\npick 1010 \"Job\"\nkey escape\n",
         0,
         {}},
        {"Tab after a pick goes on to the next control", "pick 1009 \"10\"\nkey tab\n", 1010, {}},
        {"Tab after a day goes on to the hours", "date 1007 2025-01-02\nkey tab\n", 1008, {}},
        {"a tap on OK without a category moves the focus to the category",
         "pick 1009 \"10\"\nclick 1014\n",
         1010,
         {}},
        {"keys move the focus on from where the program put it",
         "pick 1009 \"10\"\nclick 1014\nkey tab\n",
         1011,
         {}},
    };
    for (const Case& c : cases) {
        DeviceUnderTest device;
        std::string script = std::string("menu 40003\n") + c.script + "state\n";
        if (c.focus)
            script += "key escape\n";
        RunOutcome run = device.Run(script, clock);
        ASSERT_EQ(run.ScriptError(), "") << c.what;
        QJsonObject state = run.LastState();
        if (c.focus) {
            EXPECT_EQ(Dialogs(state), QJsonArray{108}) << c.what;
            EXPECT_EQ(state.value("focus").toInt(), c.focus) << c.what;
            EXPECT_TRUE(Control(state, c.focus).value("focused").toBool()) << c.what;
        } else {
            EXPECT_TRUE(Dialogs(state).isEmpty()) << c.what;
            EXPECT_EQ(state.value("focus").toInt(), 500) << c.what << ": back on the list";
        }
        EXPECT_EQ(StoredRecords(device), c.stored) << c.what;
    }
}

TEST(ScriptKeys, TheCalendarReachesTheFirstAndLastDayThePickerOffers)
{
    struct Case {
        const char* day;
        QString shown;
        QString stored;
    };
    const Case cases[] = {
        {"9999-12-31", "31-12-9999 | Job | 0:10", "31 12 9999 Job 10"},
        {"1601-01-01", "01-01-1601 | Job | 0:10", "1 1 1601 Job 10"},
        {"2026-11-30", "30-11-2026 | Job | 0:10", "30 11 2026 Job 10"},
    };
    for (const Case& c : cases) {
        DeviceUnderTest device;
        RunOutcome run = device.Run(std::string("menu 40003\ndate 1007 ") + c.day +
                                        "\nstate\npick 1009 \"10\"\npick 1010 \"Job\"\n"
                                        "click 1014\nstate\n",
                                    clock);
        ASSERT_EQ(run.ScriptError(), "") << c.day;
        EXPECT_EQ(run.State(0).value("focus").toInt(), 1007) << c.day;
        EXPECT_EQ(RowTexts(run.LastState()), QStringList{c.shown}) << c.day;
        EXPECT_EQ(StoredRecords(device), QStringList{c.stored}) << c.day;
    }
}
} // namespace
