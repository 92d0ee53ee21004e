// Least-squares cubic fit with fixed ends and end tangents.
#include "cubic_fit.h"
#include "curve_fixtures.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

Point bezier(const CubicBezier& b, double t)
{
    const double r = 1 - t;
    return b[0] * (r * r * r) + b[1] * (3 * t * r * r) + b[2] * (3 * t * t * r)
           + b[3] * (t * t * t);
}

QVector<Point> sampleBezier(const CubicBezier& b, int count)
{
    QVector<Point> out;
    for (int i = 0; i < count; ++i)
        out.append(bezier(b, double(i) / (count - 1)));
    return out;
}

} // namespace

TEST(CubicFit, ReproducesAKnownCubicFromItsPointsAndTrueTangents)
{
    // A gentle arch whose speed varies little, so chord-length parameters are near the true ones.
    const CubicBezier truth{Point(0, 0), Point(1, 0.4), Point(2, 0.4), Point(3, 0)};
    const auto fit = fitCubic(sampleBezier(truth, 40), truth[1] - truth[0], truth[2] - truth[3]);
    ASSERT_TRUE(fit.has_value());
    EXPECT_EQ((*fit)[0], truth[0]);
    EXPECT_EQ((*fit)[3], truth[3]);
    EXPECT_TRUE(near((*fit)[1], truth[1], 0.03));
    EXPECT_TRUE(near((*fit)[2], truth[2], 0.03));
    // The fitted tangents keep the given directions.
    EXPECT_TRUE(near(unit((*fit)[1] - (*fit)[0]), unit(truth[1] - truth[0]), 1e-12));
    EXPECT_TRUE(near(unit((*fit)[2] - (*fit)[3]), unit(truth[2] - truth[3]), 1e-12));
    EXPECT_LT(farthestDistance(sampleBezier(*fit, 200), sampleBezier(truth, 200)), 1e-2);
}

TEST(CubicFit, EvenlySampledLineGivesThirdsExactly)
{
    QVector<Point> line;
    for (int i = 0; i <= 9; ++i)
        line.append(Point(i / 3.0, -i / 3.0));
    const auto fit = fitCubic(line, Point(1, -1), Point(-1, 1));
    ASSERT_TRUE(fit.has_value());
    EXPECT_TRUE(near((*fit)[1], Point(1, -1), 1e-12));
    EXPECT_TRUE(near((*fit)[2], Point(2, -2), 1e-12));
}

TEST(CubicFit, TwoPointsFallBackToAThirdOfTheChord)
{
    const auto fit = fitCubic({Point(0, 0), Point(3, 4)}, Point(0, 2), Point(-7, 0));
    ASSERT_TRUE(fit.has_value());
    EXPECT_TRUE(near((*fit)[1], Point(0, 5.0 / 3.0), 1e-12));
    EXPECT_TRUE(near((*fit)[2], Point(3 - 5.0 / 3.0, 4), 1e-12));
}

TEST(CubicFit, BackwardTangentsFallBackToPositiveLengths)
{
    // Tangents pointing away from the data would need negative lengths.
    const CubicBezier truth{Point(0, 0), Point(1, 1), Point(2, 1), Point(3, 0)};
    const auto fit = fitCubic(sampleBezier(truth, 10), Point(0, -1), Point(0, -1));
    ASSERT_TRUE(fit.has_value());
    EXPECT_TRUE(near((*fit)[1], Point(0, -1), 1e-12));
    EXPECT_TRUE(near((*fit)[2], Point(3, -1), 1e-12));
}

TEST(CubicFit, UndefinedFitsReturnNothingAndZeroTangentsStayFinite)
{
    EXPECT_FALSE(fitCubic({}, Point(1, 0), Point(-1, 0)).has_value());
    EXPECT_FALSE(fitCubic({Point(1, 1)}, Point(1, 0), Point(-1, 0)).has_value());
    EXPECT_FALSE(
        fitCubic({Point(1, 1), Point(1, 1), Point(1, 1)}, Point(1, 0), Point(-1, 0)).has_value());
    const CubicBezier truth{Point(0, 0), Point(1, 1), Point(2, 1), Point(3, 0)};
    const auto fit = fitCubic(sampleBezier(truth, 10), Point(0, 0), Point(0, 0));
    ASSERT_TRUE(fit.has_value());
    for (const Point& p : *fit)
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}
