// The quality of the picture: anti-aliased colour edges (each pixel the centre line cuts holds
// its exact area coverage), 16-bit output, dithered 8-bit output without bands, and diffusion in
// linear light and OKLab.
#include "test_solver_support.h"
#include "child_program.h"
#include "curve_set_xml.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>

namespace solvertest {
namespace {

// Area of the pixel square [x0, x1] x [y0, y1] on the left of the directed line through p with
// direction d, as a fraction of the square: the square clipped by the half-plane.
double leftCoverage(double x0, double y0, double x1, double y1, Point p, Point d)
{
    const Point n(-d.y, d.x);
    auto side = [&](const Point& q) { return n.x * (q.x - p.x) + n.y * (q.y - p.y); };
    const Point square[4] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    std::vector<Point> kept;
    for (int i = 0; i < 4; ++i) {
        const Point& a = square[i];
        const Point& b = square[(i + 1) % 4];
        const double sa = side(a), sb = side(b);
        if (sa >= 0.0)
            kept.push_back(a);
        if ((sa >= 0.0) != (sb >= 0.0)) {
            const double t = sa / (sa - sb);
            kept.emplace_back(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
        }
    }
    double area = 0.0;
    for (size_t i = 0; i < kept.size(); ++i) {
        const Point& a = kept[i];
        const Point& b = kept[(i + 1) % kept.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return std::abs(area) * 0.5 / ((x1 - x0) * (y1 - y0));
}

// Channel c of pixel (x, row) in 0..1, for 8- and 16-bit pictures alike.
double valueAt(const QImage& image, int x, int row, int c)
{
    const QColor p = image.pixelColor(x, row);
    return c == 0 ? p.redF() : (c == 1 ? p.greenF() : p.blueF());
}

class PictureQualityTest : public SolverTest {
protected:
    QImage render(int size, PictureEncoding encoding, int cycles = DiffusionSolver::kExportCycles)
    {
        PictureRequest request;
        request.size = size;
        request.cycles = cycles;
        request.blur = false;
        request.encoding = encoding;
        QString why;
        const QImage image = solver->renderImage(request, &why);
        EXPECT_EQ(image.size(), QSize(size, size)) << why.toStdString();
        return image;
    }

    // Renders a long straight curve through p with direction d, white on its left and black on
    // its right, and checks every pixel the line cuts against its exact coverage.
    void expectCoverage(Point p, Point d, int size)
    {
        drawing.clear();
        drawing.addCurve(straightCurve({p.x - 1.6 * d.x, p.y - 1.6 * d.y},
                                       {p.x + 1.6 * d.x, p.y + 1.6 * d.y}, Qt::white, Qt::black));
        // Constrained pixels hold their colours whatever the solve does: two cycles suffice.
        const QImage image = render(size, {8, false}, 2);
        ASSERT_FALSE(image.isNull());
        const double pixel = 2.0 / size;
        int cut = 0;
        double worst = 0.0;
        for (int row = 0; row < size; ++row)
            for (int x = 0; x < size; ++x) {
                const double x0 = x * pixel - 1.0, y1 = 1.0 - row * pixel;
                const double coverage = leftCoverage(x0, y1 - pixel, x0 + pixel, y1, p, d);
                if (coverage < 1e-6 || coverage > 1.0 - 1e-6)
                    continue;
                ++cut;
                worst = std::max(worst, std::abs(valueAt(image, x, row, 0) - coverage));
            }
        std::printf("%d pixels cut at %d, worst coverage error %.3f\n", cut, size, worst);
        EXPECT_GE(cut, size);
        EXPECT_LE(worst, 0.1);
    }
};

TEST_F(PictureQualityTest, EdgePixelsHoldTheirAreaCoverageAt512And2048)
{
    const double angle = 30.0 * M_PI / 180.0;
    const Point slanted(std::cos(angle), std::sin(angle));
    for (int size : {kSize, 4 * kSize}) {
        SCOPED_TRACE(size);
        expectCoverage({0.0123, -0.0311}, slanted, size);
        // Horizontal, a third of a (512) pixel above a pixel boundary.
        expectCoverage({0.0, 2.0 / (3.0 * kSize)}, {1.0, 0.0}, size);
    }
}

// Two parallel vertical curves, `from` on both sides of the left one and `to` on both sides of
// the right one: the exact picture is the straight ramp between the last column of the
// left strip and the first column of the right one.
struct Ramp {
    int last = 0;  // last column of the left strip
    int first = 0; // first column of the right strip
};

Ramp parallelCurves(CurveSet& drawing, const QColor& from, const QColor& to, int size)
{
    // A third of a pixel off the pixel grid, so that no strip edge meets a pixel centre.
    const double c = 0.5 - 0.3 / kSize;
    drawing.clear();
    drawing.addCurve(straightCurve({-c, -1.2}, {-c, 1.2}, from, from));
    drawing.addCurve(straightCurve({c, -1.2}, {c, 1.2}, to, to));
    const double halfWidth = 5.0 / kSize; // the strips' half-width in canvas units
    Ramp ramp;
    for (int x = 0; x < size; ++x) {
        const double centre = (x + 0.5) * 2.0 / size - 1.0;
        if (centre < -c + halfWidth)
            ramp.last = x;
        if (centre > c - halfWidth && ramp.first == 0)
            ramp.first = x;
    }
    return ramp;
}

TEST_F(PictureQualityTest, RampAt16BitsIsLinearTo1Over1024)
{
    const QColor from(200, 40, 40), to(30, 60, 200);
    for (int size : {kSize, 2 * kSize}) {
        const Ramp ramp = parallelCurves(drawing, from, to, size);
        const QImage image = render(size, {16, false});
        ASSERT_EQ(image.format(), QImage::Format_RGBA64);
        const Rgb a = rgbOf(from), b = rgbOf(to);
        double worst = 0.0;
        for (int row = 8; row < size - 8; row += 37)
            for (int x = ramp.last; x <= ramp.first; ++x) {
                const double w = double(x - ramp.last) / (ramp.first - ramp.last);
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::abs(valueAt(image, x, row, c)
                                                     - (a[c] + w * (b[c] - a[c]))));
            }
        std::printf("16-bit ramp at %d: worst %.5f (%.2f/1024)\n", size, worst, worst * 1024);
        EXPECT_LE(worst, 1.0 / 1024.0) << size;
    }
}

// A slow ramp (20 levels over some 250 pixels) in 8 bits: rounded, every level is a band and
// 8 x 8 blocks are off by a fifth of a level or more; dithered, every block averages to the
// exact ramp.
TEST_F(PictureQualityTest, DitheredRampHasEveryBlockMeanOnTheExactRamp)
{
    const Ramp ramp = parallelCurves(drawing, QColor(100, 110, 120), QColor(120, 130, 140), kSize);
    const QImage exact = render(kSize, {16, false});
    const QImage dithered = render(kSize, {8, true});
    const QImage rounded = render(kSize, {8, false});
    double worstDithered = 0.0, worstRounded = 0.0;
    int blocks = 0;
    for (int bx = (ramp.last / 8 + 1) * 8; bx + 8 <= ramp.first; bx += 8)
        for (int by = 0; by < kSize; by += 8)
            for (int c = 0; c < 3; ++c) {
                double sumExact = 0.0, sumDithered = 0.0, sumRounded = 0.0;
                for (int y = by; y < by + 8; ++y)
                    for (int x = bx; x < bx + 8; ++x) {
                        sumExact += valueAt(exact, x, y, c);
                        sumDithered += valueAt(dithered, x, y, c);
                        sumRounded += valueAt(rounded, x, y, c);
                    }
                worstDithered = std::max(worstDithered, std::abs(sumDithered - sumExact) / 64.0);
                worstRounded = std::max(worstRounded, std::abs(sumRounded - sumExact) / 64.0);
                ++blocks;
            }
    std::printf("%d block means: dithered worst %.3f/255, rounded worst %.3f/255\n", blocks,
                worstDithered * 255, worstRounded * 255);
    EXPECT_GT(blocks, 1000);
    EXPECT_LE(worstDithered, 0.15 / 255.0);
    EXPECT_GT(worstRounded, 0.15 / 255.0); // the bands dithering removes
}

// Red meets green halfway between two curves: in sRGB values at (127.5, 127.5, 0), in linear
// light at the linear average (187.5, 187.5, 0), in OKLab at the OKLab average (208.2, 168.4,
// 0.5). The picture, the colour picked from it and the colour sampled from the overview agree.
TEST_F(PictureQualityTest, RedGreenMidpointFollowsTheColourSpace)
{
    struct Case {
        ColourSpace space;
        Rgb midpoint;
        double tolerance;
    };
    const Case cases[] = {{ColourSpace::Srgb, {127.5, 127.5, 0.0}, 1.0},
                          {ColourSpace::Linear, {187.5, 187.5, 0.0}, 1.0},
                          {ColourSpace::Oklab, {208.2, 168.4, 0.45}, 2.0}};
    for (const Case& test : cases) {
        SCOPED_TRACE(colourSpaceName(test.space).toStdString());
        parallelCurves(drawing, Qt::red, Qt::green, kSize);
        drawing.colour_space = test.space;
        const QImage image = render(kSize, {8, false});
        solver->fullUpdate();
        const QColor picked = solver->display().colorAt(0.5, 0.5);
        for (int c = 0; c < 3; ++c) {
            const double mid = 127.5 * (valueAt(image, 255, 256, c) + valueAt(image, 256, 256, c));
            EXPECT_NEAR(mid, test.midpoint[c], test.tolerance) << "channel " << c;
            const int got = c == 0 ? picked.red() : (c == 1 ? picked.green() : picked.blue());
            EXPECT_NEAR(got, test.midpoint[c], test.tolerance + 1.0) << "picked channel " << c;
        }
    }
}

// tintweave-render beside the test: exit status of a run with `arguments` (-1: it hung).
int runRenderTool(const QStringList& arguments)
{
    return test_support::runProgram(QCoreApplication::applicationDirPath()
                                        + QStringLiteral("/../../tools/tintweave-render"),
                                    QStringList{QStringLiteral("--quiet")} + arguments)
        .status;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A drawing without "colour_space" renders, undithered, byte for byte as the same drawing in
// sRGB written out or asked for on the command line; --colour-space overrides the file's space;
// --depth 16 writes 16 bits per channel; bad values are refused.
TEST_F(PictureQualityTest, RenderToolTakesDepthDitherAndColourSpace)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    drawing.addCurve(circleCurve({0.1, 0.0}, 0.4, Qt::red, Qt::green));
    drawing.addCurve(straightCurve({-0.8, -0.9}, {-0.6, 0.9}, Qt::blue, Qt::yellow));
    const QString plain = dir.filePath("plain.xml"), linear = dir.filePath("linear.xml");
    ASSERT_TRUE(saveXml(drawing, plain));
    drawing.colour_space = ColourSpace::Linear;
    ASSERT_TRUE(saveXml(drawing, linear));
    QByteArray explicitSrgb = bytesOf(linear);
    explicitSrgb.replace("colour_space=\"linear\"", "colour_space=\"srgb\"");
    const QString srgb = dir.filePath("srgb.xml");
    QFile srgbFile(srgb);
    ASSERT_TRUE(srgbFile.open(QIODevice::WriteOnly));
    srgbFile.write(explicitSrgb);
    srgbFile.close();

    auto render = [&](const QString& xml, const QString& png, QStringList options) {
        EXPECT_EQ(runRenderTool(options << xml << dir.filePath(png)), 0) << png.toStdString();
        return bytesOf(dir.filePath(png));
    };
    const QString noDither = QStringLiteral("--no-dither");
    const QByteArray reference = render(plain, "plain.png", {noDither});
    ASSERT_FALSE(reference.isEmpty());
    EXPECT_EQ(render(srgb, "srgb.png", {noDither}), reference);
    EXPECT_EQ(render(linear, "forced.png", {noDither, "--colour-space", "srgb"}), reference);
    EXPECT_NE(render(linear, "linear.png", {noDither}), reference);
    EXPECT_NE(render(plain, "dithered.png", {}), reference);

    render(plain, "deep.png", {"--depth", "16"});
    EXPECT_EQ(QImage(dir.filePath("deep.png")).depth(), 64);
    EXPECT_EQ(QImage(dir.filePath("plain.png")).depth(), 32);
    const QString out = dir.filePath("refused.png");
    EXPECT_EQ(runRenderTool({"--depth", "12", plain, out}), 2);
    EXPECT_EQ(runRenderTool({"--colour-space", "cielab", plain, out}), 2);
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
} // namespace solvertest
