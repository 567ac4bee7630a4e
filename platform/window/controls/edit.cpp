// The edit class ("Edit"), single-line: typing, the limit, the selection and the line messages,
// with EN_UPDATE/EN_CHANGE after every change (typing, WM_SETTEXT, EM_REPLACESEL), EN_MAXTEXT
// when what a person puts in would pass the limit, and EN_SETFOCUS/EN_KILLFOCUS.
// The limit counts UTF-16 units, as the handheld does, and limits only what a person puts in
// (typing, an input method's text, pasting): a key whose character does not fit is refused, a
// paste or an input method's text keeps the whole characters that fit, and no character is ever
// cut in half. WM_SETTEXT and the window's first text are kept whole, however long. EM_REPLACESEL
// keeps the whole characters that fit too.
// ES_MULTILINE is taken as one line. The text always scrolls with the caret (ES_AUTOHSCROLL or
// not); ES_UPPERCASE and ES_LOWERCASE change what a person puts in, not what the program sets.
#include "platform/window/controls/controls_internal.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>

namespace
{
// The handheld's limits of a single-line edit: 30,000 characters until EM_LIMITTEXT, which
// takes 0 and anything larger as 0x7FFE.
const int defaultLimit = 30000;
const int largestLimit = 0x7FFE;

int Signed(WPARAM value)
{
    return int(intptr_t(value));
}

// The longest start of `text` within `room` UTF-16 units that does not end in half a surrogate
// pair.
QString WholeCharacters(const QString& text, qsizetype room)
{
    if (room <= 0)
        return QString();
    if (text.size() <= room)
        return text;
    qsizetype n = room;
    if (text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate())
        --n;
    return text.left(n);
}

// Whether Qt's line edit takes the key's text as typed (QInputControl::isAcceptableInput): not
// only printable characters but also formatting ones (even with Ctrl), private-use ones, a
// surrogate pair, and keys with Alt or AltGr.
bool TypesText(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    QChar c = text.at(0);
    if (c.category() == QChar::Other_Format)
        return true;
    Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    return c.isPrint() || c.category() == QChar::Other_PrivateUse ||
           (c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

class EditWidget : public QLineEdit
{
  public:
    EditWidget(HWND window, QWidget* parent) : QLineEdit(parent), life_(window, this)
    {
        setMaxLength(defaultLimit);
        setContextMenuPolicy(Qt::NoContextMenu);
        setAcceptDrops(false);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_MacShowFocusRect, false);
        QObject::connect(this, &QLineEdit::textChanged, this,
                         [this](const QString& now) { KeepWindowText(life_.Window(), now); });
        QObject::connect(this, &QLineEdit::textEdited, this, [this] {
            if (programmatic_)
                return;
            ControlLife::Busy busy(life_);
            FitMaxLength();
            Changed();
        });
    }

    ControlLife& Life() { return life_; }
    int Limit() const { return limit_; }

    void SetLimit(int limit)
    {
        limit_ = limit;
        FitMaxLength();
    }

    // WM_SETTEXT: no limit applies to the program's own text.
    void SetProgramText(const QString& text)
    {
        ControlLife::Busy busy(life_);
        programmatic_ = true;
        if (maxLength() < text.size())
            setMaxLength(int(text.size()));
        setText(text);
        setCursorPosition(0);
        programmatic_ = false;
        FitMaxLength();
        Changed();
    }

    // EM_REPLACESEL: the text takes the selection's place, as far as the limit lets it.
    void ReplaceSelection(const QString& replacement)
    {
        ControlLife::Busy busy(life_);
        QString before = text();
        QString fitting = WholeCharacters(replacement, Room());
        programmatic_ = true;
        insert(fitting);
        programmatic_ = false;
        if (text() != before && !Changed())
            return;
        if (fitting.size() < replacement.size())
            life_.Command(EN_MAXTEXT);
    }

  protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (IsDialogKey(key) && ForwardDialogKey(life_.Window(), key))
                return true;
        }
        return QLineEdit::event(event);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (IsDialogKey(event)) {
            if (!ForwardDialogKey(life_.Window(), event))
                event->ignore();
            return;
        }
        ControlLife::Busy busy(life_);
        if (event->matches(QKeySequence::Paste)) {
            event->accept();
            if (isReadOnly())
                return;
            // Ctrl+Shift+Insert pastes the selection where there is one, as in Qt.
            bool selection = event->key() == Qt::Key_Insert &&
                             event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) &&
                             QGuiApplication::clipboard()->supportsSelection();
            Paste(selection ? QClipboard::Selection : QClipboard::Clipboard);
            return;
        }
        if (isReadOnly() || !TypesText(event)) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        QString typed = event->text();
        if (!Shape(&typed)) {
            event->accept();
            return;
        }
        // A key's text is taken whole or refused.
        if (typed.size() > Room()) {
            event->accept();
            life_.Command(EN_MAXTEXT);
            return;
        }
        if (typed == event->text()) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        QKeyEvent converted(event->type(), event->key(), event->modifiers(), typed,
                            event->isAutoRepeat(), ushort(event->count()));
        QLineEdit::keyPressEvent(&converted);
        event->setAccepted(converted.isAccepted());
    }

    // An input method's text keeps the whole characters that fit in place of the selection and
    // of the range the event replaces (the text it shows while composing is not yet the edit's).
    void inputMethodEvent(QInputMethodEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QString committed = event->commitString();
        if (committed.isEmpty() || isReadOnly()) {
            QLineEdit::inputMethodEvent(event);
            return;
        }
        qsizetype length = text().size();
        qsizetype cursor = cursorPosition();
        if (hasSelectedText()) {
            length -= selectedText().size();
            cursor = selectionStart();
        }
        qsizetype from = std::max<qsizetype>(0, cursor + event->replacementStart());
        if (event->replacementLength() > 0 && from + event->replacementLength() <= length)
            length -= event->replacementLength();
        QString typed = committed;
        bool shaped = Shape(&typed);
        QString fitting = shaped ? WholeCharacters(typed, limit_ - length) : QString();
        if (fitting == committed) {
            QLineEdit::inputMethodEvent(event);
            return;
        }
        QInputMethodEvent fitted(event->preeditString(), event->attributes());
        fitted.setCommitString(fitting, event->replacementStart(), event->replacementLength());
        QLineEdit::inputMethodEvent(&fitted);
        event->setAccepted(fitted.isAccepted());
        if (shaped && fitting.size() < typed.size() && !life_.Destroyed())
            life_.Command(EN_MAXTEXT);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QLineEdit::mousePressEvent(event);
    }
    // Where the platform has a selection clipboard, Qt pastes it on the middle button.
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        ControlLife::Busy busy(life_);
        if (event->button() == Qt::MiddleButton && !isReadOnly() &&
            QGuiApplication::clipboard()->supportsSelection()) {
            deselect();
            Paste(QClipboard::Selection);
            event->accept();
            return;
        }
        QLineEdit::mouseReleaseEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QLineEdit::focusInEvent(event);
        life_.FocusEvent(event, true, EN_SETFOCUS, EN_KILLFOCUS);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        ControlLife::Busy busy(life_);
        QLineEdit::focusOutEvent(event);
        life_.FocusEvent(event, false, EN_SETFOCUS, EN_KILLFOCUS);
    }

  private:
    // EN_UPDATE then EN_CHANGE; false once the control was destroyed meanwhile.
    bool Changed() { return life_.Command(EN_UPDATE) && life_.Command(EN_CHANGE); }

    // The units left for what takes the selection's place; none (or less) when the program's
    // text is already longer than the limit.
    qsizetype Room() const { return limit_ - (text().size() - selectedText().size()); }

    // What a person puts in as the style makes it; false when ES_NUMBER refuses it.
    bool Shape(QString* typed) const
    {
        DWORD style = life_.Style();
        if ((style & ES_NUMBER) &&
            std::any_of(typed->begin(), typed->end(), [](QChar c) { return !c.isDigit(); }))
            return false;
        if (style & ES_UPPERCASE)
            *typed = typed->toUpper();
        else if (style & ES_LOWERCASE)
            *typed = typed->toLower();
        return true;
    }

    // A person's paste: the whole characters that fit take the selection's place (the selection
    // goes even when none fit, as with EM_REPLACESEL), then EN_MAXTEXT when some were left out.
    // The change notifies through textEdited.
    void Paste(QClipboard::Mode mode)
    {
        QString pasted = QGuiApplication::clipboard()->text(mode);
        if (pasted.isEmpty() && !hasSelectedText())
            return;
        DWORD style = life_.Style();
        if (style & ES_UPPERCASE)
            pasted = pasted.toUpper();
        else if (style & ES_LOWERCASE)
            pasted = pasted.toLower();
        QString fitting = WholeCharacters(pasted, Room());
        if (!fitting.isEmpty() || hasSelectedText())
            insert(fitting);
        if (fitting.size() < pasted.size() && !life_.Destroyed())
            life_.Command(EN_MAXTEXT);
    }

    // Qt's own length limit follows the control's (it shows as the edit's limit), or the text's
    // length when the program set a longer text, so that it never cuts the program's text. It
    // limits nothing itself: whatever a person puts in is fitted to the control's limit first,
    // by whole characters, where Qt would cut a surrogate pair. Qt puts the caret at the end
    // when its limit changes; it is put back.
    void FitMaxLength()
    {
        int wanted = std::max(limit_, int(text().size()));
        if (maxLength() == wanted)
            return;
        int cursor = cursorPosition();
        int start = selectionStart();
        int length = int(selectedText().size());
        bool backwards = start >= 0 && cursor == start;
        setMaxLength(wanted);
        if (start >= 0)
            setSelection(backwards ? start + length : start, backwards ? -length : length);
        else
            setCursorPosition(cursor);
    }

    ControlLife life_;
    int limit_ = defaultLimit;
    bool programmatic_ = false;
};

EditWidget* EditOf(HWND window)
{
    return dynamic_cast<EditWidget*>(WidgetOf(window));
}

void SetEditLook(EditWidget* edit, DWORD style)
{
    QString frame =
        (style & WS_BORDER) ? QStringLiteral("1px solid black") : QStringLiteral("none");
    edit->setStyleSheet(
        QStringLiteral("QLineEdit { background: white; color: black; border: %1;"
                       " padding: 0px 1px; selection-background-color: rgb(0, 0, 160);"
                       " selection-color: white; }"
                       " QLineEdit:disabled { color: rgb(128, 128, 128);"
                       " border-color: rgb(128, 128, 128); }")
            .arg(frame));
}

QWidget* CreateEdit(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    DWORD style = DWORD(create.style);
    auto* edit = new EditWidget(window, parent);
    edit->setFont(SystemControlFont());
    SetControlPalette(edit);
    SetEditLook(edit, style);
    if (style & ES_PASSWORD)
        edit->setEchoMode(QLineEdit::Password);
    edit->setReadOnly((style & ES_READONLY) != 0);
    DWORD across = style & (ES_CENTER | ES_RIGHT);
    edit->setAlignment((across == ES_CENTER  ? Qt::AlignHCenter
                        : across == ES_RIGHT ? Qt::AlignRight
                                             : Qt::AlignLeft) |
                       Qt::AlignVCenter);
    QString text = QtText(create.lpszName);
    if (text.size() > edit->maxLength())
        edit->setMaxLength(int(text.size()));
    edit->setText(text);
    edit->setCursorPosition(0);
    return edit;
}

LRESULT GetSelection(EditWidget& edit, WPARAM wParam, LPARAM lParam)
{
    int start = edit.selectionStart();
    int end;
    if (start < 0) {
        start = end = edit.cursorPosition();
    } else {
        end = start + int(edit.selectedText().size());
    }
    if (auto* first = reinterpret_cast<DWORD*>(wParam))
        *first = DWORD(start);
    if (auto* last = reinterpret_cast<DWORD*>(lParam))
        *last = DWORD(end);
    if (start > 0xFFFF || end > 0xFFFF)
        return -1;
    return LRESULT(MAKELPARAM(start, end));
}

// EM_SETSEL: 0, -1 selects everything; a start of -1 takes the selection away; the caret goes
// to the end given, which may come before the start.
void SetSelection(EditWidget& edit, WPARAM wParam, LPARAM lParam)
{
    int length = int(edit.text().size());
    int start = Signed(wParam);
    int end = int(lParam);
    if (start < 0) {
        edit.deselect();
        return;
    }
    start = std::min(start, length);
    if (end < 0 || end > length)
        end = length;
    edit.setSelection(start, end - start);
}

// EM_GETLINE: the buffer's first word holds its size; the line is copied without terminator.
LRESULT GetLine(EditWidget& edit, LPARAM lParam)
{
    auto* buffer = reinterpret_cast<LPWSTR>(lParam);
    if (!buffer)
        return 0;
    QString text = edit.text();
    int n = std::min(int(WORD(buffer[0])), int(text.size()));
    std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, buffer);
    return n;
}

// EM_LINELENGTH of the one line: its length for an index within the text (or just past it),
// 0 beyond, and for -1 the characters of the line that are not selected.
LRESULT LineLength(EditWidget& edit, WPARAM wParam)
{
    int length = int(edit.text().size());
    int index = Signed(wParam);
    if (index < 0)
        return length - int(edit.selectedText().size());
    return index > length ? 0 : length;
}

LRESULT EditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditWidget* edit = EditOf(window);
    if (!edit)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_SETTEXT:
        DefWindowProcW(window, message, wParam, lParam);
        edit->SetProgramText(QtText(reinterpret_cast<LPCWSTR>(lParam)));
        return TRUE;
    case WM_GETTEXT:
        return CopyTextOut(edit->text(), reinterpret_cast<LPWSTR>(lParam), Signed(wParam));
    case WM_GETTEXTLENGTH: return edit->text().size();
    case WM_SETFONT: ApplyControlFont(window, edit, wParam, lParam); return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETFOCUS: edit->Life().Focus(true, EN_SETFOCUS, EN_KILLFOCUS); return 0;
    case WM_KILLFOCUS: edit->Life().Focus(false, EN_SETFOCUS, EN_KILLFOCUS); return 0;
    case EM_LIMITTEXT: {
        WPARAM limit = wParam == 0 || wParam > WPARAM(largestLimit) ? WPARAM(largestLimit) : wParam;
        edit->SetLimit(int(limit));
        return 0;
    }
    case EM_GETLIMITTEXT: return edit->Limit();
    case EM_GETSEL: return GetSelection(*edit, wParam, lParam);
    case EM_SETSEL: SetSelection(*edit, wParam, lParam); return 0;
    case EM_REPLACESEL: edit->ReplaceSelection(QtText(reinterpret_cast<LPCWSTR>(lParam))); return 0;
    case EM_LINELENGTH: return LineLength(*edit, wParam);
    case EM_GETLINE: return GetLine(*edit, lParam);
    case EM_GETLINECOUNT: return 1;
    case EM_LINEINDEX: return Signed(wParam) <= 0 ? 0 : -1;
    case EM_SETREADONLY: {
        WindowObject* object = WindowFromHandle(window);
        if (wParam)
            object->style |= ES_READONLY;
        else
            object->style &= ~DWORD(ES_READONLY);
        edit->setReadOnly(wParam != 0);
        return TRUE;
    }
    case WM_KEYDOWN:
        return KeyDownToDialog(window, wParam) ? 0
                                               : DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        edit->Life().OnDestroy();
        return DefWindowProcW(window, message, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

const ControlClass EditControlClass = {WC_EDITW, CreateEdit, EditMessage};
