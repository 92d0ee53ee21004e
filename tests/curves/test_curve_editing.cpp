// Appends, attribute points, dragging, closing and whole-curve edits.
#include "curve.h"
#include "curve_fixtures.h"
#include "curve_transforms.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

// Colours of the walk along a curve: what the renderer would draw.
QVector<QColor> walkedLeftColors(const Curve& c)
{
    QVector<QColor> out;
    c.forEachSample([&](const CurveSample& s) { out.append(s.left); });
    return out;
}

} // namespace

// ---- appends

TEST(CurveAppend, AppendsUseDefaultsOrGivenValues)
{
    Curve c(rgb(1, 2, 3), rgb(4, 5, 6), 7);
    c.appendLeftColor(0, true);
    c.appendLeftColor(10, false, rgb(9, 9, 9));
    c.appendBlur(0, true);
    c.appendBlur(10, false, 3.9);
    EXPECT_EQ(c.left_colors, (QVector<QColor>{rgb(1, 2, 3), rgb(9, 9, 9)}));
    EXPECT_EQ(c.blur_values, (QVector<int>{7, 3}));
    expectListsConsistent(c);
}

// ---- attribute points

TEST(AttributePoints, InsertingKeepsTheLookOfTheCurve)
{
    Curve c = straightCurve(3);
    c.setLeftColorOf(kBlack, 0);
    c.setLeftColorOf(rgb(250, 120, 10), 1);
    const QVector<QColor> before = walkedLeftColors(c);
    c.insertAttribute(13, LeftColor);
    ASSERT_EQ(c.left_color_ids, (QVector<int>{0, 13, 30}));
    EXPECT_EQ(c.left_colors[1], rgb(108, 52, 4)); // 13/30 of the way, rounded
    const QVector<QColor> after = walkedLeftColors(c);
    ASSERT_EQ(before.size(), after.size());
    for (int i = 0; i < before.size(); ++i) {
        EXPECT_LE(std::abs(before[i].red() - after[i].red()), 1) << i;
        EXPECT_LE(std::abs(before[i].green() - after[i].green()), 1) << i;
    }
}

TEST(AttributePoints, InsertingAtTheEndGoesBeforeTheLastPointAndBeyondItDoesNothing)
{
    Curve c = straightCurve(3);
    c.insertAttribute(30, Blur);
    EXPECT_EQ(c.blur_ids, (QVector<int>{0, 30, 30}));
    c.insertAttribute(45, RightColor);
    EXPECT_EQ(c.right_color_ids, (QVector<int>{0, 30}));
    c.left_colors.clear();
    c.left_color_ids.clear();
    c.nb_left_colors = 0;
    c.insertAttribute(5, LeftColor);
    EXPECT_EQ(c.nb_left_colors, 0);
    expectListsConsistent(c);
}

TEST(AttributePoints, DeletingNeverRemovesTheLastPointNorShrinksBelowTwo)
{
    Curve c = straightCurve(3);
    c.deleteAttribute(0, LeftColor);
    EXPECT_EQ(c.nb_left_colors, 2);
    c.insertAttribute(10, LeftColor);
    c.insertAttribute(20, LeftColor);
    c.deleteAttribute(30, LeftColor);
    c.deleteAttribute(99, LeftColor);
    EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 10, 20, 30}));
    c.deleteAttribute(15, LeftColor); // the last point at or before 15
    EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 20, 30}));
    c.deleteAttribute(-5, LeftColor); // before the second point: the first goes
    EXPECT_EQ(c.left_color_ids, (QVector<int>{20, 30}));
    expectListsConsistent(c);
}

TEST(AttributePoints, ClosedCurveMirrorsItsEndValues)
{
    Curve loop = closedLoop();
    loop.setLeftColorOf(kWhite, 0);
    EXPECT_EQ(loop.left_colors.last(), kWhite);
    loop.setRightColorOf(kBlack, loop.nb_right_colors - 1);
    EXPECT_EQ(loop.right_colors.first(), kBlack);
    loop.setBlurOf(12, 1); // the last point
    EXPECT_EQ(loop.blur_values, (QVector<int>{12, 12}));
    loop.setBlurOf(5, 7);
    loop.setLeftColorOf(kBlack, -1);
    EXPECT_EQ(loop.left_colors, (QVector<QColor>{kWhite, kWhite}));

    Curve open = straightCurve(2);
    open.setLeftColorOf(kWhite, 0);
    EXPECT_EQ(open.left_colors.last(), kRed);
}

// ---- closing

TEST(Closing, DifferingEndColoursGetOneJointColourAndKeepTheOldStart)
{
    Curve c = humpCurve();
    c.setLeftColorOf(kWhite, 1);
    c.setBlurOf(9, 1);
    c.setClosed(true);
    EXPECT_TRUE(c.isClosed());
    EXPECT_EQ(c.left_colors, (QVector<QColor>{kWhite, kRed, kWhite}));
    EXPECT_EQ(c.left_color_ids, (QVector<int>{0, 1, 20}));
    EXPECT_EQ(c.right_color_ids, (QVector<int>{0, 20})); // equal ends stay as they are
    EXPECT_EQ(c.blur_values, (QVector<int>{9, 3, 9}));
    expectListsConsistent(c);
}

// ---- dragging

TEST(Dragging, MiddleKeyPointCarriesItsTangentPoints)
{
    Curve c = humpCurve();
    EXPECT_FALSE(c.moveSelectedControlPoint(0.1, 0.1)); // nothing selected
    c.selected_control_point = 40; // stale index, e.g. after points were deleted
    EXPECT_FALSE(c.moveSelectedControlPoint(0.1, 0.1));
    EXPECT_EQ(c.control_points, humpCurve().control_points);
    c.selectControlPoint(3);
    EXPECT_TRUE(c.moveSelectedControlPoint(0.1, 0.5));
    EXPECT_TRUE(near(c.control_points[3], Point(0.1, 0.5), 1e-15));
    EXPECT_TRUE(near(c.control_points[2], Point(-0.1, 0.5), 1e-12));
    EXPECT_TRUE(near(c.control_points[4], Point(0.3, 0.5), 1e-12));
    EXPECT_NEAR(c.bbox_max.y, 0.5, 1e-12);
}

TEST(Dragging, EndDroppedNearTheOtherEndClosesTheCurve)
{
    Curve c = humpCurve();
    c.setLeftColorOf(kWhite, 1);
    c.selectControlPoint(6);
    EXPECT_TRUE(c.moveSelectedControlPoint(-0.6 + 0.009, -0.2));
    EXPECT_TRUE(c.isClosed());
    EXPECT_EQ(c.left_colors.first(), c.left_colors.last());

    Curve d = humpCurve();
    d.selectControlPoint(6);
    d.moveSelectedControlPoint(-0.6 + 0.011, -0.2);
    EXPECT_FALSE(d.isClosed());
}

TEST(Dragging, EndOfAClosedCurveMovesBothEnds)
{
    Curve loop = closedLoop();
    const Point t1 = loop.control_points[1];
    const Point t11 = loop.control_points[11];
    loop.selectControlPoint(0);
    loop.moveSelectedControlPoint(0.6, 0.1);
    EXPECT_EQ(loop.control_points[12], Point(0.6, 0.1));
    EXPECT_TRUE(near(loop.control_points[1], t1 + Point(0.1, 0.1), 1e-12));
    EXPECT_TRUE(near(loop.control_points[11], t11 + Point(0.1, 0.1), 1e-12));
}

TEST(Dragging, SmoothJointRotatesThePartnerACornerDoesNot)
{
    Curve c = humpCurve(); // joint 2-3-4 is collinear
    const double partnerLength = (c.control_points[4] - c.control_points[3]).norm();
    c.selectControlPoint(2);
    c.moveSelectedControlPoint(-0.1, 0.5);
    const Point K = c.control_points[3];
    EXPECT_NEAR((c.control_points[4] - K).norm(), partnerLength, 1e-12);
    EXPECT_TRUE(near(unit(c.control_points[2] - K), unit(c.control_points[4] - K) * -1.0, 1e-12));

    Curve corner = humpCurve();
    corner.control_points[4] = Point(0.1, 0.1);
    corner.selectControlPoint(2);
    corner.moveSelectedControlPoint(-0.1, 0.5);
    EXPECT_EQ(corner.control_points[4], Point(0.1, 0.1));
}

TEST(Dragging, TangentOfAClosedJointRotatesTheOtherEndsTangent)
{
    Curve loop = closedLoop(); // smooth at the joint: 11 - 12(=0) - 1 collinear
    const double length = (loop.control_points[11] - loop.control_points[12]).norm();
    loop.selectControlPoint(1);
    loop.moveSelectedControlPoint(0.6, 0.2);
    const Point fromKey = unit(loop.control_points[11] - loop.control_points[12]);
    EXPECT_TRUE(near(fromKey, unit(Point(0.6, 0.2) - Point(0.5, 0)) * -1.0, 1e-12));
    EXPECT_NEAR((loop.control_points[11] - loop.control_points[12]).norm(), length, 1e-12);
}

// ---- whole-curve edits

TEST(WholeCurve, UniformBlurSpansTheCurveAndMeanBlurRoundsDown)
{
    Curve c = straightCurve(4);
    setUniformBlur(c, 6);
    EXPECT_EQ(c.blur_ids, (QVector<int>{0, 40}));
    EXPECT_EQ(c.blur_values, (QVector<int>{6, 6}));
    c.setBlurOf(9, 1);
    EXPECT_EQ(meanBlur(c), 7);
    c.blur_values.clear();
    c.blur_ids.clear();
    c.nb_blur_points = 0;
    EXPECT_EQ(meanBlur(c), 0);
}

TEST(WholeCurve, TranslateMovesEverythingByTheStepFromTheAnchor)
{
    Curve c = humpCurve();
    const Curve before = c;
    c.setDragAnchor(0.1, 0.1);
    translateTo(c, 0.3, 0.0);
    translateTo(c, 0.4, -0.1);
    for (int i = 0; i < c.nb_control_points; ++i)
        EXPECT_TRUE(near(c.control_points[i], before.control_points[i] + Point(0.3, -0.2), 1e-12));
    EXPECT_TRUE(near(c.bbox_min, before.bbox_min + Point(0.3, -0.2), 1e-12));
    EXPECT_EQ(c.drag_anchor, Point(0.4, -0.1));
}

// ---- blending for keyframes

TEST(Blending, EndsReproduceTheirCurvesWithTheFirstCurvesPositions)
{
    Curve a = humpCurve();
    Curve b = humpCurve();
    for (Point& p : b.control_points)
        p = Point(p.y, -p.x);
    b.setLeftColorOf(kBlack, 0);
    b.blur_ids[1] = 17;
    b.lifetime = 0;
    Curve r;
    interpolateCurves(a, b, r, 0.0);
    EXPECT_EQ(r.control_points, a.control_points);
    EXPECT_EQ(r.left_colors, a.left_colors);
    EXPECT_EQ(r.lifetime, 32);
    interpolateCurves(a, b, r, 1.0);
    EXPECT_EQ(r.control_points, b.control_points);
    EXPECT_EQ(r.left_colors, b.left_colors);
    EXPECT_EQ(r.blur_ids, a.blur_ids);
    EXPECT_EQ(r.lifetime, 0);
    EXPECT_FALSE(r.isClosed());
}

TEST(Blending, HalfwayValuesRoundToTheNearest)
{
    Curve a, b;
    a.appendControlPoint(0, 0);
    b.appendControlPoint(1, -1);
    a.appendLeftColor(0, false, rgb(0, 0, 0));
    b.appendLeftColor(0, false, rgb(255, 255, 255));
    a.appendBlur(0, false, 3);
    b.appendBlur(0, false, 4);
    a.lifetime = 0;
    Curve r;
    interpolateCurves(a, b, r, 0.5);
    EXPECT_EQ(r.control_points[0], Point(0.5, -0.5));
    EXPECT_EQ(r.left_colors[0], rgb(128, 128, 128));
    EXPECT_EQ(r.blur_values[0], 4);
    EXPECT_EQ(r.lifetime, 16);
    interpolateCurves(a, b, r, 0.02);
    EXPECT_EQ(r.left_colors[0], rgb(5, 5, 5));
}

TEST(Blending, DifferentStructuresBlendOnlyWhatBothHave)
{
    const Curve a = humpCurve();
    Curve b = straightCurve(1);
    b.left_colors.clear();
    b.left_color_ids.clear();
    b.nb_left_colors = 0;
    Curve r;
    interpolateCurves(a, b, r, 0.5);
    EXPECT_EQ(r.nb_control_points, 7);
    EXPECT_TRUE(
        near(r.control_points[0], (a.control_points[0] + b.control_points[0]) * 0.5, 1e-15));
    EXPECT_EQ(r.control_points[6], a.control_points[6]);
    EXPECT_EQ(r.left_colors, a.left_colors);
    expectListsConsistent(r);
}
