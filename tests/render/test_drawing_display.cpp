// On-screen drawing of curves, handles and attribute points, and the names they carry for
// GL_SELECT picking.
#include "curve_geometry.h"
#include "test_drawing_support.h"
#include "curve_set_selection.h"

#include <gtest/gtest.h>

#include <string>

using namespace drawingtest;

namespace {

const Rgba kWhite{1.0f, 1.0f, 1.0f, 1.0f};

std::string controlPointMessage(int count)
{
    Curve c;
    for (int i = 0; i < count; ++i)
        c.appendControlPoint(-0.5 + 0.1 * i, 0.1 * (i % 2));
    testing::internal::CaptureStderr();
    drawControlPoints(c);
    return testing::internal::GetCapturedStderr();
}

// Where drawAttributePoints puts left colour point i of `c` (P + 4r n, r = handleSize / 2).
Point leftPointPosition(const Curve& c, int i)
{
    Point p, n;
    attributePointFrame(c, c.left_color_ids[i], p, n);
    return p + n * (4.0 * 0.5 * curveRenderingSettings().handleSize);
}

// True when one of the 3 x 3 pixels around canvas point p is black (a 1-pixel line may fall on
// either side of a pixel boundary).
bool darkPixelNear(const Canvas& canvas, const Point& p)
{
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const Rgba c = canvas.pixel(pixelOf(p.x) + dx, pixelOf(p.y) + dy);
            if (c[0] < 0.01f && c[1] < 0.01f && c[2] < 0.01f)
                return true;
        }
    return false;
}

} // namespace

class CurveDisplay : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
        glColor3f(0.0f, 0.0f, 0.0f);
    }
};

TEST_F(CurveDisplay, CurveIsDrawnInTheCallersColourAlongItsSamples)
{
    const Curve arch = archCurve();
    drawCurves(setOf({arch}));
    for (double t : {0.15, 0.5, 0.85}) {
        const Point p = arch.pointAt(t, 0);
        EXPECT_TRUE(darkPixelNear(*canvas, p)) << "no curve pixel at t = " << t;
    }
    // No current curve and no selection: only the curve itself, far from its box corners.
    EXPECT_EQ(canvas->at(0.0, 0.0), kWhite);
    EXPECT_EQ(canvas->at(-0.5, 0.4), kWhite);
}

TEST_F(CurveDisplay, ControlPointCountMessageOnlyForIncompleteSegments)
{
    EXPECT_EQ(controlPointMessage(7), "");
    EXPECT_EQ(controlPointMessage(6), "!!! i = 6 and nbPoint = 6\n");
    EXPECT_EQ(controlPointMessage(5), "!!! i = 6 and nbPoint = 5\n");
    EXPECT_EQ(controlPointMessage(1), "");
    EXPECT_EQ(controlPointMessage(0), "");
}

TEST_F(CurveDisplay, CurrentCurveShowsHandlesInYellowAndKeyPointsInBlue)
{
    CurveSet set = setOf({archCurve()});
    set.setCurrentCurve(0);
    drawCurves(set);
    const Rgba handle = canvas->at(-0.2, 0.4);
    EXPECT_NEAR(handle[0], 1.0f, 1e-3f);
    EXPECT_NEAR(handle[1], 1.0f, 1e-3f);
    EXPECT_NEAR(handle[2], 0.0f, 1e-3f);
    const Rgba key = canvas->at(-0.5, -0.2);
    EXPECT_NEAR(key[0], 0.0f, 1e-3f);
    EXPECT_NEAR(key[2], 0.9f, 1e-3f);
    // The bounding box quad is invisible and leaves blending off.
    EXPECT_EQ(canvas->at(0.0, 0.0), kWhite);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(CurveDisplay, AttributePointsShowTheirColoursBesideTheCurve)
{
    CurveSet set = setOf({archCurve()});
    set.setCurrentCurve(0);
    set.show_attributes = true;
    drawCurves(set);
    const Point left = leftPointPosition(set.curves[0], 1);
    const Rgba inner = canvas->at(left.x, left.y);
    EXPECT_NEAR(inner[0], 1.0f, 1e-3f);
    EXPECT_NEAR(inner[2], 0.0f, 1e-3f);
}

TEST_F(CurveDisplay, OneBlurPointHidesEveryAttributePoint)
{
    Curve c;
    for (const Point& p : archCurve().control_points)
        c.appendControlPoint(p.x, p.y);
    for (int g : {0, 5, 10}) {
        c.appendLeftColor(g, false, QColor(255, 0, 0));
        c.appendRightColor(g, false, QColor(0, 0, 255));
    }
    c.appendBlur(0, false, 4);
    drawAttributePoints(c, false);
    EXPECT_EQ(canvas->countDifferent(kWhite), 0);
    // The same curve with a second blur point shows them all.
    c.appendBlur(10, false, 4);
    drawAttributePoints(c, false);
    EXPECT_GT(canvas->countDifferent(kWhite), 0);
}

class CurvePicking : public DrawingTest {};

TEST_F(CurvePicking, WithoutACurrentCurveCurvesAreNamedByIndex)
{
    const Curve a = straightCurve({-0.5, -0.5}, {0.5, -0.5}, Qt::red, Qt::blue);
    const Curve b = archCurve();
    const CurveSet set = setOf({a, b});
    const Point onB = b.pointAt(0.5, 0);
    EXPECT_EQ(pick(set, 0, 0, windowX(onB), windowY(onB)), std::vector<long>{1});
    EXPECT_EQ(pick(set, 0, 0, windowX({0.0, -0.5}), windowY({0.0, -0.5})), std::vector<long>{0});
    EXPECT_TRUE(pick(set, 0, 0, windowX({0.0, 0.8}), windowY({0.0, 0.8})).empty());
    // Mode 3, toggling: names are indices too; the context-menu purpose picks nothing.
    EXPECT_EQ(pick(set, 3, 2, windowX(onB), windowY(onB)), std::vector<long>{1});
    EXPECT_TRUE(pick(set, 3, 1, windowX(onB), windowY(onB)).empty());
    // Modes that do not pick.
    EXPECT_TRUE(pick(set, 4, 0, windowX(onB), windowY(onB)).empty());
}

TEST_F(CurvePicking, ControlPointOfTheCurrentCurveIsNamedTenThousandPlusItsIndex)
{
    CurveSet set = setOf({archCurve()});
    set.setCurrentCurve(0);
    for (int k = 0; k < 4; ++k) {
        const Point p = set.curves[0].control_points[k];
        const auto names = pick(set, 0, 0, windowX(p), windowY(p));
        ASSERT_FALSE(names.empty());
        EXPECT_EQ(names.back(), 10000 + k) << "control point " << k;
    }
    // Inside the box, away from curve and handles: the box (1); on the body: 2.
    EXPECT_EQ(pick(set, 0, 0, windowX({0.0, 0.0}), windowY({0.0, 0.0})), std::vector<long>{1});
    const Point onCurve = set.curves[0].pointAt(0.5, 0);
    EXPECT_EQ(pick(set, 0, 0, windowX(onCurve), windowY(onCurve)).back(), 2);
}

TEST_F(CurvePicking, ContextMenuPicksNameTheSamplePieceUnderTheMouse)
{
    CurveSet set = setOf({archCurve()});
    set.setCurrentCurve(0);
    const Point piece3 = set.curves[0].pointAt(0.35, 0);
    EXPECT_EQ(pick(set, 0, 1, windowX(piece3), windowY(piece3)).back(), 13);
}

TEST_F(CurvePicking, AttributePointsAreNamedByKindAndIndexOrByPosition)
{
    CurveSet set = setOf({archCurve()});
    set.setCurrentCurve(0);
    const Point left = leftPointPosition(set.curves[0], 1); // globalID 5
    EXPECT_EQ(pick(set, 2, 0, windowX(left), windowY(left)).back(), 20001);
    EXPECT_EQ(pick(set, 8, 0, windowX(left), windowY(left)).back(), 20001);
    EXPECT_EQ(pick(set, 2, 1, windowX(left), windowY(left)).back(), 15);
    // Mode 1 with a current curve names nothing for a press.
    EXPECT_TRUE(pick(set, 1, 0, windowX(left), windowY(left)).empty());
}

TEST_F(CurvePicking, MultiselectionPressNamesTheSelectionBox)
{
    const Curve a = straightCurve({-0.5, -0.5}, {0.5, -0.5}, Qt::red, Qt::blue);
    CurveSet set = setOf({a, archCurve()});
    addToSelection(set, 1);
    const Point inBox(0.0, 0.0);
    EXPECT_EQ(pick(set, 3, 0, windowX(inBox), windowY(inBox)), std::vector<long>{1});
    EXPECT_EQ(pick(set, 3, 0, windowX({0.0, -0.5}), windowY({0.0, -0.5})), std::vector<long>{0});
}

TEST_F(CurveDisplay, CountsLargerThanTheirArraysDrawOnlyWhatExists)
{
    // A damaged record: counts that promise more than the arrays hold, and an attribute
    // position beyond the curve's end.
    Curve c = archCurve();
    c.nb_control_points = 14;
    c.nb_left_colors = c.nb_right_colors = c.nb_blur_points = 9;
    c.left_color_ids[2] = 500;
    CurveSet set = setOf({c});
    set.setCurrentCurve(0);
    set.show_attributes = true;
    testing::internal::CaptureStderr();
    drawCurves(set);
    drawControlPoints(c);
    drawSampleNames(c);
    drawColorConstraints(set);
    canvas->clear(1.0f, 1.0f, 1.0f, 1.0f);
    drawCurves(set);
    EXPECT_TRUE(darkPixelNear(*canvas, c.pointAt(0.15, 0)));
    for (int purpose = 0; purpose < 4; ++purpose)
        for (int mode : {0, 2, 3, 8})
            pick(set, mode, purpose, 256, 256);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("!!! i = 15 and nbPoint = 14\n"), std::string::npos);
}
