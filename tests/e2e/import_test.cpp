// Records exported by the program and imported by zentally-store into another device: the same
// records stored and shown, in every encoding and lossless duration form, and the categories
// they name found, normalised or added as the program keeps its own.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace
{
const QString settingsKey = "Software\\Ulmra\\Zentally\\Settings";

void SetView(const DeviceUnderTest& device, int dateView, int timeView)
{
    device.Store({"set-value", settingsKey, "DateTypeView", "dword", QString::number(dateView)});
    device.Store({"set-value", settingsKey, "TimeTypeView", "dword", QString::number(timeView)});
}

QStringList Sorted(QStringList list)
{
    list.sort();
    return list;
}

QStringList ShownRows(const DeviceUnderTest& device)
{
    RunOutcome run = device.Run("state\n");
    EXPECT_EQ(run.ScriptError(), "");
    return RowTexts(run.LastState());
}

// Exports every record of `device` as Week.csv in the Personal folder and returns its path.
std::string ExportRecords(const DeviceUnderTest& device, const std::string& choices)
{
    RunOutcome run =
        device.Run("menu 40045\n" + choices + "type 1073 \"week\"\nclick 1083\nanswer ok\n");
    EXPECT_EQ(run.ScriptError(), "");
    return device.Folder() + "/files/My Documents/Personal/Week.csv";
}
} // namespace

TEST(ImportRecords, RecordsExportedInEachEncodingAndLosslessFormComeBackAsTheyWereKept)
{
    const char* const forms[] = {"dd-mm-yyyy", "dd/mm/yyyy", "mm-dd-yyyy", "mm/dd/yyyy"};
    const QString sayHi = QString::fromUtf8("Say \"hi\", caf\u00e9");
    struct Kept {
        int day, month, year;
        QString category;
        int minutes;
        QString memo, exported; // the memo as stored, and as the export cleaned it
    };
    // The export cleans memos: a quote, apostrophe or backquote becomes a blank, a CR LF two.
    const Kept kept[] = {
        {29, 2, 2024, "Job", 1, "", ""},
        {1, 1, 1601, "9 to 5", 59, " ", " "},
        {31, 12, 9999, "Job", 60, "a, b; it's \"done\" `now`", "a, b; it s  done   now "},
        {8, 12, 2026, sayHi, 61, "line\r\nbreak, lone\nLF", "line  break, lone\nLF"},
        {8, 12, 2026, "9 to 5", 1499, QString(29, 'm'), QString(29, 'm')},
    };
    // Beyond Windows-1252: only a UNICODE file keeps it.
    const Kept wide = {9,
                       12,
                       2026,
                       "Job",
                       125,
                       QString::fromUtf8("\u0141\u00f3d\u017a \U0001F600"),
                       QString::fromUtf8("\u0141\u00f3d\u017a \U0001F600")};
    struct {
        const char* choices; // in Export File Options
        bool unicode;
        int dateView, timeView;
    } cases[] = {
        {"", false, 0, 1},
        {"", false, 1, 0},
        {"pick 1075 \"minutes\"\n", false, 2, 1},
        {"click 1078\n", true, 3, 0},
        {"click 1078\n", true, 2, 1},
        {"click 1078\npick 1075 \"minutes\"\n", true, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.unicode ? "UNICODE " : "ASCII ") + forms[c.dateView] +
                     (c.timeView ? " colon " : " comma ") + c.choices);
        std::vector<Kept> records(std::begin(kept), std::end(kept));
        if (c.unicode)
            records.push_back(wide);
        DeviceUnderTest source;
        source.PutCategory(0, "Job");
        source.PutCategory(1, sayHi);
        source.PutCategory(2, "9 to 5");
        QStringList expected;
        int key = 0;
        for (const Kept& r : records) {
            source.PutRecord(++key, r.day, r.month, r.year, r.category, r.minutes, r.memo);
            expected << QString("%1 %2 %3 %4 %5 %6")
                            .arg(r.day)
                            .arg(r.month)
                            .arg(r.year)
                            .arg(r.category)
                            .arg(r.minutes)
                            .arg(r.exported)
                            .trimmed();
        }
        SetView(source, c.dateView, c.timeView);
        std::string file = ExportRecords(source, c.choices);
        ASSERT_TRUE(fs::exists(file));

        DeviceUnderTest target;
        int code = -1;
        QString out = target.Store(
            {"import", QString::fromStdString(file), "--date-format", forms[c.dateView]}, &code);
        ASSERT_EQ(code, 0);
        EXPECT_EQ(out, QString("imported %1 records and 2 new categories: \"9 to 5\" \"%2\"\n")
                           .arg(records.size())
                           .arg(sayHi));
        EXPECT_EQ(Sorted(StoredRecords(target)), Sorted(expected));
        // The program shows them as it shows the records they came from, and the categories
        // are the first start's three and the two added after them, in the file's order.
        SetView(target, c.dateView, c.timeView);
        EXPECT_EQ(ShownRows(target), ShownRows(source));
        EXPECT_EQ(StoredCategories(target),
                  (QStringList{"Job", "Reading", "Sport", "9 to 5", sayHi}));
    }
}

TEST(ImportRecords, CategoriesAreFoundNormalisedOrAddedAfterTheStoredOnesAndKeysAreFresh)
{
    DeviceUnderTest device;
    device.PutCategory(0, "Job");
    device.PutCategory(7, "books");
    device.PutRecord(1, 1, 12, 2026, "Job", 30, "");
    std::string file = device.Folder() + "/in.csv";
    auto write = [&](const std::string& lines) {
        std::ofstream(file, std::ios::binary)
            << "\"Date\",\"Category\",\"Time (minutes)\",\"Memo\"\r\n" + lines;
    };

    // Names the device has, exactly or once normalised, add no category: the categories
    // database stays as it was, record for record.
    auto categoriesOf = [&] {
        for (const auto& db : device.Dump().value("databases").toArray())
            if (db.toObject().value("name").toString() == "Ulmra ZentallyCustom")
                return db.toObject();
        return QJsonObject();
    };
    QJsonObject categories = categoriesOf();
    write("\"02-12-2026\",\"JOB \",\"10\",\"\"\r\n\"03-12-2026\",\"books\",\"20\",\"\"\r\n");
    EXPECT_EQ(device.Store({"import", QString::fromStdString(file)}), "imported 2 records\n");
    EXPECT_EQ(categoriesOf(), categories);

    write("\"04-12-2026\",\"poetry CLUB\",\"1\",\"\"\r\n\"05-12-2026\",\"Books\",\"2\",\"\"\r\n"
          "\"06-12-2026\",\"Poetry club\",\"3\",\"\"\r\n\"07-12-2026\",\"reading\",\"4\",\"\"\r\n");
    EXPECT_EQ(device.Store({"import", QString::fromStdString(file)}),
              "imported 4 records and 3 new categories: \"Poetry club\" \"Books\" \"Reading\"\n");
    QJsonArray stored = categoriesOf().value("records").toArray();
    QStringList positions;
    for (const auto& record : stored)
        positions << QString::number(record.toObject()["props"].toArray()[0].toArray()[1].toInt());
    EXPECT_EQ(positions, (QStringList{"0", "7", "8", "9", "10"}));
    EXPECT_EQ(StoredCategories(device),
              (QStringList{"Job", "books", "Poetry club", "Books", "Reading"}));
    EXPECT_EQ(StoredRecords(device),
              (QStringList{"1 12 2026 Job 30", "2 12 2026 Job 10", "3 12 2026 books 20",
                           "4 12 2026 Poetry club 1", "5 12 2026 Books 2",
                           "6 12 2026 Poetry club 3", "7 12 2026 Reading 4"}));

    // Every key is one no other record holds, in the file's order after the first record's.
    QList<qint64> keys;
    for (const auto& db : device.Dump().value("databases").toArray())
        if (db.toObject().value("name").toString() == "Ulmra Zentally")
            for (const auto& record : db.toObject().value("records").toArray())
                keys << record.toObject()["props"].toArray()[0].toArray()[1].toInteger();
    ASSERT_EQ(keys.size(), 7);
    for (qsizetype i = 2; i < keys.size(); ++i)
        EXPECT_LT(keys[i - 1], keys[i]) << "keys in the store's order follow the file's";

    // The program offers the added categories in Register Time, whose list is sorted.
    RunOutcome run = device.Run("menu 40003\nstate\nclick 1013\n");
    ASSERT_EQ(run.ScriptError(), "");
    QStringList items;
    for (const auto& item : Control(run.LastState(), 1010).value("items").toArray())
        items << item.toString();
    EXPECT_EQ(items, (QStringList{"books", "Books", "Job", "Poetry club", "Reading"}));
}
