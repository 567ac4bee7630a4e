#include "device/device_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Parsed {
    bool ok;
    DeviceOptions options;
    std::string reason;
};

Parsed Parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "zentally");
    Parsed parsed{false, {}, {}};
    parsed.ok = ParseDeviceOptions(int(args.size()), args.data(), &parsed.options, &parsed.reason);
    return parsed;
}

TEST(DeviceOptions, NoArgumentsGiveTheHandheldsDefaults)
{
    Parsed parsed = Parse({});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.screenWidth, 240);
    EXPECT_EQ(parsed.options.screenHeight, 320);
    EXPECT_EQ(parsed.options.scale, 1);
    EXPECT_TRUE(parsed.options.deviceFolder.empty());
    EXPECT_TRUE(parsed.options.script.empty());
    EXPECT_FALSE(parsed.options.show);
    EXPECT_FALSE(parsed.options.clockSet);
    EXPECT_FALSE(parsed.options.help);
}

TEST(DeviceOptions, ReadsEveryOption)
{
    Parsed parsed = Parse({"--device", "/tmp/d", "--screen", "480x640", "--scale", "3", "--clock",
                           "2026-12-07T09:30:05", "--script", "-", "--show"});
    ASSERT_TRUE(parsed.ok) << parsed.reason;
    EXPECT_EQ(parsed.options.deviceFolder, "/tmp/d");
    EXPECT_EQ(parsed.options.screenWidth, 480);
    EXPECT_EQ(parsed.options.screenHeight, 640);
    EXPECT_EQ(parsed.options.scale, 3);
    EXPECT_EQ(parsed.options.script, "-");
    EXPECT_TRUE(parsed.options.show);
    ASSERT_TRUE(parsed.options.clockSet);
    EXPECT_EQ(parsed.options.clock.wYear, 2026);
    EXPECT_EQ(parsed.options.clock.wMonth, 12);
    EXPECT_EQ(parsed.options.clock.wDay, 7);
    EXPECT_EQ(parsed.options.clock.wDayOfWeek, 1); // a Monday
    EXPECT_EQ(parsed.options.clock.wHour, 9);
    EXPECT_EQ(parsed.options.clock.wMinute, 30);
    EXPECT_EQ(parsed.options.clock.wSecond, 5);
}

TEST(DeviceOptions, HelpAndVersionAreTakenWhereverTheyStand)
{
    const struct {
        std::vector<const char*> args;
        bool help, version;
    } cases[] = {
        {{"--screen", "320x240", "--help"}, true, false},
        {{"-h", "--screen", "320x240"}, true, false},
        {{"--version"}, false, true},
        {{"--device", "/tmp/d", "--version"}, false, true},
        {{"--show", "--version"}, false, true},
        {{"--version", "--help"}, true, true},
    };
    for (const auto& c : cases) {
        Parsed parsed = Parse(c.args);
        ASSERT_TRUE(parsed.ok) << c.args.back() << ": " << parsed.reason;
        EXPECT_EQ(parsed.options.help, c.help) << c.args.back();
        EXPECT_EQ(parsed.options.version, c.version) << c.args.back();
    }
    EXPECT_NE(std::string(DeviceUsage()).find("--script"), std::string::npos);
    EXPECT_NE(std::string(DeviceUsage()).find("--version"), std::string::npos);
    EXPECT_STREQ(DeviceVersion(), "zentally 0.1\n");
}

TEST(DeviceOptions, TheLastOfARepeatedOptionHolds)
{
    Parsed parsed = Parse({"--screen", "320x240", "--screen", "240x320"});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.screenWidth, 240);
    EXPECT_EQ(parsed.options.screenHeight, 320);
}

struct BadCase {
    std::vector<const char*> args;
    const char* inReason; // a piece of the reason, naming what is wrong
};

TEST(DeviceOptions, RefusesWhatItCannotUnderstandWithAReason)
{
    const BadCase cases[] = {
        {{"--bogus"}, "unknown argument --bogus"},
        {{"--versions"}, "unknown argument --versions"},
        {{"-v"}, "unknown argument -v"},
        {{"-x"}, "unknown argument -x"},
        {{"device"}, "unknown argument device"},
        {{"--device"}, "--device needs"},
        {{"--device", ""}, "--device needs"},
        {{"--screen"}, "--screen needs"},
        {{"--screen", "240"}, "--screen takes"},
        {{"--screen", "240x"}, "--screen takes"},
        {{"--screen", "x320"}, "--screen takes"},
        {{"--screen", "240x320x2"}, "--screen takes"},
        {{"--screen", "240X320"}, "--screen takes"},
        {{"--screen", " 240x320"}, "--screen takes"},
        {{"--screen", "+240x320"}, "--screen takes"},
        {{"--screen", "-240x320"}, "--screen takes"},
        {{"--screen", "240x320 "}, "--screen takes"},
        {{"--screen", "100x320"}, "--screen takes"},
        {{"--screen", "240x4096"}, "--screen takes"},
        {{"--screen", "99999999999x320"}, "--screen takes"},
        {{"--scale"}, "--scale needs"},
        {{"--scale", "0"}, "--scale takes"},
        {{"--scale", "9"}, "--scale takes"},
        {{"--scale", "10"}, "--scale takes"},
        {{"--scale", "-1"}, "--scale takes"},
        {{"--scale", "2.5"}, "--scale takes"},
        {{"--scale", "two"}, "--scale takes"},
        {{"--clock"}, "--clock needs"},
        {{"--clock", "2026-12-07"}, "--clock takes"},
        {{"--clock", "2026-12-07 09:30:00"}, "--clock takes"},
        {{"--clock", "2026-13-07T09:30:00"}, "--clock takes"},
        {{"--script"}, "--script needs"},
        {{"--script", "  "}, "--script needs"},
        {{"--show"}, "--show goes with --script"},
        {{"--screen", "320x240", "--nope"}, "unknown argument --nope"},
    };
    for (const BadCase& c : cases) {
        Parsed parsed = Parse(c.args);
        std::string shown;
        for (const char* a : c.args)
            shown += std::string(a) + " ";
        EXPECT_FALSE(parsed.ok) << shown;
        EXPECT_NE(parsed.reason.find(c.inReason), std::string::npos)
            << shown << "-> " << parsed.reason;
        EXPECT_EQ(parsed.reason.find('\n'), std::string::npos) << shown;
    }
}

TEST(DeviceOptions, AcceptsTheScreensOfTheHandhelds)
{
    const struct {
        const char* text;
        int width, height;
    } cases[] = {{"240x320", 240, 320},
                 {"320x240", 320, 240},
                 {"480x640", 480, 640},
                 {"160x160", 160, 160},
                 {"2048x2048", 2048, 2048}};
    for (const auto& c : cases) {
        Parsed parsed = Parse({"--screen", c.text});
        ASSERT_TRUE(parsed.ok) << c.text;
        EXPECT_EQ(parsed.options.screenWidth, c.width) << c.text;
        EXPECT_EQ(parsed.options.screenHeight, c.height) << c.text;
    }
}

TEST(ClockText, ReadsValidTimesOnly)
{
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"2026-12-07T09:30:00", true},
        {"2024-02-29T00:00:00", true},
        {"2000-02-29T23:59:59", true},
        {"1601-01-01T00:00:00", true},
        {"9999-12-31T23:59:59", true},
        {"2025-02-29T10:00:00", false},
        {"1900-02-29T10:00:00", false},
        {"2026-04-31T10:00:00", false},
        {"2026-00-10T10:00:00", false},
        {"2026-01-00T10:00:00", false},
        {"2026-01-32T10:00:00", false},
        {"2026-01-10T24:00:00", false},
        {"2026-01-10T10:60:00", false},
        {"2026-01-10T10:00:60", false},
        {"1600-12-31T23:59:59", false},
        {"2026-1-10T10:00:00", false},
        {"2026-01-10T10:00:00Z", false},
        {"2026-01-10t10:00:00", false},
        {"2026/01/10T10:00:00", false},
        {"+026-01-10T10:00:00", false},
        {"", false},
        {"2026-01-10T10:00", false},
    };
    for (const auto& c : cases) {
        SYSTEMTIME time{};
        EXPECT_EQ(ParseClockText(c.text, &time), c.valid) << c.text;
    }
}

TEST(ClockText, GivesTheDayOfTheWeekFromSunday)
{
    const struct {
        const char* text;
        int dayOfWeek;
    } cases[] = {{"2026-12-06T00:00:00", 0},
                 {"2026-12-12T00:00:00", 6},
                 {"2000-01-01T00:00:00", 6},
                 {"2024-02-29T00:00:00", 4},
                 {"1601-01-01T00:00:00", 1}};
    for (const auto& c : cases) {
        SYSTEMTIME time{};
        ASSERT_TRUE(ParseClockText(c.text, &time)) << c.text;
        EXPECT_EQ(time.wDayOfWeek, c.dayOfWeek) << c.text;
    }
}

DeviceOptions Scripted(bool show)
{
    DeviceOptions options;
    options.script = "run.txt";
    options.show = show;
    return options;
}

TEST(DisplayChoice, AScriptWithoutShowRunsOffscreenWhateverTheDesktop)
{
    for (const DisplayEnvironment& environment :
         {DisplayEnvironment{}, DisplayEnvironment{":0", "wayland-0", "xcb"}}) {
        DisplayChoice choice = ChooseDisplay(Scripted(false), environment);
        EXPECT_TRUE(choice.possible);
        EXPECT_EQ(choice.qpaPlatform, "offscreen");
        EXPECT_FALSE(choice.offscreenIsFallback);
    }
}

TEST(DisplayChoice, WithoutADisplayAPersonIsToldHowToRunIt)
{
    DisplayChoice choice = ChooseDisplay(DeviceOptions(), DisplayEnvironment{});
    EXPECT_FALSE(choice.possible);
    EXPECT_NE(choice.reason.find("--script"), std::string::npos);
    EXPECT_NE(choice.reason.find("QT_QPA_PLATFORM=offscreen"), std::string::npos);
    EXPECT_EQ(choice.reason.find('\n'), std::string::npos);

    DisplayChoice shown = ChooseDisplay(Scripted(true), DisplayEnvironment{});
    EXPECT_FALSE(shown.possible);
    EXPECT_NE(shown.reason.find("--show"), std::string::npos);
}

TEST(DisplayChoice, TriesTheNamedDisplaysThenLandsSoftly)
{
    const struct {
        DisplayEnvironment environment;
        const char* platforms;
    } cases[] = {
        {{":0", "", ""}, "xcb;offscreen"},
        {{"", "wayland-0", ""}, "wayland;offscreen"},
        {{":0", "wayland-0", ""}, "wayland;xcb;offscreen"},
    };
    for (const auto& c : cases) {
        for (const DeviceOptions& options : {DeviceOptions(), Scripted(true)}) {
            DisplayChoice choice = ChooseDisplay(options, c.environment);
            EXPECT_TRUE(choice.possible) << c.platforms;
            EXPECT_EQ(choice.qpaPlatform, c.platforms);
            EXPECT_TRUE(choice.offscreenIsFallback) << c.platforms;
        }
    }
}

TEST(DisplayChoice, APlatformTheUserChoseIsLeftAlone)
{
    DisplayChoice choice = ChooseDisplay(DeviceOptions(), DisplayEnvironment{"", "", "offscreen"});
    EXPECT_TRUE(choice.possible);
    EXPECT_TRUE(choice.qpaPlatform.empty());
    EXPECT_FALSE(choice.offscreenIsFallback);
}
} // namespace
