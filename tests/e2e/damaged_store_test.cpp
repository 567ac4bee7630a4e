// Stored data the program did not write: records, categories and settings damaged in every
// way the store can hold, read by the real program.
#include "tests/e2e/program_run.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace
{
const QString recordsName = "Ulmra Zentally";
const QString categoriesName = "Ulmra ZentallyCustom";
const QString settingsKey = "Software\\Ulmra\\Zentally\\Settings";
const QString versionKey = "Software\\Ulmra\\Zentally";
const QString problems = "There are problems with Zentally database!";

// A device past its first start (its settings stored), with an empty records database.
void Prepare(const DeviceUnderTest& device)
{
    device.Run("menu 40049\n");
    device.Store({"create-database", recordsName});
}

void Put(const DeviceUnderTest& device, const QString& database, const QStringList& props)
{
    device.Store(QStringList{"put-record", database} + props);
}

// The properties of a sound record of 15 March 2006, Sport, 90 minutes, key 2, with `changes`:
// "ID=VALUE" gives a property of the record another value, or adds it at the end when the
// record has no property ID; "-ID" leaves the property out.
QStringList Record(const QStringList& changes = {})
{
    QStringList props = {"0x00000013=2",     "0x00010013=15", "0x00020013=3",     "0x00030013=2006",
                         "0x0004001F=Sport", "0x0005001F=90", "0x0006001F=a memo"};
    for (const QString& change : changes) {
        QString id = change.startsWith('-') ? change.mid(1) : change.section('=', 0, 0);
        qsizetype at = -1;
        for (qsizetype i = 0; i < props.size(); ++i)
            if (props[i].section('=', 0, 0) == id)
                at = i;
        if (change.startsWith('-'))
            props.removeAt(at);
        else if (at >= 0)
            props[at] = change;
        else
            props << change;
    }
    return props;
}

std::string Utf16(const std::u16string& text)
{
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Writes `to` over every place the store file holds the text `from` (of the same length): the
// code units no tool of the program's own would store, as a copy damaged elsewhere has them.
void DamageStoreFile(const DeviceUnderTest& device, const std::u16string& from,
                     const std::u16string& to)
{
    fs::path file = fs::path(device.Folder()) / "store.db";
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    int places = 0;
    for (size_t at = bytes.find(Utf16(from)); at != std::string::npos;
         at = bytes.find(Utf16(from), at + 1), ++places)
        bytes.replace(at, Utf16(to).size(), Utf16(to));
    ASSERT_GT(places, 0);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The records of a database in a dump, in the store's order.
QJsonArray StoredOf(const QJsonObject& dump, const QString& database)
{
    for (const auto& db : dump.value("databases").toArray())
        if (db.toObject().value("name").toString() == database)
            return db.toObject().value("records").toArray();
    return {};
}

QJsonObject DumpOf(const QString& text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

// The records of a dump without the one that holds `memo`.
QJsonArray RecordsBut(const QJsonObject& dump, const QString& memo)
{
    QJsonArray kept;
    for (const auto& record : StoredOf(dump, recordsName)) {
        bool chosen = false;
        for (const auto& prop : record.toObject().value("props").toArray())
            chosen = chosen || prop.toArray()[1].toString() == memo;
        if (!chosen)
            kept << record;
    }
    return kept;
}

// The program's messages of a run as "icon: text", one a line.
std::string Messages(const RunOutcome& run)
{
    QStringList texts;
    for (const QJsonObject& box : run.Of("messagebox"))
        texts << box.value("icon").toString() + ": " + box.value("text").toString();
    return texts.join('\n').toStdString();
}

std::string Lines(const QStringList& lines)
{
    return lines.join('\n').toStdString();
}

QStringList Items(const QJsonObject& state, int id)
{
    QStringList items;
    for (const auto& item : Control(state, id).value("items").toArray())
        items << item.toString();
    return items;
}

const QString rowA = "01-03-2006 | Job | 1:00";
const QString rowC = "20-03-2006 | Reading | 0:30";
const QString rowD = "15-03-2006 | Sport | 1:30";

// Edits record A (row 0), then totals every category over March and exports every record:
// what a person does next with the records shown.
const std::string editReportAndExport =
    "row 0\ntype 1011 \"edited\"\nclick 1014\n"
    "menu 40021\ndate 1053 2006-03-01\ndate 1054 2006-03-31\n"
    "click 1057\nclick 1058\nstate\nclick ok\n"
    "menu 40045\ntype 1073 \"damaged\"\nclick 1083\nanswer ok\n";

TEST(DamagedStore, ADamagedRecordIsShownAsReadOrStopsTheLoadToldAndIsNeverRewritten)
{
    const QString longText(4000, 'x');
    struct {
        const char* what;
        QStringList changes;
        std::u16string from, to; // code units written over in the store file afterwards
        bool told;               // the load stops at it with the program's message
        QString row;             // the record's row when it is shown
    } cases[] = {
        {"no key", {"-0x00000013"}, u"", u"", false, rowD},
        {"a text for the key", {"-0x00000013", "0x0000001F=2"}, u"", u"", false, rowD},
        {"key 0", {"0x00000013=0"}, u"", u"", false, rowD},
        {"the key of another record", {"0x00000013=1"}, u"", u"", false, rowD},
        {"no day", {"-0x00010013"}, u"", u"", true, ""},
        {"a text for the day", {"-0x00010013", "0x0001001F=15"}, u"", u"", true, ""},
        {"no month", {"-0x00020013"}, u"", u"", true, ""},
        {"a text for the month", {"-0x00020013", "0x0002001F=3"}, u"", u"", true, ""},
        {"no year", {"-0x00030013"}, u"", u"", true, ""},
        {"a text for the year", {"-0x00030013", "0x0003001F=2006"}, u"", u"", true, ""},
        {"day 0", {"0x00010013=0"}, u"", u"", true, ""},
        {"day 32", {"0x00010013=32"}, u"", u"", true, ""},
        {"month 13", {"0x00020013=13"}, u"", u"", true, ""},
        {"year 0", {"0x00030013=0"}, u"", u"", true, ""},
        {"year 65535", {"0x00030013=65535"}, u"", u"", true, ""},
        {"30 February", {"0x00010013=30", "0x00020013=2"}, u"", u"", true, ""},
        {"no category", {"-0x0004001F"}, u"", u"", false, "15-03-2006 |  | 1:30"},
        {"a number for the category",
         {"-0x0004001F", "0x00040013=7"},
         u"",
         u"",
         false,
         "15-03-2006 |  | 1:30"},
        {"an empty category", {"0x0004001F="}, u"", u"", false, "15-03-2006 |  | 1:30"},
        {"no minutes", {"-0x0005001F"}, u"", u"", false, "15-03-2006 | Sport | 0:0"},
        {"a number for the minutes",
         {"-0x0005001F", "0x00050013=90"},
         u"",
         u"",
         false,
         "15-03-2006 | Sport | 0:0"},
        {"minutes 0", {"0x0005001F=0"}, u"", u"", false, "15-03-2006 | Sport | 0:0"},
        {"minutes that are no number",
         {"0x0005001F=many"},
         u"",
         u"",
         false,
         "15-03-2006 | Sport | 0:0"},
        {"minutes 1500", {"0x0005001F=1500"}, u"", u"", true, ""},
        {"minutes 4294967295", {"0x0005001F=4294967295"}, u"", u"", true, ""},
        {"minutes -10", {"0x0005001F=-10"}, u"", u"", true, ""},
        {"no memo", {"-0x0006001F"}, u"", u"", false, rowD},
        {"a number for the memo", {"-0x0006001F", "0x00060013=4"}, u"", u"", false, rowD},
        {"a category of 4000 characters",
         {"0x0004001F=" + longText},
         u"",
         u"",
         false,
         "15-03-2006 | " + longText + " | 1:30"},
        {"a memo of 4000 characters", {"0x0006001F=" + longText}, u"", u"", false, rowD},
        {"a lone high surrogate in the memo",
         {"0x0006001F=a" + QString(QChar(0xE001)) + "b"},
         u"a\uE001b",
         u"a\xD800"
         u"b",
         false,
         rowD},
        {"a lone low surrogate ending the memo",
         {"0x0006001F=a" + QString(QChar(0xE002))},
         u"a\uE002",
         u"a\xDC00",
         false,
         rowD},
        {"surrogates in reverse order in the category",
         {"0x0004001F=S" + QString(QChar(0xE003)) + QString(QChar(0xE004))},
         u"S\uE003\uE004",
         u"S\xDC00\xD800",
         false,
         QString("15-03-2006 | S") + QChar(0xFFFD) + QChar(0xFFFD) + " | 1:30"},
        {"a property the program does not know", {"0x0007001F=more"}, u"", u"", false, rowD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeviceUnderTest device;
        Prepare(device);
        device.PutRecord(1, 1, 3, 2006, "Job", 60, "good a");
        Put(device, recordsName, Record(c.changes));
        device.PutRecord(3, 20, 3, 2006, "Reading", 30, "good c");
        if (!c.from.empty())
            DamageStoreFile(device, c.from, c.to);
        QStringList told = c.told ? QStringList{"stop: " + problems} : QStringList{};
        std::string answer = c.told ? "answer ok\n" : "";
        // Records after the one that stops the load are not read.
        QStringList rows = c.told ? QStringList{rowA} : QStringList{rowA, c.row, rowC};

        QString before = device.Store({"dump"});
        RunOutcome look = device.Run(answer + "state\n");
        ASSERT_EQ(look.exitCode, 0) << look.ScriptError().toStdString() << Messages(look);
        EXPECT_EQ(look.ScriptError(), "");
        EXPECT_EQ(Messages(look), Lines(told));
        EXPECT_EQ(Lines(RowTexts(look.LastState())), Lines(rows));
        EXPECT_EQ(device.Store({"dump"}), before) << "a run that only looks changes nothing";

        RunOutcome edit = device.Run(answer + editReportAndExport);
        ASSERT_EQ(edit.exitCode, 0) << edit.ScriptError().toStdString();
        EXPECT_EQ(edit.ScriptError(), "");
        EXPECT_EQ(Messages(edit), Lines(told + QStringList{"exclamation: OK !"}));
        EXPECT_EQ(Control(edit.State(0), 501).value("rows").toArray().size(), 3)
            << "a total for each of the three categories";
        EXPECT_TRUE(
            fs::exists(fs::path(device.Folder()) / "files/My Documents/Personal/Damaged.csv"));
        QJsonObject after = device.Dump();
        EXPECT_EQ(RecordsBut(after, "edited"), RecordsBut(DumpOf(before), "good a"))
            << "only the edited record changed";
        EXPECT_EQ(StoredOf(after, recordsName).size(), 3);
    }
}

// The props of the one stored record of a dump, the duration left out.
QJsonArray PropsButMinutes(const QJsonObject& dump)
{
    QJsonArray props;
    for (const auto& prop : StoredOf(dump, recordsName)[0].toObject().value("props").toArray())
        if (prop.toArray()[0].toString() != "0x0005001F")
            props << prop;
    return props;
}

TEST(DamagedStore, AnEditOfTheDurationKeepsTheCategoryAndMemoAsStored)
{
    const QString longText(3000, 'y');
    struct {
        const char* what;
        QString category, memo;
        std::u16string from, to; // code units written over in the store file afterwards
        const char* escaped;     // how the dump writes them
    } cases[] = {
        {"a category of 3000 characters", longText, "m", u"", u"", ""},
        {"a category with leading blanks", "  Padded", "m", u"", u"", ""},
        {"a memo of 3000 characters", "Sport", longText, u"", u"", ""},
        {"a lone surrogate in the memo", "Sport", "m" + QString(QChar(0xE006)), u"m\uE006",
         u"m\xD800", "\"m\\ud800\""},
        {"a lone surrogate in the category", "S" + QString(QChar(0xE007)), "m", u"S\uE007",
         u"S\xDC00", "\"S\\udc00\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeviceUnderTest device;
        Prepare(device);
        device.Store({"create-database", categoriesName});
        Put(device, categoriesName, {"0x00000013=0", "0x0001001F=" + c.category});
        Put(device, recordsName, Record({"0x0004001F=" + c.category, "0x0006001F=" + c.memo}));
        if (!c.from.empty()) {
            DamageStoreFile(device, c.from, c.to);
        }
        QJsonObject before = device.Dump();
        RunOutcome run = device.Run("row 0\npick 1008 \"02\"\nclick 1014\n");
        ASSERT_EQ(run.exitCode, 0) << run.ScriptError().toStdString();
        EXPECT_EQ(Messages(run), "");
        QString dump = device.Store({"dump"});
        EXPECT_EQ(PropsButMinutes(DumpOf(dump)), PropsButMinutes(before));
        EXPECT_EQ(Lines(StoredRecords(device)).substr(0, 10), "15 3 2006 ");
        EXPECT_TRUE(dump.contains("[\"0x0005001F\", \"150\"]")) << "the edit is kept";
        EXPECT_TRUE(dump.count(c.escaped) >= 1 || !*c.escaped) << dump.toStdString();
    }
}

TEST(DamagedStore, AStoredZeroDurationReadsTheSameInEveryRow)
{
    DeviceUnderTest device;
    Prepare(device);
    Put(device, recordsName, Record({"0x0005001F=0"}));
    // Deleted and restored, the record comes back as a row of its own.
    RunOutcome run = device.Run("state\nrow 0\nclick 1012\nanswer yes\nmenu 40050\nstate\n");
    ASSERT_EQ(run.exitCode, 0) << run.ScriptError().toStdString();
    EXPECT_EQ(Lines(RowTexts(run.State(0))), "15-03-2006 | Sport | 0:0");
    EXPECT_EQ(Lines(RowTexts(run.State(1))), "15-03-2006 | Sport | 0:0");
}

TEST(DamagedStore, OddStoredCategoriesAreListedAsReadAndOnlyTheUnreadableAreLeftOut)
{
    const QString longName(3000, 'n');
    const QString job = "0x0001001F=Job", walks = "0x0001001F=Walks";
    struct {
        const char* what;
        std::vector<QStringList> stored;
        std::u16string from, to; // code units written over in the store file afterwards
        QStringList listed;      // in Register Time, which sorts them
    } cases[] = {
        {"an empty name",
         {{"0x00000013=0", job}, {"0x00000013=1", "0x0001001F="}, {"0x00000013=2", walks}},
         u"",
         u"",
         {"Job", "Walks"}},
        {"a name twice",
         {{"0x00000013=0", job}, {"0x00000013=1", job}, {"0x00000013=2", walks}},
         u"",
         u"",
         {"Job", "Walks"}},
        {"a number for the name, and no name",
         {{"0x00000013=0", job}, {"0x00000013=1", "0x00010013=5"}, {"0x00000013=2"}, {walks}},
         u"",
         u"",
         {"Job", "Walks"}},
        {"no position, and one position twice",
         {{job}, {"0x00000013=0", walks}, {"0x00000013=0", "0x0001001F=Reading"}},
         u"",
         u"",
         {"Job", "Reading", "Walks"}},
        {"a name of 3000 characters",
         {{"0x00000013=0", job}, {"0x00000013=1", "0x0001001F=" + longName}},
         u"",
         u"",
         {"Job", longName}},
        {"leading blanks, a dash and control characters",
         {{"0x00000013=0", job},
          {"0x00000013=0", "0x0001001F=  Padded"},
          {"0x00000013=1", "0x0001001F=-"},
          {"0x00000013=2", "0x0001001F=Tab\tin"},
          {"0x00000013=3", "0x0001001F=Line\nbreak"}},
         u"",
         u"",
         {"  Padded", "-", "Job", "Line\nbreak", "Tab\tin"}},
        {"a lone surrogate in a name",
         {{"0x00000013=0", job}, {"0x00000013=1", "0x0001001F=Wa" + QString(QChar(0xE005)) + "lk"}},
         u"Wa\uE005lk",
         u"Wa\xD800lk",
         {"Job", "Wa" + QString(QChar(0xFFFD)) + "lk"}},
        // Nothing to choose from is no list a person could work with: the first start's names.
        {"no usable name at all",
         {{"0x00000013=0", "0x0001001F="}, {"0x00000013=1", "0x00010013=5"}},
         u"",
         u"",
         {"Job", "Reading", "Sport"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeviceUnderTest device;
        Prepare(device);
        device.Store({"create-database", categoriesName});
        for (const QStringList& props : c.stored)
            Put(device, categoriesName, props);
        // A record of a category the list does not hold, and one of a listed category.
        device.PutRecord(1, 1, 3, 2006, "Golf", 60, "unlisted");
        device.PutRecord(2, 2, 3, 2006, "Job", 30, "listed");
        if (!c.from.empty())
            DamageStoreFile(device, c.from, c.to);

        QString before = device.Store({"dump"});
        RunOutcome look = device.Run("menu 40003\nstate\nclick 1013\nrow 0\nstate\nclick 1014\n"
                                     "state\nclick 1013\nmenu 40021\ndate 1053 2006-03-01\n"
                                     "date 1054 2006-03-31\nclick 1057\nclick 1058\nstate\n"
                                     "click ok\n");
        ASSERT_EQ(look.exitCode, 0) << look.ScriptError().toStdString() << Messages(look);
        EXPECT_EQ(look.ScriptError(), "");
        EXPECT_EQ(Messages(look), "");
        EXPECT_EQ(Lines(Items(look.State(0), 1010)), Lines(c.listed));
        EXPECT_EQ(ControlText(look.State(1), 1010), "") << "an unlisted category is not chosen";
        EXPECT_EQ(Dialogs(look.State(2)), QJsonArray{108}) << "OK waits for a category";
        EXPECT_EQ(Control(look.State(3), 501).value("rows").toArray().size(), c.listed.size());
        EXPECT_EQ(device.Store({"dump"}), before) << "a run that only looks changes nothing";

        // A name dialog opened, even cancelled, has the categories written anew at the end, as
        // the list holds them.
        RunOutcome edit = device.Run("menu 40019\nclick 1032\nclick 1046\nclick ok\n");
        ASSERT_EQ(edit.exitCode, 0) << edit.ScriptError().toStdString();
        QStringList stored = StoredCategories(device);
        stored.sort();
        QStringList listed = c.listed;
        listed.sort();
        if (c.from.empty()) {
            EXPECT_EQ(Lines(stored), Lines(listed));
        }
        EXPECT_EQ(StoredRecords(device),
                  (QStringList{"1 3 2006 Golf 60 unlisted", "2 3 2006 Job 30 listed"}));
    }
}

TEST(DamagedStore, SettingsOfAnotherTypeOrOutOfRangeGiveTheDefaultsAndAreWrittenAnew)
{
    struct {
        QString key, name, type, value;
        int defaultValue;
    } cases[] = {
        {settingsKey, "Sort", "dword", "99", 0},
        {settingsKey, "SortOrder", "dword", "7", 2},
        {settingsKey, "SortOrder", "string", "1", 2},
        {settingsKey, "DateTypeView", "dword", "7", 0},
        {settingsKey, "DateTypeView", "binary", "02000000", 0},
        {settingsKey, "DateTypeView", "string", "2", 0},
        {settingsKey, "TimeTypeView", "binary", "00", 1},
        {settingsKey, "TimeTypeView", "binary", "0000000000000000", 1},
        {settingsKey, "TimeTypeView", "dword", "4294967295", 1},
        {settingsKey, "SortRapport", "dword", "9", 0},
        {settingsKey, "SortOrderRapport", "binary", "01000000", 0},
        {settingsKey, "DateTypeExport", "dword", "4", 0},
        {settingsKey, "TimeTypeExport", "dword", "3", 1},
        {settingsKey, "ExportFileType", "dword", "2", 0},
        {settingsKey, "ExportFileFolder", "string", "0", 1},
        {settingsKey, "CatRecsApply", "dword", "2", 0},
        {versionKey, "MajorVersion", "dword", "3", 0},
        {versionKey, "MinorVersion", "binary", "05000000", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.name + " " + c.type + " " + c.value).toStdString());
        DeviceUnderTest device;
        Prepare(device);
        device.PutRecord(1, 20, 3, 2006, "Reading", 30, "good c");
        device.PutRecord(2, 1, 3, 2006, "Job", 60, "good a");
        device.Store({"set-value", c.key, c.name, c.type, c.value});
        RunOutcome run = device.Run("state\nmenu 40046\nstate\nclick 1129\nmenu 40045\nstate\n"
                                    "click 1082\nmenu 40019\nstate\nclick ok\nmenu 40009\n"
                                    "state\nclick ok\nmenu 40021\ndate 1053 2006-03-01\n"
                                    "date 1054 2006-03-31\nclick 1057\nclick 1058\nstate\n"
                                    "click ok\n");
        ASSERT_EQ(run.exitCode, 0) << run.ScriptError().toStdString();
        EXPECT_EQ(run.ScriptError(), "");
        EXPECT_EQ(Messages(run), "");
        EXPECT_EQ(Lines(RowTexts(run.State(0))), Lines({rowA, rowC})) << "by date, rising";
        EXPECT_EQ(ControlText(run.State(1), 1122), "dd - mm - yyyy");
        EXPECT_EQ(ControlText(run.State(1), 1126), " : (colon)");
        QJsonObject exporting = run.State(2);
        EXPECT_EQ(Control(exporting, 1075).value("selected").toInt(), 1);
        for (int radio : {1077, 1078, 1080, 1081})
            EXPECT_EQ(Control(exporting, radio).value("checked").toBool(),
                      radio == 1077 || radio == 1081)
                << radio;
        EXPECT_FALSE(Control(run.State(3), 1036).value("checked").toBool());
        EXPECT_EQ(ControlText(run.State(4), 1066), "0.0");
        QJsonArray totals = Control(run.State(5), 501).value("rows").toArray();
        ASSERT_EQ(totals.size(), 3);
        EXPECT_EQ(totals[0].toObject().value("cells").toArray()[0].toString(), "Job")
            << "by category, rising";
        QJsonObject key = RegistryKey(device.Dump(), c.key);
        for (const auto& value : key.value("values").toArray())
            if (value.toObject().value("name").toString() == c.name) {
                EXPECT_EQ(value.toObject().value("type").toString(), "dword");
            }
        EXPECT_EQ(DwordValue(key, c.name), c.defaultValue);
    }
}
} // namespace
