// Construction, evaluation, attribute interpolation and the sampling walk.
#include "curve.h"
#include "curve_fixtures.h"
#include "curve_transforms.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

Curve segment(Point p0, Point p1, Point p2, Point p3)
{
    Curve c;
    for (const Point& p : {p0, p1, p2, p3})
        c.appendControlPoint(p.x, p.y);
    return c;
}

} // namespace

// ---- construction and accessors

TEST(CurveRecord, DefaultCurveIsEmptyWithDocumentedDefaults)
{
    Curve c;
    EXPECT_EQ(c.nb_control_points + c.nb_left_colors + c.nb_right_colors + c.nb_blur_points, 0);
    EXPECT_EQ(c.lifetime, 32);
    EXPECT_EQ(c.selected_control_point, -1);
    EXPECT_EQ(c.defaultLeftColor(), rgb(255, 255, 255));
    EXPECT_EQ(c.defaultRightColor(), rgb(130, 25, 25));
    EXPECT_EQ(c.defaultBlur(), 0);
    EXPECT_FALSE(c.isClosed() || c.isSelected() || c.stylized);
}

TEST(CurveRecord, SelectControlPointIgnoresOutOfRangeIndices)
{
    Curve c = straightCurve(1);
    c.selectControlPoint(2);
    c.selectControlPoint(-1);
    c.selectControlPoint(c.nb_control_points);
    EXPECT_EQ(c.selected_control_point, 2);
}

TEST(CurveRecord, EditingACopyLeavesTheOriginalUnchanged)
{
    const Curve original = humpCurve();
    Curve copy = original;
    copy.setLeftColorOf(kBlack, 0);
    copy.appendControlPoint(0.9, 0.9);
    EXPECT_EQ(original.left_colors[0], kRed);
    EXPECT_EQ(original.control_points.size(), 7);
}

// ---- positions and normals

TEST(CurveEvaluation, PointsOfStraightStylizedAndCurvedSegments)
{
    Curve bent = segment({0, 0}, {0.3, 0.8}, {0.9, -0.5}, {1, 0});
    bent.toggleStylized();
    EXPECT_TRUE(near(bent.pointAt(0.25, 0), Point(0.25, 0), 1e-15));
    EXPECT_TRUE(near(bent.normalAt(0.7, 0), Point(0, 1), 1e-15));

    const Curve line = segment({0, 0}, {1, 0}, {2, 0}, {3, 0});
    EXPECT_TRUE(near(line.pointAt(0.5, 0), Point(1.5, 0), 1e-15));

    const Curve hump = humpCurve(); // against the Bernstein form
    for (double t : {0.0, 0.2, 0.5, 0.9, 1.0}) {
        const double r = 1 - t;
        const QVector<Point>& p = hump.control_points;
        const Point expected = p[3] * (r * r * r) + p[4] * (3 * t * r * r) + p[5] * (3 * t * t * r)
                               + p[6] * (t * t * t);
        EXPECT_TRUE(near(hump.pointAt(t, 3), expected, 1e-12)) << "t = " << t;
    }
}

TEST(CurveEvaluation, LastIndexEvaluatesTheLastSegmentBackwards)
{
    const Curve c = humpCurve();
    EXPECT_EQ(c.pointAt(0.0, 6), c.control_points[6]);
    EXPECT_TRUE(near(c.pointAt(0.3, 6), c.pointAt(0.7, 3), 1e-15));
}

TEST(CurveEvaluation, NormalIsUnitAndPointsLeftOfTheDirectionOfTravel)
{
    const Curve loop = closedLoop();
    // Travelling counter-clockwise, the left side is the inside of the circle.
    for (int b = 0; b < 12; b += 3) {
        for (double t : {0.0, 0.3, 0.8}) {
            const Point nrm = loop.normalAt(t, b);
            EXPECT_NEAR(nrm.norm(), 1.0, 1e-12);
            EXPECT_LT(dot(nrm, loop.pointAt(t, b)), -0.45) << "normal should point to the centre";
        }
    }
}

TEST(CurveEvaluation, VanishingDerivativeFallsBackToTheChordThenUp)
{
    const Curve c = segment({0, 0}, {0, 0}, {1, 1}, {2, 0});   // zero derivative at t = 0
    EXPECT_TRUE(near(c.normalAt(0.0, 0), Point(0, 1), 1e-12)); // chord along +x

    const Curve dot = segment({0.2, 0.2}, {0.2, 0.2}, {0.2, 0.2}, {0.2, 0.2});
    EXPECT_EQ(dot.normalAt(0.5, 0), Point(0, 1));
}

TEST(CurveEvaluation, CurveWithoutSegmentEvaluatesSafely)
{
    Curve c;
    EXPECT_EQ(c.pointAt(0.5, 0), Point());
    EXPECT_EQ(c.normalAt(0.5, 0), Point(0, 1));
    c.appendControlPoint(0.1, 0.2);
    c.appendControlPoint(0.3, 0.4);
    EXPECT_EQ(c.pointAt(0.5, 17), Point(0.3, 0.4));
    int visits = 0;
    c.forEachSample([&](const CurveSample&) { ++visits; });
    EXPECT_EQ(visits, 0);
}

TEST(CurveEvaluation, BoundingBoxCoversTangentPoints)
{
    const Curve c = humpCurve();
    EXPECT_EQ(c.boundingBox().first, Point(-0.6, -0.2));
    EXPECT_EQ(c.boundingBox().second, Point(0.6, 0.4));
}

// ---- attribute interpolation

class AttributeInterpolation : public ::testing::Test {
protected:
    void SetUp() override
    {
        c = straightCurve(2);
        c.left_colors = c.right_colors = {rgb(0, 0, 0), rgb(1, 1, 1), rgb(100, 200, 50)};
        c.left_color_ids = c.right_color_ids = c.blur_ids = {0, 10, 20};
        c.blur_values = {0, 3, 16};
        c.nb_left_colors = c.nb_right_colors = c.nb_blur_points = 3;
    }
    Curve c;
};

TEST_F(AttributeInterpolation, LeftRoundsRightTruncatesBlurRounds)
{
    EXPECT_EQ(c.leftColorAt(0.5, 0), rgb(1, 1, 1));
    EXPECT_EQ(c.rightColorAt(0.5, 0), rgb(0, 0, 0));
    EXPECT_EQ(c.blurAt(0.5, 0), 2);
    EXPECT_EQ(c.leftColorAt(0.25, 1), rgb(26, 51, 13));  // 25.75, 50.75, 13.25
    EXPECT_EQ(c.rightColorAt(0.25, 1), rgb(25, 50, 13)); // truncated
    EXPECT_EQ(c.leftColorAt(0.7, 2), rgb(100, 200, 50)); // the last point
    EXPECT_EQ(c.blurAt(0.3, 9), 16);
    EXPECT_EQ(c.leftColorAt(0.3, -4), rgb(0, 0, 0));
}

// Opacity is a fourth channel: interpolated with the colour's rounding rule, kept by the edits
// that set, append, insert, contrast and blend colour points.
TEST_F(AttributeInterpolation, OpacityTravelsWithTheColour)
{
    c.left_colors =
        c.right_colors = {QColor(0, 0, 0, 0), QColor(1, 1, 1, 1), QColor(100, 200, 50, 255)};
    EXPECT_EQ(c.leftColorAt(0.5, 0), QColor(1, 1, 1, 1));
    EXPECT_EQ(c.rightColorAt(0.5, 0), QColor(0, 0, 0, 0));
    EXPECT_EQ(c.leftColorAt(0.25, 1).alpha(), 65);  // 64.5 rounds up
    EXPECT_EQ(c.rightColorAt(0.25, 1).alpha(), 64); // truncated
    c.insertAttribute(15, LeftColor);
    EXPECT_EQ(c.left_colors[2], QColor(51, 101, 26, 128));

    Curve d = straightCurve(1);
    d.appendLeftColor(5, false, QColor(9, 8, 7, 6));
    d.setRightColorOf(QColor(1, 2, 3, 4), 0);
    d.setDefaultLeftColor(QColor(5, 5, 5, 50));
    d.appendLeftColor(6, true);
    d.appendLeftColor(7, false, QColor());
    EXPECT_EQ(d.left_colors.mid(2),
              (QVector<QColor>{QColor(9, 8, 7, 6), QColor(5, 5, 5, 50), QColor(0, 0, 0, 255)}));
    EXPECT_EQ(d.right_colors[0], QColor(1, 2, 3, 4));
    increaseContrast(d);
    EXPECT_EQ(d.right_colors[0].alpha(), 4);

    Curve e = d;
    e.right_colors[0].setAlpha(255);
    Curve blended;
    interpolateCurves(d, e, blended, 0.5);
    EXPECT_EQ(blended.right_colors[0].alpha(), 130); // 129.5 rounds up
}

TEST_F(AttributeInterpolation, EqualNeighboursTruncateToThemselves)
{
    c.right_colors = {rgb(20, 40, 220), rgb(20, 40, 220), rgb(20, 40, 220)};
    for (double w = 0.0; w <= 1.0; w += 0.01)
        EXPECT_EQ(c.rightColorAt(w, 0), rgb(20, 40, 220)) << w;
}

TEST_F(AttributeInterpolation, EmptyListsGiveNoColourAndZeroBlur)
{
    c.left_colors.clear();
    c.left_color_ids.clear();
    c.blur_values.clear();
    c.blur_ids.clear();
    EXPECT_FALSE(c.leftColorAt(0.5, 0).isValid());
    EXPECT_EQ(c.blurAt(0.5, 0), 0);
    int i = 3;
    EXPECT_EQ(c.findInterval(0.5, 0, i, Blur), 0.0);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(c.stepInterval(0.5, 0, i, LeftColor), 0.0);
    EXPECT_EQ(i, 0);
}

TEST_F(AttributeInterpolation, FindIntervalLocatesAbscissa)
{
    int i = -1;
    EXPECT_DOUBLE_EQ(c.findInterval(0.5, 3, i, LeftColor), 0.5); // x = 15
    EXPECT_EQ(i, 1);
    EXPECT_DOUBLE_EQ(c.findInterval(0.0, 6, i, LeftColor), 0.0); // x = 20, the last point
    EXPECT_EQ(i, 2);
}

TEST_F(AttributeInterpolation, AbscissaBeforeTheFirstPointHoldsTheFirstValue)
{
    c.left_color_ids = {5, 10, 20};
    int i = 2;
    EXPECT_EQ(c.findInterval(0.2, 0, i, LeftColor), 0.0);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(c.stepInterval(0.2, 0, i, LeftColor), 0.0);
    EXPECT_EQ(i, 0);
}

TEST_F(AttributeInterpolation, StepIntervalAdvancesAtMostOnePoint)
{
    int i = 0;
    EXPECT_DOUBLE_EQ(c.stepInterval(0.4, 0, i, Blur), 0.4);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(c.stepInterval(0.0, 6, i, Blur), 0.0); // x = 20: moves to point 1 only
    EXPECT_EQ(i, 1);
    EXPECT_EQ(c.stepInterval(0.0, 6, i, Blur), 0.0);
    EXPECT_EQ(i, 2);
    EXPECT_EQ(c.stepInterval(0.5, 6, i, Blur), 0.0); // stays on the last point
    EXPECT_EQ(i, 2);
}

// ---- the sampling walk

TEST(SamplingWalk, VisitsElevenSamplesPerSegmentAndBothSidesOfAJoint)
{
    QVector<CurveSample> samples;
    humpCurve().forEachSample([&](const CurveSample& s) { samples.append(s); });
    ASSERT_EQ(samples.size(), 22);
    EXPECT_GT(samples[10].t, 0.999);
    EXPECT_LT(samples[10].t, 1.0);
    EXPECT_EQ(samples[11].b, 3);
    EXPECT_TRUE(near(samples[10].point, samples[11].point, 1e-12));
}

TEST(SamplingWalk, RunningIntervalsCarryAcrossSegments)
{
    Curve c = straightCurve(3);
    c.left_colors = {rgb(0, 0, 0), rgb(200, 100, 0), rgb(0, 0, 0)};
    c.left_color_ids = {0, 15, 30};
    c.nb_left_colors = 3;
    setUniformBlur(c, 0);
    c.setBlurOf(16, 1);
    QVector<CurveSample> samples;
    c.forEachSample([&](const CurveSample& s) { samples.append(s); });
    ASSERT_EQ(samples.size(), 33);
    // Each sample agrees with a single lookup at its own abscissa.
    for (const CurveSample& s : samples) {
        int i = 0;
        const double w = c.findInterval(s.t, s.b, i, LeftColor);
        EXPECT_EQ(s.left, c.leftColorAt(w, i)) << "b " << s.b << " t " << s.t;
        EXPECT_EQ(s.right, kBlue);
    }
    EXPECT_EQ(samples[16].left, rgb(200, 100, 0)); // globalID 15: segment 1, t = 0.5
    EXPECT_EQ(samples[11].blur, 5);                // x = 10: 16 / 3 rounded
    EXPECT_EQ(samples[32].blur, 16);
}
