// Painting a program window: the device context of its WM_PAINT, the objects selected into it,
// and text, lines and fills drawn with the widget's painter.
#include "platform/gdi_objects.h"
#include "platform/window/window_internal.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <map>

namespace
{
// What a device context holds while a window paints.
struct PaintContext {
    HWND window = nullptr;
    QPainter* painter = nullptr;
    QRect dirty;
    HGDIOBJ font = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);
    int backMode = OPAQUE;
};

std::map<HWND, PaintContext>& Contexts()
{
    static std::map<HWND, PaintContext> contexts;
    return contexts;
}

PaintContext* ContextOf(HDC dc)
{
    auto* context = reinterpret_cast<PaintContext*>(dc);
    for (auto& [window, open] : Contexts()) {
        if (&open == context)
            return context;
    }
    return nullptr;
}

// The stock objects live for the whole run and are never freed.
struct StockObjects {
    GdiObject objects[SYSTEM_FONT + 1];
    StockObjects()
    {
        auto brush = [&](int index, COLORREF color, bool none) {
            objects[index].kind = GdiKind::Brush;
            objects[index].color = color;
            objects[index].nullBrush = none;
        };
        auto pen = [&](int index, COLORREF color, int style) {
            objects[index].kind = GdiKind::Pen;
            objects[index].color = color;
            objects[index].penStyle = style;
        };
        brush(WHITE_BRUSH, RGB(255, 255, 255), false);
        brush(LTGRAY_BRUSH, RGB(192, 192, 192), false);
        brush(GRAY_BRUSH, RGB(128, 128, 128), false);
        brush(3, RGB(64, 64, 64), false); // DKGRAY_BRUSH
        brush(BLACK_BRUSH, RGB(0, 0, 0), false);
        brush(NULL_BRUSH, 0, true);
        pen(WHITE_PEN, RGB(255, 255, 255), PS_SOLID);
        pen(BLACK_PEN, RGB(0, 0, 0), PS_SOLID);
        pen(NULL_PEN, 0, PS_NULL);
        for (int i = 9; i <= SYSTEM_FONT; ++i) {
            objects[i].kind = GdiKind::Font;
            objects[i].font = LOGFONTW{};
            objects[i].font.lfHeight = -11;
            objects[i].font.lfWeight = FW_NORMAL;
        }
    }
};

StockObjects& Stock()
{
    static StockObjects stock;
    return stock;
}

GdiObject* ObjectOf(HGDIOBJ handle)
{
    StockObjects& stock = Stock();
    for (GdiObject& object : stock.objects) {
        if (handle == &object)
            return &object;
    }
    return FindGdiObject(handle);
}

QColor ToQt(COLORREF color)
{
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

QFont FontOf(const GdiObject* object)
{
    QFont font;
    if (!object) {
        font.setPixelSize(11);
        return font;
    }
    const LOGFONTW& description = object->font;
    if (description.lfFaceName[0])
        font.setFamily(QString::fromUtf16(description.lfFaceName));
    int height = description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
    font.setPixelSize(height > 0 ? height : 11);
    if (description.lfWeight > 0)
        font.setWeight(QFont::Weight(std::clamp(int(description.lfWeight), 1, 1000)));
    font.setItalic(description.lfItalic != 0);
    font.setUnderline(description.lfUnderline != 0);
    font.setStrikeOut(description.lfStrikeOut != 0);
    return font;
}

QPen PenOf(const GdiObject* object)
{
    if (!object)
        return QPen(Qt::black);
    if (object->penStyle == PS_NULL)
        return QPen(Qt::NoPen);
    QPen pen(ToQt(object->color));
    pen.setWidth(object->penWidth);
    if (object->penStyle == PS_DASH)
        pen.setStyle(Qt::DashLine);
    else if (object->penStyle == 2) // PS_DOT
        pen.setStyle(Qt::DotLine);
    return pen;
}

HGDIOBJ Select(HGDIOBJ* slot, HGDIOBJ object)
{
    HGDIOBJ previous = *slot;
    *slot = object;
    return previous ? previous : GetStockObject(SYSTEM_FONT);
}
} // namespace

void OpenPaintContext(HWND window, QPainter* painter, const QRect& dirty)
{
    PaintContext& context = Contexts()[window];
    context = PaintContext{};
    context.window = window;
    context.painter = painter;
    context.dirty = dirty;
    context.pen = GetStockObject(BLACK_PEN);
    context.brush = GetStockObject(WHITE_BRUSH);
}

void ClosePaintContext(HWND window)
{
    Contexts().erase(window);
}

QPainter* PainterOf(HDC dc)
{
    PaintContext* context = ContextOf(dc);
    return context ? context->painter : nullptr;
}

bool BrushColor(HBRUSH brush, QColor* color)
{
    if (!brush)
        return false;
    uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value <= 30) {
        // A system colour plus one.
        *color = value - 1 == COLOR_WINDOW ? QColor(Qt::white) : QColor(212, 208, 200);
        return true;
    }
    GdiObject* object = ObjectOf(brush);
    if (!object || object->kind != GdiKind::Brush || object->nullBrush)
        return false;
    *color = ToQt(object->color);
    return true;
}

HGDIOBJ GetStockObject(int index)
{
    if (index < 0 || index > SYSTEM_FONT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return &Stock().objects[index];
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    auto found = Contexts().find(window);
    if (found == Contexts().end() || !paint) {
        // Outside its WM_PAINT a window has nothing to paint on.
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HDC dc = reinterpret_cast<HDC>(&found->second);
    QRect dirty = found->second.dirty;
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint =
        RECT{dirty.left(), dirty.top(), dirty.left() + dirty.width(), dirty.top() + dirty.height()};
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*)
{
    return Contexts().count(window) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ handle)
{
    PaintContext* context = ContextOf(dc);
    GdiObject* object = ObjectOf(handle);
    if (!context || !object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    switch (object->kind) {
    case GdiKind::Font: return Select(&context->font, handle);
    case GdiKind::Pen: return Select(&context->pen, handle);
    case GdiKind::Brush: return Select(&context->brush, handle);
    default: SetLastError(ERROR_INVALID_HANDLE); return nullptr;
    }
}

COLORREF SetTextColor(HDC dc, COLORREF color)
{
    PaintContext* context = ContextOf(dc);
    if (!context)
        return 0xFFFFFFFF; // CLR_INVALID
    COLORREF previous = context->textColor;
    context->textColor = color;
    return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF color)
{
    PaintContext* context = ContextOf(dc);
    if (!context)
        return 0xFFFFFFFF;
    COLORREF previous = context->backColor;
    context->backColor = color;
    return previous;
}

int SetBkMode(HDC dc, int mode)
{
    PaintContext* context = ContextOf(dc);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int previous = context->backMode;
    context->backMode = mode;
    return previous;
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const INT*)
{
    PaintContext* context = ContextOf(dc);
    if (!context || (count && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    QPainter& painter = *context->painter;
    painter.save();
    QRect area;
    if (rect)
        area = QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    if ((options & ETO_OPAQUE) && rect)
        painter.fillRect(area, ToQt(context->backColor));
    if ((options & ETO_CLIPPED) && rect)
        painter.setClipRect(area);
    QFont font = FontOf(ObjectOf(context->font));
    painter.setFont(font);
    painter.setPen(ToQt(context->textColor));
    QString drawn = QString::fromUtf16(text, static_cast<qsizetype>(count));
    QFontMetrics metrics(font);
    // The handheld places text by its top-left corner.
    painter.drawText(QPoint(x, y + metrics.ascent()), drawn);
    painter.restore();
    return TRUE;
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    auto object = std::make_unique<GdiObject>();
    object->kind = GdiKind::Pen;
    object->penStyle = style;
    object->penWidth = width;
    object->color = color;
    return static_cast<HPEN>(AddGdiObject(std::move(object)));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto object = std::make_unique<GdiObject>();
    object->kind = GdiKind::Brush;
    object->color = color;
    return static_cast<HBRUSH>(AddGdiObject(std::move(object)));
}

BOOL Polyline(HDC dc, const POINT* points, int count)
{
    PaintContext* context = ContextOf(dc);
    if (!context || !points || count < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    QPainter& painter = *context->painter;
    painter.save();
    painter.setPen(PenOf(ObjectOf(context->pen)));
    for (int i = 1; i < count; ++i)
        painter.drawLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    painter.restore();
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    PaintContext* context = ContextOf(dc);
    QColor color;
    if (!context || !rect || !BrushColor(brush, &color))
        return 0;
    context->painter->fillRect(
        QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top), color);
    return 1;
}
