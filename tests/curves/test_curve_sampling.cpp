// Contour snapping and reading colours from an image or a rendered picture.
#include "curve.h"
#include "curve_fixtures.h"
#include "pixel_reader.h"
#include "curve_sampling.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace fixtures;

namespace {

constexpr int kSize = 512;

QImage filled(const QColor& c)
{
    QImage img(kSize, kSize, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// Image row (from the top) of canvas height y on the 512-pixel canvas.
int rowOf(double y) { return static_cast<int>((1.0 - (y + 1.0) / 2.0) * kSize); }

// A white contour image with a black horizontal line of the given thickness at canvas height y.
QImage horizontalContour(double y, int thickness = 3)
{
    QImage img = filled(Qt::white);
    const int row = rowOf(y);
    for (int r = row - thickness / 2; r <= row + thickness / 2; ++r)
        for (int col = 0; col < kSize; ++col)
            img.setPixel(col, r, qRgb(0, 0, 0));
    return img;
}

// A picture whose top half (canvas y > 0) is `top` and bottom half `bottom`.
QImage twoHalves(const QColor& top, const QColor& bottom)
{
    QImage img = filled(bottom);
    for (int r = 0; r < kSize / 2; ++r)
        for (int col = 0; col < kSize; ++col)
            img.setPixelColor(col, r, top);
    return img;
}

// The rendered picture seen through the reader interface: rows counted from the bottom,
// positions clamped to the border as the renderer's reader does.
class ImageReader : public PixelReader {
public:
    explicit ImageReader(QImage image) : image_(std::move(image)) {}
    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    std::array<float, 4> readPixel(int column, int row) const override
    {
        ++reads;
        column = std::clamp(column, 0, width() - 1);
        row = std::clamp(row, 0, height() - 1);
        const QColor c = image_.pixelColor(column, height() - 1 - row);
        return {float(c.redF()), float(c.greenF()), float(c.blueF()), 1.0f};
    }
    mutable int reads = 0;

private:
    QImage image_;
};

} // namespace

// ---- snapping

TEST(Snapping, StraightCurveInAWhiteRegionStaysPut)
{
    Curve c = straightCurve(3);
    const QVector<Point> before = c.control_points;
    snakeStep(c, filled(Qt::white));
    EXPECT_EQ(c.control_points, before);
}

TEST(Snapping, CurveLyingOnADarkContourStaysOnIt)
{
    Curve c = straightCurve(3);
    const QVector<Point> before = c.control_points;
    snakeStep(c, horizontalContour(0.0));
    for (int i = 0; i < c.nb_control_points; ++i)
        EXPECT_NEAR(c.control_points[i].y, before[i].y, 1e-12) << i;
}

TEST(Snapping, CurveNearAContourMovesTowardsIt)
{
    Curve c = straightCurve(3);
    const double lineY = 4 * kCanvasPixel; // 4 pixels above the curve
    const QImage contour = horizontalContour(lineY, 1);
    for (int pass = 0; pass < 3; ++pass)
        snakeStep(c, contour);
    EXPECT_EQ(c.control_points.first(), Point(-0.6, 0)); // the ends never move
    EXPECT_EQ(c.control_points.last(), Point(0.6, 0));
    // Sampled points of the middle segment now lie on the dark row.
    for (double t = 0.0; t <= 1.0; t += 0.25)
        EXPECT_EQ(rowOf(c.pointAt(t, 3).y), rowOf(lineY)) << t;
}

// One pass moves each point by at most the reach along each axis; a wider reach lets the curve
// get further towards a distant contour in that one pass.
TEST(Snapping, ReachBoundsEveryMoveOfOnePass)
{
    const QImage contour = horizontalContour(20 * kCanvasPixel, 5);
    double climb[2] = {0.0, 0.0};
    const int reaches[2] = {kSnakeReachSteps, 24};
    for (int r = 0; r < 2; ++r) {
        Curve c = straightCurve(3);
        const QVector<Point> before = c.control_points;
        snakeStep(c, contour, kCanvasPixel, reaches[r]);
        const double bound = reaches[r] * kCanvasPixel + 1e-12;
        for (int i = 0; i < c.nb_control_points; ++i) {
            EXPECT_LE(std::abs(c.control_points[i].x - before[i].x), bound) << i;
            EXPECT_LE(std::abs(c.control_points[i].y - before[i].y), bound) << i;
            climb[r] = std::max(climb[r], c.control_points[i].y - before[i].y);
        }
    }
    EXPECT_GT(climb[1], kSnakeReachSteps * kCanvasPixel + 1e-12);
}

TEST(Snapping, ClosedCurveKeepsItsJointAndNullImagesDoNothing)
{
    Curve loop = closedLoop();
    snakeStep(loop, horizontalContour(0.3));
    EXPECT_EQ(loop.control_points.first(), loop.control_points.last());
    EXPECT_TRUE(allFinite(loop));

    Curve c = humpCurve();
    const QVector<Point> before = c.control_points;
    snakeStep(c, QImage());
    sampleFromExample(c, QImage());
    EXPECT_EQ(c.control_points, before);
    EXPECT_EQ(c.left_colors, (QVector<QColor>{kRed, kRed}));
}

TEST(Snapping, TinyOrOddSizedImagesAreReadWithinBounds)
{
    for (const QSize& size : {QSize(1, 1), QSize(3, 700), QSize(700, 2)}) {
        QImage img(size, QImage::Format_Indexed8);
        img.setColorCount(1);
        img.setColor(0, qRgb(0, 0, 0));
        img.fill(0);
        Curve c = humpCurve();
        snakeStep(c, img);
        EXPECT_TRUE(allFinite(c));
        sampleFromExample(c, img);
        expectListsConsistent(c);
    }
}

// ---- reading colours from the example

TEST(ExampleColours, UniformSidesReduceToTheirEndSamples)
{
    Curve c = straightCurve(3); // runs along y = 0 to the right: left is the top half
    sampleFromExample(c, twoHalves(kRed, kBlue));
    EXPECT_EQ(c.left_colors, (QVector<QColor>{kRed, kRed}));
    EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 30}));
    EXPECT_EQ(c.right_colors, (QVector<QColor>{kBlue, kBlue}));
    EXPECT_EQ(c.right_color_ids, (QVector<int>{0, 30}));
    expectListsConsistent(c);
}

TEST(ExampleColours, SideOutsideTheImageIsLeftEmpty)
{
    Curve c;
    for (int i = 0; i < 4; ++i)
        c.appendControlPoint(-0.6 + 0.4 * i, 0.999); // 6 pixels up is outside the canvas
    fixtures::addEndAttributes(c, kRed, kBlue, 0);
    sampleFromExample(c, filled(kWhite));
    EXPECT_EQ(c.nb_left_colors, 0);
    EXPECT_EQ(c.right_colors, (QVector<QColor>{kWhite, kWhite}));
}

TEST(ExampleColours, ColourChangeAlongTheCurveIsKept)
{
    // Left half of the image dark, right half bright: the left-side colours must follow.
    QImage img = filled(kWhite);
    for (int r = 0; r < kSize; ++r)
        for (int col = 0; col < kSize / 2; ++col)
            img.setPixelColor(col, r, kBlack);
    Curve c = straightCurve(3);
    sampleFromExample(c, img);
    ASSERT_GE(c.nb_left_colors, 3);
    EXPECT_EQ(c.left_colors.first(), kBlack);
    EXPECT_EQ(c.left_colors.last(), kWhite);
    // The walk colour just before and after the middle of the curve.
    int i = 0;
    double w = c.findIntervalAt(12, i, LeftColor);
    EXPECT_EQ(c.leftColorAt(w, i), kBlack);
    w = c.findIntervalAt(18, i, LeftColor);
    EXPECT_EQ(c.leftColorAt(w, i), kWhite);
}

// ---- reading rendered colours

TEST(RenderedColours, OneSideIsReplacedFromThePicture)
{
    const ImageReader picture(twoHalves(rgb(10, 200, 30), rgb(90, 90, 90)));
    Curve c = straightCurve(2);
    sampleRenderedColors(c, 1, picture);
    EXPECT_EQ(picture.reads, 22);
    EXPECT_EQ(c.right_colors, (QVector<QColor>{rgb(90, 90, 90), rgb(90, 90, 90)}));
    EXPECT_EQ(c.right_color_ids, (QVector<int>{0, 20}));
    EXPECT_EQ(c.left_colors, (QVector<QColor>{kRed, kRed}));
    sampleRenderedColors(c, 0, picture);
    EXPECT_EQ(c.left_colors.first(), rgb(10, 200, 30));
    sampleRenderedColors(c, 2, picture);
    EXPECT_EQ(c.left_colors.first(), rgb(10, 200, 30));
    expectListsConsistent(c);
}
