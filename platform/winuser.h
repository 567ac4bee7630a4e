// Message boxes, beeps and the cursor. Until the screen shows them, message boxes and beeps are
// recorded with what they were asked to show, and a message box takes its answer from a queue
// that tests fill (platform/recorder.h).
#pragma once

#include "platform/resource.h"
#include "platform/wintypes.h"

DECLARE_HANDLE(HCURSOR);

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_TYPEMASK 0x0000000FL

#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0L

#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_APPLMODAL 0x00000000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// Shows a modal message box and returns the button pressed, or 0 when it cannot be shown.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// Plays the sound of a kind of message: MB_OK, an MB_ICON value, or 0xFFFFFFFF for a plain beep.
BOOL MessageBeep(UINT type);

#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_WAIT MAKEINTRESOURCEW(32514)

// The system's cursors (a null instance and IDC_ARROW or IDC_WAIT); null for anything else.
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
// Shows `cursor` (null removes it, leaving the plain pointer) and returns the one it replaces.
HCURSOR SetCursor(HCURSOR cursor);
