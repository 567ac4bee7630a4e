// View Options and About as a person uses them: the formats chosen, their samples, the record
// list shown in them, the choice kept across a restart; the version in About; both layouts.
#include "tests/e2e/program_run.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>

namespace
{
const QString versionKey = "Software\\Ulmra\\Zentally";
const QString settingsKey = "Software\\Ulmra\\Zentally\\Settings";

const QStringList dateLabels = {"dd - mm - yyyy", "dd / mm / yyyy", "mm - dd - yyyy",
                                "mm / dd / yyyy"};
const QStringList timeLabels = {" , (comma)", " : (colon)"};

QStringList Items(const QJsonObject& state, int id)
{
    QStringList items;
    for (const auto& item : Control(state, id).value("items").toArray())
        items << item.toString();
    return items;
}

int SelectedItem(const QJsonObject& state, int id)
{
    return Control(state, id).value("selected").toInt(-1);
}

QList<int> Rect(const QJsonObject& state, int id)
{
    QList<int> rect;
    for (const auto& v : Control(state, id).value("rect").toArray())
        rect << v.toInt();
    return rect;
}

std::string Pick(int id, const QString& entry)
{
    return "pick " + std::to_string(id) + " \"" + entry.toStdString() + "\"\n";
}

// Three records stored out of date order: 5 March 2006, 29 October 2005, 15 January 2026.
void PutThreeRecords(const DeviceUnderTest& device)
{
    device.PutRecord(1, 5, 3, 2006, "Job", 65, "a");
    device.PutRecord(2, 29, 10, 2005, "Sport", 5, "");
    device.PutRecord(3, 15, 1, 2026, "Reading", 600, "b");
}

void SetVersion(const DeviceUnderTest& device, int major, int minor)
{
    if (major >= 0)
        device.Store({"set-value", versionKey, "MajorVersion", "dword", QString::number(major)});
    if (minor >= 0)
        device.Store({"set-value", versionKey, "MinorVersion", "dword", QString::number(minor)});
}

// A first start, so that the store tool finds a device.
void MakeDevice(const DeviceUnderTest& device)
{
    device.Run("menu 40049\n");
}

TEST(ViewOptions, OpensOnTheDefaultsWithTheirSamplesInValueOrder)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run("menu 40046\nstate\nclick 1129\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject open = run.State(0);
    EXPECT_EQ(Dialogs(open), QJsonArray{1120});
    EXPECT_EQ(open.value("title").toString(), "View Options");
    EXPECT_EQ(Items(open, 1122), dateLabels) << "the list keeps the order it is filled in";
    EXPECT_EQ(Items(open, 1126), timeLabels);
    EXPECT_EQ(SelectedItem(open, 1122), 0);
    EXPECT_EQ(ControlText(open, 1122), "dd - mm - yyyy");
    EXPECT_EQ(ControlText(open, 1124), "29-10-05");
    EXPECT_EQ(SelectedItem(open, 1126), 1);
    EXPECT_EQ(ControlText(open, 1126), " : (colon)");
    EXPECT_EQ(ControlText(open, 1128), "13:30");
    EXPECT_EQ(ControlText(open, 1121), "Date view type");
    EXPECT_EQ(ControlText(open, 1125), "Time view type");
    EXPECT_EQ(ControlText(open, 1123), "Sample:");
    EXPECT_EQ(ControlText(open, 1127), "Sample:");
    EXPECT_EQ(ControlText(open, 1129), "Cancel");
    EXPECT_EQ(ControlText(open, 1130), "OK");
    EXPECT_TRUE(Control(open, 1130).value("default").toBool());
    EXPECT_FALSE(open.value("sip").toBool());
    EXPECT_TRUE(Dialogs(run.State(1)).isEmpty()) << "Cancel closes it";
}

TEST(ViewOptions, EachChoiceShowsItsSampleAtOnceAndNothingIsStoredBeforeOk)
{
    const char* const dateSamples[] = {"29-10-05", "29/10/05", "10-29-05", "10/29/05"};
    const char* const timeSamples[] = {"13,30", "13:30"};
    DeviceUnderTest device;
    std::string script = "menu 40046\n";
    for (const QString& label : dateLabels)
        script += Pick(1122, label) + "state\n";
    for (const QString& label : timeLabels)
        script += Pick(1126, label) + "state\n";
    RunOutcome run = device.Run(script + "click 1129\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    for (int i = 0; i < 4; ++i) {
        QJsonObject state = run.State(size_t(i));
        EXPECT_EQ(Dialogs(state), QJsonArray{1120}) << i;
        EXPECT_EQ(SelectedItem(state, 1122), i);
        EXPECT_EQ(ControlText(state, 1124), dateSamples[i]) << i;
        EXPECT_EQ(ControlText(state, 1128), "13:30") << "the other sample stays";
        EXPECT_FALSE(state.value("sip").toBool()) << "the drop-down keeps the keyboard down";
    }
    for (int i = 0; i < 2; ++i) {
        QJsonObject state = run.State(size_t(4 + i));
        EXPECT_EQ(SelectedItem(state, 1126), i);
        EXPECT_EQ(ControlText(state, 1128), timeSamples[i]) << i;
        EXPECT_EQ(ControlText(state, 1124), "10/29/05");
    }
    EXPECT_TRUE(Dialogs(run.LastState()).isEmpty());
    QJsonObject settings = RegistryKey(device.Dump(), settingsKey);
    EXPECT_EQ(DwordValue(settings, "DateTypeView"), 0);
    EXPECT_EQ(DwordValue(settings, "TimeTypeView"), 1);
}

// Every row shows its date and duration in the chosen forms; the samples keep their two-digit
// year while the rows write four digits. The rows in date order, for each DateViewType and each
// TimeViewType:
const QStringList rowDates[] = {
    {"29-10-2005", "05-03-2006", "15-01-2026"},
    {"29/10/2005", "05/03/2006", "15/01/2026"},
    {"10-29-2005", "03-05-2006", "01-15-2026"},
    {"10/29/2005", "03/05/2006", "01/15/2026"},
};
const QStringList rowDurations[] = {
    {"0,05", "1,05", "10,00"},
    {"0:05", "1:05", "10:00"},
};
const QStringList rowCategories = {"Sport", "Job", "Reading"};

QStringList ExpectedRows(int date, int time)
{
    QStringList rows;
    for (int i = 0; i < 3; ++i)
        rows << rowDates[date][i] + " | " + rowCategories[i] + " | " + rowDurations[time][i];
    return rows;
}

TEST(ViewOptions, OkShowsEveryRowInEachOfTheEightCombinationsOfFormats)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    std::string script;
    for (int time = 0; time < 2; ++time)
        for (int date = 0; date < 4; ++date)
            script += "menu 40046\n" + Pick(1122, dateLabels[date]) + Pick(1126, timeLabels[time]) +
                      "click 1130\nstate\n";
    RunOutcome run = device.Run(script);
    ASSERT_EQ(run.ScriptError(), "");
    size_t n = 0;
    for (int time = 0; time < 2; ++time)
        for (int date = 0; date < 4; ++date) {
            QJsonObject state = run.State(n++);
            EXPECT_TRUE(Dialogs(state).isEmpty());
            EXPECT_EQ(RowTexts(state), ExpectedRows(date, time))
                << "date " << date << ", time " << time;
            EXPECT_EQ(state.value("cursor").toString(), "normal") << "the wait cursor is gone";
        }
}

TEST(ViewOptions, TheNavigationBarsOkConfirmsAsOkDoes)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    RunOutcome run =
        device.Run("menu 40046\n" + Pick(1122, "mm - dd - yyyy") + Pick(1126, " , (comma)") +
                   "click ok\nstate\nmenu 40046\nstate\n"
                   "click 1129\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject closed = run.State(0);
    EXPECT_TRUE(Dialogs(closed).isEmpty());
    EXPECT_EQ(RowTexts(closed), ExpectedRows(2, 0));
    QJsonObject again = run.State(1);
    EXPECT_EQ(SelectedItem(again, 1122), 2) << "the dialog opens on what was chosen";
    EXPECT_EQ(ControlText(again, 1124), "10-29-05");
    EXPECT_EQ(SelectedItem(again, 1126), 0);
    EXPECT_EQ(ControlText(again, 1128), "13,30");
}

TEST(ViewOptions, CancelKeepsBothFormatsAndTheListAsItWas)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    RunOutcome run =
        device.Run("menu 40046\n" + Pick(1122, "mm / dd / yyyy") + Pick(1126, " , (comma)") +
                   "click 1129\nstate\nmenu 40046\nstate\nclick 1129\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(RowTexts(run.State(0)), ExpectedRows(0, 1));
    QJsonObject again = run.State(1);
    EXPECT_EQ(SelectedItem(again, 1122), 0);
    EXPECT_EQ(ControlText(again, 1124), "29-10-05");
    EXPECT_EQ(SelectedItem(again, 1126), 1);
    EXPECT_EQ(ControlText(again, 1128), "13:30");
    QJsonObject settings = RegistryKey(device.Dump(), settingsKey);
    EXPECT_EQ(DwordValue(settings, "DateTypeView"), 0);
    EXPECT_EQ(DwordValue(settings, "TimeTypeView"), 1);
}

// OK puts the list in order again, as it refills it; Cancel leaves a new row where it was added.
TEST(ViewOptions, OkSortsARecordAddedAtTheEndIntoItsPlaceAndCancelDoesNot)
{
    const QStringList clock = {"--clock", "2026-12-07T09:30:00"};
    const std::string addEarly = "menu 40003\ndate 1007 2000-01-02\npick 1009 \"10\"\n"
                                 "pick 1010 \"Job\"\nclick 1014\n";
    DeviceUnderTest device;
    PutThreeRecords(device);
    RunOutcome run = device.Run(addEarly + "menu 40046\nclick 1129\nstate\nmenu 40046\n" +
                                    Pick(1122, "dd / mm / yyyy") + "click 1130\nstate\n",
                                clock);
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(RowTexts(run.State(0)).last(), "02-01-2000 | Job | 0:10");
    EXPECT_EQ(RowTexts(run.State(1)),
              (QStringList{"02/01/2000 | Job | 0:10", "29/10/2005 | Sport | 0:05",
                           "05/03/2006 | Job | 1:05", "15/01/2026 | Reading | 10:00"}));
}

TEST(ViewOptions, TheChoiceIsStoredAtExitAndShownAtTheNextStart)
{
    DeviceUnderTest device;
    PutThreeRecords(device);
    RunOutcome run = device.Run("menu 40046\n" + Pick(1122, "mm / dd / yyyy") +
                                Pick(1126, " , (comma)") + "click 1130\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(run.exitCode, 0);
    QJsonObject settings = RegistryKey(device.Dump(), settingsKey);
    EXPECT_EQ(DwordValue(settings, "DateTypeView"), 3);
    EXPECT_EQ(DwordValue(settings, "TimeTypeView"), 0);
    EXPECT_EQ(DwordValue(settings, "DateTypeExport"), 0) << "the export's own stays";

    RunOutcome next = device.Run("state\nmenu 40046\nstate\nclick 1129\n");
    ASSERT_EQ(next.ScriptError(), "");
    EXPECT_EQ(RowTexts(next.State(0)), ExpectedRows(3, 0));
    QJsonObject open = next.State(1);
    EXPECT_EQ(SelectedItem(open, 1122), 3);
    EXPECT_EQ(ControlText(open, 1124), "10/29/05");
    EXPECT_EQ(SelectedItem(open, 1126), 0);
    EXPECT_EQ(ControlText(open, 1128), "13,30");
}

TEST(ViewOptions, StoredFormatsOpenSelectedWithTheirSamples)
{
    DeviceUnderTest device;
    MakeDevice(device);
    device.Store({"set-value", settingsKey, "DateTypeView", "dword", "1"});
    device.Store({"set-value", settingsKey, "TimeTypeView", "dword", "0"});
    RunOutcome run = device.Run("menu 40046\nstate\nclick 1129\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject open = run.LastState();
    EXPECT_EQ(ControlText(open, 1122), "dd / mm / yyyy");
    EXPECT_EQ(ControlText(open, 1124), "29/10/05");
    EXPECT_EQ(ControlText(open, 1126), " , (comma)");
    EXPECT_EQ(ControlText(open, 1128), "13,30");
}

TEST(ViewOptions, BothLayoutsPlaceTheControlsFromTheirTables)
{
    struct Place {
        int id;
        QList<int> narrow;
        QList<int> wide;
    };
    // A list's closed height is its own; its table height includes the drop-down part.
    const Place places[] = {
        {1121, {6, 28, 228, 69}, {6, 10, 180, 69}},   {1122, {18, 47, 156}, {18, 29, 156}},
        {1123, {18, 73, 65, 18}, {18, 55, 65, 18}},   {1124, {94, 71, 80, 18}, {94, 53, 80, 18}},
        {1125, {6, 101, 228, 69}, {6, 83, 180, 69}},  {1126, {18, 120, 156}, {18, 102, 156}},
        {1127, {18, 145, 65, 18}, {18, 127, 65, 18}}, {1128, {94, 145, 80, 18}, {94, 127, 80, 18}},
        {1129, {7, 175, 80, 21}, {192, 18, 80, 21}},  {1130, {153, 175, 80, 21}, {192, 57, 80, 21}},
    };
    for (const char* screen : {"240x320", "320x240"}) {
        bool wide = std::string(screen) == "320x240";
        DeviceUnderTest device;
        RunOutcome run = device.Run("menu 40046\nstate\nclick 1129\n", {"--screen", screen});
        ASSERT_EQ(run.ScriptError(), "") << screen;
        QJsonObject state = run.State(0);
        for (const Place& p : places) {
            const QList<int>& expected = wide ? p.wide : p.narrow;
            EXPECT_EQ(Rect(state, p.id).mid(0, expected.size()), expected)
                << screen << " control " << p.id;
        }
    }
}

// The rows of a screenshot where a blue rule runs from x 10 to 185 without a break.
QList<int> BlueRuleRows(const QImage& image)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        bool rule = true;
        for (int x = 10; x <= 185 && rule; ++x)
            rule = image.pixel(x, y) == qRgb(0, 0, 255);
        if (rule)
            rows << y;
    }
    return rows;
}

// Where the header would stand on the turned screen, down to the first list.
const QRect aboveTheTurnedLists(0, 0, 191, 50);

int BluePixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == qRgb(0, 0, 255);
    return count;
}

// Only the upright screen has room for the header: "Date and Time view options" in blue over
// a blue rule that ends at x 190. Turned, nothing of it is painted.
TEST(ViewOptions, TheHeaderIsPaintedInTheNarrowLayoutOnly)
{
    for (const char* screen : {"240x320", "320x240"}) {
        bool wide = std::string(screen) == "320x240";
        DeviceUnderTest device;
        std::string shot = device.Folder() + "/../view_options.png";
        RunOutcome run =
            device.Run("menu 40046\nscreenshot " + shot + "\nclick 1129\n", {"--screen", screen});
        ASSERT_EQ(run.ScriptError(), "") << screen;
        QImage image(QString::fromStdString(shot));
        ASSERT_FALSE(image.isNull()) << screen;
        if (wide) {
            EXPECT_EQ(BluePixels(image, aboveTheTurnedLists), 0) << screen;
            continue;
        }
        QList<int> rules = BlueRuleRows(image);
        ASSERT_EQ(rules.size(), 1) << screen;
        int y = rules[0];
        EXPECT_EQ(image.pixel(190, y), qRgb(0, 0, 255));
        EXPECT_NE(image.pixel(192, y), qRgb(0, 0, 255)) << "the rule ends at 190";
        EXPECT_GT(BluePixels(image, QRect(6, y - 19, 184, 19)), 100)
            << "the header's text stands above the rule";
    }
}

TEST(ViewOptions, TurningTheScreenWhileOpenLaysTheControlsOutAgain)
{
    DeviceUnderTest device;
    std::string turnedShot = device.Folder() + "/../turned.png";
    std::string backShot = device.Folder() + "/../back.png";
    RunOutcome run = device.Run("menu 40046\n" + Pick(1122, "dd / mm / yyyy") + "rotate\nstate\n" +
                                "screenshot " + turnedShot + "\nrotate\nstate\nscreenshot " +
                                backShot + "\nclick 1130\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    QImage turnedImage(QString::fromStdString(turnedShot));
    QImage backImage(QString::fromStdString(backShot));
    EXPECT_EQ(BluePixels(turnedImage, aboveTheTurnedLists), 0) << "no header when turned";
    EXPECT_EQ(BlueRuleRows(backImage).size(), 1) << "the header comes back upright";
    QJsonObject turned = run.State(0);
    EXPECT_EQ(Dialogs(turned), QJsonArray{1120});
    EXPECT_EQ(Rect(turned, 1129), (QList<int>{192, 18, 80, 21}));
    EXPECT_EQ(Rect(turned, 1130), (QList<int>{192, 57, 80, 21}));
    EXPECT_EQ(ControlText(turned, 1124), "29/10/05") << "the choice survives the turn";
    QJsonObject back = run.State(1);
    EXPECT_EQ(Rect(back, 1129), (QList<int>{7, 175, 80, 21}));
    EXPECT_EQ(Rect(back, 1130), (QList<int>{153, 175, 80, 21}));
    EXPECT_TRUE(Dialogs(run.State(2)).isEmpty());
    EXPECT_EQ(DwordValue(RegistryKey(device.Dump(), settingsKey), "DateTypeView"), 1);
}

// About: icon 101, the name, the description and the version as "major.minor".
TEST(About, ShowsTheNameDescriptionAndVersionZeroOnANewDevice)
{
    DeviceUnderTest device;
    RunOutcome run = device.Run("menu 40009\nstate\nclick ok\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    QJsonObject open = run.State(0);
    EXPECT_EQ(Dialogs(open), QJsonArray{102});
    QStringList texts;
    for (const auto& control : open.value("controls").toArray())
        texts << control.toObject().value("text").toString();
    EXPECT_TRUE(texts.contains("Zentally")) << texts.join("; ").toStdString();
    EXPECT_TRUE(texts.contains("Personal Time Manager"));
    EXPECT_TRUE(texts.contains("Version:"));
    EXPECT_TRUE(texts.contains(QString(QChar(0xFFFF)) + QChar(101))) << "icon 101";
    EXPECT_EQ(ControlText(open, 1066), "0.0");
    for (const auto& control : open.value("controls").toArray())
        EXPECT_NE(control.toObject().value("class").toString(), "Button") << "no buttons";
    EXPECT_TRUE(Dialogs(run.State(1)).isEmpty()) << "the navigation bar's ok closes it";
    EXPECT_EQ(run.exitCode, 0);
}

TEST(About, ShowsTheStoredVersionWithoutLeadingZeros)
{
    struct Case {
        int major;
        int minor;
        const char* shown;
    } cases[] = {
        {2, 1, "2.1"},   {1, 20, "1.20"}, {1, 5, "1.5"}, {2, -1, "2.0"}, // no minor value
        {3, 7, "0.7"},   // a major above 2 is not taken
        {1, 100, "1.0"}, // nor a minor above 99
    };
    for (const Case& c : cases) {
        DeviceUnderTest device;
        MakeDevice(device);
        SetVersion(device, c.major, c.minor);
        RunOutcome run = device.Run("menu 40009\nstate\nclick ok\n");
        ASSERT_EQ(run.ScriptError(), "") << c.shown;
        EXPECT_EQ(ControlText(run.LastState(), 1066), c.shown) << c.major << "/" << c.minor;
    }
}

TEST(About, OpensAgainAfterClosingAndLeavesTheVersionAsStored)
{
    DeviceUnderTest device;
    MakeDevice(device);
    SetVersion(device, 2, 1);
    RunOutcome run = device.Run("menu 40009\nclick ok\nmenu 40009\nstate\nclick ok\nstate\n");
    ASSERT_EQ(run.ScriptError(), "");
    EXPECT_EQ(ControlText(run.State(0), 1066), "2.1");
    EXPECT_TRUE(Dialogs(run.State(1)).isEmpty());
    QJsonObject version = RegistryKey(device.Dump(), versionKey);
    EXPECT_EQ(DwordValue(version, "MajorVersion"), 2);
    EXPECT_EQ(DwordValue(version, "MinorVersion"), 1);
}

// The texts stand inside the screen, one under the other, at both sizes.
TEST(About, BothLayoutsKeepEveryTextOnTheScreenWithoutOverlaps)
{
    for (const char* screen : {"240x320", "320x240"}) {
        DeviceUnderTest device;
        MakeDevice(device);
        SetVersion(device, 1, 20);
        RunOutcome run = device.Run("menu 40009\nstate\nclick ok\n", {"--screen", screen});
        ASSERT_EQ(run.ScriptError(), "") << screen;
        QJsonObject state = run.LastState();
        int width = state.value("screen").toObject().value("width").toInt();
        QJsonArray controls = state.value("controls").toArray();
        ASSERT_EQ(controls.size(), 5) << screen;
        QList<QList<int>> rects;
        for (const auto& control : controls) {
            QList<int> r;
            for (const auto& v : control.toObject().value("rect").toArray())
                r << v.toInt();
            ASSERT_EQ(r.size(), 4);
            EXPECT_GE(r[0], 0) << screen;
            EXPECT_GE(r[1], 0) << screen;
            EXPECT_LE(r[0] + r[2], width) << screen;
            EXPECT_LE(r[1] + r[3], 188) << screen << ": inside the turned screen's dialog";
            EXPECT_TRUE(control.toObject().value("visible").toBool());
            rects << r;
        }
        for (int i = 0; i < rects.size(); ++i)
            for (int j = i + 1; j < rects.size(); ++j) {
                const QList<int>& a = rects[i];
                const QList<int>& b = rects[j];
                bool apart = a[0] + a[2] <= b[0] || b[0] + b[2] <= a[0] || a[1] + a[3] <= b[1] ||
                             b[1] + b[3] <= a[1];
                EXPECT_TRUE(apart) << screen << ": controls " << i << " and " << j << " overlap";
            }
        EXPECT_EQ(ControlText(state, 1066), "1.20");
    }
}
} // namespace
