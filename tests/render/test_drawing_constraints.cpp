// Constraint images drawn into a float render target and read back: gradient lines, stencil
// guarded colour strips, blur strips and the lifetime threshold.
#include "shader_constants.h"
#include "test_drawing_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace drawingtest;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
// A gradient image without any jump: 0.5 in every channel, the opacity's included.
const Rgba kGrey{0.5f, 0.5f, 0.5f, 0.5f};
const Rgba kNothing{0.0f, 0.0f, 0.0f, 0.0f};

// Lines through pixel centres: row / column 256 and the pixel of canvas 0.5 further on.
const double kMid = centreOf(256);

// Walking +x at the height of row 256: the left side (normal) is up.
Curve horizontal(const QColor& left = kRed, const QColor& right = kBlue, int blur = 0)
{
    return straightCurve({-0.5, kMid}, {0.5, kMid}, left, right, blur);
}

// Walking +y along column 256: the left side (normal) is -x.
Curve vertical(const QColor& left = kRed, const QColor& right = kBlue)
{
    return straightCurve({kMid, -0.5}, {kMid, 0.5}, left, right);
}

void expectRgba(const Rgba& got, const Rgba& want, float tolerance, const char* what)
{
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(got[k], want[k], tolerance) << what << ", channel " << k;
}

} // namespace

class GradientLines : public DrawingTest {};

TEST_F(GradientLines, EncodeTheColourJumpAcrossTheCurveAlongEachAxis)
{
    const QColor left(200, 100, 0), right(0, 100, 255);
    const CurveSet set = setOf({vertical(left, right)});

    // Vertical curve, normal (-1, 0): x gradient 0.5 - 0.5 (L - R) / 255, y gradient zero.
    canvas->clear(0.5f, 0.5f, 0.5f, 0.5f);
    drawGradientsX(set);
    const Rgba onCurve = canvas->pixel(256, 300);
    expectRgba(onCurve,
               {float(0.5 - 0.5 * 200 / 255.0), 0.5f, float(0.5 + 0.5 * 255 / 255.0), 0.5f}, 1e-4f,
               "x gradient on the curve");
    expectRgba(canvas->pixel(260, 300), kGrey, 0.0f, "x gradient beside the curve");

    canvas->clear(0.5f, 0.5f, 0.5f, 0.5f);
    drawGradientsY(set);
    EXPECT_EQ(canvas->countDifferent(kGrey), 0) << "a vertical curve has no y gradient";

    // Horizontal curve, normal (0, 1): y gradient 0.5 + 0.5 (L - R) / 255.
    canvas->clear(0.5f, 0.5f, 0.5f, 0.5f);
    drawGradientsY(setOf({horizontal(left, right)}));
    expectRgba(canvas->pixel(300, 256), {float(0.5 + 0.5 * 200 / 255.0), 0.5f, 0.0f, 0.5f}, 1e-4f,
               "y gradient on the curve");

    // Opaque on the left, clear on the right: the premultiplied colours jump from (200, 100, 0)
    // to nothing, the encoded opacity from 1 to kOpacityFloor.
    canvas->clear(0.5f, 0.5f, 0.5f, 0.5f);
    drawGradientsX(setOf({vertical(left, QColor(0, 100, 255, 0))}));
    expectRgba(canvas->pixel(256, 300),
               {float(0.5 - 0.5 * 200 / 255.0), float(0.5 - 0.5 * 100 / 255.0), 0.5f,
                float(0.5 - 0.5 * (1.0 - kOpacityFloor))},
               1e-4f, "x gradient of a fading side");
}

class ColorConstraints : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        ASSERT_TRUE(colorConstraintsProgram().isCreated()
                    && colorConstraintsProgram().log().isEmpty())
            << "colour-constraints program: " << colorConstraintsProgram().log().constData();
    }
};

TEST_F(ColorConstraints, StripWritesTheLeftColourOnTheLeftAndTheRightColourOnTheRight)
{
    drawColorConstraints(setOf({horizontal(kRed, kBlue)}));
    // Half-width 5 pixelSize = 2.5 pixels about row 256.5: rows 254 .. 258 are covered.
    const Rgba left = canvas->pixel(300, 258);
    const Rgba right = canvas->pixel(300, 254);
    EXPECT_NEAR(left[0], 1.0f, 1e-3f);
    EXPECT_NEAR(left[2], 0.0f, 1e-3f);
    EXPECT_GT(left[3], 0.1f);
    EXPECT_NEAR(right[0], 0.0f, 1e-3f);
    EXPECT_NEAR(right[2], 1.0f, 1e-3f);
    EXPECT_GT(right[3], 0.1f);
    // Outside the strip nothing is constrained.
    expectRgba(canvas->pixel(300, 262), kNothing, 0.0f, "above the strip");
    expectRgba(canvas->pixel(300, 250), kNothing, 0.0f, "below the strip");
    expectRgba(canvas->pixel(100, 256), kNothing, 0.0f, "beyond the curve's end");
}

// A translucent side is written premultiplied, its opacity encoded; a fully transparent one is
// constrained all the same (to nothing, of opacity 0).
TEST_F(ColorConstraints, TranslucentSidesAreWrittenPremultipliedWithTheirOpacityEncoded)
{
    drawColorConstraints(setOf({horizontal(QColor(255, 0, 0, 102), QColor(0, 0, 255, 0))}));
    const float floor = float(kOpacityFloor);
    expectRgba(canvas->pixel(300, 258), {0.4f, 0.0f, 0.0f, floor + (1.0f - floor) * 0.4f}, 1e-3f,
               "translucent left side");
    expectRgba(canvas->pixel(300, 254), {0.0f, 0.0f, 0.0f, floor}, 1e-3f, "clear right side");
    EXPECT_GT(floor, kConstraintAlphaThreshold) << "a clear side must stay constrained";
}

TEST_F(ColorConstraints, CrossingCurvesLeaveTheirIntersectionUnconstrained)
{
    drawColorConstraints(setOf({horizontal(), vertical()}));
    EXPECT_EQ(canvas->stencil(256, 256), 2);
    EXPECT_EQ(canvas->pixel(256, 256)[3], 0.0f) << "crossing must stay free";
    EXPECT_EQ(canvas->pixel(255, 257)[3], 0.0f);
    // Each strip alone, away from the crossing, is constrained once.
    EXPECT_EQ(canvas->stencil(320, 256), 1);
    EXPECT_GT(canvas->pixel(320, 256)[3], 0.1f);
    EXPECT_EQ(canvas->stencil(256, 320), 1);
    EXPECT_GT(canvas->pixel(256, 320)[3], 0.1f);
    EXPECT_EQ(canvas->stencil(100, 100), 0);
    glDisable(GL_STENCIL_TEST);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
}

TEST_F(ColorConstraints, CurvesOfThreePointsOrFewerConstrainNothing)
{
    Curve unfinished;
    unfinished.appendControlPoint(-0.5, 0.0);
    unfinished.appendControlPoint(0.0, 0.0);
    unfinished.appendControlPoint(0.5, 0.0);
    unfinished.appendLeftColor(0, false, kRed);
    unfinished.appendRightColor(0, false, kBlue);
    canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
    drawColorConstraints(setOf({unfinished}));
    EXPECT_EQ(canvas->countDifferent(kNothing), 0);
}

class BlurStrips : public DrawingTest {};

TEST_F(BlurStrips, MarkTheCurveWithAlphaOneAndGreyBlurOverSixteen)
{
    canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
    drawBlurStrips(setOf({horizontal(kRed, kBlue, 8)}));
    expectRgba(canvas->pixel(300, 256), {0.5f, 0.5f, 0.5f, 1.0f}, 1e-4f, "on the curve");
    // Half-width 2 pixelSize = 1 pixel: rows 256 and 257 at most.
    expectRgba(canvas->pixel(300, 259), kNothing, 0.0f, "beside the strip");
    expectRgba(canvas->pixel(300, 253), kNothing, 0.0f, "beside the strip");
}

class LifetimeThreshold : public DrawingTest {};

TEST_F(LifetimeThreshold, ACurveBelowItAddsNothingToAnyImage)
{
    Curve young = horizontal(kRed, kBlue, 8);
    young.lifetime = 10;
    const CurveSet set = setOf({young, vertical()}); // the vertical curve keeps lifetime 32
    const CurveSet youngOnly = setOf({young});

    for (int threshold : {10, 11}) {
        setLifetimeThreshold(threshold);
        const bool shown = threshold <= young.lifetime;
        SCOPED_TRACE(threshold);

        canvas->clear(0.5f, 0.5f, 0.5f, 0.5f);
        drawGradientsX(youngOnly);
        drawGradientsY(youngOnly);
        EXPECT_EQ(canvas->countDifferent(kGrey) > 0, shown) << "gradients";

        drawColorConstraints(youngOnly);
        EXPECT_EQ(canvas->countDifferent(kNothing) > 0, shown) << "colour constraints";

        drawBlurStrips(youngOnly);
        EXPECT_EQ(canvas->countDifferent(kNothing) > 0, shown) << "blur strips";

        canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
        glColor3f(0.0f, 0.0f, 0.0f);
        drawCurves(youngOnly);
        EXPECT_EQ(canvas->countDifferent({1.0f, 1.0f, 1.0f, 1.0f}) > 0, shown) << "display";
    }

    // Below the threshold the young curve no longer cuts the vertical one's strip.
    setLifetimeThreshold(11);
    drawColorConstraints(set);
    EXPECT_EQ(canvas->stencil(256, 256), 1);
    EXPECT_GT(canvas->pixel(256, 256)[3], 0.1f);
}

TEST_F(ColorConstraints, InitialisationKeepsUsableSettingsAndRejectsUnusableOnes)
{
    EXPECT_TRUE(initCurveRendering(1.0 / 256, 256, 128, 7));
    EXPECT_EQ(curveRenderingSettings().pixelSize, 1.0 / 256);
    EXPECT_EQ(curveRenderingSettings().canvasWidth, 256);
    EXPECT_EQ(curveRenderingSettings().canvasHeight, 128);
    EXPECT_EQ(curveRenderingSettings().overviewFramebuffer, 7u);

    EXPECT_TRUE(initCurveRendering(std::nan(""), 0, -3, 0));
    EXPECT_EQ(curveRenderingSettings().pixelSize, 1.0 / 256);
    EXPECT_EQ(curveRenderingSettings().canvasWidth, 256);
    EXPECT_EQ(curveRenderingSettings().canvasHeight, 128);
    EXPECT_TRUE(initCurveRendering(-1.0, 512, 512, 0));
    EXPECT_EQ(curveRenderingSettings().pixelSize, 1.0 / 256);

    setHandleSize(0.0);
    setHandleSize(std::numeric_limits<double>::infinity());
    EXPECT_EQ(curveRenderingSettings().handleSize, 0.03);
    setHandleSize(0.015);
    EXPECT_EQ(curveRenderingSettings().handleSize, 0.015);
}

TEST_F(ColorConstraints, StripWidthFollowsPixelSize)
{
    // Twice the pixel size, twice the half-width: 5 pixels either side of row 256.5.
    curveRenderingSettings().pixelSize = 2.0 / kSize;
    drawColorConstraints(setOf({horizontal(kRed, kBlue)}));
    EXPECT_GT(canvas->pixel(300, 260)[3], 0.1f);
    EXPECT_GT(canvas->pixel(300, 252)[3], 0.1f);
    EXPECT_EQ(canvas->pixel(300, 263)[3], 0.0f);
    EXPECT_EQ(canvas->pixel(300, 249)[3], 0.0f);
}
