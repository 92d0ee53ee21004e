#include "test_solver_support.h"

#include "blur_pass.h"
#include "curve_transforms.h"
#include "multigrid.h"

#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>

namespace solvertest {
namespace {

const QColor kRed(200, 40, 40);
const QColor kBlue(30, 60, 200);
const QColor kYellow(230, 210, 40);

// ---- pyramid and settings

TEST_F(SolverTest, A512CanvasHasSixLevelsOfHalvingSize)
{
    EXPECT_EQ(solver->images().levelCount(), 6);
    const int expected[] = {512, 256, 128, 64, 32, 16, 8};
    for (int L = 0; L <= 6; ++L) {
        EXPECT_EQ(solver->images().levelWidthOf(L), expected[L]);
        EXPECT_EQ(solver->images().levelHeightOf(L), expected[L]);
    }
    DiffusionSolver small(256, 256, 3, 1.0, 0.0, 0.0);
    ASSERT_TRUE(small.initialize());
    EXPECT_EQ(small.images().levelCount(), 5);
}

TEST_F(SolverTest, IterationAndDisplayLevelStepsStopAtTheirBounds)
{
    solver->settings().iterations = 20;
    EXPECT_EQ(moreIterations(solver->settings()), 20);
    solver->settings().iterations = 1;
    EXPECT_EQ(fewerIterations(solver->settings()), 1);
    EXPECT_EQ(moreIterations(solver->settings()), 2);
    for (int i = 0; i < 10; ++i)
        solver->display().coarserLevel();
    EXPECT_EQ(solver->display().level(), 5);
    for (int i = 0; i < 10; ++i)
        solver->display().finerLevel();
    EXPECT_EQ(solver->display().level(), 0);
}

// ---- oracles on small drawings

TEST_F(SolverTest, NoCurvesGiveUniformGreyAndNoConstraint)
{
    solver->update();
    const Picture colors = picture();
    const Picture constraints = picture(SolverImage::ColorConstraints);
    double worst = 0.0;
    int constrained = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            worst = std::max(worst, colors.distance(x, y, {0.5, 0.5, 0.5}));
            constrained += constraints.alpha(x, y) > 0.0f ? 1 : 0;
        }
    }
    EXPECT_LT(worst, 1e-3);
    EXPECT_EQ(constrained, 0);
    EXPECT_EQ(solver->display().colorAt(0.5, 0.5), QColor(127, 127, 127, 255));
}

int pixelsOtherThan(const QImage& image, const QColor& colour)
{
    int others = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            others += image.pixelColor(x, y) != colour;
    return others;
}

// A drawing of one colour must come out as exactly that colour: in the solution, where rounding
// noise far from the curves would otherwise grow through the cycles, on screen, where the
// dither would turn any of it into specks one level off, and in an export, which settles on
// its own.
TEST_F(SolverTest, DrawingOfOneColourGivesExactlyThatColourEverywhere)
{
    const QColor blue(0, 0, 230);
    drawing.addCurve(straightCurve({-0.9, 0.1}, {0.8, -0.2}, blue, blue));
    solver->fullUpdate();
    const Picture colors = picture();
    double worst = 0.0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            worst = std::max(worst, colors.distance(x, y, rgbOf(blue)));
    EXPECT_LT(worst, 1e-6);
    const QTemporaryDir dir;
    const QString path = dir.filePath("flat.png");
    ASSERT_TRUE(solver->savePicture(path));
    EXPECT_EQ(pixelsOtherThan(QImage(path), blue), 0) << "shown";

    PictureRequest request;
    request.blur = false;
    const QImage exported = solver->renderImage(request);
    ASSERT_EQ(exported.width(), kSize);
    EXPECT_EQ(pixelsOtherThan(exported, blue), 0) << "exported";

    // Other sizes are solved by the export's own solver, from its own constraint image.
    request.size = 300;
    const QImage resized = solver->renderImage(request);
    ASSERT_EQ(resized.width(), 300);
    EXPECT_EQ(pixelsOtherThan(resized, blue), 0) << "exported at 300 px";

    // At 16 bits the exact 8-bit colour is 230 * 257.
    request.encoding.depth = 16;
    const QImage deep = solver->renderImage(request);
    ASSERT_EQ(deep.width(), 300);
    int off = 0;
    for (int y = 0; y < deep.height(); ++y)
        for (int x = 0; x < deep.width(); ++x)
            off += deep.pixelColor(x, y).rgba64() != blue.rgba64();
    EXPECT_EQ(off, 0) << "exported at 300 px, 16 bits";
}

// The quick update settles: after a pixel's move of one curve its fixed cycles leave the
// picture settled and it stops there; a long jump of a curve leaves it unsettled, and it adds
// cycles until it settles.
TEST_F(SolverTest, QuickUpdateAddsCyclesOnlyUntilThePictureSettles)
{
    int cycles = 0; // each cycle restricts its residual once
    setMultigridPhaseHook([&cycles](const char* phase) {
        cycles += std::strcmp(phase, "level 0 residual and restriction") == 0;
    });
    drawing.addCurve(circleCurve({0.0, 0.0}, 0.5, kRed, kBlue));
    solver->fullUpdate();
    Curve& moved = drawing.curves[0];
    moved.setDragAnchor(0.0, 0.0);
    translateTo(moved, 2.0 / kSize, 0.0);
    cycles = 0;
    solver->update();
    EXPECT_EQ(cycles, DiffusionSolver::kReSolveCycles) << "a pixel's move";

    moved.setDragAnchor(0.0, 0.0);
    translateTo(moved, -0.4, 0.3);
    cycles = 0;
    solver->update();
    EXPECT_GT(cycles, DiffusionSolver::kReSolveCycles) << "a long jump";
    EXPECT_LE(cycles, DiffusionSolver::kReSolveCycles + DiffusionSolver::kReSolveSettleCycles);
    setMultigridPhaseHook({});
}

// Worst distance from the inside colour within the circle and from the outside colour beyond
// it, at pixels more than 4 pixels from the curve.
void closedCurveErrors(const Picture& colors, double* inside, double* outside)
{
    const double margin = 4.0 * 2.0 / kSize;
    *inside = *outside = 0.0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double r = std::hypot(centreOf(x), centreOf(y));
            if (r < 0.5 - margin)
                *inside = std::max(*inside, colors.distance(x, y, rgbOf(kRed)));
            else if (r > 0.5 + margin)
                *outside = std::max(*outside, colors.distance(x, y, rgbOf(kBlue)));
        }
    }
}

// One colour inside, one outside: the picture the editor shows after the edit is exactly those
// colours (within 1/255 beyond 4 pixels from the curve), and so is the exported one.
TEST_F(SolverTest, ClosedCurveGivesUniformInsideAndOutside)
{
    drawing.addCurve(circleCurve({0.0, 0.0}, 0.5, kRed, kBlue));
    double inside, outside;
    solver->fullUpdate();
    closedCurveErrors(picture(), &inside, &outside);
    std::printf("closed curve after an edit: worst inside %.5f, outside %.5f\n", inside, outside);
    EXPECT_LE(inside, 1.0 / 255.0);
    EXPECT_LE(outside, 1.0 / 255.0);

    solver->renderFinalPicture();
    closedCurveErrors(picture(), &inside, &outside);
    std::printf("closed curve exported: worst inside %.5f, outside %.5f\n", inside, outside);
    EXPECT_LE(inside, 1.0 / 255.0);
    EXPECT_LE(outside, 1.0 / 255.0);
}

// Two vertical curves spanning the canvas, the left one with red on its right side, the right
// one with blue on its left side: between their strips the picture is the straight ramp from
// red to blue, identical on every row.
class ParallelCurvesTest : public SolverTest {
protected:
    void SetUp() override
    {
        SolverTest::SetUp();
        if (HasFatalFailure())
            return;
        // Upwards: the left normal points to -x, so the right side faces +x.
        drawing.addCurve(straightCurve({-0.5, -1.2}, {-0.5, 1.2}, kYellow, kRed));
        drawing.addCurve(straightCurve({0.5, -1.2}, {0.5, 1.2}, kBlue, kYellow));
    }

    // Largest distance from the best straight line through each row of the free band, and the
    // colours at the band's ends.
    double rampError(const Picture& colors, Rgb* leftEnd, Rgb* rightEnd) const
    {
        // The strips reach 2.5 pixels beyond each curve; free columns lie between.
        const int x0 = pixelOf(-0.5) + 7;
        const int x1 = pixelOf(0.5) - 7;
        double worst = 0.0;
        for (int y = 8; y < kSize - 8; y += 8) {
            const Rgb a = colors.rgb(x0, y);
            const Rgb b = colors.rgb(x1, y);
            for (int x = x0; x <= x1; ++x) {
                const double w = double(x - x0) / (x1 - x0);
                Rgb line;
                for (int c = 0; c < 3; ++c)
                    line[c] = a[c] + w * (b[c] - a[c]);
                worst = std::max(worst, colors.distance(x, y, line));
            }
        }
        *leftEnd = colors.rgb(x0, kSize / 2);
        *rightEnd = colors.rgb(x1, kSize / 2);
        return worst;
    }
};

TEST_F(ParallelCurvesTest, PictureBetweenThemIsALinearRamp)
{
    solver->fullUpdate();
    Rgb left, right;
    const double error = rampError(picture(), &left, &right);
    std::printf("ramp after an edit: worst distance from the line %.5f\n", error);
    EXPECT_LE(error, 1.0 / 255.0);
    // The band's ends lie a few pixels inside a 256-pixel gap between the two colours.
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(left[c], rgbOf(kRed)[c], 0.05);
        EXPECT_NEAR(right[c], rgbOf(kBlue)[c], 0.05);
    }
}

// A drag moves one curve pixel by pixel; every quick update starts from the picture before and
// must still give the ramp of the new position.
TEST_F(ParallelCurvesTest, PictureDuringADragIsTheRamp)
{
    solver->fullUpdate();
    Curve& moved = drawing.curves[1];
    moved.setDragAnchor(0.0, 0.0);
    for (int step = 1; step <= 4; ++step) {
        translateTo(moved, -step * 2.0 / kSize, 0.0);
        solver->update();
    }
    translateTo(moved, 0.0, 0.0); // back where the band's ends are measured
    solver->update();
    Rgb left, right;
    const double error = rampError(picture(), &left, &right);
    std::printf("ramp during a drag: worst distance from the line %.5f\n", error);
    EXPECT_LE(error, 1.0 / 255.0);
}

// Across a curve the colour must step from the right colour to the left one. The divergence the
// Poisson step uses must be the discrete Laplacian of that step: with the curve's pixel c
// midway, +(R - L)/2 at c - 1 and -(R - L)/2 at c + 1 for a curve whose left side is -x.
TEST_F(SolverTest, DivergenceIsTheLaplacianOfTheStepFromRightToLeftColour)
{
    drawing.addCurve(straightCurve({0.01, -1.2}, {0.01, 1.2}, kBlue, kRed)); // left side is -x
    solver->rasteriser().buildDivergencePyramid(solver->currentView());
    const Picture gx = picture(SolverImage::GradientX);
    const Picture div = picture(SolverImage::Divergence);
    const int y = kSize / 2;
    int c = -1;
    for (int x = 0; x < kSize; ++x)
        if (gx.channel(x, y, 0) != 0.5f)
            c = c < 0 ? x : -2; // exactly one column holds the curve
    ASSERT_GE(c, 1) << "the gradient line should be one pixel wide";
    for (int ch = 0; ch < 3; ++ch) {
        const double step = rgbOf(kRed)[ch] - rgbOf(kBlue)[ch]; // R - L
        EXPECT_NEAR(div.channel(c - 1, y, ch), step / 2, 2e-3) << ch;
        EXPECT_NEAR(div.channel(c + 1, y, ch), -step / 2, 2e-3) << ch;
        EXPECT_NEAR(div.channel(c, y, ch), 0.0, 1e-3) << ch;
        EXPECT_NEAR(div.channel(c - 3, y, ch), 0.0, 1e-6) << ch;
    }
}

TEST_F(SolverTest, CrossingCurvesLeaveTheirIntersectionUnconstrained)
{
    drawing.addCurve(straightCurve({-0.8, 0.0}, {0.8, 0.0}, kRed, kBlue));
    drawing.addCurve(straightCurve({0.0, -0.8}, {0.0, 0.8}, kYellow, kBlue));
    solver->update();
    const Picture constraints = picture(SolverImage::ColorConstraints);
    const int c = pixelOf(0.0);
    for (int dy = -2; dy <= 1; ++dy)
        for (int dx = -2; dx <= 1; ++dx)
            EXPECT_EQ(constraints.alpha(c + dx, c + dy), 0.0f) << dx << ", " << dy;
    // Away from the crossing each strip is constrained on both sides.
    // Away from the crossing each strip (2.5 pixels each side) is constrained on both sides.
    EXPECT_GT(constraints.alpha(pixelOf(0.5), c + 1), 0.1f);
    EXPECT_GT(constraints.alpha(pixelOf(0.5), c - 2), 0.1f);
    EXPECT_GT(constraints.alpha(c + 1, pixelOf(-0.5)), 0.1f);
    EXPECT_GT(constraints.alpha(c - 2, pixelOf(-0.5)), 0.1f);
}

TEST_F(SolverTest, CurveBelowTheLifetimeThresholdAddsNothing)
{
    Curve young = straightCurve({-0.8, 0.0}, {0.8, 0.2}, kRed, kBlue, 8);
    young.lifetime = 2;
    drawing.addCurve(young);
    setLifetimeThreshold(3);
    solver->update();
    solver->solveBlur();
    setLifetimeThreshold(0);
    for (SolverImage image : {SolverImage::ColorConstraints, SolverImage::BlurConstraints}) {
        const Picture p = picture(image);
        EXPECT_EQ(*std::max_element(p.pixels.begin(), p.pixels.end()), 0.0f);
    }
    for (SolverImage image : {SolverImage::GradientX, SolverImage::GradientY}) {
        const Picture p = picture(image);
        const auto [lo, hi] = std::minmax_element(p.pixels.begin(), p.pixels.end());
        EXPECT_EQ(*lo, 0.5f);
        EXPECT_EQ(*hi, 0.5f); // every channel, the opacity's included: no jump anywhere
    }
}

TEST_F(SolverTest, DegenerateCurvesRenderWithoutFaults)
{
    Curve short3;
    short3.appendControlPoint(0.0, 0.0);
    short3.appendControlPoint(0.1, 0.1);
    short3.appendControlPoint(0.2, 0.0);
    Curve colourless;
    for (int i = 0; i < 4; ++i)
        colourless.appendControlPoint(-0.5 + 0.3 * i, 0.3);
    Curve dot;
    for (int i = 0; i < 4; ++i)
        dot.appendControlPoint(0.1, -0.4); // zero length
    dot.appendLeftColor(0, false, kRed);
    dot.appendRightColor(0, false, kBlue);
    drawing.addCurve(Curve());
    drawing.addCurve(short3);
    drawing.addCurve(colourless);
    drawing.addCurve(dot);
    solver->settings().blurEnabled = true;
    solver->fullUpdate();
    const Picture colors = picture();
    for (float v : colors.pixels)
        ASSERT_TRUE(std::isfinite(v));
}

// ---- blur

TEST(BlurPassLevels, FallFromJustBelowOneToOneSixteenthIn255Cycles)
{
    const std::vector<float> levels = blurPassLevels();
    ASSERT_EQ(levels.size(), 255u);
    EXPECT_NEAR(levels.front(), 0.998045f, 1e-6f);
    EXPECT_NEAR(levels.back(), 0.0624948f, 1e-6f);
    EXPECT_TRUE(std::is_sorted(levels.rbegin(), levels.rend()));
    EXPECT_GT(levels.back(), 0.0f);
}

TEST_F(SolverTest, BlurMapBetweenCurvesOfEqualBlurIsThatBlur)
{
    drawing.addCurve(straightCurve({-0.5, -1.2}, {-0.5, 1.2}, kRed, kBlue, 8));
    drawing.addCurve(straightCurve({0.5, -1.2}, {0.5, 1.2}, kRed, kBlue, 8));
    solver->rasteriser().buildBlurConstraints(solver->currentView());
    solver->solveBlur();
    const Picture blur = picture(SolverImage::BlurSolution);
    for (int y = 0; y < kSize; y += 32)
        for (int x = pixelOf(-0.45); x < pixelOf(0.45); x += 16)
            EXPECT_NEAR(blur.channel(x, y, 0), 0.5, 0.01) << x << ", " << y;

    // The editor's path: with the blur off, fullUpdate leaves strips and map for the display.
    for (Curve& curve : drawing.curves)
        setUniformBlur(curve, 4);
    solver->fullUpdate();
    solver->prepareDisplay(DisplayMode::BlurMap);
    const Picture shown = picture(SolverImage::BlurSolution);
    for (int y = 0; y < kSize; y += 32)
        EXPECT_NEAR(shown.channel(kSize / 2, y, 0), 0.25, 0.01) << y;
}

TEST_F(SolverTest, BlurOffLeavesThePictureAsSolvedAndBlurOnSoftensIt)
{
    drawing.addCurve(straightCurve({0.0, -1.2}, {0.0, 1.2}, kRed, kBlue, 16));
    solver->update();
    const Picture solved = picture();

    solver->settings().blurEnabled = false;
    solver->fullUpdate();
    EXPECT_EQ(picture().pixels, solved.pixels);

    solver->settings().blurEnabled = true;
    solver->fullUpdate();
    const Picture blurred = picture();
    // Across the curve the solved picture jumps within a pixel; blurred, the jump spreads out.
    const int xc = pixelOf(0.0), y = kSize / 2;
    const double solvedStep = std::abs(solved.channel(xc + 1, y, 0) - solved.channel(xc - 2, y, 0));
    const double blurredStep =
        std::abs(blurred.channel(xc + 1, y, 0) - blurred.channel(xc - 2, y, 0));
    EXPECT_GT(solvedStep, 0.5);
    EXPECT_LT(blurredStep, 0.5 * solvedStep);
    // Far from the curve the picture is smooth already and barely changes.
    for (double x : {-0.9, 0.9})
        EXPECT_LT(blurred.distance(pixelOf(x), y, solved.rgb(pixelOf(x), y)), 0.02) << x;
}

// ---- zoom

// At zoom 2 the window shows canvas x in [-0.5 - panX, 0.5 - panX]; each window pixel must
// agree with the full-canvas solve at the same canvas point.
TEST_F(SolverTest, ZoomedWindowAgreesWithTheFullCanvasSolve)
{
    drawing.addCurve(circleCurve({0.1, -0.05}, 0.35, kRed, kBlue));
    drawing.addCurve(straightCurve({-0.9, 0.6}, {0.9, -0.7}, kYellow, kBlue));
    solver->update();
    const Picture full = picture();

    const double zoom = 2.0, panX = 0.2, panY = -0.1;
    solver->setView(View{zoom, Point(panX, panY)});
    solver->update();
    const Picture zoomed = picture();

    std::vector<double> distances;
    for (int y = 0; y < kSize; y += 4) {
        for (int x = 0; x < kSize; x += 4) {
            // Canvas point of this window pixel, then the full-canvas pixel that holds it.
            const double cx = centreOf(x) / zoom - panX;
            const double cy = centreOf(y) / zoom - panY;
            distances.push_back(zoomed.distance(x, y, full.rgb(pixelOf(cx), pixelOf(cy))));
        }
    }
    std::sort(distances.begin(), distances.end());
    double sum = 0.0;
    for (double d : distances)
        sum += d;
    const double mean = sum / distances.size();
    const double p95 = distances[distances.size() * 95 / 100];
    std::printf("zoom 2 against full canvas: mean %.4f, 95th percentile %.4f, worst %.4f\n", mean,
                p95, distances.back());
    // The worst pixels lie on the curves, whose strips are twice as wide in window pixels.
    EXPECT_LT(mean, 0.015);
    EXPECT_LT(p95, 0.04);
}

TEST_F(SolverTest, ZoomedSolveHoldsTheWindowEdgeToTheFullCanvasColours)
{
    drawing.addCurve(straightCurve({-0.9, -1.2}, {-0.9, 1.2}, kRed, kBlue)); // outside the window
    drawing.addCurve(straightCurve({0.9, -1.2}, {0.9, 1.2}, kYellow, kRed));
    solver->setView(View{4.0, Point()});
    solver->update();
    const Picture constraints = picture(SolverImage::ColorConstraints);
    // The ring: every edge pixel is constrained, the inside is free.
    for (int i = 0; i < kSize; i += 8) {
        EXPECT_GT(constraints.alpha(i, 0), 0.1f);
        EXPECT_GT(constraints.alpha(i, kSize - 1), 0.1f);
        EXPECT_GT(constraints.alpha(0, i), 0.1f);
        EXPECT_GT(constraints.alpha(kSize - 1, i), 0.1f);
        EXPECT_EQ(constraints.alpha(i, kSize / 2), i == 0 ? constraints.alpha(0, kSize / 2) : 0.0f);
    }
}

TEST_F(SolverTest, NoBorderRingAtZoomOne)
{
    solver->update();
    const Picture constraints = picture(SolverImage::ColorConstraints);
    EXPECT_EQ(constraints.alpha(0, 0), 0.0f);
    EXPECT_EQ(constraints.alpha(kSize - 1, kSize / 2), 0.0f);
}

} // namespace
} // namespace solvertest
