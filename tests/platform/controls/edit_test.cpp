// Single-line edits: the limit (as a person types and as the program sets text), the line and
// selection messages, the notifications of every change and of the focus.
#include "tests/platform/controls/controls_fixture.h"

#include "platform/gdi.h"

#include <QLineEdit>
#include <QPointer>

using namespace controls_test;

namespace
{
const std::vector<WORD> changed = {EN_UPDATE, EN_CHANGE};

QLineEdit* LineOf(HWND edit)
{
    return qobject_cast<QLineEdit*>(WidgetOf(edit));
}

std::vector<WORD> Repeat(const std::vector<WORD>& codes, int times)
{
    std::vector<WORD> all;
    for (int i = 0; i < times; ++i)
        all.insert(all.end(), codes.begin(), codes.end());
    return all;
}

class Edits : public ControlsTest
{
  protected:
    HWND MakeMemo(DWORD style = WS_BORDER | ES_AUTOHSCROLL)
    {
        return Make(WC_EDITW, u"", style, 1011, 75, 115, 158, 22);
    }
};
} // namespace

TEST_F(Edits, TheLimitAsTheHandheldSetsIt)
{
    HWND memo = MakeMemo();
    EXPECT_EQ(SendMessageW(memo, EM_GETLIMITTEXT, 0, 0), 30000);
    struct Case {
        WPARAM asked;
        LRESULT limit;
    } cases[] = {{29, 29},         {1, 1},           {0, 0x7FFE},
                 {0x7FFE, 0x7FFE}, {0x7FFF, 0x7FFE}, {WPARAM(-1), 0x7FFE},
                 {20, 20}};
    for (const Case& c : cases) {
        SendMessageW(memo, EM_LIMITTEXT, c.asked, 0);
        EXPECT_EQ(SendMessageW(memo, EM_GETLIMITTEXT, 0, 0), c.limit) << c.asked;
        EXPECT_EQ(LineOf(memo)->maxLength(), c.limit);
    }
}

TEST_F(Edits, TypingSendsAChangeForEachCharacter)
{
    HWND memo = MakeMemo();
    Type(LineOf(memo), QStringLiteral("lunch"));
    EXPECT_EQ(Text(memo), u"lunch");
    EXPECT_EQ(CodesOf(1011), Repeat(changed, 5));
    EXPECT_EQ(SendMessageW(memo, WM_GETTEXTLENGTH, 0, 0), 5);
}

TEST_F(Edits, TypingPastTheLimitIsRefused)
{
    HWND memo = MakeMemo();
    SendMessageW(memo, EM_LIMITTEXT, 3, 0);
    Type(LineOf(memo), QStringLiteral("abcde"));
    EXPECT_EQ(Text(memo), u"abc");
    std::vector<WORD> expected = Repeat(changed, 3);
    expected.push_back(EN_MAXTEXT);
    expected.push_back(EN_MAXTEXT);
    EXPECT_EQ(CodesOf(1011), expected);
    // Typing over a selection that makes room is taken.
    SendMessageW(memo, EM_SETSEL, 1, 3);
    Type(LineOf(memo), QStringLiteral("xy"));
    EXPECT_EQ(Text(memo), u"axy");
}

TEST_F(Edits, TheProgramsTextIsNotCutByTheLimitAndIsAChange)
{
    HWND memo = MakeMemo();
    SendMessageW(memo, EM_LIMITTEXT, 4, 0);
    EXPECT_TRUE(SetWindowTextW(memo, u"a longer memo"));
    EXPECT_EQ(Text(memo), u"a longer memo");
    EXPECT_EQ(LineOf(memo)->text(), QStringLiteral("a longer memo"));
    EXPECT_EQ(CodesOf(1011), changed);
    EXPECT_EQ(SendMessageW(memo, EM_GETLIMITTEXT, 0, 0), 4);
    // A person cannot make it longer, but may shorten it.
    commands.clear();
    SendMessageW(memo, EM_SETSEL, 13, 13);
    Type(LineOf(memo), QStringLiteral("x"));
    EXPECT_EQ(CodesOf(1011), std::vector<WORD>({EN_MAXTEXT}));
    Key(LineOf(memo), Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(Text(memo), u"a longer mem");
}

TEST_F(Edits, GetLineCopiesAsManyAsTheFirstWordSaysWithoutTerminator)
{
    HWND memo = MakeMemo();
    SetWindowTextW(memo, u"lunch break");
    struct Case {
        WORD size;
        LRESULT copied;
        std::u16string text;
    } cases[] = {{30, 11, u"lunch break"},
                 {11, 11, u"lunch break"},
                 {5, 5, u"lunch"},
                 {1, 1, u"l"},
                 {0, 0, u""}};
    for (const Case& c : cases) {
        WCHAR buffer[40];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        buffer[0] = c.size;
        LRESULT n = SendMessageW(memo, EM_GETLINE, 0, LPARAM(buffer));
        EXPECT_EQ(n, c.copied) << c.size;
        EXPECT_EQ(std::u16string(buffer, size_t(n)), c.text);
        if (n > 0) {
            EXPECT_EQ(buffer[n], u'#') << "no terminator after the copied line";
        }
    }
    EXPECT_EQ(SendMessageW(memo, EM_GETLINE, 0, 0), 0);
    EXPECT_EQ(SendMessageW(memo, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(Edits, LineLength)
{
    HWND memo = MakeMemo();
    SetWindowTextW(memo, u"lunch");
    SendMessageW(memo, EM_SETSEL, 1, 3);
    struct Case {
        WPARAM index;
        LRESULT length;
    } cases[] = {{0, 5}, {3, 5}, {5, 5}, {6, 0}, {100, 0}, {WPARAM(-1), 3}};
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageW(memo, EM_LINELENGTH, c.index, 0), c.length) << int(c.index);
    SetWindowTextW(memo, u"");
    EXPECT_EQ(SendMessageW(memo, EM_LINELENGTH, 0, 0), 0);
}

TEST_F(Edits, SetAndGetTheSelection)
{
    HWND memo = MakeMemo();
    SetWindowTextW(memo, u"category");
    struct Case {
        WPARAM start;
        LPARAM end;
        DWORD first, last;
        QString selected;
    } cases[] = {
        {0, -1, 0, 8, QStringLiteral("category")}, {2, 5, 2, 5, QStringLiteral("teg")},
        {5, 2, 2, 5, QStringLiteral("teg")},       {3, 3, 3, 3, QString()},
        {4, 100, 4, 8, QStringLiteral("gory")},    {100, 100, 8, 8, QString()},
    };
    for (const Case& c : cases) {
        SendMessageW(memo, EM_SETSEL, c.start, c.end);
        DWORD first = 99, last = 99;
        LRESULT both = SendMessageW(memo, EM_GETSEL, WPARAM(&first), LPARAM(&last));
        EXPECT_EQ(first, c.first) << int(c.start) << "," << c.end;
        EXPECT_EQ(last, c.last) << int(c.start) << "," << c.end;
        EXPECT_EQ(both, LRESULT(MAKELPARAM(c.first, c.last)));
        EXPECT_EQ(LineOf(memo)->selectedText(), c.selected);
    }
    SendMessageW(memo, EM_SETSEL, 0, -1);
    SendMessageW(memo, EM_SETSEL, WPARAM(-1), 0);
    EXPECT_FALSE(LineOf(memo)->hasSelectedText());
    EXPECT_TRUE(commands.size() == 2); // only the text's own change
}

TEST_F(Edits, ReplaceSelTakesTheSelectionsPlaceWithinTheLimit)
{
    HWND memo = MakeMemo();
    SendMessageW(memo, EM_LIMITTEXT, 8, 0);
    SetWindowTextW(memo, u"abcdef");
    commands.clear();
    SendMessageW(memo, EM_SETSEL, 1, 3);
    SendMessageW(memo, EM_REPLACESEL, FALSE, LPARAM(u"XY"));
    EXPECT_EQ(Text(memo), u"aXYdef");
    EXPECT_EQ(CodesOf(1011), changed);
    commands.clear();
    SendMessageW(memo, EM_SETSEL, 6, 6);
    SendMessageW(memo, EM_REPLACESEL, FALSE, LPARAM(u"1234"));
    EXPECT_EQ(Text(memo), u"aXYdef12");
    std::vector<WORD> expected = changed;
    expected.push_back(EN_MAXTEXT);
    EXPECT_EQ(CodesOf(1011), expected);
}

TEST_F(Edits, StylesShapeWhatIsTyped)
{
    struct Case {
        DWORD style;
        QString typed;
        std::u16string kept;
    } cases[] = {
        {ES_NUMBER, QStringLiteral("1a2 3"), u"123"},
        {ES_UPPERCASE, QStringLiteral("Job 9"), u"JOB 9"},
        {ES_LOWERCASE, QStringLiteral("JoB"), u"job"},
        {ES_READONLY, QStringLiteral("abc"), u""},
        {ES_PASSWORD, QStringLiteral("secret"), u"secret"},
    };
    int id = 200;
    for (const Case& c : cases) {
        HWND edit = Make(WC_EDITW, u"", c.style, ++id);
        Type(LineOf(edit), c.typed);
        EXPECT_EQ(Text(edit), c.kept) << c.style;
    }
    HWND password = GetDlgItem(parent_, 205);
    EXPECT_EQ(LineOf(password)->echoMode(), QLineEdit::Password);
    HWND readOnly = GetDlgItem(parent_, 204);
    EXPECT_TRUE(SendMessageW(readOnly, EM_SETREADONLY, FALSE, 0));
    Type(LineOf(readOnly), QStringLiteral("ok"));
    EXPECT_EQ(Text(readOnly), u"ok");
}

TEST_F(Edits, FocusNotificationsOnceEachWay)
{
    HWND memo = MakeMemo();
    HWND name = Make(WC_EDITW, u"", WS_BORDER, 1044, 10, 10, 100, 21);
    SetFocus(memo);
    SetFocus(memo);
    SetFocus(name);
    EXPECT_EQ(CodesOf(1011), std::vector<WORD>({EN_SETFOCUS, EN_KILLFOCUS}));
    EXPECT_EQ(CodesOf(1044), std::vector<WORD>({EN_SETFOCUS}));
    EXPECT_EQ(GetFocus(), name);
}

TEST_F(Edits, AnEditClosedByItsOwnChangeIsNotTouchedAfterwards)
{
    HWND memo = MakeMemo();
    QPointer<QWidget> widget = WidgetOf(memo);
    onCommand = [&](const Command& command) {
        if (command.code == EN_CHANGE)
            DestroyWindow(memo);
    };
    Type(widget, QStringLiteral("a"));
    EXPECT_FALSE(IsWindow(memo));
    Settle();
    EXPECT_TRUE(widget.isNull());
}

TEST_F(Edits, FontsFollowWmSetFont)
{
    HWND memo = MakeMemo();
    EXPECT_EQ(SendMessageW(memo, WM_GETFONT, 0, 0), 0);
    EXPECT_EQ(LineOf(memo)->font().pixelSize(), 11);
    LOGFONTW description = {};
    description.lfHeight = -15;
    description.lfWeight = FW_BOLD;
    std::u16string face = u"DejaVu Sans";
    std::copy(face.begin(), face.end(), description.lfFaceName);
    HFONT font = CreateFontIndirectW(&description);
    SendMessageW(memo, WM_SETFONT, WPARAM(font), TRUE);
    EXPECT_EQ(HFONT(SendMessageW(memo, WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(LineOf(memo)->font().pixelSize(), 15);
    EXPECT_TRUE(LineOf(memo)->font().bold());
    SendMessageW(memo, WM_SETFONT, 0, FALSE);
    EXPECT_EQ(LineOf(memo)->font().pixelSize(), 11);
    DeleteObject(font);
}
