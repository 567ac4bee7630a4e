// Message boxes on the screen: modal until a button is pressed, with the buttons of their kind,
// nested when a box is asked for while another is up, and recorded as they appear.
#include "platform/recorder.h"
#include "platform/window/window_object.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace
{
std::function<void()> onIdle;
void Idle()
{
    if (onIdle)
        onIdle();
}

std::vector<std::u16string> appeared;
void Appeared(const RecordedMessageBox& box)
{
    appeared.push_back(box.text);
}

void Press(int answer)
{
    auto* button = qobject_cast<QAbstractButton*>(MessageBoxButton(answer));
    ASSERT_NE(button, nullptr) << "no button for answer " << answer;
    button->click();
}

class ScreenMessageBoxes : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureApplication());
        screen = std::make_unique<QWidget>();
        screen->resize(240, 320);
        SetScreenSize(240, 320);
        SetScreenWidget(screen.get());
        SetIdleHandler(Idle);
        SetMessageBoxHook(Appeared);
        appeared.clear();
        ClearRecordings();
    }
    void TearDown() override
    {
        onIdle = nullptr;
        SetIdleHandler(nullptr);
        SetMessageBoxHook(nullptr);
        SetScreenWidget(nullptr);
        screen.reset();
    }
    std::unique_ptr<QWidget> screen;
};

TEST_F(ScreenMessageBoxes, ABoxWaitsForItsButtonAndReturnsItsAnswer)
{
    struct Case {
        UINT type;
        int press;
    };
    const Case cases[] = {
        {MB_OK, IDOK},           {MB_YESNO, IDYES},          {MB_YESNO, IDNO},
        {MB_OKCANCEL, IDCANCEL}, {MB_YESNOCANCEL, IDCANCEL}, {MB_RETRYCANCEL, IDRETRY},
    };
    for (const Case& c : cases) {
        onIdle = [&] { Press(c.press); };
        EXPECT_EQ(MessageBoxW(nullptr, u"Text", u"Caption", c.type), c.press);
        EXPECT_EQ(MessageBoxOnScreen(), nullptr) << "the box is gone once answered";
    }
}

TEST_F(ScreenMessageBoxes, ABoxHasOnlyTheButtonsOfItsKind)
{
    onIdle = [] {
        EXPECT_NE(MessageBoxButton(IDYES), nullptr);
        EXPECT_NE(MessageBoxButton(IDNO), nullptr);
        EXPECT_EQ(MessageBoxButton(IDOK), nullptr);
        EXPECT_EQ(MessageBoxButton(IDCANCEL), nullptr);
        Press(IDNO);
    };
    EXPECT_EQ(MessageBoxW(nullptr, u"Delete?", u"Zentally", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
}

TEST_F(ScreenMessageBoxes, TheBoxOnTheScreenTellsItsTextCaptionAndKind)
{
    onIdle = [] {
        const RecordedMessageBox* box = MessageBoxOnScreen();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text, u"The Zentally program cannot continue!");
        EXPECT_EQ(box->caption, u"Zentally");
        EXPECT_EQ(box->type, UINT(MB_OK | MB_ICONHAND));
        Press(IDOK);
    };
    MessageBoxW(nullptr, u"The Zentally program cannot continue!", u"Zentally",
                MB_OK | MB_ICONHAND);
    ASSERT_EQ(appeared.size(), 1u);
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
}

TEST_F(ScreenMessageBoxes, ABoxAskedForWhileAnotherIsUpGoesOverItAndEndsFirst)
{
    int innerAnswer = 0;
    int step = 0;
    onIdle = [&] {
        switch (step++) {
        case 0: innerAnswer = MessageBoxW(nullptr, u"Inner", u"Z", MB_YESNO); break;
        case 1:
            EXPECT_EQ(MessageBoxOnScreen()->text, u"Inner");
            Press(IDNO);
            break;
        default: EXPECT_EQ(MessageBoxOnScreen()->text, u"Outer"); Press(IDOK);
        }
    };
    EXPECT_EQ(MessageBoxW(nullptr, u"Outer", u"Z", MB_OK), IDOK);
    EXPECT_EQ(innerAnswer, IDNO);
    EXPECT_EQ(appeared, (std::vector<std::u16string>{u"Outer", u"Inner"}));
}

TEST_F(ScreenMessageBoxes, EscapeAnswersNoOrCancelAndEnterTheFocusedButton)
{
    auto key = [](int code) {
        QWidget* target = QApplication::focusWidget();
        if (!target)
            target = MessageBoxButton(IDOK) ? MessageBoxButton(IDOK)->parentWidget()
                                            : MessageBoxButton(IDYES)->parentWidget();
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    };
    onIdle = [&] { key(Qt::Key_Escape); };
    EXPECT_EQ(MessageBoxW(nullptr, u"Q", u"Z", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"Q", u"Z", MB_OKCANCEL), IDCANCEL);
    onIdle = [&] { key(Qt::Key_Return); };
    EXPECT_EQ(MessageBoxW(nullptr, u"Q", u"Z", MB_YESNO), IDYES);
}

TEST_F(ScreenMessageBoxes, WithoutAScreenBoxesAreRecordedAndAnsweredFromTheQueue)
{
    SetScreenWidget(nullptr);
    QueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"Q", u"Z", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, u"Q", u"Z", MB_YESNO), IDYES);
    EXPECT_TRUE(appeared.empty());
    EXPECT_EQ(RecordedMessageBoxes().size(), 2u);
}
} // namespace
