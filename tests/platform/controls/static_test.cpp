// Statics: text as the style places it, '&' prefixes, taps that reach the dialog, pictures.
#include "tests/platform/controls/controls_fixture.h"

#include <QLabel>

using namespace controls_test;

namespace
{
QLabel* LabelOf(HWND control)
{
    return qobject_cast<QLabel*>(WidgetOf(control));
}

class Statics : public ControlsTest
{
};
} // namespace

TEST_F(Statics, TheStylePlacesTheText)
{
    struct Case {
        DWORD style;
        Qt::Alignment alignment;
        bool wraps;
    } cases[] = {
        {SS_LEFT, Qt::AlignLeft | Qt::AlignTop, true},
        {SS_CENTER, Qt::AlignHCenter | Qt::AlignTop, true},
        {SS_RIGHT, Qt::AlignRight | Qt::AlignTop, true},
        {SS_LEFTNOWORDWRAP, Qt::AlignLeft | Qt::AlignTop, false},
        {SS_CENTER | SS_CENTERIMAGE, Qt::AlignHCenter | Qt::AlignVCenter, false},
    };
    int id = 1100;
    for (const Case& c : cases) {
        HWND label = Make(WC_STATICW, u"Sample:", c.style, ++id, 18, 73, 65, 18);
        EXPECT_EQ(LabelOf(label)->alignment(), c.alignment) << c.style;
        EXPECT_EQ(LabelOf(label)->wordWrap(), c.wraps) << c.style;
        EXPECT_EQ(LabelOf(label)->text(), QStringLiteral("Sample:"));
    }
}

TEST_F(Statics, TextSetAndReadBack)
{
    HWND total = Make(WC_STATICW, nullptr, SS_CENTER, 1063);
    EXPECT_EQ(Text(total), u"");
    EXPECT_TRUE(SetWindowTextW(total, u"12:30"));
    EXPECT_EQ(Text(total), u"12:30");
    EXPECT_EQ(LabelOf(total)->text(), QStringLiteral("12:30"));
    SetWindowTextW(total, nullptr);
    EXPECT_EQ(Text(total), u"");
    EXPECT_TRUE(LabelOf(total)->text().isEmpty());
}

TEST_F(Statics, AmpersandsMarkALetterUnlessNoPrefix)
{
    HWND marked = Make(WC_STATICW, u"&Name && <b>", SS_LEFT, 1);
    EXPECT_EQ(LabelOf(marked)->textFormat(), Qt::RichText);
    QString shown = LabelOf(marked)->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("<u>N</u>"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("&amp; &lt;b&gt;"))) << shown.toStdString();
    HWND plain = Make(WC_STATICW, u"A & B", SS_LEFT | SS_NOPREFIX, 2);
    EXPECT_EQ(LabelOf(plain)->textFormat(), Qt::PlainText);
    EXPECT_EQ(LabelOf(plain)->text(), QStringLiteral("A & B"));
    EXPECT_EQ(Text(marked), u"&Name && <b>");
}

TEST_F(Statics, TapsGoThroughUnlessTheStaticNotifies)
{
    HWND label = Make(WC_STATICW, u"Date: ", SS_LEFT, 1003);
    EXPECT_TRUE(LabelOf(label)->testAttribute(Qt::WA_TransparentForMouseEvents));
    HWND notifying = Make(WC_STATICW, u"Tap me", SS_LEFT | SS_NOTIFY, 1004, 10, 40);
    EXPECT_FALSE(LabelOf(notifying)->testAttribute(Qt::WA_TransparentForMouseEvents));
    Tap(LabelOf(notifying), QPoint(5, 5));
    EXPECT_EQ(CodesOf(1004), std::vector<WORD>({STN_CLICKED}));
    EXPECT_EQ(SendMessageW(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

TEST_F(Statics, APictureStaticWithoutItsIconShowsNothingAndTakesOneGiven)
{
    // No module is loaded here, so the template's icon 101 is not found.
    HWND picture = Make(WC_STATICW, u"\xFFFF\x0065", SS_ICON, 1, 8, 8, 21, 20);
    EXPECT_EQ(SendMessageW(picture, STM_GETICON, 0, 0), 0);
    EXPECT_TRUE(LabelOf(picture)->pixmap().isNull());
    HICON unknown = reinterpret_cast<HICON>(uintptr_t(0x1234));
    EXPECT_EQ(SendMessageW(picture, STM_SETICON, WPARAM(unknown), 0), 0);
    EXPECT_EQ(SendMessageW(picture, STM_GETICON, 0, 0), LRESULT(unknown));
    EXPECT_EQ(SendMessageW(picture, STM_GETIMAGE, IMAGE_ICON, 0), LRESULT(unknown));
    EXPECT_EQ(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(SendMessageW(picture, STM_SETIMAGE, IMAGE_ICON, 0), LRESULT(unknown));
    EXPECT_EQ(SendMessageW(picture, STM_GETICON, 0, 0), 0);
    EXPECT_EQ(SendMessageW(picture, STM_SETIMAGE, 7, 0), 0);
}
