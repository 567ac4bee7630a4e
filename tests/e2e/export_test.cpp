// Export File Options as a person uses it: the name typed, trimmed, capitalised or refused, the
// choices kept at every OK and at no Cancel, each dialog's remembered name, and the file the
// person finds afterwards in the folder and encoding chosen, old files and missing folders
// included; both layouts.
#include "tests/e2e/program_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace
{
const QStringList clock = {"--clock", "2026-03-02T09:30:00"};
const QString settingsKey = "Software\\Ulmra\\Zentally\\Settings";
const char* const nameRule = "Please, enter a unique name that is alphabetic character within the "
                             "ranges A - Z or a - z or decimal digit (0 - 9).";

// One record of today, with a memo whose "é" is one byte in an ASCII file.
void PutRecord(const DeviceUnderTest& device)
{
    device.PutRecord(1, 2, 3, 2026, "Job", 90, QString::fromUtf8("café"));
}

fs::path Folder(const DeviceUnderTest& device, const char* folder)
{
    return fs::path(device.Folder()) / "files" / "My Documents" / folder;
}

// Every file of both export folders, as "Folder/name".
QStringList ExportedFiles(const DeviceUnderTest& device)
{
    QStringList files;
    for (const char* folder : {"Business", "Personal"}) {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(Folder(device, folder), ignored))
            files << QString(folder) + "/" + QString::fromStdString(entry.path().filename());
    }
    files.sort();
    return files;
}

std::string Bytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// UTF-16LE, or one byte per character for text within Latin-1.
std::string Encoded(const std::u16string& text, bool unicode)
{
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        if (unicode)
            bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::string Export(const std::string& name)
{
    return "menu 40045\ntype 1073 \"" + name + "\"\nclick 1083\n";
}

QJsonArray Selection(int from, int to)
{
    return QJsonArray{from, to};
}

// The name is handed back: the dialog open, the name focused and wholly selected, the panel up.
void ExpectNameHandedBack(const QJsonObject& state, const QString& typed)
{
    EXPECT_EQ(Dialogs(state), QJsonArray{1070});
    EXPECT_EQ(state.value("focus").toInt(), 1073);
    EXPECT_TRUE(state.value("sip").toBool());
    EXPECT_EQ(ControlText(state, 1073), typed);
    EXPECT_EQ(Control(state, 1073).value("selection").toArray(), Selection(0, typed.size()));
}

TEST(ExportRecords, OpensOnTheStoredChoicesWithTheNameFocusedAndThePanelUp)
{
    struct {
        const char* stored; // TimeTypeExport, ExportFileType, ExportFileFolder; none: defaults
        int timeType;
        int checked[2];
    } cases[] = {
        {nullptr, 1, {1077, 1081}},
        {"201", 2, {1077, 1081}},
        {"010", 0, {1078, 1080}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "defaults");
        DeviceUnderTest device;
        PutRecord(device);
        const char* names[] = {"TimeTypeExport", "ExportFileType", "ExportFileFolder"};
        for (int i = 0; c.stored && i < 3; ++i)
            device.Store(
                {"set-value", settingsKey, names[i], "dword", QString::number(c.stored[i] - '0')});
        RunOutcome run =
            device.Run("menu 40045\nstate\npick 1075 \"hours only\"\nstate\nclick 1082\n");
        ASSERT_EQ(run.ScriptError(), "");
        QJsonObject state = run.State(0);
        EXPECT_EQ(Dialogs(state), QJsonArray{1070});
        EXPECT_EQ(state.value("title").toString(), "Export File Options");
        EXPECT_EQ(state.value("focus").toInt(), 1073);
        EXPECT_TRUE(state.value("sip").toBool());
        EXPECT_EQ(ControlText(state, 1073), "");
        EXPECT_EQ(Control(state, 1073).value("limit").toInt(), 15);
        EXPECT_EQ(Control(state, 1075).value("items").toArray(),
                  (QJsonArray{"minutes", "hours:minutes", "hours only"}));
        EXPECT_EQ(Control(state, 1075).value("selected").toInt(), c.timeType);
        for (int radio : {1077, 1078, 1080, 1081})
            EXPECT_EQ(Control(state, radio).value("checked").toBool(),
                      radio == c.checked[0] || radio == c.checked[1])
                << radio;
        EXPECT_TRUE(Control(state, 1083).value("default").toBool());
        EXPECT_TRUE(run.State(1).value("sip").toBool()) << "the panel comes back after a pick";
        EXPECT_EQ(Control(run.State(1), 1075).value("selected").toInt(), 2);
    }
}

TEST(ExportRecords, AcceptedNamesAreTrimmedAndCapitalisedIntoTheFileName)
{
    struct {
        const char* typed;
        const char* ok;
        const char* file;
    } cases[] = {
        {"  my report  ", "click 1083", "Personal/My report.csv"},
        {"SALES", "click ok", "Personal/Sales.csv"},
        {"2005report", "click 1083", "Personal/2005report.csv"},
        {"wEEK 12", "click ok", "Personal/Week 12.csv"},
        {"émile", "click 1083", "Personal/Émile.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        DeviceUnderTest device;
        PutRecord(device);
        RunOutcome run = device.Run(std::string("menu 40045\ntype 1073 \"") + c.typed + "\"\n" +
                                    c.ok + "\nanswer ok\nstate\n");
        ASSERT_EQ(run.ScriptError(), "");
        ASSERT_EQ(run.Of("messagebox").size(), 1u);
        QJsonObject box = run.Of("messagebox")[0];
        EXPECT_EQ(box.value("text").toString(), "OK !");
        EXPECT_EQ(box.value("icon").toString(), "exclamation");
        EXPECT_EQ(box.value("caption").toString(), "Zentally");
        EXPECT_TRUE(Dialogs(run.LastState()).isEmpty());
        EXPECT_EQ(ExportedFiles(device), QStringList{QString::fromUtf8(c.file)});
    }
}

TEST(ExportRecords, RefusedNamesTellTheRuleOnlyWhenNotEmptyAndWriteNothing)
{
    struct {
        const char* typed;
        bool told;
    } cases[] = {
        {"a_b", true}, {"a-b", true}, {"a.b", true}, {"   ", true}, {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.typed + "\"");
        DeviceUnderTest device;
        PutRecord(device);
        std::string script = c.typed[0] ? Export(c.typed) : "menu 40045\nclick 1083\n";
        RunOutcome run = device.Run(script + (c.told ? "answer ok\n" : "") + "state\nclick 1082\n");
        ASSERT_EQ(run.ScriptError(), "");
        ASSERT_EQ(run.Of("messagebox").size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(run.Of("messagebox")[0].value("text").toString(), nameRule);
            EXPECT_EQ(run.Of("messagebox")[0].value("icon").toString(), "exclamation");
        }
        ExpectNameHandedBack(run.LastState(), c.typed);
        EXPECT_TRUE(ExportedFiles(device).isEmpty());
    }
}

// The choices are stored before the name is looked at, and shown again at the next opening.
TEST(ExportRecords, EveryOkStoresTheChoicesEvenForARefusedNameAndCancelStoresNone)
{
    struct {
        const char* ok;
        int stored[3]; // TimeTypeExport, ExportFileType, ExportFileFolder
    } cases[] = {
        {"type 1073 \"a_b\"\nclick 1083\nanswer ok\n", {0, 1, 0}},
        {"click 1083\n", {0, 1, 0}},
        {"", {1, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ok);
        DeviceUnderTest device;
        PutRecord(device);
        RunOutcome run = device.Run(std::string("menu 40045\npick 1075 \"minutes\"\nclick 1078\n"
                                                "click 1080\n") +
                                    c.ok + "click 1082\nmenu 40045\nstate\nclick 1082\n");
        ASSERT_EQ(run.ScriptError(), "");
        QJsonObject settings = RegistryKey(device.Dump(), settingsKey);
        EXPECT_EQ(DwordValue(settings, "TimeTypeExport"), c.stored[0]);
        EXPECT_EQ(DwordValue(settings, "ExportFileType"), c.stored[1]);
        EXPECT_EQ(DwordValue(settings, "ExportFileFolder"), c.stored[2]);
        QJsonObject reopened = run.LastState();
        EXPECT_EQ(Control(reopened, 1075).value("selected").toInt(), c.stored[0]);
        EXPECT_EQ(Control(reopened, 1078).value("checked").toBool(), c.stored[1] == 1);
        EXPECT_EQ(Control(reopened, 1080).value("checked").toBool(), c.stored[2] == 0);
        EXPECT_TRUE(ExportedFiles(device).isEmpty());
    }
}

// The report dialog is reached through the Time Report's list of every category.
TEST(ExportReport, EachDialogOffersOnlyTheNameItLastExportedUnder)
{
    DeviceUnderTest device;
    PutRecord(device);
    RunOutcome run = device.Run(
        Export("sales") + "answer ok\nmenu 40045\nstate\ntype 1073 \"a_b\"\nclick 1083\n"
                          "answer ok\nclick 1082\nmenu 40045\nstate\nclick 1082\n"
                          "menu 40021\nclick 1057\nclick 1058\nclick 1059\nstate\n"
                          "type 1094 \"totals\"\nclick 1104\nanswer ok\nclick 1059\nstate\n"
                          "click 1103\nclick ok\nmenu 40045\nstate\nclick 1082\n",
        clock);
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(ControlText(run.State(0), 1073), "Sales");
    EXPECT_EQ(ControlText(run.State(1), 1073), "Sales") << "a refused name is not remembered";
    EXPECT_EQ(Dialogs(run.State(2)), (QJsonArray{127, 1091}));
    EXPECT_EQ(ControlText(run.State(2), 1094), "");
    EXPECT_EQ(run.State(2).value("focus").toInt(), 1094);
    EXPECT_EQ(ControlText(run.State(3), 1094), "Totals");
    EXPECT_EQ(ControlText(run.State(4), 1073), "Sales");
    EXPECT_EQ(ExportedFiles(device), (QStringList{"Personal/Sales.csv", "Personal/Totals.csv"}));
    std::string report = Bytes(Folder(device, "Personal") / "Totals.csv");
    EXPECT_EQ(report.rfind("\"Category\",\"Time (hours and minutes)\"\r\n", 0), 0u) << report;
    EXPECT_NE(report.find("\r\n\"Job\",\"1:30\"\r\n"), std::string::npos) << report;
}

TEST(ExportRecords, TheFileIsWrittenInTheChosenFolderTimeTypeAndEncoding)
{
    struct {
        const char* choices;
        const char* file;
        bool unicode;
        std::u16string title, time;
    } cases[] = {
        {"", "Personal/Week.csv", false, u"hours and minutes", u"1:30"},
        {"click 1078\nclick 1080\npick 1075 \"minutes\"\n", "Business/Week.csv", true, u"minutes",
         u"90"},
        {"pick 1075 \"hours only\"\nclick 1078\n", "Personal/Week.csv", true, u"hours only", u"1"},
        {"click 1080\n", "Business/Week.csv", false, u"hours and minutes", u"1:30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + std::string(c.unicode ? " UNICODE " : " ASCII ") + c.choices);
        DeviceUnderTest device;
        PutRecord(device);
        RunOutcome run = device.Run(std::string("menu 40045\n") + c.choices +
                                    "type 1073 \"week\"\nclick 1083\nanswer ok\n");
        ASSERT_EQ(run.ScriptError(), "");
        ASSERT_EQ(ExportedFiles(device), QStringList{c.file});
        std::u16string text = u"\"Date\",\"Category\",\"Time (" + c.title + u")\",\"Memo\"\r\n" +
                              u"\"02-03-2026\",\"Job\",\"" + c.time + u"\",\"caf\u00e9\"\r\n";
        std::string folder = std::string(c.file).substr(0, std::string(c.file).find('/'));
        EXPECT_EQ(Bytes(Folder(device, folder.c_str()) / "Week.csv"), Encoded(text, c.unicode));
    }
}

TEST(ExportRecords, AnExistingFileIsReplacedOnlyAfterAYes)
{
    const std::string old = "old bytes\r\n";
    for (bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "yes" : "no");
        DeviceUnderTest device;
        PutRecord(device);
        std::ofstream(Folder(device, "Personal") / "Sales.csv", std::ios::binary) << old;
        RunOutcome run = device.Run(Export("sales") + (replace ? "answer yes\nanswer ok\n"
                                                               : "answer no\nstate\nclick 1082\n"));
        ASSERT_EQ(run.ScriptError(), "");
        ASSERT_EQ(run.Of("messagebox").size(), replace ? 2u : 1u);
        EXPECT_EQ(run.Of("messagebox")[0].value("text").toString(),
                  "File already exists - do you want replace existing file?");
        EXPECT_EQ(run.Of("messagebox")[0].value("buttons").toString(), "yesno");
        std::string bytes = Bytes(Folder(device, "Personal") / "Sales.csv");
        if (replace) {
            EXPECT_EQ(run.Of("messagebox")[1].value("text").toString(), "OK !");
            EXPECT_EQ(bytes.rfind("\"Date\",\"Category\"", 0), 0u) << bytes;
        } else {
            EXPECT_EQ(bytes, old);
            ExpectNameHandedBack(run.LastState(), "sales");
        }
        EXPECT_EQ(ExportedFiles(device), QStringList{"Personal/Sales.csv"});
    }
}

TEST(ExportRecords, AMissingFolderIsReportedWithTheDialogLeftOpenAndNothingWritten)
{
    struct {
        const char* folder;
        const char* choice;
        int stored;
    } cases[] = {{"Business", "click 1080\n", 0}, {"Personal", "", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        DeviceUnderTest device;
        PutRecord(device);
        fs::remove_all(Folder(device, c.folder));
        RunOutcome run = device.Run(std::string("menu 40045\n") + c.choice +
                                    "type 1073 \"sales\"\nclick 1083\nanswer ok\nstate\n"
                                    "click 1082\n");
        ASSERT_EQ(run.ScriptError(), "");
        ASSERT_EQ(run.Of("messagebox").size(), 1u);
        QJsonObject box = run.Of("messagebox")[0];
        EXPECT_TRUE(box.value("text").toString().startsWith(QString("Folder ") + c.folder +
                                                            " doesn't exist"))
            << box.value("text").toString().toStdString();
        EXPECT_EQ(box.value("icon").toString(), "exclamation");
        ExpectNameHandedBack(run.LastState(), "sales");
        EXPECT_FALSE(fs::exists(Folder(device, c.folder)));
        EXPECT_TRUE(ExportedFiles(device).isEmpty());
        EXPECT_EQ(DwordValue(RegistryKey(device.Dump(), settingsKey), "ExportFileFolder"),
                  c.stored);
    }
}

// The duration list's box keeps the height of one line, so only its place and width are given.
TEST(ExportRecords, BothLayoutsPlaceEveryControlAndATurnMovesThem)
{
    struct Place {
        int id;
        QJsonArray narrow, wide;
    };
    const Place places[] = {
        {1071, {6, 5, 228, 45}, {6, 3, 195, 45}},
        {1072, {14, 25, 40, 18}, {13, 23, 35, 18}},
        {1073, {65, 22, 140, 20}, {60, 20, 130, 20}},
        {1074, {13, 56, 70, 18}, {6, 54, 60, 18}},
        {1075, {90, 54, 140}, {70, 52, 130}},
        {1076, {6, 80, 110, 60}, {204, 3, 110, 50}},
        {1077, {15, 95, 80, 18}, {214, 17, 80, 16}},
        {1078, {15, 115, 80, 18}, {214, 34, 80, 16}},
        {1079, {125, 80, 110, 60}, {204, 55, 110, 50}},
        {1080, {135, 95, 77, 18}, {214, 70, 77, 16}},
        {1081, {135, 115, 77, 18}, {214, 87, 77, 16}},
        {1082, {8, 148, 80, 21}, {8, 77, 80, 21}},
        {1083, {153, 148, 80, 21}, {120, 77, 80, 21}},
    };
    DeviceUnderTest device;
    PutRecord(device);
    RunOutcome turned = device.Run("menu 40045\ntype 1073 \"kept\"\nstate\nrotate\nstate\n"
                                   "click 1082\n");
    RunOutcome wide = device.Run("menu 40045\nstate\nclick 1082\n", {"--screen", "320x240"});
    ASSERT_EQ(turned.ScriptError(), "");
    ASSERT_EQ(wide.ScriptError(), "");
    auto rect = [](const QJsonObject& state, int id, qsizetype size) {
        QJsonArray all = Control(state, id).value("rect").toArray();
        return QJsonArray::fromVariantList(all.toVariantList().mid(0, size));
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.id);
        EXPECT_EQ(rect(turned.State(0), p.id, p.narrow.size()), p.narrow);
        EXPECT_EQ(rect(turned.State(1), p.id, p.wide.size()), p.wide);
        EXPECT_EQ(rect(wide.State(0), p.id, p.wide.size()), p.wide);
    }
    EXPECT_EQ(ControlText(turned.State(1), 1073), "kept");
    EXPECT_EQ(turned.State(1).value("focus").toInt(), 1073);
}
} // namespace
