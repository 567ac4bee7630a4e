// Bitmaps 106 and 128 and icon 101: their sizes, and pictures where pictures should be.
#include "platform/resources/pictures.h"
#include "resources/resource_ids.h"
#include "tests/resources_data/data_module.h"

#include <gtest/gtest.h>

namespace
{
QImage Bitmap(UINT id)
{
    HBITMAP bitmap = LoadBitmapW(DataModule(), MAKEINTRESOURCEW(id));
    QImage image = ImageOfBitmap(bitmap);
    DeleteObject(bitmap);
    return image;
}

// The pixels of picture `index` that differ from its top-left pixel, the background.
int Drawn(const QImage& image, int index)
{
    QRgb background = image.pixel(index * PICTURE_PIXELS, 0);
    int drawn = 0;
    for (int y = 0; y < PICTURE_PIXELS; ++y) {
        for (int x = 0; x < PICTURE_PIXELS; ++x)
            drawn += image.pixel(index * PICTURE_PIXELS + x, y) != background ? 1 : 0;
    }
    return drawn;
}

// How many pixels of a row of a picture are strongly blue.
int BlueInRow(const QImage& image, int index, int y)
{
    int blue = 0;
    for (int x = 0; x < PICTURE_PIXELS; ++x) {
        QColor c = image.pixelColor(index * PICTURE_PIXELS + x, y);
        blue += c.blue() > 150 && c.red() < 100 && c.green() < 120 ? 1 : 0;
    }
    return blue;
}

// The first and last rows of a picture with blue in them, and the widest row's index.
struct Shape {
    int top = -1, bottom = -1, widest = -1;
};
Shape BlueShape(const QImage& image, int index)
{
    Shape shape;
    int widest = 0;
    for (int y = 0; y < PICTURE_PIXELS; ++y) {
        int blue = BlueInRow(image, index, y);
        if (!blue)
            continue;
        if (shape.top < 0)
            shape.top = y;
        shape.bottom = y;
        if (blue > widest) {
            widest = blue;
            shape.widest = y;
        }
    }
    return shape;
}
} // namespace

TEST(MenuBarPictures, AreFourPicturesOfSixteenPixelsOnTheBarsFace)
{
    QImage image = Bitmap(IDB_MENUBAR_IMAGES);
    ASSERT_EQ(image.size(), QSize(BAR_IMAGE_COUNT * PICTURE_PIXELS, PICTURE_PIXELS));
    for (int i = 0; i < BAR_IMAGE_COUNT; ++i) {
        SCOPED_TRACE(i);
        // The bar takes each picture's top-left pixel as see-through: it must be the face.
        EXPECT_EQ(image.pixel(i * PICTURE_PIXELS, 0), image.pixel(0, 0));
        EXPECT_GT(Drawn(image, i), 60) << "a picture that fills its square";
        EXPECT_LT(Drawn(image, i), 230) << "with the face around it";
    }
}

TEST(ListPictures, AreSixPicturesWithTheBlanksBlank)
{
    QImage image = Bitmap(IDB_LIST_IMAGES);
    ASSERT_EQ(image.size(), QSize(LIST_IMAGE_COUNT * PICTURE_PIXELS, PICTURE_PIXELS));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255)) << "on the list's white";
    EXPECT_EQ(Drawn(image, IMAGE_NO_ORDER), 0);
    EXPECT_EQ(Drawn(image, 5), 0);
    EXPECT_GT(Drawn(image, IMAGE_MEMO), 80) << "a note pad";
    EXPECT_GT(Drawn(image, IMAGE_NO_MEMO), 4) << "a dash";
    EXPECT_LT(Drawn(image, IMAGE_NO_MEMO), 20) << "a short one";
}

TEST(ListPictures, TheTrianglesAreBlueAndPointUpAndDown)
{
    QImage image = Bitmap(IDB_LIST_IMAGES);
    Shape up = BlueShape(image, IMAGE_ASCENDING);
    Shape down = BlueShape(image, IMAGE_DESCENDING);
    ASSERT_GE(up.top, 0);
    ASSERT_GE(down.top, 0);
    EXPECT_GE(up.bottom - up.top, 3) << "a triangle, not a line";
    EXPECT_EQ(up.widest, up.bottom) << "wide at the bottom: it points up";
    EXPECT_EQ(down.widest, down.top) << "wide at the top: it points down";
    EXPECT_LT(BlueInRow(image, IMAGE_ASCENDING, up.top),
              BlueInRow(image, IMAGE_ASCENDING, up.bottom));
    EXPECT_EQ(BlueShape(image, IMAGE_MEMO).top, -1) << "only the triangles are blue";
}

TEST(ProgramIcon, HasALargeAndASmallImageWithClearCorners)
{
    HICON icon = LoadIconW(DataModule(), MAKEINTRESOURCEW(IDI_ZENTALLY));
    ASSERT_NE(icon, nullptr);
    for (int size : {32, 16}) {
        SCOPED_TRACE(size);
        QImage image = IconImage(icon, size);
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(image.pixel(0, size - 1)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2 + 2)), 255) << "the face is solid";
        int solid = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x)
                solid += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
        }
        EXPECT_GT(solid, size * size / 3);
    }
}
