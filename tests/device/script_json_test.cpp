// The scripted user's JSON: text escaped and converted, events and the parts of the state in
// their fields and order.
#include "device/script/events.h"
#include "device/script/json.h"
#include "device/script/script.h"
#include "device/script/state.h"
#include "platform/process/process_record.h"
#include "platform/recorder.h"
#include "platform/sound/sound_record.h"

#include <gtest/gtest.h>

#include <sstream>

namespace
{
TEST(ScriptJson, EscapesQuotesBackslashesAndControlCharacters)
{
    struct Case {
        std::string text;
        std::string json;
    };
    const Case cases[] = {
        {"", "\"\""},
        {"plain", "\"plain\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\b", "\"a\\\\b\""},
        {"line\nnext\r\ttab", "\"line\\nnext\\r\\ttab\""},
        {std::string("nul\0byte", 8), "\"nul\\u0000byte\""},
        {"\x01\x1f\x7f", "\"\\u0001\\u001f\\u007f\""},
        {"/ stays", "\"/ stays\""},
        {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
         "\"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonString(c.text), c.json) << c.text;
}

TEST(ScriptJson, BytesThatAreNotUtf8BecomeReplacementCharacters)
{
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(JsonString(std::string("a\xFF"
                                     "b")),
              "\"a" + fffd + "b\"");
    EXPECT_EQ(JsonString(std::string("\xC3")), "\"" + fffd + "\"");
    // An overlong slash and an encoded surrogate are refused byte by byte.
    EXPECT_EQ(JsonString(std::string("\xC0\xAF")), "\"" + fffd + fffd + "\"");
    EXPECT_EQ(JsonString(std::string("\xED\xA0\x80")), "\"" + fffd + fffd + fffd + "\"");
    EXPECT_EQ(JsonString(std::string("\xF4\x90\x80\x80")), "\"" + fffd + fffd + fffd + fffd + "\"");
}

TEST(ScriptJson, Utf16TextIsWrittenAsUtf8)
{
    EXPECT_EQ(JsonString(std::u16string(u"Tid \u00e9 \"x\"")), "\"Tid \xC3\xA9 \\\"x\\\"\"");
    EXPECT_EQ(JsonString(std::u16string(u"\U0001F600")), "\"\xF0\x9F\x98\x80\"");
    // Unpaired surrogates, at the end and before another character.
    std::u16string lone = u"a";
    lone += char16_t(0xD800);
    EXPECT_EQ(JsonString(lone), "\"a\xEF\xBF\xBD\"");
    std::u16string low;
    low += char16_t(0xDC00);
    low += u'b';
    EXPECT_EQ(JsonString(low), "\"\xEF\xBF\xBD"
                               "b\"");
}

TEST(ScriptJson, Utf8AndUtf16ConvertBothWays)
{
    const std::u16string texts[] = {u"", u"abc", u"\u00e9\u20ac", u"\U0001F600x"};
    for (const std::u16string& text : texts) {
        std::string utf8 = Utf8Of(text);
        EXPECT_TRUE(IsUtf8(utf8));
        EXPECT_EQ(Utf16Of(utf8), text);
    }
    EXPECT_TRUE(IsUtf8("\xEF\xBF\xBD"));
    EXPECT_FALSE(IsUtf8("\xFF"));
    EXPECT_FALSE(IsUtf8("ab\xE2\x82"));
}

TEST(ScriptJson, ObjectsAndArraysKeepTheOrderOfTheirFields)
{
    std::string json = JsonObject()
                           .Text("event", "x")
                           .Number("n", -3)
                           .Bool("yes", true)
                           .Bool("no", false)
                           .Null("none")
                           .Raw("list", JsonArray().Number(1).Text(u"two").Raw("{}").Json())
                           .Raw("empty", JsonArray().Json())
                           .Json();
    EXPECT_EQ(json, R"({"event":"x","n":-3,"yes":true,"no":false,"none":null,)"
                    R"("list":[1,"two",{}],"empty":[]})");
    EXPECT_EQ(JsonObject().Json(), "{}");
}

TEST(ScriptEvents, NameTheIconsAndButtonsOfMessageBoxes)
{
    struct Case {
        UINT type;
        const char* icon;
        const char* buttons;
    };
    const Case cases[] = {
        {MB_OK, "\"none\"", "\"ok\""},
        {MB_OKCANCEL | MB_ICONHAND, "\"stop\"", "\"okcancel\""},
        {MB_ABORTRETRYIGNORE | MB_ICONQUESTION, "\"question\"", "\"abortretryignore\""},
        {MB_YESNOCANCEL | MB_ICONEXCLAMATION, "\"exclamation\"", "\"yesnocancel\""},
        {MB_YESNO | MB_ICONEXCLAMATION | MB_SETFOREGROUND, "\"exclamation\"", "\"yesno\""},
        {MB_RETRYCANCEL | MB_ICONASTERISK, "\"information\"", "\"retrycancel\""},
        {0x00000006 | 0x00000050, "80", "6"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IconJson(c.type), c.icon) << c.type;
        EXPECT_EQ(ButtonsJson(c.type), c.buttons) << c.type;
    }
}

TEST(ScriptEvents, NameTheKindsOfBeeps)
{
    EXPECT_EQ(BeepJson(MB_OK), "\"ok\"");
    EXPECT_EQ(BeepJson(MB_ICONHAND), "\"stop\"");
    EXPECT_EQ(BeepJson(MB_ICONQUESTION), "\"question\"");
    EXPECT_EQ(BeepJson(MB_ICONEXCLAMATION), "\"exclamation\"");
    EXPECT_EQ(BeepJson(MB_ICONASTERISK), "\"information\"");
    EXPECT_EQ(BeepJson(0xFFFFFFFF), "\"simple\"");
    EXPECT_EQ(BeepJson(0x11), "17");
}

TEST(ScriptEvents, AreObjectsWithTheEventFirst)
{
    RecordedMessageBox box{u"Delete \"this\"?", u"Zentally", MB_YESNO | MB_ICONEXCLAMATION, true,
                           false};
    EXPECT_EQ(MessageBoxEvent(box),
              R"({"event":"messagebox","text":"Delete \"this\"?",)"
              R"("caption":"Zentally","icon":"exclamation","buttons":"yesno"})");
    EXPECT_EQ(MessageBoxJson(box), R"({"text":"Delete \"this\"?","caption":"Zentally",)"
                                   R"("icon":"exclamation","buttons":"yesno"})");
    EXPECT_EQ(BeepEvent(MB_ICONHAND), R"({"event":"beep","type":"stop"})");
    EXPECT_EQ(SoundEvent(PlayedSound{u"IDW_TIME_ADDED", 16046, false}),
              R"({"event":"sound","name":"IDW_TIME_ADDED","bytes":16046})");
    EXPECT_EQ(ProcessEvent(StartedProcess{u"peghelp.exe", u"\\Windows\\zentally.htc", true}),
              R"({"event":"process","program":"peghelp.exe","args":"\\Windows\\zentally.htc"})");
    EXPECT_EQ(ErrorEvent(7, "no \"such\" control"),
              R"({"event":"error","line":7,"text":"no \"such\" control"})");
    EXPECT_EQ(ExitEvent(2), R"({"event":"exit","code":2})");
}

TEST(ScriptEvents, AreWrittenOneALineToTheChosenOutput)
{
    std::ostringstream out;
    SetScriptOutput(&out);
    WriteEvent(ExitEvent(0));
    WriteEvent(BeepEvent(MB_OK));
    SetScriptOutput(nullptr);
    EXPECT_EQ(out.str(), "{\"event\":\"exit\",\"code\":0}\n{\"event\":\"beep\",\"type\":\"ok\"}\n");
}

TEST(ScriptState, MenuBarEntriesShowWhatEachKindHas)
{
    std::vector<MenuBarEntryView> bar = {
        {MenuBarEntryKind::Text, 40003, u"New", -1, u"New Time Record", MenuBarEntryState::Enabled},
        {MenuBarEntryKind::DropDown, 40001, u"Time", -1, u"", MenuBarEntryState::Enabled},
        {MenuBarEntryKind::Separator, 0, u"", -1, u"", MenuBarEntryState::Enabled},
        {MenuBarEntryKind::Picture, 552, u"", 1, u"Time Report", MenuBarEntryState::Indeterminate},
        {MenuBarEntryKind::Picture, 553, u"", 2, u"", MenuBarEntryState::Grayed},
    };
    EXPECT_EQ(MenuBarJson(bar),
              R"([{"kind":"text","command":40003,"text":"New","tooltip":"New Time Record",)"
              R"("state":"enabled"},)"
              R"({"kind":"dropdown","command":40001,"text":"Time","state":"enabled"},)"
              R"({"kind":"separator"},)"
              R"({"kind":"picture","command":552,"image":1,"tooltip":"Time Report",)"
              R"("state":"indeterminate"},)"
              R"({"kind":"picture","command":553,"image":2,"state":"grayed"}])");
    EXPECT_EQ(MenuBarJson({}), "[]");
}

TEST(ScriptState, MenusListTheirItemsByTheDropDownsText)
{
    std::vector<MenuBarMenuView> menus = {
        {u"Time",
         40001,
         {{false, false, 40003, u"New...", false, false},
          {true, false, 0, u"", false, false},
          {false, false, 40049, u"Exit", true, false}}},
        {u"Tools", 40043, {}},
    };
    EXPECT_EQ(MenusJson(menus),
              R"({"Time":[{"command":40003,"text":"New...","state":"enabled"},)"
              R"({"separator":true},{"command":40049,"text":"Exit","state":"grayed"}],)"
              R"("Tools":[]})");
}

TEST(ScriptState, ListsShowColumnsRowsAndTheRowsInView)
{
    ListViewView list;
    list.columns = {{u"Date", 88, 0}, {u"Category", 90, -1}};
    list.rows = {{3, {u"01.12.2026", u"Job"}, true, true},
                 {4, {u"02.12.2026", u"Sport"}, false, false}};
    list.firstVisible = 0;
    list.lastVisible = 1;
    EXPECT_EQ(ListJson(list),
              R"({"columns":[{"text":"Date","width":88,"image":0},)"
              R"({"text":"Category","width":90,"image":null}],)"
              R"("rows":[{"image":3,"cells":["01.12.2026","Job"],"selected":true,"focused":true},)"
              R"({"image":4,"cells":["02.12.2026","Sport"],"selected":false,"focused":false}],)"
              R"("visible":[0,1]})");
    ListViewView empty;
    empty.firstVisible = -1;
    empty.lastVisible = -1;
    EXPECT_EQ(ListJson(empty), R"({"columns":[],"rows":[],"visible":null})");
}
} // namespace
