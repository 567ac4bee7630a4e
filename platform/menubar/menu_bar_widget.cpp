// The menu bar's widget: layout, painting, a person's taps and the drop-down menus.
#include "platform/menubar/menu_bar_widget.h"

#include "platform/aygshell.h"
#include "platform/window/window_object.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace
{
// The handheld's bar: a light face, a darker line along the top, black text in the 8-point
// system font, dimmed text and pictures for what cannot be tapped.
const QColor faceColor(0xEF, 0xEF, 0xEF);
const QColor borderColor(0x84, 0x84, 0x84);
const QColor sunkenColor(0xC6, 0xC6, 0xC6);
const QColor textColor(0x00, 0x00, 0x00);
const QColor dimmedTextColor(0x9C, 0x9C, 0x9C);
const int textPadding = 6;       // each side of a text button's text
const int pictureWidth = 24;     // a picture button
const int usualGap = 6;          // a separator without a width of its own
const int systemFontPixels = 11; // 8 points at 96 pixels an inch

QString Text(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

// The picture's key colour is the colour of its top-left pixel: the pixels of that colour show
// the bar through them.
QImage Keyed(const QImage& picture)
{
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    QRgb key = picture.pixel(0, 0);
    for (int y = 0; y < keyed.height(); ++y) {
        for (int x = 0; x < keyed.width(); ++x) {
            if (picture.pixel(x, y) == key)
                keyed.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    return keyed;
}

// A greyed picture: its shapes in light grey, so that it reads as there but out of reach.
QImage Dimmed(const QImage& keyed)
{
    QImage dimmed = keyed;
    for (int y = 0; y < dimmed.height(); ++y) {
        for (int x = 0; x < dimmed.width(); ++x) {
            QRgb p = dimmed.pixel(x, y);
            if (qAlpha(p) == 0)
                continue;
            int grey = 128 + qGray(p) / 3;
            dimmed.setPixel(x, y, qRgba(grey, grey, grey, 255));
        }
    }
    return dimmed;
}
} // namespace

MenuBarWidget::MenuBarWidget(HWND window, HWND owner, QWidget* parent)
    : QWidget(parent), window_(window), owner_(owner)
{
    font_.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font_.setStyleHint(QFont::SansSerif);
    font_.setPixelSize(systemFontPixels);
    setFont(font_);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

MenuBarWidget::~MenuBarWidget()
{
    FreeMenus();
}

void MenuBarWidget::FreeMenus()
{
    if (root_)
        FreeMenu(root_);
    root_ = nullptr;
    for (BarEntry& entry : entries_)
        entry.menu = nullptr;
}

void MenuBarWidget::AddEntry(const BarEntry& entry)
{
    entries_.push_back(entry);
    SetTooltips(tooltips_);
}

int MenuBarWidget::AddPictures(const QImage& image, int count, int cx, int cy)
{
    if (image.isNull() || count < 1 || cx < 1 || cy < 1 || cx * count > image.width() ||
        cy > image.height())
        return -1;
    int first = int(pictures_.size());
    for (int i = 0; i < count; ++i) {
        QImage keyed = Keyed(image.copy(i * cx, 0, cx, cy));
        dimmed_.push_back(Dimmed(keyed));
        pictures_.push_back(std::move(keyed));
    }
    Changed();
    return first;
}

void MenuBarWidget::SetTooltips(std::vector<std::u16string> texts)
{
    tooltips_ = std::move(texts);
    size_t next = 0;
    for (BarEntry& entry : entries_) {
        if (entry.kind == MenuBarEntryKind::Separator)
            continue;
        entry.tooltip = next < tooltips_.size() ? tooltips_[next] : std::u16string();
        ++next;
    }
}

BarEntry* MenuBarWidget::EntryWithCommand(UINT command)
{
    for (BarEntry& entry : entries_) {
        if (entry.kind != MenuBarEntryKind::Separator && entry.command == command)
            return &entry;
    }
    return nullptr;
}

void MenuBarWidget::Changed()
{
    QFontMetrics metrics(font_);
    int x = 0;
    for (BarEntry& entry : entries_) {
        if (entry.state & TBSTATE_HIDDEN) {
            entry.rect = QRect();
            continue;
        }
        int width = pictureWidth;
        if (entry.kind == MenuBarEntryKind::Separator)
            width = entry.gap > 0 ? entry.gap : usualGap;
        else if (entry.kind != MenuBarEntryKind::Picture)
            width = metrics.horizontalAdvance(Text(entry.text)) + 2 * textPadding;
        entry.rect = QRect(x, 1, width, MENU_BAR_HEIGHT - 1);
        x += width;
    }
    update();
}

bool MenuBarWidget::Tappable(const BarEntry& entry) const
{
    return entry.kind != MenuBarEntryKind::Separator && !(entry.state & TBSTATE_HIDDEN) &&
           (entry.state & TBSTATE_ENABLED) && !(entry.state & TBSTATE_INDETERMINATE);
}

int MenuBarWidget::EntryAt(const QPoint& point) const
{
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].rect.contains(point))
            return int(i);
    }
    return -1;
}

void MenuBarWidget::Activate(size_t index)
{
    if (index >= entries_.size() || !Tappable(entries_[index]))
        return;
    const BarEntry& entry = entries_[index];
    if (entry.kind == MenuBarEntryKind::DropDown)
        OpenMenu(index);
    else
        Send(entry.command, false);
}

UINT MenuBarWidget::TakeChosen()
{
    UINT chosen = chosen_;
    chosen_ = 0;
    return chosen;
}

// The command goes through the owner's queue, as the bar sends it once the tap is over: the
// tap returns before whatever dialog the command opens starts its own loop.
void MenuBarWidget::Send(UINT command, bool fromMenu)
{
    if (!IsWindow(owner_))
        return;
    PostMessageW(owner_, WM_COMMAND, MAKEWPARAM(command, 0),
                 fromMenu ? 0 : reinterpret_cast<LPARAM>(window_));
}

void MenuBarWidget::OpenMenu(size_t index)
{
    QMenu* menu = QMenuOf(entries_[index].menu);
    if (!menu)
        return;
    if (watched_ != menu) {
        if (watched_)
            watched_->disconnect(this);
        watched_ = menu;
        connect(menu, &QMenu::triggered, this, [this](QAction* action) {
            UINT command = CommandOfAction(action);
            if (!command)
                return;
            chosen_ = command;
            Send(command, true);
        });
        connect(menu, &QMenu::aboutToHide, this, [this] {
            open_ = -1;
            update();
        });
    }
    menu->setFont(font_);
    open_ = int(index);
    update();
    // Above the bar, from the button's left edge, kept on the screen.
    QSize menuSize = menu->sizeHint();
    QPoint origin = mapToGlobal(QPoint(entries_[index].rect.left(), 0));
    QRect screen = parentWidget()
                       ? QRect(parentWidget()->mapToGlobal(QPoint(0, 0)), parentWidget()->size())
                       : QRect(mapToGlobal(QPoint(0, 0)), size());
    int x = std::max(screen.left(), std::min(origin.x(), screen.right() + 1 - menuSize.width()));
    menu->popup(QPoint(x, origin.y() - menuSize.height()));
}

bool MenuBarWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        int index = EntryAt(help->pos());
        if (index >= 0 && !entries_[size_t(index)].tooltip.empty())
            QToolTip::showText(help->globalPos(), Text(entries_[size_t(index)].tooltip), this,
                               entries_[size_t(index)].rect);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void MenuBarWidget::resizeEvent(QResizeEvent*)
{
    Changed();
}

void MenuBarWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    int index = EntryAt(event->position().toPoint());
    pressed_ = index >= 0 && Tappable(entries_[size_t(index)]) ? index : -1;
    pressedInside_ = pressed_ >= 0;
    update();
}

void MenuBarWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (pressed_ < 0)
        return;
    bool inside = EntryAt(event->position().toPoint()) == pressed_;
    if (inside != pressedInside_) {
        pressedInside_ = inside;
        update();
    }
}

void MenuBarWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || pressed_ < 0)
        return;
    int index = pressed_;
    pressed_ = -1;
    pressedInside_ = false;
    update();
    if (EntryAt(event->position().toPoint()) == index)
        Activate(size_t(index));
}

void MenuBarWidget::PaintEntry(QPainter& painter, const BarEntry& entry, bool sunken)
{
    QRect r = entry.rect;
    if (sunken) {
        painter.fillRect(r.adjusted(1, 1, -1, -1), sunkenColor);
        painter.setPen(borderColor);
        painter.drawRect(r.adjusted(1, 1, -2, -2));
    }
    bool dimmed = !Tappable(entry);
    if (entry.kind == MenuBarEntryKind::Picture) {
        if (entry.image < 0 || entry.image >= int(pictures_.size()))
            return;
        const QImage& picture = (dimmed ? dimmed_ : pictures_)[size_t(entry.image)];
        QPoint at(r.left() + (r.width() - picture.width()) / 2,
                  r.top() + (r.height() - picture.height()) / 2);
        if (sunken)
            at += QPoint(1, 1);
        painter.drawImage(at, picture);
        return;
    }
    painter.setPen(dimmed ? dimmedTextColor : textColor);
    painter.setFont(font_);
    painter.drawText(sunken ? r.translated(1, 1) : r, Qt::AlignCenter | Qt::TextSingleLine,
                     Text(entry.text));
}

void MenuBarWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), faceColor);
    painter.setPen(borderColor);
    painter.drawLine(0, 0, width() - 1, 0);
    for (size_t i = 0; i < entries_.size(); ++i) {
        const BarEntry& entry = entries_[i];
        if (entry.rect.isEmpty() || entry.kind == MenuBarEntryKind::Separator)
            continue;
        bool sunken = (int(i) == pressed_ && pressedInside_) || int(i) == open_ ||
                      (entry.state & (TBSTATE_CHECKED | TBSTATE_PRESSED));
        PaintEntry(painter, entry, sunken);
    }
}
