// What the dialog tests share: a screen and an owner window, control classes of the tests' own
// that log what they are sent, templates registered as a module's resources, and dialog
// procedures given as functions.
#pragma once

#include "platform/aygshell.h"
#include "platform/controls.h"
#include "platform/dialog_template.h"
#include "platform/recorder.h"
#include "platform/resources.h"
#include "platform/window/window_object.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

struct Logged {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
// Everything the tests' controls and dialog procedures were sent, in order.
std::vector<Logged>& Log();
// The logged messages `message` of `window` (any window when null).
std::vector<Logged> LoggedOf(UINT message, HWND window = nullptr);

// A dialog procedure as a function; it is handed to the dialog as its creation parameter.
using DialogHandler = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;
// The procedure that calls the handler it was given with WM_INITDIALOG, logging every message.
INT_PTR TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The tests' templates, registered as dialogs of one module (test_templates.cpp):
// 201: a field (1001, tab stop), a hidden field (1002, tab stop), a field without tab stop
//      (1003), a disabled field (1004, tab stop), buttons Delete (1012, hidden), Cancel
//      (IDCANCEL), OK (1014, default) — all tab stops unless said.
// 202: one field (1101) and an OK button (IDOK), not the default.
// 203: a multiline edit wanting Enter (1201) and a single-line edit (1202).
// 204: a control of a class nobody registered.
// 205: a field only, no buttons.
HINSTANCE TestModule();
const void* TemplateOf(UINT id);
// The registered template of `id` cut to `bytes` (a template of its own in the module).
HINSTANCE TruncatedModule(UINT id, size_t bytes, const void** data);

// Runs dialog `id` the way the program does: found and loaded from the module's resources.
INT_PTR RunTestDialog(UINT id, HWND owner, DialogHandler* handler);

// The idle step of the modal loops; at most a few hundred steps, then the run is ended with a
// posted quit so that a broken test fails instead of hanging.
extern std::function<void()> onIdle;

class DialogTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;
    // Sends a key press to a window's widget as a person's key would come.
    static void Press(HWND window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    std::unique_ptr<QWidget> screen;
    HWND owner = nullptr;
};
