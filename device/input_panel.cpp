#include "device/input_panel.h"

#include "platform/aygshell.h"

#include <QFont>
#include <QPainter>

namespace
{
const QColor panelColor(0xD6, 0xD3, 0xCE);
const QColor keyColor(0xFF, 0xFF, 0xFF);
const QColor edgeColor(0x84, 0x82, 0x84);
const QColor legendColor(0x00, 0x00, 0x00);

// The rows of a small handheld keyboard; a null legend is the space bar, which takes the rest of
// its row.
const char* const keyRows[][12] = {
    {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "="},
    {"q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "[", "]"},
    {"a", "s", "d", "f", "g", "h", "j", "k", "l", ";", "'", "\u2190"},
    {"\u21E7", "z", "x", "c", "v", "b", "n", "m", ",", ".", "/", "\u21B5"},
    {"Tab", "Ctl", "\u00E1\u00FC", nullptr},
};
constexpr int RowCount = 5;
constexpr int KeysPerRow = 12;
} // namespace

InputPanel::InputPanel(QWidget* screen) : QWidget(screen)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    hide();
    Place();
}

bool InputPanel::Follow()
{
    bool up = IsInputPanelUp() != FALSE;
    if (up != isVisibleTo(parentWidget()))
        setVisible(up);
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

void InputPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), panelColor);
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(9);
    painter.setFont(font);

    const int pad = 2;
    int rowHeight = (height() - pad) / RowCount;
    int keyWidth = (width() - pad) / KeysPerRow;
    int left = (width() - keyWidth * KeysPerRow) / 2;
    for (int row = 0; row < RowCount; ++row) {
        int y = pad + row * rowHeight;
        for (int key = 0; key < KeysPerRow; ++key) {
            const char* legend = keyRows[row][key];
            int span = 1;
            if (!legend) {
                legend = " "; // the space bar takes the rest of its row
                span = KeysPerRow - key;
            }
            QRect face(left + key * keyWidth, y, keyWidth * span - pad, rowHeight - pad);
            painter.fillRect(face, keyColor);
            painter.setPen(edgeColor);
            painter.drawRect(face.adjusted(0, 0, -1, -1));
            painter.setPen(legendColor);
            painter.drawText(face, Qt::AlignCenter, QString::fromUtf8(legend));
            if (span > 1)
                break;
        }
    }
}
