// Scripts played on a small program on the device's screen: a main window of the program's
// class with buttons, an edit, a drop-down, a list box and a date picker. The runner takes one
// action at each idle round of the program's own message loop, and its events are caught in a
// string.
#include "device/screen/screen.h"
#include "device/script/script.h"
#include "device/script/scripted_user.h"
#include "device/script/state.h"
#include "platform/mmsystem.h"
#include "platform/recorder.h"
#include "platform/systime.h"
#include "platform/winbase.h"
#include "platform/window/window_object.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace
{
// Notification codes of the controls, as their parents receive them.
const WORD clicked = 0;
const WORD selectionChanged = 1;
const WORD droppedDown = 7;
const WORD dateChanged = 0x300;

// Control ids of the program.
enum {
    AskButton = 11,
    PlainButton = 10,
    BeepButton = 12,
    QuitButton = 13,
    SoundButton = 14,
    HelpButton = 15,
    HiddenButton = 16,
    GreyedButton = 17,
    Check = 18,
    Edit = 20,
    Combo = 30,
    AskingCombo = 31,
    ListBox = 40,
    Date = 50,
};

struct Heard {
    int id;
    WORD code;
};

struct Program {
    HWND main = nullptr;
    std::vector<Heard> commands;
    std::vector<int> answers;
    int closeRequests = 0;
    bool askOnClose = false;
    int quitCode = 0;
} program;

int endedWith = -1;

void EndForTest(int code)
{
    endedWith = code;
    PostQuitMessage(code);
}

// A WAVE file of 100 bytes of silence: 8000 samples a second, 8 bits, one channel.
std::vector<BYTE> Silence()
{
    std::vector<BYTE> file(44 + 100, 0x80);
    size_t at = 0;
    auto put = [&](const char* text) {
        for (int i = 0; i < 4; ++i)
            file[at++] = BYTE(text[i]);
    };
    auto number = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file[at++] = BYTE(value >> (8 * i));
    };
    put("RIFF");
    number(36 + 100, 4);
    put("WAVE");
    put("fmt ");
    number(16, 4);
    number(1, 2);    // PCM
    number(1, 2);    // one channel
    number(8000, 4); // samples a second
    number(8000, 4); // bytes a second
    number(1, 2);    // bytes a sample
    number(8, 2);    // bits a sample
    put("data");
    number(100, 4);
    return file;
}

void OnCommand(HWND window, int id, WORD code)
{
    program.commands.push_back({id, code});
    if (id == AskButton && code == clicked) {
        program.answers.push_back(MessageBoxW(nullptr, u"Delete the record?", u"Zentally",
                                              MB_YESNO | MB_ICONEXCLAMATION));
    } else if (id == AskingCombo && code == droppedDown) {
        MessageBoxW(nullptr, u"Not now", u"Zentally", MB_OK | MB_ICONHAND);
    } else if (id == BeepButton) {
        MessageBeep(MB_ICONHAND);
        MessageBeep(MB_OK);
    } else if (id == QuitButton) {
        program.quitCode = 5;
        DestroyWindow(window);
    } else if (id == SoundButton) {
        static std::vector<BYTE> sound = Silence();
        sndPlaySoundW(reinterpret_cast<LPCWSTR>(sound.data()), SND_ASYNC | SND_MEMORY);
    } else if (id == HelpButton) {
        WCHAR line[] = u"\\Windows\\nothing.htc";
        CreateProcessW(u"nothing.exe", line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                       nullptr);
    }
}

LRESULT MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: OnCommand(window, LOWORD(wParam), HIWORD(wParam)); return 0;
    case 1023:
        ++program.closeRequests;
        if (program.askOnClose)
            MessageBoxW(nullptr, u"Save first?", u"Zentally", MB_OK);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY: PostQuitMessage(program.quitCode); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The controls of the small program, made as the platform's controls are: a widget that holds
// the state, and notifications to the parent when a person works it.
QWidget* MakeButton(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf16(create.lpszName), parent);
    QObject::connect(button, &QPushButton::clicked, [window] { CommandParent(window, clicked); });
    return button;
}

QWidget* MakeCheck(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    auto* check = new QCheckBox(QString::fromUtf16(create.lpszName), parent);
    QObject::connect(check, &QCheckBox::clicked, [window] { CommandParent(window, clicked); });
    return check;
}

QWidget* MakeEdit(HWND, const CREATESTRUCTW& create, QWidget* parent)
{
    auto* edit = new QLineEdit(QString::fromUtf16(create.lpszName), parent);
    edit->setMaxLength(8);
    return edit;
}

class AskingComboBox : public QComboBox
{
  public:
    AskingComboBox(HWND window, QWidget* parent) : QComboBox(parent), window_(window) {}
    void showPopup() override
    {
        CommandParent(window_, droppedDown);
        QComboBox::showPopup();
    }

  private:
    HWND window_;
};

QWidget* MakeCombo(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    QComboBox* combo = create.lpszName && std::u16string(create.lpszName) == u"asking"
                           ? new AskingComboBox(window, parent)
                           : new QComboBox(parent);
    combo->addItems({"Job", "Reading", "Sport", "Greyed"});
    if (auto* model = qobject_cast<QStandardItemModel*>(combo->model()))
        model->item(3)->setEnabled(false);
    combo->setCurrentIndex(0);
    QObject::connect(combo, &QComboBox::activated,
                     [window] { CommandParent(window, selectionChanged); });
    return combo;
}

QWidget* MakeList(HWND window, const CREATESTRUCTW&, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->addItems({"One", "Two", "Three"});
    QObject::connect(list, &QListWidget::itemClicked,
                     [window] { CommandParent(window, selectionChanged); });
    return list;
}

QWidget* MakeDate(HWND window, const CREATESTRUCTW&, QWidget* parent)
{
    auto* date = new QDateEdit(QDate(2026, 12, 7), parent);
    date->setCalendarPopup(true);
    date->setDisplayFormat("yyyy-MM-dd");
    date->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
    QObject::connect(date, &QDateEdit::dateChanged,
                     [window] { CommandParent(window, dateChanged); });
    return date;
}

LRESULT ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

const ControlClass buttonClass = {u"TestButton", MakeButton, ControlProc};
const ControlClass checkClass = {u"TestCheck", MakeCheck, ControlProc};
const ControlClass editClass = {u"TestEdit", MakeEdit, ControlProc};
const ControlClass comboClass = {u"TestCombo", MakeCombo, ControlProc};
const ControlClass listClass = {u"TestList", MakeList, ControlProc};
const ControlClass dateClass = {u"TestDate", MakeDate, ControlProc};

struct Played {
    std::vector<std::string> events;
    int code;
};

class ScriptRunner : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureApplication());
        DeviceOptions options;
        std::string reason;
        ASSERT_TRUE(CreateDeviceScreen(options, &reason)) << reason;
        WNDCLASSW wc{};
        wc.lpfnWndProc = MainProc;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = u"Zentally";
        RegisterClassW(&wc); // once for the whole run; later calls find it there
        for (const ControlClass* c :
             {&buttonClass, &checkClass, &editClass, &comboClass, &listClass, &dateClass})
            RegisterControlClass(c);
        program = Program();
        endedWith = -1;
        program.main = CreateWindowExW(0, u"Zentally", u"Zentally", WS_VISIBLE, CW_USEDEFAULT, 0,
                                       CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(program.main);
        SetForegroundWindow(program.main);
        Child(u"TestButton", u"Plain", PlainButton, 0, 0);
        Child(u"TestButton", u"Ask", AskButton, 60, 0);
        Child(u"TestButton", u"Beep", BeepButton, 120, 0);
        Child(u"TestButton", u"Quit", QuitButton, 180, 0);
        Child(u"TestButton", u"Sound", SoundButton, 0, 30);
        Child(u"TestButton", u"Help", HelpButton, 60, 30);
        Child(u"TestButton", u"Hidden", HiddenButton, 120, 30, 0);
        HWND greyed = Child(u"TestButton", u"Greyed", GreyedButton, 180, 30);
        EnableWindow(greyed, FALSE);
        Child(u"TestCheck", u"Apply", Check, 0, 60, WS_VISIBLE, 200);
        Child(u"TestEdit", u"old", Edit, 0, 90, WS_VISIBLE, 200);
        Child(u"TestCombo", u"", Combo, 0, 120, WS_VISIBLE, 200);
        Child(u"TestCombo", u"asking", AskingCombo, 0, 150, WS_VISIBLE, 200);
        Child(u"TestList", u"", ListBox, 0, 180, WS_VISIBLE, 200, 60);
        Child(u"TestDate", u"", Date, 0, 245, WS_VISIBLE, 140);
        SetScriptEnder(EndForTest);
    }

    void TearDown() override
    {
        SetScriptEnder(nullptr);
        for (HWND window : AllWindows())
            DestroyWindow(window);
        // Leftover quits of runs that ended at once are taken here.
        MSG message;
        while (QuitPosted())
            GetMessageW(&message, nullptr, 0, 0);
        DestroyDeviceScreen();
        SetScreenSize(240, 320);
        ResetDeviceClock();
        ClearRecordings();
    }

    HWND Child(LPCWSTR className, LPCWSTR text, int id, int x, int y, DWORD visible = WS_VISIBLE,
               int width = 56, int height = 26)
    {
        HWND child =
            CreateWindowExW(0, className, text, WS_CHILD | visible, x, y, width, height,
                            program.main, reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
        EXPECT_TRUE(child) << id;
        return child;
    }

    // Plays the script on the program's message loop and returns the events printed.
    Played Play(const std::string& script)
    {
        std::vector<ScriptLine> lines;
        int badLine = 0, lineCount = 0;
        std::string reason;
        EXPECT_TRUE(ParseScript(script, &lines, &badLine, &reason, &lineCount)) << reason;
        std::ostringstream out;
        SetScriptOutput(&out);
        StartScriptedUser(lines, lineCount);
        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0))
            DispatchMessageW(&message);
        Played played;
        played.code = FinishScriptedUser(int(message.wParam));
        SetScriptOutput(nullptr);
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);)
            played.events.push_back(line);
        return played;
    }

    template <class W> W* Widget(int id)
    {
        return qobject_cast<W*>(WidgetOf(GetDlgItem(program.main, id)));
    }

    int Count(int id, WORD code) const
    {
        int n = 0;
        for (const Heard& h : program.commands)
            n += h.id == id && h.code == code;
        return n;
    }
};

const std::string exitOk = R"({"event":"exit","code":0})";
const std::string exitFailed = R"({"event":"exit","code":2})";
const std::string askBox = R"({"event":"messagebox","text":"Delete the record?",)"
                           R"("caption":"Zentally","icon":"exclamation","buttons":"yesno"})";

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST_F(ScriptRunner, AClickReachesTheProgramAndTheEndOfTheScriptClosesIt)
{
    Played played = Play("click 10\n");
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
    EXPECT_EQ(played.code, 0);
    EXPECT_EQ(Count(PlainButton, clicked), 1);
    EXPECT_EQ(program.closeRequests, 1);
    EXPECT_FALSE(IsWindow(program.main));
    EXPECT_FALSE(ScriptFailed());
}

TEST_F(ScriptRunner, AnEmptyScriptClosesTheProgramInOrder)
{
    Played played = Play("# nothing to do\n");
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
    EXPECT_EQ(program.closeRequests, 1);
}

TEST_F(ScriptRunner, AMessageBoxIsShownAndAnsweredInsideItsOwnLoop)
{
    Played played = Play("click 11\nanswer no\nclick 10\nclick 11\nanswer yes\n");
    EXPECT_EQ(played.events, (std::vector<std::string>{askBox, askBox, exitOk}));
    EXPECT_EQ(program.answers, (std::vector<int>{IDNO, IDYES}));
    ASSERT_EQ(program.commands.size(), 3u);
    EXPECT_EQ(program.commands[1].id, PlainButton);
}

TEST_F(ScriptRunner, KeysGoToTheMessageBoxOnTheScreen)
{
    Played played = Play("click 11\nkey escape\nclick 11\nkey enter\n");
    EXPECT_EQ(played.events, (std::vector<std::string>{askBox, askBox, exitOk}));
    EXPECT_EQ(program.answers, (std::vector<int>{IDNO, IDYES}));
}

TEST_F(ScriptRunner, AnAnswerWithoutAMessageBoxFailsAndClosesTheProgramInOrder)
{
    Played played = Play("click 10\nanswer yes\nclick 10\n");
    EXPECT_EQ(
        played.events,
        (std::vector<std::string>{
            R"({"event":"error","line":2,"text":"no message box is on the screen"})", exitFailed}));
    EXPECT_EQ(played.code, 2);
    EXPECT_TRUE(ScriptFailed());
    EXPECT_EQ(Count(PlainButton, clicked), 1); // the line after the error is not played
    EXPECT_EQ(program.closeRequests, 1);
    EXPECT_EQ(endedWith, -1); // closed in order, not ended at once
}

TEST_F(ScriptRunner, AnAnswerNeedsTheButtonOnTheBox)
{
    Played played = Play("click 11\nanswer ok\n");
    EXPECT_EQ(played.events,
              (std::vector<std::string>{
                  askBox, R"({"event":"error","line":2,"text":"the message box has no OK button"})",
                  exitFailed}));
    EXPECT_EQ(endedWith, 2); // the box was still up, so the run ended at once
}

TEST_F(ScriptRunner, AFailureWhileAMessageBoxIsUpEndsTheRunAtOnce)
{
    Played played = Play("click 11\nclick 10\n");
    EXPECT_EQ(played.events,
              (std::vector<std::string>{askBox,
                                        R"({"event":"error","line":2,"text":"a message box is )"
                                        R"(on the screen: answer it first"})",
                                        exitFailed}));
    EXPECT_EQ(played.code, 2);
    EXPECT_EQ(endedWith, 2);
    EXPECT_EQ(Count(PlainButton, clicked), 0);
    EXPECT_EQ(program.closeRequests, 0);
}

TEST_F(ScriptRunner, AScriptThatEndsWithAMessageBoxUpIsAnError)
{
    Played played = Play("click 11\n\n# the box is left open\n");
    ASSERT_EQ(played.events.size(), 3u);
    EXPECT_EQ(played.events[1], R"({"event":"error","line":3,"text":"the script ended with a )"
                                R"(message box (\"Delete the record?\") still open"})");
    EXPECT_EQ(played.code, 2);
    EXPECT_EQ(endedWith, 2);
}

TEST_F(ScriptRunner, WhenTheProgramEndsFirstTheLinesLeftAreNotPlayed)
{
    Played played = Play("click 13\nstate\nclick 10\n");
    EXPECT_EQ(played.events, std::vector<std::string>{R"({"event":"exit","code":5})"});
    EXPECT_EQ(played.code, 5);
    EXPECT_EQ(program.closeRequests, 0);
}

TEST_F(ScriptRunner, MessagesGoToTheMainWindow)
{
    Played played = Play("message 1023\nstate\n");
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
    EXPECT_EQ(program.closeRequests, 1);
}

TEST_F(ScriptRunner, AProgramThatAsksWhileClosingFails)
{
    program.askOnClose = true;
    Played played = Play("click 10\n");
    ASSERT_EQ(played.events.size(), 3u);
    EXPECT_TRUE(Has(played.events[0], R"("event":"messagebox","text":"Save first?")"));
    EXPECT_EQ(played.events[1], R"({"event":"error","line":1,"text":"the program showed a )"
                                R"(message box (\"Save first?\") while closing"})");
    EXPECT_EQ(played.events[2], exitFailed);
    EXPECT_EQ(endedWith, 2);
}

TEST_F(ScriptRunner, BeepsSoundsAndProcessesAreEvents)
{
    Played played = Play("click 12\nclick 14\nclick 15\n");
    EXPECT_EQ(played.events,
              (std::vector<std::string>{
                  R"({"event":"beep","type":"stop"})", R"({"event":"beep","type":"ok"})",
                  R"({"event":"sound","name":"","bytes":100})",
                  R"({"event":"process","program":"nothing.exe","args":"\\Windows\\nothing.htc"})",
                  exitOk}));
}

TEST_F(ScriptRunner, HiddenGreyedAndMissingControlsCannotBeTapped)
{
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"click 16", "control 16 is hidden"},
        {"click 17", "control 17 is greyed"},
        {"click 99", "the window has no control 99"},
        {"click ok", "the navigation bar shows no ok button"},
        {"type 10 \"x\"", "control 10 is not an edit control"},
        {"pick 10 \"x\"", "control 10 is not a drop-down list or list box"},
        {"date 20 2026-01-01", "control 20 is not a date picker"},
        {"row 0", "the main window has no list view"},
        {"menu 40003", "there is no menu bar on the screen"},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        Played played = Play(c.script);
        ASSERT_EQ(played.events.size(), 2u) << c.script;
        EXPECT_EQ(played.events[0],
                  std::string(R"({"event":"error","line":1,"text":")") + c.error + "\"}")
            << c.script;
        EXPECT_EQ(played.code, 2);
        EXPECT_TRUE(program.commands.empty()) << c.script;
    }
}

TEST_F(ScriptRunner, TheNavigationBarsOkIsTapped)
{
    ShowNavigationBarOk(true);
    Played played = Play("click ok\n");
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
    EXPECT_EQ(Count(IDOK, clicked), 1);
}

TEST_F(ScriptRunner, ACheckBoxIsTappedOnItsBox)
{
    Played played = Play("click 18\nclick 18\nclick 18\n");
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
    EXPECT_EQ(Count(Check, clicked), 3);
}

TEST_F(ScriptRunner, TypingReplacesTheTextWithinTheEditsLimit)
{
    QLineEdit* edit = Widget<QLineEdit>(Edit);
    ASSERT_TRUE(edit);
    std::vector<QString> seen;
    QObject::connect(edit, &QLineEdit::textEdited,
                     [&](const QString& text) { seen.push_back(text); });
    Played played = Play("type 20 \"abcdefghijk\"\n");
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), QString("abcdefgh"));
    EXPECT_EQ(seen.front(), QString("a")); // "old" was selected and typed over
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
}

TEST_F(ScriptRunner, TypingNothingEmptiesTheEdit)
{
    std::vector<QString> seen;
    QObject::connect(Widget<QLineEdit>(Edit), &QLineEdit::textEdited,
                     [&](const QString& text) { seen.push_back(text); });
    Play("type 20 \"\"\n");
    EXPECT_EQ(seen, std::vector<QString>{QString()});
}

TEST_F(ScriptRunner, TypingTakesCharactersBeyondAscii)
{
    std::vector<QString> seen;
    QObject::connect(Widget<QLineEdit>(Edit), &QLineEdit::textEdited,
                     [&](const QString& text) { seen.push_back(text); });
    Play("type 20 \"\xC3\xA9\xE2\x82\xAC \xF0\x9F\x98\x80\"\n");
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), QString::fromUtf8("\xC3\xA9\xE2\x82\xAC \xF0\x9F\x98\x80"));
}

TEST_F(ScriptRunner, TheStateShowsTheFocusAfterTyping)
{
    Played played = Play("type 20 \"x\"\nstate\n");
    ASSERT_EQ(played.events.size(), 2u);
    EXPECT_TRUE(Has(played.events[0], R"("focus":20)")) << played.events[0];
}

TEST_F(ScriptRunner, ADropDownEntryIsChosenThroughItsList)
{
    std::vector<int> chosen;
    QComboBox* combo = Widget<QComboBox>(Combo);
    QObject::connect(combo, &QComboBox::activated, [&](int index) { chosen.push_back(index); });
    Played played = Play("pick 30 \"Sport\"\npick 30 \"Reading\"\n");
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
    EXPECT_EQ(chosen, (std::vector<int>{2, 1}));
    EXPECT_EQ(Count(Combo, selectionChanged), 2);
}

TEST_F(ScriptRunner, ADropDownRefusesEntriesItDoesNotOffer)
{
    Played played = Play("pick 30 \"Golf\"\n");
    ASSERT_EQ(played.events.size(), 2u);
    EXPECT_EQ(played.events[0],
              R"({"event":"error","line":1,"text":"control 30 has no entry \"Golf\""})");
    TearDown();
    SetUp();
    Played greyed = Play("pick 30 \"Greyed\"\n");
    ASSERT_EQ(greyed.events.size(), 2u);
    EXPECT_EQ(greyed.events[0], R"({"event":"error","line":1,"text":"the entry \"Greyed\" of )"
                                R"(control 30 is greyed"})");
    EXPECT_EQ(Count(Combo, selectionChanged), 0);
}

TEST_F(ScriptRunner, AMessageBoxBeforeAnEntryIsChosenStopsTheLine)
{
    Played played = Play("pick 31 \"Job\"\nanswer ok\n");
    ASSERT_EQ(played.events.size(), 3u);
    EXPECT_TRUE(Has(played.events[0], R"("text":"Not now")"));
    EXPECT_EQ(played.events[1], R"({"event":"error","line":1,"text":"the program opened a )"
                                R"(message box (\"Not now\") before this line was done"})");
    EXPECT_EQ(endedWith, 2);
}

TEST_F(ScriptRunner, AListBoxEntryIsTapped)
{
    QListWidget* list = Widget<QListWidget>(ListBox);
    std::vector<QString> tapped;
    QObject::connect(list, &QListWidget::itemClicked,
                     [&](QListWidgetItem* item) { tapped.push_back(item->text()); });
    Played played = Play("pick 40 \"Three\"\npick 40 \"Two\"\npick 40 \"Four\"\n");
    EXPECT_EQ(tapped, (std::vector<QString>{"Three", "Two"}));
    ASSERT_EQ(played.events.size(), 2u);
    EXPECT_EQ(played.events[0],
              R"({"event":"error","line":3,"text":"control 40 has no entry \"Four\""})");
}

TEST_F(ScriptRunner, ADayIsChosenInTheDatePickersCalendar)
{
    std::vector<QDate> dates;
    QDateEdit* date = Widget<QDateEdit>(Date);
    QObject::connect(date, &QDateEdit::dateChanged, [&](QDate d) { dates.push_back(d); });
    Played played = Play("date 50 2027-03-15\ndate 50 2027-03-01\ndate 50 2026-12-31\n"
                         "date 50 2099-12-31\ndate 50 2000-01-01\n");
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
    EXPECT_EQ(dates, (std::vector<QDate>{QDate(2027, 3, 15), QDate(2027, 3, 1), QDate(2026, 12, 31),
                                         QDate(2099, 12, 31), QDate(2000, 1, 1)}))
        << "the ends of its range too";
}

TEST_F(ScriptRunner, ADatePickerRefusesDaysOutsideItsRange)
{
    Played played = Play("date 50 1999-12-31\n");
    ASSERT_EQ(played.events.size(), 2u);
    EXPECT_EQ(played.events[0], R"({"event":"error","line":1,"text":"control 50 offers the days )"
                                R"(from 2000-01-01 to 2099-12-31 only"})");
}

TEST_F(ScriptRunner, TheStateShowsTheScreen)
{
    Played played = Play("state\nrotate\nstate\n");
    ASSERT_EQ(played.events.size(), 3u);
    const std::string& first = played.events[0];
    EXPECT_EQ(first.rfind(R"({"event":"state","screen":{"width":240,"height":320},"sip":false,)"
                          R"("cursor":"normal","title":"Zentally","dialogs":[],"messagebox":null,)",
                          0),
              0u)
        << first;
    EXPECT_TRUE(Has(first, R"("menubar":[],"menus":{},"list":null,"controls":[]})")) << first;
    EXPECT_TRUE(Has(played.events[1], R"("screen":{"width":320,"height":240})"));
}

TEST_F(ScriptRunner, TheStateShowsTheMessageBoxOnTheScreen)
{
    Played played = Play("click 11\nstate\nanswer yes\n");
    ASSERT_EQ(played.events.size(), 3u);
    EXPECT_TRUE(Has(played.events[1],
                    R"("messagebox":{"text":"Delete the record?","caption":"Zentally",)"
                    R"("icon":"exclamation","buttons":"yesno"},"focus":null)"))
        << played.events[1];
}

TEST_F(ScriptRunner, ControlsShowWhatTheirWidgetsHold)
{
    Widget<QCheckBox>(Check)->setChecked(true);
    Widget<QPushButton>(PlainButton)->setDefault(true);
    Widget<QComboBox>(Combo)->setCurrentIndex(2);
    Widget<QListWidget>(ListBox)->setCurrentRow(1);
    std::string controls = ControlsJson(program.main);
    const char* const parts[] = {
        R"({"id":10,"class":"TestButton","text":"Plain","visible":true,"enabled":true,)"
        R"("focused":false,"rect":[0,0,56,26],"default":true})",
        R"({"id":16,"class":"TestButton","text":"Hidden","visible":false,)",
        R"({"id":17,"class":"TestButton","text":"Greyed","visible":true,"enabled":false,)",
        R"({"id":18,"class":"TestCheck","text":"Apply","visible":true,"enabled":true,)"
        R"("focused":false,"rect":[0,60,200,26],"checked":true})",
        R"({"id":20,"class":"TestEdit","text":"old",)",
        R"("rect":[0,90,200,26],"limit":8,"selection":[3,3]})", // the cursor after the text
        R"({"id":30,"class":"TestCombo","text":"Sport",)",
        R"("items":["Job","Reading","Sport","Greyed"],"selected":2})",
        R"("items":["One","Two","Three"],"selected":1})",
        R"({"id":50,"class":"TestDate","text":"2026-12-07",)",
    };
    for (const char* part : parts)
        EXPECT_TRUE(Has(controls, part)) << part << "\n in " << controls;
    Play("");
}

TEST_F(ScriptRunner, TheClockIsSet)
{
    Played played = Play("clock 2031-05-06T07:08:09\n");
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_EQ(now.wYear, 2031);
    EXPECT_EQ(now.wMonth, 5);
    EXPECT_EQ(now.wDay, 6);
}

TEST_F(ScriptRunner, AScreenshotIsWrittenAsPng)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    std::string file = folder.filePath("screen one.png").toStdString();
    Played played = Play("screenshot \"" + file + "\"\n");
    EXPECT_EQ(played.events, std::vector<std::string>{exitOk});
    QImage shot(QString::fromStdString(file), "PNG");
    EXPECT_EQ(shot.size(), QSize(240, 320));
}

TEST_F(ScriptRunner, AScreenshotThatCannotBeWrittenIsAnError)
{
    QTemporaryDir folder;
    std::string file = folder.filePath("missing/shot.png").toStdString();
    Played played = Play("screenshot \"" + file + "\"\n");
    ASSERT_EQ(played.events.size(), 2u);
    EXPECT_EQ(played.events[0], R"({"event":"error","line":1,"text":"the screenshot cannot be )"
                                R"(written to )" +
                                    file + "\"}");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file)));
}

TEST_F(ScriptRunner, ScriptsAreLoadedFromFilesWithTheirLineCount)
{
    QTemporaryDir folder;
    QString path = folder.filePath("play.txt");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("state\n\n# end\n");
    }
    std::vector<ScriptLine> lines;
    int count = 0, bad = -1;
    std::string reason;
    EXPECT_TRUE(LoadScript(path.toStdString(), &lines, &count, &bad, &reason)) << reason;
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(count, 3);
    lines.clear();
    EXPECT_FALSE(
        LoadScript(folder.filePath("none.txt").toStdString(), &lines, &count, &bad, &reason));
    EXPECT_EQ(bad, 0);
    EXPECT_TRUE(Has(reason, "cannot be read")) << reason;
    EXPECT_FALSE(LoadScript(folder.path().toStdString(), &lines, &count, &bad, &reason));
    EXPECT_TRUE(Has(reason, "is a folder")) << reason;
}

TEST_F(ScriptRunner, AScriptThatCannotBePlayedIsRefusedWithItsEvents)
{
    std::ostringstream out;
    SetScriptOutput(&out);
    EXPECT_EQ(RefuseScript(4, "unknown action \"fly\""), 2);
    SetScriptOutput(nullptr);
    EXPECT_EQ(out.str(),
              "{\"event\":\"error\",\"line\":4,\"text\":\"unknown action \\\"fly\\\"\"}\n"
              "{\"event\":\"exit\",\"code\":2}\n");
}
} // namespace
