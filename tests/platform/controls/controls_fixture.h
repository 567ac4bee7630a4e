// A program window on a 240 x 320 screen whose procedure records every WM_COMMAND its dialog
// controls send, with the controls made as its children, and a person's taps and keys on
// their widgets.
#pragma once

#include "platform/controls.h"
#include "platform/window/window_object.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace controls_test
{
struct Command {
    int id;
    WORD code;
    HWND from;
};

class ControlsTest : public testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    HWND Make(LPCWSTR className, LPCWSTR text, DWORD style, int id, int x = 10, int y = 10,
              int width = 100, int height = 22);

    // The notification codes control `id` sent, in order.
    std::vector<WORD> CodesOf(int id) const;
    std::u16string Text(HWND control) const;

    // Called for each WM_COMMAND after it is recorded.
    std::function<void(const Command&)> onCommand;
    std::vector<Command> commands;

    std::unique_ptr<QWidget> screen_;
    HWND parent_ = nullptr;
};

// What a person's finger and keys do on a widget.
void Press(QWidget* widget, const QPoint& at);
void Release(QWidget* widget, const QPoint& at);
void Tap(QWidget* widget, const QPoint& at);
void DoubleTap(QWidget* widget, const QPoint& at);
void Key(QWidget* widget, int key, const QString& text = QString(),
         Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Type(QWidget* widget, const QString& text);
// Lets deferred deletions and queued work run.
void Settle();
} // namespace controls_test
