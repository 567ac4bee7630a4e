// Painting a program window: WM_PAINT between BeginPaint and EndPaint, with the class's
// background, brushes, pens and text drawn where the program asked.
#include "platform/window/window_internal.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace
{
const COLORREF red = RGB(200, 0, 0);
const COLORREF blue = RGB(0, 0, 200);
int paints = 0;
bool selectedBack = false;

LRESULT PaintingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    ++paints;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HBRUSH brush = CreateSolidBrush(red);
    RECT box = {10, 10, 30, 30};
    FillRect(dc, &box, brush);
    DeleteObject(brush);
    HPEN pen = CreatePen(PS_SOLID, 1, blue);
    HGDIOBJ old = SelectObject(dc, pen);
    POINT line[] = {{0, 50}, {99, 50}};
    Polyline(dc, line, 2);
    selectedBack = SelectObject(dc, old) == pen;
    DeleteObject(pen);
    EndPaint(window, &paint);
    return 0;
}

QImage Painted(HWND window)
{
    QWidget* widget = WidgetOf(window);
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class Painting : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(EnsureApplication());
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PaintingProc;
        wc.lpszClassName = u"Painting";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        ASSERT_NE(RegisterClassW(&wc), 0);
    }
    void SetUp() override
    {
        paints = 0;
        window = CreateWindowExW(0, u"Painting", u"", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { DestroyWindow(window); }
    HWND window = nullptr;
};

TEST_F(Painting, TheProgramsDrawingLandsWhereItAskedOverTheClassBackground)
{
    QImage image = Painted(window);
    EXPECT_GE(paints, 1);
    EXPECT_EQ(QColor(image.pixel(20, 20)), QColor(200, 0, 0)) << "inside the filled box";
    EXPECT_EQ(QColor(image.pixel(30, 30)), QColor(Qt::white)) << "the box's end is exclusive";
    EXPECT_EQ(QColor(image.pixel(5, 80)), QColor(Qt::white)) << "the class's background";
    EXPECT_EQ(QColor(image.pixel(50, 50)), QColor(0, 0, 200)) << "the pen's line";
    EXPECT_TRUE(selectedBack) << "SelectObject gives back the object it replaced";
}

// Ink of "Time Record" written in a font of this weight, counted in dark pixels.
int InkOfWeight(LONG weight)
{
    QImage image(120, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    LOGFONTW description = {};
    description.lfHeight = -14;
    description.lfWeight = weight;
    std::u16string face = u"Liberation Serif";
    std::copy(face.begin(), face.end(), description.lfFaceName);
    HFONT font = CreateFontIndirectW(&description);
    HWND window =
        CreateWindowExW(0, u"Painting", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    OpenPaintContext(window, &painter, image.rect());
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SelectObject(dc, font);
    ExtTextOutW(dc, 2, 4, 0, nullptr, u"Time Record", 11, nullptr);
    EndPaint(window, &paint);
    ClosePaintContext(window);
    painter.end();
    DestroyWindow(window);
    DeleteObject(font);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 128;
    return ink;
}

TEST_F(Painting, AHeavyFontWritesHeavierThanANormalOne)
{
    int normal = InkOfWeight(400), heavy = InkOfWeight(800);
    EXPECT_GT(normal, 0);
    EXPECT_GT(heavy, normal + normal / 5) << "weights are the font's own scale, 100 to 900";
}

TEST_F(Painting, PaintingOutsideWmPaintHasNoContext)
{
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(window, &paint);
    RECT box = {0, 0, 5, 5};
    // Without a paint in progress there is nothing to draw on; nothing may crash.
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(window, &paint);
    EXPECT_EQ(FillRect(nullptr, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
}

TEST_F(Painting, StockObjectsAreFixedAndDeletingThemIsHarmless)
{
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_NE(GetStockObject(WHITE_BRUSH), GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(GetStockObject(9999), nullptr);
    DeleteObject(GetStockObject(BLACK_PEN));
    EXPECT_NE(GetStockObject(BLACK_PEN), nullptr);
}
} // namespace
