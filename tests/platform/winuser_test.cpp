#include "platform/aygshell.h"
#include "platform/recorder.h"
#include "platform/window/window_object.h"

#include <gtest/gtest.h>

TEST(MessageBoxes, AreRecordedAndAnsweredFromTheQueue)
{
    ClearRecordings();
    QueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"Delete?", u"Zentally", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"Again?", u"Zentally", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxW(nullptr, u"Failed", u"Zentally", MB_OK | MB_ICONSTOP), IDOK);
    auto& boxes = RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, u"Delete?");
    EXPECT_EQ(boxes[0].caption, u"Zentally");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, UINT(MB_ICONEXCLAMATION));
    EXPECT_TRUE(boxes[0].ownerless);
    EXPECT_EQ(boxes[2].type & MB_TYPEMASK, UINT(MB_OK));
    ClearRecordings();
}

TEST(MessageBoxes, RememberWhetherTheWaitCursorWasShowing)
{
    ClearRecordings();
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(wait, LoadCursorW(nullptr, IDC_WAIT));
    SetCursor(wait);
    EXPECT_TRUE(WaitCursorShown());
    MessageBoxW(nullptr, u"a", u"b", MB_OK);
    EXPECT_EQ(SetCursor(nullptr), wait);
    MessageBoxW(nullptr, u"a", u"b", MB_OK);
    EXPECT_TRUE(RecordedMessageBoxes()[0].waitCursor);
    EXPECT_FALSE(RecordedMessageBoxes()[1].waitCursor);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
    ClearRecordings();
}

TEST(Beeps, AreRecordedWithTheirKind)
{
    ClearRecordings();
    MessageBeep(MB_OK);
    MessageBeep(MB_ICONEXCLAMATION);
    ASSERT_EQ(RecordedBeeps().size(), 2u);
    EXPECT_EQ(RecordedBeeps()[1], UINT(MB_ICONEXCLAMATION));
    ClearRecordings();
}

TEST(InputPanel, RemembersWhetherItIsUp)
{
    SIPINFO sip = {};
    sip.cbSize = sizeof(sip);
    sip.fdwFlags = SIPF_ON;
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &sip, 0));
    EXPECT_TRUE(IsInputPanelUp());
    SIPINFO state = {};
    state.cbSize = sizeof(state);
    ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &state, 0));
    EXPECT_TRUE(state.fdwFlags & SIPF_ON);
    EXPECT_EQ(state.rcSipRect.bottom - state.rcSipRect.top, 80);
    EXPECT_EQ(state.rcSipRect.bottom, 320 - 26) << "docked on the menu bar";
    EXPECT_EQ(state.rcVisibleDesktop.bottom, state.rcSipRect.top);

    // Turned, the panel docks on the menu bar of the new shape, across its width.
    SetScreenSize(320, 240);
    ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &state, 0));
    EXPECT_EQ(state.rcSipRect.bottom, 240 - 26);
    EXPECT_EQ(state.rcSipRect.right, 320);
    SetScreenSize(240, 320);

    sip.fdwFlags = SIPF_OFF;
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &sip, 0));
    EXPECT_FALSE(IsInputPanelUp());
}

TEST(InputPanel, ARecordOfTheWrongSizeIsRefusedAndChangesNothing)
{
    SIPINFO sip = {};
    sip.cbSize = sizeof(sip) - 4;
    sip.fdwFlags = SIPF_ON;
    EXPECT_FALSE(SHSipInfo(SPI_SETSIPINFO, 0, &sip, 0));
    EXPECT_FALSE(IsInputPanelUp());
    EXPECT_FALSE(SHSipInfo(SPI_SETSIPINFO, 0, nullptr, 0));
}
