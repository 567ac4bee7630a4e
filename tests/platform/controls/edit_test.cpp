// Single-line edits: the limit (as a person types and as the program sets text), the line and
// selection messages, the notifications of every change and of the focus.
#include "tests/platform/controls/controls_fixture.h"

#include "platform/gdi.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>

using namespace controls_test;

namespace
{
const std::vector<WORD> changed = {EN_UPDATE, EN_CHANGE};
const std::vector<WORD> maxText = {EN_MAXTEXT};

QLineEdit* LineOf(HWND edit)
{
    return qobject_cast<QLineEdit*>(WidgetOf(edit));
}

// U+1F600, two UTF-16 units.
const QString emoji = QString::fromUtf16(u"\U0001F600");

std::vector<WORD> Plus(std::vector<WORD> codes, WORD code)
{
    codes.push_back(code);
    return codes;
}

std::u16string Wide(const QString& text)
{
    return text.toStdU16String();
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

    // A memo of `limit` holding `text` as the program set it, with the caret at its end or the
    // selection from `selectFrom` to its end; no notification recorded yet.
    HWND MemoHolding(int limit, const QString& text, int selectFrom = -1)
    {
        HWND memo = MakeMemo();
        SendMessageW(memo, EM_LIMITTEXT, WPARAM(limit), 0);
        std::u16string wide = Wide(text);
        SetWindowTextW(memo, wide.c_str());
        WPARAM end = WPARAM(text.size());
        SendMessageW(memo, EM_SETSEL, selectFrom < 0 ? end : WPARAM(selectFrom), LPARAM(end));
        commands.clear();
        return memo;
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

// A limit counts UTF-16 units, as the handheld does, but never keeps half a character: a key
// whose character does not fit whole is refused, whatever Qt's line edit would take as typing.
TEST_F(Edits, AKeysCharacterThatDoesNotFitWholeIsRefused)
{
    const QString letters28(28, u'a');
    struct Case {
        const char* what;
        int limit;
        QString before;
        int selectFrom;
        QString typed;
        Qt::KeyboardModifiers modifiers;
        QString kept;
        bool refused;
    } cases[] = {
        {"an emoji a unit short of the memo's limit", 29, letters28, -1, emoji, Qt::NoModifier,
         letters28, true},
        {"an emoji that just fits the memo", 29, letters28.left(27), -1, emoji, Qt::NoModifier,
         letters28.left(27) + emoji, false},
        {"an emoji a unit short of a category's limit", 20, letters28.left(19), -1, emoji,
         Qt::NoModifier, letters28.left(19), true},
        {"an emoji in a limit of one", 1, QString(), -1, emoji, Qt::NoModifier, QString(), true},
        {"an emoji over one selected letter at the limit", 5, "abcde", 4, emoji, Qt::NoModifier,
         "abcde", true},
        {"an emoji over two selected letters at the limit", 5, "abcde", 3, emoji, Qt::NoModifier,
         "abc" + emoji, false},
        {"a zero-width joiner, taken by Qt though not printable", 3, "abc", -1,
         QString(QChar(0x200D)), Qt::NoModifier, "abc", true},
        {"a private-use character", 3, "abc", -1, QString(QChar(0xE000)), Qt::NoModifier, "abc",
         true},
        {"a letter typed with Alt", 3, "abc", -1, "d", Qt::AltModifier, "abc", true},
        {"a letter typed with AltGr", 3, "abc", -1, "d", Qt::ControlModifier | Qt::AltModifier,
         "abc", true},
    };
    for (const Case& c : cases) {
        HWND memo = MemoHolding(c.limit, c.before, c.selectFrom);
        Key(LineOf(memo), Qt::Key_unknown, c.typed, c.modifiers);
        EXPECT_EQ(Text(memo), Wide(c.kept)) << c.what;
        EXPECT_EQ(CodesOf(1011), c.refused ? maxText : changed) << c.what;
        DestroyWindow(memo);
    }
}

TEST_F(Edits, APasteKeepsTheWholeCharactersThatFit)
{
    struct Case {
        const char* what;
        int limit;
        QString before;
        int selectFrom;
        QString pasted;
        QString kept;
        std::vector<WORD> codes;
    } cases[] = {
        {"cut before an emoji", 5, "abc", -1, "d" + emoji + "e", "abcd", Plus(changed, EN_MAXTEXT)},
        {"an emoji that just fits", 5, "abc", -1, emoji, "abc" + emoji, changed},
        {"an emoji a unit too long", 4, "abc", -1, emoji, "abc", maxText},
        {"over the selected text, the emojis that fit", 5, "abcde", 0, emoji + emoji + emoji,
         emoji + emoji, Plus(changed, EN_MAXTEXT)},
        {"into the program's text longer than the limit", 4, "a longer memo", -1, "x",
         "a longer memo", maxText},
    };
    for (const Case& c : cases) {
        HWND memo = MemoHolding(c.limit, c.before, c.selectFrom);
        QGuiApplication::clipboard()->setText(c.pasted);
        Key(LineOf(memo), Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);
        EXPECT_EQ(Text(memo), Wide(c.kept)) << c.what;
        EXPECT_EQ(CodesOf(1011), c.codes) << c.what;
        DestroyWindow(memo);
    }
    HWND readOnly = Make(WC_EDITW, u"", ES_READONLY, 1012);
    QGuiApplication::clipboard()->setText("x");
    Key(LineOf(readOnly), Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);
    EXPECT_EQ(Text(readOnly), u"");
    EXPECT_TRUE(CodesOf(1012).empty());
    // A paste is cased as typing is; ES_NUMBER, as on the handheld, does not refuse it.
    HWND upper = Make(WC_EDITW, u"", ES_UPPERCASE, 1013);
    HWND number = Make(WC_EDITW, u"", ES_NUMBER, 1014);
    QGuiApplication::clipboard()->setText("Job 9");
    Key(LineOf(upper), Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);
    Key(LineOf(number), Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);
    EXPECT_EQ(Text(upper), u"JOB 9");
    EXPECT_EQ(Text(number), u"Job 9");
}

TEST_F(Edits, AnInputMethodsTextKeepsTheWholeCharactersThatFit)
{
    struct Case {
        const char* what;
        int limit;
        QString before;
        QString committed;
        int replaceFrom, replaced; // from the caret
        QString kept;
        std::vector<WORD> codes;
    } cases[] = {
        {"an emoji a unit too long", 5, "abcd", emoji, 0, 0, "abcd", maxText},
        {"cut before an emoji", 5, "abc", "d" + emoji, 0, 0, "abcd", Plus(changed, EN_MAXTEXT)},
        {"an emoji in place of the letter before the caret", 5, "abcd", emoji, -1, 1, "abc" + emoji,
         changed},
    };
    for (const Case& c : cases) {
        HWND memo = MemoHolding(c.limit, c.before);
        QInputMethodEvent event;
        event.setCommitString(c.committed, c.replaceFrom, c.replaced);
        QCoreApplication::sendEvent(LineOf(memo), &event);
        EXPECT_EQ(Text(memo), Wide(c.kept)) << c.what;
        EXPECT_EQ(CodesOf(1011), c.codes) << c.what;
        DestroyWindow(memo);
    }
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
    // A character that does not fit whole is left out, not cut in half.
    commands.clear();
    SendMessageW(memo, EM_SETSEL, 7, 8);
    SendMessageW(memo, EM_REPLACESEL, FALSE, LPARAM(u"\U0001F600"));
    EXPECT_EQ(Text(memo), u"aXYdef1");
    EXPECT_EQ(CodesOf(1011), expected);
    commands.clear();
    SendMessageW(memo, EM_REPLACESEL, FALSE, LPARAM(u"\U0001F600"));
    EXPECT_EQ(Text(memo), u"aXYdef1");
    EXPECT_EQ(CodesOf(1011), maxText);
}

// The handheld's EM_LIMITTEXT limits what a person puts in, not what WM_SETTEXT or the window's
// first text put there: such a text is kept whole however it arrived, is read back whole, takes
// nothing more from a person however it is offered, and can be shortened.
TEST_F(Edits, AProgramsTextLongerThanTheLimitIsKeptWholeAndOnlyShortened)
{
    // 72 units, with an emoji across the limit's edge (units 29 and 30).
    const QString long72 = QString(28, u'm') + emoji + QString(42, u'n');
    const std::u16string wide = Wide(long72);
    enum class Arrives { TextAfterLimit, TextBeforeLimit, AtCreation };
    const Arrives ways[] = {Arrives::TextAfterLimit, Arrives::TextBeforeLimit, Arrives::AtCreation};
    for (Arrives way : ways) {
        int at = int(way);
        HWND memo =
            way == Arrives::AtCreation ? Make(WC_EDITW, wide.c_str(), WS_BORDER, 1011) : MakeMemo();
        if (way == Arrives::TextAfterLimit)
            SendMessageW(memo, EM_LIMITTEXT, 29, 0);
        if (way != Arrives::AtCreation)
            SetWindowTextW(memo, wide.c_str());
        if (way != Arrives::TextAfterLimit)
            SendMessageW(memo, EM_LIMITTEXT, 29, 0);
        EXPECT_EQ(SendMessageW(memo, EM_GETLIMITTEXT, 0, 0), 29) << at;
        EXPECT_EQ(Text(memo), wide) << at;
        EXPECT_EQ(LineOf(memo)->text(), long72) << at << ": Qt's own length does not cut it";
        EXPECT_EQ(SendMessageW(memo, WM_GETTEXTLENGTH, 0, 0), 72) << at;
        EXPECT_EQ(SendMessageW(memo, EM_LINELENGTH, 0, 0), 72) << at;
        WCHAR line[100] = {};
        line[0] = 100;
        ASSERT_EQ(SendMessageW(memo, EM_GETLINE, 0, LPARAM(line)), 72) << at;
        EXPECT_EQ(std::u16string(line, 72), wide) << at;

        // Nothing more is taken at the end, nor over a selection that leaves it too long.
        commands.clear();
        SendMessageW(memo, EM_SETSEL, 72, 72);
        Type(LineOf(memo), QStringLiteral("x"));
        Key(LineOf(memo), Qt::Key_unknown, emoji);
        QGuiApplication::clipboard()->setText("y");
        Key(LineOf(memo), Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);
        QInputMethodEvent committed;
        committed.setCommitString("z");
        QCoreApplication::sendEvent(LineOf(memo), &committed);
        SendMessageW(memo, EM_SETSEL, 71, 72);
        Type(LineOf(memo), QStringLiteral("x"));
        EXPECT_EQ(Text(memo), wide) << at;
        EXPECT_EQ(CodesOf(1011), std::vector<WORD>(5, EN_MAXTEXT)) << at;

        // Deleting works, and a shorter text still takes nothing while it is over the limit.
        commands.clear();
        SendMessageW(memo, EM_SETSEL, 72, 72);
        Key(LineOf(memo), Qt::Key_Backspace, QStringLiteral("\b"));
        SendMessageW(memo, EM_SETSEL, 0, 0);
        Key(LineOf(memo), Qt::Key_Delete, QString(QChar(0x7F)));
        EXPECT_EQ(Text(memo), wide.substr(1, 70)) << at;
        EXPECT_EQ(CodesOf(1011), Repeat(changed, 2)) << at;
        commands.clear();
        Type(LineOf(memo), QStringLiteral("x"));
        EXPECT_EQ(Text(memo), wide.substr(1, 70)) << at;
        EXPECT_EQ(CodesOf(1011), maxText) << at;
        // Selecting all of it and typing makes room.
        commands.clear();
        SendMessageW(memo, EM_SETSEL, 0, -1);
        Type(LineOf(memo), QStringLiteral("ab"));
        EXPECT_EQ(Text(memo), u"ab") << at;
        EXPECT_EQ(CodesOf(1011), Repeat(changed, 2)) << at;
        DestroyWindow(memo);
    }
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
