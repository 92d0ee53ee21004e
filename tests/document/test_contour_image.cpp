// The contour image of an example bitmap: the exact 3 x 3 edge filter with its truncations.
#include "contour_image.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

namespace {

QImage uniformImage(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

int greyAt(const QImage& image, int x, int y)
{
    const QRgb pixel = image.pixel(x, y);
    EXPECT_EQ(qRed(pixel), qGreen(pixel));
    EXPECT_EQ(qRed(pixel), qBlue(pixel));
    EXPECT_EQ(qAlpha(pixel), 255);
    return qRed(pixel);
}

bool isOnFrame(const QImage& image, int x, int y)
{
    return x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
}

} // namespace

TEST(ContourImage, UniformBitmapIsWhiteInsideABlackFrame)
{
    // Channels that are multiples of 4 make every kernel product exact.
    const QImage contour = computeContourImage(uniformImage(64, 48, qRgb(200, 120, 40)));
    ASSERT_EQ(contour.size(), QSize(64, 48));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(greyAt(contour, x, y), isOnFrame(contour, x, y) ? 0 : 255)
                << "at " << x << ", " << y;
}

TEST(ContourImage, RunningSumsAreTruncatedAfterEveryProduct)
{
    // With grey 101 the x sum runs -25, -75, -100, -100, -100, -100, -74, -23, 2 and the y sum
    // ends at 0: m = 2 although the bitmap is flat.
    const QImage contour = computeContourImage(uniformImage(8, 8, qRgb(101, 101, 101)));
    EXPECT_EQ(greyAt(contour, 3, 4), 253);
}

TEST(ContourImage, VerticalEdgeDarkensTheTwoColumnsBesideIt)
{
    QImage image = uniformImage(12, 6, qRgb(0, 0, 0));
    for (int y = 0; y < 6; ++y)
        for (int x = 5; x < 12; ++x)
            image.setPixel(x, y, qRgb(0, 200, 0));
    const QImage contour = computeContourImage(image);
    // Columns 4 and 5 see the step of 200 with weights 0.25 + 0.5 + 0.25: m = 200.
    for (int y = 1; y < 5; ++y) {
        EXPECT_EQ(greyAt(contour, 3, y), 255);
        EXPECT_EQ(greyAt(contour, 4, y), 55);
        EXPECT_EQ(greyAt(contour, 5, y), 55);
        EXPECT_EQ(greyAt(contour, 6, y), 255);
    }
}

TEST(ContourImage, EdgeStrongerThan255IsClampedToBlack)
{
    // A white corner below and right of (4, 4): both sums reach 190, m = 268 > 255.
    QImage image = uniformImage(10, 10, qRgb(0, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (x >= 5 || y >= 5)
                image.setPixel(x, y, qRgb(255, 255, 255));
    const QImage contour = computeContourImage(image);
    EXPECT_EQ(greyAt(contour, 4, 4), 0);
    EXPECT_EQ(greyAt(contour, 2, 2), 255);
}

TEST(ContourImage, StrongestChannelDecides)
{
    QImage image = uniformImage(12, 6, qRgb(40, 40, 40));
    for (int y = 0; y < 6; ++y)
        for (int x = 5; x < 12; ++x)
            image.setPixel(x, y, qRgb(40 + 100, 40 + 20, 40));
    EXPECT_EQ(greyAt(computeContourImage(image), 5, 2), 155);
}

TEST(ContourImage, DegenerateBitmaps)
{
    EXPECT_TRUE(computeContourImage(QImage()).isNull());
    const QImage tiny = computeContourImage(uniformImage(2, 2, qRgb(200, 200, 200)));
    ASSERT_EQ(tiny.size(), QSize(2, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(greyAt(tiny, x, y), 0);
    // An indexed bitmap is read through its colour table.
    QImage indexed(6, 6, QImage::Format_Indexed8);
    indexed.setColorCount(1);
    indexed.setColor(0, qRgb(8, 8, 8));
    indexed.fill(0);
    EXPECT_EQ(greyAt(computeContourImage(indexed), 3, 3), 255);
}

TEST(ContourImage, HorizontalEdgeDarkensTheTwoRowsBesideIt)
{
    // The vertical edge's step turned: rows 0..4 black, rows 5..11 red. The filter sees it
    // through the other kernel orientation with the same weights: m = 200 on rows 4 and 5.
    QImage image = uniformImage(6, 12, qRgb(0, 0, 0));
    for (int y = 5; y < 12; ++y)
        for (int x = 0; x < 6; ++x)
            image.setPixel(x, y, qRgb(200, 0, 0));
    const QImage contour = computeContourImage(image);
    for (int x = 1; x < 5; ++x) {
        EXPECT_EQ(greyAt(contour, x, 3), 255);
        EXPECT_EQ(greyAt(contour, x, 4), 55);
        EXPECT_EQ(greyAt(contour, x, 5), 55);
        EXPECT_EQ(greyAt(contour, x, 6), 255);
    }
}

TEST(ContourImage, DiagonalEdgeAddsBothDirections)
{
    // Grey 0 where x + y < 8, 128 elsewhere. Around (4, 3) the neighbours (5, 3), (4, 4) and
    // (5, 4) are 128: gv = 0.5 * 128 + 0.25 * 128 = 96 and gh = 96 as well, every product a
    // multiple of 32 so that no truncation bites; m = floor(sqrt(2) * 96) = 135.
    QImage image = uniformImage(10, 10, qRgb(0, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (x + y >= 8)
                image.setPixel(x, y, qRgb(128, 128, 128));
    EXPECT_EQ(greyAt(computeContourImage(image), 4, 3), 255 - 135);
}
