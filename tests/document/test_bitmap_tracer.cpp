// The bitmap tracer's stages on synthetic pictures whose edges are known exactly.
#include "bitmap_tracer.h"
#include "curve_transforms.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace {

constexpr int kSize = 512;
const QColor kInside(200, 40, 30);
const QColor kOutside(20, 60, 180);

// A disc drawn with exact area coverage (16 x 16 sub-samples a pixel), so that its edge lies
// exactly on the circle; centre and radius in pixels, y down.
QImage discPicture(double cx, double cy, double radius, const QColor& inside = kInside,
                   const QColor& outside = kOutside)
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            int covered = 0;
            for (int j = 0; j < 16; ++j)
                for (int i = 0; i < 16; ++i) {
                    const double dx = x + (i + 0.5) / 16 - cx, dy = y + (j + 0.5) / 16 - cy;
                    covered += dx * dx + dy * dy <= radius * radius;
                }
            const double w = covered / 256.0;
            auto mix = [w](int a, int b) { return int(std::lround(a * w + b * (1 - w))); };
            image.setPixel(x, y,
                           qRgb(mix(inside.red(), outside.red()),
                                mix(inside.green(), outside.green()),
                                mix(inside.blue(), outside.blue())));
        }
    }
    return image;
}

QImage blurred(const QImage& picture, double sigma)
{
    cv::Mat rgb = trace::toRgb(picture), smooth;
    cv::GaussianBlur(rgb, smooth, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    return QImage(smooth.data, smooth.cols, smooth.rows, int(smooth.step), QImage::Format_RGB888)
        .copy();
}

// Largest channel difference between two colours.
int colorDistance(const QColor& a, const QColor& b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

// Pixel position (y down) of a canvas point of the kSize picture.
Point toPixels(const Point& p) { return {(p.x + 1.0) * kSize / 2, (1.0 - p.y) * kSize / 2}; }

} // namespace

TEST(BitmapTracer, SharpDiscGivesOneClosedCurveOnTheCircleWithBothColours)
{
    const double cx = 250.3, cy = 261.7, radius = 120.0;
    const TraceResult result = traceBitmap(discPicture(cx, cy, radius));
    ASSERT_EQ(result.drawing.nb_curves, 1) << result.note.toStdString();
    const Curve& curve = result.drawing.curve(0);
    EXPECT_TRUE(curve.isClosed());
    double worst = 0.0;
    curve.forEachSample([&](const CurveSample& s) {
        const Point p = toPixels(s.point);
        worst = std::max(worst, std::abs(std::hypot(p.x - cx, p.y - cy) - radius));
    });
    std::printf("sharp disc: %d segments, worst distance from the circle %.3f px\n",
                curve.segmentCount(), worst);
    EXPECT_LE(worst, 0.5);
    // Which side is inside depends on the direction of travel; each side has one colour.
    const bool leftInside = colorDistance(curve.left_colors[0], kInside)
                            < colorDistance(curve.left_colors[0], kOutside);
    for (const QColor& c : curve.left_colors)
        EXPECT_LE(colorDistance(c, leftInside ? kInside : kOutside), 2);
    for (const QColor& c : curve.right_colors)
        EXPECT_LE(colorDistance(c, leftInside ? kOutside : kInside), 2);
    EXPECT_EQ(meanBlur(curve), 0);
}

TEST(BitmapTracer, SoftenedDiscGetsBlur)
{
    const TraceResult result = traceBitmap(blurred(discPicture(256.0, 256.0, 120.0), 3.0));
    ASSERT_EQ(result.drawing.nb_curves, 1) << result.note.toStdString();
    std::printf("disc softened by sigma 3: blur %d\n", meanBlur(result.drawing.curve(0)));
    EXPECT_GT(meanBlur(result.drawing.curve(0)), 0);
}

TEST(BitmapTracer, TwoColourSplitGivesOneCurve)
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            image.setPixel(x, y, x < 300 ? qRgb(240, 220, 60) : qRgb(30, 90, 40));
    const TraceResult result = traceBitmap(image);
    ASSERT_EQ(result.drawing.nb_curves, 1) << result.note.toStdString();
    EXPECT_FALSE(result.drawing.curve(0).isClosed());
}

TEST(BitmapTracer, FlatTinyOrNullBitmapsGiveAnEmptyDrawingAndSaySo)
{
    QImage flat(64, 48, QImage::Format_RGB32);
    flat.fill(qRgb(90, 120, 150));
    QImage single(1, 1, QImage::Format_RGB32);
    single.fill(qRgb(0, 0, 0));
    for (const QImage& image : {flat, single, QImage()}) {
        const TraceResult result = traceBitmap(image);
        EXPECT_EQ(result.drawing.nb_curves, 0);
        EXPECT_FALSE(result.note.isEmpty());
        EXPECT_FALSE(result.cancelled);
    }
}

TEST(BitmapTracer, EveryPixelFormatTraces)
{
    // Colours far apart in grey too, so that the greyscale formats keep the edge.
    const QImage disc = discPicture(256.0, 256.0, 100.0, QColor(230, 220, 90), QColor(40, 30, 80));
    QImage alpha = disc.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kSize; ++y) // half transparent: laid over white, still two colours
        for (int x = 0; x < kSize; ++x)
            alpha.setPixel(x, y, (alpha.pixel(x, y) & 0x00ffffff) | 0x80000000);
    const QImage formats[] = {disc.convertToFormat(QImage::Format_Grayscale8),
                              disc.convertToFormat(QImage::Format_Grayscale16),
                              disc.convertToFormat(QImage::Format_Indexed8),
                              disc.convertToFormat(QImage::Format_RGBA64), alpha};
    for (const QImage& image : formats) {
        const TraceResult result = traceBitmap(image);
        EXPECT_EQ(result.drawing.nb_curves, 1) << "format " << int(image.format());
    }
}

TEST(BitmapTracer, CancelledTraceReturnsNoCurves)
{
    const TraceResult result =
        traceBitmap(discPicture(256.0, 256.0, 100.0), {}, [](int percent) { return percent < 30; });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.drawing.nb_curves, 0);
}

TEST(BitmapTracer, JunctionsSplitChains)
{
    // A plus sign of one-pixel lines: the centre and its four neighbours all touch three or more
    // pixels, so they are junction pixels; each arm keeps its 19 own pixels and reaches one
    // junction pixel.
    cv::Mat edges = cv::Mat::zeros(41, 41, CV_8U);
    for (int i = 0; i < 41; ++i)
        edges.at<uchar>(20, i) = edges.at<uchar>(i, 20) = 1;
    const std::vector<trace::Chain> chains = trace::linkEdges(edges);
    ASSERT_EQ(chains.size(), 4u);
    for (const trace::Chain& chain : chains) {
        EXPECT_EQ(chain.pixels.size(), 20u);
        EXPECT_FALSE(chain.closed);
    }
}

TEST(BitmapTracer, CrossingLinesAreJoinedThroughTheJunction)
{
    // The plus sign again, with a stem off one arm (a T): each line of the plus runs on through
    // the crossing as one chain of touching pixels from border to border; the stem, which
    // continues nothing, stays a chain of its own.
    cv::Mat edges = cv::Mat::zeros(41, 41, CV_8U);
    for (int i = 0; i < 41; ++i)
        edges.at<uchar>(20, i) = edges.at<uchar>(i, 20) = 1;
    for (int i = 0; i < 10; ++i)
        edges.at<uchar>(21 + i, 8) = 1;
    const std::vector<trace::Chain> chains = trace::joinAtJunctions(trace::linkEdges(edges));
    ASSERT_EQ(chains.size(), 3u);
    int crossing = 0;
    for (const trace::Chain& chain : chains) {
        EXPECT_FALSE(chain.closed);
        for (size_t k = 1; k < chain.pixels.size(); ++k) {
            const cv::Point step = chain.pixels[k] - chain.pixels[k - 1];
            EXPECT_TRUE(std::max(std::abs(step.x), std::abs(step.y)) == 1);
        }
        const cv::Point a = chain.pixels.front(), b = chain.pixels.back();
        const bool across = (std::min(a.x, b.x) == 0 && std::max(a.x, b.x) == 40)
                            || (std::min(a.y, b.y) == 0 && std::max(a.y, b.y) == 40);
        crossing += across;
    }
    EXPECT_EQ(crossing, 2);
}
