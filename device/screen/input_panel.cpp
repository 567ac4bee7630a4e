#include "device/screen/input_panel.h"

#include "platform/aygshell.h"
#include "platform/window/window_object.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <array>

namespace
{
const QColor panelColor(0x84, 0x82, 0x84);
const QColor keyColor(0xD6, 0xD3, 0xCE);
const QColor downColor(0x08, 0x24, 0x6B);
const QColor edgeColor(0x42, 0x41, 0x42);
const QColor legendColor(0x00, 0x00, 0x00);

enum class Kind { Character, Shift, Special };

// One key: what it shows and types plain and shifted, its Qt key for the special ones, and how
// many of the row's twelve units it is wide.
struct KeyDef {
    const char* legend;
    const char* shifted;
    Kind kind;
    int qtKey; // for Special keys; a character's key follows from its text
    const char* name;
    int units;
};

constexpr int RowCount = 5;
constexpr int UnitsPerRow = 12;

#define CHAR(plain, upper)                                                                         \
    {                                                                                              \
        plain, upper, Kind::Character, 0, plain, 1                                                 \
    }
const KeyDef keys[] = {
    CHAR("1", "!"),
    CHAR("2", "@"),
    CHAR("3", "#"),
    CHAR("4", "$"),
    CHAR("5", "%"),
    CHAR("6", "^"),
    CHAR("7", "&"),
    CHAR("8", "*"),
    CHAR("9", "("),
    CHAR("0", ")"),
    CHAR("-", "_"),
    CHAR("=", "+"),
    CHAR("q", "Q"),
    CHAR("w", "W"),
    CHAR("e", "E"),
    CHAR("r", "R"),
    CHAR("t", "T"),
    CHAR("y", "Y"),
    CHAR("u", "U"),
    CHAR("i", "I"),
    CHAR("o", "O"),
    CHAR("p", "P"),
    CHAR("[", "{"),
    CHAR("]", "}"),
    CHAR("a", "A"),
    CHAR("s", "S"),
    CHAR("d", "D"),
    CHAR("f", "F"),
    CHAR("g", "G"),
    CHAR("h", "H"),
    CHAR("j", "J"),
    CHAR("k", "K"),
    CHAR("l", "L"),
    CHAR(";", ":"),
    CHAR("'", "\""),
    {"\u2190", "\u2190", Kind::Special, Qt::Key_Backspace, "Backspace", 1},
    {"\u21E7", "\u21E7", Kind::Shift, 0, "Shift", 1},
    CHAR("z", "Z"),
    CHAR("x", "X"),
    CHAR("c", "C"),
    CHAR("v", "V"),
    CHAR("b", "B"),
    CHAR("n", "N"),
    CHAR("m", "M"),
    CHAR(",", "<"),
    CHAR(".", ">"),
    CHAR("/", "?"),
    {"\u21B5", "\u21B5", Kind::Special, Qt::Key_Return, "Enter", 1},
    {"Tab", "Tab", Kind::Special, Qt::Key_Tab, "Tab", 2},
    {" ", " ", Kind::Character, 0, "Space", 8},
    {"<", "<", Kind::Special, Qt::Key_Left, "Left", 1},
    {">", ">", Kind::Special, Qt::Key_Right, "Right", 1},
};
#undef CHAR
constexpr int KeyCount = int(sizeof(keys) / sizeof(keys[0]));

// The row and the first unit of each key, laid out row by row.
struct KeySpot {
    int row;
    int unit;
};

std::array<KeySpot, KeyCount> Layout()
{
    std::array<KeySpot, KeyCount> places{};
    int row = 0, unit = 0;
    for (int k = 0; k < KeyCount; ++k) {
        if (unit + keys[k].units > UnitsPerRow) {
            ++row;
            unit = 0;
        }
        places[size_t(k)] = KeySpot{row, unit};
        unit += keys[k].units;
    }
    return places;
}

const std::array<KeySpot, KeyCount>& Places()
{
    static const std::array<KeySpot, KeyCount> places = Layout();
    return places;
}

QString TextOf(const KeyDef& key, bool shifted)
{
    switch (key.qtKey) {
    case Qt::Key_Return: return QStringLiteral("\r");
    case Qt::Key_Tab: return QStringLiteral("\t");
    case Qt::Key_Backspace: return QStringLiteral("\b");
    default: break;
    }
    if (key.kind != Kind::Character)
        return QString();
    return QString::fromUtf8(shifted ? key.shifted : key.legend);
}

// The key a character types with: the Qt keys of printable ASCII are their upper-case codes.
int QtKeyOf(QChar c)
{
    return c.toUpper().unicode();
}

// Where typing goes: the widget with the focus, else the widget of the window the platform
// says has it (hidden and offscreen widgets do not take the toolkit's focus).
QWidget* FocusTarget()
{
    if (QWidget* focused = QApplication::focusWidget())
        return focused;
    QWidget* widget = WidgetOf(GetFocus());
    if (widget && widget->focusProxy())
        return widget->focusProxy();
    return widget;
}
} // namespace

InputPanel::InputPanel(QWidget* screen) : QWidget(screen)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Taps on the keys leave the focus where it is, in the control being typed into.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    hide();
    Place();
}

bool InputPanel::Follow()
{
    bool up = IsInputPanelUp() != FALSE;
    if (up != isVisibleTo(parentWidget()))
        setVisible(up);
    if (!up && (shifted_ || pressed_ >= 0)) {
        shifted_ = false;
        pressed_ = -1;
    }
    return up;
}

void InputPanel::Place()
{
    QWidget* screen = parentWidget();
    if (!screen)
        return;
    int top = screen->height() - MENU_BAR_HEIGHT - SIP_PANEL_HEIGHT;
    setGeometry(0, top, screen->width(), SIP_PANEL_HEIGHT);
}

QRect InputPanel::KeyRect(int key) const
{
    if (key < 0 || key >= KeyCount)
        return QRect();
    const int pad = 1;
    int rowHeight = (height() - pad) / RowCount;
    int unitWidth = (width() - pad) / UnitsPerRow;
    int left = (width() - unitWidth * UnitsPerRow) / 2;
    const KeySpot& at = Places()[size_t(key)];
    return QRect(left + at.unit * unitWidth + pad, pad + at.row * rowHeight,
                 unitWidth * keys[key].units - pad, rowHeight - pad);
}

int InputPanel::KeyAt(const QPoint& point) const
{
    for (int k = 0; k < KeyCount; ++k) {
        if (KeyRect(k).contains(point))
            return k;
    }
    return -1;
}

int InputPanel::KeyNamed(const QString& legend) const
{
    for (int k = 0; k < KeyCount; ++k) {
        if (legend == QString::fromUtf8(keys[k].name))
            return k;
    }
    return -1;
}

void InputPanel::Strike(int key)
{
    const KeyDef& def = keys[key];
    if (def.kind == Kind::Shift) {
        shifted_ = !shifted_;
        update();
        return;
    }
    bool shifted = shifted_;
    if (shifted_) {
        shifted_ = false; // Shift holds for one key
        update();
    }
    QString text = TextOf(def, shifted);
    int qtKey = def.kind == Kind::Special ? def.qtKey : QtKeyOf(text.at(0));
    Qt::KeyboardModifiers modifiers = shifted ? Qt::ShiftModifier : Qt::NoModifier;
    QPointer<QWidget> target(FocusTarget());
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
    QApplication::sendEvent(target, &press);
    if (!target)
        return; // the key closed the window it was typed into
    QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, text);
    QApplication::sendEvent(target, &release);
}

void InputPanel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = KeyAt(event->position().toPoint());
    update();
    if (pressed_ >= 0)
        Strike(pressed_);
}

void InputPanel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    pressed_ = -1;
    update();
}

void InputPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Two quick taps on a key type it twice.
    mousePressEvent(event);
}

void InputPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), panelColor);
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11); // 8 points at 96 pixels an inch
    painter.setFont(font);
    for (int k = 0; k < KeyCount; ++k) {
        QRect face = KeyRect(k);
        bool down = k == pressed_ || (keys[k].kind == Kind::Shift && shifted_);
        painter.fillRect(face, down ? downColor : keyColor);
        painter.setPen(edgeColor);
        painter.drawRect(face.adjusted(0, 0, -1, -1));
        painter.setPen(down ? QColor(Qt::white) : legendColor);
        painter.drawText(face, Qt::AlignCenter,
                         QString::fromUtf8(shifted_ ? keys[k].shifted : keys[k].legend));
    }
}
