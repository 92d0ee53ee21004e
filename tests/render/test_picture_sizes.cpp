// Pictures at sizes other than the editor's 512: oracles the solve at N must meet (uniform
// regions, the exact linear ramp between parallel curves), agreement with the 512 picture once
// averaged down to it, sharp and blurred, and the export calls' contracts.
#include "test_solver_support.h"

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

namespace solvertest {
namespace {

const QColor kRed(200, 40, 40);
const QColor kBlue(30, 60, 200);
const QColor kYellow(230, 210, 40);

// Canvas coordinate of the centre of column x / of image row `row` (row 0 is the top) in a
// picture of `size` pixels.
double canvasX(int x, int size) { return (x + 0.5) * 2.0 / size - 1.0; }
double canvasY(int row, int size) { return 1.0 - (row + 0.5) * 2.0 / size; }

// Largest channel difference, in 8-bit steps, between pixel (x, row) and `expected` (0..255).
double byteDistance(const QImage& image, int x, int row, const Rgb& expected)
{
    const QRgb p = image.pixel(x, row);
    const double got[3] = {double(qRed(p)), double(qGreen(p)), double(qBlue(p))};
    double d = 0.0;
    for (int c = 0; c < 3; ++c)
        d = std::max(d, std::abs(got[c] - expected[c]));
    return d;
}

Rgb bytesOf(const QColor& c) { return {double(c.red()), double(c.green()), double(c.blue())}; }

// The picture averaged down by 2 x 2 pixels.
QImage halved(const QImage& image)
{
    QImage half(image.width() / 2, image.height() / 2, QImage::Format_RGB32);
    for (int y = 0; y < half.height(); ++y)
        for (int x = 0; x < half.width(); ++x) {
            int sum[3] = {0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const QRgb p = image.pixel(2 * x + k % 2, 2 * y + k / 2);
                sum[0] += qRed(p);
                sum[1] += qGreen(p);
                sum[2] += qBlue(p);
            }
            half.setPixel(x, y, qRgb((sum[0] + 2) / 4, (sum[1] + 2) / 4, (sum[2] + 2) / 4));
        }
    return half;
}

// Marks the pixels of a kSize picture (image rows, top first) within `radius` pixels of p.
void markAround(const Point& p, double radius, std::vector<bool>* near)
{
    const double px = (p.x + 1.0) * 0.5 * kSize - 0.5;
    const double py = (1.0 - p.y) * 0.5 * kSize - 0.5;
    const int r = int(std::ceil(radius));
    for (int y = int(py) - r; y <= int(py) + r + 1; ++y)
        for (int x = int(px) - r; x <= int(px) + r + 1; ++x)
            if (x >= 0 && y >= 0 && x < kSize && y < kSize && std::hypot(x - px, y - py) <= radius)
                (*near)[size_t(y) * kSize + x] = true;
}

// Pixels of a kSize picture within `radius` pixels of any curve, or within `singularRadius` of
// a place where two curves' strips meet (a crossing) or of the end of an open curve. There the
// field is singular and its shape depends on how the strips fall on the pixel grid, so finer
// pixels move it measurably.
std::vector<bool> nearCurves(const CurveSet& set, double radius, double singularRadius)
{
    std::vector<bool> near(size_t(kSize) * kSize, false);
    std::vector<std::vector<Point>> samples;
    for (const Curve& curve : set.curves) {
        samples.emplace_back();
        const int segments = (curve.nb_control_points - 1) / 3;
        for (int b = 0; b < segments; ++b)
            for (int k = 0; k <= 400; ++k)
                samples.back().push_back(curve.pointAt(k / 400.0, 3 * b));
        for (const Point& p : samples.back())
            markAround(p, radius, &near);
        const Point first = samples.back().front(), last = samples.back().back();
        if (std::hypot(first.x - last.x, first.y - last.y) > 1e-9) {
            markAround(first, singularRadius, &near);
            markAround(last, singularRadius, &near);
        }
    }
    const double stripWidth = 10.0 * 2.0 / kSize; // two half-widths of 5 pixels
    for (size_t a = 0; a < samples.size(); ++a)
        for (size_t b = a + 1; b < samples.size(); ++b)
            for (const Point& p : samples[a])
                for (const Point& q : samples[b])
                    if (std::abs(p.x - q.x) < stripWidth && std::abs(p.y - q.y) < stripWidth)
                        markAround(p, singularRadius, &near);
    return near;
}

class PictureSizeTest : public SolverTest {
protected:
    QImage render(int size, bool blur = true)
    {
        PictureRequest request;
        request.size = size;
        request.cycles = DiffusionSolver::kExportCycles;
        request.blur = blur;
        request.encoding.dither = false; // the oracles compare exact values
        QString why;
        const QImage image = solver->renderImage(request, &why);
        EXPECT_EQ(image.size(), QSize(size, size)) << why.toStdString();
        return image;
    }

    // Worst difference between the 512 picture and the picture at 1024 averaged down to 512,
    // over pixels farther than 8 pixels (of 512) from every curve and 32 from crossings and the
    // ends of open curves; *compared counts them.
    double differenceFrom512Away(bool blur, int* compared)
    {
        const QImage small = render(kSize, blur);
        const QImage large = halved(render(2 * kSize, blur));
        const std::vector<bool> near = nearCurves(drawing, 8.0, 32.0);
        double worst = 0.0;
        *compared = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                if (near[size_t(y) * kSize + x])
                    continue;
                const QRgb p = small.pixel(x, y);
                worst =
                    std::max(worst,
                             byteDistance(large, x, y,
                                          {double(qRed(p)), double(qGreen(p)), double(qBlue(p))}));
                ++*compared;
            }
        return worst;
    }
};

// The solve at N reaches the picture's colours everywhere: within 1/255 (one 8-bit step) of
// the inside colour within the circle and of the outside colour beyond it, more than 4 pixels
// of the picture from the curve. Below about 400 pixels the strips of the 512 canvas's width
// would leave part of the jump's divergence free, which lifted the whole inside (237,215,35 for
// 230,210,40 at 256).
TEST_F(PictureSizeTest, ClosedCurveIsUniformInsideAndOutsideAtSmallAndLargeSizes)
{
    drawing.addCurve(circleCurve({0.0, 0.0}, 0.5, kRed, kBlue));
    for (int size : {128, 256, 1024, 2048}) {
        const QImage image = render(size);
        ASSERT_EQ(image.size(), QSize(size, size));
        const double margin = 4.0 * 2.0 / size;
        double inside = 0.0, outside = 0.0;
        int insideCount = 0, outsideCount = 0;
        for (int row = 0; row < size; ++row)
            for (int x = 0; x < size; ++x) {
                const double r = std::hypot(canvasX(x, size), canvasY(row, size));
                if (r < 0.5 - margin) {
                    inside = std::max(inside, byteDistance(image, x, row, bytesOf(kRed)));
                    ++insideCount;
                } else if (r > 0.5 + margin) {
                    outside = std::max(outside, byteDistance(image, x, row, bytesOf(kBlue)));
                    ++outsideCount;
                }
            }
        std::printf("circle at %d: worst inside %.0f/255, outside %.0f/255\n", size, inside,
                    outside);
        EXPECT_LE(inside, 1.0) << size;
        EXPECT_LE(outside, 1.0) << size;
        EXPECT_GT(insideCount, size * size / 8) << "the inside must be checked";
        EXPECT_GT(outsideCount, size * size / 8) << "the outside must be checked";
    }
}

// Between two parallel vertical curves the exact solution of every row is the straight ramp
// from the last column of the left curve's strip to the first of the right curve's: at 2048
// pixels the picture must be that ramp to 1/255, rounding to 8 bits included.
TEST_F(PictureSizeTest, PictureBetweenParallelCurvesIsTheExactRampAt2048)
{
    // Upwards: the left normal points to -x, so the right side faces +x.
    drawing.addCurve(straightCurve({-0.5, -1.2}, {-0.5, 1.2}, kYellow, kRed));
    drawing.addCurve(straightCurve({0.5, -1.2}, {0.5, 1.2}, kBlue, kYellow));
    const int size = 2048;
    const QImage image = render(size);
    ASSERT_EQ(image.size(), QSize(size, size));
    // The strips keep their canvas width: 5 pixels of 512 on each side of a curve.
    const double halfWidth = 5.0 / 512.0 * 2.0 / 2.0;
    int last = 0, first = size - 1;
    for (int x = 0; x < size; ++x) {
        if (canvasX(x, size) < -0.5 + halfWidth)
            last = x;
        if (canvasX(size - 1 - x, size) > 0.5 - halfWidth)
            first = size - 1 - x;
    }
    const Rgb red = bytesOf(kRed), blue = bytesOf(kBlue);
    double worst = 0.0;
    for (int row = 16; row < size - 16; row += 61)
        for (int x = last; x <= first; ++x) {
            const double w = double(x - last) / (first - last);
            worst = std::max(worst, byteDistance(image, x, row,
                                                 {red[0] + w * (blue[0] - red[0]),
                                                  red[1] + w * (blue[1] - red[1]),
                                                  red[2] + w * (blue[2] - red[2])}));
        }
    std::printf("ramp at %d: worst distance %.2f/255\n", size, worst);
    EXPECT_LE(worst, 1.0);
}

// Circles, one across the canvas edge, and lines across the whole canvas that cross one another
// and the circles, cutting the canvas into regions of smooth gradients: the picture at 1024
// averaged down to 512 is the 512 picture within 2/255 away from the curves, their crossings
// and their ends.
TEST_F(PictureSizeTest, PictureAt1024AveragedDownIsThe512Picture)
{
    drawing.addCurve(circleCurve({-0.3, 0.25}, 0.35, QColor(220, 60, 40), QColor(40, 90, 200)));
    drawing.addCurve(circleCurve({0.85, 0.7}, 0.45, QColor(200, 40, 160), QColor(90, 200, 220)));
    drawing.addCurve(
        straightCurve({-1.2, -0.9}, {1.2, 0.2}, QColor(250, 230, 60), QColor(30, 140, 70)));
    drawing.addCurve(
        straightCurve({0.1, -1.2}, {0.5, 1.2}, QColor(240, 240, 240), QColor(20, 20, 30)));
    int compared = 0;
    const double worst = differenceFrom512Away(true, &compared);
    std::printf("1024 averaged to 512: worst %.0f/255 over %d pixels\n", worst, compared);
    EXPECT_LE(worst, 2.0);
    EXPECT_GT(compared, kSize * kSize / 2);
}

// The blur keeps the 512 picture's look at 1024: blurred regions agree within 2/255 too, and
// they are blurred (the sharp picture differs from them).
TEST_F(PictureSizeTest, BlurredPictureAt1024AveragedDownIsThe512Picture)
{
    drawing.addCurve(circleCurve({-0.3, 0.25}, 0.35, QColor(220, 60, 40), QColor(40, 90, 200)));
    drawing.addCurve(
        straightCurve({-0.9, -0.7}, {0.8, 0.1}, QColor(250, 230, 60), QColor(30, 140, 70), 12));
    int compared = 0;
    const double worst = differenceFrom512Away(true, &compared);
    std::printf("blurred, 1024 averaged to 512: worst %.0f/255 over %d pixels\n", worst, compared);
    EXPECT_LE(worst, 2.0);
    EXPECT_GT(compared, kSize * kSize / 2);

    const QImage blurred = render(2 * kSize, true);
    const QImage sharp = render(2 * kSize, false);
    // Beside the blurred line (at canvas x 0 it passes y = -0.7 + 0.8 * 0.9 / 1.7), beyond its
    // strip.
    const double lineY = -0.7 + 0.8 * 0.9 / 1.7;
    const int x = kSize, row = int((1.0 - (lineY + 0.06)) * 0.5 * 2 * kSize);
    const QRgb a = blurred.pixel(x, row), b = sharp.pixel(x, row);
    EXPECT_GT(std::abs(qGreen(a) - qGreen(b)) + std::abs(qRed(a) - qRed(b)), 20)
        << "the blurred line must be softened at 1024";
}

// The export's cycle count holds at larger sizes too: on a drawing of 30 long random curves
// that cut the canvas into pockets of every size (the slowest to converge), solving at 1024
// with many more cycles changes no pixel by more than one 8-bit step.
TEST_F(PictureSizeTest, ExportCyclesSufficeAt1024)
{
    for (const Curve& curve : randomCurves(30, 7u))
        drawing.addCurve(curve);
    PictureRequest request;
    request.size = 1024;
    request.encoding.dither = false;
    const QImage exported = solver->renderImage(request);
    request.cycles = 3 * DiffusionSolver::kExportCycles;
    const QImage converged = solver->renderImage(request);
    ASSERT_EQ(exported.size(), QSize(1024, 1024));
    ASSERT_EQ(converged.size(), exported.size());
    int worst = 0;
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1024; ++x) {
            const QRgb a = exported.pixel(x, y), b = converged.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    std::printf("30 random curves at 1024: %d against %d cycles, worst %d/255\n",
                DiffusionSolver::kExportCycles, request.cycles, worst);
    EXPECT_LE(worst, 1);
}

// saveImage at a size writes that size and leaves the view as it was; sizes out of range fail
// with their reason and write nothing.
TEST_F(PictureSizeTest, SaveImageAtASizeKeepsTheViewAndRefusesSizesOutOfRange)
{
    drawing.addCurve(straightCurve({-1.2, 0.0}, {1.2, 0.0}, kRed, kBlue));
    solver->setView(View{2.0, Point(0.2, 0.0)});
    solver->settings().iterations = 5;
    solver->settings().blurEnabled = false;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("wide.png");
    QString why;
    ASSERT_TRUE(solver->saveImage(path, 700, &why)) << why.toStdString();
    EXPECT_EQ(solver->currentView().zoom, 2.0);
    EXPECT_EQ(solver->currentView().pan.x, 0.2);
    EXPECT_EQ(solver->settings().iterations, 5);
    EXPECT_FALSE(solver->settings().blurEnabled);
    const QImage image(path);
    ASSERT_EQ(image.size(), QSize(700, 700));
    // Row 0 is the top of the canvas: the curve's left (upper) side.
    EXPECT_LE(byteDistance(image, 350, 40, bytesOf(kRed)), 1.0);
    EXPECT_LE(byteDistance(image, 350, 660, bytesOf(kBlue)), 1.0);

    for (int size : {15, 8193, 0, -512}) {
        why.clear();
        const QString refused = dir.filePath(QStringLiteral("refused%1.png").arg(size));
        EXPECT_FALSE(solver->saveImage(refused, size, &why)) << size;
        EXPECT_TRUE(why.contains(QStringLiteral("16 to 8192"))) << why.toStdString();
        EXPECT_FALSE(QFileInfo::exists(refused));
    }
    // The smallest size works too, with an odd pyramid.
    EXPECT_EQ(render(DiffusionSolver::kMinPictureSize).size(), QSize(16, 16));
    EXPECT_EQ(render(37).size(), QSize(37, 37));
}

// The editor's own size goes through the interactive solver: the same picture saveImage writes.
TEST_F(PictureSizeTest, PictureAt512IsWhatSaveImageWrites)
{
    drawing.addCurve(circleCurve({0.1, 0.0}, 0.4, kRed, kBlue));
    drawing.addCurve(straightCurve({-0.8, -0.9}, {-0.6, 0.9}, kYellow, kRed, 6));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    solver->settings().exportEncoding = {8, false};
    ASSERT_TRUE(solver->saveImage(dir.filePath("own.png")));
    const QImage saved(dir.filePath("own.png"));
    const QImage rendered = render(kSize);
    ASSERT_EQ(saved.size(), rendered.size());
    int worst = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const QRgb a = saved.pixel(x, y), b = rendered.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_EQ(worst, 0);
}

} // namespace
} // namespace solvertest
