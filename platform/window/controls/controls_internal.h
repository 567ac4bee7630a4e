// What the dialog controls share: the life of a control's widget (notifications that may
// destroy it), focus notifications, fonts, texts and the look. The list controls' entries are in
// list_entries.h.
#pragma once

#include "platform/controls.h"
#include "platform/window/window_internal.h"

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;
class QKeyEvent;
class QFocusEvent;

// The classes, one a file.
extern const ControlClass ButtonControlClass;
extern const ControlClass StaticControlClass;
extern const ControlClass EditControlClass;
extern const ControlClass ComboBoxControlClass;
extern const ControlClass ListBoxControlClass;

// A control's side of its widget's life. A notification reaches the program's procedure while
// the widget's own handler is on the stack; when the program destroys the control there, the
// widget must outlive that handler. Every handler that notifies runs inside a Busy scope: a
// control destroyed meanwhile leaves the window tree at once and its widget is deleted when the
// outermost scope ends. Command and the focus notifications send nothing once it is destroyed.
class ControlLife
{
  public:
    ControlLife(HWND window, QWidget* widget) : window_(window), widget_(widget) {}

    HWND Window() const { return window_; }
    bool Destroyed() const { return destroyed_; }
    // The window's style as it is now (BM_SETSTYLE and SetWindowLong change it).
    DWORD Style() const;
    // WM_DESTROY.
    void OnDestroy();
    // WM_COMMAND with `code` to the parent; false when the control is (now) destroyed.
    bool Command(WORD code);
    // The control took or lost the focus, by SetFocus or by a person's tap: sends `setCode` or
    // `killCode` once a change (a code of 0 sends nothing). False once destroyed.
    bool Focus(bool focused, WORD setCode, WORD killCode);
    // Qt's focus events, less those of pop-ups (a drop-down's list keeps the focus in its box).
    bool FocusEvent(const QFocusEvent* event, bool focused, WORD setCode, WORD killCode);

    class Busy
    {
      public:
        explicit Busy(ControlLife& life);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

      private:
        ControlLife& life_;
    };

  private:
    HWND window_;
    QWidget* widget_;
    int busy_ = 0;
    bool destroyed_ = false;
    bool detached_ = false;
    bool focused_ = false;
};

// Enter, Escape and Tab that a control does not use go to its dialog. True when the dialog
// took the key; false leaves it to Qt, which hands an ignored key to the parent widget.
bool ForwardDialogKey(HWND control, QKeyEvent* event);
// WM_KEYDOWN sent to a control: Enter, Escape and Tab go to its dialog (DialogKey). True when
// the dialog took the key.
bool KeyDownToDialog(HWND control, WPARAM key);
// True for the keys a control leaves to its dialog.
bool IsDialogKey(const QKeyEvent* event);

// The system font, an 8-point sans serif (11 pixels at 96 dpi), and the font of an HFONT
// (null or unknown: the system font).
QFont SystemControlFont();
QFont ControlFont(HFONT font);
// WM_SETFONT: the font given to the widget (and its pop-up, where it has one); the handle is
// kept for WM_GETFONT.
void ApplyControlFont(HWND window, QWidget* widget, WPARAM wParam, LPARAM lParam);

// The look: white ground, black text and frames, grey when disabled, blue selection.
extern const QColor ControlSelection;
extern const QColor ControlDisabledText;
void SetControlPalette(QWidget* widget);

// Texts.
QString QtText(LPCWSTR text);
std::u16string WideText(const QString& text);
// Copies `text` with its terminator into `buffer` of `capacity` characters, truncating; the
// count copied without the terminator, 0 for no buffer.
int CopyTextOut(const QString& text, LPWSTR buffer, int capacity);
// Keeps the window's own text (WM_GETTEXT of the window core) as the widget shows it.
void KeepWindowText(HWND window, const QString& text);
// A caption with '&' prefixes as the widget shows it: "&&" is one '&'; "&x" underlines x (Qt's
// mnemonic mark is the same, so this only turns it into rich text for a label).
QString PrefixedRichText(const QString& text);

// The height of the rows of a list box or of a drop-down's list in this font, a delegate that
// gives the rows that height, and a style with the handheld's narrow scroll bars whose
// drop-down lists open below their box.
int ListRowHeight(const QFont& font);
class QAbstractItemDelegate;
class QObject;
class QStyle;
QAbstractItemDelegate* MakeRowDelegate(QObject* parent);
QStyle* ControlStyle();
