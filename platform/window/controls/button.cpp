// The button class ("Button"): push buttons (the default one with a heavier frame), check boxes,
// radio buttons and group boxes, with BM_* and BN_CLICKED. A tap (press and release inside),
// Space on the focused button and BM_CLICK click it; a disabled button does nothing. Automatic
// check boxes toggle and automatic radio buttons check themselves and clear the other automatic
// radio buttons of their group (from the control with WS_GROUP before them to the next one).
#include "platform/window/controls/controls_internal.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <vector>

namespace
{
enum class ButtonKind { Push, Check, Radio, Group };

ButtonKind KindOf(DWORD style)
{
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return ButtonKind::Check;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return ButtonKind::Radio;
    case BS_GROUPBOX: return ButtonKind::Group;
    default: return ButtonKind::Push;
    }
}

bool IsThreeState(DWORD style)
{
    DWORD type = style & BS_TYPEMASK;
    return type == BS_3STATE || type == BS_AUTO3STATE;
}

QColor Ink(const QWidget* widget)
{
    return widget->isEnabled() ? QColor(Qt::black) : ControlDisabledText;
}

// The automatic radio buttons that share the group of `button`, itself left out.
std::vector<HWND> GroupSiblings(HWND button)
{
    WindowObject* object = WindowFromHandle(button);
    std::vector<HWND> siblings = object ? ChildWindows(object->parent) : std::vector<HWND>();
    auto self = std::find(siblings.begin(), siblings.end(), button);
    if (self == siblings.end())
        return {};
    auto first = self;
    while (first != siblings.begin() && !(WindowFromHandle(*first)->style & WS_GROUP))
        --first;
    auto last = self + 1;
    while (last != siblings.end() && !(WindowFromHandle(*last)->style & WS_GROUP))
        ++last;
    std::vector<HWND> group;
    for (auto it = first; it != last; ++it) {
        WindowObject* other = WindowFromHandle(*it);
        if (*it != button && other->control == &ButtonControlClass &&
            (other->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            group.push_back(*it);
    }
    return group;
}

// The part every clickable button shares, whatever its widget.
class ButtonCore
{
  public:
    ButtonCore(HWND window, QAbstractButton* button) : life_(window, button), button_(button) {}
    virtual ~ButtonCore() = default;

    ControlLife& Life() { return life_; }
    QAbstractButton* Button() { return button_; }

    // What a click does to the check, by the button's type.
    void NextCheck()
    {
        DWORD type = life_.Style() & BS_TYPEMASK;
        auto* box = qobject_cast<QCheckBox*>(button_);
        if (type == BS_AUTOCHECKBOX) {
            button_->setChecked(!button_->isChecked());
        } else if (type == BS_AUTO3STATE && box) {
            // Unchecked, checked, indeterminate, and round again.
            Qt::CheckState now = box->checkState();
            box->setCheckState(now == Qt::Unchecked ? Qt::Checked
                               : now == Qt::Checked ? Qt::PartiallyChecked
                                                    : Qt::Unchecked);
        } else if (type == BS_AUTORADIOBUTTON) {
            button_->setChecked(true);
            for (HWND other : GroupSiblings(life_.Window()))
                SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }

    WORD FocusCode(bool in) const
    {
        if (!(life_.Style() & BS_NOTIFY))
            return 0;
        return in ? WORD(BN_SETFOCUS) : WORD(BN_KILLFOCUS);
    }

  private:
    ControlLife life_;
    QAbstractButton* button_;
};

template <class Base> class ButtonWidget : public Base, public ButtonCore
{
  public:
    ButtonWidget(HWND window, QWidget* parent) : Base(parent), ButtonCore(window, this)
    {
        QObject::connect(this, &QAbstractButton::clicked, this, [this] {
            ControlLife::Busy busy(Life());
            Life().Command(BN_CLICKED);
        });
    }

  protected:
    void nextCheckState() override { NextCheck(); }
    void checkStateSet() override {}

    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (IsDialogKey(key) && ForwardDialogKey(Life().Window(), key))
                return true;
        }
        return Base::event(event);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        ControlLife::Busy busy(Life());
        Base::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        ControlLife::Busy busy(Life());
        Base::mouseReleaseEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        // A button uses Space alone; the dialog moves between buttons and takes Enter.
        if (event->key() != Qt::Key_Space && event->key() != Qt::Key_Select) {
            if (!IsDialogKey(event) || !ForwardDialogKey(Life().Window(), event))
                event->ignore();
            return;
        }
        ControlLife::Busy busy(Life());
        Base::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        ControlLife::Busy busy(Life());
        Base::keyReleaseEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        ControlLife::Busy busy(Life());
        Base::focusInEvent(event);
        Life().FocusEvent(event, true, FocusCode(true), FocusCode(false));
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        ControlLife::Busy busy(Life());
        Base::focusOutEvent(event);
        Life().FocusEvent(event, false, FocusCode(true), FocusCode(false));
    }
    void paintEvent(QPaintEvent*) override;
};

void PaintFocus(QPainter& painter, const QRect& area)
{
    QPen dotted(Qt::black, 1, Qt::DotLine);
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

template <> void ButtonWidget<QPushButton>::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect area = rect();
    bool down = isDown();
    painter.fillRect(area, down ? QColor(Qt::black) : QColor(Qt::white));
    int frame = isDefault() ? 2 : 1;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Ink(this));
    // The frame as filled bands: exact pixels whatever the pen.
    painter.drawRect(0, 0, width(), frame);
    painter.drawRect(0, height() - frame, width(), frame);
    painter.drawRect(0, 0, frame, height());
    painter.drawRect(width() - frame, 0, frame, height());
    painter.setPen(down ? QColor(Qt::white) : Ink(this));
    painter.setFont(font());
    painter.drawText(area, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (hasFocus() && !down)
        PaintFocus(painter, area.adjusted(frame + 2, frame + 2, -frame - 2, -frame - 2));
}

// The box or circle of a check box or radio button, and its caption to the right.
const int markSize = 11;

QRect MarkRect(const QWidget* widget)
{
    return QRect(1, (widget->height() - markSize) / 2, markSize, markSize);
}

void PaintCaption(QPainter& painter, QAbstractButton* button)
{
    QRect text = button->rect().adjusted(markSize + 5, 0, 0, 0);
    painter.setPen(Ink(button));
    painter.setFont(button->font());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, button->text());
    if (button->hasFocus()) {
        QRect used = painter.boundingRect(
            text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, button->text());
        PaintFocus(painter, used.adjusted(-1, 0, 2, 1).intersected(button->rect()));
    }
}

template <> void ButtonWidget<QCheckBox>::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect box = MarkRect(this);
    painter.fillRect(box, isDown() ? QColor(192, 192, 192) : QColor(Qt::white));
    painter.setPen(Ink(this));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (checkState() == Qt::PartiallyChecked) {
        painter.fillRect(box.adjusted(3, 3, -3, -3), ControlDisabledText);
    } else if (checkState() == Qt::Checked) {
        // A tick two pixels thick.
        for (int dy = 0; dy < 2; ++dy) {
            QPoint points[] = {box.topLeft() + QPoint(2, 4 + dy), box.topLeft() + QPoint(4, 6 + dy),
                               box.topLeft() + QPoint(8, 2 + dy)};
            painter.drawPolyline(points, 3);
        }
    }
    PaintCaption(painter, this);
}

template <> void ButtonWidget<QRadioButton>::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QRectF circle = QRectF(MarkRect(this)).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(Ink(this));
    painter.setBrush(isDown() ? QColor(192, 192, 192) : QColor(Qt::white));
    painter.drawEllipse(circle);
    if (isChecked()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Ink(this));
        painter.drawEllipse(circle.center(), 2.5, 2.5);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    PaintCaption(painter, this);
}

// A frame with a caption; it takes neither taps nor the focus.
class GroupBoxWidget : public QGroupBox
{
  public:
    explicit GroupBoxWidget(QWidget* parent) : QGroupBox(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QFontMetrics metrics(font());
        int top = metrics.height() / 2;
        painter.setPen(QColor(128, 128, 128));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, top, width() - 1, height() - 1 - top);
        if (title().isEmpty())
            return;
        QRect caption =
            metrics.boundingRect(QRect(0, 0, width(), height()), Qt::TextShowMnemonic, title());
        caption = QRect(6, 0, caption.width() + 4, metrics.height());
        painter.fillRect(caption, Qt::white);
        painter.setPen(Ink(this));
        painter.setFont(font());
        painter.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic, title());
    }
};

ButtonCore* CoreOf(QWidget* widget)
{
    return dynamic_cast<ButtonCore*>(widget);
}

QWidget* CreateButton(HWND window, const CREATESTRUCTW& create, QWidget* parent)
{
    DWORD style = DWORD(create.style);
    QString text = QtText(create.lpszName);
    QWidget* widget = nullptr;
    switch (KindOf(style)) {
    case ButtonKind::Group: {
        auto* group = new GroupBoxWidget(parent);
        group->setTitle(text);
        widget = group;
        break;
    }
    case ButtonKind::Check: {
        auto* box = new ButtonWidget<QCheckBox>(window, parent);
        box->setTristate(IsThreeState(style));
        box->setText(text);
        widget = box;
        break;
    }
    case ButtonKind::Radio: {
        auto* radio = new ButtonWidget<QRadioButton>(window, parent);
        radio->setAutoExclusive(false); // the group is the dialog's, between WS_GROUP marks
        radio->setText(text);
        widget = radio;
        break;
    }
    case ButtonKind::Push: {
        auto* push = new ButtonWidget<QPushButton>(window, parent);
        push->setAutoDefault(false);
        push->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        push->setText(text);
        widget = push;
        break;
    }
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setFocusPolicy(Qt::StrongFocus);
    widget->setFont(SystemControlFont());
    SetControlPalette(widget);
    widget->setAttribute(Qt::WA_MacShowFocusRect, false);
    return widget;
}

LRESULT GetCheck(QAbstractButton* button)
{
    if (!button->isCheckable())
        return BST_UNCHECKED;
    if (auto* box = qobject_cast<QCheckBox*>(button)) {
        switch (box->checkState()) {
        case Qt::Checked: return BST_CHECKED;
        case Qt::PartiallyChecked: return BST_INDETERMINATE;
        default: return BST_UNCHECKED;
        }
    }
    return button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

// BST_INDETERMINATE greys a three-state box; other boxes take any state but 0 as checked.
void SetCheck(QAbstractButton* button, WPARAM state)
{
    if (!button->isCheckable())
        return;
    auto* box = qobject_cast<QCheckBox*>(button);
    if (box && box->isTristate() && state == BST_INDETERMINATE)
        box->setCheckState(Qt::PartiallyChecked);
    else
        button->setChecked(state != BST_UNCHECKED);
}

LRESULT ButtonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    QWidget* widget = WidgetOf(window);
    ButtonCore* core = CoreOf(widget);
    auto* group = dynamic_cast<GroupBoxWidget*>(widget);
    if (!core && !group)
        return DefWindowProcW(window, message, wParam, lParam);
    QAbstractButton* button = core ? core->Button() : nullptr;
    switch (message) {
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        QString text = QtText(reinterpret_cast<LPCWSTR>(lParam));
        if (button)
            button->setText(text);
        else
            group->setTitle(text);
        return result;
    }
    case WM_SETFONT: ApplyControlFont(window, widget, wParam, lParam); return 0;
    case WM_GETDLGCODE: {
        if (!button)
            return DLGC_STATIC;
        DWORD type = WindowFromHandle(window)->style & BS_TYPEMASK;
        if (KindOf(type) == ButtonKind::Radio)
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        if (KindOf(type) == ButtonKind::Push)
            return type == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
        return DLGC_BUTTON;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (core)
            core->Life().Focus(message == WM_SETFOCUS, core->FocusCode(true),
                               core->FocusCode(false));
        return 0;
    case WM_KEYDOWN:
        return KeyDownToDialog(window, wParam) ? 0
                                               : DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        if (core)
            core->Life().OnDestroy();
        return DefWindowProcW(window, message, wParam, lParam);
    default: break;
    }
    if (!button)
        return message >= BM_GETCHECK && message <= BM_CLICK
                   ? 0
                   : DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case BM_GETCHECK: return GetCheck(button);
    case BM_SETCHECK: SetCheck(button, wParam); return 0;
    case BM_GETSTATE: {
        LRESULT state = GetCheck(button);
        if (button->isDown())
            state |= BST_PUSHED;
        if (button->hasFocus() || GetFocus() == window)
            state |= BST_FOCUS;
        return state;
    }
    case BM_SETSTATE: button->setDown(wParam != 0); return 0;
    case BM_SETSTYLE: {
        // The button style is the style's low word; push and default push trade places.
        WindowObject* object = WindowFromHandle(window);
        object->style = (object->style & 0xFFFF0000u) | LOWORD(wParam);
        if (auto* push = qobject_cast<QPushButton*>(button))
            push->setDefault((object->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        if (LOWORD(lParam))
            button->update();
        return 0;
    }
    case BM_CLICK:
        if (IsWindowEnabled(window) && button->isEnabled()) {
            ControlLife::Busy busy(core->Life());
            button->click();
        }
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

const ControlClass ButtonControlClass = {WC_BUTTONW, CreateButton, ButtonMessage};
