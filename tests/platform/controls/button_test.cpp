// Buttons: taps, Space and BM_CLICK send BN_CLICKED; check boxes and radio buttons keep their
// check as their type says; the default button's style; group boxes take nothing.
#include "tests/platform/controls/controls_fixture.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>

using namespace controls_test;

namespace
{
const std::vector<WORD> clicked = {BN_CLICKED};

QAbstractButton* ButtonWidget(HWND button)
{
    return qobject_cast<QAbstractButton*>(WidgetOf(button));
}

QPoint Middle(HWND control)
{
    return WidgetOf(control)->rect().center();
}

class Buttons : public ControlsTest
{
};
} // namespace

TEST_F(Buttons, ATapInsideSendsOneClick)
{
    HWND ok = Make(WC_BUTTONW, u"OK", BS_PUSHBUTTON, 1014);
    Tap(WidgetOf(ok), Middle(ok));
    EXPECT_EQ(CodesOf(1014), clicked);
    EXPECT_EQ(commands.front().from, ok);
}

TEST_F(Buttons, APressLiftedOutsideSendsNothing)
{
    HWND ok = Make(WC_BUTTONW, u"OK", BS_PUSHBUTTON, 1014);
    Press(WidgetOf(ok), Middle(ok));
    Release(WidgetOf(ok), QPoint(300, 300));
    EXPECT_TRUE(CodesOf(1014).empty());
}

TEST_F(Buttons, ClassNamesCompareWithoutCase)
{
    EXPECT_NE(Make(u"BUTTON", u"A", BS_PUSHBUTTON, 1), nullptr);
    EXPECT_NE(Make(u"button", u"B", BS_PUSHBUTTON, 2), nullptr);
    EXPECT_NE(Make(u"STATIC", u"C", SS_LEFT, 3), nullptr);
    EXPECT_NE(Make(u"edit", u"", 0, 4), nullptr);
    EXPECT_NE(Make(u"COMBOBOX", nullptr, CBS_DROPDOWNLIST, 5), nullptr);
    EXPECT_NE(Make(u"listbox", nullptr, LBS_NOTIFY, 6), nullptr);
}

TEST_F(Buttons, BmClickAndSpaceClick)
{
    HWND ok = Make(WC_BUTTONW, u"OK", BS_PUSHBUTTON, 1014);
    EXPECT_EQ(SendMessageW(ok, BM_CLICK, 0, 0), 0);
    EXPECT_EQ(CodesOf(1014), clicked);
    commands.clear();
    Key(WidgetOf(ok), Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(CodesOf(1014), clicked);
}

TEST_F(Buttons, EnterIsLeftToTheDialog)
{
    HWND ok = Make(WC_BUTTONW, u"OK", BS_DEFPUSHBUTTON, 1014);
    Key(WidgetOf(ok), Qt::Key_Return, QStringLiteral("\r"));
    Key(WidgetOf(ok), Qt::Key_Escape);
    EXPECT_TRUE(CodesOf(1014).empty());
}

TEST_F(Buttons, ADisabledButtonSendsNothing)
{
    HWND ok = Make(WC_BUTTONW, u"OK", BS_PUSHBUTTON | WS_DISABLED, 1014);
    Tap(WidgetOf(ok), Middle(ok));
    SendMessageW(ok, BM_CLICK, 0, 0);
    EnableWindow(ok, TRUE);
    EnableWindow(ok, FALSE);
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(CodesOf(1014).empty());
    EnableWindow(ok, TRUE);
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(CodesOf(1014), clicked);
}

TEST_F(Buttons, TheDefaultStyleComesAndGoesWithBmSetStyle)
{
    HWND ok = Make(WC_BUTTONW, u"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 1014);
    auto* push = qobject_cast<QPushButton*>(WidgetOf(ok));
    ASSERT_NE(push, nullptr);
    EXPECT_TRUE(push->isDefault());
    EXPECT_EQ(SendMessageW(ok, WM_GETDLGCODE, 0, 0), DLGC_DEFPUSHBUTTON);
    SendMessageW(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(push->isDefault());
    EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_TRUE(GetWindowLongW(ok, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(SendMessageW(ok, WM_GETDLGCODE, 0, 0), DLGC_UNDEFPUSHBUTTON);
    SendMessageW(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(push->isDefault());
}

TEST_F(Buttons, TextIsKeptWithTheWidget)
{
    HWND button = Make(WC_BUTTONW, u"&Delete", BS_PUSHBUTTON, 1012);
    EXPECT_EQ(Text(button), u"&Delete");
    SetWindowTextW(button, u"Reset");
    EXPECT_EQ(Text(button), u"Reset");
    EXPECT_EQ(ButtonWidget(button)->text(), QStringLiteral("Reset"));
}

TEST_F(Buttons, AnAutomaticCheckBoxTogglesOnEachTap)
{
    HWND all = Make(WC_BUTTONW, u"All", BS_AUTOCHECKBOX, 1057);
    EXPECT_EQ(SendMessageW(all, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    Tap(WidgetOf(all), QPoint(5, 11));
    EXPECT_EQ(SendMessageW(all, BM_GETCHECK, 0, 0), BST_CHECKED);
    Tap(WidgetOf(all), QPoint(5, 11));
    EXPECT_EQ(SendMessageW(all, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(CodesOf(1057), std::vector<WORD>({BN_CLICKED, BN_CLICKED}));
}

TEST_F(Buttons, AClickOnAPlainCheckBoxLeavesTheCheckToTheProgram)
{
    HWND box = Make(WC_BUTTONW, u"Box", BS_CHECKBOX, 7);
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(CodesOf(7), clicked);
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(CodesOf(7), clicked); // setting the check sends nothing
}

TEST_F(Buttons, BmSetCheckByType)
{
    struct Case {
        DWORD type;
        WPARAM set;
        LRESULT got;
    } cases[] = {
        {BS_AUTOCHECKBOX, BST_CHECKED, BST_CHECKED},
        {BS_AUTOCHECKBOX, BST_INDETERMINATE, BST_CHECKED},
        {BS_AUTOCHECKBOX, BST_UNCHECKED, BST_UNCHECKED},
        {BS_AUTO3STATE, BST_INDETERMINATE, BST_INDETERMINATE},
        {BS_3STATE, BST_CHECKED, BST_CHECKED},
        {BS_AUTORADIOBUTTON, BST_CHECKED, BST_CHECKED},
        {BS_RADIOBUTTON, BST_INDETERMINATE, BST_CHECKED},
        {BS_PUSHBUTTON, BST_CHECKED, BST_UNCHECKED},
        {BS_GROUPBOX, BST_CHECKED, BST_UNCHECKED},
    };
    int id = 100;
    for (const Case& c : cases) {
        HWND button = Make(WC_BUTTONW, u"x", c.type, ++id);
        SendMessageW(button, BM_SETCHECK, c.set, 0);
        EXPECT_EQ(SendMessageW(button, BM_GETCHECK, 0, 0), c.got) << "type " << c.type;
    }
    EXPECT_TRUE(commands.empty());
}

TEST_F(Buttons, AThreeStateBoxGoesRoundItsStates)
{
    HWND box = Make(WC_BUTTONW, u"x", BS_AUTO3STATE, 8);
    LRESULT seen[3];
    for (LRESULT& state : seen) {
        SendMessageW(box, BM_CLICK, 0, 0);
        state = SendMessageW(box, BM_GETCHECK, 0, 0);
    }
    EXPECT_EQ(seen[0], BST_CHECKED);
    EXPECT_EQ(seen[1], BST_INDETERMINATE);
    EXPECT_EQ(seen[2], BST_UNCHECKED);
}

TEST_F(Buttons, AnAutomaticRadioButtonClearsOnlyItsOwnGroup)
{
    HWND ascii = Make(WC_BUTTONW, u"ASCII", BS_AUTORADIOBUTTON | WS_GROUP, 1077, 10, 10);
    HWND unicode = Make(WC_BUTTONW, u"UNICODE", BS_AUTORADIOBUTTON, 1078, 10, 40);
    HWND plain = Make(WC_BUTTONW, u"Plain", BS_RADIOBUTTON, 1079, 10, 70);
    HWND business = Make(WC_BUTTONW, u"Business", BS_AUTORADIOBUTTON | WS_GROUP, 1080, 10, 100);
    HWND personal = Make(WC_BUTTONW, u"Personal", BS_AUTORADIOBUTTON, 1081, 10, 130);
    SendMessageW(ascii, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(plain, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(business, BM_SETCHECK, BST_CHECKED, 0);

    Tap(WidgetOf(unicode), QPoint(5, 11));
    EXPECT_EQ(SendMessageW(unicode, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(ascii, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(plain, BM_GETCHECK, 0, 0), BST_CHECKED); // not automatic
    EXPECT_EQ(SendMessageW(business, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(personal, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(CodesOf(1078), clicked);

    // A second tap on a checked radio button keeps it checked.
    Tap(WidgetOf(unicode), QPoint(5, 11));
    EXPECT_EQ(SendMessageW(unicode, BM_GETCHECK, 0, 0), BST_CHECKED);

    SendMessageW(personal, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(business, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(unicode, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(Buttons, AGroupBoxTakesNoTapsAndNoFocus)
{
    HWND group = Make(WC_BUTTONW, u"Save file as", BS_GROUPBOX, 1076, 5, 5, 200, 80);
    auto* box = qobject_cast<QGroupBox*>(WidgetOf(group));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->title(), QStringLiteral("Save file as"));
    EXPECT_TRUE(box->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
    SendMessageW(group, BM_CLICK, 0, 0);
    EXPECT_TRUE(commands.empty());
    SetWindowTextW(group, u"Registered Time");
    EXPECT_EQ(box->title(), QStringLiteral("Registered Time"));
    EXPECT_EQ(Text(group), u"Registered Time");
}

TEST_F(Buttons, AButtonClosedByItsOwnClickIsNotTouchedAfterwards)
{
    HWND ok = Make(WC_BUTTONW, u"OK", BS_PUSHBUTTON, 1014);
    QPointer<QWidget> widget = WidgetOf(ok);
    onCommand = [&](const Command& command) {
        if (command.id == 1014)
            DestroyWindow(parent_);
    };
    Tap(widget, Middle(ok));
    EXPECT_FALSE(IsWindow(ok));
    Settle();
    EXPECT_TRUE(widget.isNull());
}

TEST_F(Buttons, NotifyButtonsReportTheirFocus)
{
    HWND first = Make(WC_BUTTONW, u"A", BS_PUSHBUTTON | BS_NOTIFY, 1);
    HWND second = Make(WC_BUTTONW, u"B", BS_PUSHBUTTON, 2, 10, 40);
    SetFocus(first);
    SetFocus(second);
    EXPECT_EQ(CodesOf(1), std::vector<WORD>({BN_SETFOCUS, BN_KILLFOCUS}));
    EXPECT_TRUE(CodesOf(2).empty());
}
