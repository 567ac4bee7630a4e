// Painting the list view: rows of one height on white, the small picture and text of the first
// cell, the other cells' texts, the selected row in blue, and the header above them.
#include "platform/window/list_view/list_view_paint.h"

#include "platform/window/list_view/list_view_widget.h"
#include "platform/window/window_internal.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>

#include <algorithm>

namespace
{
const QColor highlightColor(0x08, 0x28, 0x84);
const QColor highlightTextColor(Qt::white);
const QColor textColor(Qt::black);
const QColor dimmedTextColor(0x84, 0x84, 0x84);
const QColor headerFaceColor(0xEF, 0xEF, 0xEF);
const QColor headerLineColor(0x84, 0x84, 0x84);
const QColor headerLightColor(Qt::white);
const int pictureMargin = 2; // before a row's picture
const int textPadding = 3;   // each side of a cell's text
const int headerPadding = 4; // before a caption or its picture

Qt::Alignment AlignmentOf(int format, int column)
{
    // The first column is always left-aligned, as on the handheld.
    if (column == 0)
        return Qt::AlignLeft;
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT: return Qt::AlignRight;
    case LVCFMT_CENTER: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

void DrawText(QPainter* painter, const QRect& area, const QString& text, Qt::Alignment alignment)
{
    if (area.width() <= 0 || text.isEmpty())
        return;
    QString shown = painter->fontMetrics().elidedText(text, Qt::ElideRight, area.width());
    painter->drawText(area, int(alignment | Qt::AlignVCenter | Qt::TextSingleLine), shown);
}

void DrawPicture(QPainter* painter, const QRect& place, const QImage& picture)
{
    if (picture.isNull() || place.width() <= 0)
        return;
    int y = place.top() + (place.height() - picture.height()) / 2;
    painter->save();
    painter->setClipRect(place, Qt::IntersectClip);
    painter->drawImage(QPoint(place.left(), y), picture);
    painter->restore();
}

class ListViewHeader : public QHeaderView
{
  public:
    explicit ListViewHeader(ListViewWidget* list) : QHeaderView(Qt::Horizontal, list), list_(list)
    {
        QPalette colors = palette();
        colors.setColor(QPalette::Button, headerFaceColor);
        colors.setColor(QPalette::Window, headerFaceColor);
        setPalette(colors);
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

    QSize sizeHint() const override
    {
        return QSize(QHeaderView::sizeHint().width(), list_->HeaderHeight());
    }

  protected:
    void paintEvent(QPaintEvent* event) override
    {
        {
            QPainter painter(viewport());
            painter.fillRect(viewport()->rect(), headerFaceColor);
            painter.setPen(headerLineColor);
            int bottom = viewport()->height() - 1;
            painter.drawLine(0, bottom, viewport()->width(), bottom);
        }
        QHeaderView::paintEvent(event);
    }

    void paintSection(QPainter* painter, const QRect& rect, int column) const override
    {
        const ListViewModel& model = list_->Model();
        if (!model.IsColumn(column) || rect.width() <= 0)
            return;
        const ListViewColumn& info = model.Column(column);
        painter->save();
        painter->setClipRect(rect, Qt::IntersectClip);
        painter->fillRect(rect, headerFaceColor);
        painter->setPen(headerLightColor);
        painter->drawLine(rect.left(), rect.top(), rect.left(), rect.bottom() - 1);
        painter->setPen(headerLineColor);
        painter->drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
        painter->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());

        QRect area = rect.adjusted(headerPadding, 0, -textPadding, -1);
        QImage picture = (info.format & LVCFMT_IMAGE) ? list_->Picture(info.image) : QImage();
        if (!picture.isNull()) {
            bool onRight = (info.format & LVCFMT_BITMAP_ON_RIGHT) != 0;
            QRect place(onRight ? area.right() - picture.width() + 1 : area.left(), area.top(),
                        picture.width(), area.height());
            DrawPicture(painter, place, picture);
            if (onRight)
                area.setRight(place.left() - textPadding);
            else
                area.setLeft(place.right() + 1 + textPadding);
        }
        painter->setPen(isEnabled() ? textColor : dimmedTextColor);
        DrawText(painter, area, info.text, AlignmentOf(info.format, column));
        painter->restore();
    }

  private:
    ListViewWidget* list_;
};
} // namespace

QHeaderView* MakeListViewHeader(ListViewWidget* list)
{
    return new ListViewHeader(list);
}

QRect PictureRect(const ListViewWidget& list, int x, int y, int cellWidth)
{
    SIZE size = ImageListSize(list.ImageList(LVSIL_SMALL));
    int width = std::clamp(int(size.cx), 0, std::max(0, cellWidth - pictureMargin));
    if (size.cx <= 0)
        return QRect(x, y, 0, list.RowHeight());
    return QRect(x + pictureMargin, y, width, list.RowHeight());
}

void ListViewWidget::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    const ListViewModel& model = *model_;
    int row = index.row();
    if (!model.IsRow(row))
        return;
    const ListViewRow& data = model.Row(row);
    bool highlighted = (data.state & LVIS_SELECTED) && ShowsSelection();
    int y = option.rect.top();
    QHeaderView* top = header();
    painter->save();
    painter->setFont(font());
    for (int column = 0; column < model.ColumnCount(); ++column) {
        int width = top->sectionSize(column);
        if (width <= 0)
            continue;
        int x = top->sectionViewportPosition(column);
        QRect cell(x, y, width, rowHeight_);
        if (highlighted)
            painter->fillRect(cell, highlightColor);
        QRect text = cell.adjusted(textPadding, 0, -textPadding, 0);
        if (column == 0) {
            QRect place = PictureRect(*this, x, y, width);
            DrawPicture(painter, place, Picture(data.image));
            if (place.width() > 0)
                text.setLeft(place.right() + 1 + textPadding);
        }
        painter->setPen(!isEnabled() ? dimmedTextColor
                                     : (highlighted ? highlightTextColor : textColor));
        DrawText(painter, text, model.Cell(row, column),
                 AlignmentOf(model.Column(column).format, column));
    }
    painter->restore();
}

int ListViewWidget::FittingWidth(int column, bool caption) const
{
    const ListViewModel& model = *model_;
    QFontMetrics metrics(font());
    int widest = 0;
    if (caption) {
        const ListViewColumn& info = model.Column(column);
        widest = metrics.horizontalAdvance(info.text) + headerPadding + textPadding;
        QImage picture = (info.format & LVCFMT_IMAGE) ? Picture(info.image) : QImage();
        if (!picture.isNull())
            widest += picture.width() + textPadding;
        return widest;
    }
    for (int row = 0; row < model.RowCount(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(model.Cell(row, column)));
    widest += 2 * textPadding;
    if (column == 0) {
        QRect place = PictureRect(*this, 0, 0, 1 << 20);
        if (place.width() > 0)
            widest += place.right() + 1;
    }
    return widest;
}
