// The soft input panel on the device's screen: up and down with the shell's state, and its keys
// typing into the focused control without taking the focus.
#include "device/screen/input_panel.h"
#include "device/screen/screen.h"

#include "platform/aygshell.h"
#include "platform/window/window_object.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>

namespace
{
void SetPanel(bool up)
{
    SIPINFO sip{sizeof(SIPINFO), up ? DWORD(SIPF_ON) : DWORD(SIPF_OFF), {}, {}, 0, nullptr};
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &sip, 0));
}

void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& point, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(point), QPointF(widget->mapToGlobal(point)), Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class InputPanelTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureApplication());
        DeviceOptions options;
        options.screenWidth = 240;
        options.screenHeight = 320;
        std::string reason;
        ASSERT_TRUE(CreateDeviceScreen(options, &reason)) << reason;
        edit_ = new QLineEdit(DeviceScreenWidget());
        edit_->setGeometry(10, 40, 150, 20);
        edit_->show();
        QWidget* desktop = DeviceDesktopWindow();
        desktop->activateWindow();
        QApplication::setActiveWindow(desktop);
        edit_->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), edit_.data());
    }
    void TearDown() override
    {
        delete edit_.data();
        DestroyDeviceScreen();
        SetPanel(false);
    }

    // The screen's panel (the class has no meta-object of its own, so it is found by its type).
    static InputPanel* Panel()
    {
        for (QWidget* child : DeviceScreenWidget()->findChildren<QWidget*>())
            if (auto* panel = dynamic_cast<InputPanel*>(child))
                return panel;
        return nullptr;
    }

    // A tap of the pointer on the key of that name, as a person's finger.
    void TapKey(const char* name)
    {
        InputPanel* panel = Panel();
        ASSERT_NE(panel, nullptr);
        int key = panel->KeyNamed(QString::fromUtf8(name));
        ASSERT_GE(key, 0) << name;
        QPoint middle = panel->KeyRect(key).center();
        ASSERT_EQ(panel->KeyAt(middle), key) << name;
        SendMouse(panel, QEvent::MouseButtonPress, middle, Qt::LeftButton);
        SendMouse(panel, QEvent::MouseButtonRelease, middle, Qt::NoButton);
    }

    QPointer<QLineEdit> edit_;
};

TEST_F(InputPanelTest, ThePanelRisesAndFallsWithTheShellsState)
{
    EXPECT_FALSE(InputPanelUp());
    SetPanel(true);
    EXPECT_TRUE(InputPanelUp());
    ASSERT_NE(Panel(), nullptr);
    EXPECT_TRUE(Panel()->isVisible());
    EXPECT_EQ(Panel()->geometry(), QRect(0, 320 - MENU_BAR_HEIGHT - SIP_PANEL_HEIGHT, 240, 80));
    SetPanel(false);
    EXPECT_FALSE(InputPanelUp());
    EXPECT_FALSE(Panel()->isVisible());
}

TEST_F(InputPanelTest, EveryKeyLiesOnThePanelAndNoTwoOverlap)
{
    SetPanel(true);
    ASSERT_TRUE(InputPanelUp());
    InputPanel* panel = Panel();
    const char* names[] = {"a",         "z",     "1",   "0",    "Shift", "Space",
                           "Backspace", "Enter", "Tab", "Left", "Right"};
    for (const char* name : names) {
        int key = panel->KeyNamed(QString::fromUtf8(name));
        ASSERT_GE(key, 0) << name;
        EXPECT_TRUE(panel->rect().contains(panel->KeyRect(key))) << name;
        for (const char* other : names) {
            int k = panel->KeyNamed(QString::fromUtf8(other));
            if (k == key)
                continue;
            EXPECT_FALSE(panel->KeyRect(key).intersects(panel->KeyRect(k)))
                << name << " and " << other;
        }
    }
    EXPECT_EQ(panel->KeyNamed(QStringLiteral("no such key")), -1);
    EXPECT_EQ(panel->KeyAt(QPoint(-5, -5)), -1);
}

TEST_F(InputPanelTest, KeysTypeIntoTheFocusedEditAndShiftHoldsForOneKey)
{
    SetPanel(true);
    ASSERT_TRUE(InputPanelUp());
    QWidget* focused = QApplication::focusWidget();
    TapKey("a");
    TapKey("Shift");
    EXPECT_TRUE(Panel()->Shifted());
    TapKey("b");
    EXPECT_FALSE(Panel()->Shifted());
    TapKey("c");
    EXPECT_EQ(edit_->text(), QStringLiteral("aBc"));
    TapKey("Backspace");
    EXPECT_EQ(edit_->text(), QStringLiteral("aB"));
    TapKey("Space");
    TapKey("Shift");
    TapKey("1");
    EXPECT_EQ(edit_->text(), QStringLiteral("aB !"));
    EXPECT_EQ(QApplication::focusWidget(), focused) << "the keys leave the focus where it was";
}

TEST_F(InputPanelTest, ShiftTappedTwiceTypesTheNextKeyPlain)
{
    SetPanel(true);
    ASSERT_TRUE(InputPanelUp());
    TapKey("Shift");
    TapKey("Shift");
    TapKey("q");
    EXPECT_EQ(edit_->text(), QStringLiteral("q"));
}

TEST_F(InputPanelTest, EnterAndTheArrowsReachTheEditAsKeys)
{
    SetPanel(true);
    ASSERT_TRUE(InputPanelUp());
    int returns = 0;
    QObject::connect(edit_, &QLineEdit::returnPressed, [&] { ++returns; });
    TapKey("x");
    TapKey("y");
    TapKey("Left");
    TapKey("z");
    TapKey("Enter");
    EXPECT_EQ(edit_->text(), QStringLiteral("xzy"));
    EXPECT_EQ(returns, 1);
}

QWidget* MakeLineEdit(HWND, const CREATESTRUCTW&, QWidget* parent)
{
    return new QLineEdit(parent);
}

LRESULT LineEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

const ControlClass lineEditClass = {u"InputPanelTestEdit", MakeLineEdit, LineEditProc};

TEST_F(InputPanelTest, WithoutTheToolkitsFocusTheKeysGoToThePlatformsFocusedWindow)
{
    // A control the toolkit cannot focus (it is hidden) that the platform gave the focus:
    // typing reaches it through GetFocus, as the program expects.
    SetPanel(true);
    ASSERT_TRUE(InputPanelUp());
    RegisterControlClass(&lineEditClass);
    HWND control = CreateWindowExW(0, u"InputPanelTestEdit", u"", 0, 0, 0, 100, 20, nullptr,
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    edit_->clearFocus();
    SetFocus(control);
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    ASSERT_EQ(GetFocus(), control);
    TapKey("k");
    auto* hidden = qobject_cast<QLineEdit*>(WidgetOf(control));
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->text(), QStringLiteral("k"));
    EXPECT_EQ(edit_->text(), QString());
    DestroyWindow(control);
}
} // namespace
