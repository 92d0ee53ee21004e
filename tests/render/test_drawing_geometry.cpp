// Strip and line vertices computed on the CPU, checked without drawing.
#include "curve_geometry.h"

#include "test_drawing_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace drawingtest;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

bool finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

Curve twoSegmentCurve()
{
    Curve c = archCurve();
    c.appendControlPoint(0.6, -0.5);
    c.appendControlPoint(0.7, -0.6);
    c.appendControlPoint(0.8, -0.4);
    return c;
}

} // namespace

TEST(CurveGeometry, OneSegmentGivesElevenSamplesAndATwentyTwoVertexStrip)
{
    const Curve arch = archCurve();
    EXPECT_EQ(gradientLineVertices(arch, 0).size(), 11u);
    EXPECT_EQ(constraintStripVertices(arch, 0.01).size(), 22u);
    EXPECT_EQ(blurStripVertices(arch, 0.01).size(), 22u);
    const auto polylines = segmentPolylines(arch);
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0].size(), 11u);

    const Curve twoSegments = twoSegmentCurve();
    EXPECT_EQ(constraintStripVertices(twoSegments, 0.01).size(), 44u);
    EXPECT_EQ(segmentPolylines(twoSegments).size(), 2u);
}

TEST(CurveGeometry, CurvesWithoutASegmentGiveNothing)
{
    Curve c;
    for (int n = 0; n < 4; ++n) {
        EXPECT_TRUE(constraintStripVertices(c, 0.01).empty()) << n << " control points";
        EXPECT_TRUE(gradientLineVertices(c, 1).empty());
        EXPECT_TRUE(blurStripVertices(c, 0.01).empty());
        EXPECT_TRUE(samplePieces(c).empty());
        c.appendControlPoint(0.1 * n, 0.0);
    }
}

TEST(CurveGeometry, StripEdgesLieHalfAWidthEitherSideWithTheLeftEdgeAlongTheNormal)
{
    // Walking +x, the left side (the normal) is +y.
    const Curve c = straightCurve({-0.5, 0.0}, {0.5, 0.0}, kRed, kBlue);
    const double h = 0.02;
    const auto strip = constraintStripVertices(c, h);
    for (size_t i = 0; i < strip.size(); i += 2) {
        const ConstraintVertex& right = strip[i];
        const ConstraintVertex& left = strip[i + 1];
        EXPECT_FLOAT_EQ(right.side, 0.0f);
        EXPECT_FLOAT_EQ(left.side, 1.0f);
        EXPECT_NEAR(right.position.y, -h, 1e-12);
        EXPECT_NEAR(left.position.y, h, 1e-12);
        EXPECT_NEAR(left.position.x, right.position.x, 1e-12);
        EXPECT_FLOAT_EQ(left.left[0], 1.0f);
        EXPECT_FLOAT_EQ(left.left[2], 0.0f);
        EXPECT_FLOAT_EQ(left.right[0], 0.0f);
        EXPECT_FLOAT_EQ(left.right[2], 1.0f);
    }
    EXPECT_NEAR(strip.front().position.x, -0.5, 1e-12);
    EXPECT_NEAR(strip.back().position.x, 0.5, 1e-9);
}

TEST(CurveGeometry, BlurStripGreyIsBlurOverSixteenAlongTheCurve)
{
    Curve c = straightCurve({-0.5, 0.0}, {0.5, 0.0}, kRed, kBlue, 0);
    c.setBlurOf(16, 1); // blur ramps 0 .. 16 along the segment
    const auto strip = blurStripVertices(c, 0.01);
    EXPECT_FLOAT_EQ(strip.front().grey, 0.0f);
    EXPECT_FLOAT_EQ(strip[10].grey, strip[11].grey);
    EXPECT_NEAR(strip[10].grey, 8.0f / 16.0f, 1e-6f); // sample 5, t = 0.5: blur 8
}

TEST(CurveGeometry, SamplePiecesAreNamedByGlobalIdPlusTen)
{
    const auto pieces = samplePieces(archCurve());
    ASSERT_EQ(pieces.size(), 11u);
    for (size_t k = 0; k < pieces.size(); ++k)
        EXPECT_EQ(pieces[k].name, 10u + k);
    const auto two = samplePieces(twoSegmentCurve());
    ASSERT_EQ(two.size(), 22u);
    EXPECT_EQ(two[11].name, 20u);
    EXPECT_EQ(two[21].name, 30u);
    // Consecutive pieces join.
    EXPECT_TRUE(near(pieces[3].to, pieces[4].from, 1e-9));
}

TEST(CurveGeometry, AttributeFrameCoversTheCurveAndNothingElse)
{
    const Curve c = archCurve();
    Point p, n;
    ASSERT_TRUE(attributePointFrame(c, 10, p, n));
    EXPECT_TRUE(near(p, Point(0.5, -0.2), 1e-12));
    ASSERT_TRUE(attributePointFrame(c, 5, p, n));
    EXPECT_TRUE(near(p, c.pointAt(0.5, 0), 1e-12));
    EXPECT_NEAR(n.norm(), 1.0, 1e-12);
    EXPECT_GT(n.y, 0.99); // top of the arch, walked left to right: the normal points up
    EXPECT_FALSE(attributePointFrame(c, -1, p, n));
    EXPECT_FALSE(attributePointFrame(c, 11, p, n));
    EXPECT_FALSE(attributePointFrame(Curve(), 0, p, n));
}

TEST(CurveGeometry, DegenerateAndColourlessCurvesGiveFiniteBlackGeometry)
{
    Curve c; // four coincident control points, no attribute points
    for (int i = 0; i < 4; ++i)
        c.appendControlPoint(0.25, 0.25);
    for (const ConstraintVertex& v : constraintStripVertices(c, 0.01)) {
        EXPECT_TRUE(finite(v.position));
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(v.left[k], 0.0f);
            EXPECT_EQ(v.right[k], 0.0f);
        }
    }
    for (const GradientVertex& v : gradientLineVertices(c, 0))
        EXPECT_FLOAT_EQ(v.rgba[0], 0.5f);
    for (const BlurVertex& v : blurStripVertices(c, 0.01))
        EXPECT_TRUE(finite(v.position));
}
