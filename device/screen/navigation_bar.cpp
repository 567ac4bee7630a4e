#include "device/screen/navigation_bar.h"

#include "platform/aygshell.h"
#include "platform/systime.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

namespace
{
const QColor barColor(0x08, 0x28, 0x84);
const QColor textColor(0xFF, 0xFF, 0xFF);

// Pixel sizes of 9 and 8 points at the screen's 96 pixels an inch.
constexpr int CaptionPixels = 12;
constexpr int ClockPixels = 11;
constexpr int Margin = 5;
constexpr int OkWidth = 30;
constexpr int OkHeight = 18;
// The clock is looked at often enough to turn the minute within a second of the clock's.
constexpr int ClockTickMs = 1000;

QFont SansFont(int pixels, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QString TimeNow()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return QStringLiteral("%1:%2")
        .arg(int(now.wHour), 2, 10, QLatin1Char('0'))
        .arg(int(now.wMinute), 2, 10, QLatin1Char('0'));
}
} // namespace

NavigationBar::NavigationBar(QWidget* screen)
    : QWidget(screen), ok(new QToolButton(this)), ticker(new QTimer(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    ok->setText(QStringLiteral("ok"));
    ok->setFont(SansFont(CaptionPixels, true));
    ok->setFocusPolicy(Qt::NoFocus); // a tap on it leaves the focus in the dialog's control
    ok->setStyleSheet(QStringLiteral("QToolButton { color: white; background: #082884;"
                                     " border: 1px solid white; border-radius: 3px; }"
                                     "QToolButton:pressed { background: #4060C0; }"));
    ok->hide();
    QObject::connect(ok, &QToolButton::clicked, this, [this] {
        if (okTapped)
            okTapped();
    });
    clock = TimeNow();
    QObject::connect(ticker, &QTimer::timeout, this, [this] { RefreshClock(); });
    ticker->start(ClockTickMs);
    Place();
}

void NavigationBar::SetCaption(const std::u16string& text)
{
    if (text == caption)
        return;
    caption = text;
    update();
}

void NavigationBar::ShowOk(bool show)
{
    ok->setVisible(show);
    update();
}

void NavigationBar::RefreshClock()
{
    QString now = TimeNow();
    if (now == clock)
        return;
    clock = now;
    update();
}

void NavigationBar::Place()
{
    if (QWidget* screen = parentWidget())
        setGeometry(0, 0, screen->width(), NAVIGATION_BAR_HEIGHT);
}

void NavigationBar::resizeEvent(QResizeEvent*)
{
    ok->setGeometry(width() - Margin - OkWidth, (height() - OkHeight) / 2, OkWidth, OkHeight);
}

QRect NavigationBar::ClockRect() const
{
    QFontMetrics metrics(SansFont(ClockPixels, false));
    int right = ok->isVisibleTo(this) ? ok->x() - Margin : width() - Margin;
    int w = metrics.horizontalAdvance(clock);
    return QRect(right - w, 0, w, height());
}

void NavigationBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), barColor);
    painter.setPen(textColor);

    QRect clockRect = ClockRect();
    painter.setFont(SansFont(ClockPixels, false));
    painter.drawText(clockRect, Qt::AlignVCenter | Qt::AlignLeft, clock);

    QFont captionFont = SansFont(CaptionPixels, true);
    painter.setFont(captionFont);
    QRect captionRect(Margin + 1, 0, std::max(0, clockRect.left() - 2 * Margin - 1), height());
    QString text = QString::fromUtf16(caption.data(), qsizetype(caption.size()));
    text = QFontMetrics(captionFont).elidedText(text, Qt::ElideRight, captionRect.width());
    painter.drawText(captionRect, Qt::AlignVCenter | Qt::AlignLeft, text);
}
