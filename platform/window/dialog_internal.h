// What the files of the dialog manager share: the state of each running dialog, the dialog
// class and its procedure. Not for the program, nor for the device.
#pragma once

#include "platform/gdi.h"
#include "platform/window/window_internal.h"

#include <vector>

// The class of dialog windows, by its usual internal name; the program never names it.
#define DIALOG_WINDOW_CLASS u"#32770"

struct DialogState {
    HWND window = nullptr;
    UINT templateId = 0; // the resource number of the template, 0 when it has none
    DLGPROC procedure = nullptr;
    // The dialog procedure hears the dialog's messages from WM_INITDIALOG on; the messages of
    // the window's own creation go to the default handling alone.
    bool ready = false;
    bool ended = false;   // EndDialog was called
    bool closing = false; // the modal loop is over and the window is being destroyed
    INT_PTR result = 0;
    UINT defaultId = 0; // set by DM_SETDEFID; 0 until then
    bool hasDefaultId = false;
    DWORD shellFlags = 0;      // SHIDIF_* given to SHInitDialog
    bool fullScreen = false;   // kept between the navigation bar and the menu bar
    bool overMenuBar = false;  // SHIDIF_FULLSCREENNOMENUBAR: down to the screen's bottom
    HWND savedFocus = nullptr; // the control that had the focus when the dialog was left
    HFONT font = nullptr;
    bool ownsFont = false;
    LOGFONTW fontDescription{};
    SIZE baseUnits{0, 0};
};

// The running dialogs, outermost first, closing ones included.
std::vector<DialogState*>& RunningDialogs();
// The state of a running dialog, or null for any other window.
DialogState* DialogStateOf(HWND window);

// The dialog class: its widget and its procedure (dialog_proc.cpp).
extern const ControlClass DialogWindowClass;
// Keeps a full-screen dialog between the bars of the screen as it is now; no move when it is
// there already.
void FitDialogToScreen(DialogState* dialog);
// Tells the device whether the navigation bar shows the ok button for this dialog.
void ShowDoneButton(const DialogState* dialog, bool show);
// The dialog's first visible, enabled WS_TABSTOP control, or null.
HWND FirstTabStop(HWND dialog);
// Watches the keys of dialogs' widgets (dialog_keys.cpp); installed once.
void InstallDialogKeys();
