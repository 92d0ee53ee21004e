// Smoothing, stylisation, contrast and blur shift.
#include "curve.h"
#include "curve_fixtures.h"
#include "curve_transforms.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

Curve twoSided(const QColor& left, const QColor& right)
{
    Curve c = straightCurve(2);
    c.left_colors = {left, left};
    c.right_colors = {right, right};
    return c;
}

} // namespace

TEST(Smoothing, OneSegmentMovesOnlyItsTangentPoints)
{
    Curve c = humpCurve();
    c.control_points.resize(4);
    c.nb_control_points = 4;
    const QVector<Point> before = c.control_points;
    smooth(c);
    EXPECT_EQ(c.control_points[0], before[0]);
    EXPECT_EQ(c.control_points[3], before[3]);
    // Point 1 from the original neighbours, point 2 from the already moved point 1.
    const Point p1 = (before[0] + before[2]) * 0.15 + before[1] * 0.7;
    const Point p2 = (p1 + before[3]) * 0.15 + before[2] * 0.7;
    EXPECT_TRUE(near(c.control_points[1], p1, 1e-15));
    EXPECT_TRUE(near(c.control_points[2], p2, 1e-15));
}

TEST(Smoothing, EvenlySpacedLineStaysOnItsLine)
{
    Curve c = straightCurve(3);
    for (int pass = 0; pass < 5; ++pass)
        smooth(c);
    for (const Point& p : c.control_points)
        EXPECT_EQ(p.y, 0.0);
    for (int i = 1; i < c.nb_control_points; ++i)
        EXPECT_LT(c.control_points[i - 1].x, c.control_points[i].x);
}

TEST(Smoothing, ClosedCurveKeepsItsEndsAndShrinksTowardsItsCentre)
{
    Curve loop = closedLoop();
    smooth(loop);
    EXPECT_EQ(loop.control_points.first(), Point(0.5, 0));
    EXPECT_EQ(loop.control_points.last(), Point(0.5, 0));
    EXPECT_LT(loop.pointAt(0.5, 6).norm(), 0.5);
    EXPECT_LE(loop.bbox_max.y, 0.5);
}

TEST(Stylization, TogglingTwiceRestoresEveryEvaluation)
{
    Curve c = humpCurve();
    const Curve original = c;
    c.toggleStylized();
    EXPECT_TRUE(near(c.pointAt(0.5, 0), (c.control_points[0] + c.control_points[3]) * 0.5, 1e-15));
    c.toggleStylized();
    for (int b : {0, 3, 6})
        for (double t = 0.0; t <= 1.0; t += 0.125) {
            EXPECT_EQ(c.pointAt(t, b), original.pointAt(t, b));
            EXPECT_EQ(c.normalAt(t, b), original.normalAt(t, b));
        }
}

TEST(Contrast, IncreaseAndDecreaseMoveByATenthOfTheDifference)
{
    Curve up = twoSided(rgb(100, 100, 100), rgb(200, 200, 200));
    increaseContrast(up);
    EXPECT_EQ(up.left_colors, (QVector<QColor>{rgb(90, 90, 90), rgb(90, 90, 90)}));
    EXPECT_EQ(up.right_colors, (QVector<QColor>{rgb(210, 210, 210), rgb(210, 210, 210)}));

    Curve down = twoSided(rgb(100, 100, 100), rgb(200, 200, 200));
    decreaseContrast(down);
    EXPECT_EQ(down.left_colors[0], rgb(110, 110, 110));
    EXPECT_EQ(down.right_colors[1], rgb(190, 190, 190));
    EXPECT_EQ(down.left_color_ids, (QVector<int>{0, 20}));
}

TEST(Contrast, ChannelsClampAtTheEndsOfTheirRange)
{
    Curve c = twoSided(rgb(5, 250, 128), rgb(255, 0, 128));
    increaseContrast(c);
    EXPECT_EQ(c.left_colors[0], rgb(0, 255, 128)); // 5 - 25 + 0.5 < 0; 250 + 25 > 255
    EXPECT_EQ(c.right_colors[0], rgb(255, 0, 128));
}

TEST(Contrast, OppositeColourIsTakenBeforeAnyChange)
{
    Curve c = straightCurve(2);
    c.left_colors = {rgb(0, 0, 0), rgb(100, 0, 0)};
    c.right_colors = {rgb(100, 0, 0), rgb(0, 0, 0)};
    c.right_color_ids = {0, 10};
    c.left_color_ids = {0, 20};
    increaseContrast(c);
    // Left at 0 faces right 100: 0 - 10 clamps to 0. Left at 20 faces right 0: 100 + 10 = 110.
    EXPECT_EQ(c.left_colors, (QVector<QColor>{rgb(0, 0, 0), rgb(110, 0, 0)}));
    // Right at 10 faces the left colour at 10, 50 (from the old list): 0 - 5 clamps to 0.
    EXPECT_EQ(c.right_colors, (QVector<QColor>{rgb(110, 0, 0), rgb(0, 0, 0)}));
}

TEST(BlurShift, ValuesClampToZeroAndSixteen)
{
    Curve c = straightCurve(2);
    c.blur_values = {0, 7, 16};
    c.blur_ids = {0, 5, 20};
    shiftBlur(c, 3);
    EXPECT_EQ(c.blur_values, (QVector<int>{3, 10, 16}));
    EXPECT_EQ(c.nb_blur_points, 3);
    shiftBlur(c, 20);
    EXPECT_EQ(c.blur_values, (QVector<int>{16, 16, 16}));
    shiftBlur(c, -20);
    EXPECT_EQ(c.blur_values, (QVector<int>{0, 0, 0}));
    EXPECT_EQ(c.blur_ids, (QVector<int>{0, 5, 20}));
}
