#include "device/screen/screen.h"

#include "platform/aygshell.h"
#include "platform/systime.h"
#include "platform/window/window_object.h"
#include "platform/windows.h"

#include <QAbstractButton>
#include <QColor>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct Heard {
    HWND window;
    UINT message;
    WPARAM wParam;
    int screenWidth; // the screen's width when it arrived
    int clientWidth; // the window's width then
};

std::vector<Heard>& Log()
{
    static std::vector<Heard> log;
    return log;
}

LRESULT Listener(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTINGCHANGE || message == WM_COMMAND || message == WM_CLOSE) {
        RECT client{};
        GetClientRect(window, &client);
        Log().push_back({window, message, wParam, GetSystemMetrics(SM_CXSCREEN), client.right});
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const WCHAR ListenerClass[] = u"ScreenTestListener";

int Count(HWND window, UINT message, WPARAM wParam)
{
    int n = 0;
    for (const Heard& h : Log())
        n += h.window == window && h.message == message && h.wParam == wParam;
    return n;
}

const QColor navigationBlue(0x08, 0x28, 0x84);

class ScreenTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureApplication());
        WNDCLASSW wc{};
        wc.lpfnWndProc = Listener;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = ListenerClass;
        RegisterClassW(&wc); // once for the whole run; later calls find it there
        wc.lpszClassName = u"Zentally";
        RegisterClassW(&wc);
        Log().clear();
        Make(240, 320);
    }
    void TearDown() override
    {
        for (HWND window : AllWindows())
            DestroyWindow(window);
        DestroyDeviceScreen();
        SetScreenSize(240, 320);
        ResetDeviceClock();
        SIPINFO down{sizeof(SIPINFO), SIPF_OFF, {}, {}, 0, nullptr};
        SHSipInfo(SPI_SETSIPINFO, 0, &down, 0);
    }

    void Make(int width, int height)
    {
        DeviceOptions options;
        options.screenWidth = width;
        options.screenHeight = height;
        std::string reason;
        ASSERT_TRUE(CreateDeviceScreen(options, &reason)) << reason;
    }

    HWND TopLevel(LPCWSTR caption, int x = CW_USEDEFAULT, int y = 0, int w = CW_USEDEFAULT,
                  int h = 0)
    {
        HWND window = CreateWindowExW(0, ListenerClass, caption, WS_VISIBLE, x, y, w, h, nullptr,
                                      nullptr, nullptr, nullptr);
        EXPECT_TRUE(window);
        return window;
    }

    static RECT RectOf(HWND window)
    {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }
};

TEST_F(ScreenTest, TheDesktopWindowShowsTheScreenAtItsSize)
{
    QWidget* desktop = DeviceDesktopWindow();
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->windowTitle(), QStringLiteral("Zentally"));
    EXPECT_EQ(desktop->size(), QSize(240, 320));
    EXPECT_EQ(ScreenWidget(), DeviceScreenWidget());
    EXPECT_EQ(DeviceScreenWidget()->size(), QSize(240, 320));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 320);
}

TEST_F(ScreenTest, AScreenMadeAgainReplacesTheOneBefore)
{
    Make(480, 640);
    EXPECT_EQ(DeviceDesktopWindow()->size(), QSize(480, 640));
    EXPECT_EQ(ScreenSize().cx, 480);
    EXPECT_EQ(ScreenSize().cy, 640);
    EXPECT_EQ(GrabScreen().size(), QSize(480, 640));
}

TEST_F(ScreenTest, TurningSwapsWidthAndHeightBothWays)
{
    TurnScreen();
    EXPECT_EQ(ScreenSize().cx, 320);
    EXPECT_EQ(ScreenSize().cy, 240);
    EXPECT_EQ(DeviceDesktopWindow()->size(), QSize(320, 240));
    EXPECT_EQ(DeviceScreenWidget()->size(), QSize(320, 240));
    TurnScreen();
    EXPECT_EQ(ScreenSize().cx, 240);
    EXPECT_EQ(ScreenSize().cy, 320);
    EXPECT_EQ(DeviceDesktopWindow()->size(), QSize(240, 320));
}

TEST_F(ScreenTest, TurningTellsTheWindowsOnTheScreenAndNotTheirChildren)
{
    HWND main = TopLevel(u"Zentally");
    HWND child = CreateWindowExW(0, ListenerClass, u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, main,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(child);
    HWND owned = CreateWindowExW(0, ListenerClass, u"Owned", WS_VISIBLE, 0, 26, 240, 268, main,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(owned);
    Log().clear();
    TurnScreen();
    EXPECT_EQ(Count(main, WM_SETTINGCHANGE, SPI_SETWORKAREA), 1);
    EXPECT_EQ(Count(owned, WM_SETTINGCHANGE, SPI_SETWORKAREA), 1);
    EXPECT_EQ(Count(child, WM_SETTINGCHANGE, SPI_SETWORKAREA), 0);
    for (const Heard& h : Log()) {
        if (h.message == WM_SETTINGCHANGE) {
            EXPECT_EQ(h.screenWidth, 320) << "the work area changes before the windows hear";
        }
    }
}

TEST_F(ScreenTest, TurningKeepsTheMainWindowAboveTheMenuBarAndADialogBetweenTheBars)
{
    HWND main = TopLevel(u"Zentally");
    HWND dialog = TopLevel(u"Dialog", 0, 26, 240, 268);
    HWND small = TopLevel(u"Small", 10, 40, 50, 60);
    RECT before = RectOf(main);
    EXPECT_EQ(before.right, 240);
    EXPECT_EQ(before.bottom, 294);
    Log().clear();
    TurnScreen();
    RECT turned = RectOf(main);
    EXPECT_EQ(turned.left, 0);
    EXPECT_EQ(turned.top, 0);
    EXPECT_EQ(turned.right, 320);
    EXPECT_EQ(turned.bottom, 214);
    RECT between = RectOf(dialog);
    EXPECT_EQ(between.top, 26);
    EXPECT_EQ(between.right, 320);
    EXPECT_EQ(between.bottom, 214);
    RECT kept = RectOf(small);
    EXPECT_EQ(kept.left, 10);
    EXPECT_EQ(kept.top, 40);
    EXPECT_EQ(kept.right, 60);
    EXPECT_EQ(kept.bottom, 100);
    for (const Heard& h : Log()) {
        if (h.window == main && h.message == WM_SETTINGCHANGE) {
            EXPECT_EQ(h.clientWidth, 320) << "the window has its new size when it hears";
        }
    }
}

TEST_F(ScreenTest, AGrabIsOneImagePixelAScreenPixel)
{
    QImage image = GrabScreen();
    EXPECT_EQ(image.size(), QSize(240, 320));
    EXPECT_EQ(image.devicePixelRatio(), 1.0);
    TurnScreen();
    image = GrabScreen();
    EXPECT_EQ(image.size(), QSize(320, 240));
    EXPECT_EQ(image.devicePixelRatio(), 1.0);
}

TEST_F(ScreenTest, TheNavigationBarStaysAboveTheWindowsOfTheScreen)
{
    HWND main = TopLevel(u"Zentally");
    SetForegroundWindow(main);
    QImage image = GrabScreen();
    EXPECT_EQ(image.pixelColor(1, 1), navigationBlue);
    EXPECT_EQ(image.pixelColor(120, NAVIGATION_BAR_HEIGHT - 1), navigationBlue);
    EXPECT_EQ(image.pixelColor(120, NAVIGATION_BAR_HEIGHT + 4), QColor(Qt::white));
    TurnScreen();
    image = GrabScreen();
    EXPECT_EQ(image.pixelColor(318, 1), navigationBlue);
}

TEST_F(ScreenTest, TheBarsGoBackAboveAWindowThatRaisedItself)
{
    HWND main = TopLevel(u"Zentally");
    SetForegroundWindow(main);
    SIPINFO up{sizeof(SIPINFO), SIPF_ON, {}, {}, 0, nullptr};
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &up, 0));
    ShowWindow(main, SW_HIDE);
    ShowWindow(main, SW_SHOW); // raises it, with no change of the foreground window
    QImage image = GrabScreen();
    EXPECT_EQ(image.pixelColor(1, 1), navigationBlue);
    EXPECT_NE(image.pixelColor(1, 320 - MENU_BAR_HEIGHT - 3), QColor(Qt::white))
        << "the input panel is over the main window";
}

TEST_F(ScreenTest, WhatThePlatformLaysOverTheScreenStaysAboveTheBars)
{
    HWND main = TopLevel(u"Zentally");
    SetForegroundWindow(main);
    QWidget overlay(DeviceScreenWidget()); // as a message box or the help viewer is laid
    overlay.setAutoFillBackground(true);
    QPalette red = overlay.palette();
    red.setColor(QPalette::Window, Qt::red);
    overlay.setPalette(red);
    overlay.setGeometry(0, 0, 240, 320);
    overlay.show();
    overlay.raise();
    SetWindowTextW(main, u"Renamed");
    QImage image = GrabScreen();
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(120, 100), QColor(Qt::red));
    overlay.hide();
    image = GrabScreen();
    EXPECT_EQ(image.pixelColor(1, 1), navigationBlue);
}

TEST_F(ScreenTest, TheCaptionFollowsTheForegroundWindowAndItsText)
{
    EXPECT_EQ(NavigationBarTitle(), u"");
    HWND main = TopLevel(u"Zentally");
    SetForegroundWindow(main);
    EXPECT_EQ(NavigationBarTitle(), u"Zentally");
    SetWindowTextW(main, u"Renamed");
    EXPECT_EQ(NavigationBarTitle(), u"Renamed");

    HWND other = TopLevel(u"Other");
    SetForegroundWindow(other);
    EXPECT_EQ(NavigationBarTitle(), u"Other");
    SetWindowTextW(main, u"Behind"); // not the foreground window: the caption stays
    EXPECT_EQ(NavigationBarTitle(), u"Other");
    HWND control = CreateWindowExW(0, ListenerClass, u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                   other, nullptr, nullptr, nullptr);
    SetWindowTextW(control, u"A control");
    EXPECT_EQ(NavigationBarTitle(), u"Other");

    DestroyWindow(other); // the window beneath comes forward
    EXPECT_EQ(NavigationBarTitle(), u"Behind");
    DestroyWindow(main);
    EXPECT_EQ(NavigationBarTitle(), u"");
}

TEST_F(ScreenTest, TheOkButtonSendsIdokToItsDialogAndGoesWithIt)
{
    EXPECT_EQ(NavigationBarOkButton(), nullptr);
    HWND main = TopLevel(u"Zentally");
    HWND dialog = TopLevel(u"Dialog", 0, 26, 240, 268);
    SetForegroundWindow(dialog);
    ShowNavigationBarOk(true);
    auto* ok = qobject_cast<QAbstractButton*>(NavigationBarOkButton());
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->text(), QStringLiteral("ok"));
    Log().clear();
    ok->click();
    EXPECT_EQ(Count(dialog, WM_COMMAND, IDOK), 1);
    EXPECT_EQ(Count(main, WM_COMMAND, IDOK), 0);

    DestroyWindow(dialog);
    EXPECT_EQ(NavigationBarOkButton(), nullptr);

    ShowNavigationBarOk(true);
    EXPECT_NE(NavigationBarOkButton(), nullptr);
    ShowNavigationBarOk(false);
    EXPECT_EQ(NavigationBarOkButton(), nullptr);
}

TEST_F(ScreenTest, TheOkButtonIsDrawnOnTheBarWhileShown)
{
    QImage without = GrabScreen();
    ShowNavigationBarOk(true);
    QImage with = GrabScreen();
    QWidget* ok = NavigationBarOkButton();
    ASSERT_TRUE(ok);
    QPoint edge = ok->mapTo(DeviceScreenWidget(), QPoint(0, ok->height() / 2));
    EXPECT_EQ(without.pixelColor(edge), navigationBlue);
    EXPECT_NE(with.pixelColor(edge), navigationBlue);
}

TEST_F(ScreenTest, TheInputPanelRisesAndFallsWithTheShellsState)
{
    QPoint inPanel(3, 320 - MENU_BAR_HEIGHT - SIP_PANEL_HEIGHT / 2);
    EXPECT_FALSE(InputPanelUp());
    EXPECT_EQ(GrabScreen().pixelColor(inPanel), QColor(Qt::white));

    SIPINFO up{sizeof(SIPINFO), SIPF_ON, {}, {}, 0, nullptr};
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &up, 0));
    EXPECT_TRUE(InputPanelUp());
    EXPECT_NE(GrabScreen().pixelColor(inPanel), QColor(Qt::white));
    EXPECT_EQ(GrabScreen().pixelColor(3, 320 - MENU_BAR_HEIGHT + 2), QColor(Qt::white))
        << "the panel ends where the menu bar begins";

    SIPINFO down{sizeof(SIPINFO), SIPF_OFF, {}, {}, 0, nullptr};
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &down, 0));
    EXPECT_FALSE(InputPanelUp());
    EXPECT_EQ(GrabScreen().pixelColor(inPanel), QColor(Qt::white));
}

TEST_F(ScreenTest, TheInputPanelStaysAboveTheMenuBarWhenTheScreenTurns)
{
    SIPINFO up{sizeof(SIPINFO), SIPF_ON, {}, {}, 0, nullptr};
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &up, 0));
    TurnScreen();
    QImage image = GrabScreen();
    EXPECT_NE(image.pixelColor(3, 240 - MENU_BAR_HEIGHT - 3), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(3, 240 - MENU_BAR_HEIGHT - SIP_PANEL_HEIGHT - 3), QColor(Qt::white));
}

TEST_F(ScreenTest, TheClockShowsTheDeviceTime)
{
    SYSTEMTIME set{2026, 12, 1, 7, 9, 30, 0, 0};
    ASSERT_TRUE(SetDeviceClock(set));
    EXPECT_EQ(NavigationBarClock(), u"09:30");
    SYSTEMTIME evening{2026, 12, 1, 7, 21, 5, 0, 0};
    ASSERT_TRUE(SetDeviceClock(evening));
    EXPECT_EQ(NavigationBarClock(), u"21:05");
}

TEST_F(ScreenTest, ClosingTheDesktopWindowClosesTheProgramAsExitDoes)
{
    HWND main = CreateWindowExW(0, u"Zentally", u"Zentally", WS_VISIBLE, 0, 0, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(main);
    Log().clear();
    EXPECT_FALSE(DeviceDesktopWindow()->close()) << "the program closes itself, in order";
    EXPECT_EQ(Count(main, WM_CLOSE, 0), 0) << "posted, not sent from within the toolkit's event";
    // A message posted behind it keeps the loop from waiting should the close not be there.
    PostMessageW(main, WM_USER + 7, 0, 0);
    PumpMessages();
    EXPECT_EQ(Count(main, WM_CLOSE, 0), 1);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_TRUE(DeviceDesktopWindow()->close()) << "with the program gone the window may go";
}

TEST_F(ScreenTest, WithoutAScreenTheDevicesReadingsAreEmpty)
{
    DestroyDeviceScreen();
    EXPECT_EQ(DeviceDesktopWindow(), nullptr);
    EXPECT_EQ(DeviceScreenWidget(), nullptr);
    EXPECT_EQ(ScreenWidget(), nullptr);
    EXPECT_TRUE(GrabScreen().isNull());
    EXPECT_EQ(NavigationBarOkButton(), nullptr);
    EXPECT_EQ(NavigationBarTitle(), u"");
    TurnScreen(); // nothing to turn
    EXPECT_EQ(ScreenSize().cx, 240);
}
} // namespace
