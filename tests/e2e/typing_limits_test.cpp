// The edits' limits as a person meets them: a character that does not fit whole is refused, so
// nothing half a character is ever stored, and a memo longer than the limit that the program
// put in is kept whole when the record is changed for another reason. Checked on the screen's
// state and in the store after the program ended.
#include "tests/e2e/program_run.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

namespace
{
const QStringList clock = {"--clock", "2026-12-07T09:30:00"};

// U+1F600, two UTF-16 units: as UTF-8 for a script, and as text.
const std::string emojiUtf8 = "\xF0\x9F\x98\x80";
const QString emoji = QString::fromUtf16(u"\U0001F600");

// The dump writes a whole pair as its character and a lone surrogate as an escape.
bool HoldsHalfACharacter(const QString& dump)
{
    static const QRegularExpression loneSurrogate(R"((?<!\\)\\u[dD][89a-fA-F][0-9a-fA-F]{2})");
    return dump.contains(loneSurrogate) || dump.contains(QChar(0xFFFD));
}

// A text of the stored kind, whole or not: true when a surrogate stands without its partner.
bool HasLoneSurrogate(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return true;
    }
    return false;
}

// Texts as gtest prints them readably.
std::string Shown(const QStringList& texts)
{
    return texts.join("; ").toStdString();
}
std::string Shown(const QString& text)
{
    return text.toStdString();
}

// The memo's limit is 29 (Register Time, dialog 108) and a category's 20 (New category, dialog
// 125); the scripted user types the emoji as one key, as the input panel does.
TEST(TypingLimits, AnEmojiThatDoesNotFitWholeIsRefusedAndNothingHalfIsStored)
{
    const std::string letters28 = "abcdefghijklmnopqrstuvwxyzab";
    const std::string letters27 = letters28.substr(0, 27);
    const std::string letters19 = letters28.substr(0, 19);
    const std::string letters18 = letters28.substr(0, 18);
    // Types into the edit, shows it, and confirms: OK of Register Time, or Done of New category
    // and then of Edit Categories.
    auto memo = [](const std::string& typed) {
        return "menu 40003\npick 1009 \"10\"\npick 1010 \"Job\"\ntype 1011 \"" + typed +
               "\"\nstate\nclick 1014\n";
    };
    auto category = [](const std::string& typed) {
        return "menu 40019\nclick 1032\ntype 1044 \"" + typed + "\"\nstate\nclick 1045\nclick ok\n";
    };
    auto records = [](const DeviceUnderTest& device) { return StoredRecords(device); };
    auto categories = [](const DeviceUnderTest& device) { return StoredCategories(device); };
    auto text = [](const std::string& utf8) { return QString::fromStdString(utf8); };
    const QStringList noRecords;
    const QStringList defaults = {"Job", "Reading", "Sport"};
    struct Case {
        const char* what;
        std::string script;
        int edit;
        QString shown;
        std::function<QStringList(const DeviceUnderTest&)> stored;
        QStringList before; // what was stored before, then the text added
        QString added;
    } cases[] = {
        {"a memo of 28 letters refuses the emoji", memo(letters28 + emojiUtf8), 1011,
         text(letters28), records, noRecords, "7 12 2026 Job 10 " + text(letters28)},
        {"a memo of 27 letters takes it whole", memo(letters27 + emojiUtf8), 1011,
         text(letters27) + emoji, records, noRecords,
         "7 12 2026 Job 10 " + text(letters27) + emoji},
        {"a category of 19 letters refuses the emoji", category(letters19 + emojiUtf8), 1044,
         text(letters19), categories, defaults, "Abcdefghijklmnopqrs"},
        {"a category of 18 letters takes it whole", category(letters18 + emojiUtf8), 1044,
         text(letters18) + emoji, categories, defaults, "Abcdefghijklmnopqr" + emoji},
    };
    for (const Case& c : cases) {
        DeviceUnderTest device;
        RunOutcome run = device.Run(c.script, clock);
        ASSERT_EQ(run.ScriptError(), "") << c.what;
        QJsonObject typed = run.State(0);
        EXPECT_EQ(Shown(ControlText(typed, c.edit)), Shown(c.shown)) << c.what;
        EXPECT_TRUE(run.Of("messagebox").empty()) << c.what;
        QStringList stored = c.stored(device);
        EXPECT_EQ(Shown(stored), Shown(c.before + QStringList{c.added})) << c.what;
        for (const QString& one : stored)
            EXPECT_FALSE(HasLoneSurrogate(one)) << c.what;
        EXPECT_FALSE(HoldsHalfACharacter(device.Store({"dump"}))) << c.what;
    }
}

// The handheld's limit is on what a person types: a memo the program puts in is kept whole,
// and OK stores it whole when only something else was changed.
TEST(TypingLimits, AStoredMemoLongerThanTheLimitIsKeptWholeWhenTheRecordChangesOtherwise)
{
    const QString memo72 =
        "Call the client back about the invoice of March and ask for the new ones";
    // An emoji across the limit's edge: units 29 and 30.
    const QString memoWithEmoji = QString(28, u'm') + emoji + QString(40, u'n');
    struct Case {
        const char* what;
        QString memo;
        std::string change;
        QString stored; // category and minutes
    } cases[] = {
        {"only the minutes", memo72, "pick 1009 \"40\"\n", "Job 100"},
        {"only the category", memo72, "pick 1010 \"Reading\"\n", "Reading 90"},
        {"nothing", memo72, "", "Job 90"},
        {"only the minutes, an emoji across the limit", memoWithEmoji, "pick 1009 \"40\"\n",
         "Job 100"},
    };
    ASSERT_EQ(memo72.size(), 72);
    for (const Case& c : cases) {
        DeviceUnderTest device;
        device.PutRecord(1, 3, 4, 2026, "Job", 90, c.memo);
        RunOutcome run = device.Run("row 0\nstate\n" + c.change + "click 1014\nstate\n");
        ASSERT_EQ(run.ScriptError(), "") << c.what;
        QJsonObject open = run.State(0);
        EXPECT_EQ(Dialogs(open), QJsonArray{108}) << c.what;
        EXPECT_EQ(Shown(ControlText(open, 1011)), Shown(c.memo))
            << c.what << ": the edit shows it whole";
        EXPECT_EQ(Control(open, 1011).value("limit").toInt(), 29)
            << c.what << ": the limit the program set, not the text's length";
        EXPECT_TRUE(Dialogs(run.State(1)).isEmpty()) << c.what;
        EXPECT_EQ(Shown(StoredRecords(device)), Shown("3 4 2026 " + c.stored + " " + c.memo))
            << c.what;
        EXPECT_FALSE(HoldsHalfACharacter(device.Store({"dump"}))) << c.what;
    }
}
} // namespace
